// The engine JACK's process callback plays, and its replacement after a change of sample rate:
// prepared off the real-time thread, taken over by the audio thread between two
// blocks without a lock, and freed off the real-time thread again.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "Engine/RovuRiza_Engine.h"
#include "LiveControlHandover.h"

namespace tavelo::cli
{

class LiveEngineSlot
{
public:
    explicit LiveEngineSlot(const LiveControlHandover& controls) : mControls(controls) {}
    // Once the audio thread has stopped.
    ~LiveEngineSlot();
    LiveEngineSlot(const LiveEngineSlot&) = delete;
    LiveEngineSlot& operator=(const LiveEngineSlot&) = delete;

    // One set-up thread at a time (the main thread before processing starts, then JACK's
    // notification thread). Prepares an engine at `rate` with the current controls and pedal
    // and hands it to the audio thread, which plays it from its next block. False, with the reason,
    // for a rate the amp refuses: the playing engine stays.
    bool prepare(double rate, int channels, std::string* error = nullptr);

    // Audio thread, at the start of each block: the engine to play (null before the first
    // prepare), a waiting replacement taken over, control changes applied.
    RovuRiza_Engine* acquire() noexcept;
    // Audio thread: the pedal's latest value, for a replacement to start from.
    void noteExpression(float value) noexcept
    {
        mExpression.store(value, std::memory_order_relaxed);
    }

    // Main thread, now and then: frees the engine the audio thread put aside.
    void collect() noexcept;

    // Any thread: rate and latency of the newest prepared engine.
    double preparedRate() const noexcept { return mPreparedRate.load(); }
    uint32_t latency() const noexcept { return mLatency.load(); }

private:
    const LiveControlHandover& mControls;
    RovuRiza_Engine* mPlaying = nullptr; // audio thread
    uint32_t mSeenControls = ~0u;        // audio thread
    std::atomic<RovuRiza_Engine*> mPending{nullptr};
    std::atomic<RovuRiza_Engine*> mRetired{nullptr};
    std::atomic<float> mExpression{0.0f};
    std::atomic<double> mPreparedRate{0.0};
    std::atomic<uint32_t> mLatency{0};
};

} // namespace tavelo::cli
