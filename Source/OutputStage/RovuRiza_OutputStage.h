// Tremolo bias (internal rate) and the low-frequency saturation stage (host rate); audio thread.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

// Advances the tremolo phase by one internal step and returns the pentode grid bias in volts.
float RovuRiza_TremoloBias(float& phase, float increment, float depth) noexcept;

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
