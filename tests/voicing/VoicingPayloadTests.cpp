// The port-7 payload: voicing index from the "Sound" value, table family by host rate, the
// scaled gains, and what happens to out-of-range, non-finite or corrupted input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "Voicing/RovuRiza_Voicing.h"
#include "Voicing/RovuRiza_VoicingGains.h"

namespace
{
RovuRiza_VoicingPayload EmptyPayload()
{
    RovuRiza_VoicingPayload p;
    std::memset(&p, 0, sizeof p);
    return p;
}

void ExpectScaledFrom(const RovuRiza_VoicingPayload& p, const float* table)
{
    for (int j = 0; j < 200; j += 2)
    {
        ASSERT_EQ(p.scaledGains[j], table[j] * 1.5f) << j;
        ASSERT_EQ(p.scaledGains[j + 1], table[j + 1] * 0.5f) << j + 1;
    }
}
} // namespace

TEST(VoicingIndex, RoundsTheValueTimesHundred)
{
    struct Case
    {
        float value;
        const float* table;
    };
    const Case cases[] = {{0.0f, fparallelgains_1},
                          {0.27f, fparallelgains_28},
                          {0.01f, fparallelgains_2},
                          {0.004f, fparallelgains_1},
                          {0.136f, fparallelgains_15},
                          {0.265f, fparallelgains_27}, // 0.265f is 0.26499998: rounds down
                          {-0.004f, fparallelgains_1}, // -0.4 + 0.5 truncates to 0
                          {-0.014f, fparallelgains_1},
                          // The host's steps past the last voicing all select it.
                          {0.275f, fparallelgains_28},
                          {0.5f, fparallelgains_28},
                          {1.0f, fparallelgains_28},
                          {std::numeric_limits<float>::infinity(), fparallelgains_28}};
    for (const Case& c : cases)
    {
        RovuRiza_VoicingPayload p = EmptyPayload();
        RovuRiza_BuildVoicingPayload(c.value, 48000.0, p);
        EXPECT_EQ(p.sectionCount, 100) << c.value;
        EXPECT_EQ(p.rawTable, c.table) << c.value;
        ExpectScaledFrom(p, c.table);
    }
}

TEST(VoicingIndex, OutOfRangeOrNonFiniteKeepsThePreviousVoicingAndRescales)
{
    const float outside[] = {-0.016f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                             -std::numeric_limits<float>::infinity()};
    for (float v : outside)
    {
        RovuRiza_VoicingPayload p = EmptyPayload();
        RovuRiza_BuildVoicingPayload(0.05f, 96000.0, p);
        ASSERT_EQ(p.rawTable, fparallelgains_6_96);
        // Scribble over the scaled copy: an out-of-range value must rebuild it from the table.
        for (float& g : p.scaledGains)
            g = 123.0f;
        RovuRiza_BuildVoicingPayload(v, 48000.0, p);
        EXPECT_EQ(p.sectionCount, 100) << v;
        EXPECT_EQ(p.rawTable, fparallelgains_6_96) << v; // the family is not re-chosen either
        ExpectScaledFrom(p, fparallelgains_6_96);
    }
}

TEST(VoicingIndex, NoVoicingEverChosenLeavesThePayloadEmpty)
{
    for (float v : {-0.02f, std::numeric_limits<float>::quiet_NaN()})
    {
        RovuRiza_VoicingPayload p = EmptyPayload();
        RovuRiza_BuildVoicingPayload(v, 48000.0, p);
        EXPECT_EQ(p.sectionCount, 0);
        EXPECT_EQ(p.rawTable, nullptr);
        for (float g : p.scaledGains)
            ASSERT_EQ(g, 0.0f);
    }
    RovuRiza_VoicingPayload negative = EmptyPayload();
    negative.sectionCount = -5;
    RovuRiza_BuildVoicingPayload(-0.5f, 48000.0, negative);
    EXPECT_EQ(negative.sectionCount, -5);
}

TEST(VoicingIndex, CorruptedPayloadIsNeverReadThrough)
{
    // A count beyond the tables' length is limited to the 100 sections they hold.
    RovuRiza_VoicingPayload p = EmptyPayload();
    RovuRiza_BuildVoicingPayload(0.1f, 48000.0, p);
    p.sectionCount = 100000;
    RovuRiza_BuildVoicingPayload(-0.9f, 48000.0, p);
    ExpectScaledFrom(p, fparallelgains_11);

    // A reference that is not one of the tables silences the payload instead of being read.
    static const float foreign[200] = {};
    RovuRiza_VoicingPayload q = EmptyPayload();
    q.sectionCount = 100;
    q.rawTable = foreign + 1;
    RovuRiza_BuildVoicingPayload(-0.9f, 48000.0, q);
    EXPECT_EQ(q.sectionCount, 0);
    q.sectionCount = 100;
    q.rawTable = nullptr;
    RovuRiza_BuildVoicingPayload(-0.9f, 48000.0, q);
    EXPECT_EQ(q.sectionCount, 0);
}

