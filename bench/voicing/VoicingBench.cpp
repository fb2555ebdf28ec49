// Cost of one host sample through the envelope follower and the 100-section bank.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

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
} // namespace

BENCHMARK_MAIN();
