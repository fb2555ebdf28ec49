// Layout of the two private blocks of the render context. The host allocates them with the
// declared sizes; the set-up (host non-real-time thread) fills them, the render callback
// (audio thread) owns their contents in between.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Engine/RovuRiza_Alg_Context.h"

inline constexpr int kRovuRizaSectionCount = 100;
inline constexpr int kRovuRizaTubeTableCount = 10;
inline constexpr int kRovuRizaTubeRows = 10;
inline constexpr int kRovuRizaTubeColumns = 44101; // 44100 read, plus a spare repeat
inline constexpr size_t kRovuRizaTubeTableFloats =
    size_t(kRovuRizaTubeRows) * size_t(kRovuRizaTubeColumns);

struct RovuRiza_SectionPoles
{
    float leading[4]; // not written and never read
    float poleA1[kRovuRizaSectionCount];
    float poleA2[kRovuRizaSectionCount];
};
static_assert(sizeof(RovuRiza_SectionPoles) <= RovuRiza_Field::kSectionPolesSize);

// Derived once per set-up from the pickup circuit; the render reads pickupA..pickupD.
struct RovuRiza_PickupModel
{
    double seriesConductance;
    double inductorConductance;
    double capacitorConductance;
    double systemMatrix[4][4];
    double systemInverse[4][4];
    double elementIncidence[4][3];
    double inputIncidence[4];
    double auxInputIncidence[4];
    double elementResponse[4][3];
    double inputResponse[4];
    double auxInputResponse[4];
    float elementResponseF[4][3];
    float inputResponseF[4];
    float auxInputResponseF[4];
    double elementVoltage[3][3];
    double elementInput[2][3];
    double companionGain[3][3];
    double companionSign[3][3];
    float pickupA[3][3];
    float pickupB[2][3]; // column after column: [0] input, [1] second input
    float pickupC[3];    // row 2 of elementResponseF
    float pickupD;       // entry 2 of inputResponseF
};

// Carried values of the circuit solver (preamplifier and power amplifier).
struct RovuRiza_CircuitState
{
    float conditionedInput;
    float preState[8];        // xp0..xp7; xp6 holds the power amplifier's return value
    float preCurrents[4];     // i0..i3
    float preInputs[2];       // u, supply
    float powerState[11];     // x0..x10 (x7..x9 companions, x10 the coupling value)
    float powerCompanion[3];  // companion drive g, return value r, spare
    float powerCurrents[8];   // I1..I8
    float powerInputs[3];     // s_in, supply, bias
    float powerCarried[4];    // spare carried values
    float positionsAhead[16]; // the next step's known part of its table positions
    int32_t positionsAheadReady;
};

struct RovuRiza_ModelState
{
    float stepAccumulator;
    float hostPeriod;
    float internalStep;
    float converterRecursive[9]; // entries 1..8 are the added feedback coefficients
    float converterForward[9];
    float upHistory[18];   // x[n]..x[n-8], then y[n]..y[n-8]
    float downHistory[18]; // same shape, fed by the circuit output
    float dcBlockerPole;
    float dcBlockerState[4]; // power-amp blocker: prev in, prev out; preamp blocker: prev in, prev
                             // out
    float pickupState[3];
    RovuRiza_CircuitState circuitState;
    // Room for the tube tables, kept so the record keeps its declared size; the set-up leaves it
    // unfilled (so untouched) and points sharedTubeTables at the process-wide copy instead.
    float tubeTables[kRovuRizaTubeTableCount][kRovuRizaTubeRows][kRovuRizaTubeColumns];
    float toneTremoloState[4]; // tremolo phase, tone state, two spare
    float saturationPreHistory[2];
    float saturationPostHistory[4]; // q[n-1], q[n-2], two spare
    float envelopeCoef;
    float envelope;
    float bankHistory1[200];
    float bankHistory2[200];
    float hostRate;
    alignas(8) RovuRiza_PickupModel pickupModel;
    float expression;
    uint64_t ditherState; // the instance's own random generator (no lock on the audio thread)
    float converterInputHistory[2]; // conditioned input x[n-2], x[n-3] for the converter
    const float* sharedTubeTables;  // the process-wide read-only tables; null: tubeTables
    // The converter recursions' open groups of eight steps: the outputs before the group (newest
    // first), then the input terms of its steps done so far; and how many are done.
    double upGroup[16];
    double downGroup[16];
    int32_t upGroupDone;
    int32_t downGroupDone;
};
static_assert(sizeof(RovuRiza_ModelState) <= RovuRiza_Field::kModelStateSize);

// Values a table read may take past the last table's end (they go unused): the shared copy keeps
// that room after it, and a record's own room is followed by more of the record.
inline constexpr int kRovuRizaTubeTablesReadPastEnd = 2;

// The tube tables a record's render reads (audio thread): the shared copy its set-up pointed it
// at. A record no set-up has pointed anywhere reads its own unfilled room instead: memory-safe,
// though meaningless.
inline const float* RovuRiza_TubeTablesOf(const RovuRiza_ModelState& state) noexcept
{
    return state.sharedTubeTables != nullptr ? state.sharedTubeTables : &state.tubeTables[0][0][0];
}

// The shared copy's layout. The two tables of each triode (0-1, 2-3, 4-5, 6-7: both currents,
// read at the same point) are interleaved value by value, [row][column][first, second], so one
// read of both takes two 16-byte loads per row; the pentodes' tables (8, 9) follow as they are.
// Where table t starts, and the distance between its neighbouring values:
inline constexpr size_t RovuRiza_TubeTableStart(int t) noexcept
{
    return t < 8 ? size_t(t / 2) * 2 * kRovuRizaTubeTableFloats + size_t(t % 2)
                 : size_t(t) * kRovuRizaTubeTableFloats;
}
inline constexpr int RovuRiza_TubeTableStride(int t) noexcept
{
    return t < 8 ? 2 : 1;
}

// Set-up entry points called by the data model's ResetFieldData. Each initialises every whole
// record that fits in the buffer and leaves a shorter remainder untouched.
void RovuRiza_SetUpSectionPoles(void* block, uint32_t size, float fs) noexcept;
void RovuRiza_SetUpModelState(void* block, uint32_t size, float fs, const float recursive[9],
                              const float forward[9]) noexcept;
