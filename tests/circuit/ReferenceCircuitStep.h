// The circuit step transcribed term by term, in the order the formulas are written: the
// reference the optimised step is checked against.
#pragma once

#include <algorithm>
#include <cmath>
#include <iterator>

#include "Circuit/RovuRiza_Circuit.h"
#include "OutputStage/RovuRiza_OutputStage.h"

namespace circuit_test
{
namespace reference_detail
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

// Linear part of the eight power-amplifier tube coordinates (rows) from x0..x10.
constexpr float D[8][11] = {
    {-234.86113f, -0.1586228f, 0.f, 0.f, 0.37275457f, -2.1823364e-05f, 2.1823364e-05f, 0.f, 0.f,
     -5.872617e-07f, 0.f},
    {2.0082607f, -0.1745264f, 7.715576f, 0.60897624f, 0.4101271f, -2.4011382e-05f, 2.4011382e-05f,
     0.f, 0.f, -6.461408e-07f, -7483.709f},
    {1.586228f, 25.866182f, 0.f, 0.f, -0.0025175493f, 1.4739294e-07f, -1.4739294e-07f, 0.f, 0.f,
     3.96631e-09f, 0.f},
    {2.0082607f, -0.1745264f, 0.60897624f, 8.712083f, 0.4101271f, -2.4011382e-05f, 2.4011382e-05f,
     0.f, 0.f, -6.461408e-07f, -7062.7847f},
    {0.f, 0.f, -18.323921f, 0.6089042f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, -7482.823f},
    {-0.008143362f, -5.499949e-06f, 0.f, 0.f, -3594.257f, 0.2104301f, -0.2104301f, 1.f, 0.f,
     -15.619337f, 0.f},
    {0.f, 0.f, 0.6089042f, -17.327534f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, -7061.9487f},
    {0.008143362f, 5.499949e-06f, 0.f, 0.f, 3594.257f, -0.2104301f, 0.2104301f, 0.f, -1.f,
     15.619337f, 0.f},
};

// Linear part of the new power-amplifier states x0..x6 from the previous x0..x10.
constexpr float A[7][11] = {
    {0.99953026f, -3.172456e-07f, 0.f, 0.f, 7.455091e-07f, -4.3646725e-11f, 4.3646725e-11f, 0.f,
     0.f, -1.1745234e-12f, 0.f},
    {-3.172456e-06f, 0.99994826f, 0.f, 0.f, 5.0350977e-09f, -2.9478584e-13f, 2.9478584e-13f, 0.f,
     0.f, -7.932588e-15f, 0.f},
    {0.f, 0.f, 0.9998334f, 5.5354926e-06f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, -0.06802566f},
    {0.f, 0.f, 5.5354926e-06f, 0.99984246f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, -0.06419954f},
    {-8.4263456e-07f, -5.691074e-10f, 0.f, 0.f, -0.99940574f, -3.479051e-08f, 3.479051e-08f, 0.f,
     0.f, 5.859403e-07f, 0.f},
    {-8.423818e-07f, -5.689367e-10f, 0.f, 0.f, 0.00059406203f, 0.9994001f, -1.9994f, 0.f, 0.f,
     5.8576455e-07f, 0.f},
    {-1.2869492e-12f, -8.6919323e-16f, 0.f, 0.f, 9.075785e-10f, 3.0545843e-06f, 0.99999696f, 0.f,
     0.f, 8.94902e-13f, 0.f},
};

// Limits a normalised coordinate to [0, 1]. Written so that a NaN fails the first comparison and
// lands on the upper edge: it must never reach the integer conversion.
template <class R> inline R unitClamp(R v) noexcept
{
    v = v < R(1) ? v : R(1);
    return v > R(0) ? v : R(0);
}

// Bilinear read position shared by the tables of one tube.
template <class R> struct TablePoint
{
    int base;    // offset of [r0][c0]
    int rowStep; // offset from r0 to r1
    int colStep; // offset from c0 to c1
    R fr, fc;    // fractional parts
};

template <class R> inline TablePoint<R> locate(R rowUnit, R columnUnit) noexcept
{
    const R rowPos = unitClamp(rowUnit) * R(kLastRow);
    const R colPos = unitClamp(columnUnit) * R(kLastColumn);
    const int r0 = int(rowPos);
    const int c0 = int(colPos);
    const int r1 = r0 + 1 < kLastRow ? r0 + 1 : kLastRow;
    const int c1 = c0 + 1 < kLastColumn ? c0 + 1 : kLastColumn;
    return {r0 * kColumns + c0, (r1 - r0) * kColumns, c1 - c0, rowPos - R(r0), colPos - R(c0)};
}

// Table t of the render's shared copy, its values `stride` apart.
template <class R> inline R readTable(const float* tables, int t, const TablePoint<R>& p) noexcept
{
    const int stride = RovuRiza_TubeTableStride(t);
    const float* t0 = tables + RovuRiza_TubeTableStart(t) + size_t(p.base) * stride;
    const float* t1 = t0 + p.rowStep * stride;
    const int c = p.colStep * stride;
    const R a = t0[0] + (R(t0[c]) - t0[0]) * p.fc;
    const R b = t1[0] + (R(t1[c]) - t1[0]) * p.fc;
    return a + (b - a) * p.fr;
}

template <class R> inline R dot11(const float (&row)[11], const R (&x)[11]) noexcept
{
    R sum = 0;
    for (int k = 0; k < 11; ++k)
        sum += row[k] * x[k];
    return sum;
}

// Every state reaches the output within a few steps, so a non-finite output is the one check
// needed; the output never comes near this in normal work.
constexpr float kStateLimit = 1.0e20f;

// Back to the state of a fresh set-up; the tremolo keeps its phase.
template <class Vars> inline void restart(Vars& v) noexcept
{
    const float phase = std::isfinite(v.tremoloPhase) ? v.tremoloPhase : 0.f;
    v = Vars{};
    v.tremoloPhase = phase;
}

inline float finiteOrZero(float v, float limit) noexcept
{
    // NaN fails both comparisons and becomes 0; infinities are held at the limit.
    if (!(v == v)) return 0.f;
    v = v < limit ? v : limit;
    return v > -limit ? v : -limit;
}
} // namespace reference_detail