TEST(VoicingFamily, RatesUpTo66000UseTheBaseTables)
{
    const double base[] = {8000.0,
                           44100.0,
                           48000.0,
                           66000.0,
                           0.0,
                           -48000.0,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()};
    const double high[] = {66000.5, 88200.0, 96000.0, 176400.0, 192000.0, 384000.0};
    for (int i = 0; i < kRovuRizaVoicingCount; ++i)
    {
        for (double fs : base)
            EXPECT_EQ(RovuRiza_VoicingTable(i, fs), kRovuRizaVoicingTablesBase[i]) << fs;
        for (double fs : high)
            EXPECT_EQ(RovuRiza_VoicingTable(i, fs), kRovuRizaVoicingTables96[i]) << fs;
    }
    EXPECT_EQ(RovuRiza_VoicingTable(-1, 48000.0), nullptr);
    EXPECT_EQ(RovuRiza_VoicingTable(28, 48000.0), nullptr);

    RovuRiza_VoicingPayload p = EmptyPayload();
    RovuRiza_BuildVoicingPayload(0.0f, 66000.0, p);
    EXPECT_EQ(p.rawTable, fparallelgains_1);
    RovuRiza_BuildVoicingPayload(0.0f, 88200.0, p);
    EXPECT_EQ(p.rawTable, fparallelgains_1_96);
    RovuRiza_BuildVoicingPayload(0.27f, 96000.0, p);
    EXPECT_EQ(p.rawTable, fparallelgains_28_96);
}

TEST(VoicingTables, KeptEntriesAreExactAndEveryTableIsDistinctAndFinite)
{
    const float t1[12] = {0.00060677348f, -0.00058777997f, 0.0070939614f, -0.0070799245f,
                          0.0086631002f,  -0.008712911f,   0.0029621641f, -0.0030684664f,
                          -0.025556104f,  -0.04447965f,    1.065042f,     1.2163372f};
    const float t1h[12] = {0.00061142724f, -0.00060191669f, 0.0071082315f, -0.0071012862f,
                           0.0086659659f,  -0.0086910436f,  0.0029443074f, -0.0029976089f,
                           0.11227884f,    0.045813736f,    0.013822168f,  -0.037572972f};
    const float t28[12] = {-0.0023337728f, 0.0023740809f, 0.011616352f,  -0.011581457f,
                           0.013300529f,   -0.013386778f, 0.0032334102f, -0.0034110125f,
                           6.2757902f,     5.3372488f,    -10.85503f,    -5.0049257f};
    const auto expectKept = [](const float* table, const float* kept)
    {
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(table[i], kept[i]) << i;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(table[196 + i], kept[8 + i]) << 196 + i;
    };
    expectKept(fparallelgains_1, t1);
    expectKept(fparallelgains_1_96, t1h);
    expectKept(fparallelgains_28, t28);

    for (int i = 0; i < kRovuRizaVoicingCount; ++i)
    {
        for (const float* t : {kRovuRizaVoicingTablesBase[i], kRovuRizaVoicingTables96[i]})
        {
            for (int j = 0; j < 200; ++j)
                ASSERT_TRUE(std::isfinite(t[j])) << i << " " << j;
            for (int k = 0; k < i; ++k)
                EXPECT_NE(std::memcmp(t, kRovuRizaVoicingTablesBase[k], 800), 0) << i << k;
        }
    }
}

TEST(VoicingNames, MenuNamesInOrder)
{
    EXPECT_STREQ(kRovuRizaVoicingNames[0], "1 Roy + 57 - Older");
    EXPECT_STREQ(kRovuRizaVoicingNames[3], "4 Roy + 57 + Senn - Older");
    EXPECT_STREQ(kRovuRizaVoicingNames[25], "26 57 - Back");
    EXPECT_STREQ(kRovuRizaVoicingNames[27], "28 Neu - Old");
    for (int i = 0; i < kRovuRizaVoicingCount; ++i)
        EXPECT_EQ(std::atoi(kRovuRizaVoicingNames[i]), i + 1);
}
