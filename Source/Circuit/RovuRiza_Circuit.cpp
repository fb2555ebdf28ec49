#include "Circuit/RovuRiza_Circuit.h"

#include "Circuit/RovuRiza_CircuitMatrices.h"
#include "Engine/RovuRiza_Lanes.h"
#include "Engine/RovuRiza_VectorUnits.h"
#include "OutputStage/RovuRiza_OutputStage.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>

namespace
{
using L4 = Lanes4;
using L8 = Lanes8;

template <class Matrix> inline constexpr int kInputsOf = int(std::size(Matrix{}));
template <class Matrix> inline constexpr int kOutputsOf = int(std::size(Matrix{}[0]));

template <class Matrix> constexpr bool isZeroColumn(const Matrix& m, int k)
{
    for (int j = 0; j < kOutputsOf<Matrix>; ++j)
        if (m[k][j] != 0.f) return false;
    return true;
}

// The columns summed before the late inputs arrive: every nonzero column not named late. A zero
// column adds exactly nothing to a finite sum, so leaving it out changes no result.
template <int kIn> struct ColumnList
{
    int index[kIn] = {};
    int count = 0;
};

template <const auto& M, int... kLate> constexpr auto earlyColumns()
{
    using Matrix = std::remove_cvref_t<decltype(M)>;
    ColumnList<kInputsOf<Matrix>> list;
    for (int k = 0; k < kInputsOf<Matrix>; ++k)
        if (!isZeroColumn(M, k) && ((k != kLate) && ...)) list.index[list.count++] = k;
    return list;
}

template <const auto& M, int kColumn, class L>
[[gnu::always_inline]] inline void addColumn(L& acc, const float* v) noexcept
{
    if constexpr (!isZeroColumn(M, kColumn))
    {
        L column;
        load(column, &M[kColumn][0]);
        acc += column * (v[kColumn] - L{}); // a splat: x - 0 is x, even for -0
    }
}

template <const auto& M, class L, int... kLate, size_t... J>
[[gnu::always_inline]] inline void sumEarlyOf(L& sum, const float* v,
                                              std::index_sequence<J...>) noexcept
{
    constexpr auto early = earlyColumns<M, kLate...>();
    L acc[4] = {};
    (addColumn<M, early.index[J]>(acc[J % 4], v), ...);
    sum = (acc[0] + acc[1]) + (acc[2] + acc[3]);
}

// sum = M * v over every nonzero column except the late ones, in four independent chains.
template <const auto& M, int... kLate, class L>
[[gnu::always_inline]] inline void sumEarly(L& sum, const float* v) noexcept
{
    constexpr auto early = earlyColumns<M, kLate...>();
    sumEarlyOf<M, L, kLate...>(sum, v, std::make_index_sequence<size_t(early.count)>{});
}

template <size_t kBegin, size_t kEnd, class L, size_t N>
[[gnu::always_inline]] inline void treeSum(L& out, const L (&t)[N]) noexcept
{
    if constexpr (kEnd - kBegin == 1)
        out = t[kBegin];
    else
    {
        constexpr size_t kMid = (kBegin + kEnd) / 2;
        L a, b;
        treeSum<kBegin, kMid>(a, t);
        treeSum<kMid, kEnd>(b, t);
        out = a + b;
    }
}

// acc += the named late columns times their inputs: the products side by side, then a balanced
// sum, so that no late input waits for another.
template <const auto& M, int... kColumns, class L>
[[gnu::always_inline]] inline void addLate(L& acc, const float* v) noexcept
{
    L terms[sizeof...(kColumns) + 1] = {acc};
    int k = 1;
    ((load(terms[k], &M[kColumns][0]), terms[k] *= v[kColumns] - L{}, ++k), ...);
    treeSum<0, sizeof...(kColumns) + 1>(acc, terms);
}

template <int kWidth> struct Positions
{
    alignas(32) int whole[kWidth];
    alignas(32) float fraction[kWidth];
};

// Held to [0, limit], written so that a NaN fails the first comparison and lands on the upper
// edge: it must never reach the integer conversion.
template <int kWidth, class L>
[[gnu::always_inline]] inline void positionsOf(const L& position, const PositionMap<kWidth>& map,
                                               Positions<kWidth>& out) noexcept
{
    typedef int Ints __attribute__((vector_size(kWidth * sizeof(int))));
    L limit;
    load(limit, map.limit);
    L pos = position < limit ? position : limit;
    pos = pos > L{} ? pos : L{};
    Ints whole = __builtin_convertvector(pos, Ints), lastWhole;
    std::memcpy(&lastWhole, map.lastWhole, sizeof lastWhole);
    whole = whole < lastWhole ? whole : lastWhole;
    const L fraction = pos - __builtin_convertvector(whole, L);
    std::memcpy(out.whole, &whole, sizeof whole);
    std::memcpy(out.fraction, &fraction, sizeof fraction);
}

// Raw coordinates back from positions (before the clamp), for inspection only.
template <int kWidth, class L>
inline void coordinatesOf(const L& position, const PositionMap<kWidth>& map, float* out) noexcept
{
    float p[kWidth];
    std::memcpy(p, &position, sizeof p);
    for (int k = 0; k < kWidth; ++k)
        out[k] = (p[k] - map.offset[k]) / map.scale[k];
}

// Bilinear read position shared by the tables of one tube, with its four corner weights (formed
// while the table values load). The column after the last one read repeats it, so the next
// column is always in the row.
struct TablePoint
{
    int base; // offset of [r0][c0]; [r1][c0] is one row further on
    float w00, w01, w10, w11;
};

inline TablePoint locate(int row, float rowFraction, int column, float columnFraction) noexcept
{
    const float r0 = 1.f - rowFraction;
    const float c0 = 1.f - columnFraction;
    return {row * kColumns + column, r0 * c0, r0 * columnFraction, rowFraction * c0,
            rowFraction * columnFraction};
}

inline float readTable(const float* table, const TablePoint& p) noexcept
{
    const float* t0 = table + p.base;
    const float* t1 = t0 + kColumns;
    return (t0[0] * p.w00 + t0[1] * p.w01) + (t1[0] * p.w10 + t1[1] * p.w11);
}

// Both currents of a triode at one point, from its two interleaved tables: each row's two
// columns are four neighbouring values.
inline void readPair(const float* pair, const TablePoint& p, float& first, float& second) noexcept
{
    const float* t0 = pair + 2 * p.base;
    const float* t1 = t0 + 2 * kColumns;
    first = (t0[0] * p.w00 + t0[2] * p.w01) + (t1[0] * p.w10 + t1[2] * p.w11);
    second = (t0[1] * p.w00 + t0[3] * p.w01) + (t1[1] * p.w10 + t1[3] * p.w11);
}

// Every state reaches the output within a few steps, so a non-finite output is the one check
// needed; the output never comes near this in normal work.
constexpr float kStateLimit = 1.0e20f;

// Back to the zero state, from which the circuit powers up and settles again (the audio thread
// holds no copy of the operating point a set-up starts from); the tremolo keeps its phase.
void restart(RovuRiza_CircuitVars& v) noexcept
{
    const float phase = std::isfinite(v.tremoloPhase) ? v.tremoloPhase : 0.f;
    v = RovuRiza_CircuitVars{};
    v.tremoloPhase = phase;
}

inline float finiteOrZero(float v, float limit) noexcept
{
    // NaN fails both comparisons and becomes 0; infinities are held at the limit.
    if (!(v == v)) return 0.f;
    v = v < limit ? v : limit;
    return v > -limit ? v : -limit;
}
} // namespace

