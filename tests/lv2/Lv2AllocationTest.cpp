// The LV2 run call allocates nothing (what lv2:hardRTCapable promises): blocks of changing
// length, control changes of every port, MIDI and bypass toggles, counted by interposing the
// global operator new and malloc in this program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "Lv2Ports.h"
#include "TestHost/Lv2TestHost.h"

namespace
{
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
} // namespace

void* operator new(size_t size)
{
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
extern "C" void* __libc_malloc(size_t);
extern "C" void* malloc(size_t size)
{
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
    return __libc_malloc(size);
}

TEST(Lv2Allocation, RunAllocatesNothing)
{
    using namespace tavelo::lv2;
    for (const char* uri : {kMonoUri, kStereoUri})
    {
        std::string error;
        auto host = Lv2TestHost::Create(uri, 48000.0, &error);
        ASSERT_TRUE(host) << error;
        std::vector<float> in(4096), out[2] = {std::vector<float>(4096), std::vector<float>(4096)};
        std::mt19937 random(5);
        for (size_t k = 0; k < in.size(); ++k)
            in[k] = 0.3f * std::sin(0.05f * float(k));
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        gAllocations = 0;
        gCounting = true;
        for (int call = 0; call < 300; ++call)
        {
            const uint32_t frames = 1 + random() % 4096;
            host->control(kPortMicrophone) = float(call % 28);
            host->control(kPortPickup) = float(call % 2);
            host->control(kPortGain) = float(call % 10) * 0.1f;
            host->control(kPortOutputTrim) = float(call % 7) - 3.0f;
            host->control(kPortEnabled) = call % 5 == 0 ? 0.0f : 1.0f;
            host->queueMidi(frames / 2, 0xB0, 11, uint8_t(call % 128));
            host->run(inputs, outputs, frames);
        }
        gCounting = false;
        EXPECT_EQ(gAllocations.load(), 0) << uri;
    }
}
