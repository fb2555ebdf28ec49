// Cost of the render callback for one mono instance at 48 kHz in 512-sample blocks, and of its
// two heaviest parts. Each benchmark reports "audio_s_per_cpu_s" (the real-time factor of that
// part); the rest of the callback is the total minus circuit and converter.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "CircuitFixture.h"
#include "Converter/RovuRiza_Converter.h"
#include "RenderHarness.h"

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
    circuit_test::AmpControls controls;
    controls.gain = 0.7f;
    controls.tremolo = 0.5f;
    controls.volume = 0.7f;
    circuit_test::RenderInstance amp(kHostRate, controls);
    const std::vector<float> signal = guitarLike(48000);
    std::vector<float> in(kBlock), out(kBlock);
    size_t pos = 0;
    amp.process(std::vector<float>(48000, 0.f)); // past the start-up
    for (auto _ : state)
    {
        for (int k = 0; k < kBlock; ++k)
            in[k] = signal[(pos + k) % signal.size()];
        pos += kBlock;
        amp.renderBlock(in.data(), out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    setRate(state, kBlock);
}
BENCHMARK(BM_RenderCallbackMono48k);

// The circuit alone: the four internal steps of each host sample, in one run per block.
void BM_CircuitSteps(benchmark::State& state)
{
    using namespace circuit_test;
    RovuRiza_CircuitVars v = restingVars();
    const RovuRiza_StepControls c = controlsFor({});
    const RovuRiza_ModelState& tables = sharedState();
    const std::vector<float> signal = guitarLike(48000);
    size_t pos = 0;
    std::vector<float> u(4 * kBlock), o(4 * kBlock);
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
    circuit_test::RenderInstance amp(kHostRate);
    RovuRiza_ConverterVars conv;
    RovuRiza_LoadConverter(amp.state(), conv);
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