void RovuRiza_LoadCircuit(const RovuRiza_ModelState& state, RovuRiza_CircuitVars& vars) noexcept
{
    const RovuRiza_CircuitState& c = state.circuitState;
    for (int k = 0; k < 8; ++k)
        vars.xp[k] = c.preState[k];
    for (int k = 0; k < 4; ++k)
        vars.i[k] = c.preCurrents[k];
    for (int k = 0; k < 11; ++k)
        vars.x[k] = c.powerState[k];
    vars.g = c.powerCompanion[0];
    vars.r = c.powerCompanion[1];
    for (int k = 0; k < 8; ++k)
        vars.I[k] = c.powerCurrents[k];
    vars.voutPrev = state.dcBlockerState[0];
    vars.o = state.dcBlockerState[1];
    vars.vpPrev = state.dcBlockerState[2];
    vars.d = state.dcBlockerState[3];
    vars.tremoloPhase = state.toneTremoloState[0];
    vars.tone = state.toneTremoloState[1];
    vars.u = c.preInputs[0];
    vars.sIn = c.powerInputs[0];
    vars.bias = c.powerInputs[2];
}

void RovuRiza_StoreCircuit(const RovuRiza_CircuitVars& vars, RovuRiza_ModelState& state) noexcept
{
    RovuRiza_CircuitState& c = state.circuitState;
    for (int k = 0; k < 8; ++k)
        c.preState[k] = vars.xp[k];
    for (int k = 0; k < 4; ++k)
        c.preCurrents[k] = vars.i[k];
    c.preInputs[0] = vars.u;
    c.preInputs[1] = kPreSupply;
    for (int k = 0; k < 11; ++k)
        c.powerState[k] = vars.x[k];
    c.powerCompanion[0] = vars.g;
    c.powerCompanion[1] = vars.r;
    for (int k = 0; k < 8; ++k)
        c.powerCurrents[k] = vars.I[k];
    c.powerInputs[0] = vars.sIn;
    c.powerInputs[1] = kPowerSupply;
    c.powerInputs[2] = vars.bias;
    state.dcBlockerState[0] = vars.voutPrev;
    state.dcBlockerState[1] = vars.o;
    state.dcBlockerState[2] = vars.vpPrev;
    state.dcBlockerState[3] = vars.d;
    state.toneTremoloState[0] = vars.tremoloPhase;
    state.toneTremoloState[1] = vars.tone;
}

