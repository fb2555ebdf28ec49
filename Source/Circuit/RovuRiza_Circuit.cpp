#include "Circuit/RovuRiza_Circuit.h"

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

// Preamplifier vector: states, the four tube currents, the return value, the input and 1.
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

// Power-amplifier vector: x0..x10, the tube currents I1..I8, the input s_in, the bias and 1.
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

// The pentode grid currents I5 and I7 are held at zero, so their columns never contribute.
template <int kOut>
constexpr Matrix<kPowerInputs, kOut> withoutPentodeGrids(const float (&m)[kPowerInputs][kOut])
{
    Matrix<kPowerInputs, kOut> r = copyOf(m);
    for (int j = 0; j < kOut; ++j)
        r[kPowerCurrents + 4][j] = r[kPowerCurrents + 6][j] = 0.f;
    return r;
}

// Preamplifier outputs straight from the previous states and the new currents: the state update
// folded into the output combination, so the outputs need not wait for the new states.
constexpr Matrix<kPreInputs, 4> fusedPreOutputs()
{
    Matrix<kPreInputs, 4> r{};
    for (int k = 0; k < kPreInputs; ++k)
        for (int j = 0; j < 4; ++j)
        {
            double sum = k <= kXp7 ? 0.0 : double(kPreOutputs[k][j]);
            for (int s = kXp0; s <= kXp7; ++s) // new state s sits in lane s of kPreStates
                sum += double(kPreStates[k][s]) * double(kPreOutputs[s][j]);
            r[k][j] = float(sum);
        }
    return r;
}

// Power-amplifier outputs from the previous x0..x6, the new companions x7..x9, the coupling
// value, the new currents, s_in, bias, 1 and, in the spare input kOldX9, the previous x9 (which
// the state update reads before the companion overwrites it).
constexpr int kOldX9 = kPowerOne + 1;
constexpr Matrix<kPowerInputs, 4> fusedPowerOutputs()
{
    Matrix<kPowerInputs, 4> r{};
    for (int k = 0; k < kPowerInputs; ++k)
        for (int j = 0; j < 4; ++j)
        {
            const bool newState = k < kX7;               // replaced by its update
            const bool companion = k >= kX7 && k <= kX9; // read new, as it is
            const int source = k == kOldX9 ? kX9 : k;    // input feeding the state update
            double sum = newState || k == kOldX9 ? 0.0 : double(kPowerOutputs[k][j]);
            if (!companion)
                for (int s = 0; s < kX7; ++s)
                    sum += double(kPowerStates[source][s]) * double(kPowerOutputs[s][j]);
            if (k == kPowerCurrents + 4 || k == kPowerCurrents + 6) sum = 0.0;
            r[k][j] = float(sum);
        }
    return r;
}

alignas(32) constexpr auto kPreStatesM = copyOf(kPreStates);
alignas(32) constexpr auto kPreCoordinatesM = copyOf(kPreCoordinates);
alignas(32) constexpr auto kPreOutputsFused = fusedPreOutputs();
alignas(32) constexpr auto kPowerCoordinatesM = withoutPentodeGrids(kPowerCoordinates);
alignas(32) constexpr auto kPowerStatesM = withoutPentodeGrids(kPowerStates);
alignas(32) constexpr auto kPowerOutputsFused = fusedPowerOutputs();

// Float lanes; GCC and clang map them onto the target's vector registers (two 4-lane registers
// for an 8-lane group where the target has no wider ones).
template <int kWidth> struct LanesOf
{
    typedef float type __attribute__((vector_size(kWidth * sizeof(float))));
};

template <int kWidth> using Lanes = typename LanesOf<kWidth>::type;

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
        std::memcpy(&column, &M[kColumn][0], sizeof column);
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

