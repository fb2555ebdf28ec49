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
using L16 = Lanes<16>;

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

// acc += the named late columns times the given values: the products side by side, then a
// balanced sum, so that no late value waits for another.
template <const auto& M, int... kColumns, class L>
[[gnu::always_inline]] inline void addLate(L& acc,
                                           const float (&values)[sizeof...(kColumns)]) noexcept
{
    L terms[sizeof...(kColumns) + 1] = {acc};
    int k = 1;
    ((load(terms[k], &M[kColumns][0]), terms[k] *= values[k - 1] - L{}, ++k), ...);
    treeSum<0, sizeof...(kColumns) + 1>(acc, terms);
}

// Whole and fractional table positions, kept in registers: each read takes its lanes from
// there, not through memory.
template <int kWidth> struct Positions
{
    IntLanes<kWidth> whole;
    Lanes<kWidth> fraction;
};

// Held to [0, limit], a NaN on the upper edge: it must never reach the integer conversion.
template <int kVectorBytes, int kWidth, class L>
[[gnu::always_inline]] inline Positions<kWidth> positionsOf(const L& position,
                                                            const PositionMap<kWidth>& map) noexcept
{
    using Ints = IntLanes<kWidth>;
    L limit;
    load(limit, map.limit);
    L pos = position;
    holdToRange<kVectorBytes>(pos, limit);
    Ints whole = __builtin_convertvector(pos, Ints), lastWhole;
    load(lastWhole, map.lastWhole);
    whole = whole < lastWhole ? whole : lastWhole;
    return {whole, pos - __builtin_convertvector(whole, L)};
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

// Bilinear reads, one vector per tube. A row's corner values of a tube are neighbours in its
// table: a triode's two interleaved tables give [first, second] at both columns (16 bytes), a
// pentode's one table its two columns and the two after them, unused (16 bytes: one load, with
// nothing to clear). Each tube's corner weights are formed in one
// vector while its table loads; one multiply and one multiply-add then weigh both rows, and
// one add joins the columns. The column after the last one read repeats it, so the next column
// is always in the row.
template <bool kRowFirst> struct TubeLanes
{
    static constexpr int row(int tube) { return 2 * tube + (kRowFirst ? 0 : 1); }
    static constexpr int column(int tube) { return 2 * tube + (kRowFirst ? 1 : 0); }
};
using PreTubes = TubeLanes<true>;    // the preamplifier triodes: row, column
using PowerTubes = TubeLanes<false>; // phase splitter, pentodes: column, row

// Where tube t's upper row starts in its table (in values of that table), and the weights of
// its upper and lower row: a triode's lanes take the first column's weight twice, then the
// second's; a pentode's alternate (its lanes 2 and 3 go unused).
struct TubePoint
{
    size_t cell;
    Lanes4 upper, lower;
};

template <class Tubes, int t, bool kPentode, class Positions>
[[gnu::always_inline]] inline TubePoint pointOf(const Positions& p) noexcept
{
    constexpr Lanes4 kFirst = kPentode ? Lanes4{1.f, 0.f, 1.f, 0.f} : Lanes4{1.f, 1.f, 0.f, 0.f};
    // The tube's two fractions spread from the four lanes that hold them, an in-lane shuffle:
    // spread from all eight, GCC also copies a 128-bit half across, on the chain.
    constexpr int kHalf = Tubes::row(t) / 4 * 4;
    const Lanes4 half =
        __builtin_shufflevector(p.fraction, p.fraction, kHalf, kHalf + 1, kHalf + 2, kHalf + 3);
    constexpr int c = Tubes::column(t) % 4, r = Tubes::row(t) % 4;
    const Lanes4 columns =
        kFirst + (1.f - 2.f * kFirst) * __builtin_shufflevector(half, half, c, c, c, c);
    const Lanes4 lower = columns * __builtin_shufflevector(half, half, r, r, r, r);
    // Unsigned and 64 bits wide, so that the address needs no sign or zero extension on the chain.
    const size_t row = unsigned(p.whole[Tubes::row(t)]);
    const size_t column = unsigned(p.whole[Tubes::column(t)]);
    return {row * size_t(kColumns) + column, columns - lower, lower};
}

// Both currents of a triode (lanes 0 and 1), from its two interleaved tables.
[[gnu::always_inline]] inline Lanes4 readTriode(const float* pair, const TubePoint& p) noexcept
{
    const float* at = pair + 2 * p.cell;
    Lanes4 upper, lower;
    load(upper, at);
    load(lower, at + 2 * kColumns);
    const Lanes4 rows = upper * p.upper + lower * p.lower;
    return rows + __builtin_shufflevector(rows, rows, 2, 3, 2, 3);
}

// A pentode's current, from its one table. Its last row's last read takes two values past the
// table's end: every copy of the tables keeps that room (kRovuRizaTubeTablesReadPastEnd).
[[gnu::always_inline]] inline float readPentode(const float* table, const TubePoint& p) noexcept
{
    const float* at = table + p.cell;
    Lanes4 upper, lower;
    load(upper, at);
    load(lower, at + kColumns);
    const Lanes4 rows = upper * p.upper + lower * p.lower;
    return rows[0] + rows[1];
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
    std::memcpy(vars.preAhead, c.positionsAhead, sizeof vars.preAhead);
    std::memcpy(vars.returnAhead, c.positionsAhead + 4, sizeof vars.returnAhead);
    std::memcpy(vars.powerAhead, c.positionsAhead + 8, sizeof vars.powerAhead);
    vars.aheadReady = c.positionsAheadReady != 0 ? 1.f : 0.f;
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
    std::memcpy(c.positionsAhead, vars.preAhead, sizeof vars.preAhead);
    std::memcpy(c.positionsAhead + 4, vars.returnAhead, sizeof vars.returnAhead);
    std::memcpy(c.positionsAhead + 8, vars.powerAhead, sizeof vars.powerAhead);
    c.positionsAheadReady = vars.aheadReady != 0.f ? 1 : 0;
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

void pack(const RovuRiza_CircuitVars& s, Carried& c) noexcept
{
    for (int k = 0; k < 6; ++k)
        c.pre[kPXp0 + k] = s.xp[k];
    c.pre[6] = s.xp[7];
    c.pre[kPSpare] = 0.f;
    for (int k = 0; k < 4; ++k)
        c.pre[kPI0 + k] = s.i[k];
    c.pre[kPR] = s.r;
    c.pre[kPU] = 0.f; // each step writes its own input here
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

// The next step's known part of its table positions, from the carried values as they stand:
// for a state no step has run from yet (a fresh or restarted one).
void positionsAheadOf(const Carried& c, RovuRiza_CircuitVars& s) noexcept
{
    for (int j = 0; j < 4; ++j)
    {
        double sum = 0.0;
        for (int k = 0; k < kPreSlots; ++k)
            if (k != kPR && k != kPU) sum += double(kPrePositionM[k][j]) * double(c.pre[k]);
        s.preAhead[j] = float(sum);
        s.returnAhead[j] = float(double(kPrePositionM[kPR][j]) * double(c.pre[kPR]));
    }
    for (int j = 0; j < 8; ++j)
    {
        double sum = 0.0;
        for (int k = 0; k < kPowerSlots; ++k)
            if (k != kWX10 && k != kWSIn && k != kWBias)
                sum += double(kPowerPositionM[k][j]) * double(c.power[k]);
        s.powerAhead[j] = float(sum);
    }
}

// `count` steps on the inputs; the carried values stay in the two vectors and in registers for
// the whole run. The step is bound by its chain of dependent operations: the preamplifier's
// positions, its two tube reads, the power amplifier's positions, its four tube reads, and back.
// So each step runs one product per amplifier whose columns of values known before the reads
// are summed first and whose new currents come last, and those products already give the next
// step's positions but for a few late terms; the return value reaches the next preamplifier
// positions through the power amplifier's product itself. What a run works out for the step
// after its last is carried with the state, so where runs start and end changes no result.
template <int kVectorBytes>
[[gnu::always_inline]] inline void runSteps(RovuRiza_CircuitVars& vars,
                                            const RovuRiza_ModelState& tables,
                                            const RovuRiza_StepControls& controls,
                                            const float* input, float* output, int count) noexcept
{
    const float* const T0 = RovuRiza_TubeTablesOf(tables);
    const float* const preTables[] = {T0 + RovuRiza_TubeTableStart(0),
                                      T0 + RovuRiza_TubeTableStart(2)};
    const float* const powerTables[] = {
        T0 + RovuRiza_TubeTableStart(4), T0 + RovuRiza_TubeTableStart(6),
        T0 + RovuRiza_TubeTableStart(8), T0 + RovuRiza_TubeTableStart(9)};
    RovuRiza_CircuitVars s = vars;
    Carried c;
    pack(s, c);
    float* const pre = c.pre;
    float* const power = c.power;
    if (s.aheadReady == 0.f) positionsAheadOf(c, s);
    L4 preAhead, returnAhead;
    L8 powerAhead;
    load(preAhead, s.preAhead);
    load(returnAhead, s.returnAhead);
    load(powerAhead, s.powerAhead);

    const float toneCoef = controls.toneCoef;
    const float toneIn = controls.toneCoefComplement;
    const float expressionGain = controls.expressionGain;
    // With no tremolo depth the bias is the resting one, sine or not.
    const bool tremoloOn = controls.tremoloDepth != 0.f;
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
    L4 positionOfInput;
    load(positionOfInput, &kPrePositionM[kPU][0]);

    float g = s.g, d = s.d, vpPrev = s.vpPrev, tone = s.tone, o = s.o, voutPrev = s.voutPrev;
    float phase = s.tremoloPhase;
    float rBefore = s.xp[6];
    L4 lastPrePos{};
    L8 lastPowerPos{};

    for (int n = 0; n < count; ++n)
    {
        const float u = finiteOrZero(input[n], kInputLimit);
        pre[kPU] = u;

        // Preamplifier positions: the parts the previous step worked out, with the input.
        const L4 prePos = returnAhead + (preAhead + positionOfInput * (u - L4{}));
        lastPrePos = prePos;

        // The preamplifier's product without the new currents, r last.
        L16 preStep;
        sumEarly<kPreStepM, kPR, kPI0, kPI0 + 1, kPI0 + 2, kPI0 + 3>(preStep, pre);
        addColumn<kPreStepM, kPR>(preStep, pre);

        // Preamplifier currents.
        const Positions<4> pp = positionsOf<kVectorBytes>(prePos, kPrePositions);
        const Lanes4 stage1 = readTriode(preTables[0], pointOf<PreTubes, 0, false>(pp));
        const Lanes4 stage2 = readTriode(preTables[1], pointOf<PreTubes, 1, false>(pp));
        const float i0 = stage1[0], i1 = stage1[1], i2 = stage2[0], i3 = stage2[1];

        // New preamplifier states and outputs, and the next positions: the new currents last.
        const float vpEarly = preStep[kLaneVp];
        const float couplingEarly = preStep[kLaneCoupling];
        addLate<kPreStepM, kPI0, kPI0 + 1, kPI0 + 2, kPI0 + 3>(preStep, {i0, i1, i2, i3});
        const float vp = preStep[kLaneVp];
        const float coupling = preStep[kLaneCoupling];
        preAhead =
            __builtin_shufflevector(preStep, preStep, kLanePositionsAhead, kLanePositionsAhead + 1,
                                    kLanePositionsAhead + 2, kLanePositionsAhead + 3);
        rBefore = pre[kPR];
        std::memcpy(pre + kPXp0, &preStep, 8 * sizeof(float)); // xp0..xp5, xp7 (+ the spare slot)
        pre[kPI0] = i0;
        pre[kPI0 + 1] = i1;
        pre[kPI0 + 2] = i2;
        pre[kPI0 + 3] = i3;

        // Interstage: DC blocker, tremolo bias, tone low-pass, expression drive.
        const float dBefore = d;
        const float vpBefore = vpPrev;
        const float toneBefore = tone;
        d = kDcPole * d + (vp - vpPrev);
        vpPrev = vp;
        float bias = kRovuRizaRestingBias;
        if (tremoloOn)
            bias = RovuRiza_TremoloBias(phase, controls.tremoloIncrement, controls.tremoloDepth);
        else
            RovuRiza_AdvanceTremolo(phase, controls.tremoloIncrement);
        tone = toneCoef * tone + toneIn * d;
        const float sIn = tone * expressionGain;

        // Power-amplifier positions: the part the previous step worked out, the coupling value
        // and s_in without the new preamplifier currents and the bias, then those currents
        // through their folded paths.
        const float sInEarly =
            expressionGain *
            (toneCoef * toneBefore + toneIn * (kDcPole * dBefore + (vpEarly - vpBefore)));
        L8 powerPos = powerAhead;
        {
            L8 terms[3];
            load(terms[0], &kPowerPositionM[kWX10][0]);
            load(terms[1], &kPowerPositionM[kWSIn][0]);
            load(terms[2], &kPowerPositionM[kWBias][0]);
            powerPos += (terms[0] * (couplingEarly - L8{}) + terms[1] * (sInEarly - L8{})) +
                        terms[2] * (bias - L8{});
            const L8 late[] = {powerPos, fromPreCurrent[0] * i0, fromPreCurrent[1] * i1,
                               fromPreCurrent[2] * i2, fromPreCurrent[3] * i3};
            treeSum<0, 5>(powerPos, late);
        }
        lastPowerPos = powerPos;
        power[kWX10] = coupling;
        power[kWSIn] = sIn;
        power[kWBias] = bias;

        // Trapezoidal companions of the reactive elements, driven by the previous step's g.
        power[kWOldX9] = power[kWX9];
        power[kWX7] = 768000000.f * g - power[kWX7];
        power[kWX8] = 768000000.f * g - power[kWX8];
        power[kWX9] = 49152000.f * g - power[kWX9];

        // The power amplifier's product without the new currents.
        L16 powerStep;
        sumEarly<kPowerStepM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerStep, power);
        sumEarly<kPowerAheadM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerAhead, power);

        // Power-amplifier currents.
        const Positions<8> qp = positionsOf<kVectorBytes>(powerPos, kPowerPositions);
        const Lanes4 splitter1 = readTriode(powerTables[0], pointOf<PowerTubes, 0, false>(qp));
        const Lanes4 splitter2 = readTriode(powerTables[1], pointOf<PowerTubes, 1, false>(qp));
        const float currents[6] = {splitter1[0],
                                   splitter1[1],
                                   splitter2[0],
                                   splitter2[1],
                                   readPentode(powerTables[2], pointOf<PowerTubes, 2, true>(qp)),
                                   readPentode(powerTables[3], pointOf<PowerTubes, 3, true>(qp))};

        // New network states x0..x6, the outputs and the next positions: the new currents last.
        addLate<kPowerStepM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerStep, currents);
        addLate<kPowerAheadM, kWI1, kWI2, kWI3, kWI4, kWI6, kWI8>(powerAhead, currents);
        {
            const L8 states =
                __builtin_shufflevector(powerStep, powerStep, kLaneStates, kLaneStates + 1,
                                        kLaneStates + 2, kLaneStates + 3, kLaneStates + 4,
                                        kLaneStates + 5, kLaneStates + 6, kLaneStates + 7);
            store(power, states); // x0..x6 (+ the spare slot)
        }
        returnAhead = __builtin_shufflevector(powerStep, powerStep, kLaneReturnPositions,
                                              kLaneReturnPositions + 1, kLaneReturnPositions + 2,
                                              kLaneReturnPositions + 3);
        const float vout = 0.01f * powerStep[kLaneVout];
        pre[kPR] = powerStep[kLaneReturn];
        g = powerStep[kLaneDrive];
        power[kWI1] = currents[0];
        power[kWI2] = currents[1];
        power[kWI3] = currents[2];
        power[kWI4] = currents[3];
        power[kWI6] = currents[4];
        power[kWI8] = currents[5];

        o = kDcPole * o + (vout - voutPrev);
        voutPrev = vout;
        output[n] = o;
        s.u = u;
        if (!(std::fabs(o) < kStateLimit)) [[unlikely]]
        {
            s.tremoloPhase = phase;
            restart(s);
            pack(s, c);
            positionsAheadOf(c, s);
            load(preAhead, s.preAhead);
            load(returnAhead, s.returnAhead);
            load(powerAhead, s.powerAhead);
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
        store(s.preAhead, preAhead);
        store(s.returnAhead, returnAhead);
        store(s.powerAhead, powerAhead);
        s.aheadReady = 1.f;
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
    runSteps<32>(v, tables, controls, input, output, count);
}

__attribute__((target(ROVURIZA_VECTOR512_TARGET))) void
RovuRiza_RunCircuitVector512(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables,
                             const RovuRiza_StepControls& controls, const float* input,
                             float* output, int count) noexcept
{
    runSteps<64>(v, tables, controls, input, output, count);
}

void RovuRiza_RunCircuitBaseline(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables,
                                 const RovuRiza_StepControls& controls, const float* input,
                                 float* output, int count) noexcept
{
    runSteps<0>(v, tables, controls, input, output, count);
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
