#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

#include "RovuRiza_TubeModelSamples.h"
#include "Tubes/RovuRiza_TubeCoefficients.h"
#include "Tubes/RovuRiza_TubeTables.h"

namespace
{
using Tables = float[kRovuRizaTubeTableCount][kRovuRizaTubeRows][kRovuRizaTubeColumns];
struct TableBlock
{
    Tables t;
};
constexpr int kLastColumn = kRovuRizaTubeColumns - 2; // 44099, the last sampled column
constexpr bool isPentode(int t)
{
    return t >= 8;
}
// Row 0 of the first stage's plate table is a given polynomial kept as it is; it rings by a
// few per cent of its scale around the fitted law.
constexpr bool isGivenRow(int t, int r)
{
    return t == 1 && r == 0;
}

// Largest deviation from the fitted model, in units of the row scale. A degree-20 polynomial
// cannot follow the first stage's low-row plate curves exactly where the grid starts to conduct
// and clamps (a knee), nor the first splitter triode's low rows at cut-off; everything else is
// held to 0.005.
float modelTolerance(int t, int r)
{
    if (isGivenRow(t, r)) return 0.06f;
    if (t == 1 && r <= 4) return 0.0125f;
    if (t == 5 && r <= 1) return 0.0065f;
    return 0.005f;
}

struct Filled
{
    std::unique_ptr<TableBlock> tables = std::make_unique<TableBlock>();
    Filled() { RovuRiza_FillTubeTables(tables->t); }
    const float* row(int t, int r) const { return tables->t[t][r]; }
};

const Filled& filled()
{
    static const Filled once;
    return once;
}

float scaleOf(int t, int r)
{
    return kRovuRizaTubeTableSources[t].scale[r];
}

// The set-up fill written out power by power in float32, as the table definition states it.
float powerSum(const float* p, float x)
{
    float q = p[18] * x * x + p[19] * x + (p[20] + 0.0f);
    for (int k = 3; k <= 20; ++k)
        q = p[20 - k] * std::pow(x, float(k)) + q;
    return q;
}

// Float32 rounding budget of the power-by-power sum: every term and partial sum is rounded.
float powerSumBudget(const float* p, float x)
{
    double magnitude = 0.0;
    for (int k = 0; k <= 20; ++k)
        magnitude += std::fabs(double(p[20 - k]) * std::pow(double(x), k));
    return float(24.0 * magnitude * 5.96e-8);
}
} // namespace

TEST(TubeTables, EdgesCutOffAndSpareColumn)
{
    const Filled& f = filled();
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
        {
            SCOPED_TRACE(testing::Message() << "table " << t << " row " << r);
            const float* row = f.row(t, r);
            const float scale = scaleOf(t, r);
            EXPECT_EQ(row[kLastColumn + 1], row[kLastColumn]);
            EXPECT_NEAR(row[kLastColumn], scale, 0.01f * scale);
            if (!isPentode(t))
            {
                EXPECT_NEAR(row[0], 0.0f, 0.005f * scale);
            }
        }
    // The output pentodes still conduct at the most negative grid coordinate.
    for (int t : {8, 9})
    {
        EXPECT_NEAR(f.row(t, 0)[0] / scaleOf(t, 0), 0.39f, 0.01f);
        EXPECT_NEAR(f.row(t, 9)[0] / scaleOf(t, 9), 0.11f, 0.01f);
    }
}

TEST(TubeTables, RowMaximaMatchScalesAndNoFalseNegativeCurrent)
{
    const Filled& f = filled();
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
        {
            SCOPED_TRACE(testing::Message() << "table " << t << " row " << r);
            const float* row = f.row(t, r);
            const auto [lo, hi] = std::minmax_element(row, row + kLastColumn + 1);
            const float scale = scaleOf(t, r);
            const float peak = std::max(std::fabs(*lo), std::fabs(*hi));
            EXPECT_NEAR(peak / scale, 1.0f, 0.01f);
            // A grid behind a megohm turns a microampere of false current into a volt of bias.
            EXPECT_GE(*lo / scale, isGivenRow(t, r) ? -0.025f : -0.002f);
        }
}

TEST(TubeTables, FilledTablesFollowTheFittedModels)
{
    const Filled& f = filled();
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
        {
            SCOPED_TRACE(testing::Message() << "table " << t << " row " << r);
            const float* row = f.row(t, r);
            const float scale = scaleOf(t, r);
            float worst = 0.0f;
            for (int i = 0; i < kTubeModelSampleCount; ++i)
            {
                // Sample i lies at x = -1 + 2i/100, between two columns: interpolate.
                const double position = double(i) * kLastColumn / (kTubeModelSampleCount - 1);
                const int j = std::min(int(position), kLastColumn - 1);
                const double frac = position - j;
                const double value = row[j] + (row[j + 1] - row[j]) * frac;
                worst =
                    std::max(worst, float(std::fabs(value / scale - kTubeModelSamples[t][r][i])));
            }
            EXPECT_LE(worst, modelTolerance(t, r));
        }
}

