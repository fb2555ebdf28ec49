// Set-up of the two private blocks, the pickup filter matrices and the instance's dither.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>

#include "RenderHarness.h"
#include "ModelState/RovuRiza_Dither.h"
#include "ModelState/RovuRiza_Pickup.h"

namespace
{
using namespace render_test;

// Relative float32 agreement with a printed value.
void ExpectF32(float actual, double expected)
{
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 2e-7 + 1e-12) << expected;
}

RovuRiza_PickupModel BuildPickup(double fs)
{
    RovuRiza_PickupModel m;
    std::memset(&m, 0x5A, sizeof m);
    RovuRiza_BuildPickupModel(m, fs);
    return m;
}

struct PickupRow
{
    double fs;
    double a0[3], a1[3], b[2], c[3], d;
};

TEST(PickupModel, MatchesTheCircuitAtHostRates)
{
    const PickupRow rows[] = {
        {48000,
         {0.55210149, -0.20538267, 0.20538267},
         {1.5521015, 0.79461735, -1.7946173},
         {1.6167724e-05, 1.6167724e-05},
         {9858.3682, 11398.738, -11398.738},
         0.10269134},
        {44100,
         {0.50734872, -0.23629946, 0.23629946},
         {1.5073488, 0.76370054, -1.7637006},
         {1.7090122e-05, 1.7090122e-05},
         {10420.806, 12193.052, -12193.052},
         0.11814973},
    };
    for (const PickupRow& r : rows)
    {
        SCOPED_TRACE(r.fs);
        const RovuRiza_PickupModel m = BuildPickup(r.fs);
        for (int c = 0; c < 3; ++c)
        {
            ExpectF32(m.pickupA[0][c], r.a0[c]);
            ExpectF32(m.pickupA[1][c], r.a1[c]);
            ExpectF32(m.pickupC[c], r.c[c]);
        }
        ExpectF32(m.pickupB[0][0], r.b[0]);
        ExpectF32(m.pickupB[0][1], r.b[1]);
        ExpectF32(m.pickupD, r.d);
    }
    const RovuRiza_PickupModel m96 = BuildPickup(96000);
    ExpectF32(m96.pickupA[0][0], 0.799845695);
    ExpectF32(m96.pickupA[0][1], -0.0595413893);
    ExpectF32(m96.pickupA[0][2], 0.0595413893);
    ExpectF32(m96.pickupC[0], 5715.97314);
    ExpectF32(m96.pickupC[1], 6162.53369);
    ExpectF32(m96.pickupC[2], -6162.53369);
    ExpectF32(m96.pickupD, 0.0297706947);

    const RovuRiza_PickupModel m48 = BuildPickup(48000);
    const double inverseRow1[4] = {0, 13181.131, 1540.37, 0.87874207};
    const double inverseRow3[4] = {1, 0.87874207, 0.10269133, -8.0838619e-06};
    for (int c = 0; c < 4; ++c)
    {
        EXPECT_NEAR(m48.systemInverse[1][c], inverseRow1[c], std::fabs(inverseRow1[c]) * 1e-7);
        EXPECT_NEAR(m48.systemInverse[3][c], inverseRow3[c], std::fabs(inverseRow3[c]) * 1e-7);
        EXPECT_NEAR(m48.inputResponse[c], inverseRow3[c], std::fabs(inverseRow3[c]) * 1e-7);
    }
}

TEST(PickupModel, StructuralEntriesHoldForEveryRate)
{
    for (double fs : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0})
    {
        SCOPED_TRACE(fs);
        const RovuRiza_PickupModel m = BuildPickup(fs);
        EXPECT_EQ(m.pickupA[2][0], 0.0f);
        EXPECT_EQ(m.pickupA[2][1], 0.0f);
        EXPECT_EQ(m.pickupA[2][2], 1.0f);
        EXPECT_EQ(m.pickupB[0][2], 0.0f);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(m.pickupB[1][r], 0.0f);
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(m.auxInputResponseF[r], 0.0f);
        // The input node follows the source exactly.
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(m.systemInverse[0][c], 0.0, 1e-12);
        EXPECT_NEAR(m.systemInverse[0][3], 1.0, 1e-12);
        EXPECT_NEAR(m.inputResponse[0], 1.0, 1e-12);
        // Rebuilding gives the same bits.
        const RovuRiza_PickupModel again = BuildPickup(fs);
        EXPECT_EQ(std::memcmp(&m, &again, sizeof m), 0);
    }
}