using namespace reference_detail;

// The carried values of the step evaluated in double (the constants and table values as
// written, every operation in double), to judge the float builds' rounding against.
struct DoubleCircuitVars
{
    double xp[8], i[4], x[11], g, r, I[8], vpPrev, d, voutPrev, o, tone;
    float tremoloPhase;
    double u, sIn, bias, coordinates[12];
};

// The same carried values in double, to start the reference where a float run stands.
inline DoubleCircuitVars inDouble(const RovuRiza_CircuitVars& f)
{
    DoubleCircuitVars d{};
    std::copy(std::begin(f.xp), std::end(f.xp), d.xp);
    std::copy(std::begin(f.i), std::end(f.i), d.i);
    std::copy(std::begin(f.x), std::end(f.x), d.x);
    std::copy(std::begin(f.I), std::end(f.I), d.I);
    std::copy(std::begin(f.coordinates), std::end(f.coordinates), d.coordinates);
    d.g = f.g, d.r = f.r, d.vpPrev = f.vpPrev, d.d = f.d, d.voutPrev = f.voutPrev, d.o = f.o;
    d.tone = f.tone, d.tremoloPhase = f.tremoloPhase, d.u = f.u, d.sIn = f.sIn, d.bias = f.bias;
    return d;
}

template <class Vars>
inline auto referenceCircuitStep(Vars& v, const RovuRiza_ModelState& tables, float input,
                                 const RovuRiza_StepControls& controls) noexcept
{
    using R = decltype(Vars{}.o);
    const R u = finiteOrZero(input, kInputLimit);
    const float* const T0 = RovuRiza_TubeTablesOf(tables);
    v.u = u;

    auto* const xp = v.xp;
    auto* const i = v.i;
    const R r = v.r;

    // Preamplifier coordinates, all from the previous states and currents.
    const R pre1Row = 24965.887f * xp[0] - 0.10415943f * xp[1] + 1591.0587f * xp[2] +
                      6.941349f * xp[3] + 6.9751034f * xp[4] + 8.52351f * xp[5] -
                      26498.639f * i[2] - 24939.41f * i[3] - 24939.41f * r + 0.02300856f * u +
                      249.3941f;
    const R pre1Col = -62517.52f * xp[0] - 0.10415943f * xp[1] + 93.82955f * xp[2] +
                      0.4093524f * xp[3] + 0.41134298f * xp[4] + 0.50265723f * xp[5] -
                      1470.7527f * r + 0.9423838f * u + 14.707526f;
    const R pre2Row = 23468.658f * xp[0] - 123.57559f * xp[2] + 6.5250697f * xp[3] +
                      6.5567994f * xp[4] + 8.012347f * xp[5] - 0.10415943f * xp[7] -
                      24939.41f * i[1] - 40062.984f * r + 0.021628715f * u + 250.62987f;
    const R pre2Col = 24935.934f * xp[0] + 1589.1498f * xp[2] - 123.119095f * xp[3] +
                      7.0009356f * xp[4] - 312.48016f * xp[5] - 0.10415943f * xp[7] -
                      26498.639f * i[1] - 24909.49f * r + 0.022980956f * u + 249.0949f;

    const auto p1 = locate((pre1Row - 50.f) * R(0.006666667f), (pre1Col + 4.f) * R(0.041666668f));
    i[0] = readTable(T0, 0, p1);
    i[1] = readTable(T0, 1, p1);
    const auto p2 = locate((pre2Row - 50.f) * R(0.006666667f), (pre2Col + 4.f) * R(0.041666668f));
    i[2] = readTable(T0, 2, p2);
    i[3] = readTable(T0, 3, p2);

    // New preamplifier states from the previous states and the new currents.
    xp[6] = r;
    const R s0 = xp[0], s1 = xp[1], s2 = xp[2], s3 = xp[3], s4 = xp[4], s5 = xp[5], s7 = xp[7];
    xp[0] = -0.8387506f * s0 + 0.0027596927f * s2 + 1.2039776e-05f * s3 + 1.2098323e-05f * s4 +
            1.47840365e-05f * s5 + 0.1152323f * i[0] - 0.04601712f * i[1] - 0.045961913f * i[2] -
            0.04325743f * i[3] - 0.04325743f * r - 1.6945926e-06f * u + 1.6021271e-06f * kPreSupply;
    xp[1] = 0.9998611f * s1 + 1.9998611f * i[0] + 1.9998611f * i[1];
    xp[2] = 1.724808f * s0 + 0.97525865f * s2 + 0.00047955412f * s3 + 0.0004818861f * s4 +
            0.00058886025f * s5 - 0.108091645f * i[0] - 1.8328996f * i[1] - 1.8307005f * i[2] +
            0.14235908f * i[3] + 0.14235908f * r + 1.589583e-06f * u - 5.2725586e-06f * kPreSupply;
    xp[3] = 0.10033147f * s0 + 0.0063940547f * s2 + 0.9995046f * s3 - 0.00049778714f * s4 -
            0.00060829124f * s5 - 0.006287653f * i[0] - 0.10661912f * i[1] + 1.8911093f * i[2] -
            0.10022507f * i[3] - 0.10022507f * r + 9.2465484e-08f * u + 3.7120396e-06f * kPreSupply;
    xp[4] = 0.05040968f * s0 + 0.003212574f * s2 - 0.00024889357f * s3 + 0.9994882f * s4 +
            1.7294667e-05f * s5 - 0.0031591142f * i[0] - 0.053568795f * i[1] - 0.053767186f * i[2] -
            0.05035622f * i[3] - 0.05035622f * r + 4.645756e-08f * u + 1.8650452e-06f * kPreSupply;
    xp[5] = 0.0030800076f * s0 + 0.00019628675f * s2 - 1.5207281e-05f * s3 + 8.647334e-07f * s4 +
            0.35728788f * s5 - 0.00019302039f * i[0] - 0.003273028f * i[1] + 0.119992375f * i[2] -
            0.0030767412f * i[3] - 0.0030767412f * r + 2.838535e-09f * u +
            1.13953384e-07f * kPreSupply;
    xp[7] = 0.9998611f * s7 + 1.9998611f * i[2] + 1.9998611f * i[3];

    // Preamplifier outputs: stage-2 plate voltage and the coupling value to the power amplifier.
    const R vp = 23468.658f * xp[0] - 123.57559f * xp[2] + 6.5250697f * xp[3] + 6.5567994f * xp[4] +
                 8.012347f * xp[5] - 1470.7527f * i[0] - 24939.41f * i[1] - 24909.49f * i[2] -
                 40062.984f * i[3] - 41062.984f * r + 0.021628715f * u + 0.9282588f * kPreSupply;
    const R coupling = 0.8692095f * xp[0] - 0.004576874f * xp[2] + 0.00024166924f * xp[3] +
                       0.00024284443f * xp[4] + 0.0002967536f * xp[5] - 0.05447232f * i[0] -
                       0.92368186f * i[1] - 0.9225737f * i[2] - 0.9282588f * i[3] - 0.9282588f * r +
                       8.0106355e-07f * u - 2.6570833e-06f * kPreSupply;

    // Interstage: DC blocker, tremolo bias, tone low-pass, expression drive.
    v.d = kDcPole * v.d + (vp - v.vpPrev);
    v.vpPrev = vp;
    const R bias =
        RovuRiza_TremoloBias(v.tremoloPhase, controls.tremoloIncrement, controls.tremoloDepth);
    v.bias = bias;
    v.tone = controls.toneCoef * v.tone + controls.toneCoefComplement * v.d;
    const R sIn = v.tone * controls.expressionGain;
    v.sIn = sIn;

    // Power-amplifier coordinates, all from the values before this step.
    auto* const x = v.x;
    auto* const I = v.I; // I1..I8 at [0]..[7]
    x[10] = coupling;
    R Dx[8];
    for (int k = 0; k < 8; ++k)
        Dx[k] = dot11(D[k], v.x);

    const R tri1Col = Dx[0] + 0.90186673f * sIn - 6921.1157f * I[2] - 8541.721f * I[3] +
                      31.27051f * I[5] - 31.27051f * I[7];
    const R tri1Row = Dx[1] + 0.3196628f * bias - 0.007711721f * sIn + 255.12645f -
                      7531.8135f * I[2] - 14460.142f * I[3] - 65181.188f * I[4] -
                      5144.6313f * I[6] + 34.405704f * I[5] - 34.405704f * I[7];
    const R tri2Col = Dx[2] - 0.0060911155f * sIn - 6921.1157f * I[0] - 7531.8135f * I[1];
    const R tri2Row = Dx[3] + 0.35792866f * bias - 0.007711721f * sIn + 240.77673f -
                      8541.721f * I[0] - 14460.142f * I[1] - 5144.6313f * I[4] - 73599.67f * I[6] +
                      34.405704f * I[5] - 34.405704f * I[7];
    const R pen1Col = Dx[4] + 0.31974334f * bias + 255.09625f - 65181.188f * I[1] -
                      5144.6313f * I[3] - 5144.0225f * I[6];
    const R pen1Row = Dx[5] + kPowerSupply + 301523.47f * I[7] + 31.27051f * I[0] +
                      34.405704f * I[1] + 34.405704f * I[3] + 3.127051e-05f * sIn;
    const R pen2Col = Dx[6] + 0.35800466f * bias + 240.74826f - 5144.6313f * I[1] -
                      73599.67f * I[3] - 5144.0225f * I[4];
    const R pen2Row = Dx[7] + kPowerSupply + 301523.47f * I[5] - 31.27051f * I[0] -
                      34.405704f * I[1] - 34.405704f * I[3] - 3.127051e-05f * sIn;

    const auto q1 = locate((tri1Row - 200.f) * 0.005f, (tri1Col + 30.f) * 0.0125f);
    const auto q2 = locate((tri2Row - 200.f) * 0.005f, (tri2Col + 15.f) * 0.018181818f);
    const auto q3 = locate((pen1Row - 100.f) * 0.0033333334f, (pen1Col + 70.f) * 0.04f);
    const auto q4 = locate((pen2Row - 100.f) * 0.0033333334f, (pen2Col + 70.f) * 0.04f);
    I[0] = readTable(T0, 4, q1);
    I[1] = readTable(T0, 5, q1);
    I[2] = readTable(T0, 6, q2);
    I[3] = readTable(T0, 7, q2);
    I[5] = readTable(T0, 8, q3);
    I[4] = 0.f;
    I[7] = readTable(T0, 9, q4);
    I[6] = 0.f;

    // New network states x0..x6 (the pentode grid currents I5, I7 are held at zero).
    R Ax[7];
    for (int k = 0; k < 7; ++k)
        Ax[k] = dot11(A[k], v.x);
    x[0] = Ax[0] + 1.8037335f * I[0] - 0.015423442f * I[1] - 0.012182231f * I[2] -
           0.015423442f * I[3] + 6.2541018e-05f * I[5] - 6.2541018e-05f * I[7] +
           1.8037335e-06f * sIn;
    x[1] = Ax[1] + 0.012182231f * I[0] + 0.013403627f * I[1] - 1.9865228f * I[2] +
           0.013403627f * I[3] + 4.2239611e-07f * I[5] - 4.2239611e-07f * I[7] +
           1.2182231e-08f * sIn;
    x[2] = Ax[2] - 0.59255624f * I[1] - 0.046769377f * I[3] + 1.4072772f * I[4] -
           0.046763841f * I[6] + 6.1841515e-06f * kPowerSupply - 6.1841515e-06f * bias;
    x[3] = Ax[3] - 0.046769377f * I[1] - 0.66908795f * I[3] - 0.046763841f * I[4] +
           1.3307545f * I[6] + 5.836321e-06f * kPowerSupply - 5.836321e-06f * bias;
    x[4] = Ax[4] + 0.0032357166f * I[0] + 0.003560131f * I[1] - 2.1853726e-05f * I[2] +
           0.003560131f * I[3] - 31.20015f * I[5] + 31.20015f * I[7] + 3.2357168e-09f * sIn;
    x[5] = Ax[5] + 0.0032347462f * I[0] + 0.0035590632f * I[1] - 2.184717e-05f * I[2] +
           0.0035590632f * I[3] - 31.19079f * I[5] + 31.19079f * I[7] + 3.234746e-09f * sIn;
    x[6] = Ax[6] + 4.9418847e-09f * I[0] + 5.43736e-09f * I[1] - 3.3377023e-11f * I[2] +
           5.43736e-09f * I[3] - 4.765174e-05f * I[5] + 4.765174e-05f * I[7] + 4.9418846e-15f * sIn;

    // Trapezoidal companions of the reactive elements, driven by the previous step's g.
    const R g = v.g;
    x[7] = 768000000.f * g - x[7];
    x[8] = 768000000.f * g - x[8];
    x[9] = 49152000.f * g - x[9];

    // Outputs: output voltage, return value to the preamplifier, next companion drive.
    const R vout =
        0.01f * (2.0013125f * I[0] + 2.201965f * I[1] - 0.013516677f * I[2] + 2.201965f * I[3] -
                 19297.502f * I[5] + 19297.502f * I[7] - 0.00052117516f * x[0] -
                 3.5199676e-07f * x[1] - 230.03246f * x[4] + 0.013467526f * x[5] -
                 0.013467526f * x[6] + 0.00036240803f * x[9] + 2.0013126e-06f * sIn);
    v.r = 0.00023486113f * x[0] + 1.586228e-07f * x[1] - 3.7275456e-07f * x[4] +
          2.1823363e-11f * x[5] - 2.1823363e-11f * x[6] + 5.872617e-13f * x[9] -
          0.90186673f * I[0] + 0.007711721f * I[1] + 0.0060911155f * I[2] + 0.007711721f * I[3] -
          3.127051e-05f * I[5] + 3.127051e-05f * I[7] - 9.0186677e-07f * sIn;
    v.g = 2.1206672e-11f * x[0] + 1.4322785e-14f * x[1] + 9.360045e-06f * x[4] -
          5.4799504e-10f * x[5] + 5.4799504e-10f * x[6] + 4.0675356e-08f * x[9] -
          8.143362e-08f * I[0] - 8.959819e-08f * I[1] + 5.49995e-10f * I[2] - 8.959819e-08f * I[3] +
          0.0007852174f * I[5] - 0.0007852174f * I[7] - 8.143362e-14f * sIn;

    auto* const coords = v.coordinates;
    coords[0] = pre1Row;
    coords[1] = pre1Col;
    coords[2] = pre2Row;
    coords[3] = pre2Col;
    coords[4] = tri1Row;
    coords[5] = tri1Col;
    coords[6] = tri2Row;
    coords[7] = tri2Col;
    coords[8] = pen1Row;
    coords[9] = pen1Col;
    coords[10] = pen2Row;
    coords[11] = pen2Col;

    v.o = kDcPole * v.o + (vout - v.voutPrev);
    v.voutPrev = vout;
    if (!(std::fabs(v.o) < kStateLimit)) [[unlikely]]
        restart(v);
    return v.o;
}
} // namespace circuit_test
