// Cost of one host sample through the envelope follower and the 100-section bank, one sample
// per call and in blocks.
#include <benchmark/benchmark.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <vector>

#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
void BankPerSample(benchmark::State& state)
{
    RovuRiza_SectionPoles poles{};
    RovuRiza_SetUpSectionPoles(&poles, sizeof poles, 48000.0f);
    RovuRiza_VoicingPayload payload;
    std::memset(&payload, 0, sizeof payload);
    RovuRiza_BuildVoicingPayload(0.08f, 48000.0, payload);
    alignas(64) float h1[200] = {}, h2[200] = {};
    float envelope = 0.0f;
    const float coef = std::exp(-0.0005001484f);
    float phase = 0.0f;
    for (auto _ : state)
    {
        phase += 0.05f;
        if (phase > 6.2831855f) phase -= 6.2831855f;
        const float y = 0.3f * std::sin(phase);
        benchmark::DoNotOptimize(
            RovuRiza_VoicingProcess(payload, poles, h1, h2, envelope, coef, y));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BankPerSample);

// The render's way: gains prepared once per call, then the call's samples as one block. The
// argument is the block length; the figure is per host sample, preparation included.
void BankBlock(benchmark::State& state)
{
    RovuRiza_SectionPoles poles{};
    RovuRiza_SetUpSectionPoles(&poles, sizeof poles, 48000.0f);
    RovuRiza_VoicingPayload payload;
    std::memset(&payload, 0, sizeof payload);
    RovuRiza_BuildVoicingPayload(0.08f, 48000.0, payload);
    alignas(64) float h1[200] = {}, h2[200] = {};
    float envelope = 0.0f;
    const float coef = std::exp(-0.0005001484f);
    const int length = static_cast<int>(state.range(0));
    std::vector<float> source(length), block(length);
    for (int n = 0; n < length; ++n)
        source[n] = 0.3f * std::sin(0.05f * n);
    for (auto _ : state)
    {
        std::copy(source.begin(), source.end(), block.begin());
        RovuRiza_VoicingBankCoefficients bank;
        RovuRiza_PrepareVoicingBank(payload, bank);
        RovuRiza_VoicingProcessBlock(bank, poles, h1, h2, envelope, coef, block.data(), length);
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * length);
    state.counters["ns_per_sample"] =
        benchmark::Counter(double(state.iterations()) * length,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BankBlock)->Arg(1)->Arg(32)->Arg(512);

// The once-per-call preparation on its own.
void BankPrepare(benchmark::State& state)
{
    RovuRiza_VoicingPayload payload;
    std::memset(&payload, 0, sizeof payload);
    RovuRiza_BuildVoicingPayload(0.08f, 48000.0, payload);
    for (auto _ : state)
    {
        RovuRiza_VoicingBankCoefficients bank;
        benchmark::DoNotOptimize(&payload);
        RovuRiza_PrepareVoicingBank(payload, bank);
        benchmark::DoNotOptimize(&bank);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BankPrepare);
} // namespace

BENCHMARK_MAIN();