namespace
{
// The step's carried values between runs: the two vectors plus the scalars of the interstage
// and the output.
struct Carried
{
    alignas(32) float pre[kPreSlots];
    alignas(32) float power[kPowerSlots];
};

void pack(const RovuRiza_CircuitVars& s, float u, Carried& c) noexcept
{
    for (int k = 0; k < 6; ++k)
        c.pre[kPXp0 + k] = s.xp[k];
    c.pre[6] = s.xp[7];
    c.pre[kPSpare] = 0.f;
    for (int k = 0; k < 4; ++k)
        c.pre[kPI0 + k] = s.i[k];
    c.pre[kPR] = s.r;
    c.pre[kPU] = u;
    c.pre[kPOne] = 1.f;
    c.pre[kPOne + 1] = 0.f;
    for (int k = 0; k < 7; ++k)
        c.power[k] = s.x[k];
    c.power[7] = 0.f;
    for (int k = 0; k < 4; ++k)
        c.power[kWX7 + k] = s.x[7 + k];
    for (int k = 0; k < 8; ++k)
        c.power[kWI1 + k] = s.I[k];
    c.power[kWI1 + 4] = c.power[kWI1 + 6] = 0.f; // pentode grid currents are held at zero
    c.power[kWSIn] = s.sIn;
    c.power[kWBias] = s.bias;
    c.power[kWOne] = 1.f;
    c.power[kWOldX9] = 0.f;
}

void unpack(const Carried& c, RovuRiza_CircuitVars& s) noexcept
{
    for (int k = 0; k < 6; ++k)
        s.xp[k] = c.pre[kPXp0 + k];
    s.xp[7] = c.pre[6];
    for (int k = 0; k < 4; ++k)
        s.i[k] = c.pre[kPI0 + k];
    s.r = c.pre[kPR];
    for (int k = 0; k < 7; ++k)
        s.x[k] = c.power[k];
    for (int k = 0; k < 4; ++k)
        s.x[7 + k] = c.power[kWX7 + k];
    for (int k = 0; k < 8; ++k)
        s.I[k] = c.power[kWI1 + k];
    s.sIn = c.power[kWSIn];
    s.bias = c.power[kWBias];
}

// `count` steps on the inputs; the carried values stay in the two vectors and in registers for
// the whole run.
[[gnu::always_inline]] inline void runSteps(RovuRiza_CircuitVars& vars,
                                            const RovuRiza_ModelState& tables,
                                            const RovuRiza_StepControls& controls,
                                            const float* input, float* output, int count) noexcept
{
    const float* const T0 = RovuRiza_TubeTablesOf(tables);
    RovuRiza_CircuitVars s = vars;
    float u = finiteOrZero(input[0], kInputLimit);
    Carried c;
    pack(s, u, c);
    float* const pre = c.pre;
    float* const power = c.power;

    const float toneCoef = controls.toneCoef;
    const float toneIn = controls.toneCoefComplement;
    const float expressionGain = controls.expressionGain;
    // s_in follows the plate voltage with this factor within a step.
    const float plateToInput = expressionGain * toneIn;
    L8 fromPreCurrent[4];
    for (int j = 0; j < 4; ++j)
    {
        L8 coupling, plate;
        load(coupling, &kPowerPositionThroughCoupling[kPI0 + j][0]);
        load(plate, &kPowerPositionThroughPlate[kPI0 + j][0]);
        fromPreCurrent[j] = coupling + plateToInput * plate;
    }

    float g = s.g, d = s.d, vpPrev = s.vpPrev, tone = s.tone, o = s.o, voutPrev = s.voutPrev;
    float phase = s.tremoloPhase;
    float rBefore = s.xp[6];
    L4 lastPrePos{};
    L8 lastPowerPos{};

    for (int n = 0; n < count; ++n)
    {
        // Preamplifier positions from the previous states and currents, r last.
        L4 prePos;
        sumEarly<kPrePositionM, kPR>(prePos, pre);
        addColumn<kPrePositionM, kPR>(prePos, pre);
        lastPrePos = prePos;

        // Preamplifier currents.
        Positions<4> pp;
        positionsOf(prePos, kPrePositions, pp);
        const TablePoint p1 = locate(pp.whole[0], pp.fraction[0], pp.whole[1], pp.fraction[1]);
        const TablePoint p2 = locate(pp.whole[2], pp.fraction[2], pp.whole[3], pp.fraction[3]);
        float i0, i1, i2, i3;
        readPair(T0 + RovuRiza_TubeTableStart(0), p1, i0, i1);
        readPair(T0 + RovuRiza_TubeTableStart(2), p2, i2, i3);
        pre[kPI0] = i0;
        pre[kPI0 + 1] = i1;
        pre[kPI0 + 2] = i2;
        pre[kPI0 + 3] = i3;

        // New preamplifier states and outputs, from the previous states and the new currents.
        L8 preNew, preOut;
        sumEarly<kPreStatesM, kPI0, kPI0 + 1, kPI0 + 2, kPI0 + 3>(preNew, pre);
        sumEarly<kPreOutputsM, kPI0, kPI0 + 1, kPI0 + 2, kPI0 + 3>(preOut, pre);
        const float vpEarly = preOut[0];
        const float couplingEarly = preOut[1];
        addLate<kPreStatesM, kPI0, kPI0 + 1, kPI0 + 2, kPI0 + 3>(preNew, pre);
        addLate<kPreOutputsM, kPI0, kPI0 + 1, kPI0 + 2, kPI0 + 3>(preOut, pre);
        const float vp = preOut[0];
        const float coupling = preOut[1];
        rBefore = pre[kPR];

        // Interstage: DC blocker, tremolo bias, tone low-pass, expression drive.
        const float dBefore = d;
        const float vpBefore = vpPrev;
        const float toneBefore = tone;
        d = kDcPole * d + (vp - vpPrev);
        vpPrev = vp;
        const float bias =
            RovuRiza_TremoloBias(phase, controls.tremoloIncrement, controls.tremoloDepth);
        tone = toneCoef * tone + toneIn * d;
        const float sIn = tone * expressionGain;

        // Power-amplifier positions: everything but the new preamplifier currents first (the
        // coupling value and s_in without them), then those currents through their folded paths.
        power[kWX10] = couplingEarly;
        power[kWSIn] = expressionGain * (toneCoef * toneBefore +
                                         toneIn * (kDcPole * dBefore + (vpEarly - vpBefore)));
        power[kWBias] = bias;
        L8 powerPos;
        sumEarly<kPowerPositionM>(powerPos, power);
        {
            const L8 terms[] = {powerPos, fromPreCurrent[0] * i0, fromPreCurrent[1] * i1,
                                fromPreCurrent[2] * i2, fromPreCurrent[3] * i3};
            treeSum<0, 5>(powerPos, terms);
        }
        lastPowerPos = powerPos;
        power[kWX10] = coupling;
        power[kWSIn] = sIn;
        std::memcpy(pre + kPXp0, &preNew, sizeof preNew); // xp0..xp5, xp7 (+ the spare lane)

        // Trapezoidal companions of the reactive elements, driven by the previous step's g.
        power[kWOldX9] = power[kWX9];
        power[kWX7] = 768000000.f * g - power[kWX7];
        power[kWX8] = 768000000.f * g - power[kWX8];
        power[kWX9] = 49152000.f * g - power[kWX9];

        // Power-amplifier currents; columns, rows in the lanes.
        Positions<8> qp;
        positionsOf(powerPos, kPowerPositions, qp);
        const TablePoint q1 = locate(qp.whole[1], qp.fraction[1], qp.whole[0], qp.fraction[0]);
        const TablePoint q2 = locate(qp.whole[3], qp.fraction[3], qp.whole[2], qp.fraction[2]);
        const TablePoint q3 = locate(qp.whole[5], qp.fraction[5], qp.whole[4], qp.fraction[4]);
        const TablePoint q4 = locate(qp.whole[7], qp.fraction[7], qp.whole[6], qp.fraction[6]);
        readPair(T0 + RovuRiza_TubeTableStart(4), q1, power[kWI1], power[kWI2]);
        readPair(T0 + RovuRiza_TubeTableStart(6), q2, power[kWI3], power[kWI4]);
        power[kWI6] = readTable(T0 + RovuRiza_TubeTableStart(8), q3);
        power[kWI8] = readTable(T0 + RovuRiza_TubeTableStart(9), q4);

        // New network states x0..x6 and the outputs (output voltage, return value, next
        // companion drive), both from the previous x0..x6 and the new companions and currents.
        L8 powerNew, powerOut;
        sumEarly<kPowerStatesM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerNew, power);
        sumEarly<kPowerOutputsM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerOut, power);
        addLate<kPowerStatesM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerNew, power);
        addLate<kPowerOutputsM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerOut, power);
        std::memcpy(power, &powerNew, sizeof powerNew); // x0..x6 (+ the spare lane)
        const float vout = 0.01f * powerOut[0];
        pre[kPR] = powerOut[1];
        g = powerOut[2];

        o = kDcPole * o + (vout - voutPrev);
        voutPrev = vout;
        output[n] = o;
        s.u = u;
        u = n + 1 < count ? finiteOrZero(input[n + 1], kInputLimit) : 0.f;
        pre[kPU] = u;
        if (!(std::fabs(o) < kStateLimit)) [[unlikely]]
        {
            s.tremoloPhase = phase;
            restart(s);
            pack(s, u, c);
            g = s.g, d = s.d, vpPrev = s.vpPrev, tone = s.tone, o = s.o, voutPrev = s.voutPrev;
            phase = s.tremoloPhase;
            rBefore = s.xp[6];
            output[n] = o;
        }
    }

    if (count > 0)
    {
        const float lastU = s.u;
        unpack(c, s);
        s.u = lastU;
        s.xp[6] = rBefore;
        s.g = g, s.d = d, s.vpPrev = vpPrev, s.tone = tone, s.o = o, s.voutPrev = voutPrev;
        s.tremoloPhase = phase;
        // Raw coordinates of the last step, for inspection: rows first for every tube.
        coordinatesOf(lastPrePos, kPrePositions, s.coordinates);
        float powerCoordinates[8];
        coordinatesOf(lastPowerPos, kPowerPositions, powerCoordinates);
        for (int k = 0; k < 4; ++k)
        {
            s.coordinates[4 + 2 * k] = powerCoordinates[2 * k + 1];
            s.coordinates[5 + 2 * k] = powerCoordinates[2 * k];
        }
    }
    vars = s;
}
} // namespace

