// Shared pieces of the product benchmarks: the bundle loaded once per process, the guitar
// performance used as input, process clocks, memory readings, and child processes for the
// figures that only a fresh process gives.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HostInstance.h"
#include "PluginBundle.h"

namespace product_bench
{

// Options read from the command line before the benchmarks are registered.
struct RunOptions
{
    bool smoke = false; // a short pass that checks every benchmark still measures something
};

// The bundle this build produced, loaded on first use and kept until the process ends.
tavelo::host::PluginBundle& SharedBundle();

// A new instance of the shared bundle.
std::unique_ptr<tavelo::host::HostInstance> MakeInstance(int channels, double sampleRate,
                                                         int blockSize);

// The built-in DI guitar performance (about 20 s, chords and single notes) at a rate, cached.
const std::vector<float>& GuitarPerformance(double sampleRate);

double WallSeconds();
// CPU time of every thread of this process (the host's audio threads included).
double ProcessCpuSeconds();
// Resident set size from /proc/self/statm, or -1 when it cannot be read.
int64_t ResidentBytes();
// Bytes handed out by malloc and not yet freed.
int64_t HeapBytesInUse();

// Marks the run as failed (the program exits non-zero) and stops this benchmark.
void Fail(benchmark::State& state, const std::string& why);
bool AnyFailure();

// Runs this program again as "--product-child=MODE ARGS..." and returns the numbers the child
// printed on its last line; empty with outError set when it failed.
std::vector<double> RunChild(const std::string& mode, const std::vector<std::string>& args,
                             std::string* outError);
// In the child: runs MODE and prints its numbers; returns the exit status.
int ChildMain(const std::string& mode, const std::vector<std::string>& args);

// Peak magnitude of a block, or infinity when it holds a non-finite sample.
float PeakOrInfinity(const float* samples, int64_t count);

// Registration of each benchmark group (called from main after the options are read).
void RegisterRealtimeBenchmarks(const RunOptions& options);
void RegisterSetUpBenchmarks(const RunOptions& options);
void RegisterPacketBenchmarks(const RunOptions& options);

// Child modes of the set-up group.
int ChildSetUp(const std::vector<std::string>& args);
int ChildMemory(const std::vector<std::string>& args);

} // namespace product_bench
