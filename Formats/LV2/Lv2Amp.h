// One LV2 instance of the amp: the engine, the port buffers the host connected, and what this
// format adds around the engine: the bypass crossfade, the output trim, the peak meters, MIDI
// from an atom sequence and safe handling of non-finite input.
#pragma once

#include <cstdint>
#include <string>

#include "Engine/RovuRiza_Engine.h"
#include "Lv2Ports.h"
#include "lv2/urid/urid.h"

namespace tavelo::lv2
{

class Lv2Amp
{
public:
    // Frames per engine call: run() cuts the host's block into pieces of at most this length so
    // the scratch buffers are fixed at set-up.
    static constexpr uint32_t kChunk = 256;
    static constexpr uint32_t kMaxEvents = 512;

    // Instantiation thread. Prepares the engine; false with the reason in *error.
    bool prepare(double sampleRate, int channels, LV2_URID midiEventUrid, std::string* error);

    // Audio thread (connect_port may also come from the instantiation thread).
    void connect(uint32_t port, void* data) noexcept;
    // Instantiation thread: back to the prepared state, crossfade settled on the port's value.
    void activate() noexcept;
    // Audio thread: any frame count; allocates nothing, locks nothing, makes no system call.
    void run(uint32_t frames) noexcept;

private:
    void readControls() noexcept;
    uint32_t collectMidi(uint32_t frames) noexcept;
    void renderChunk(uint32_t offset, uint32_t frames, const RovuRiza_MidiEvent* events,
                     uint32_t eventCount) noexcept;

    RovuRiza_Engine mEngine;
    int mChannels = 1;
    LV2_URID mMidiEvent = 0;
    void* mPorts[kStereoPortCount] = {};

    float mAppliedControls[kRovuRizaControlCount] = {};
    float mTrimDb = 0.0f;
    float mTrimGain = 1.0f;
    float mWetGain = 1.0f; // 1 = amp, 0 = dry; moves by mFadeStep per frame towards its target
    float mFadeStep = 1.0f;
    float mInputPeak = 0.0f, mOutputPeak = 0.0f;

    RovuRiza_MidiEvent mEvents[kMaxEvents] = {};
    float mIn[2][kChunk] = {};
    float mWet[2][kChunk] = {};
};

} // namespace tavelo::lv2
