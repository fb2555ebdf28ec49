#include "Converter/RovuRiza_Converter.h"

#include <cstring>

#include "Converter/RovuRiza_ConverterCoefficients.h"
#include "Engine/RovuRiza_Lanes.h"
#include "Engine/RovuRiza_VectorUnits.h"

namespace
{
namespace RovuRiza_ConverterBlock
{
using namespace RovuRiza_ConverterDesign;
constexpr int kGroup = 8;

// The recursion y[n] = f[n] + c1 y[n-1] + ... + c8 y[n-8] (f the input terms) solved for eight
// steps at once: each output of a group is a fixed combination of the eight outputs before it
// and the group's input terms. Derived by the compiler in double from the design's own
// coefficients, column by column ([input][output]). The entries reach a few hundred, so the
// carried outputs and the sums stay in double.
struct Matrices
{
    double fromState[kGroup][kGroup]; // [k][j]: output j from y[n0 - 1 - k]
    double fromInput[kGroup][kGroup]; // [i][j]: output j from f[n0 + i]
};

constexpr Matrices derive()
{
    Matrices m{};
    // Column k: the outputs from a unit y[n0 - 1 - k], no input; column 8 + i: from a unit
    // f[n0 + i], no earlier output.
    for (int column = 0; column < 2 * kGroup; ++column)
    {
        double y[kGroup + kGroup] = {}; // y[n0 - 8] .. y[n0 + 7]
        if (column < kGroup) y[kGroup - 1 - column] = 1.0;
        for (int j = 0; j < kGroup; ++j)
        {
            double sum = column - kGroup == j ? 1.0 : 0.0;
            for (int k = 1; k <= 8; ++k)
                sum += globalkFourthBandEll8Revmeno[k] * y[kGroup + j - k];
            y[kGroup + j] = sum;
            if (column < kGroup)
                m.fromState[column][j] = sum;
            else
                m.fromInput[column - kGroup][j] = sum;
        }
    }
    return m;
}

alignas(64) inline constexpr Matrices kMatrices = derive();
} // namespace RovuRiza_ConverterBlock

// Feeds `count` values through a converter filter, in place. Per group of eight steps: the input
// terms in vector lanes, from the inputs around the group; then the outputs from the block
// matrices, with the terms of the eight earlier outputs (the only ones on the path from one
// group to the next) summed as a balanced tree. A group a run ends inside is finished by the
// next run, from the same outputs before it and the same input terms, so its outputs come out
// the same however the values are split into runs.
using namespace RovuRiza_ConverterBlock;
using D8 = DoubleLanes<8>;
using F8 = Lanes<8>;

// Every lane set to lane i of v, from the register; and lanes 8 - k .. 15 - k of the sixteen in
// (older, newer), the inputs k steps back. Written as macros: a function returning 8-lane
// vectors would change its calling convention between the builds.
#define LANE(v, i) __builtin_shufflevector(v, v, i, i, i, i, i, i, i, i)
#define BACK(k)                                                                                    \
    __builtin_shufflevector(older, newer, 8 - k, 9 - k, 10 - k, 11 - k, 12 - k, 13 - k, 14 - k,    \
                            15 - k)

// One group's outputs from its inputs (older: the eight steps before it, newer: its own), the
// input terms already known (the lanes set in keep, taken from kept instead of computed) and the
// outputs before it (previous, oldest in lane 0). Leaves the group's input terms in terms.
[[gnu::always_inline]] inline void groupOutputs(const D8& older, const D8& newer, const D8& keep,
                                                const D8& kept, const D8& previous, D8& terms,
                                                D8& output) noexcept
{
    const double* b = RovuRiza_ConverterDesign::globalkFourthBandEll8Fw;
    const D8 sum =
        ((b[0] * BACK(0) + b[1] * BACK(1)) + (b[2] * BACK(2) + b[3] * BACK(3))) +
        ((b[4] * BACK(4) + b[5] * BACK(5)) + (b[6] * BACK(6) + (b[7] * BACK(7) + b[8] * BACK(8))));
    typedef long long Bits __attribute__((vector_size(64)));
    terms = (D8)(((Bits)sum & ~(Bits)keep) | ((Bits)kept & (Bits)keep));
    D8 in[kGroup], st[kGroup];
    for (int k = 0; k < kGroup; ++k)
    {
        load(in[k], kMatrices.fromInput[k]);
        load(st[k], kMatrices.fromState[k]);
    }
    const D8 fromInputs = ((in[0] * LANE(terms, 0) + in[1] * LANE(terms, 1)) +
                           (in[2] * LANE(terms, 2) + in[3] * LANE(terms, 3))) +
                          ((in[4] * LANE(terms, 4) + in[5] * LANE(terms, 5)) +
                           (in[6] * LANE(terms, 6) + in[7] * LANE(terms, 7)));
    // Column k of fromState weighs y[n0 - 1 - k], lane 7 - k of previous.
    output = fromInputs + (((st[0] * LANE(previous, 7) + st[1] * LANE(previous, 6)) +
                            (st[2] * LANE(previous, 5) + st[3] * LANE(previous, 4))) +
                           ((st[4] * LANE(previous, 3) + st[5] * LANE(previous, 2)) +
                            (st[6] * LANE(previous, 1) + st[7] * LANE(previous, 0))));
}
#undef LANE
#undef BACK

// Per group of eight steps: the input terms in vector lanes, from the inputs around the group;
// then the outputs from the block matrices, with the terms of the eight earlier outputs (the
// only ones on the path from one group to the next) summed as a balanced tree. A group a run
// ends inside is finished by the next run from the same outputs before it and the same input
// terms, through the same arithmetic.
[[gnu::always_inline]] inline void runFilter(RovuRiza_ConverterFilter& f, float* values,
                                             int count) noexcept
{
    // Steps are counted from this run's first value; the open group started at t0 = -done.
    const int done = f.groupDone;
    int t0 = -done;
    // The inputs of steps t0 - 8 .. t0 + 7 (unknown ones zero: they only feed lanes replaced
    // by kept terms), the outputs before the group (oldest first), the kept terms.
    alignas(64) double window[2 * kGroup] = {}, previous[kGroup], kept[kGroup], keep[kGroup];
    for (int k = 0; k < kRovuRizaConverterTaps; ++k)
    {
        const int j = -1 - k - t0 + kGroup; // step -1 - k
        if (j >= 0 && j < 2 * kGroup) window[j] = f.x[k];
    }
    for (int k = 0; k < kGroup; ++k)
        previous[k] = f.groupStart[kGroup - 1 - k];
    float newestInputs[kRovuRizaConverterTaps];
    for (int k = 0; k < kRovuRizaConverterTaps; ++k)
        newestInputs[k] = k < count ? values[count - 1 - k] : f.x[k - count];
    for (int k = 0; k < kRovuRizaConverterTaps; ++k)
        f.x[k] = newestInputs[k];

    D8 older, newer, before, terms{};
    load(older, window);
    load(before, previous);
    for (;;)
    {
        // A group wholly inside the run (all but the first and last) takes its inputs and
        // leaves its outputs with single vector moves.
        const bool inside = t0 >= 0 && t0 + kGroup <= count;
        D8 keepMask{}, keptTerms{};
        if (inside)
        {
            F8 in;
            load(in, values + t0);
            newer = __builtin_convertvector(in, D8);
        }
        else
        {
            for (int i = 0; i < kGroup; ++i)
            {
                const int t = t0 + i;
                window[kGroup + i] = t >= 0 && t < count ? values[t]
                                     : t < 0             ? window[kGroup + i]
                                                         : 0.0;
                // Terms of steps before the run are kept; those after it are zero.
                const bool known = t < 0 || t >= count;
                keep[i] = known ? __builtin_bit_cast(double, ~0ull) : 0.0;
                kept[i] = t < 0 ? f.groupInputs[i] : 0.0;
            }
            load(newer, window + kGroup);
            load(keepMask, keep);
            load(keptTerms, kept);
        }
        // Opaque to the compiler, so that it cannot specialise the arithmetic for groups inside
        // the run: every group must round exactly alike.
        asm("" : "+m"(keepMask), "+m"(keptTerms));
        D8 output;
        groupOutputs(older, newer, keepMask, keptTerms, before, terms, output);
        if (inside)
            store(values + t0, __builtin_convertvector(output, F8));
        else
            for (int i = 0; i < kGroup; ++i)
            {
                const int t = t0 + i;
                if (t >= 0 && t < count) values[t] = float(output[i]);
            }
        if (t0 + kGroup > count) break;
        before = output;
        older = newer;
        t0 += kGroup;
        if (t0 == count) break;
    }
    // The record: the group now open, and the newest outputs.
    const int open = count - t0; // steps of the open group done, 0..7
    store(previous, before);
    store(kept, terms);
    for (int k = 0; k < kGroup; ++k)
    {
        f.groupStart[k] = previous[kGroup - 1 - k];
        f.groupInputs[k] = k < open ? kept[k] : 0.0;
    }
    f.groupDone = open;
    float newest[kRovuRizaConverterTaps];
    for (int k = 0; k < kRovuRizaConverterTaps; ++k)
        newest[k] = k < count ? values[count - 1 - k] : f.y[k - count];
    for (int k = 0; k < kRovuRizaConverterTaps; ++k)
        f.y[k] = newest[k];
}

// Built three times, like the circuit: for the baseline, for 8-lane units with fused
// multiply-add, and for the 512-bit set, where one register holds a group's eight doubles and
// the block matrices stay in registers. The vector builds fuse the multiply-adds, so they differ
// from the baseline by rounding only.
} // namespace

