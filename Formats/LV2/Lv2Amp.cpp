#include "Lv2Amp.h"

#include <algorithm>
#include <cmath>

#include "Voicing/RovuRiza_Voicing.h"
#include "lv2/atom/util.h"

namespace tavelo::lv2
{
namespace
{
float PeakDb(float peak) noexcept
{
    return peak > 0.0f ? std::max(kMeterFloorDb, 20.0f * std::log10(peak)) : kMeterFloorDb;
}

// The index a Microphone or Pickup port value names, rounded and kept inside the list.
int IndexOfPortValue(float value, int count) noexcept
{
    return int(std::lround(std::clamp(value, 0.0f, float(count - 1))));
}
} // namespace

bool Lv2Amp::prepare(double sampleRate, int channels, LV2_URID midiEventUrid, std::string* error)
{
    if (!mEngine.prepare(sampleRate, channels, error)) return false;
    mChannels = channels;
    mMidiEvent = midiEventUrid;
    for (int c = 0; c < kRovuRizaControlCount; ++c)
        mAppliedControls[c] = mEngine.control(RovuRiza_Control(c));
    const double fadeFrames = std::max(1.0, std::round(kBypassFadeSeconds * sampleRate));
    mFadeStep = float(1.0 / fadeFrames);
    return true;
}

void Lv2Amp::connect(uint32_t port, void* data) noexcept
{
    if (port < kStereoPortCount) mPorts[port] = data;
}

void Lv2Amp::activate() noexcept
{
    mEngine.reset();
    for (int c = 0; c < kRovuRizaControlCount; ++c)
        mAppliedControls[c] = mEngine.control(RovuRiza_Control(c));
    const auto* enabled = static_cast<const float*>(mPorts[kPortEnabled]);
    mWetGain = !enabled || !(*enabled < 0.5f) ? 1.0f : 0.0f;
    mInputPeak = mOutputPeak = 0.0f;
}

void Lv2Amp::readControls() noexcept
{
    for (uint32_t port = kPortGain; port <= kPortPickup; ++port)
    {
        const auto* data = static_cast<const float*>(mPorts[port]);
        if (!data || std::isnan(*data)) continue;
        float value = std::clamp(*data, 0.0f, 1.0f);
        if (port == kPortMicrophone)
            value = NormalizedOfIndex(IndexOfPortValue(*data, kRovuRizaVoicingCount));
        else if (port == kPortPickup)
            value = NormalizedOfIndex(IndexOfPortValue(*data, kRovuRizaPickupCount));
        const int control = EngineControlOfPort(port);
        if (value == mAppliedControls[control]) continue;
        mEngine.setControl(RovuRiza_Control(control), value);
        mAppliedControls[control] = value;
    }
    if (const auto* trim = static_cast<const float*>(mPorts[kPortOutputTrim]);
        trim && !std::isnan(*trim) && *trim != mTrimDb)
    {
        mTrimDb = *trim;
        const float db = std::clamp(*trim, kTrimMinDb, kTrimMaxDb);
        mTrimGain = db == 0.0f ? 1.0f : std::pow(10.0f, db / 20.0f);
    }
}

uint32_t Lv2Amp::collectMidi(uint32_t frames) noexcept
{
    const auto* sequence = static_cast<const LV2_Atom_Sequence*>(mPorts[kPortMidiIn]);
    if (!sequence) return 0;
    uint32_t count = 0;
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event)
    {
        if (event->body.type != mMidiEvent || event->body.size == 0) continue;
        const auto* bytes = reinterpret_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
        // Channel messages only; system messages carry nothing the amp reads.
        if (bytes[0] < 0x80 || bytes[0] >= 0xF0) continue;
        if (count == kMaxEvents) break;
        RovuRiza_MidiEvent& e = mEvents[count++];
        const int64_t frame = event->time.frames;
        e.frame = uint32_t(std::clamp<int64_t>(frame, 0, int64_t(frames) - 1));
        for (uint32_t b = 0; b < 3; ++b)
            e.data[b] = b < event->body.size ? bytes[b] : 0;
    }
    return count;
}

void Lv2Amp::renderChunk(uint32_t offset, uint32_t frames, const RovuRiza_MidiEvent* events,
                         uint32_t eventCount) noexcept
{
    float inputPeak = mInputPeak, outputPeak = mOutputPeak;
    for (int c = 0; c < mChannels; ++c)
    {
        const auto* in =
            static_cast<const float*>(mPorts[c == 0 ? kPortAudioInLeft : kPortAudioInRight]);
        for (uint32_t k = 0; k < frames; ++k)
        {
            // A non-finite sample plays as silence: the render keeps it out of the model already,
            // but the dry signal of the bypass crossfade and the meters read it too.
            const float x = in ? in[offset + k] : 0.0f;
            mIn[c][k] = std::isfinite(x) ? x : 0.0f;
            inputPeak = std::max(inputPeak, std::fabs(mIn[c][k]));
        }
    }
    const float* inputs[2] = {mIn[0], mIn[1]};
    float* wet[2] = {mWet[0], mWet[1]};
    mEngine.process(inputs, wet, frames, events, eventCount);

    const auto* enabled = static_cast<const float*>(mPorts[kPortEnabled]);
    const float target = enabled && *enabled < 0.5f ? 0.0f : 1.0f;
    const float startGain = mWetGain;
    for (int c = 0; c < mChannels; ++c)
    {
        auto* out = static_cast<float*>(mPorts[c == 0 ? kPortAudioOutLeft : kPortAudioOutRight]);
        if (!out) continue;
        float gain = startGain;
        for (uint32_t k = 0; k < frames; ++k)
        {
            if (gain != target)
                gain = target > gain ? std::min(target, gain + mFadeStep)
                                     : std::max(target, gain - mFadeStep);
            const float w = std::isfinite(mWet[c][k]) ? mWet[c][k] * mTrimGain : 0.0f;
            const float y = gain == 1.0f ? w : w * gain + mIn[c][k] * (1.0f - gain);
            out[offset + k] = y;
            outputPeak = std::max(outputPeak, std::fabs(y));
        }
        mWetGain = gain;
    }
    mInputPeak = inputPeak;
    mOutputPeak = outputPeak;
}

void Lv2Amp::run(uint32_t frames) noexcept
{
    if (auto* latency = static_cast<float*>(mPorts[kPortLatency]))
        *latency = float(mEngine.latency());
    if (frames == 0) return;
    readControls();
    const uint32_t eventCount = collectMidi(frames);
    mInputPeak = mOutputPeak = 0.0f;
    uint32_t next = 0;
    for (uint32_t offset = 0; offset < frames; offset += kChunk)
    {
        const uint32_t length = std::min(kChunk, frames - offset);
        const uint32_t first = next;
        while (next < eventCount && mEvents[next].frame < offset + length)
            mEvents[next++].frame -= offset;
        renderChunk(offset, length, mEvents + first, next - first);
    }
    if (auto* meter = static_cast<float*>(mPorts[kPortInputPeak])) *meter = PeakDb(mInputPeak);
    if (auto* meter = static_cast<float*>(mPorts[kPortOutputPeak])) *meter = PeakDb(mOutputPeak);
}

} // namespace tavelo::lv2
