// Cost of the render callback for one mono instance at 48 kHz in 512-sample blocks, and of its
// two heaviest parts. Each benchmark reports "audio_s_per_cpu_s" (the real-time factor of that
// part); the rest of the callback is the total minus circuit and converter.
#include <benchmark/benchmark.h>

#include <cmath>
#include <utility>
#include <vector>

#include "Circuit/RovuRiza_Circuit.h"
#include "Converter/RovuRiza_Converter.h"
#include "Engine/RovuRiza_Engine.h"
#include "Engine/RovuRiza_EngineProbe.h"
#include "ModelState/RovuRiza_ModelState.h"

namespace
{
constexpr float kHostRate = 48000.f;
constexpr int kBlock = 512;

// A plucked-string-like test signal: decaying harmonics, repeated.
std::vector<float> guitarLike(size_t n)
{
    std::vector<float> x(n);
    for (size_t k = 0; k < n; ++k)
    {
        const double t = double(k % 48000) / kHostRate;
        const double decay = std::exp(-3.0 * t);
        x[k] =
            float(0.3 * decay *
                  (std::sin(2 * 3.14159265 * 110 * t) + 0.5 * std::sin(2 * 3.14159265 * 220 * t) +
                   0.25 * std::sin(2 * 3.14159265 * 330 * t)));
    }
    return x;
}

void setRate(benchmark::State& state, double hostSamplesPerIteration)
{
    state.counters["audio_s_per_cpu_s"] = benchmark::Counter(
        hostSamplesPerIteration / kHostRate, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_RenderCallbackMono48k(benchmark::State& state)
{
    RovuRiza_Engine amp;
    amp.prepare(kHostRate, 1);
    const std::pair<RovuRiza_Control, float> settings[] = {
        {RovuRiza_Control::kGain, 0.7f},   {RovuRiza_Control::kTremolo, 0.5f},
        {RovuRiza_Control::kTone, 0.5f},   {RovuRiza_Control::kRate, 0.5f},
        {RovuRiza_Control::kVolume, 0.7f}, {RovuRiza_Control::kSound, 0.0f},
        {RovuRiza_Control::kPickup, 0.01f}};
    for (const auto& [control, value] : settings)
        amp.setControl(control, value);
    const std::vector<float> signal = guitarLike(48000);
    std::vector<float> in(kBlock), out(kBlock);
    const float* inputs[1] = {in.data()};
    float* outputs[1] = {out.data()};
    for (int k = 0; k < 48000 / kBlock; ++k) // past the start-up
        amp.process(inputs, outputs, kBlock);
    size_t pos = 0;
    for (auto _ : state)
    {
        for (int k = 0; k < kBlock; ++k)
            in[k] = signal[(pos + k) % signal.size()];
        pos += kBlock;
        amp.process(inputs, outputs, kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    setRate(state, kBlock);
}
BENCHMARK(BM_RenderCallbackMono48k);

// The circuit alone: the four internal steps of each host sample, in one run per block.
void BM_CircuitSteps(benchmark::State& state)
{
    RovuRiza_Engine amp;
    amp.prepare(kHostRate, 1);
    const RovuRiza_ModelState& tables = RovuRiza_EngineProbe::ModelState(amp);
    RovuRiza_CircuitVars v;
    RovuRiza_LoadCircuit(tables, v);
    // Tone, Rate at half, no expression, no tremolo; three seconds of silence to rest.
    const float tone4 = 0.5f * 0.5f * 0.5f * 0.5f;
    const RovuRiza_StepControls c{0.995f * (1.f - tone4), 1.f - 0.995f * (1.f - tone4), 2.f,
                                  (0.1f + 7.9f * 0.5f) * 6.2831855f / 192000.f, 0.f};
    std::vector<float> u(4 * kBlock), o(4 * kBlock);
    for (int k = 0; k < 3 * 192000 / (4 * kBlock); ++k)
        RovuRiza_RunCircuit(v, tables, c, u.data(), o.data(), 4 * kBlock);
    const std::vector<float> signal = guitarLike(48000);
    size_t pos = 0;
    for (auto _ : state)
    {
        for (int k = 0; k < kBlock; ++k)
            for (int s = 0; s < 4; ++s)
                u[4 * k + s] = 0.49f * signal[(pos + k) % signal.size()];
        RovuRiza_RunCircuit(v, tables, c, u.data(), o.data(), 4 * kBlock);
        pos += kBlock;
        benchmark::DoNotOptimize(o.data());
    }
    setRate(state, kBlock);
}
BENCHMARK(BM_CircuitSteps);

// The converter alone, with a pass-through in place of the circuit.
void BM_ConverterOnly(benchmark::State& state)
{
    RovuRiza_Engine amp;
    amp.prepare(kHostRate, 1);
    RovuRiza_ConverterVars conv;
    RovuRiza_LoadConverter(RovuRiza_EngineProbe::ModelState(amp), conv);
    const std::vector<float> signal = guitarLike(48000);
    size_t pos = 0;
    for (auto _ : state)
    {
        float acc = 0.f;
        for (int k = 0; k < kBlock; ++k)
            acc += RovuRiza_ConvertSample(conv, signal[(pos + k) % signal.size()],
                                          [](float u) noexcept { return u; });
        pos += kBlock;
        benchmark::DoNotOptimize(acc);
    }
    setRate(state, kBlock);
}
BENCHMARK(BM_ConverterOnly);
} // namespace

BENCHMARK_MAIN();
