#include "LiveEngineSlot.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace tavelo::cli
{
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