// Built three times: for the baseline, for processors with 8-lane vector units (with register
// broadcasts) and fused multiply-add, and for those that also have the 512-bit set. All run the
// same operations in the same order; the vector builds round each multiply-add once, so they
// differ from the baseline by float32 rounding only. The 512-bit build uses the same 8-lane
// vectors: what it gains is 32 vector registers instead of 16, so fewer of the step's live
// values are spilled to the stack and reloaded.
__attribute__((target(ROVURIZA_VECTOR_TARGET))) void
RovuRiza_RunCircuitVector(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables,
                          const RovuRiza_StepControls& controls, const float* input, float* output,
                          int count) noexcept
{
    runSteps(v, tables, controls, input, output, count);
}

__attribute__((target(ROVURIZA_VECTOR512_TARGET))) void
RovuRiza_RunCircuitVector512(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables,
                             const RovuRiza_StepControls& controls, const float* input,
                             float* output, int count) noexcept
{
    runSteps(v, tables, controls, input, output, count);
}

void RovuRiza_RunCircuitBaseline(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables,
                                 const RovuRiza_StepControls& controls, const float* input,
                                 float* output, int count) noexcept
{
    runSteps(v, tables, controls, input, output, count);
}

namespace
{
using RunFunction = void (*)(RovuRiza_CircuitVars&, const RovuRiza_ModelState&,
                             const RovuRiza_StepControls&, const float*, float*, int) noexcept;
} // namespace