// out = M * v for a column-stored matrix: each input scales a whole column at once. The step is
// latency-bound, so the inputs that are ready early are summed in four independent chains and
// the late inputs (named in the order they become ready) are added last, one fused
// multiply-add each, so that only they lie on the path from one step to the next.
template <const auto& M, int... kLate>
[[gnu::always_inline]] inline void multiply(const float* v, float* out) noexcept
{
    using Matrix = std::remove_cvref_t<decltype(M)>;
    using L = Lanes<kOutputsOf<Matrix>>;
    constexpr auto early = earlyColumns<M, kLate...>();
    L sum;
    sumEarlyOf<M, L, kLate...>(sum, v, std::make_index_sequence<size_t(early.count)>{});
    (addColumn<M, kLate>(sum, v), ...);
    std::memcpy(out, &sum, sizeof sum);
}

// Table positions from raw coordinates, all lanes at once: position = coordinate * scale +
// offset, held to [0, limit]. Written so that a NaN fails the first comparison and lands on the
// upper edge: it must never reach the integer conversion.
template <int kWidth> struct PositionMap
{
    float scale[kWidth];
    float offset[kWidth];
    float limit[kWidth];
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
    }
    return m;
}

template <int kWidth> struct Positions
{
    alignas(32) int whole[kWidth];
    alignas(32) float fraction[kWidth];
};

template <int kWidth>
[[gnu::always_inline]] inline void positionsOf(const float* coordinates,
                                               const PositionMap<kWidth>& map,
                                               Positions<kWidth>& out) noexcept
{
    using L = Lanes<kWidth>;
    typedef int Ints __attribute__((vector_size(kWidth * sizeof(int))));
    L c, scale, offset, limit;
    std::memcpy(&c, coordinates, sizeof c);
    std::memcpy(&scale, map.scale, sizeof c);
    std::memcpy(&offset, map.offset, sizeof c);
    std::memcpy(&limit, map.limit, sizeof c);
    L pos = c * scale + offset;
    pos = pos < limit ? pos : limit;
    pos = pos > L{} ? pos : L{};
    const Ints whole = __builtin_convertvector(pos, Ints);
    const L fraction = pos - __builtin_convertvector(whole, L);
    std::memcpy(out.whole, &whole, sizeof whole);
    std::memcpy(out.fraction, &fraction, sizeof fraction);
}

constexpr PositionMap<4> kPrePositions = positionMap(kPreOffset, kPreScale, true);
constexpr PositionMap<8> kPowerPositions = positionMap(kPowerOffset, kPowerScale, false);

// Bilinear read position shared by the tables of one tube. The column after the last one read
// repeats it, so the next column is always in the row.
struct TablePoint
{
    int base;     // offset of [r0][c0]
    int rowStep;  // offset from r0 to r1
    float fr, fc; // fractional parts
};

inline TablePoint locate(int row, float rowFraction, int column, float columnFraction) noexcept
{
    return {row * kColumns + column, row < kLastRow ? kColumns : 0, rowFraction, columnFraction};
}

inline float readTable(const float* table, const TablePoint& p) noexcept
{
    const float* t0 = table + p.base;
    const float* t1 = t0 + p.rowStep;
    const float a = t0[0] + (t0[1] - t0[0]) * p.fc;
    const float b = t1[0] + (t1[1] - t1[0]) * p.fc;
    return a + (b - a) * p.fr;
}

// Every state reaches the output within a few steps, so a non-finite output is the one check
// needed; the output never comes near this in normal work.
constexpr float kStateLimit = 1.0e20f;

