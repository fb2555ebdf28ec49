// The level-dependent bank as the render runs it: envelope, silence, the blend between the raw
// and scaled gains, agreement with its analytic response, and unsafe input.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "ModelState/RovuRiza_ModelState.h"
#include "Engine/RovuRiza_VectorUnits.h"
#include "Voicing/RovuRiza_Voicing.h"
#include "Voicing/RovuRiza_VoicingGains.h"

namespace
{
struct Bank
{
    RovuRiza_SectionPoles poles{};
    RovuRiza_VoicingPayload payload{};
    float h1[200] = {};
    float h2[200] = {};
    float envelope = 0.0f;
    float coef = 0.0f;

    Bank(float fs, float soundValue)
    {
        RovuRiza_SetUpSectionPoles(&poles, sizeof poles, fs);
        std::memset(&payload, 0, sizeof payload);
        RovuRiza_BuildVoicingPayload(soundValue, fs, payload);
        coef = std::exp((48000.0f / fs) * -0.0005001484f);
    }
    float Run(float y)
    {
        return RovuRiza_VoicingProcess(payload, poles, h1, h2, envelope, coef, y);
    }
};

// The bank written out plainly: the same float32 operations with one running sum, so that it
// differs from the render only in the order of the final summation.
struct ReferenceBank
{
    float h1[100] = {}, h2[100] = {};
    double termsMagnitude = 0.0; // sum of |section outputs| of the last sample
    float Run(const Bank& b, float y, float k)
    {
        float out = 0.0f;
        termsMagnitude = 0.0;
        for (int s = 0; s < 100; ++s)
        {
            const float w = y - b.poles.poleA1[s] * h1[s] - b.poles.poleA2[s] * h2[s];
            const float c0 =
                k * b.payload.scaledGains[2 * s] + (1.0f - k) * b.payload.rawTable[2 * s];
            const float c1 =
                k * b.payload.scaledGains[2 * s + 1] + (1.0f - k) * b.payload.rawTable[2 * s + 1];
            const float term = c0 * w + c1 * h1[s];
            out += term;
            termsMagnitude += std::fabs(term);
            h2[s] = h1[s];
            h1[s] = w;
        }
        return out;
    }
};

std::complex<double> AnalyticResponse(const Bank& b, double f, double fs)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * f / fs);
    std::complex<double> h = 0.0;
    for (int s = 0; s < 100; ++s)
    {
        const std::complex<double> d =
            1.0 + double(b.poles.poleA1[s]) * z1 + double(b.poles.poleA2[s]) * z1 * z1;
        h += (double(b.payload.rawTable[2 * s]) + double(b.payload.rawTable[2 * s + 1]) * z1) / d;
    }
    return h;
}
} // namespace

TEST(VoicingBank, SilenceDecaysTheEnvelopeAndUsesTheRawGains)
{
    Bank b(48000.0f, 0.08f);
    b.envelope = 20.0f; // as after a loud passage
    float previous = b.envelope;
    for (int n = 0; n < 48000 * 4; ++n)
    {
        EXPECT_EQ(b.Run(0.0f), 0.0f); // zero histories stay zero
        ASSERT_LE(b.envelope, previous);
        previous = b.envelope;
    }
    // a = 0.9995 per sample: after four seconds the envelope is e^-96 of where it was.
    EXPECT_LT(b.envelope, 1e-30f);

    // Decayed envelope: an impulse sees the raw table, not the scaled one.
    b.envelope = 0.0f;
    ReferenceBank ref;
    const float impulse = 1e-3f;
    for (int n = 0; n < 64; ++n)
    {
        const float x = n == 0 ? impulse : 0.0f;
        const float expected = ref.Run(b, x, 0.0f);
        EXPECT_NEAR(b.Run(x), expected, 1e-6 * ref.termsMagnitude) << n;
    }
}