double PickupGain(double fs, double freq)
{
    const RovuRiza_PickupModel m = BuildPickup(fs);
    RovuRiza_PickupVars p{};
    p.a00 = m.pickupA[0][0];
    p.a01 = m.pickupA[0][1];
    p.a10 = m.pickupA[1][0];
    p.a11 = m.pickupA[1][1];
    p.b0 = m.pickupB[0][0];
    p.b1 = m.pickupB[0][1];
    p.c0 = m.pickupC[0];
    p.c1 = m.pickupC[1];
    p.d = m.pickupD;
    // Correlate a settled sine response with the input.
    const int n = int(fs);
    std::complex<double> in = 0, out = 0;
    for (int i = 0; i < n; ++i)
    {
        const double phase = 2 * M_PI * freq * i / fs;
        const float x = static_cast<float>(std::sin(phase));
        const float y = RovuRiza_PickupStep(p, x);
        if (i >= n / 2)
        {
            in += double(x) * std::polar(1.0, -phase);
            out += double(y) * std::polar(1.0, -phase);
        }
    }
    return std::abs(out) / std::abs(in);
}

TEST(PickupModel, FilterResponseIsTheResonantPickup)
{
    for (double fs : {44100.0, 48000.0})
    {
        SCOPED_TRACE(fs);
        EXPECT_NEAR(PickupGain(fs, 100), 1.0003, 0.0005);
        EXPECT_NEAR(PickupGain(fs, 1000), 1.03, 0.01);
        EXPECT_NEAR(PickupGain(fs, 5100), 2.44, 0.05);
        EXPECT_NEAR(PickupGain(fs, 10000), 0.39, 0.03);
    }
}

TEST(ModelStateSetUp, FillsWholeRecordsOnly)
{
    Coefficients c;
    const uint32_t R = RovuRiza_Field::kModelStateSize;

    Block two = AllocateBlock(size_t(R) * 2 + 100);
    RovuRiza_SetUpModelState(two.get(), R * 2 + 100, 48000.0f, c.recursive, c.forward);
    const auto& first = *reinterpret_cast<RovuRiza_ModelState*>(two.get());
    const auto& second = *reinterpret_cast<RovuRiza_ModelState*>(two.get() + R);
    EXPECT_EQ(CarriedBytes(first), CarriedBytes(second));
    EXPECT_EQ(first.sharedTubeTables, second.sharedTubeTables);
    for (size_t i = size_t(R) * 2; i < size_t(R) * 2 + 100; ++i)
        ASSERT_EQ(two.get()[i], 0xA5);

    Block shortBlock = AllocateBlock(R - 1);
    RovuRiza_SetUpModelState(shortBlock.get(), R - 1, 48000.0f, c.recursive, c.forward);
    for (size_t i = 0; i < R - 1; i += 4093)
        ASSERT_EQ(shortBlock.get()[i], 0xA5) << i;
    ASSERT_EQ(shortBlock.get()[R - 2], 0xA5);

    const uint32_t P = RovuRiza_Field::kSectionPolesSize;
    Block poles = AllocateBlock(P * 2 + 3);
    RovuRiza_SetUpSectionPoles(poles.get(), P * 2 + 3, 48000.0f);
    EXPECT_EQ(std::memcmp(poles.get(), poles.get() + P, P), 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(poles.get()[i], 0xA5) << "leading words stay unwritten";
    for (uint32_t i = 2 * P; i < 2 * P + 3; ++i)
        EXPECT_EQ(poles.get()[i], 0xA5);
    Block shortPoles = AllocateBlock(P - 1);
    RovuRiza_SetUpSectionPoles(shortPoles.get(), P - 1, 48000.0f);
    for (uint32_t i = 0; i < P - 1; ++i)
        ASSERT_EQ(shortPoles.get()[i], 0xA5);
}

TEST(ModelStateSetUp, RateDependentMembersAt48000)
{
    Block b = SetUpState(48000.0f);
    const RovuRiza_ModelState& s = AsState(b);
    EXPECT_EQ(s.hostPeriod, 1.0f / 48000.0f);
    ExpectF32(s.hostPeriod, 2.0833333e-05);
    EXPECT_EQ(s.internalStep, 5.2083333e-06f);
    EXPECT_EQ(s.hostRate, 48000.0f);
    ExpectF32(s.envelopeCoef, 0.99949998);
    EXPECT_EQ(s.stepAccumulator, 0.0f);
    EXPECT_EQ(s.dcBlockerPole, 0.9989985f);
    EXPECT_EQ(s.expression, 0.0f);
    Coefficients c;
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(s.converterRecursive[i], c.recursive[i]);
        EXPECT_EQ(s.converterForward[i], c.forward[i]);
    }
    for (float v : s.upHistory)
        EXPECT_EQ(v, 0.0f);
    for (float v : s.bankHistory1)
        EXPECT_EQ(v, 0.0f);
    ExpectF32(s.pickupModel.pickupD, 0.10269134);

    Block p48 = AllocateBlock(RovuRiza_Field::kSectionPolesSize);
    RovuRiza_SetUpSectionPoles(p48.get(), RovuRiza_Field::kSectionPolesSize, 48000.0f);
    const auto& poles = *reinterpret_cast<RovuRiza_SectionPoles*>(p48.get());
    EXPECT_NEAR(poles.poleA1[99], 1.64f, 1e-6);
    EXPECT_NEAR(poles.poleA2[99], 0.6724f, 1e-6);
    // Section 0 at 50 Hz: radius 0.82^(w/pi) close to 1.
    const double w0 = 2 * M_PI * 49.999996 / 48000;
    const double r0 = std::pow(0.82, w0 / M_PI);
    EXPECT_NEAR(poles.poleA1[0], -2 * r0 * std::cos(w0), 1e-6);
    EXPECT_NEAR(poles.poleA2[0], r0 * r0, 1e-6);
}