// Back to the state of a fresh set-up; the tremolo keeps its phase.
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
[[gnu::always_inline]] inline float circuitStep(RovuRiza_CircuitVars& v,
                                                const RovuRiza_ModelState& tables, float u,
                                                const RovuRiza_StepControls& controls) noexcept
{
    const float* const T0 = &tables.tubeTables[0][0][0];
    u = finiteOrZero(u, kInputLimit);
    v.u = u;

    // Preamplifier: coordinates from the previous states and currents.
    alignas(32) float pre[kPreInputs] = {v.xp[0], v.xp[1], v.xp[2], v.xp[3], v.xp[4], v.xp[5],
                                         v.xp[7], v.i[0],  v.i[1],  v.i[2],  v.i[3],  v.r,
                                         u,       1.f,     0.f,     0.f};
    alignas(16) float preCoord[4];
    multiply<kPreCoordinatesM, kR>(pre, preCoord);
    Positions<4> pp;
    positionsOf(preCoord, kPrePositions, pp);
    const TablePoint p1 = locate(pp.whole[0], pp.fraction[0], pp.whole[1], pp.fraction[1]);
    const TablePoint p2 = locate(pp.whole[2], pp.fraction[2], pp.whole[3], pp.fraction[3]);
    pre[kI0] = v.i[0] = readTable(T0 + 0 * kTableStride, p1);
    pre[kI1] = v.i[1] = readTable(T0 + 1 * kTableStride, p1);
    pre[kI2] = v.i[2] = readTable(T0 + 2 * kTableStride, p2);
    pre[kI3] = v.i[3] = readTable(T0 + 3 * kTableStride, p2);

    // New states and the outputs, both from the previous states and the new currents.
    alignas(32) float preNew[8];
    multiply<kPreStatesM, kI0, kI1, kI2, kI3>(pre, preNew);
    alignas(16) float preOut[4];
    multiply<kPreOutputsFused, kI0, kI1, kI2, kI3>(pre, preOut);
    v.xp[6] = v.r;
    v.xp[0] = preNew[0];
    v.xp[1] = preNew[1];
    v.xp[2] = preNew[2];
    v.xp[3] = preNew[3];
    v.xp[4] = preNew[4];
    v.xp[5] = preNew[5];
    v.xp[7] = preNew[6];
    const float vp = preOut[0];
    const float coupling = preOut[1];

    // Interstage: DC blocker, tremolo bias, tone low-pass, expression drive.
    v.d = kDcPole * v.d + (vp - v.vpPrev);
    v.vpPrev = vp;
    const float bias =
        RovuRiza_TremoloBias(v.tremoloPhase, controls.tremoloIncrement, controls.tremoloDepth);
    v.bias = bias;
    v.tone = controls.toneCoef * v.tone + controls.toneCoefComplement * v.d;
    const float sIn = v.tone * controls.expressionGain;
    v.sIn = sIn;

    // Power amplifier: all eight coordinates from the values before this step.
    float* const x = v.x;
    float* const I = v.I; // I1..I8 at [0]..[7]
    // Values written during this step go into the vector from registers: read back from the
    // carried record, several at once, they would wait for the stores to complete.
    alignas(32) float power[kPowerInputs];
    for (int k = 0; k < 10; ++k)
        power[k] = x[k];
    power[10] = x[10] = coupling;
    for (int k = 0; k < 8; ++k)
        power[kPowerCurrents + k] = I[k];
    power[kSIn] = sIn;
    power[kBias] = bias;
    power[kPowerOne] = 1.f;
    power[kOldX9] = x[kX9];
    power[kPowerOne + 2] = 0.f;
    alignas(32) float powerCoord[8];
    multiply<kPowerCoordinatesM, 10, kSIn>(power, powerCoord);
    Positions<8> qp; // column, row of each tube
    positionsOf(powerCoord, kPowerPositions, qp);
    const TablePoint q1 = locate(qp.whole[1], qp.fraction[1], qp.whole[0], qp.fraction[0]);
    const TablePoint q2 = locate(qp.whole[3], qp.fraction[3], qp.whole[2], qp.fraction[2]);
    const TablePoint q3 = locate(qp.whole[5], qp.fraction[5], qp.whole[4], qp.fraction[4]);
    const TablePoint q4 = locate(qp.whole[7], qp.fraction[7], qp.whole[6], qp.fraction[6]);
    power[kPowerCurrents + 0] = I[0] = readTable(T0 + 4 * kTableStride, q1);
    power[kPowerCurrents + 1] = I[1] = readTable(T0 + 5 * kTableStride, q1);
    power[kPowerCurrents + 2] = I[2] = readTable(T0 + 6 * kTableStride, q2);
    power[kPowerCurrents + 3] = I[3] = readTable(T0 + 7 * kTableStride, q2);
    power[kPowerCurrents + 4] = I[4] = 0.f; // pentode grid currents are held at zero
    power[kPowerCurrents + 5] = I[5] = readTable(T0 + 8 * kTableStride, q3);
    power[kPowerCurrents + 6] = I[6] = 0.f;
    power[kPowerCurrents + 7] = I[7] = readTable(T0 + 9 * kTableStride, q4);

    // New network states x0..x6 from the previous vector and the new currents.
    constexpr int kI1 = kPowerCurrents, kI2 = kI1 + 1, kI3 = kI1 + 2, kI4 = kI1 + 3, kI6 = kI1 + 5,
                  kI8 = kI1 + 7;
    alignas(32) float powerNew[8];
    multiply<kPowerStatesM, kI1, kI2, kI3, kI4, kI6, kI8>(power, powerNew);

    // Trapezoidal companions of the reactive elements, driven by the previous step's g.
    const float g = v.g;
    power[kX7] = x[7] = 768000000.f * g - x[7];
    power[kX8] = x[8] = 768000000.f * g - x[8];
    power[kX9] = x[9] = 49152000.f * g - x[9];

    // Outputs: output voltage, return value to the preamplifier, next companion drive; from the
    // previous x0..x6 (the update is folded in) and the new companions and currents.
    alignas(16) float powerOut[4];
    multiply<kPowerOutputsFused, kI1, kI2, kI3, kI4, kI6, kI8>(power, powerOut);
    for (int k = 0; k < 7; ++k)
        x[k] = powerNew[k];
    const float vout = 0.01f * powerOut[0];
    v.r = powerOut[1];
    v.g = powerOut[2];

    float* const coords = v.coordinates;
    for (int k = 0; k < 4; ++k)
        coords[k] = preCoord[k];
    for (int k = 0; k < 4; ++k)
    {
        coords[4 + 2 * k] = powerCoord[2 * k + 1]; // row first, as for the preamplifier
        coords[5 + 2 * k] = powerCoord[2 * k];
    }

    v.o = kDcPole * v.o + (vout - v.voutPrev);
    v.voutPrev = vout;
    if (!(std::fabs(v.o) < kStateLimit)) [[unlikely]]
        restart(v);
    return v.o;
}