// Chosen once, when the library is loaded; every call then goes straight to the chosen build.
// It runs during relocation, before any sanitizer runtime has set itself up, so it is left
// uninstrumented.
extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) RunFunction
RovuRiza_ResolveRunCircuit() noexcept
{
    return RovuRiza_PickBuild<RunFunction>(RovuRiza_RunCircuitBaseline, RovuRiza_RunCircuitVector,
                                           RovuRiza_RunCircuitVector512);
}

void RovuRiza_RunCircuitSteps(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables,
                              const RovuRiza_StepControls& controls, const float* input,
                              float* output, int count) noexcept
    __attribute__((ifunc("RovuRiza_ResolveRunCircuit")));

void RovuRiza_RunCircuit(RovuRiza_CircuitVars& vars, const RovuRiza_ModelState& tables,
                         const RovuRiza_StepControls& controls, const float* input, float* output,
                         int count) noexcept
{
    if (count > 0 && input != nullptr && output != nullptr)
        RovuRiza_RunCircuitSteps(vars, tables, controls, input, output, count);
}

float RovuRiza_CircuitStep(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables, float u,
                           const RovuRiza_StepControls& controls) noexcept
{
    float o = 0.f;
    RovuRiza_RunCircuitSteps(v, tables, controls, &u, &o, 1);
    return o;
}
