// Real-time factor of one instance through the whole host path: before each block the host
// confirms pending values, generates packets and hands the block to its audio thread, which
// runs the render callback. Input is the built-in DI guitar performance, looped. The factor
// is seconds of audio per second of process CPU time (both threads); the wall-clock factor is
// reported beside it and suffers first when the machine is shared.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ProductBenchSupport.h"

namespace product_bench
{
namespace
{

struct RealtimeCase
{
    int channels = 1;
    double sampleRate = 48000.0;
    int blockSize = 512;
    bool hotSettings = false; // every control turned up, tremolo running, another voicing
    bool hostOnly = false;    // a callback that does nothing: what the host path alone costs
    bool handOffOnly = false; // the same, straight through the renderer: the hand-off alone
};

void AAX_CALLBACK RenderNothing(void* const[], const void*) {}

void ApplyHotSettings(tavelo::host::HostInstance& instance)
{
    const std::pair<const char*, double> settings[] = {
        {"Gain", 0.9},   {"Tremolo", 0.7}, {"Rate", 0.6},   {"Tone", 0.7},
        {"Volume", 0.9}, {"Sound", 0.05},  {"Pickup", 0.01}};
    for (const auto& [identifier, value] : settings)
        instance.SetParameter(identifier, value);
}

void RunRealtime(benchmark::State& state, RealtimeCase c)
{
    std::unique_ptr<tavelo::host::HostInstance> instance;
    try
    {
        instance = MakeInstance(c.channels, c.sampleRate, c.blockSize);
    }
    catch (const std::exception& error)
    {
        Fail(state, std::string("instance set-up failed: ") + error.what());
        return;
    }
    if (c.hotSettings) ApplyHotSettings(*instance);
    if (c.hostOnly) instance->Renderer().SetProcessProc(&RenderNothing);

    const std::vector<float>& guitar = GuitarPerformance(c.sampleRate);
    const int64_t length = int64_t(guitar.size());
    const int64_t block = c.blockSize;
    std::vector<std::vector<float>> outputs(size_t(c.channels), std::vector<float>(size_t(block)));
    int64_t position = 0;
    auto renderBlock = [&]
    {
        if (position + block > length) position = 0;
        // The stereo configuration models the left input; the right one carries the same DI.
        const float* inputs[2] = {guitar.data() + position, guitar.data() + position};
        float* outs[2] = {outputs[0].data(), outputs.back().data()};
        if (c.handOffOnly)
            instance->Renderer().Render(inputs, outs, int32_t(block));
        else
            instance->Process(inputs, outs, block);
        position += block;
    };
    auto outputPeak = [&]
    {
        float peak = 0.0f;
        for (const std::vector<float>& channel : outputs)
            peak = std::max(peak, PeakOrInfinity(channel.data(), block));
        return peak;
    };

    // One second past the start, checked: a broken render must not pass as a fast one.
    float warmPeak = 0.0f;
    for (int64_t done = 0; done < int64_t(c.sampleRate); done += block)
    {
        renderBlock();
        warmPeak = std::max(warmPeak, outputPeak());
    }
    if (!std::isfinite(warmPeak))
    {
        Fail(state, "the output holds a non-finite sample");
        return;
    }
    if (!c.hostOnly && warmPeak < 1e-4f)
    {
        Fail(state, "the output is silent for a guitar input");
        return;
    }

    const double wallStart = WallSeconds();
    for (auto _ : state)
        renderBlock();
    const double wallSeconds = WallSeconds() - wallStart;

    if (!std::isfinite(outputPeak()))
    {
        Fail(state, "the output turned non-finite while measured");
        return;
    }
    const double audioSeconds = double(state.iterations()) * double(block) / c.sampleRate;
    state.counters["x_realtime"] = benchmark::Counter(
        double(block) / c.sampleRate, benchmark::Counter::kIsIterationInvariantRate);
    if (wallSeconds > 0) state.counters["x_realtime_wall"] = audioSeconds / wallSeconds;
    state.SetItemsProcessed(state.iterations() * block);
}

std::string CaseName(const RealtimeCase& c)
{
    std::string name = c.handOffOnly   ? "HandOff/"
                       : c.hostOnly    ? "HostPathOnly/"
                       : c.hotSettings ? "RealtimeHot/"
                                       : "Realtime/";
    name += c.channels == 2 ? "stereo/" : "mono/";
    name += std::to_string(int(c.sampleRate)) + "Hz/" + std::to_string(c.blockSize);
    return name;
}

} // namespace

void RegisterRealtimeBenchmarks(const RunOptions& options)
{
    std::vector<RealtimeCase> cases;
    for (int channels : {1, 2})
        for (double rate : {44100.0, 48000.0, 96000.0})
            for (int block : {64, 512})
                cases.push_back({channels, rate, block, false, false});
    cases.push_back({1, 48000.0, 512, true, false});
    cases.push_back({1, 48000.0, 64, false, true});
    cases.push_back({1, 48000.0, 512, false, true});
    cases.push_back({1, 48000.0, 512, false, true, true});

    for (const RealtimeCase& c : cases)
    {
        auto* registered = benchmark::RegisterBenchmark(
            CaseName(c).c_str(), [c](benchmark::State& state) { RunRealtime(state, c); });
        // The hand-off is a latency: the caller's wall-clock wait is what it costs.
        if (c.handOffOnly)
            registered->UseRealTime()->Unit(benchmark::kMicrosecond);
        else
            registered->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
        if (!options.smoke) registered->MinTime(1.0);
    }
}

} // namespace product_bench
