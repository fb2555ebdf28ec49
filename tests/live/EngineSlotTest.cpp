// Engines handed to a running audio thread, as a change of the server's sample rate does it.
// (Not under ThreadSanitizer: the engine's processor-specific variants are picked by resolvers
// that run before it is initialised.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "LiveEngineSlot.h"

using tavelo::cli::LiveControlHandover;
using tavelo::cli::LiveEngineSlot;

TEST(LiveEngineSlot, SwapsEnginesUnderARunningAudioThreadKeepingTheControls)
{
    LiveControlHandover controls;
    controls.publish(RovuRiza_Control::kVolume, 0.3f);
    LiveEngineSlot slot(controls);
    std::string error;
    EXPECT_FALSE(slot.prepare(8000.0, 1, &error));
    EXPECT_NE(error.find("16000 to 192000"), std::string::npos);
    ASSERT_TRUE(slot.prepare(48000.0, 1));

    std::atomic<bool> stop{false};
    std::atomic<double> playing{0.0};
    std::thread audio(
        [&]
        {
            std::vector<float> in(256, 0.1f), out(256);
            const float* inputs[1] = {in.data()};
            float* outputs[1] = {out.data()};
            while (!stop)
                if (RovuRiza_Engine* engine = slot.acquire())
                {
                    engine->process(inputs, outputs, 256);
                    slot.noteExpression(1.0f);
                    playing = engine->sampleRate();
                }
        });
    for (double rate : {96000.0, 44100.0})
    {
        ASSERT_TRUE(slot.prepare(rate, 1));
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (playing != rate && std::chrono::steady_clock::now() < end)
            slot.collect();
        EXPECT_EQ(playing, rate);
        controls.publish(RovuRiza_Control::kGain, 0.9f); // while playing
    }
    stop = true;
    audio.join();
    RovuRiza_Engine* engine = slot.acquire(); // this thread plays now
    EXPECT_EQ(engine->control(RovuRiza_Control::kVolume), 0.3f);
    EXPECT_EQ(engine->control(RovuRiza_Control::kGain), 0.9f);
    EXPECT_EQ(slot.latency(), engine->latency());
}
