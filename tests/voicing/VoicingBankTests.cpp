// The level-dependent bank as the render runs it: envelope, silence, the blend between the raw
// and scaled gains, agreement with its analytic response, and unsafe input.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "ModelState/RovuRiza_ModelState.h"
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
