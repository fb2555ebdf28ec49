// Tremolo oscillator and host-rate saturation stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "OutputStage/RovuRiza_OutputStage.h"
#include "SignalAnalysis.h"

namespace
{
using tavelo::signal::kPi;
using tavelo::signal::toneAmplitude;

constexpr float kTwoPi = 6.2831855f;
constexpr float kInternalRate = 192000.f;
constexpr float kSmallSignalSlope = 1.0129646f;

float increment(float rate)
{
    return (0.1f + 7.9f * rate) * kTwoPi / kInternalRate;
}

// Runs the tremolo for `seconds` and returns the bias per internal step.
std::vector<float> runTremolo(float rate, float depth, double seconds, float phase = 0.f)
{
    std::vector<float> bias(size_t(seconds * kInternalRate));
    for (float& b : bias)
        b = RovuRiza_TremoloBias(phase, increment(rate), depth);
    return bias;
}

// Counts upward crossings of the resting bias.
int upwardCrossings(const std::vector<float>& bias)
{
    int n = 0;
    for (size_t k = 1; k < bias.size(); ++k)
        n += (bias[k - 1] < -62.5f && bias[k] >= -62.5f);
    return n;
}

std::vector<float> runStage(RovuRiza_OutputStageVars& vars, float fs, const std::vector<float>& in,
                            std::vector<float>* shaped = nullptr)
{
    std::vector<float> out(in.size());
    for (size_t k = 0; k < in.size(); ++k)
    {
        out[k] = RovuRiza_OutputStageProcess(vars, fs, in[k]);
        if (shaped) shaped->push_back(vars.post1);
    }
    return out;
}
} // namespace

TEST(Tremolo, ZeroDepthHoldsTheRestingBiasWhileThePhaseAdvances)
{
    float phase = 0.f;
    for (int k = 0; k < 400000; ++k)
    {
        ASSERT_EQ(RovuRiza_TremoloBias(phase, increment(1.f), 0.f), -62.5f) << "step " << k;
        ASSERT_GT(phase, 0.f);
        ASSERT_LE(phase, kTwoPi);
    }
}

TEST(Tremolo, FullDepthSwingsFiveVoltsAtTheRateSetFrequency)
{
    const std::vector<float> fast = runTremolo(1.f, 5.f, 2.05);
    float lo = 0.f, hi = -100.f;
    for (float b : fast)
    {
        lo = std::min(lo, b);
        hi = std::max(hi, b);
    }
    EXPECT_NEAR(lo, -67.5f, 1e-3f);
    EXPECT_NEAR(hi, -57.5f, 1e-3f);
    EXPECT_EQ(upwardCrossings(fast), 16); // 8 Hz: one crossing per period after the start

    // 0.1 Hz: one period takes ten seconds; a quarter period reaches the positive peak.
    const std::vector<float> slow = runTremolo(0.f, 5.f, 2.5);
    EXPECT_NEAR(slow.back(), -57.5f, 2e-3f);
    EXPECT_NEAR(*std::max_element(slow.begin(), slow.end()), -57.5f, 1e-3f);
}

TEST(Tremolo, PhaseWrapsWithOneSubtractionAndMayEqualTwoPi)
{
    float phase = kTwoPi - 0.5f * increment(1.f);
    RovuRiza_TremoloBias(phase, increment(1.f), 5.f);
    EXPECT_LT(phase, increment(1.f));
    phase = kTwoPi - increment(0.f);
    RovuRiza_TremoloBias(phase, increment(0.f), 5.f);
    EXPECT_LE(phase, kTwoPi);
    EXPECT_GT(phase, kTwoPi - 1e-4f);
}

TEST(OutputStage, ZeroInputWithZeroStateGivesExactZero)
{
    for (float fs : {16000.f, 44100.f, 48000.f, 96000.f, 192000.f})
    {
        RovuRiza_OutputStageVars vars{};
        const std::vector<float> out = runStage(vars, fs, std::vector<float>(4096, 0.f));
        for (float o : out)
            ASSERT_EQ(o, 0.f) << fs;
    }
}

TEST(OutputStage, SmallHighSignalPassesWithUnityGain)
{
    for (float fs : {44100.f, 48000.f, 96000.f})
    {
        RovuRiza_OutputStageVars vars{};
        const std::vector<float> in = tavelo::signal::sine(5000.0, fs, int(fs), 0.01);
        const std::vector<float> out = runStage(vars, fs, in);
        const double gain = toneAmplitude(out, 5000.0, fs) / toneAmplitude(in, 5000.0, fs);
        // Unity up to the shaper's small-signal slope of 1.013 (+0.11 dB).
        EXPECT_NEAR(gain, kSmallSignalSlope, 1e-3) << fs;
        // Transparent sample by sample, not only in level.
        for (size_t k = 100; k < in.size(); ++k)
            ASSERT_NEAR(out[k], kSmallSignalSlope * in[k], 2e-5f) << fs << " sample " << k;
    }
}

TEST(OutputStage, LargeBassClipsAsymmetrically)
{
    const float fs = 48000.f;
    RovuRiza_OutputStageVars vars{};
    std::vector<float> shaped;
    const std::vector<float> in = tavelo::signal::sine(50.0, fs, 48000, 40.0);
    runStage(vars, fs, in, &shaped);
    // Deep in the clipped half-waves the shaper holds q(1) and q(-1).
    const size_t settled = 4800;
    const auto hi = std::max_element(shaped.begin() + settled, shaped.end());
    EXPECT_NEAR(*hi, 0.99861f, 1e-5f);
    int positiveHeld = 0, negativeHeld = 0;
    for (size_t k = settled; k < shaped.size(); ++k)
    {
        positiveHeld += std::fabs(shaped[k] - 0.99861f) < 1e-5f;
        negativeHeld += std::fabs(shaped[k] + 0.69506f) < 1e-5f;
    }
    EXPECT_GT(positiveHeld, 4000);
    EXPECT_GT(negativeHeld, 4000);
    // The negative side of the shaper folds back before the clip: its lowest value lies
    // between the limits, not at q(-1).
    const auto lo = std::min_element(shaped.begin() + settled, shaped.end());
    EXPECT_NEAR(*lo, -0.7145f, 1e-3f);
}

TEST(OutputStage, NonFiniteInputIsLimitedAndForgotten)
{
    const float fs = 48000.f;
    RovuRiza_OutputStageVars vars{};
    runStage(vars, fs, tavelo::signal::sine(5000.0, fs, 1000, 0.01));
    RovuRiza_OutputStageProcess(vars, fs, std::numeric_limits<float>::quiet_NaN());
    EXPECT_NEAR(vars.post1, -0.69506f, 1e-5f) << "NaN reaches the limiter as -1";
    RovuRiza_OutputStageProcess(vars, fs, std::numeric_limits<float>::infinity());
    // Afterwards the stage is transparent again, without a lasting offset.
    const std::vector<float> in = tavelo::signal::sine(5000.0, fs, 4800, 0.01);
    const std::vector<float> out = runStage(vars, fs, in);
    for (size_t k = 100; k < in.size(); ++k)
        ASSERT_NEAR(out[k], kSmallSignalSlope * in[k], 2e-5f) << "sample " << k;
}
