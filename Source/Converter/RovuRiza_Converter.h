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

// One eighth-order recursion. The inputs and outputs it hands on are float; the recursion itself
// runs in double, eight steps at a time, in groups counted from the filter's first step, so
// that every output comes out of the same arithmetic however the values are split into runs.
// A value-initialised filter is an empty one.
struct RovuRiza_ConverterFilter
{
    float x[kRovuRizaConverterTaps]; // inputs x[n]..x[n-8], newest first
    float y[kRovuRizaConverterTaps]; // outputs y[n]..y[n-8] as handed on, newest first
    double groupStart[8];            // the outputs before the current group, newest first
    double groupInputs[8]; // the input terms of the group's steps done so far; zeros after
    int32_t groupDone;     // how many of the group's steps are done (0..7)

    const float* inputs() const noexcept { return x; }
    const float* outputs() const noexcept { return y; }
};

struct RovuRiza_ConverterVars
{
    float acc;           // overshoot of the last internal step past the last host instant
    float hostPeriod;    // 1/fs
    float internalStep;  // 1/192000
    float invHostPeriod; // reciprocals taken once per call, so the loop needs no division
    float invInternalStep;
    float previousInputs[3]; // conditioned input x[n-1], x[n-2], x[n-3]
    RovuRiza_ConverterFilter up;
    RovuRiza_ConverterFilter down;
};

void RovuRiza_LoadConverter(const RovuRiza_ModelState& state,
                            RovuRiza_ConverterVars& vars) noexcept;
void RovuRiza_StoreConverter(const RovuRiza_ConverterVars& vars,
                             RovuRiza_ModelState& state) noexcept;

// Feeds `count` values through a converter filter, in place (audio thread). The recursion runs
// eight steps at a time from block matrices, in double; a group a run ends inside is finished by
// the next run from the same values, so the outputs come out the same however the values are
// split into runs. Picks the widest build this processor runs when the library loads.
void RovuRiza_ConverterFilterRun(RovuRiza_ConverterFilter& f, float* values, int count) noexcept;

// The builds it picks between, named for the tests that run the ones this processor does not
// use; like the circuit's, the vector one needs AVX2 and FMA, the 512-bit one
// RovuRiza_HasVector512Units(). All want count > 0 and the values.
void RovuRiza_ConverterFilterRunBaseline(RovuRiza_ConverterFilter& f, float* values,
                                         int count) noexcept;
void RovuRiza_ConverterFilterRunVector(RovuRiza_ConverterFilter& f, float* values,
                                       int count) noexcept;
void RovuRiza_ConverterFilterRunVector512(RovuRiza_ConverterFilter& f, float* values,
                                          int count) noexcept;

// Feeds one value through a converter filter and returns its output.
inline float RovuRiza_ConverterFilterStep(RovuRiza_ConverterFilter& f, float in) noexcept
{
    RovuRiza_ConverterFilterRun(f, &in, 1);
    return in;
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

// The input side of one host sample h: the unfiltered circuit inputs at the instants of its
// internal steps go to `in` (room for kRovuRizaConverterMaxSteps); returns how many. The input
// filter runs over them afterwards, for as many host samples at once as the caller likes. At
// most kRovuRizaConverterMaxSteps steps run whatever rate was set up, and the accumulator stays
// within [0, internalStep], so rates outside the design stay memory-safe and bounded (they
// merely run the model at the wrong speed).
template <RovuRiza_ConverterTiming kTiming = RovuRiza_ConverterTiming::kInterpolated>
inline int RovuRiza_ConverterInstants(RovuRiza_ConverterVars& v, float h, float* in) noexcept
{
    const float x1 = v.previousInputs[0];
    const float x2 = v.previousInputs[1];
    const float x3 = v.previousInputs[2];
    float acc = v.acc;
    int k = 0;
    do
    {
        if constexpr (kTiming == RovuRiza_ConverterTiming::kInterpolated)
        {
            // acc is this step's instant past the previous host instant; the input is read one
            // host sample late, so every instant has two known samples on each side.
            const float fraction = RovuRiza_ClampOrLow(acc * v.invHostPeriod, 0.0f, 1.0f);
            in[k] = RovuRiza_CubicInterpolate(x3, x2, x1, h, fraction);
        }
        else
        {
            in[k] = h;
        }
        acc += v.internalStep;
        ++k;
    } while (acc < v.hostPeriod && k < kRovuRizaConverterMaxSteps);
    v.acc = RovuRiza_ClampOrLow(acc - v.hostPeriod, 0.0f, v.internalStep);
    v.previousInputs[2] = x2;
    v.previousInputs[1] = x1;
    v.previousInputs[0] = h;
    return k;
}

// The host-rate value from the output filter's four newest values z[0] (newest)..z[3] and the
// accumulator `acc` the input side left for that host sample.
template <RovuRiza_ConverterTiming kTiming = RovuRiza_ConverterTiming::kInterpolated>
inline float RovuRiza_ConverterOutput(const RovuRiza_ConverterVars& v, const float* z,
                                      float acc) noexcept
{
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

// One host sample h through the whole internal-rate section; `step(u)` runs one circuit step on
// the filtered input u and returns its output. With a single step per host sample the older
// outputs come from the preceding host samples.
template <RovuRiza_ConverterTiming kTiming = RovuRiza_ConverterTiming::kInterpolated, class Step>
inline float RovuRiza_ConvertSample(RovuRiza_ConverterVars& v, float h, Step&& step) noexcept
{
    float u[kRovuRizaConverterMaxSteps];
    const int count = RovuRiza_ConverterInstants<kTiming>(v, h, u);
    RovuRiza_ConverterFilterRun(v.up, u, count);
    for (int k = 0; k < count; ++k)
        u[k] = step(u[k]);
    RovuRiza_ConverterFilterRun(v.down, u, count);
    return RovuRiza_ConverterOutput<kTiming>(v, v.down.outputs(), v.acc);
}