// Built twice: for processors with 8-lane vector units (with register broadcasts) and fused
// multiply-add, and for the baseline. Both run the same operations in the same order; the
// vector build rounds each multiply-add once, so the two differ by float32 rounding only.
__attribute__((target("avx2,fma"))) float vectorStep(RovuRiza_CircuitVars& v,
                                                     const RovuRiza_ModelState& tables, float u,
                                                     const RovuRiza_StepControls& controls) noexcept
{
    return circuitStep(v, tables, u, controls);
}

float baselineStep(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables, float u,
                   const RovuRiza_StepControls& controls) noexcept
{
    return circuitStep(v, tables, u, controls);
}

using StepFunction = float (*)(RovuRiza_CircuitVars&, const RovuRiza_ModelState&, float,
                               const RovuRiza_StepControls&) noexcept;
} // namespace

// Chosen once, when the library is loaded; every call then goes straight to the chosen build.
// It runs during relocation, before any sanitizer runtime has set itself up, so it is left
// uninstrumented.
extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) StepFunction
RovuRiza_ResolveCircuitStep() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? vectorStep
                                                                           : baselineStep;
}

float RovuRiza_CircuitStep(RovuRiza_CircuitVars& v, const RovuRiza_ModelState& tables, float u,
                           const RovuRiza_StepControls& controls) noexcept
    __attribute__((ifunc("RovuRiza_ResolveCircuitStep")));
