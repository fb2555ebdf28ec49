// Cabinet-and-microphone voicings: the level-dependent bank (audio thread) and the builder of
// the port-7 payload (host non-real-time thread, called by the data model).
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

inline constexpr int kRovuRizaVoicingCount = 28;

// The voicing names in menu order ("1 Roy + 57 - Older" ...).
extern const char* const kRovuRizaVoicingNames[kRovuRizaVoicingCount];

// The raw gain table of a voicing (0..27) for a host rate (base family up to 66000 Hz).
const float* RovuRiza_VoicingTable(int index, double sampleRate) noexcept;

// Rebuilds the 1616-byte payload in place from the "Sound" value and the host rate; keeps the
// previous table for an out-of-range index and leaves an empty payload empty.
void RovuRiza_BuildVoicingPayload(float soundValue, double sampleRate,
                                  RovuRiza_VoicingPayload& payload) noexcept;

// One host sample through the envelope follower and the bank; y is already scaled by Volume.
float RovuRiza_VoicingProcess(const RovuRiza_VoicingPayload& payload,
                              const RovuRiza_SectionPoles& poles, float* history1,
                              float* history2, float& envelope, float envelopeCoef,
                              float y) noexcept;
