// Packet dispatch: dirty tracking, one post per shared packet, failing builders, the mutex.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "AAX_CMutex.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CPacketHandler.h"
#include "AAX_IController.h"

namespace
{
struct Post
{
    AAX_CFieldIndex port;
    std::vector<uint8_t> bytes;
};

class FakeController final : public AAX_IController
{
public:
    AAX_Result PostPacket(AAX_CFieldIndex port, const void* data, uint32_t size) override
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        posts.push_back(Post{port, std::vector<uint8_t>(bytes, bytes + size)});
        return postResult;
    }
    AAX_Result GetEffectID(AAX_IString*) const override { return 0; }
    AAX_Result GetSampleRate(AAX_CSampleRate* r) const override
    {
        *r = 48000.0f;
        return 0;
    }
    AAX_Result GetInputStemFormat(AAX_EStemFormat*) const override { return 0; }
    AAX_Result GetOutputStemFormat(AAX_EStemFormat*) const override { return 0; }
    AAX_Result GetSignalLatency(int32_t*) const override { return 0; }
    AAX_Result SetSignalLatency(int32_t) override { return 0; }
    AAX_Result GetHybridSignalLatency(int32_t*) const override { return 0; }
    AAX_Result GetCycleCount(AAX_EProperty, AAX_CPropertyValue*) const override { return 0; }
    AAX_Result SetCycleCount(AAX_EProperty*, AAX_CPropertyValue*, int32_t) override { return 0; }
    AAX_Result GetHostName(AAX_IString*) const override { return 0; }

    std::vector<Post> posts;
    AAX_Result postResult = AAX_SUCCESS;
};

// A worker whose builders count their calls and can be told to fail.
struct Worker
{
    AAX_Result Build(AAX_CPacket& packet)
    {
        ++calls;
        auto* payload = static_cast<int32_t*>(packet.Data().Get(8));
        payload[0] = calls;
        payload[1] = 7;
        packet.SetSize(8);
        return fail ? AAX_ERROR_NULL_OBJECT : AAX_SUCCESS;
    }
    AAX_Result BuildNamed(AAX_CParamID id, AAX_CPacket& packet)
    {
        lastID = id;
        return Build(packet);
    }
    AAX_Result Reenter(AAX_CPacket& packet)
    {
        // A builder may call back into its dispatcher on the same thread.
        dispatcher->SetDirty("Other", true);
        return Build(packet);
    }
    int calls = 0;
    bool fail = false;
    std::string lastID;
    AAX_CPacketDispatcher* dispatcher = nullptr;
};
} // namespace

TEST(PacketDispatch, SharedPacketPostedOnceAndOnlyWhenDirty)
{
    FakeController controller;
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&controller, nullptr);
    Worker worker;
    const AAX_CPacketHandler<Worker> handler(&worker, &Worker::Build);
    ASSERT_EQ(dispatcher.RegisterPacket("Gain", 1, handler), AAX_SUCCESS);
    ASSERT_EQ(dispatcher.RegisterPacket("Tremolo", 1, handler), AAX_SUCCESS);
    ASSERT_EQ(dispatcher.RegisterPacket("Tone", 2, handler), AAX_SUCCESS);

    // Fresh packets are dirty: every port once.
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    ASSERT_EQ(controller.posts.size(), 2u);
    EXPECT_EQ(controller.posts[0].port, 1);
    EXPECT_EQ(controller.posts[0].bytes.size(), 8u);
    EXPECT_EQ(controller.posts[1].port, 2);
    EXPECT_EQ(worker.calls, 2);

    controller.posts.clear();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_TRUE(controller.posts.empty());

    dispatcher.SetDirty("Tremolo");
    dispatcher.SetDirty("Gain");
    EXPECT_EQ(dispatcher.SetDirty("Unknown"), AAX_SUCCESS);
    dispatcher.Dispatch();
    ASSERT_EQ(controller.posts.size(), 1u);
    EXPECT_EQ(controller.posts[0].port, 1);
    EXPECT_EQ(worker.calls, 3);

    // Marking clean drops the pending post.
    controller.posts.clear();
    dispatcher.SetDirty("Tone", true);
    dispatcher.SetDirty("Tone", false);
    dispatcher.Dispatch();
    EXPECT_TRUE(controller.posts.empty());
    EXPECT_EQ(dispatcher.RegisterPacket("Bad", -1, handler), AAX_ERROR_PORT_ID_OUT_OF_RANGE);
}

