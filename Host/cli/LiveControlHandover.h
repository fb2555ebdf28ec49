// The amp's control values on their way from the data model (editor, --set, presets) to the
// engine on JACK's real-time thread, without a lock: one atomic value per control and a
// generation count the audio thread compares once per block.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "Engine/RovuRiza_Controls.h"
#include "Engine/RovuRiza_Engine.h"

namespace tavelo::cli
{

class LiveControlHandover
{
public:
    LiveControlHandover()
    {
        for (int c = 0; c < kRovuRizaControlCount; ++c)
            mValues[size_t(c)].store(kRovuRizaControls[c].defaultValue, std::memory_order_relaxed);
    }

    // One non-real-time thread (the one confirming parameter changes).
    void publish(RovuRiza_Control control, float value) noexcept
    {
        mValues[size_t(control)].store(value, std::memory_order_relaxed);
        mGeneration.fetch_add(1, std::memory_order_release);
    }

    // Real-time thread, once per block: when anything was published since `seen`, every value
    // goes to the engine (eight setter calls; a "Sound" value only picks a prepared payload).
    void applyChanges(RovuRiza_Engine& engine, uint32_t& seen) const noexcept
    {
        const uint32_t generation = mGeneration.load(std::memory_order_acquire);
        if (generation == seen) return;
        seen = generation;
        applyAll(engine);
    }

    // Any thread that owns `engine` at the moment (the audio thread, or the thread preparing a
    // replacement before handing it over).
    void applyAll(RovuRiza_Engine& engine) const noexcept
    {
        for (int c = 0; c < kRovuRizaControlCount; ++c)
            engine.setControl(RovuRiza_Control(c),
                              mValues[size_t(c)].load(std::memory_order_relaxed));
    }

private:
    static_assert(std::atomic<float>::is_always_lock_free);
    std::array<std::atomic<float>, kRovuRizaControlCount> mValues;
    std::atomic<uint32_t> mGeneration{0};
};

} // namespace tavelo::cli
