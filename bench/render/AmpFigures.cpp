// Prints the amp's measured figures: the start-up from the all-zero state, the resting operating
// point of the six tubes, distortion against Gain and level, expression, tone and tremolo.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "CircuitFixture.h"
#include "RenderHarness.h"
#include "SignalAnalysis.h"

using namespace circuit_test;

namespace
{
const char* const kTubeNames[6] = {"preamp stage 1",    "preamp stage 2",   "splitter triode 1",
                                   "splitter triode 2", "output pentode 1", "output pentode 2"};

void startUp()
{
    RovuRiza_CircuitVars v = zeroVars();
    const std::vector<float> out = run(v, std::vector<float>(size_t(3 * kInternalRate), 0.f));
    const std::vector<float> avg = pairAverage(out);
    double peak = 0.0;
    for (float o : out)
        peak = std::max(peak, double(std::fabs(o)));
    const float final = avg.back();
    size_t settled = avg.size();
    while (settled > 0 && std::fabs(avg[settled - 1] - final) < 1e-4f)
        --settled;
    double alternation = 0.0;
    for (size_t k = out.size() - 1000; k < out.size(); ++k)
        alternation = std::max(alternation, double(std::fabs(out[k] - avg.back())));
    std::printf("Circuit start-up from zero, silence in (192 kHz):\n");
    std::printf("  transient peak at circuit output %.4g, settled (pair average within 1e-4 of "
                "rest) after %.3f s\n",
                peak, double(settled) * 2.0 / kInternalRate);
    std::printf("  resting output (pair average) %.6g, half-rate alternation at rest +-%.4g\n",
                final, alternation);
    std::printf("  resting coordinates and currents (mean of two steps, [min..max] of the row):\n");
    RovuRiza_CircuitVars next = v;
    run(next, std::vector<float>(1, 0.f));
    auto grid = [](const RovuRiza_CircuitVars& s, int t) {
        return t < 2 ? s.i[2 * t] : t < 4 ? s.I[2 * (t - 2)] : 0.f;
    };
    auto plate = [](const RovuRiza_CircuitVars& s, int t) {
        return t < 2 ? s.i[2 * t + 1] : t < 4 ? s.I[2 * (t - 2) + 1] : s.I[t == 4 ? 5 : 7];
    };
    for (int t = 0; t < 6; ++t)
    {
        const float r0 = v.coordinates[2 * t], r1 = next.coordinates[2 * t];
        const float c0 = v.coordinates[2 * t + 1], c1 = next.coordinates[2 * t + 1];
        std::printf("    %-18s row %8.3f [%.1f..%.1f] column %8.3f  grid %.3g A  plate %.4g A\n",
                    kTubeNames[t], 0.5f * (r0 + r1), std::min(r0, r1), std::max(r0, r1),
                    0.5f * (c0 + c1), 0.5f * (grid(v, t) + grid(next, t)),
                    0.5f * (plate(v, t) + plate(next, t)));
    }

    RenderInstance amp(48000.f, AmpControls{0.5f, 0.f, 0.5f, 0.5f, 1.f, 0.f, 0.01f});
    const std::vector<float> host = amp.process(std::vector<float>(3 * 48000, 0.f));
    double hostPeak = 0.0;
    size_t lastLoud = 0;
    for (size_t k = 0; k < host.size(); ++k)
    {
        hostPeak = std::max(hostPeak, double(std::fabs(host[k])));
        if (std::fabs(host[k]) > 1e-3f) lastLoud = k;
    }
    std::printf("  render output at 48 kHz (Volume 1): start-up peak %.4g, below 1e-3 after "
                "%.3f s, rest rms %.3g\n",
                hostPeak, double(lastLoud) / 48000.0,
                rms(std::vector<float>(host.end() - 24000, host.end())));
}

double circuitThd(float gain, double level, const Settings& s, double* fundamental = nullptr)
{
    RovuRiza_CircuitVars v = restingVars();
    const std::vector<float> out = run(v, sineAt(110.0, gain * gain * level, 0.6), s);
    const std::vector<float> tail(out.begin() + 19200, out.end());
    if (fundamental) *fundamental = toneAmplitude(tail, 110.0, kInternalRate);
    return thd(tail, 110.0, kInternalRate);
}

void distortion()
{
    std::printf("\nTHD of a 110 Hz sine at the circuit output (harmonics 2..10):\n");
    std::printf("  level   Gain 0.2   Gain 0.5   Gain 1.0\n");
    for (double level : {0.05, 0.2, 0.5, 1.0})
    {
        std::printf("  %5.2f", level);
        for (float gain : {0.2f, 0.5f, 1.0f})
            std::printf("   %7.4f", circuitThd(gain, level, {}));
        std::printf("\n");
    }
    for (float e : {0.f, 1.f})
    {
        Settings s;
        s.expression = e;
        double f = 0.0;
        const double t = circuitThd(0.5f, 0.2, s, &f);
        std::printf("  expression factor %.0f (Gain 0.5, level 0.2): THD %.4f, fundamental %.4g\n",
                    2.0 + 4.0 * e, t, f);
    }
}

void tone()
{
    std::printf("\nTone: circuit output at 2 kHz relative to 200 Hz (small signal):\n");
    for (float t : {0.f, 0.5f, 1.f})
    {
        Settings s;
        s.tone = t;
        double amp[2];
        int i = 0;
        for (double f : {200.0, 2000.0})
        {
            RovuRiza_CircuitVars v = restingVars();
            const std::vector<float> out = run(v, sineAt(f, 0.001, 0.3), s);
            amp[i++] =
                toneAmplitude(std::vector<float>(out.begin() + 19200, out.end()), f, kInternalRate);
        }
        std::printf("  Tone %.1f: %.2f dB\n", t, 20.0 * std::log10(amp[1] / amp[0]));
    }
}

void tremolo()
{
    std::printf("\nTremolo at the render output (48 kHz, 440 Hz sine 0.1, Gain 0.2):\n");
    for (float rate : {1.f, 0.f})
    {
        AmpControls c;
        c.tremolo = 1.f;
        c.rate = rate;
        c.volume = 1.f;
        c.gain = 0.2f;
        RenderInstance amp(48000.f, c);
        const double seconds = rate > 0.f ? 4.0 : 22.0;
        std::vector<float> in(size_t(seconds * 48000));
        for (size_t k = 0; k < in.size(); ++k)
            in[k] = float(0.1 * std::sin(2.0 * kPi * 440.0 * double(k) / 48000.0));
        const std::vector<float> out = amp.process(in);
        std::vector<float> env;
        const size_t window = rate > 0.f ? 240 : 4800;
        for (size_t s = 96000; s + window <= out.size(); s += window)
            env.push_back(
                float(rms(std::vector<float>(out.begin() + s, out.begin() + s + window))));
        const double envRate = 48000.0 / double(window);
        double best = 0.0, bestF = 0.0, mean = 0.0;
        for (float e : env)
            mean += e / double(env.size());
        for (float& e : env)
            e -= float(mean);
        for (double f = 0.05; f < std::min(20.0, 0.45 * envRate); f += (f < 1.0 ? 0.01 : 0.05))
        {
            const double a = toneAmplitude(env, f, envRate);
            if (a > best) best = a, bestF = f;
        }
        std::printf("  Rate %.0f: envelope component at %.2f Hz, depth %.1f %% of the mean level\n",
                    rate, bestF, 100.0 * best / mean);
    }
}
} // namespace

int main()
{
    startUp();
    distortion();
    tone();
    tremolo();
    return 0;
}
