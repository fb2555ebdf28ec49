// One step of the amplifier circuit at the internal rate (audio thread). The render loop keeps
// the carried values in a local RovuRiza_CircuitVars for a whole call and writes them back once.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

struct RovuRiza_CircuitVars
{
    float xp[8];    // preamplifier states (xp6 = return value copied in)
    float i[4];     // preamplifier tube currents
    float x[11];    // power amplifier vector
    float g;        // companion drive
    float r;        // return value to the preamplifier
    float I[8];     // power amplifier tube currents I1..I8 at [0]..[7]
    float vpPrev;   // first DC blocker: previous input
    float d;        // first DC blocker: output
    float voutPrev; // second DC blocker: previous input
    float o;        // second DC blocker: output
    float tone;     // tone low-pass state
    float tremoloPhase;
    float u;    // last conditioned input of the preamplifier
    float sIn;  // last power-amplifier input (tone output times expression gain)
    float bias; // last pentode grid bias from the tremolo
    // Raw table coordinates of the last step (row, column) for the six tubes in the order
    // preamplifier stages 1 and 2, phase-splitter triodes 1 and 2, pentodes 1 and 2.
    float coordinates[12];
    // The part of the next step's table positions the last step worked out (see the kernel);
    // a state no step has run from yet has none, and the next run works it out first.
    float preAhead[4];    // less the return value's and the input's share
    float returnAhead[4]; // the return value's share
    float powerAhead[8];
    float aheadReady; // 1 once worked out, 0 before
};

// Per-call control values derived by the render loop.
struct RovuRiza_StepControls
{
    float toneCoef;           // p = 0.995 * (1 - Tone^4)
    float toneCoefComplement; // 1 - p
    float expressionGain;     // e = 2 + 4 * expression (per sample)
    float tremoloIncrement;   // w, radians per internal step
    float tremoloDepth;       // d = 5 * Tremolo
};

void RovuRiza_LoadCircuit(const RovuRiza_ModelState& state, RovuRiza_CircuitVars& vars) noexcept;
void RovuRiza_StoreCircuit(const RovuRiza_CircuitVars& vars, RovuRiza_ModelState& state) noexcept;

// Runs `count` internal steps on the upsampled inputs and writes their DC-blocked outputs; the
// render loop's path. Behaves exactly like `count` single steps.
void RovuRiza_RunCircuit(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables,
                         const RovuRiza_StepControls& controls, const float* input, float* output,
                         int count) noexcept;

// The builds RovuRiza_RunCircuit picks between when the library loads, named for the tests that
// run the ones this processor does not use. All want count > 0 and both arrays; the vector build
// runs only on processors with AVX2 and FMA, the 512-bit one only where
// RovuRiza_HasVector512Units() holds.
void RovuRiza_RunCircuitBaseline(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables,
                                 const RovuRiza_StepControls& controls, const float* input,
                                 float* output, int count) noexcept;
void RovuRiza_RunCircuitVector(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables,
                               const RovuRiza_StepControls& controls, const float* input,
                               float* output, int count) noexcept;
void RovuRiza_RunCircuitVector512(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables,
                                  const RovuRiza_StepControls& controls, const float* input,
                                  float* output, int count) noexcept;

// Runs one internal step with the upsampled input u; returns the DC-blocked output o. A state
// that has become non-finite (only reachable through corrupted controls or tables) is restarted
// from the all-zero state, powering up again, instead of staying silent for good.
float RovuRiza_CircuitStep(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables, float u,
                           const RovuRiza_StepControls& controls) noexcept;
