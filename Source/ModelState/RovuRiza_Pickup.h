// The pickup filter: its matrices are derived on the set-up path (host non-real-time thread)
// and run per host sample by the render loop (audio thread).
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

// Derives every member of the model from the pickup circuit at host rate fs (fs > 0).
void RovuRiza_BuildPickupModel(RovuRiza_PickupModel& model, double fs) noexcept;

// Carried states of the filter for a render call; the third state of the record stays 0.
struct RovuRiza_PickupVars
{
    float s0, s1;
    float a00, a01, a10, a11; // leading 2x2 block of pickupA
    float b0, b1;             // input column of pickupB
    float c0, c1, d;
};

void RovuRiza_LoadPickup(const RovuRiza_ModelState& state, RovuRiza_PickupVars& vars) noexcept;
void RovuRiza_StorePickup(const RovuRiza_PickupVars& vars, RovuRiza_ModelState& state) noexcept;

// Updates the states with x and returns the filter output from the updated states.
inline float RovuRiza_PickupStep(RovuRiza_PickupVars& p, float x) noexcept
{
    const float s0 = p.a00 * p.s0 + p.a01 * p.s1 + p.b0 * x;
    const float s1 = p.a10 * p.s0 + p.a11 * p.s1 + p.b1 * x;
    p.s0 = s0;
    p.s1 = s1;
    return p.c0 * s0 + p.c1 * s1 + p.d * x;
}
