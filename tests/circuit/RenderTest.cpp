// The amp through the whole render callback: every supported host rate, abuse and recovery,
// and the tremolo heard at the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "RenderHarness.h"
#include "SignalAnalysis.h"

using namespace render_test;
using namespace tavelo::signal;

namespace
{
std::vector<float> toneBurst(double f, double amplitude, double seconds, double fs)
{
    return sine(f, fs, int(seconds * fs), amplitude);
}

// RMS over consecutive windows of `window` samples.
std::vector<float> envelope(const std::vector<float>& x, size_t window)
{
    std::vector<float> env;
    for (size_t start = 0; start + window <= x.size(); start += window)
        env.push_back(
            float(rms(std::vector<float>(x.begin() + start, x.begin() + start + window))));
    return env;
}

double maxAbs(const std::vector<float>& x)
{
    double m = 0.0;
    for (float v : x)
        m = std::max(m, double(std::fabs(v)));
    return m;
}
} // namespace

class EveryHostRate : public ::testing::TestWithParam<float>
{
};

TEST_P(EveryHostRate, FullSettingsAndFullScaleInputStayBoundedAndComeBackToRest)
{
    const float fs = GetParam();
    AmpControls loudest;
    loudest.gain = 1.f;
    loudest.tone = 1.f;
    loudest.tremolo = 1.f;
    loudest.rate = 1.f;
    loudest.volume = 1.f;
    RenderInstance amp(fs, loudest);
    amp.expression(127);

    const std::vector<float> warmUp = amp.process(std::vector<float>(size_t(fs), 0.f));
    std::vector<float> drive = toneBurst(110.0, 1.0, 0.5, fs);
    for (size_t k = 0; k < drive.size(); k += 97)
        drive[k] = (k % 2) ? 1.f : -1.f; // full-scale clicks on top
    const std::vector<float> driven = amp.process(drive);
    const std::vector<float> after = amp.process(std::vector<float>(size_t(2 * fs), 0.f));

    for (const auto* part : {&warmUp, &driven, &after})
        for (float v : *part)
            ASSERT_TRUE(std::isfinite(v)) << fs;
    // Far beyond full scale the output stage's inverse filter turns the limiter's corners into
    // spikes that grow with the rate squared; they stay within that stage's own bound
    // 7.35 * (a0 + |a1| + a2), about 7.35 * 4 * (fs / 447.36)^2.
    const double k = 447.3628 / fs;
    EXPECT_LT(maxAbs(driven), 7.36 * (4.0 / (k * k) + 2.0 / (k * 0.64) + 1.0)) << fs;
    // The carried circuit values stay finite: no runaway inside the model.
    const float* carried = reinterpret_cast<const float*>(&amp.state().circuitState);
    for (size_t i = 0; i < sizeof(RovuRiza_CircuitState) / sizeof(float); ++i)
        ASSERT_TRUE(std::isfinite(carried[i]) && std::fabs(carried[i]) < 1e10f) << i;
    EXPECT_GT(rms(driven), 1e-3) << fs << ": the drive must be heard";

    // The last half second of silence is as quiet as the rest before the drive.
    const std::vector<float> lastHalf(after.end() - size_t(fs / 2), after.end());
    const std::vector<float> restHalf(warmUp.end() - size_t(fs / 2), warmUp.end());
    EXPECT_LT(rms(lastHalf), 1e-2) << fs;
    EXPECT_LT(rms(lastHalf), 2.0 * rms(restHalf) + 1e-4) << fs;
}

INSTANTIATE_TEST_SUITE_P(Rates, EveryHostRate,
                         ::testing::Values(16000.f, 22050.f, 32000.f, 44100.f, 48000.f, 88200.f,
                                           96000.f, 176400.f, 192000.f));

TEST(RenderTremolo, FullDepthModulatesTheOutputAtTheRate)
{
    const float fs = 48000.f;
    AmpControls c;
    c.tremolo = 1.f;
    c.rate = 1.f;
    c.volume = 1.f;
    c.gain = 0.2f; // below saturation, which would compress the modulation away
    RenderInstance amp(fs, c);
    amp.process(std::vector<float>(size_t(2 * fs), 0.f));
    const std::vector<float> out = amp.process(toneBurst(440.0, 0.1, 2.0, fs));
    // Envelope in 5 ms windows; its strongest component between 1 and 20 Hz is the tremolo.
    std::vector<float> env = envelope(std::vector<float>(out.begin() + 4800, out.end()), 240);
    const double envRate = fs / 240.0;
    double best = 0.0, bestF = 0.0;
    for (double f = 1.0; f <= 20.0; f += 0.25)
    {
        const double a = toneAmplitude(env, f, envRate);
        if (a > best)
        {
            best = a;
            bestF = f;
        }
    }
    EXPECT_NEAR(bestF, 8.0, 0.25);
    double mean = 0.0;
    for (float e : env)
        mean += e;
    mean /= double(env.size());
    EXPECT_GT(best / mean, 0.1) << "audible modulation depth";
}

TEST(RenderTremolo, SlowestRateFollowsATenSecondCycle)
{
    constexpr size_t kSkippedWindows = 20;
    const float fs = 16000.f; // the slow cycle needs a long run; the lowest rate keeps it cheap
    AmpControls c;
    c.tremolo = 1.f;
    c.rate = 0.f;
    c.volume = 1.f;
    c.gain = 0.2f;
    RenderInstance amp(fs, c);
    const std::vector<float> out = amp.process(toneBurst(440.0, 0.1, 10.0, fs));
    // Envelope in 100 ms windows over one period, skipping the start-up.
    std::vector<float> env = envelope(out, 1600);
    env.erase(env.begin(), env.begin() + kSkippedWindows);
    // Correlate with the bias: 0.1 Hz sine starting at phase 0 at the first step.
    double num = 0.0, ee = 0.0, ss = 0.0, mean = 0.0;
    for (float e : env)
        mean += e;
    mean /= double(env.size());
    for (size_t k = 0; k < env.size(); ++k)
    {
        const double t = (double(k + kSkippedWindows) + 0.5) * 0.1;
        const double s = std::sin(2.0 * kPi * 0.1 * t);
        num += (env[k] - mean) * s;
        ee += (env[k] - mean) * (env[k] - mean);
        ss += s * s;
    }
    EXPECT_GT(std::fabs(num) / std::sqrt(ee * ss), 0.9);
}