TEST(PacketDispatch, FailuresLeavePacketsCleanAndUnposted)
{
    FakeController controller;
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&controller, nullptr);
    Worker worker;
    worker.fail = true;
    dispatcher.RegisterPacket("Gain", 1, AAX_CPacketHandler<Worker>(&worker, &Worker::BuildNamed));
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS); // a builder's failure is not the result
    EXPECT_TRUE(controller.posts.empty());
    EXPECT_EQ(worker.lastID, "Gain");
    worker.fail = false;
    dispatcher.Dispatch();
    EXPECT_TRUE(controller.posts.empty()); // clean: needs a new SetDirty
    EXPECT_EQ(worker.calls, 1);

    // A failing post is reported, and the packet is not retried on its own.
    controller.postResult = AAX_ERROR_POST_PACKET_FAILED;
    dispatcher.SetDirty("Gain");
    EXPECT_EQ(dispatcher.Dispatch(), AAX_ERROR_POST_PACKET_FAILED);
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);

    // Without a worker or a controller nothing is posted and nothing crashes.
    AAX_CPacketDispatcher orphan;
    orphan.RegisterPacket("Gain", 1, AAX_CPacketHandler<Worker>(nullptr, &Worker::Build));
    EXPECT_EQ(orphan.Dispatch(), AAX_SUCCESS);
    AAX_CPacketDispatcher noController;
    noController.RegisterPacket("Gain", 1, AAX_CPacketHandler<Worker>(&worker, &Worker::Build));
    EXPECT_EQ(noController.Dispatch(), AAX_ERROR_NULL_OBJECT);
    AAX_CPacket packet(0);
    EXPECT_EQ(noController.GenerateSingleValuePacket("Gain", packet), AAX_ERROR_NULL_OBJECT);
}

TEST(PacketDispatch, PacketDataResizesAndRefusesZero)
{
    AAX_CPacket packet(3);
    EXPECT_TRUE(packet.IsDirty());
    EXPECT_EQ(packet.GetSize(), 0u);
    EXPECT_EQ(packet.Data().Size(), 8u);
    auto* bytes = static_cast<uint8_t*>(packet.Data().Get(4));
    bytes[0] = 9;
    bytes = static_cast<uint8_t*>(packet.Data().Get(12));
    EXPECT_EQ(bytes[0], 9);
    EXPECT_EQ(bytes[11], 0);
    EXPECT_THROW(packet.Data().Get(0), std::out_of_range);
}

TEST(PacketDispatch, BuilderMayReenterItsDispatcher)
{
    FakeController controller;
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&controller, nullptr);
    Worker worker;
    worker.dispatcher = &dispatcher;
    dispatcher.RegisterPacket("Gain", 1, AAX_CPacketHandler<Worker>(&worker, &Worker::Reenter));
    dispatcher.RegisterPacket("Other", 2, AAX_CPacketHandler<Worker>(&worker, &Worker::Build));
    // Would deadlock if the owner could not pass its own lock.
    dispatcher.Dispatch();
    EXPECT_EQ(controller.posts.size(), 2u);
}

TEST(Mutex, OwnerPassesAndInnerGuardDoesNotUnlock)
{
    AAX_CMutex mutex;
    std::atomic<bool> otherGotIt{false};
    ASSERT_TRUE(mutex.Lock());
    {
        AAX_StLock_Guard inner(mutex);
        EXPECT_FALSE(inner.Locked());
    }
    // Still held after the inner guard: another thread must wait.
    std::thread other(
        [&]
        {
            AAX_StLock_Guard guard(mutex);
            otherGotIt = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(otherGotIt.load());
    // An unlock by a thread that is not the owner does nothing.
    std::thread stranger([&] { mutex.Unlock(); });
    stranger.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(otherGotIt.load());
    mutex.Unlock();
    other.join();
    EXPECT_TRUE(otherGotIt.load());
}