TEST(VoicingBank, GainsBlendTowardTheScaledTableWithTheEnvelopeUnlimited)
{
    // k = 0.03 env: env 33.33 uses the scaled table fully, env 66.7 extrapolates to k = 2.
    for (float env : {0.0f, 10.0f, 33.333333f, 66.666667f})
    {
        Bank b(44100.0f, 0.11f);
        ReferenceBank ref;
        b.coef = 1.0f; // hold the envelope so that k is known exactly
        b.envelope = env;
        const float k = 0.030000001f * env;
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        double worst = 0.0;
        for (int n = 0; n < 4000; ++n)
        {
            const float x = u(rng);
            const float expected = ref.Run(b, x, k);
            // Reordering 100 float32 additions moves the sum by a few ulps of its terms.
            worst = std::max(worst, std::abs(b.Run(x) - expected) / (ref.termsMagnitude + 1e-30));
        }
        EXPECT_LT(worst, 1e-6) << env;
    }
}

TEST(VoicingBank, EnvelopeFollowsTheRectifiedInput)
{
    Bank b(96000.0f, 0.0f);
    const float a = b.coef;
    float env = 0.0f;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-2.0f, 2.0f);
    for (int n = 0; n < 1000; ++n)
    {
        const float x = u(rng);
        b.Run(x);
        env = a * env + (1.0f - a) * std::fabs(x);
        ASSERT_EQ(b.envelope, env) << n;
    }
    // A steady level of 0.5 settles the envelope at 0.5.
    for (int n = 0; n < 96000 * 2; ++n)
        b.Run(n % 2 ? 0.5f : -0.5f);
    EXPECT_NEAR(b.envelope, 0.5f, 1e-3f);
}

TEST(VoicingBank, ImpulseResponseMatchesTheTableResponseAtEveryFamilyRate)
{
    for (float fs : {44100.0f, 48000.0f, 96000.0f, 192000.0f})
        for (float value : {0.0f, 0.14f, 0.27f})
        {
            Bank b(fs, value);
            const int length = 1 << 16;
            std::vector<float> h(length);
            const float impulse = 1e-4f; // keeps k below 1e-8
            for (int n = 0; n < length; ++n)
                h[n] = b.Run(n == 0 ? impulse : 0.0f) / impulse;
            for (double f : {80.0, 250.0, 1000.0, 3000.0, 7000.0})
            {
                std::complex<double> sum = 0.0;
                for (int n = 0; n < length; ++n)
                    sum += double(h[n]) * std::polar(1.0, -2.0 * M_PI * f * n / fs);
                const std::complex<double> want = AnalyticResponse(b, f, fs);
                EXPECT_NEAR(20 * std::log10(std::abs(sum)), 20 * std::log10(std::abs(want)), 0.05)
                    << fs << " Hz, voicing " << value << ", at " << f;
            }
        }
}

TEST(VoicingBank, EmptyOrCorruptedPayloadSilencesButTheEnvelopeRuns)
{
    for (int count : {0, -1, -100000})
    {
        Bank b(48000.0f, 0.3f); // never chosen: empty
        b.payload.sectionCount = count;
        EXPECT_EQ(b.Run(0.7f), 0.0f);
        EXPECT_GT(b.envelope, 0.0f);
        for (float h : b.h1)
            ASSERT_EQ(h, 0.0f);
    }
    // A count beyond the 100 sections that have poles runs those 100 only.
    Bank big(48000.0f, 0.0f), normal(48000.0f, 0.0f);
    big.payload.sectionCount = 200;
    for (int n = 0; n < 100; ++n)
    {
        const float x = n == 0 ? 0.01f : 0.0f;
        ASSERT_EQ(big.Run(x), normal.Run(x));
    }
    for (int s = 100; s < 200; ++s)
        ASSERT_EQ(big.h1[s], 0.0f);
}

TEST(VoicingBank, NonFiniteSamplesEnterAsSilence)
{
    Bank b(48000.0f, 0.2f), clean(48000.0f, 0.2f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int n = 0; n < 2000; ++n)
    {
        const float x = 0.1f * std::sin(0.01f * n);
        const bool bad = n % 97 == 5;
        const float got = b.Run(bad ? (n % 2 ? nan : -inf) : x);
        const float want = clean.Run(bad ? 0.0f : x);
        ASSERT_EQ(got, want) << n;
    }
    EXPECT_TRUE(std::isfinite(b.envelope));
}

