#include "Circuit/RovuRiza_Circuit.h"

#include "Engine/RovuRiza_VectorUnits.h"
#include "OutputStage/RovuRiza_OutputStage.h"

#include <cmath>
#include <array>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>

namespace
{
constexpr int kColumns = kRovuRizaTubeColumns;
constexpr int kLastRow = kRovuRizaTubeRows - 1;
constexpr int kLastColumn = 44099;
constexpr int kTableStride = kRovuRizaTubeRows * kRovuRizaTubeColumns;

constexpr float kPreSupply = 270.f;
constexpr float kPowerSupply = 375.f;
constexpr float kDcPole = 0.9989985f;

// Largest input the circuit accepts. Real signals stay far below; it only keeps an infinite or
// NaN sample from poisoning the carried states for good.
constexpr float kInputLimit = 1.0e4f;

// Every linear combination of the step is a small matrix times a vector, stored column by
// column ([input][output]) so that each input scales whole columns at once (vector lanes).

// Preamplifier inputs in the written order: states, the four tube currents, the return value,
// the input and 1.
enum Pre
{
    kXp0,
    kXp1,
    kXp2,
    kXp3,
    kXp4,
    kXp5,
    kXp7,
    kI0,
    kI1,
    kI2,
    kI3,
    kR,
    kU,
    kOne,
    kPreInputs = 16
};

// Preamplifier coordinates: stage-1 row and column, stage-2 row and column.
alignas(16) constexpr float kPreCoordinates[kPreInputs][4] = {
    /* xp0 */ {24965.887f, -62517.52f, 23468.658f, 24935.934f},
    /* xp1 */ {-0.10415943f, -0.10415943f, 0.f, 0.f},
    /* xp2 */ {1591.0587f, 93.82955f, -123.57559f, 1589.1498f},
    /* xp3 */ {6.941349f, 0.4093524f, 6.5250697f, -123.119095f},
    /* xp4 */ {6.9751034f, 0.41134298f, 6.5567994f, 7.0009356f},
    /* xp5 */ {8.52351f, 0.50265723f, 8.012347f, -312.48016f},
    /* xp7 */ {0.f, 0.f, -0.10415943f, -0.10415943f},
    /* i0  */ {0.f, 0.f, 0.f, 0.f},
    /* i1  */ {0.f, 0.f, -24939.41f, -26498.639f},
    /* i2  */ {-26498.639f, 0.f, 0.f, 0.f},
    /* i3  */ {-24939.41f, 0.f, 0.f, 0.f},
    /* r   */ {-24939.41f, -1470.7527f, -40062.984f, -24909.49f},
    /* u   */ {0.02300856f, 0.9423838f, 0.021628715f, 0.022980956f},
    /* 1   */ {249.3941f, 14.707526f, 250.62987f, 249.0949f},
    {},
    {}};
alignas(16) constexpr float kPreOffset[4] = {50.f, -4.f, 50.f, -4.f};
alignas(16) constexpr float kPreScale[4] = {0.006666667f, 0.041666668f, 0.006666667f, 0.041666668f};

// New preamplifier states xp0, xp1, xp2, xp3, xp4, xp5, xp7 (and a spare lane) from the previous
// states and the new currents.
alignas(32) constexpr float kPreStates[kPreInputs][8] = {
    /* xp0 */ {-0.8387506f, 0.f, 1.724808f, 0.10033147f, 0.05040968f, 0.0030800076f, 0.f, 0.f},
    /* xp1 */ {0.f, 0.9998611f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f},
    /* xp2 */
    {0.0027596927f, 0.f, 0.97525865f, 0.0063940547f, 0.003212574f, 0.00019628675f, 0.f, 0.f},
    /* xp3 */
    {1.2039776e-05f, 0.f, 0.00047955412f, 0.9995046f, -0.00024889357f, -1.5207281e-05f, 0.f, 0.f},
    /* xp4 */
    {1.2098323e-05f, 0.f, 0.0004818861f, -0.00049778714f, 0.9994882f, 8.647334e-07f, 0.f, 0.f},
    /* xp5 */
    {1.47840365e-05f, 0.f, 0.00058886025f, -0.00060829124f, 1.7294667e-05f, 0.35728788f, 0.f, 0.f},
    /* xp7 */ {0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.9998611f, 0.f},
    /* i0  */
    {0.1152323f, 1.9998611f, -0.108091645f, -0.006287653f, -0.0031591142f, -0.00019302039f, 0.f,
     0.f},
    /* i1  */
    {-0.04601712f, 1.9998611f, -1.8328996f, -0.10661912f, -0.053568795f, -0.003273028f, 0.f, 0.f},
    /* i2  */
    {-0.045961913f, 0.f, -1.8307005f, 1.8911093f, -0.053767186f, 0.119992375f, 1.9998611f, 0.f},
    /* i3  */
    {-0.04325743f, 0.f, 0.14235908f, -0.10022507f, -0.05035622f, -0.0030767412f, 1.9998611f, 0.f},
    /* r   */
    {-0.04325743f, 0.f, 0.14235908f, -0.10022507f, -0.05035622f, -0.0030767412f, 0.f, 0.f},
    /* u   */
    {-1.6945926e-06f, 0.f, 1.589583e-06f, 9.2465484e-08f, 4.645756e-08f, 2.838535e-09f, 0.f, 0.f},
    /* 1: the 270 V supply */
    {1.6021271e-06f * 270.f, 0.f, -5.2725586e-06f * 270.f, 3.7120396e-06f * 270.f,
     1.8650452e-06f * 270.f, 1.13953384e-07f * 270.f, 0.f, 0.f},
    {},
    {}};

// Preamplifier outputs from the new states and currents: stage-2 plate voltage and the coupling
// value to the power amplifier (two spare lanes).
alignas(16) constexpr float kPreOutputs[kPreInputs][4] = {
    /* xp0 */ {23468.658f, 0.8692095f, 0.f, 0.f},
    /* xp1 */ {0.f, 0.f, 0.f, 0.f},
    /* xp2 */ {-123.57559f, -0.004576874f, 0.f, 0.f},
    /* xp3 */ {6.5250697f, 0.00024166924f, 0.f, 0.f},
    /* xp4 */ {6.5567994f, 0.00024284443f, 0.f, 0.f},
    /* xp5 */ {8.012347f, 0.0002967536f, 0.f, 0.f},
    /* xp7 */ {0.f, 0.f, 0.f, 0.f},
    /* i0  */ {-1470.7527f, -0.05447232f, 0.f, 0.f},
    /* i1  */ {-24939.41f, -0.92368186f, 0.f, 0.f},
    /* i2  */ {-24909.49f, -0.9225737f, 0.f, 0.f},
    /* i3  */ {-40062.984f, -0.9282588f, 0.f, 0.f},
    /* r   */ {-41062.984f, -0.9282588f, 0.f, 0.f},
    /* u   */ {0.021628715f, 8.0106355e-07f, 0.f, 0.f},
    /* 1   */ {0.9282588f * 270.f, -2.6570833e-06f * 270.f, 0.f, 0.f},
    {},
    {}};

// Power-amplifier inputs in the written order: x0..x10, the tube currents I1..I8, the input
// s_in, the bias and 1.
enum Power
{
    kX7 = 7,
    kX8 = 8,
    kX9 = 9,
    kPowerCurrents = 11, // I1..I8
    kSIn = 19,
    kBias = 20,
    kPowerOne = 21,
    kPowerInputs = 24
};

// Power-amplifier coordinates, in the order triode 1 column and row, triode 2 column and row,
// pentode 1 column and row, pentode 2 column and row. The first eleven inputs are the
// transposed `D`.
alignas(32) constexpr float kPowerCoordinates[kPowerInputs][8] = {
    /* x0  */ {-234.86113f, 2.0082607f, 1.586228f, 2.0082607f, 0.f, -0.008143362f, 0.f,
               0.008143362f},
    /* x1  */
    {-0.1586228f, -0.1745264f, 25.866182f, -0.1745264f, 0.f, -5.499949e-06f, 0.f, 5.499949e-06f},
    /* x2  */ {0.f, 7.715576f, 0.f, 0.60897624f, -18.323921f, 0.f, 0.6089042f, 0.f},
    /* x3  */ {0.f, 0.60897624f, 0.f, 8.712083f, 0.6089042f, 0.f, -17.327534f, 0.f},
    /* x4  */
    {0.37275457f, 0.4101271f, -0.0025175493f, 0.4101271f, 0.f, -3594.257f, 0.f, 3594.257f},
    /* x5  */
    {-2.1823364e-05f, -2.4011382e-05f, 1.4739294e-07f, -2.4011382e-05f, 0.f, 0.2104301f, 0.f,
     -0.2104301f},
    /* x6  */
    {2.1823364e-05f, 2.4011382e-05f, -1.4739294e-07f, 2.4011382e-05f, 0.f, -0.2104301f, 0.f,
     0.2104301f},
    /* x7  */ {0.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f},
    /* x8  */ {0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, -1.f},
    /* x9  */
    {-5.872617e-07f, -6.461408e-07f, 3.96631e-09f, -6.461408e-07f, 0.f, -15.619337f, 0.f,
     15.619337f},
    /* x10 */ {0.f, -7483.709f, 0.f, -7062.7847f, -7482.823f, 0.f, -7061.9487f, 0.f},
    /* I1  */ {0.f, 0.f, -6921.1157f, -8541.721f, 0.f, 31.27051f, 0.f, -31.27051f},
    /* I2  */
    {0.f, 0.f, -7531.8135f, -14460.142f, -65181.188f, 34.405704f, -5144.6313f, -34.405704f},
    /* I3  */ {-6921.1157f, -7531.8135f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f},
    /* I4  */ {-8541.721f, -14460.142f, 0.f, 0.f, -5144.6313f, 34.405704f, -73599.67f, -34.405704f},
    /* I5  */ {0.f, -65181.188f, 0.f, -5144.6313f, 0.f, 0.f, -5144.0225f, 0.f},
    /* I6  */ {31.27051f, 34.405704f, 0.f, 34.405704f, 0.f, 0.f, 0.f, 301523.47f},
    /* I7  */ {0.f, -5144.6313f, 0.f, -73599.67f, -5144.0225f, 0.f, 0.f, 0.f},
    /* I8  */ {-31.27051f, -34.405704f, 0.f, -34.405704f, 0.f, 301523.47f, 0.f, 0.f},
    /* s_in */
    {0.90186673f, -0.007711721f, -0.0060911155f, -0.007711721f, 0.f, 3.127051e-05f, 0.f,
     -3.127051e-05f},
    /* bias */ {0.f, 0.3196628f, 0.f, 0.35792866f, 0.31974334f, 0.f, 0.35800466f, 0.f},
    /* 1   */ {0.f, 255.12645f, 0.f, 240.77673f, 255.09625f, 375.f, 240.74826f, 375.f},
    {},
    {}};
alignas(32) constexpr float kPowerOffset[8] = {-30.f, 200.f, -15.f, 200.f,
                                               -70.f, 100.f, -70.f, 100.f};
alignas(32) constexpr float kPowerScale[8] = {0.0125f, 0.005f,        0.018181818f, 0.005f,
                                              0.04f,   0.0033333334f, 0.04f,        0.0033333334f};

// New network states x0..x6 (and a spare lane). The first eleven inputs are the transposed `A`.
alignas(32) constexpr float kPowerStates[kPowerInputs][8] = {
    /* x0  */ {0.99953026f, -3.172456e-06f, 0.f, 0.f, -8.4263456e-07f, -8.423818e-07f,
               -1.2869492e-12f, 0.f},
    /* x1  */
    {-3.172456e-07f, 0.99994826f, 0.f, 0.f, -5.691074e-10f, -5.689367e-10f, -8.6919323e-16f, 0.f},
    /* x2  */ {0.f, 0.f, 0.9998334f, 5.5354926e-06f, 0.f, 0.f, 0.f, 0.f},
    /* x3  */ {0.f, 0.f, 5.5354926e-06f, 0.99984246f, 0.f, 0.f, 0.f, 0.f},
    /* x4  */
    {7.455091e-07f, 5.0350977e-09f, 0.f, 0.f, -0.99940574f, 0.00059406203f, 9.075785e-10f, 0.f},
    /* x5  */
    {-4.3646725e-11f, -2.9478584e-13f, 0.f, 0.f, -3.479051e-08f, 0.9994001f, 3.0545843e-06f, 0.f},
    /* x6  */ {4.3646725e-11f, 2.9478584e-13f, 0.f, 0.f, 3.479051e-08f, -1.9994f, 0.99999696f, 0.f},
    /* x7  */ {},
    /* x8  */ {},
    /* x9  */
    {-1.1745234e-12f, -7.932588e-15f, 0.f, 0.f, 5.859403e-07f, 5.8576455e-07f, 8.94902e-13f, 0.f},
    /* x10 */ {0.f, 0.f, -0.06802566f, -0.06419954f, 0.f, 0.f, 0.f, 0.f},
    /* I1  */
    {1.8037335f, 0.012182231f, 0.f, 0.f, 0.0032357166f, 0.0032347462f, 4.9418847e-09f, 0.f},
    /* I2  */
    {-0.015423442f, 0.013403627f, -0.59255624f, -0.046769377f, 0.003560131f, 0.0035590632f,
     5.43736e-09f, 0.f},
    /* I3  */
    {-0.012182231f, -1.9865228f, 0.f, 0.f, -2.1853726e-05f, -2.184717e-05f, -3.3377023e-11f, 0.f},
    /* I4  */
    {-0.015423442f, 0.013403627f, -0.046769377f, -0.66908795f, 0.003560131f, 0.0035590632f,
     5.43736e-09f, 0.f},
    /* I5  */ {0.f, 0.f, 1.4072772f, -0.046763841f, 0.f, 0.f, 0.f, 0.f},
    /* I6  */
    {6.2541018e-05f, 4.2239611e-07f, 0.f, 0.f, -31.20015f, -31.19079f, -4.765174e-05f, 0.f},
    /* I7  */ {0.f, 0.f, -0.046763841f, 1.3307545f, 0.f, 0.f, 0.f, 0.f},
    /* I8  */
    {-6.2541018e-05f, -4.2239611e-07f, 0.f, 0.f, 31.20015f, 31.19079f, 4.765174e-05f, 0.f},
    /* s_in */
    {1.8037335e-06f, 1.2182231e-08f, 0.f, 0.f, 3.2357168e-09f, 3.234746e-09f, 4.9418846e-15f, 0.f},
    /* bias */ {0.f, 0.f, -6.1841515e-06f, -5.836321e-06f, 0.f, 0.f, 0.f, 0.f},
    /* 1: the 375 V supply */
    {0.f, 0.f, 6.1841515e-06f * 375.f, 5.836321e-06f * 375.f, 0.f, 0.f, 0.f, 0.f},
    {},
    {}};

// Power-amplifier outputs from the new states and currents: output voltage (before its factor
// 0.01), return value to the preamplifier and the next companion drive (one spare lane).
alignas(16) constexpr float kPowerOutputs[kPowerInputs][4] = {
    /* x0  */ {-0.00052117516f, 0.00023486113f, 2.1206672e-11f, 0.f},
    /* x1  */ {-3.5199676e-07f, 1.586228e-07f, 1.4322785e-14f, 0.f},
    /* x2  */ {},
    /* x3  */ {},
    /* x4  */ {-230.03246f, -3.7275456e-07f, 9.360045e-06f, 0.f},
    /* x5  */ {0.013467526f, 2.1823363e-11f, -5.4799504e-10f, 0.f},
    /* x6  */ {-0.013467526f, -2.1823363e-11f, 5.4799504e-10f, 0.f},
    /* x7  */ {},
    /* x8  */ {},
    /* x9  */ {0.00036240803f, 5.872617e-13f, 4.0675356e-08f, 0.f},
    /* x10 */ {},
    /* I1  */ {2.0013125f, -0.90186673f, -8.143362e-08f, 0.f},
    /* I2  */ {2.201965f, 0.007711721f, -8.959819e-08f, 0.f},
    /* I3  */ {-0.013516677f, 0.0060911155f, 5.49995e-10f, 0.f},
    /* I4  */ {2.201965f, 0.007711721f, -8.959819e-08f, 0.f},
    /* I5  */ {},
    /* I6  */ {-19297.502f, -3.127051e-05f, 0.0007852174f, 0.f},
    /* I7  */ {},
    /* I8  */ {19297.502f, 3.127051e-05f, -0.0007852174f, 0.f},
    /* s_in */ {2.0013126e-06f, -9.0186677e-07f, -8.143362e-14f, 0.f},
    /* bias */ {},
    /* 1   */ {},
    {},
    {}};

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

// Float lanes; GCC and clang map them onto the target's vector registers (two 4-lane registers
// for an 8-lane group where the target has no wider ones). Vectors pass by reference: the
// baseline build has no 8-lane registers to pass them in.
template <int kWidth> struct LanesOf
{
    typedef float type __attribute__((vector_size(kWidth * sizeof(float))));
};

template <int kWidth> using Lanes = typename LanesOf<kWidth>::type;
using L4 = Lanes<4>;
using L8 = Lanes<8>;

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

template <class L> [[gnu::always_inline]] inline void load(L& v, const float* p) noexcept
{
    std::memcpy(&v, p, sizeof v);
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
    const float* const T0 = &tables.tubeTables[0][0][0];
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
        const float i0 = readTable(T0 + 0 * kTableStride, p1);
        const float i1 = readTable(T0 + 1 * kTableStride, p1);
        const float i2 = readTable(T0 + 2 * kTableStride, p2);
        const float i3 = readTable(T0 + 3 * kTableStride, p2);
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
        power[kWI1] = readTable(T0 + 4 * kTableStride, q1);
        power[kWI2] = readTable(T0 + 5 * kTableStride, q1);
        power[kWI3] = readTable(T0 + 6 * kTableStride, q2);
        power[kWI4] = readTable(T0 + 7 * kTableStride, q2);
        power[kWI6] = readTable(T0 + 8 * kTableStride, q3);
        power[kWI8] = readTable(T0 + 9 * kTableStride, q4);

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
    if (RovuRiza_HasVector512Units()) return RovuRiza_RunCircuitVector512;
    return RovuRiza_HasVectorUnits() ? RovuRiza_RunCircuitVector : RovuRiza_RunCircuitBaseline;
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