__attribute__((target(ROVURIZA_VECTOR_TARGET))) void
RovuRiza_ConverterFilterRunVector(RovuRiza_ConverterFilter& f, float* values, int count) noexcept
{
    runFilter(f, values, count);
}

__attribute__((target(ROVURIZA_VECTOR512_TARGET))) void
RovuRiza_ConverterFilterRunVector512(RovuRiza_ConverterFilter& f, float* values, int count) noexcept
{
    runFilter(f, values, count);
}

void RovuRiza_ConverterFilterRunBaseline(RovuRiza_ConverterFilter& f, float* values,
                                         int count) noexcept
{
    runFilter(f, values, count);
}

namespace
{
using FilterFunction = void (*)(RovuRiza_ConverterFilter&, float*, int) noexcept;

constexpr int kTaps = kRovuRizaConverterTaps;

// The record keeps x[n]..x[n-8] then y[n]..y[n-8].
void LoadFilter(const float (&history)[2 * kTaps], const double (&group)[16], int32_t done,
                RovuRiza_ConverterFilter& f) noexcept
{
    std::memcpy(f.x, history, kTaps * sizeof(float));
    std::memcpy(f.y, history + kTaps, kTaps * sizeof(float));
    std::memcpy(f.groupStart, group, sizeof f.groupStart);
    std::memcpy(f.groupInputs, group + 8, sizeof f.groupInputs);
    // A count outside 0..7 (a damaged record) restarts the group rather than reading past it.
    f.groupDone = done >= 0 && done < 8 ? done : 0;
}

void StoreFilter(const RovuRiza_ConverterFilter& f, float (&history)[2 * kTaps],
                 double (&group)[16], int32_t& done) noexcept
{
    std::memcpy(history, f.x, kTaps * sizeof(float));
    std::memcpy(history + kTaps, f.y, kTaps * sizeof(float));
    std::memcpy(group, f.groupStart, sizeof f.groupStart);
    std::memcpy(group + 8, f.groupInputs, sizeof f.groupInputs);
    done = f.groupDone;
}
} // namespace

