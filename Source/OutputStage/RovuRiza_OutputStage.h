// Tremolo bias (internal rate) and the low-frequency saturation stage (host rate); audio thread.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

#include <cmath>

// sin(x) without a library call, within 2e-7 of it for any finite x: reduced to a quarter turn,
// then the odd series to x^11 (its remainder there is below 6e-8).
inline float RovuRiza_FastSine(float x) noexcept
{
    constexpr float kTurnsPerRadian = 0.15915494f;
    float t = x * kTurnsPerRadian;
    t -= std::floor(t + 0.5f); // [-0.5, 0.5] turns
    if (t > 0.25f) t = 0.5f - t;
    if (t < -0.25f) t = -0.5f - t;
    const float r = t * 6.2831855f;
    const float r2 = r * r;
    float p = -1.f / 39916800.f;
    p = p * r2 + 1.f / 362880.f;
    p = p * r2 - 1.f / 5040.f;
    p = p * r2 + 1.f / 120.f;
    p = p * r2 - 1.f / 6.f;
    return r + r * (r2 * p);
}

// The pentode grid bias in volts with the tremolo at rest.
inline constexpr float kRovuRizaRestingBias = -62.5f;

// Advances the tremolo phase by one internal step.
inline void RovuRiza_AdvanceTremolo(float& phase, float increment) noexcept
{
    constexpr float kTwoPi = 6.2831855f;
    phase += increment;
    if (phase > kTwoPi) phase -= kTwoPi;
}

// Advances the tremolo phase by one internal step and returns the pentode grid bias in volts.
// At depth 0 that is the resting bias exactly, so callers may skip the sine there.
inline float RovuRiza_TremoloBias(float& phase, float increment, float depth) noexcept
{
    RovuRiza_AdvanceTremolo(phase, increment);
    return depth * RovuRiza_FastSine(phase) + kRovuRizaRestingBias;
}

struct RovuRiza_OutputStageVars
{
    float pre1, pre2;   // y[n-1], y[n-2] of the pre-filter
    float post1, post2; // q[n-1], q[n-2] of the post-filter
    // Filter coefficients for the rate in coefRate (0 until the first sample derives them).
    float coefRate = 0.f;
    float a0 = 0.f, a1 = 0.f, a2 = 0.f, invA0 = 0.f;
};

void RovuRiza_LoadOutputStage(const RovuRiza_ModelState& state,
                              RovuRiza_OutputStageVars& vars) noexcept;
void RovuRiza_StoreOutputStage(const RovuRiza_OutputStageVars& vars,
                               RovuRiza_ModelState& state) noexcept;

// One host sample: voicing-bank output in, output value out (fs = the stored host rate).
float RovuRiza_OutputStageProcess(RovuRiza_OutputStageVars& vars, float fs, float x) noexcept;