namespace
{
// A long signal that moves the envelope across its range: quiet and loud passages (the loud one
// pushes the blend past the scaled table), silence, and a burst of non-finite samples.
std::vector<float> VariedSignal(int length)
{
    std::vector<float> x(length);
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int n = 0; n < length; ++n)
    {
        const int part = 8 * n / length;
        const float level = part == 0 ? 0.01f : part == 1 ? 1.0f : part == 2 ? 40.0f : 3.0f;
        float v = level * (0.7f * std::sin(0.031f * n) + 0.3f * u(rng));
        if (part == 4) v = 0.0f;                            // silence
        if (part == 5 && n % 7 < 3) v = n % 2 ? nan : -inf; // a non-finite burst
        x[n] = v;
    }
    return x;
}

// The bank in double precision, section by section, from the payload itself: the float32 render
// may differ from it only by rounding. The envelope is the float32 follower, so that both use
// the same k.
struct DoubleBank
{
    double h1[100] = {}, h2[100] = {};
    float envelope = 0.0f;
    double level = 0.0; // recent peak of the sum of |section outputs|, falling e-fold in 2000

    double Run(const Bank& b, int count, float y)
    {
        if (!std::isfinite(y)) y = 0.0f;
        envelope = b.coef * envelope + (1.0f - b.coef) * std::fabs(y);
        const double k = double(0.030000001f * envelope);
        double out = 0.0, magnitude = 0.0;
        for (int s = 0; s < count; ++s)
        {
            const double w = y - b.poles.poleA1[s] * h1[s] - b.poles.poleA2[s] * h2[s];
            const double t0 = b.payload.rawTable[2 * s], t1 = b.payload.rawTable[2 * s + 1];
            const double c0 = t0 + k * (b.payload.scaledGains[2 * s] - t0);
            const double c1 = t1 + k * (b.payload.scaledGains[2 * s + 1] - t1);
            const double term = c0 * w + c1 * h1[s];
            out += term;
            magnitude += std::fabs(term);
            h2[s] = h1[s];
            h1[s] = w;
        }
        level = std::max(magnitude, level * 0.9995);
        return out;
    }
};

struct BlockRun
{
    std::vector<float> out;
    std::vector<float> h1, h2;
    float envelope;
};

using BlockFunction = void (*)(const RovuRiza_VoicingBankCoefficients&,
                               const RovuRiza_SectionPoles&, float*, float*, float&, float, float*,
                               int) noexcept;

struct Build
{
    const char* name;
    BlockFunction process;
};

// The block function as the render calls it, and each build behind it that this processor can
// run: the one it does not pick is otherwise never exercised here.
std::vector<Build> RunnableBuilds()
{
    std::vector<Build> builds = {{"chosen at load", RovuRiza_VoicingProcessBlock},
                                 {"baseline", RovuRiza_VoicingBlockBaseline}};
    if (RovuRiza_HasVectorUnits()) builds.push_back({"wide", RovuRiza_VoicingBlockWide});
    if (RovuRiza_HasVector512Units()) builds.push_back({"512-bit", RovuRiza_VoicingBlockWide512});
    return builds;
}

// The whole signal through a block function in blocks of the given lengths (cycled).
BlockRun RunInBlocks(float fs, float value, int count, const std::vector<float>& x,
                     const std::vector<int>& lengths,
                     BlockFunction process = RovuRiza_VoicingProcessBlock)
{
    Bank b(fs, value);
    b.payload.sectionCount = count;
    RovuRiza_VoicingBankCoefficients bank;
    RovuRiza_PrepareVoicingBank(b.payload, bank);
    BlockRun r{x, {}, {}, 0.0f};
    size_t next = 0;
    for (size_t n = 0; n < x.size();)
    {
        const int length = std::min<int>(lengths[next++ % lengths.size()], int(x.size() - n));
        process(bank, b.poles, b.h1, b.h2, b.envelope, b.coef, r.out.data() + n, length);
        n += size_t(length);
    }
    r.h1.assign(b.h1, b.h1 + 200);
    r.h2.assign(b.h2, b.h2 + 200);
    r.envelope = b.envelope;
    return r;
}
} // namespace

