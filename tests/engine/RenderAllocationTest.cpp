// Counts heap allocations made while the render callback runs: there must be none. The
// counter interposes the global operator new and malloc for this program only.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <new>

#include "EngineTestSupport.h"
#include "Voicing/RovuRiza_Voicing.h"

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
using namespace engine_test;

TEST(RenderAllocation, ManyRenderCallsAllocateNothing)
{
    const float rates[] = {44100.0f, 48000.0f, 96000.0f};
    for (float fs : rates)
    {
        Instance mono(fs, 1);
        Instance stereo(fs, 2);
        RovuRiza_BuildVoicingPayload(0.05f, fs, mono.voicing);
        RovuRiza_BuildVoicingPayload(0.10f, fs, stereo.voicing);
        const std::vector<float> x = Sine(220.0, fs, 256, 0.4);
        for (Instance* inst : {&mono, &stereo})
        {
            inst->midi.Set({ControlChange(5, 0, 11, 90)});
            inst->Render(x.data(), x.data(), 256); // sizes the buffers outside the count
        }
        SRovuRiza_Alg_Context* monoList[1] = {&mono.ctx};
        SRovuRiza_Alg_Context* stereoList[1] = {&stereo.ctx};
        gAllocations = 0;
        gCounting = true;
        for (int call = 0; call < 200; ++call)
        {
            RovuRiza_AlgorithmProcessFunction<1, 1>(monoList, monoList + 1);
            RovuRiza_AlgorithmProcessFunction<2, 2>(stereoList, stereoList + 1);
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
