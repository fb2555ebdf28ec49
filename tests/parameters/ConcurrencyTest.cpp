// Value confirmations on one host thread against packet generation on another: every post
// must carry a value that was confirmed, and nothing may race (run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "TestHost.h"
#include "Voicing/RovuRiza_VoicingList.h"

TEST(Concurrency, ConfirmationsAgainstPacketGeneration)
{
    test::AmpInstance instance;
    instance.Dispatch();
    std::atomic<bool> stop{false};
    std::atomic<int64_t> confirmations{0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);

    std::thread confirmer(
        [&]
        {
            int step = 0;
            while (!stop.load())
            {
                const double value = double(step % 131) / 130.0;
                instance.model->UpdateParameterNormalizedValue("Gain", value,
                                                               AAX_eUpdateSource_Parameter);
                instance.model->UpdateParameterNormalizedValue(
                    "Sound", double(step % kRovuRizaVoicingCount) * 0.01,
                    AAX_eUpdateSource_Parameter);
                ++step;
                confirmations.fetch_add(1);
            }
        });

    int64_t dispatches = 0;
    bool allValid = true;
    while (std::chrono::steady_clock::now() < deadline)
    {
        instance.model->GenerateCoefficients();
        for (const auto& post : instance.host->TakePostedPackets())
        {
            if (post.port != RovuRiza_Field::kGainTremolo) continue;
            float gain = -1.0f;
            std::memcpy(&gain, post.payload.data(), sizeof gain);
            allValid = allValid && gain >= 0.0f && gain <= 1.0f;
        }
        ++dispatches;
    }
    stop = true;
    confirmer.join();
    EXPECT_TRUE(allValid);
    EXPECT_GT(dispatches, 10);
    EXPECT_GT(confirmations.load(), 10);

    // After both threads are done, one more dispatch settles on the last confirmed value.
    double gain = -1.0;
    instance.model->GetParameterNormalizedValue("Gain", &gain);
    instance.model->UpdateParameterNormalizedValue("Gain", gain, AAX_eUpdateSource_Parameter);
    const auto posts = instance.Dispatch();
    bool found = false;
    for (const auto& post : posts)
        if (post.port == RovuRiza_Field::kGainTremolo)
        {
            float posted = -1.0f;
            std::memcpy(&posted, post.payload.data(), sizeof posted);
            EXPECT_EQ(double(posted), gain);
            found = true;
        }
    EXPECT_TRUE(found);
}
