// Ten minutes of audio through one instance on the stand-in host with random automation of
// every parameter, random voicing switches, expression and random block sizes: the output stays
// finite and bounded, the render callback never allocates and memory stays flat.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "HostInstance.h"
#include "PluginBundle.h"

namespace
{

thread_local bool tInRender = false;
std::atomic<long> gRenderAllocations{0};
AAX_CProcessProc gDeclaredProc = nullptr;

void CountingProc(void* const inInstancesBegin[], const void* inInstancesEnd)
{
    tInRender = true;
    gDeclaredProc(inInstancesBegin, inInstancesEnd);
    tInRender = false;
}

long residentKilobytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

} // namespace

// The replacements pair malloc with free; GCC, knowing what the standard operators do, would
// otherwise take the free below for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size)
{
    if (tInRender) ++gRenderAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

TEST(Soak, TenMinutesOfRandomAutomationStayFiniteBoundedAndAllocationFree)
{
    using namespace tavelo::host;
    auto bundle = PluginBundle::Load(PluginBundle::DefaultBundlePath());
    InstanceOptions options;
    options.sampleRate = 48000;
    options.blockSize = 4096;
    auto instance = HostInstance::Create(bundle->Effect(), options);
    gDeclaredProc = instance->Renderer().DeclaredProcessProc();
    instance->Renderer().SetProcessProc(&CountingProc);

    const char* const ids[] = {"Gain",   "Tremolo", "Tone",   "Rate",
                               "Volume", "Sound",   "Pickup", "MasterBypassID"};
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> blockSize(1, 4096);

    const int64_t total = int64_t(600 * options.sampleRate);
    std::vector<float> in(4096), out(4096);
    const float* inputs[1] = {in.data()};
    float* outputs[1] = {out.data()};
    double phase = 0, peak = 0;
    int64_t done = 0, nonFinite = 0;
    long residentAfterWarmUp = 0;
    int changes = 0;
    while (done < total)
    {
        const int n = int(std::min<int64_t>(blockSize(random), total - done));
        // A guitar-like test signal: a plucked tone restarting every half second.
        for (int i = 0; i < n; ++i)
        {
            const double t = double((done + i) % 24000) / options.sampleRate;
            phase += 2 * M_PI * 146.8 / options.sampleRate;
            in[size_t(i)] =
                float(0.4 * std::exp(-5 * t) * (std::sin(phase) + 0.3 * std::sin(3 * phase)));
        }
        if (unit(random) < 0.3)
        {
            const char* id = ids[random() % 8];
            double value = unit(random);
            if (std::string(id) == "Sound") value = double(random() % 28) * 0.01;
            if (std::string(id) == "MasterBypassID") value = unit(random) < 0.2 ? 1.0 : 0.0;
            ASSERT_EQ(instance->SetParameter(id, value), AAX_SUCCESS) << id;
            ++changes;
        }
        if (unit(random) < 0.05)
            instance->SendExpression(done + random() % n, uint8_t(random() % 128),
                                     uint8_t(random() % 16));
        instance->Process(inputs, outputs, n);
        for (int i = 0; i < n; ++i)
        {
            if (!std::isfinite(out[size_t(i)]))
                ++nonFinite;
            else
                peak = std::max(peak, double(std::abs(out[size_t(i)])));
        }
        done += n;
        if (residentAfterWarmUp == 0 && done > int64_t(60 * options.sampleRate))
            residentAfterWarmUp = residentKilobytes();
    }
    const long residentAtEnd = residentKilobytes();
    std::printf("soak: %d parameter changes, output peak %.2f, resident %ld kB -> %ld kB\n",
                changes, peak, residentAfterWarmUp, residentAtEnd);
    EXPECT_EQ(nonFinite, 0);
    // The output stage's inverse filter can spike when its limiter switches (its structural
    // bound at 48 kHz is about 3.4e5); a runaway would pass that quickly.
    EXPECT_LT(peak, 1.0e4);
    EXPECT_EQ(gRenderAllocations.load(), 0);
    EXPECT_LT(residentAtEnd - residentAfterWarmUp, 4096) << "memory grew while rendering";
    instance.reset();
    EXPECT_EQ(bundle->Unload(), 0);
}
