// Prints the amp's measured figures: the start-up from the all-zero state, the resting operating
// point of the six tubes, distortion against Gain and level, expression, tone and tremolo.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "Circuit/RovuRiza_Circuit.h"
#include "Engine/RovuRiza_Engine.h"
#include "Engine/RovuRiza_EngineProbe.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "SignalAnalysis.h"

using namespace tavelo::signal;

namespace
{
constexpr double kInternalRate = 192000.0;

// The circuit on its own, at the internal rate, with the tables of an engine prepared at 48 kHz.
struct Settings
{
    float tone = 0.5f;
    float expression = 0.f;
    float rate = 0.5f;
    float tremolo = 0.f;
};

RovuRiza_StepControls controlsFor(const Settings& s)
{
    const float t2 = s.tone * s.tone;
    const float p = 0.995f * (1.f - t2 * t2);
    return {p, 1.f - p, (2.f * s.expression + 1.f) * 2.f,
            (0.1f + 7.9f * s.rate) * 6.2831855f / 192000.f, 5.f * s.tremolo};
}

const RovuRiza_ModelState& tables()
{
    static RovuRiza_Engine engine;
    if (!engine.prepared()) engine.prepare(48000.0, 1);
    return RovuRiza_EngineProbe::ModelState(engine);
}

RovuRiza_CircuitVars zeroVars()
{
    RovuRiza_CircuitVars v;
    RovuRiza_LoadCircuit(tables(), v);
    return v;
}

std::vector<float> run(RovuRiza_CircuitVars& v, const std::vector<float>& u, const Settings& s = {})
{
    std::vector<float> out(u.size());
    const RovuRiza_StepControls c = controlsFor(s);
    RovuRiza_RunCircuit(v, tables(), c, u.data(), out.data(), int(u.size()));
    return out;
}

// After three seconds of silence from the all-zero start.
RovuRiza_CircuitVars restingVars()
{
    RovuRiza_CircuitVars v = zeroVars();
    run(v, std::vector<float>(size_t(3 * kInternalRate), 0.f));
    return v;
}

// Averages neighbouring steps: removes the half-rate component the converter removes.
std::vector<float> pairAverage(const std::vector<float>& x)
{
    std::vector<float> y(x.size() / 2);
    for (size_t k = 0; k < y.size(); ++k)
        y[k] = 0.5f * (x[2 * k] + x[2 * k + 1]);
    return y;
}

std::vector<float> sineAt(double f, double amplitude, double seconds)
{
    return sine(f, kInternalRate, int(seconds * kInternalRate), amplitude);
}

// The whole amp at 48 kHz: Gain, Tremolo, Tone, Rate, Volume; Sound entry 0, unfiltered pickup.
std::vector<float> renderAmp(const std::vector<float>& in, float gain, float tremolo, float tone,
                             float rate, float volume)
{
    RovuRiza_Engine amp;
    amp.prepare(48000.0, 1);
    const std::pair<RovuRiza_Control, float> settings[] = {
        {RovuRiza_Control::kGain, gain},     {RovuRiza_Control::kTremolo, tremolo},
        {RovuRiza_Control::kTone, tone},     {RovuRiza_Control::kRate, rate},
        {RovuRiza_Control::kVolume, volume}, {RovuRiza_Control::kSound, 0.f},
        {RovuRiza_Control::kPickup, 0.01f}};
    for (const auto& [control, value] : settings)
        amp.setControl(control, value);
    std::vector<float> out(in.size());
    for (size_t start = 0; start < in.size(); start += 512)
    {
        const float* inputs[1] = {in.data() + start};
        float* outputs[1] = {out.data() + start};
        amp.process(inputs, outputs, uint32_t(std::min<size_t>(512, in.size() - start)));
    }
    return out;
}

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

    const std::vector<float> host =
        renderAmp(std::vector<float>(3 * 48000, 0.f), 0.5f, 0.f, 0.5f, 0.5f, 1.f);
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
        std::printf("  Tone %.1f: %.2f dB\n", t, gainDb(amp[1] / amp[0]));
    }
}

void tremolo()
{
    std::printf("\nTremolo at the render output (48 kHz, 440 Hz sine 0.1, Gain 0.2):\n");
    for (float rate : {1.f, 0.f})
    {
        const double seconds = rate > 0.f ? 4.0 : 22.0;
        std::vector<float> in(size_t(seconds * 48000));
        for (size_t k = 0; k < in.size(); ++k)
            in[k] = float(0.1 * std::sin(2.0 * kPi * 440.0 * double(k) / 48000.0));
        const std::vector<float> out = renderAmp(in, 0.2f, 1.f, 0.5f, rate, 1.f);
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
