#include "ProductBenchSupport.h"

#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>

#include "DefaultPerformance.h"
#include "HostError.h"

extern char** environ;

namespace product_bench
{
namespace
{
std::atomic<bool> gFailed{false};

double ClockSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}
} // namespace

tavelo::host::PluginBundle& SharedBundle()
{
    // Kept for the whole process: unloading while instances of other benchmarks might still be
    // alive would only be refused anyway.
    static std::unique_ptr<tavelo::host::PluginBundle> bundle =
        tavelo::host::PluginBundle::Load(tavelo::host::PluginBundle::DefaultBundlePath());
    return *bundle;
}

std::unique_ptr<tavelo::host::HostInstance> MakeInstance(int channels, double sampleRate,
                                                         int blockSize)
{
    tavelo::host::InstanceOptions options;
    options.stemFormat = channels == 2 ? AAX_eStemFormat_Stereo : AAX_eStemFormat_Mono;
    options.sampleRate = sampleRate;
    options.blockSize = blockSize;
    return tavelo::host::HostInstance::Create(SharedBundle().Effect(), options);
}

const std::vector<float>& GuitarPerformance(double sampleRate)
{
    static std::mutex mutex;
    static std::map<double, std::vector<float>> cache;
    const std::lock_guard lock(mutex);
    auto found = cache.find(sampleRate);
    if (found == cache.end())
        found =
            cache.emplace(sampleRate, tavelo::cli::synthesizeDefaultPerformance(sampleRate)).first;
    return found->second;
}

double WallSeconds()
{
    return ClockSeconds(CLOCK_MONOTONIC);
}

double ProcessCpuSeconds()
{
    return ClockSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

int64_t ResidentBytes()
{
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return -1;
    long long sizePages = 0, residentPages = 0;
    const int read = std::fscanf(file, "%lld %lld", &sizePages, &residentPages);
    std::fclose(file);
    if (read != 2) return -1;
    return int64_t(residentPages) * int64_t(sysconf(_SC_PAGESIZE));
}

int64_t HeapBytesInUse()
{
    const struct mallinfo2 info = mallinfo2();
    // Small blocks from the arenas plus the large ones malloc maps directly.
    return int64_t(info.uordblks) + int64_t(info.hblkhd);
}

void Fail(benchmark::State& state, const std::string& why)
{
    gFailed = true;
    std::fprintf(stderr, "product_bench: %s\n", why.c_str());
    state.SkipWithError(why.c_str());
}

bool AnyFailure()
{
    return gFailed;
}

float PeakOrInfinity(const float* samples, int64_t count)
{
    float peak = 0.0f;
    for (int64_t i = 0; i < count; ++i)
    {
        if (!std::isfinite(samples[i])) return INFINITY;
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

std::vector<double> RunChild(const std::string& mode, const std::vector<std::string>& args,
                             std::string* outError)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
    {
        *outError = "cannot create a pipe for the child process";
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    std::vector<std::string> words{"product_bench", "--product-child=" + mode};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    const int spawned =
        posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0)
    {
        close(pipeEnds[0]);
        *outError = "cannot start the child process";
        return {};
    }
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) != 0;)
    {
        if (got < 0) break;
        output.append(buffer, size_t(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    {
        *outError = "child process '" + mode + "' failed";
        return {};
    }
    // The numbers are on the last non-empty line.
    std::string last;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) last = line;
    std::vector<double> values;
    std::istringstream numbers(last);
    for (double value; numbers >> value;)
        values.push_back(value);
    if (values.empty()) *outError = "child process '" + mode + "' printed no figures";
    return values;
}

int ChildMain(const std::string& mode, const std::vector<std::string>& args)
{
    try
    {
        if (mode == "setup") return ChildSetUp(args);
        if (mode == "memory") return ChildMemory(args);
        std::fprintf(stderr, "product_bench: unknown child mode '%s'\n", mode.c_str());
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "product_bench child: %s\n", error.what());
    }
    return 1;
}

} // namespace product_bench
