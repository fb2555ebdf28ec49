// Set-up cost of one instance's model state block. The first set-up of a process pays for
// computing the tube tables; every further one copies them. Each run sets up a freshly
// allocated block, as a host does for a new insert, so first-touch page faults are included.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ModelState/RovuRiza_ModelState.h"
#include "Tubes/RovuRiza_TubeCoefficients.h"
#include "Tubes/RovuRiza_TubeTables.h"

namespace
{
// Representative converter coefficients; their values do not change the cost.
const float kRecursive[9] = {1.0f, -0.5f, 0.25f, -0.125f, 0.0625f, 0.0f, 0.0f, 0.0f, 0.0f};
const float kForward[9] = {0.1f, 0.2f, 0.3f, 0.2f, 0.1f, 0.0f, 0.0f, 0.0f, 0.0f};

void* freshBlock()
{
    void* block = std::aligned_alloc(64, RovuRiza_Field::kModelStateSize);
    if (block == nullptr) std::abort();
    return block;
}

void setUpOnce(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        void* block = freshBlock();
        state.ResumeTiming();
        RovuRiza_SetUpModelState(block, RovuRiza_Field::kModelStateSize, 48000.0f, kRecursive,
                                 kForward);
        benchmark::DoNotOptimize(block);
        state.PauseTiming();
        std::free(block);
        state.ResumeTiming();
    }
}

// Registered first and run once: the process-wide tables are computed here.
void BM_FirstInstanceSetUp(benchmark::State& state)
{
    setUpOnce(state);
}
void BM_FurtherInstanceSetUp(benchmark::State& state)
{
    setUpOnce(state);
}
// For comparison: one row (of the hundred) evaluated power by power with powf, the form the
// tables are defined by; computing that per instance is what the shared tables avoid.
void BM_PowerByPowerOneRow(benchmark::State& state)
{
    const float* p = polycoefspret1Ip;
    std::vector<float> row(kRovuRizaTubeColumns);
    for (auto _ : state)
    {
        for (int j = 0; j < kRovuRizaTubeColumns - 1; ++j)
        {
            const float x = float(j) * 4.5352503e-05f - 1.0f;
            float q = p[18] * x * x + p[19] * x + (p[20] + 0.0f);
            for (int k = 3; k <= 20; ++k)
                q = p[20 - k] * powf(x, float(k)) + q;
            row[j] = q;
        }
        benchmark::DoNotOptimize(row.data());
    }
}
} // namespace

BENCHMARK(BM_FirstInstanceSetUp)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FurtherInstanceSetUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PowerByPowerOneRow)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
