#include "LiveEngineSlot.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace tavelo::cli
{
namespace
{

// Set-up thread: a freshly prepared circuit starts from zero and swings to its operating point
// with a thump of several dB over full scale that dies away within about 1.2 s; that happens
// here, on silence, instead of in the player's speakers.
void settle(RovuRiza_Engine& engine)
{
    constexpr double kSeconds = 1.5;
    constexpr uint32_t kBlock = 4096;
    std::vector<float> silence(kBlock, 0.0f);
    std::vector<float> left(kBlock), right(kBlock);
    const float* inputs[2] = {silence.data(), silence.data()};
    float* outputs[2] = {left.data(), right.data()};
    for (auto remaining = uint64_t(kSeconds * engine.sampleRate()); remaining > 0;)
    {
        const auto frames = uint32_t(std::min<uint64_t>(remaining, kBlock));
        engine.process(inputs, outputs, frames);
        remaining -= frames;
    }
}

} // namespace

LiveEngineSlot::~LiveEngineSlot()
{
    delete mPlaying;
    delete mPending.exchange(nullptr);
    delete mRetired.exchange(nullptr);
}

bool LiveEngineSlot::prepare(double rate, int channels, std::string* error)
{
    auto engine = std::make_unique<RovuRiza_Engine>();
    if (!engine->prepare(rate, channels, error)) return false;
    mControls.applyAll(*engine);
    engine->setExpression(mExpression.load(std::memory_order_relaxed));
    settle(*engine);
    mPreparedRate = rate;
    mLatency = engine->latency();
    // One still waiting was never played: the audio thread takes a pending engine by exchange.
    delete mPending.exchange(engine.release(), std::memory_order_acq_rel);
    return true;
}

RovuRiza_Engine* LiveEngineSlot::acquire() noexcept
{
    // The playing engine goes aside only once the main thread has freed the previous one.
    if (mRetired.load(std::memory_order_acquire) == nullptr)
        if (RovuRiza_Engine* next = mPending.exchange(nullptr, std::memory_order_acq_rel))
        {
            mRetired.store(mPlaying, std::memory_order_release);
            mPlaying = next;
            // Values published while it was being prepared.
            mControls.applyAll(*mPlaying);
            mPlaying->setExpression(mExpression.load(std::memory_order_relaxed));
        }
    if (mPlaying) mControls.applyChanges(*mPlaying, mSeenControls);
    return mPlaying;
}

void LiveEngineSlot::collect() noexcept
{
    delete mRetired.exchange(nullptr, std::memory_order_acq_rel);
}

} // namespace tavelo::cli
