// Internal-rate converter (audio thread): turns one host-rate sample into the internal steps of
// the circuit at 192000 Hz and the internal outputs back into one host-rate sample. The render
// loop keeps the carried values in a local RovuRiza_ConverterVars for a whole call.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

inline constexpr int kRovuRizaConverterMaxSteps = 12; // internal steps per host sample, at most
inline constexpr int kRovuRizaConverterTaps = 9;

// How the host-rate samples meet the internal clock.
enum class RovuRiza_ConverterTiming
{
    // Each internal step sees the input interpolated at its own instant, and the output is
    // interpolated at the host instant, both with four-point (cubic) interpolation: free of the
    // sampling jitter that host rates which do not divide 192000 would otherwise cause, and of
    // the images a two-point interpolation leaves near the top of the band. Costs a constant
    // latency of one host sample plus one internal step. Used by the render.
    kInterpolated,
    // The input is held for every step of a host sample and the newest output is weighted by
    // overshoot / host period. Kept to measure the jitter against.
    kHeld,
};

// One eighth-order direct-form recursion. The histories are mirrored rings: every value is
// written at `head` and at `head + taps`, so x[head..head+8] and y[head..head+8] always read
// x[n]..x[n-8] and y[n]..y[n-8] in one piece, and nothing needs shifting. A value-initialised
// filter is an empty one.
struct RovuRiza_ConverterFilter
{
    float x[2 * kRovuRizaConverterTaps];
    float y[2 * kRovuRizaConverterTaps];
    int head;

    const float* inputs() const noexcept { return x + head; }  // newest first
    const float* outputs() const noexcept { return y + head; } // newest first
};

struct RovuRiza_ConverterVars
{
    float acc;           // overshoot of the last internal step past the last host instant
    float hostPeriod;    // 1/fs
    float internalStep;  // 1/192000
    float invHostPeriod; // reciprocals taken once per call, so the loop needs no division
    float invInternalStep;
    float previousInputs[3];                 // conditioned input x[n-1], x[n-2], x[n-3]
    float forward[kRovuRizaConverterTaps];   // b0..b8
    float recursive[kRovuRizaConverterTaps]; // [0] unused, then the added feedback c1..c8
    RovuRiza_ConverterFilter up;
    RovuRiza_ConverterFilter down;
};

void RovuRiza_LoadConverter(const RovuRiza_ModelState& state,
                            RovuRiza_ConverterVars& vars) noexcept;
void RovuRiza_StoreConverter(const RovuRiza_ConverterVars& vars,
                             RovuRiza_ModelState& state) noexcept;

// Feeds one value through a converter filter and returns its output.
inline float RovuRiza_ConverterFilterStep(RovuRiza_ConverterFilter& f, const float* forward,
                                          const float* recursive, float in) noexcept
{
    // A head outside the ring (a corrupted record) restarts the ring position safely.
    const int head = unsigned(f.head - 1) < unsigned(kRovuRizaConverterTaps)
                         ? f.head - 1
                         : kRovuRizaConverterTaps - 1;
    f.head = head;
    f.x[head] = f.x[head + kRovuRizaConverterTaps] = in;
    const float* x = f.x + head;
    const float* y = f.y + head;
    float out = forward[0] * in;
    for (int k = 1; k < kRovuRizaConverterTaps; ++k)
        out += forward[k] * x[k] + recursive[k] * y[k];
    f.y[head] = f.y[head + kRovuRizaConverterTaps] = out;
    return out;
}

// Clamps to [lo, hi]; a NaN becomes lo, so no later step can carry it.
inline float RovuRiza_ClampOrLow(float v, float lo, float hi) noexcept
{
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

// Four-point Lagrange interpolation between p1 (x = 0) and p2 (x = 1), p0 and p3 outside.
inline float RovuRiza_CubicInterpolate(float p0, float p1, float p2, float p3, float x) noexcept
{
    const float xm1 = x - 1.0f;
    const float xm2 = x - 2.0f;
    const float xp1 = x + 1.0f;
    const float c0 = -x * xm1 * xm2 * (1.0f / 6.0f);
    const float c1 = xp1 * xm1 * xm2 * 0.5f;
    const float c2 = -xp1 * x * xm2 * 0.5f;
    const float c3 = xp1 * x * xm1 * (1.0f / 6.0f);
    return c0 * p0 + c1 * p1 + c2 * p2 + c3 * p3;
}

// One host sample h through the internal-rate section. `step(u)` runs one circuit step on the
// filtered input u and returns its output. At most kRovuRizaConverterMaxSteps steps run
// whatever rate was set up, and the accumulator stays within [0, internalStep], so rates
// outside the design stay memory-safe and bounded (they merely run the model at the wrong
// speed).
template <RovuRiza_ConverterTiming kTiming = RovuRiza_ConverterTiming::kInterpolated, class Step>
inline float RovuRiza_ConvertSample(RovuRiza_ConverterVars& v, float h, Step&& step) noexcept
{
    const float x1 = v.previousInputs[0];
    const float x2 = v.previousInputs[1];
    const float x3 = v.previousInputs[2];
    float acc = v.acc;
    int k = 0;
    do
    {
        float in = h;
        if constexpr (kTiming == RovuRiza_ConverterTiming::kInterpolated)
        {
            // acc is this step's instant past the previous host instant; the input is read one
            // host sample late, so every instant has two known samples on each side.
            const float fraction = RovuRiza_ClampOrLow(acc * v.invHostPeriod, 0.0f, 1.0f);
            in = RovuRiza_CubicInterpolate(x3, x2, x1, h, fraction);
        }
        const float u = RovuRiza_ConverterFilterStep(v.up, v.forward, v.recursive, in);
        RovuRiza_ConverterFilterStep(v.down, v.forward, v.recursive, step(u));
        acc += v.internalStep;
        ++k;
    } while (acc < v.hostPeriod && k < kRovuRizaConverterMaxSteps);
    acc = RovuRiza_ClampOrLow(acc - v.hostPeriod, 0.0f, v.internalStep);
    v.acc = acc;
    v.previousInputs[2] = x2;
    v.previousInputs[1] = x1;
    v.previousInputs[0] = h;

    // The output filter holds the newest internal outputs (y[0] the newest); with a single
    // step per host sample its older entries come from the preceding host samples.
    const float* z = v.down.outputs();
    if constexpr (kTiming == RovuRiza_ConverterTiming::kInterpolated)
    {
        // The host instant lies acc before the newest output; read one internal step later
        // than that, between z[2] and z[1], so two outputs lie on each side.
        const float late = RovuRiza_ClampOrLow(acc * v.invInternalStep, 0.0f, 1.0f);
        return RovuRiza_CubicInterpolate(z[3], z[2], z[1], z[0], 1.0f - late);
    }
    else
    {
        const float t = acc * v.invHostPeriod;
        return t * z[0] + (1.0f - t) * z[1];
    }
}