TEST(VoicingBankBlock, MatchesADoublePrecisionBankOverAVariedSignal)
{
    // 100 sections as the render runs them, and odd counts that reach the narrower paths for the
    // last few sections (a count other than 100 only comes from a damaged payload, but it must
    // still compute the bank it names).
    const int length = 48000 * 2;
    const std::vector<float> x = VariedSignal(length);
    // float32 sections against double ones: the recursions near the unit circle carry their
    // rounding on for thousands of samples, into the silence that follows a loud passage, so the
    // error is measured against the recent level and is some 1e-5 of it, not a few ulps (the
    // lowest sections alone, which have the poles nearest the circle, reach about 3e-4). The
    // float32 bank written plainly, with one running sum, is no closer.
    const struct
    {
        int count;
        double tolerance;
    } cases[] = {{100, 1e-4}, {37, 1e-4}, {7, 1e-3}, {3, 1e-3}};
    for (const Build& build : RunnableBuilds())
        for (const auto& [count, tolerance] : cases)
        {
            const BlockRun got = RunInBlocks(48000.0f, 0.08f, count, x, {256}, build.process);
            Bank b(48000.0f, 0.08f);
            DoubleBank ref;
            double worst = 0.0;
            for (int n = 0; n < length; ++n)
            {
                const double want = ref.Run(b, count, x[n]);
                ASSERT_TRUE(std::isfinite(got.out[n])) << build.name << ", sample " << n;
                worst = std::max(worst, std::abs(got.out[n] - want) / (ref.level + 1e-30));
            }
            EXPECT_LT(worst, tolerance) << build.name << ", " << count << " sections";
            EXPECT_EQ(got.envelope, ref.envelope) << build.name;
            for (int s = count; s < 200; ++s)
                ASSERT_EQ(got.h1[s], 0.0f) << build.name << ", section " << s;
        }
}

TEST(VoicingBankBlock, SplittingIntoBlocksChangesNothing)
{
    const std::vector<float> x = VariedSignal(20000);
    for (const Build& build : RunnableBuilds())
        for (int count : {100, 37})
        {
            const BlockRun single = RunInBlocks(44100.0f, 0.2f, count, x, {1}, build.process);
            for (const std::vector<int>& lengths :
                 std::vector<std::vector<int>>{{2}, {3}, {64}, {1, 5, 2, 511, 0, 33}, {20000}})
            {
                const BlockRun r = RunInBlocks(44100.0f, 0.2f, count, x, lengths, build.process);
                ASSERT_EQ(r.envelope, single.envelope) << build.name;
                for (size_t n = 0; n < x.size(); ++n)
                    ASSERT_EQ(r.out[n], single.out[n])
                        << build.name << ", sample " << n << " of blocks "
                        << lengths[1 % lengths.size()];
                ASSERT_EQ(r.h1, single.h1) << build.name;
                ASSERT_EQ(r.h2, single.h2) << build.name;
            }
        }
    // The one-sample entry point is the same bank.
    Bank b(44100.0f, 0.2f);
    const BlockRun block = RunInBlocks(44100.0f, 0.2f, 100, x, {128});
    for (size_t n = 0; n < x.size(); ++n)
        ASSERT_EQ(b.Run(x[n]), block.out[n]) << n;
}

TEST(VoicingBankBlock, EmptyPayloadBlockIsSilentButTheEnvelopeRuns)
{
    for (int count : {0, -5})
    {
        const std::vector<float> x(300, 0.5f);
        const BlockRun r = RunInBlocks(48000.0f, 0.1f, count, x, {300});
        for (float v : r.out)
            ASSERT_EQ(v, 0.0f);
        EXPECT_GT(r.envelope, 0.0f);
        for (float h : r.h1)
            ASSERT_EQ(h, 0.0f);
    }
    // A null table prepares a silent bank too.
    Bank b(48000.0f, 0.1f);
    b.payload.rawTable = nullptr;
    RovuRiza_VoicingBankCoefficients bank;
    RovuRiza_PrepareVoicingBank(b.payload, bank);
    EXPECT_EQ(bank.sectionCount, 0);
}