TEST(ModelStateSetUp, SectionsAboveNyquistSitAtNyquist)
{
    Block p = AllocateBlock(RovuRiza_Field::kSectionPolesSize);
    RovuRiza_SetUpSectionPoles(p.get(), RovuRiza_Field::kSectionPolesSize, 44100.0f);
    const auto& poles = *reinterpret_cast<RovuRiza_SectionPoles*>(p.get());
    int atNyquist = 0;
    for (int s = 0; s < kRovuRizaSectionCount; ++s)
    {
        const double f = std::pow(10.0, 1.69897 + 2.6812415 * s / 99.0);
        if (f > 22050.0)
        {
            ++atNyquist;
            EXPECT_NEAR(poles.poleA1[s], 1.64f, 1e-6) << s;
            EXPECT_NEAR(poles.poleA2[s], 0.6724f, 1e-6) << s;
        }
        else
        {
            EXPECT_GT(std::fabs(poles.poleA1[s] - 1.64f), 1e-4) << s;
        }
    }
    EXPECT_EQ(atNyquist, 2);

    Block b = SetUpState(44100.0f);
    ExpectF32(AsState(b).envelopeCoef, 0.99945575);
}

TEST(ModelStateSetUp, MisalignedOrMissingBlocksAreLeftAlone)
{
    Coefficients c;
    const uint32_t R = RovuRiza_Field::kModelStateSize;
    Block b = AllocateBlock(R + 8);
    RovuRiza_SetUpModelState(b.get() + 4, R, 48000.0f, c.recursive, c.forward);
    for (size_t i = 0; i < 4096; ++i)
        ASSERT_EQ(b.get()[i], 0xA5);
    RovuRiza_SetUpModelState(nullptr, R, 48000.0f, c.recursive, c.forward);
    RovuRiza_SetUpModelState(b.get(), R, 48000.0f, nullptr, c.forward);
    for (size_t i = 0; i < 4096; ++i)
        ASSERT_EQ(b.get()[i], 0xA5);
    RovuRiza_SetUpSectionPoles(nullptr, 816, 48000.0f);
}

TEST(ModelStateSetUp, UnserviceableRatesFallBackToTheDefaultRate)
{
    Block reference = SetUpState(48000.0f);
    for (float fs : {0.0f, -44100.0f, 1e-30f, std::numeric_limits<float>::quiet_NaN(),
                     std::numeric_limits<float>::infinity()})
    {
        SCOPED_TRACE(fs);
        Block b = SetUpState(fs);
        EXPECT_EQ(CarriedBytes(AsState(b)), CarriedBytes(AsState(reference)));
        Block p = AllocateBlock(RovuRiza_Field::kSectionPolesSize);
        RovuRiza_SetUpSectionPoles(p.get(), RovuRiza_Field::kSectionPolesSize, fs);
        const auto& poles = *reinterpret_cast<RovuRiza_SectionPoles*>(p.get());
        for (int s = 0; s < kRovuRizaSectionCount; ++s)
            ASSERT_TRUE(std::isfinite(poles.poleA1[s]) && std::isfinite(poles.poleA2[s]));
    }
}

TEST(Dither, SixUniformIntegersGiveASmallPositiveBell)
{
    uint64_t state = kRovuRizaDitherSeed;
    double sum = 0, sumSq = 0, lo = 1, hi = 0;
    const int n = 200000;
    for (int i = 0; i < n; ++i)
    {
        const double d = RovuRiza_Dither(state);
        sum += d;
        sumSq += d * d;
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    const double mean = sum / n;
    const double sd = std::sqrt(sumSq / n - mean * mean);
    EXPECT_GT(lo, 0.0);
    EXPECT_LT(hi, 1e-5);
    EXPECT_NEAR(mean, 5e-6, 2e-8);
    // Six uniforms on [0, 1e-5] averaged: sd = 1e-5 / sqrt(72).
    EXPECT_NEAR(sd, 1e-5 / std::sqrt(72.0), 2e-8);

    // Each 31-bit draw is uniform: its top bit is set half of the time.
    uint64_t s2 = 1;
    int top = 0;
    for (int i = 0; i < n; ++i)
        top += (RovuRiza_DitherNext(s2) >> 62) & 1;
    EXPECT_NEAR(double(top) / n, 0.5, 0.01);
}
} // namespace
