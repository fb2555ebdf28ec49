// The circuit step's written constants: table geometry, supplies, and every linear combination
// of the step as the circuit's equations give it. Private to the circuit's kernel.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

namespace
{
constexpr int kColumns = kRovuRizaTubeColumns;
constexpr int kLastRow = kRovuRizaTubeRows - 1;
constexpr int kLastColumn = 44099;

constexpr float kPreSupply = 270.f;
constexpr float kPowerSupply = 375.f;
constexpr float kDcPole = 0.9989985f;

// Largest input the circuit accepts. Real signals stay far below; it only keeps an infinite or
// NaN sample from poisoning the carried states for good.
constexpr float kInputLimit = 1.0e4f;

// Every linear combination of the step is a small matrix times a vector, stored column by
// column ([input][output]) so that each input scales whole columns at once (vector lanes).

// Slot names of the step, as the circuit's equations name them:
//   xp0..xp7  preamplifier states (xp6 carries the return value r between steps)
//   i0..i3    preamplifier tube currents: i0, i1 from stage 1's tables, i2, i3 from stage 2's
//   r         the power amplifier's return value into the preamplifier
//   u         the conditioned (upsampled) input
//   x0..x10   power-amplifier states: x7..x9 the trapezoidal companions of the reactive
//             elements, x10 the coupling value from the preamplifier
//   I1..I8    power-amplifier tube currents: I1, I2 and I3, I4 the phase-splitter triodes', I6
//             and I8 the pentodes' plate currents, I5 and I7 their grid currents (held at zero)
//   s_in      the power amplifier's input (tone output times the expression gain)
//   bias      the pentodes' grid bias from the tremolo
//   g         the companion drive of the next step
//
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

// New preamplifier states xp0, xp1, xp2, xp3, xp4, xp5, xp7 (and a spare lane) from the
// previous states and the new currents.
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
    /* I4  */
    {-8541.721f, -14460.142f, 0.f, 0.f, -5144.6313f, 34.405704f, -73599.67f, -34.405704f},
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
    /* x6  */
    {4.3646725e-11f, 2.9478584e-13f, 0.f, 0.f, 3.479051e-08f, -1.9994f, 0.99999696f, 0.f},
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
} // namespace
