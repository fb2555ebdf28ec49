// The LV2 plug-ins' URIs and port layout, shared by the plug-in, its UI, the Turtle generator
// and the test host, so the description and the code cannot disagree. Control ports come first
// and have the same indices in the mono and the stereo plug-in; the stereo one adds its second
// pair of audio ports at the end.
#pragma once

#include <cstdint>

#include "Engine/RovuRiza_Controls.h"

namespace tavelo::lv2
{

inline constexpr const char* kMonoUri = "urn:quorva:tavelo1:mono";
inline constexpr const char* kStereoUri = "urn:quorva:tavelo1:stereo";
inline constexpr const char* kUiUri = "urn:quorva:tavelo1:ui";

enum Port : uint32_t
{
    kPortEnabled, // lv2:enabled: 0 bypasses with a short crossfade
    kPortGain,
    kPortTremolo,
    kPortTone,
    kPortRate,
    kPortVolume,
    kPortMicrophone, // voicing index 0..27
    kPortPickup,     // pickup index 0..1
    kPortOutputTrim, // dB
    kPortLatency,    // output: samples
    kPortInputPeak,  // output: dBFS
    kPortOutputPeak, // output: dBFS
    kPortMidiIn,     // atom sequence of MIDI events
    kPortAudioInLeft,
    kPortAudioOutLeft,
    kPortAudioInRight,  // stereo only
    kPortAudioOutRight, // stereo only
};

inline constexpr uint32_t kMonoPortCount = kPortAudioOutLeft + 1;
inline constexpr uint32_t kStereoPortCount = kPortAudioOutRight + 1;

inline constexpr float kTrimMinDb = -60.0f;
inline constexpr float kTrimMaxDb = 24.0f;
inline constexpr float kMeterFloorDb = -120.0f;
inline constexpr double kBypassFadeSeconds = 0.005;

// The engine control behind a control input port, or -1 for the ports of this format alone.
inline constexpr int EngineControlOfPort(uint32_t port)
{
    return port >= kPortGain && port <= kPortPickup ? int(port - kPortGain) + 1 : -1;
}

// Port value of an index control (Microphone, Pickup) as the engine's normalized value: computed
// in double and rounded once, as the AAX host hands over a double entry value.
inline constexpr float NormalizedOfIndex(int index)
{
    return float(double(index) * 0.01);
}

} // namespace tavelo::lv2
