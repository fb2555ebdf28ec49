// The algorithm context the host hands to the render callback: fifteen pointer fields whose
// position is the field index used by the description and the packet registrations.
#pragma once

#include <cstddef>
#include <cstdint>

class AAX_IMIDINode;
struct RovuRiza_SectionPoles;
struct RovuRiza_ModelState;

// Payload of data port 7: the voicing packet built on the parameter side.
struct RovuRiza_VoicingPayload
{
    int32_t sectionCount;     // 100 once a voicing was chosen; <= 0 silences the bank
    uint8_t unused0[4];       // not written
    const float* rawTable;    // the chosen gain table in constant data (valid in-process only)
    float scaledGains[200];   // g0 * 1.5 and g1 * 0.5 for each section
    uint8_t unused1[800];     // not written
};
static_assert(sizeof(RovuRiza_VoicingPayload) == 1616);
static_assert(offsetof(RovuRiza_VoicingPayload, rawTable) == 8);
static_assert(offsetof(RovuRiza_VoicingPayload, scaledGains) == 16);

struct SRovuRiza_Alg_Context
{
    const int32_t* ctrlBypass;                // 0: Master Bypass, nonzero = bypassed
    const float* ctrlGainTremolo;             // 1: Gain at [0], Tremolo at [1]
    const float* ctrlTone;                    // 2
    const float* ctrlRate;                    // 3
    const float* ctrlVolume;                  // 4
    const float* ctrlSoundValue;              // 5: raw Sound value (not read by the render)
    const float* ctrlPickup;                  // 6
    const RovuRiza_VoicingPayload* ctrlSound; // 7
    RovuRiza_SectionPoles* sectionPoles;      // 8: private block
    float* const* audioIn;                    // 9
    float* const* audioOut;                   // 10
    const int32_t* bufferLength;              // 11
    const float* sampleRate;                  // 12
    AAX_IMIDINode* midiIn;                    // 13
    RovuRiza_ModelState* modelState;          // 14: private block
};

// Field indices and declared sizes, shared by the description, the data model and the host.
namespace RovuRiza_Field
{
inline constexpr int kBypass = 0;
inline constexpr int kGainTremolo = 1;
inline constexpr int kTone = 2;
inline constexpr int kRate = 3;
inline constexpr int kVolume = 4;
inline constexpr int kSoundValue = 5;
inline constexpr int kPickup = 6;
inline constexpr int kSound = 7;
inline constexpr int kSectionPoles = 8;
inline constexpr int kAudioIn = 9;
inline constexpr int kAudioOut = 10;
inline constexpr int kBufferLength = 11;
inline constexpr int kSampleRate = 12;
inline constexpr int kMidiIn = 13;
inline constexpr int kModelState = 14;
inline constexpr int kCount = 15;

inline constexpr uint32_t kSectionPolesSize = 816;
inline constexpr uint32_t kModelStateSize = 17644544;
inline constexpr uint32_t kVoicingPayloadSize = 1616;
} // namespace RovuRiza_Field

static_assert(sizeof(SRovuRiza_Alg_Context) == RovuRiza_Field::kCount * sizeof(void*));
