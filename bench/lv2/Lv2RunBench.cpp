// Real-time factor of one mono LV2 instance at 48 kHz in 512-frame blocks, run through the
// project's lilv host, side by side with `tavelo render` (the stand-in host) and the engine
// facade called directly, over the built-in DI performance. The three alternate, round by
// round, so load from other jobs spreads over all of them; the median of the rounds is quoted.
// `tavelo render` reports wall time inside its process calls (which hand each block to its
// audio thread), so the LV2 run is timed that way too; the thread's CPU time, which other jobs
// on the machine disturb less, is given beside it for the LV2 run and the engine.
//   lv2_run_bench [ROUNDS]   (LV2_PATH defaults to the folder holding the build's bundle)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <time.h>
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

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

struct Factors
{
    double wall, cpu;
};

// Runs `process(at, frames)` over the performance in 512-frame blocks.
template <class Process> Factors Time(size_t frames, Process&& process)
{
    double busy = 0;
    const double cpuStart = ThreadCpuSeconds();
    for (size_t at = 0; at < frames; at += kBlock)
    {
        const uint32_t n = uint32_t(std::min<size_t>(kBlock, frames - at));
        const auto start = Clock::now();
        process(at, n);
        busy += Seconds(start);
    }
    const double audio = double(frames) / kRate;
    return {audio / busy, audio / (ThreadCpuSeconds() - cpuStart)};
}

Factors Lv2Factor(const std::vector<float>& input)
{
    std::string error;
    auto host = tavelo::lv2::Lv2TestHost::Create(tavelo::lv2::kMonoUri, kRate, &error);
    if (!host)
    {
        std::fprintf(stderr, "lv2_run_bench: %s\n", error.c_str());
        std::exit(1);
    }
    std::vector<float> out(kBlock);
    return Time(input.size(),
                [&](size_t at, uint32_t n)
                {
                    const float* in[1] = {input.data() + at};
                    float* o[1] = {out.data()};
                    host->run(in, o, n);
                });
}

Factors EngineFactor(const std::vector<float>& input)
{
    RovuRiza_Engine engine;
    engine.prepare(kRate, 1);
    std::vector<float> out(kBlock);
    return Time(input.size(),
                [&](size_t at, uint32_t n)
                {
                    const float* in[1] = {input.data() + at};
                    float* o[1] = {out.data()};
                    engine.process(in, o, n);
                });
}

double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// `tavelo render`'s own figure (wall time inside its process calls), and the CPU time of the
// whole process (set-up, reading and writing included, so a lower bound of its factor).
Factors RenderFactor(double audioSeconds)
{
    const double cpuStart = ChildrenCpuSeconds();
    const std::string command = std::string(TAVELO_EXECUTABLE) + " render /tmp/lv2_run_bench_" +
                                std::to_string(getpid()) + ".wav --block 512 --json";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {0, 0};
    std::string json;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        json.append(buffer, n);
    pclose(pipe);
    std::remove(("/tmp/lv2_run_bench_" + std::to_string(getpid()) + ".wav").c_str());
    const double cpu = ChildrenCpuSeconds() - cpuStart;
    const size_t at = json.find("\"realtime_factor\":");
    return {at == std::string::npos ? 0 : std::atof(json.c_str() + at + 18), audioSeconds / cpu};
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
    std::printf("mono, 48 kHz, 512-frame blocks, %.1f s of DI performance; x real time\n",
                double(input.size()) / kRate);
    std::printf("%-6s %13s %13s %13s %13s %13s\n", "round", "LV2 run wall", "render wall",
                "LV2 run cpu", "engine cpu", "render cpu");
    std::vector<double> lv2Wall, render, lv2Cpu, engine, renderCpu;
    for (int r = 0; r < rounds; ++r)
    {
        const Factors lv2 = Lv2Factor(input);
        lv2Wall.push_back(lv2.wall);
        lv2Cpu.push_back(lv2.cpu);
        const Factors rendered = RenderFactor(double(input.size()) / kRate);
        render.push_back(rendered.wall);
        renderCpu.push_back(rendered.cpu);
        engine.push_back(EngineFactor(input).cpu);
        std::printf("%-6d %13.1f %13.1f %13.1f %13.1f %13.1f\n", r + 1, lv2Wall.back(),
                    render.back(), lv2Cpu.back(), engine.back(), renderCpu.back());
    }
    std::printf("%-6s %13.1f %13.1f %13.1f %13.1f %13.1f\n", "median", Median(lv2Wall),
                Median(render), Median(lv2Cpu), Median(engine), Median(renderCpu));
    return 0;
}