TEST(TubeTables, PlateCurrentNeverFallsAsThePlateRises)
{
    // At any grid-side coordinate a higher plate-side coordinate draws at least as much plate
    // current; rows out of order or a wrong per-row scale would break this.
    const Filled& f = filled();
    for (int t : {1, 3, 5, 7, 8, 9})
        for (int r = 0; r + 1 < kRovuRizaTubeRows; ++r)
        {
            SCOPED_TRACE(testing::Message() << "table " << t << " rows " << r << ", " << r + 1);
            const float slack = (modelTolerance(t, r) + modelTolerance(t, r + 1)) *
                                std::max(scaleOf(t, r), scaleOf(t, r + 1));
            for (int j = 0; j <= kLastColumn; j += 7)
                ASSERT_GE(f.row(t, r + 1)[j], f.row(t, r)[j] - slack) << "column " << j;
        }
}

TEST(TubeTables, FastFillAgreesWithPowerByPowerSum)
{
    const Filled& f = filled();
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
        {
            SCOPED_TRACE(testing::Message() << "table " << t << " row " << r);
            const float* p = kRovuRizaTubeTableSources[t].coefficients + r * kRovuRizaPolyCoefs;
            const float scale = scaleOf(t, r);
            for (int j = 0; j <= kLastColumn; j += 97)
            {
                const float x = float(j) * 4.5352503e-05f - 1.0f;
                const float budget = powerSumBudget(p, x) * scale + 1e-12f;
                ASSERT_NEAR(f.row(t, r)[j], powerSum(p, x) * scale, budget) << "column " << j;
            }
            const float x = float(kLastColumn) * 4.5352503e-05f - 1.0f;
            EXPECT_NEAR(f.row(t, r)[kLastColumn], powerSum(p, x) * scale,
                        powerSumBudget(p, x) * scale);
        }
}

TEST(TubeTables, ConcurrentSetUpsShareOneCopy)
{
    // Instances may be set up on several host threads at once; the shared computation must
    // happen once, every caller must see it complete, and nobody may write it afterwards.
    const float* shared[2] = {};
    std::thread first([&] { shared[0] = RovuRiza_SharedTubeTables(); });
    std::thread second([&] { shared[1] = RovuRiza_SharedTubeTables(); });
    first.join();
    second.join();
    EXPECT_EQ(shared[0], shared[1]);
    bool same = true;
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
            for (int c = 0; c < kRovuRizaTubeColumns; ++c)
                same &= shared[0][RovuRiza_TubeTableStart(t) +
                                  (size_t(r) * kRovuRizaTubeColumns + size_t(c)) *
                                      size_t(RovuRiza_TubeTableStride(t))] == filled().row(t, r)[c];
    EXPECT_TRUE(same);
    EXPECT_DEATH(const_cast<float*>(shared[0])[12345] = 1.0f, "");
}

TEST(TubeTables, GivenDataKeptExactly)
{
    const float row0[21] = {
        4685.599f,  -154.04385f, -23713.338f, 1604.1838f,  50746.832f,  -5073.6562f, -59618.414f,
        7661.158f,  41759.92f,   -6315.8506f, -17737.955f, 2932.9458f,  4458.774f,   -745.4771f,
        -623.2345f, 96.11646f,   42.75334f,   -5.314973f,  -1.1169846f, 0.43875867f, 0.6765399f};
    EXPECT_EQ(std::memcmp(row0, polycoefspret1Ip, sizeof(row0)), 0);
    EXPECT_EQ(pentode2_poweramp_Ip_maxabs[9], 0.0013351439f);
    EXPECT_EQ(triode2_Ig_maxabs[9], 5.6542306e-11f);
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
    {
        EXPECT_EQ(kRovuRizaTubeTableSources[t].coefficients[210], 0.0f);
        EXPECT_EQ(kRovuRizaTubeTableSources[t].coefficients[211], 0.0f);
        EXPECT_EQ(kRovuRizaTubeTableSources[t].scale[10], 0.0f);
    }
    // Both output pentodes use the one scale table.
    EXPECT_EQ(kRovuRizaTubeTableSources[8].scale, kRovuRizaTubeTableSources[9].scale);
}
