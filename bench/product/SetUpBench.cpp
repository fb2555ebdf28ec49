// Set-up and memory: bundle load and the first instance of a process (measured in fresh child
// processes, since the plug-in keeps process-wide tables after its first instance), later
// instances of a loaded bundle, and resident memory per instance.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ProductBenchSupport.h"

namespace product_bench
{
namespace
{

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr double kMiB = 1024.0 * 1024.0;

tavelo::host::InstanceOptions OptionsFor(int channels, double sampleRate)
{
    tavelo::host::InstanceOptions options;
    options.stemFormat = channels == 2 ? AAX_eStemFormat_Stereo : AAX_eStemFormat_Mono;
    options.sampleRate = sampleRate;
    options.blockSize = kBlock;
    return options;
}

// Renders a tenth of a second of guitar, so every part of the instance has been touched;
// false when the output is not finite.
bool RenderBriefly(tavelo::host::HostInstance& instance, const std::vector<float>& guitar)
{
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    bool finite = true;
    for (int64_t position = 0; position + kBlock <= int64_t(kRate / 10); position += kBlock)
    {
        const float* inputs[2] = {guitar.data() + position, guitar.data() + position};
        instance.Process(inputs, outputs, kBlock);
        finite = finite && std::isfinite(PeakOrInfinity(left.data(), kBlock));
    }
    return finite;
}

// Bytes of the render context the host allocates for one instance (data ports and private
// blocks), as the description declares them.
double DeclaredContextBytes(int channels)
{
    const auto* component =
        SharedBundle().Component(channels == 2 ? AAX_eStemFormat_Stereo : AAX_eStemFormat_Mono);
    double bytes = 0;
    if (component)
        for (const tavelo::host::FieldRecord& field : component->fields)
            if (field.kind == AAX_eFieldKind_DataInPort || field.kind == AAX_eFieldKind_PrivateData)
                bytes += double(field.size);
    return bytes;
}

// Figures printed by the "setup" child, in order.
enum SetUpFigure
{
    kLoadWall,
    kLoadCpu,
    kFirstWall,
    kFirstCpu,
    kSecondWall,
    kSecondCpu,
    kSetUpFigures
};

void RunFreshProcess(benchmark::State& state, SetUpFigure wallFigure)
{
    double cpuTotal = 0, otherWallTotal = 0;
    for (auto _ : state)
    {
        std::string error;
        const std::vector<double> figures = RunChild("setup", {}, &error);
        if (figures.size() != kSetUpFigures)
        {
            Fail(state, error.empty() ? "the set-up child printed the wrong figures" : error);
            return;
        }
        state.SetIterationTime(figures[wallFigure]);
        cpuTotal += figures[wallFigure + 1];
        if (wallFigure == kFirstWall) otherWallTotal += figures[kSecondWall];
    }
    const double n = double(state.iterations());
    state.counters["cpu_ms"] = 1e3 * cpuTotal / n;
    if (wallFigure == kFirstWall) state.counters["second_instance_ms"] = 1e3 * otherWallTotal / n;
}

void RunLaterInstance(benchmark::State& state, int channels, double sampleRate)
{
    const tavelo::host::InstanceOptions options = OptionsFor(channels, sampleRate);
    double cpuTotal = 0, teardownTotal = 0;
    try
    {
        // The process-wide tables exist before the first timed instance.
        auto warm = tavelo::host::HostInstance::Create(SharedBundle().Effect(), options);
        for (auto _ : state)
        {
            const double wall = WallSeconds(), cpu = ProcessCpuSeconds();
            auto instance = tavelo::host::HostInstance::Create(SharedBundle().Effect(), options);
            state.SetIterationTime(WallSeconds() - wall);
            cpuTotal += ProcessCpuSeconds() - cpu;
            const double teardown = WallSeconds();
            instance.reset();
            teardownTotal += WallSeconds() - teardown;
        }
    }
    catch (const std::exception& error)
    {
        Fail(state, std::string("instance set-up failed: ") + error.what());
        return;
    }
    const double n = double(state.iterations());
    state.counters["cpu_ms"] = 1e3 * cpuTotal / n;
    state.counters["teardown_ms"] = 1e3 * teardownTotal / n;
}

// Figures printed by the "memory" child, in order.
enum MemoryFigure
{
    kFirstRss,
    kFirstHeap,
    kLaterRss,
    kLaterHeap,
    kChildWall,
    kMemoryFigures
};

void RunMemory(benchmark::State& state, int channels, int instances)
{
    double declared = 0;
    try
    {
        declared = DeclaredContextBytes(channels);
    }
    catch (const std::exception& error)
    {
        Fail(state, std::string("the bundle did not load: ") + error.what());
        return;
    }
    for (auto _ : state)
    {
        std::string error;
        const std::vector<double> figures =
            RunChild("memory", {std::to_string(channels), std::to_string(instances)}, &error);
        if (figures.size() != kMemoryFigures)
        {
            Fail(state, error.empty() ? "the memory child printed the wrong figures" : error);
            return;
        }
        state.SetIterationTime(figures[kChildWall]);
        // The context blocks are set up but their tube-table room is left untouched (every
        // instance reads the process's shared tables), so a later instance holds little: more
        // than the declared context would be memory it should not hold, nothing at all a
        // reading that measured nothing.
        const double later = figures[kLaterRss];
        if (later <= 0.0 || later > declared)
        {
            Fail(state, "resident growth per instance of " + std::to_string(later / kMiB) +
                            " MiB is implausible against the declared context of " +
                            std::to_string(declared / kMiB) + " MiB");
            return;
        }
        state.counters["rss_first_MiB"] = figures[kFirstRss] / kMiB;
        state.counters["rss_per_instance_MiB"] = later / kMiB;
        state.counters["heap_first_MiB"] = figures[kFirstHeap] / kMiB;
        state.counters["heap_per_instance_MiB"] = figures[kLaterHeap] / kMiB;
        state.counters["context_MiB"] = declared / kMiB;
    }
}

std::string ChannelName(int channels)
{
    return channels == 2 ? "stereo" : "mono";
}

} // namespace

int ChildSetUp(const std::vector<std::string>&)
{
    const double wall0 = WallSeconds(), cpu0 = ProcessCpuSeconds();
    auto bundle = tavelo::host::PluginBundle::Load(tavelo::host::PluginBundle::DefaultBundlePath());
    const double wall1 = WallSeconds(), cpu1 = ProcessCpuSeconds();
    auto first = tavelo::host::HostInstance::Create(bundle->Effect(), OptionsFor(1, kRate));
    const double wall2 = WallSeconds(), cpu2 = ProcessCpuSeconds();
    auto second = tavelo::host::HostInstance::Create(bundle->Effect(), OptionsFor(1, kRate));
    const double wall3 = WallSeconds(), cpu3 = ProcessCpuSeconds();
    second.reset();
    first.reset();
    bundle.reset();
    std::printf("%.9f %.9f %.9f %.9f %.9f %.9f\n", wall1 - wall0, cpu1 - cpu0, wall2 - wall1,
                cpu2 - cpu1, wall3 - wall2, cpu3 - cpu2);
    return 0;
}

int ChildMemory(const std::vector<std::string>& args)
{
    if (args.size() != 2) return 1;
    const int channels = std::stoi(args[0]);
    const int count = std::stoi(args[1]);
    if (count < 1 || (channels != 1 && channels != 2)) return 1;
    const double wall = WallSeconds();
    const std::vector<float>& guitar = GuitarPerformance(kRate);
    auto bundle = tavelo::host::PluginBundle::Load(tavelo::host::PluginBundle::DefaultBundlePath());
    const tavelo::host::InstanceOptions options = OptionsFor(channels, kRate);

    const int64_t rss0 = ResidentBytes(), heap0 = HeapBytesInUse();
    auto first = tavelo::host::HostInstance::Create(bundle->Effect(), options);
    if (!RenderBriefly(*first, guitar))
    {
        std::fprintf(stderr,
                     "product_bench child: the first instance rendered non-finite output\n");
        return 1;
    }
    const int64_t rss1 = ResidentBytes(), heap1 = HeapBytesInUse();
    std::vector<std::unique_ptr<tavelo::host::HostInstance>> later;
    for (int i = 0; i < count; ++i)
    {
        later.push_back(tavelo::host::HostInstance::Create(bundle->Effect(), options));
        if (!RenderBriefly(*later.back(), guitar))
        {
            std::fprintf(stderr, "product_bench child: instance %d rendered non-finite output\n",
                         i + 2);
            return 1;
        }
    }
    const int64_t rss2 = ResidentBytes(), heap2 = HeapBytesInUse();
    if (rss0 < 0 || rss1 < 0 || rss2 < 0)
    {
        std::fprintf(stderr, "product_bench child: /proc/self/statm cannot be read\n");
        return 1;
    }
    later.clear();
    first.reset();
    bundle.reset();
    std::printf("%.0f %.0f %.1f %.1f %.9f\n", double(rss1 - rss0), double(heap1 - heap0),
                double(rss2 - rss1) / count, double(heap2 - heap1) / count, WallSeconds() - wall);
    return 0;
}

void RegisterSetUpBenchmarks(const RunOptions& options)
{
    const int childRuns = options.smoke ? 1 : 5;
    benchmark::RegisterBenchmark("SetUp/BundleLoad/fresh_process",
                                 [](benchmark::State& state) { RunFreshProcess(state, kLoadWall); })
        ->UseManualTime()
        ->Iterations(childRuns)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SetUp/FirstInstance/fresh_process/mono/48000Hz",
                                 [](benchmark::State& state)
                                 { RunFreshProcess(state, kFirstWall); })
        ->UseManualTime()
        ->Iterations(childRuns)
        ->Unit(benchmark::kMillisecond);

    const std::pair<int, double> laterCases[] = {
        {1, 44100.0}, {1, 48000.0}, {1, 96000.0}, {2, 48000.0}};
    for (const auto& [channels, rate] : laterCases)
    {
        const std::string name =
            "SetUp/LaterInstance/" + ChannelName(channels) + "/" + std::to_string(int(rate)) + "Hz";
        auto* registered =
            benchmark::RegisterBenchmark(name.c_str(), [channels, rate](benchmark::State& state)
                                         { RunLaterInstance(state, channels, rate); });
        registered->UseManualTime()->Unit(benchmark::kMillisecond);
        if (options.smoke) registered->Iterations(2);
    }

    const int instances = options.smoke ? 2 : 8;
    for (int channels : {1, 2})
        benchmark::RegisterBenchmark(("Memory/" + ChannelName(channels)).c_str(),
                                     [channels, instances](benchmark::State& state)
                                     { RunMemory(state, channels, instances); })
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
}

} // namespace product_bench
