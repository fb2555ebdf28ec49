// Prints how far the envelope blend k reaches and the output level of every voicing, for a
// guitar-like signal through the whole render callback at 48 kHz.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "Engine/RovuRiza_Engine.h"
#include "Engine/RovuRiza_EngineProbe.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
constexpr float kRate = 48000.0f;

// Strummed open chords: six plucked strings (a delay line with a damped averaging loop), each
// note decaying over a couple of seconds, scaled to the given peak.
std::vector<float> GuitarLike(float seconds, float peak)
{
    const double notes[6] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    const size_t length = size_t(seconds * kRate);
    std::vector<double> mix(length, 0.0);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const size_t strum = size_t(1.5 * kRate);
    for (size_t start = 0; start < length; start += strum)
        for (int s = 0; s < 6; ++s)
        {
            const size_t period = size_t(kRate / notes[s]);
            std::vector<double> line(period);
            for (double& v : line)
                v = u(rng);
            const size_t begin = start + size_t(s) * 480; // 10 ms between strings
            for (size_t n = begin, i = 0; n < length; ++n, ++i)
            {
                const size_t k = i % period;
                const double next = line[(k + 1) % period];
                mix[n] += line[k];
                line[k] = 0.4985 * (line[k] + next);
            }
        }
    double top = 0.0;
    for (double v : mix)
        top = std::max(top, std::abs(v));
    std::vector<float> out(length);
    for (size_t n = 0; n < length; ++n)
        out[n] = float(mix[n] * peak / top);
    return out;
}

struct Run
{
    double rmsDb;
    double maxK;
    double meanK;
};

Run Measure(float gain, float soundValue, const std::vector<float>& signal)
{
    RovuRiza_Engine amp;
    amp.prepare(kRate, 1);
    amp.setControl(RovuRiza_Control::kGain, gain);
    amp.setControl(RovuRiza_Control::kTremolo, 0.0f);
    amp.setControl(RovuRiza_Control::kTone, 0.5f);
    amp.setControl(RovuRiza_Control::kRate, 0.2f);
    amp.setControl(RovuRiza_Control::kVolume, 0.8f);
    amp.setControl(RovuRiza_Control::kPickup, 0.0f);
    amp.setControl(RovuRiza_Control::kSound, soundValue);

    const int block = 256;
    std::vector<float> silence(block, 0.0f), out(block);
    float* outputs[1] = {out.data()};
    for (int n = 0; n < int(kRate); n += block) // let the circuit settle from its zero state
    {
        const float* inputs[1] = {silence.data()};
        amp.process(inputs, outputs, block);
    }
    double sum = 0.0, maxK = 0.0, sumK = 0.0;
    size_t count = 0, blocks = 0;
    for (size_t n = 0; n + block <= signal.size(); n += block)
    {
        const float* inputs[1] = {signal.data() + n};
        amp.process(inputs, outputs, block);
        for (float o : out)
            sum += double(o) * o;
        count += block;
        const double k = 0.030000001 * RovuRiza_EngineProbe::ModelState(amp).envelope;
        maxK = std::max(maxK, k);
        sumK += k;
        ++blocks;
    }
    return {10.0 * std::log10(sum / double(count) + 1e-30), maxK, sumK / double(blocks)};
}
} // namespace

int main()
{
    const float peak = 0.5f;
    const std::vector<float> signal = GuitarLike(6.0f, peak);
    std::printf("Guitar-like signal: strummed open chords, peak %.2f, 6 s at 48 kHz; defaults "
                "Tone 0.5, Rate 0.2, Volume 0.8, Tremolo 0, Pickup 0\n\n",
                peak);
    for (float gain : {0.2f, 0.5f, 1.0f})
    {
        const Run r = Measure(gain, 0.0f, signal);
        std::printf("Gain %.1f, voicing 1: k max %.4f, k mean %.4f (envelope max %.3f)\n", gain,
                    r.maxK, r.meanK, r.maxK / 0.030000001);
    }
    std::printf("\nOutput RMS per voicing at default settings (Gain 0.2):\n");
    std::printf("| voicing | output RMS dBFS | k max |\n|---|---|---|\n");
    for (int v = 0; v < kRovuRizaVoicingCount; ++v)
    {
        const Run r = Measure(0.2f, float(v) * 0.01f, signal);
        std::printf("| %s | %.1f | %.4f |\n", kRovuRizaVoicingNames[v], r.rmsDb, r.maxK);
    }
    return 0;
}
