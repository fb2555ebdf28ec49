// Cost that grows with the number of instances: N mono instances at 48 kHz rendered one after
// another on one thread, 512-frame blocks of the built-in performance, at Gain 0.2 and 1. With
// every instance reading the one shared copy of the tube tables, the cost per instance should
// not grow with N; the resident memory each added instance costs is reported beside it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

#include "DefaultPerformance.h"
#include "Engine/RovuRiza_Engine.h"

namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr size_t kSeconds = 10;

const std::vector<float>& performance()
{
    static const std::vector<float> samples = []
    {
        std::vector<float> all = tavelo::cli::synthesizeDefaultPerformance(kRate);
        all.resize(size_t(kRate) * kSeconds / kBlock * kBlock);
        return all;
    }();
    return samples;
}

double residentMiB()
{
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return -1.0;
    long long size = 0, resident = 0;
    const int read = std::fscanf(file, "%lld %lld", &size, &resident);
    std::fclose(file);
    return read == 2 ? double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : -1.0;
}

std::vector<std::unique_ptr<RovuRiza_Engine>> makeInstances(int count, float gain)
{
    std::vector<std::unique_ptr<RovuRiza_Engine>> engines;
    for (int n = 0; n < count; ++n)
    {
        engines.push_back(std::make_unique<RovuRiza_Engine>());
        engines.back()->prepare(kRate, 1);
        engines.back()->setControl(RovuRiza_Control::kGain, gain);
    }
    return engines;
}

// One iteration: the next block of the performance through every instance in turn.
void BM_Instances(benchmark::State& state)
{
    const int count = int(state.range(0));
    const float gain = float(state.range(1)) / 10.0f;
    const std::vector<float>& in = performance();
    auto engines = makeInstances(count, gain);
    std::vector<float> out(kBlock);
    size_t position = 0;
    for (auto _ : state)
    {
        const float* input = in.data() + position;
        float* output = out.data();
        for (auto& engine : engines)
            engine->process(&input, &output, kBlock);
        benchmark::DoNotOptimize(out.data());
        position = position + kBlock < in.size() ? position + kBlock : 0;
    }
    state.counters["per_instance_us"] =
        benchmark::Counter(double(state.iterations()) * count * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Instances)
    ->ArgsProduct({{1, 2, 4, 8}, {2, 10}})
    ->ArgNames({"instances", "gain_x10"})
    ->Unit(benchmark::kMicrosecond);

// Resident memory of each instance added after the first, once all have rendered the whole
// performance at Gain 1 (every table line a loud instance reads is then resident).
void BM_ResidentPerInstance(benchmark::State& state)
{
    const std::vector<float>& in = performance();
    std::vector<float> out(kBlock);
    double perInstance = 0.0;
    for (auto _ : state)
    {
        std::vector<std::unique_ptr<RovuRiza_Engine>> engines;
        double first = 0.0;
        for (int n = 0; n < 8; ++n)
        {
            auto added = makeInstances(1, 1.0f);
            engines.push_back(std::move(added.front()));
            for (size_t p = 0; p < in.size(); p += kBlock)
            {
                const float* input = in.data() + p;
                float* output = out.data();
                engines.back()->process(&input, &output, kBlock);
            }
            if (n == 0) first = residentMiB();
        }
        perInstance = (residentMiB() - first) / 7.0;
    }
    state.counters["rss_per_instance_MiB"] = perInstance;
}
BENCHMARK(BM_ResidentPerInstance)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
