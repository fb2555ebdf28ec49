// The amp's eight controls as every host sees them: identifier, display name, default and step
// count of each normalized 0..1 value. The data model creates its parameters from this table and
// the engine starts from its defaults, so a fresh instance sounds the same in every format.
#pragma once

#include <cstdint>

enum class RovuRiza_Control : int
{
    kBypass, // nonzero = bypassed (a hard switch: output is the dry input)
    kGain,
    kTremolo, // depth
    kTone,
    kRate, // tremolo speed
    kVolume,
    kSound,  // microphone voicing, index * 0.01
    kPickup, // pickup voicing, index * 0.01
};

inline constexpr int kRovuRizaControlCount = 8;

struct RovuRiza_ControlInfo
{
    const char* identifier; // the parameter identifier chunks and automation use
    const char* name;       // shown to the user
    float defaultValue;
    uint32_t steps;
};

// In creation order: the index order the AAX host sees.
inline constexpr RovuRiza_ControlInfo kRovuRizaControls[kRovuRizaControlCount] = {
    {"MasterBypassID", "Master Bypass", 0.0f, 2},
    {"Gain", "Gain", 0.2f, 131},
    {"Tremolo", "Tremolo", 0.0f, 131},
    {"Tone", "Tone", 0.5f, 131},
    {"Rate", "Rate", 0.2f, 131},
    {"Volume", "Volume", 0.8f, 131},
    {"Sound", "Microphone", 0.0f, 100},
    {"Pickup", "Pickup", 0.0f, 100},
};

inline constexpr const RovuRiza_ControlInfo& RovuRiza_ControlInfoOf(RovuRiza_Control control)
{
    return kRovuRizaControls[static_cast<int>(control)];
}

// The Pickup control's entries (entry i is i x 0.01), as the editor's menu and other formats
// list them.
inline constexpr int kRovuRizaPickupCount = 2;
inline constexpr const char* kRovuRizaPickupNames[kRovuRizaPickupCount] = {"Vintage Pickup 1",
                                                                           "Modern Pickup 1"};
