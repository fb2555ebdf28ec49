// Counts heap allocations made while the engine processes (the render callback included): there
// must be none. The counter interposes the global operator new and malloc for this program only.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <new>

#include "RenderHarness.h"
#include "SignalAnalysis.h"

namespace
{
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void NoteAllocation()
{
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
}
} // namespace

void* operator new(size_t size)
{
    NoteAllocation();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

extern "C" void* __libc_malloc(size_t);
extern "C" void* malloc(size_t size)
{
    NoteAllocation();
    return __libc_malloc(size);
}

namespace
{
using namespace render_test;

TEST(RenderAllocation, ManyRenderCallsAllocateNothing)
{
    const float rates[] = {44100.0f, 48000.0f, 96000.0f};
    for (float fs : rates)
    {
        RenderInstance mono(fs, 1);
        RenderInstance stereo(fs, 2);
        mono.setControl(RovuRiza_Control::kSound, 0.05f);
        stereo.setControl(RovuRiza_Control::kSound, 0.10f);
        const std::vector<float> x = tavelo::signal::sine(220.0, fs, 256, 0.4);
        std::vector<float> left(256), right(256);
        const float* inputs[2] = {x.data(), x.data()};
        float* outputs[2] = {left.data(), right.data()};
        const RovuRiza_MidiEvent pedal{5, {0xB0, 11, 90}};
        gAllocations = 0;
        gCounting = true;
        for (int call = 0; call < 200; ++call)
        {
            mono.engine().process(inputs, outputs, 256, &pedal, 1);
            stereo.engine().process(inputs, outputs, 256, &pedal, 1);
        }
        gCounting = false;
        EXPECT_EQ(gAllocations.load(), 0) << fs;
    }
}

TEST(RenderAllocation, TheCounterSeesAllocations)
{
    gAllocations = 0;
    gCounting = true;
    auto* p = new std::vector<int>(100);
    void* q = std::malloc(64);
    gCounting = false;
    delete p;
    std::free(q);
    EXPECT_GE(gAllocations.load(), 2);
}
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