// Chosen once, when the library is loaded (uninstrumented: it runs before any sanitizer runtime
// has set itself up).
extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) FilterFunction
RovuRiza_ResolveConverterFilterRun() noexcept
{
    return RovuRiza_PickBuild<FilterFunction>(RovuRiza_ConverterFilterRunBaseline,
                                              RovuRiza_ConverterFilterRunVector,
                                              RovuRiza_ConverterFilterRunVector512);
}

void RovuRiza_ConverterFilterRunBuild(RovuRiza_ConverterFilter& f, float* values,
                                      int count) noexcept
    __attribute__((ifunc("RovuRiza_ResolveConverterFilterRun")));

void RovuRiza_ConverterFilterRun(RovuRiza_ConverterFilter& f, float* values, int count) noexcept
{
    if (count > 0 && values != nullptr) RovuRiza_ConverterFilterRunBuild(f, values, count);
}

void RovuRiza_LoadConverter(const RovuRiza_ModelState& state, RovuRiza_ConverterVars& vars) noexcept
{
    vars.acc = state.stepAccumulator;
    vars.hostPeriod = state.hostPeriod;
    vars.internalStep = state.internalStep;
    vars.invHostPeriod = 1.0f / state.hostPeriod;
    vars.invInternalStep = 1.0f / state.internalStep;
    vars.previousInputs[0] = state.circuitState.conditionedInput;
    vars.previousInputs[1] = state.converterInputHistory[0];
    vars.previousInputs[2] = state.converterInputHistory[1];
    LoadFilter(state.upHistory, state.upGroup, state.upGroupDone, vars.up);
    LoadFilter(state.downHistory, state.downGroup, state.downGroupDone, vars.down);
}

void RovuRiza_StoreConverter(const RovuRiza_ConverterVars& vars,
                             RovuRiza_ModelState& state) noexcept
{
    state.stepAccumulator = vars.acc;
    state.circuitState.conditionedInput = vars.previousInputs[0];
    state.converterInputHistory[0] = vars.previousInputs[1];
    state.converterInputHistory[1] = vars.previousInputs[2];
    StoreFilter(vars.up, state.upHistory, state.upGroup, state.upGroupDone);
    StoreFilter(vars.down, state.downHistory, state.downGroup, state.downGroupDone);
}
