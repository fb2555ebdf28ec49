// Real-time factor of one mono LV2 instance at 48 kHz in 512-frame blocks, run through the
// project's lilv host, side by side with `tavelo render` (the stand-in host) and the engine
// facade called directly, over the built-in DI performance. The three alternate, round by
// round, so load from other jobs spreads over all of them; the median of the rounds is quoted.
//   lv2_run_bench [ROUNDS]   (LV2_PATH defaults to the folder holding the build's bundle)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "DefaultPerformance.h"
#include "Engine/RovuRiza_Engine.h"
#include "Lv2Ports.h"
#include "TestHost/Lv2TestHost.h"

namespace
{
constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 512;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Wall time inside run calls only, as `tavelo render` counts its process calls.
double Lv2Factor(const std::vector<float>& input)
{
    std::string error;
    auto host = tavelo::lv2::Lv2TestHost::Create(tavelo::lv2::kMonoUri, kRate, &error);
    if (!host)
    {
        std::fprintf(stderr, "lv2_run_bench: %s\n", error.c_str());
        std::exit(1);
    }
    std::vector<float> out(kBlock);
    double busy = 0;
    for (size_t at = 0; at < input.size(); at += kBlock)
    {
        const uint32_t n = uint32_t(std::min<size_t>(kBlock, input.size() - at));
        const float* in[1] = {input.data() + at};
        float* o[1] = {out.data()};
        const auto start = Clock::now();
        host->run(in, o, n);
        busy += Seconds(start);
    }
    return double(input.size()) / kRate / busy;
}

double EngineFactor(const std::vector<float>& input)
{
    RovuRiza_Engine engine;
    engine.prepare(kRate, 1);
    std::vector<float> out(kBlock);
    double busy = 0;
    for (size_t at = 0; at < input.size(); at += kBlock)
    {
        const uint32_t n = uint32_t(std::min<size_t>(kBlock, input.size() - at));
        const float* in[1] = {input.data() + at};
        float* o[1] = {out.data()};
        const auto start = Clock::now();
        engine.process(in, o, n);
        busy += Seconds(start);
    }
    return double(input.size()) / kRate / busy;
}

double RenderFactor()
{
    const std::string command = std::string(TAVELO_EXECUTABLE) + " render /tmp/lv2_run_bench_" +
                                std::to_string(getpid()) + ".wav --block 512 --json";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return 0;
    std::string json;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        json.append(buffer, n);
    pclose(pipe);
    std::remove(("/tmp/lv2_run_bench_" + std::to_string(getpid()) + ".wav").c_str());
    const size_t at = json.find("\"realtime_factor\":");
    return at == std::string::npos ? 0 : std::atof(json.c_str() + at + 18);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    setenv("LV2_PATH", TAVELO_LV2_PATH, 0);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<float> input = tavelo::cli::synthesizeDefaultPerformance(kRate);
    std::printf("mono, 48 kHz, 512-frame blocks, %.1f s of DI performance; x real time (wall "
                "time inside the process calls)\n",
                double(input.size()) / kRate);
    std::printf("%-6s %14s %14s %14s\n", "round", "LV2 run", "tavelo render", "engine");
    std::vector<double> lv2, render, engine;
    for (int r = 0; r < rounds; ++r)
    {
        lv2.push_back(Lv2Factor(input));
        render.push_back(RenderFactor());
        engine.push_back(EngineFactor(input));
        std::printf("%-6d %14.1f %14.1f %14.1f\n", r + 1, lv2.back(), render.back(), engine.back());
    }
    std::printf("%-6s %14.1f %14.1f %14.1f\n", "median", Median(lv2), Median(render),
                Median(engine));
    return 0;
}
