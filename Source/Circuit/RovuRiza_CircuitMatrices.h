// The matrices the kernel runs on, derived by the compiler from the written constants (formed in
// double, rounded once to float): columns moved to the kernel's vector slots, state updates
// fused into the outputs, and the table position maps folded into the coordinate matrices.
// Private to the circuit's kernel.
#pragma once

#include <array>
#include <tuple>
#include <type_traits>

#include "Circuit/RovuRiza_CircuitConstants.h"

namespace
{
// Derived matrices, computed once by the compiler (in double, rounded once to float).
template <int kIn, int kOut> using Matrix = std::array<std::array<float, kOut>, kIn>;

template <int kIn, int kOut> constexpr Matrix<kIn, kOut> copyOf(const float (&m)[kIn][kOut])
{
    Matrix<kIn, kOut> r{};
    for (int k = 0; k < kIn; ++k)
        for (int j = 0; j < kOut; ++j)
            r[k][j] = m[k][j];
    return r;
}

// The step keeps its carried values in two vectors laid out for the vector unit: every linear
// combination reads its inputs from them as broadcasts, and each new group of states is written
// back with one vector store.
//
// Preamplifier vector: xp0..xp5, xp7, a lane the state store overwrites, i0..i3, r, u, 1.
enum PreSlot
{
    kPXp0 = 0,
    kPSpare = 7,
    kPI0 = 8,
    kPR = 12,
    kPU = 13,
    kPOne = 14,
    kPreSlots = 16
};
// Power-amplifier vector: x0..x6, a lane the state store overwrites, x7..x10, I1..I8, s_in,
// bias, 1 and the previous x9 (the state update reads it after the companion has moved on).
enum PowerSlot
{
    kWX7 = 8,
    kWX8 = 9,
    kWX9 = 10,
    kWX10 = 11,
    kWI1 = 12,
    kWSIn = 20,
    kWBias = 21,
    kWOne = 22,
    kWOldX9 = 23,
    kPowerSlots = 24
};
constexpr int kWI2 = kWI1 + 1, kWI3 = kWI1 + 2, kWI4 = kWI1 + 3, kWI6 = kWI1 + 5, kWI8 = kWI1 + 7;

constexpr int preSlotOf(int k)
{
    return k <= kXp7 ? k : k + 1; // xp7 stays in slot 6; the currents on move up by one
}

// Power inputs in the written order (x0..x10, I1..I8, s_in, bias, 1) to their slots.
constexpr int powerSlotOf(int k)
{
    return k < kX7 ? k : k + 1;
}

template <class M> constexpr auto inPreSlots(const M& m)
{
    constexpr int kOut = int(std::tuple_size_v<typename M::value_type>);
    Matrix<kPreSlots, kOut> r{};
    for (int k = 0; k <= kOne; ++k)
        for (int j = 0; j < kOut; ++j)
            r[preSlotOf(k)][j] = m[k][j];
    return r;
}

// `oldX9` moves the x9 column to the previous-x9 slot, for the combinations evaluated after the
// companion update; the pentode grid currents I5 and I7 are held at zero and dropped.
template <class M> constexpr auto inPowerSlots(const M& m, bool oldX9)
{
    constexpr int kOut = int(std::tuple_size_v<typename M::value_type>);
    Matrix<kPowerSlots, kOut> r{};
    for (int k = 0; k <= kPowerOne; ++k)
    {
        if (k == kPowerCurrents + 4 || k == kPowerCurrents + 6) continue;
        const int slot = oldX9 && k == kX9 ? kWOldX9 : powerSlotOf(k);
        for (int j = 0; j < kOut; ++j)
            r[slot][j] = m[k][j];
    }
    return r;
}

// Preamplifier outputs straight from the previous states and the new currents: the state update
// folded into the output combination, so the outputs need not wait for the new states. Lanes:
// plate voltage of stage 2, coupling value (the rest unused).
constexpr Matrix<kPreSlots, 8> fusedPreOutputs()
{
    Matrix<kPreSlots, 8> r{};
    for (int k = 0; k <= kOne; ++k)
        for (int j = 0; j < 2; ++j)
        {
            double sum = k <= kXp7 ? 0.0 : double(kPreOutputs[k][j]);
            for (int s = kXp0; s <= kXp7; ++s) // new state s sits in lane s of kPreStates
                sum += double(kPreStates[k][s]) * double(kPreOutputs[s][j]);
            r[preSlotOf(k)][j] = float(sum);
        }
    return r;
}

// Power-amplifier outputs from the previous x0..x6, the new companions x7..x9, the coupling
// value, the new currents, s_in and the previous x9. Lanes: output voltage (before its factor
// 0.01), return value to the preamplifier, next companion drive (the rest unused).
constexpr Matrix<kPowerSlots, 8> fusedPowerOutputs()
{
    Matrix<kPowerSlots, 8> r{};
    for (int k = 0; k <= kPowerOne + 1; ++k)
    {
        if (k == kPowerCurrents + 4 || k == kPowerCurrents + 6) continue;
        const bool previousX9 = k == kPowerOne + 1;
        const int slot = previousX9 ? kWOldX9 : powerSlotOf(k);
        const bool newState = k < kX7;               // replaced by its update
        const bool companion = k >= kX7 && k <= kX9; // read new, as it is
        const int source = previousX9 ? kX9 : k;     // input feeding the state update
        for (int j = 0; j < 3; ++j)
        {
            double sum = newState || previousX9 ? 0.0 : double(kPowerOutputs[k][j]);
            if (!companion)
                for (int s = 0; s < kX7; ++s)
                    sum += double(kPowerStates[source][s]) * double(kPowerOutputs[s][j]);
            r[slot][j] = float(sum);
        }
    }
    return r;
}

alignas(32) constexpr auto kPreStatesM = inPreSlots(copyOf(kPreStates));
alignas(32) constexpr auto kPreOutputsM = fusedPreOutputs();
alignas(32) constexpr auto kPowerStatesM = inPowerSlots(copyOf(kPowerStates), true);
alignas(32) constexpr auto kPowerOutputsM = fusedPowerOutputs();

// Table positions, all lanes at once: position = coordinate * scale + offset over the readable
// range [0, limit]. The scale and offset are folded into the coordinate matrices, so a step
// computes positions directly; raw coordinates are recovered only for inspection.
template <int kWidth> struct PositionMap
{
    float scale[kWidth];
    float offset[kWidth];
    float limit[kWidth];
    // Largest whole part read: one row short of the last, so that the next row always exists
    // (the last row is then read with fraction 1, which gives the same value bit for bit: the
    // other row's weights are exact zeros).
    int lastWhole[kWidth];
};

// Lanes alternate between rows and columns, starting with `firstIsRow`.
template <int kWidth>
constexpr PositionMap<kWidth> positionMap(const float (&offset)[kWidth],
                                          const float (&scale)[kWidth], bool firstIsRow)
{
    PositionMap<kWidth> m{};
    for (int k = 0; k < kWidth; ++k)
    {
        const bool row = (k % 2 == 0) == firstIsRow;
        const double last = row ? kLastRow : kLastColumn;
        m.scale[k] = float(double(scale[k]) * last);
        m.offset[k] = float(-double(offset[k]) * double(scale[k]) * last);
        m.limit[k] = float(last);
        m.lastWhole[k] = row ? kLastRow - 1 : kLastColumn;
    }
    return m;
}

constexpr PositionMap<4> kPrePositions = positionMap(kPreOffset, kPreScale, true);
constexpr PositionMap<8> kPowerPositions = positionMap(kPowerOffset, kPowerScale, false);

// A coordinate matrix with its position map folded in: every column scaled, the offset added to
// the constant input's column. Formed in double from the written values, rounded once.
template <int kIn, int kOut>
constexpr Matrix<kIn, kOut> positionMatrix(const float (&m)[kIn][kOut],
                                           const PositionMap<kOut>& map, int one)
{
    Matrix<kIn, kOut> r{};
    for (int k = 0; k < kIn; ++k)
        for (int j = 0; j < kOut; ++j)
            r[k][j] = float(double(m[k][j]) * double(map.scale[j]) +
                            (k == one ? double(map.offset[j]) : 0.0));
    return r;
}

alignas(32) constexpr auto kPrePositionM = inPreSlots(positionMatrix(kPreCoordinates, kPrePositions,
                                                                     kOne));
alignas(32) constexpr auto kPowerPositionM =
    inPowerSlots(positionMatrix(kPowerCoordinates, kPowerPositions, kPowerOne), false);

// The step is latency-bound along two paths: from the power-amplifier currents through the
// return value r to the preamplifier positions, and from the preamplifier currents through the
// coupling value and the tone path to the power-amplifier positions. The second is shortened:
// each preamplifier current reaches the power-amplifier positions in a single multiply-add,
// through the coupling value directly and through the plate voltage into s_in (scaled at run
// time by the tone and expression factor).
template <int kThroughSlot> constexpr Matrix<kPreSlots, 8> powerPositionFromPreCurrents(int lane)
{
    Matrix<kPreSlots, 8> r{};
    for (int k = kPI0; k < kPI0 + 4; ++k)
        for (int j = 0; j < 8; ++j)
            r[k][j] =
                float(double(kPowerPositionM[kThroughSlot][j]) * double(kPreOutputsM[k][lane]));
    return r;
}
alignas(32) constexpr auto kPowerPositionThroughCoupling = powerPositionFromPreCurrents<kWX10>(1);
alignas(32) constexpr auto kPowerPositionThroughPlate = powerPositionFromPreCurrents<kWSIn>(0);

// Each step also works out the part of the next step's table positions that is already known:
// everything but the values the next step produces itself before its reads (the return value
// and the input for the preamplifier; the coupling value, s_in and the bias for the power
// amplifier). The next step's states are composed into it (in double, rounded once), so those
// positions need no product of their own after the new states: the new currents reach them
// through a few columns, added last.
//
// Lane j of the next step's positions for this step's input slot k: its share through the seven
// new states (new state s sits in slot and lane s) and, where `direct`, its own column.
template <class Positions, class States>
constexpr float positionAhead(const Positions& positions, const States& states, int k, int j,
                              bool direct)
{
    double sum = direct ? double(positions[k][j]) : 0.0;
    for (int s = 0; s < 7; ++s)
        sum += double(positions[s][j]) * double(states[k][s]);
    return float(sum);
}

// The preamplifier's product, 16 lanes: the new states xp0..xp5, xp7 (lanes 0..6), the stage-2
// plate voltage, the next step's positions less r and u, and the coupling value.
constexpr int kLaneVp = 7;
constexpr int kLanePositionsAhead = 8; // four lanes
constexpr int kLaneCoupling = 12;
constexpr int kPreStepLanes = 16;

constexpr Matrix<kPreSlots, kPreStepLanes> preStep()
{
    Matrix<kPreSlots, kPreStepLanes> m{};
    for (int k = 0; k < kPreSlots; ++k)
    {
        for (int j = 0; j < 7; ++j)
            m[k][j] = kPreStatesM[k][j];
        m[k][kLaneVp] = kPreOutputsM[k][0];
        m[k][kLaneCoupling] = kPreOutputsM[k][1];
        // This step's currents and the supply are the next step's as they are.
        const bool direct = (k >= kPI0 && k < kPI0 + 4) || k == kPOne;
        for (int j = 0; j < 4; ++j)
            m[k][kLanePositionsAhead + j] = positionAhead(kPrePositionM, kPreStatesM, k, j, direct);
    }
    return m;
}

// The power amplifier's products: 16 lanes of the return value's share of the next preamplifier
// positions (first, where the step's chain reads them as they are), the new network states
// x0..x6, the output voltage before its factor 0.01, the return value and the next companion
// drive; and 8 lanes of the next step's power-amplifier positions less the coupling value, s_in
// and the bias.
constexpr int kLaneReturnPositions = 0; // four lanes
constexpr int kLaneStates = 4;          // seven lanes and a spare
constexpr int kLaneVout = 12;
constexpr int kLaneReturn = 13;
constexpr int kLaneDrive = 14;
constexpr int kPowerStepLanes = 16;

constexpr Matrix<kPowerSlots, kPowerStepLanes> powerStep()
{
    Matrix<kPowerSlots, kPowerStepLanes> m{};
    for (int k = 0; k < kPowerSlots; ++k)
    {
        for (int j = 0; j < 7; ++j)
            m[k][kLaneStates + j] = kPowerStatesM[k][j];
        for (int j = 0; j < 3; ++j)
            m[k][kLaneVout + j] = kPowerOutputsM[k][j];
        // The return value's share of the next preamplifier positions, straight from this
        // step's values: the one path the step chain runs through skips the return value.
        for (int j = 0; j < 4; ++j)
            m[k][kLaneReturnPositions + j] =
                float(double(kPrePositionM[kPR][j]) * double(kPowerOutputsM[k][1]));
    }
    return m;
}

constexpr Matrix<kPowerSlots, 8> powerPositionsAhead()
{
    Matrix<kPowerSlots, 8> m{};
    for (int k = 0; k < kPowerSlots; ++k)
    {
        // The companions this step moves, its currents and the supply are the next step's as
        // they are.
        const bool direct = (k >= kWX7 && k <= kWX9) || (k >= kWI1 && k < kWI1 + 8) || k == kWOne;
        for (int j = 0; j < 8; ++j)
            m[k][j] = positionAhead(kPowerPositionM, kPowerStatesM, k, j, direct);
    }
    return m;
}

alignas(64) constexpr auto kPreStepM = preStep();
alignas(64) constexpr auto kPowerStepM = powerStep();
alignas(32) constexpr auto kPowerAheadM = powerPositionsAhead();
} // namespace
