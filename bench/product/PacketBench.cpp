// Packet generation on the host's non-real-time side: GenerateCoefficients with nothing
// changed (what every block pays), after one changed parameter (an 8-byte packet), and after
// a change of "Sound", which rebuilds the 1616-byte voicing packet for the instance's rate.
// Each measured step is what one automation event costs the host: the set-value request, its
// confirmation, GenerateCoefficients and delivery into the data ports, in thread CPU time
// (robust on a shared machine). "generate_ns" times GenerateCoefficients alone on the wall
// clock, which a busy machine inflates; the change alone is Packets/SetParameterConfirmed.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ProductBenchSupport.h"

namespace product_bench
{
namespace
{

constexpr int kBlock = 512;
constexpr AAX_CFieldIndex kGainPort = 1;
constexpr AAX_CFieldIndex kSoundPort = 7;
constexpr int kVoicings = 28;

std::vector<uint8_t> PortBytes(tavelo::host::HostInstance& instance, AAX_CFieldIndex port)
{
    const uint8_t* data = instance.Renderer().PortData(port);
    if (!data) return {};
    return std::vector<uint8_t>(data, data + instance.Renderer().PortSize(port));
}

// One change by changeFor(iteration), then GenerateCoefficients; the port must hold different
// bytes after two different values, or packets are not arriving.
template <typename Change>
void RunGeneration(benchmark::State& state, double sampleRate, AAX_CFieldIndex watchedPort,
                   Change changeFor)
{
    std::unique_ptr<tavelo::host::HostInstance> instance;
    try
    {
        instance = MakeInstance(1, sampleRate, kBlock);
    }
    catch (const std::exception& error)
    {
        Fail(state, std::string("instance set-up failed: ") + error.what());
        return;
    }
    instance->GenerateCoefficients(); // the first generation posts every port

    int64_t iteration = 0;
    double generateSeconds = 0;
    std::vector<uint8_t> firstBytes, secondBytes;
    for (auto _ : state)
    {
        changeFor(*instance, iteration);
        const double start = WallSeconds();
        const AAX_Result result = instance->GenerateCoefficients();
        generateSeconds += WallSeconds() - start;
        if (result != AAX_SUCCESS)
        {
            Fail(state, "GenerateCoefficients failed with " + std::to_string(result));
            return;
        }
        if (watchedPort >= 0 && iteration < 2)
            (iteration == 0 ? firstBytes : secondBytes) = PortBytes(*instance, watchedPort);
        // The host's inspection log would otherwise grow with every post.
        if ((iteration & 1023) == 1023) instance->Controller().ClearPostLog();
        ++iteration;
    }
    if (watchedPort >= 0 && state.iterations() >= 2 &&
        (firstBytes.empty() || firstBytes == secondBytes))
    {
        Fail(state, "port " + std::to_string(watchedPort) + " did not follow the change");
        return;
    }
    state.counters["generate_ns"] = 1e9 * generateSeconds / double(state.iterations());
}

void RunSetParameter(benchmark::State& state)
{
    std::unique_ptr<tavelo::host::HostInstance> instance;
    try
    {
        instance = MakeInstance(1, 48000.0, kBlock);
    }
    catch (const std::exception& error)
    {
        Fail(state, std::string("instance set-up failed: ") + error.what());
        return;
    }
    int64_t iteration = 0;
    for (auto _ : state)
    {
        // The request and the host's confirmation, as one automation step.
        const double value = (iteration & 1) ? 0.25 : 0.75;
        if (instance->SetParameter("Gain", value) != AAX_SUCCESS)
        {
            Fail(state, "SetParameter(Gain) failed");
            return;
        }
        ++iteration;
    }
    double confirmed = -1;
    instance->GetParameter("Gain", &confirmed);
    if (confirmed != ((iteration - 1) & 1 ? 0.25 : 0.75))
        Fail(state, "the confirmed Gain value is not the last one set");
}

} // namespace

void RegisterPacketBenchmarks(const RunOptions&)
{
    benchmark::RegisterBenchmark(
        "Packets/Unchanged/48000Hz", [](benchmark::State& state)
        { RunGeneration(state, 48000.0, -1, [](tavelo::host::HostInstance&, int64_t) {}); });
    benchmark::RegisterBenchmark(
        "Packets/AfterGain/48000Hz",
        [](benchmark::State& state)
        {
            RunGeneration(state, 48000.0, kGainPort,
                          [](tavelo::host::HostInstance& instance, int64_t iteration)
                          { instance.SetParameter("Gain", (iteration & 1) ? 0.3 : 0.6); });
        });
    for (double rate : {44100.0, 48000.0, 96000.0})
        benchmark::RegisterBenchmark(
            ("Packets/AfterSound/" + std::to_string(int(rate)) + "Hz").c_str(),
            [rate](benchmark::State& state)
            {
                RunGeneration(state, rate, kSoundPort,
                              [](tavelo::host::HostInstance& instance, int64_t iteration)
                              {
                                  // Walk through the voicings; 0.01 per entry.
                                  const int entry = int((iteration + 1) % kVoicings);
                                  instance.SetParameter("Sound", 0.01 * entry);
                              });
            })
            ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Packets/SetParameterConfirmed/Gain", RunSetParameter);
}

} // namespace product_bench
