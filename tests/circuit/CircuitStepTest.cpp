// The circuit step over the filled tube tables: rest, safety at the edges, and amplifier-like
// behaviour at the internal rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

#include "CircuitFixture.h"
#include "Engine/RovuRiza_VectorUnits.h"
#include "DefaultPerformance.h"
#include "ReferenceCircuitStep.h"
#include "SignalAnalysis.h"

using namespace circuit_test;
using namespace tavelo::signal;

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

bool anyStateInvalid(const RovuRiza_CircuitVars& v)
{
    const float* p = reinterpret_cast<const float*>(&v);
    for (size_t k = 0; k < sizeof(v) / sizeof(float); ++k)
        if (!std::isfinite(p[k]) || isDenormal(p[k])) return true;
    return false;
}

// Largest change of the pair-averaged output over the window [from, to) in steps.
float wander(const std::vector<float>& out, size_t from, size_t to)
{
    const std::vector<float> slice(out.begin() + from, out.begin() + to);
    const std::vector<float> avg = pairAverage(slice);
    const auto [lo, hi] = std::minmax_element(avg.begin(), avg.end());
    return *hi - *lo;
}

std::vector<float> tail(const std::vector<float>& x, double skipSeconds)
{
    return {x.begin() + size_t(skipSeconds * kInternalRate), x.end()};
}

using RunFunction = void (*)(RovuRiza_CircuitVars&, const RovuRiza_ModelState&,
                             const RovuRiza_StepControls&, const float*, float*, int) noexcept;

struct Build
{
    const char* name;
    RunFunction run;
};

// The run as the render calls it, and each build behind it that this processor can run: the
// one it does not pick is otherwise never exercised here.
std::vector<Build> runnableBuilds()
{
    std::vector<Build> builds = {{"chosen at load", RovuRiza_RunCircuit},
                                 {"baseline", RovuRiza_RunCircuitBaseline}};
    if (RovuRiza_HasVectorUnits()) builds.push_back({"vector", RovuRiza_RunCircuitVector});
    if (RovuRiza_HasVector512Units())
        builds.push_back({"vector 512", RovuRiza_RunCircuitVector512});
    return builds;
}

float stepWith(const Build& build, RovuRiza_CircuitVars& v, float u, const RovuRiza_StepControls& c)
{
    float o = 0.f;
    build.run(v, sharedState(), c, &u, &o, 1);
    return o;
}

double thdOf(float gain, double level, const Settings& s = {})
{
    RovuRiza_CircuitVars v = restingVars();
    const std::vector<float> out = run(v, sineAt(110.0, gain * gain * level, 0.6), s);
    return thd(tail(out, 0.1), 110.0, kInternalRate);
}
} // namespace

TEST(CircuitRest, SettlesFromTheZeroStateWithExactRestingBias)
{
    RovuRiza_CircuitVars v = zeroVars();
    const RovuRiza_StepControls c = controlsFor({});
    const size_t steps = size_t(3.0 * kInternalRate);
    std::vector<float> out(steps);
    for (size_t k = 0; k < steps; ++k)
    {
        out[k] = RovuRiza_CircuitStep(v, sharedState(), 0.f, c);
        ASSERT_EQ(v.bias, -62.5f) << "step " << k;
        if (k % 64 == 0)
        {
            ASSERT_FALSE(anyStateInvalid(v)) << "step " << k;
        }
    }
    // The last half second holds still once the half-rate component is averaged out.
    EXPECT_LT(wander(out, steps - steps / 6, steps), 1e-4f);
    // Pentode grids rest at the bias, inside their tables.
    EXPECT_GT(v.coordinates[9], -70.f);
    EXPECT_LT(v.coordinates[9], -45.f);
    EXPECT_GT(v.coordinates[11], -70.f);
    EXPECT_LT(v.coordinates[11], -45.f);
    for (float current : v.i)
        EXPECT_GE(current, -1e-6f);
}

TEST(CircuitRest, ToneAndExpressionDoNotMoveTheRestingPoint)
{
    for (const Settings& s : {Settings{0.f, 0.f}, Settings{1.f, 1.f}})
    {
        RovuRiza_CircuitVars v = restingVars();
        const std::vector<float> out = run(v, std::vector<float>(size_t(kInternalRate), 0.f), s);
        EXPECT_LT(wander(out, out.size() / 2, out.size()), 1e-3f) << s.tone;
        EXPECT_FALSE(anyStateInvalid(v));
    }
}

TEST(CircuitSafety, NonFiniteInputActsAsSilence)
{
    RovuRiza_CircuitVars quiet = restingVars();
    RovuRiza_CircuitVars poisoned = restingVars();
    const std::vector<float> expected = run(quiet, std::vector<float>(2000, 0.f));
    std::vector<float> bad(2000, kNaN);
    for (size_t k = 0; k < bad.size(); k += 3)
        bad[k] = (k % 2 ? 1.f : -1.f) * std::numeric_limits<float>::infinity();
    // NaN is read as silence; infinities are held at a large finite value and must stay finite.
    std::vector<float> nan(2000, kNaN);
    EXPECT_EQ(run(poisoned, nan), expected);
    RovuRiza_CircuitVars mixed = restingVars();
    for (float o : run(mixed, bad))
        ASSERT_TRUE(std::isfinite(o));
}

TEST(CircuitSafety, NaNStateNeverBecomesATableIndexAndTheCircuitRestarts)
{
    // A NaN in every coordinate: each read must land on a table edge (the sanitizer build
    // would catch a stray index), and the circuit must come back to rest afterwards.
    RovuRiza_CircuitVars v = restingVars();
    v.xp[0] = kNaN;
    v.x[0] = kNaN;
    v.x[2] = kNaN;
    v.x[3] = kNaN;
    v.x[4] = kNaN;
    v.r = kNaN;
    const float first = RovuRiza_CircuitStep(v, sharedState(), 0.f, controlsFor({}));
    EXPECT_TRUE(std::isfinite(first));
    const std::vector<float> out = run(v, std::vector<float>(size_t(3 * kInternalRate), 0.f));
    EXPECT_FALSE(anyStateInvalid(v));
    const RovuRiza_CircuitVars& rest = restingVars();
    for (int k = 0; k < 12; ++k)
        EXPECT_NEAR(v.coordinates[k], rest.coordinates[k], 0.05f) << "coordinate " << k;
}

TEST(CircuitSafety, HardDrivePinsCoordinatesAtTheEdgesAndRecovers)
{
    RovuRiza_CircuitVars v = restingVars();
    std::vector<float> square(size_t(0.2 * kInternalRate));
    for (size_t k = 0; k < square.size(); ++k)
        square[k] = (k / 960) % 2 ? 50.f : -50.f; // 100 Hz, far beyond any guitar level
    float rowLo = 1e9f, rowHi = -1e9f, colLo = 1e9f, colHi = -1e9f;
    const RovuRiza_StepControls c = controlsFor({1.f, 1.f});
    for (float u : square)
    {
        const float o = RovuRiza_CircuitStep(v, sharedState(), u, c);
        ASSERT_TRUE(std::isfinite(o));
        ASSERT_LT(std::fabs(o), 1e4f);
        rowLo = std::min(rowLo, v.coordinates[0]);
        rowHi = std::max(rowHi, v.coordinates[0]);
        colLo = std::min(colLo, v.coordinates[1]);
        colHi = std::max(colHi, v.coordinates[1]);
    }
    EXPECT_LT(colLo, -4.f);
    EXPECT_GT(colHi, 20.f);
    EXPECT_FALSE(anyStateInvalid(v));
    // Silence afterwards: back to the resting point, no sustained low-frequency oscillation.
    const std::vector<float> after = run(v, std::vector<float>(size_t(3 * kInternalRate), 0.f));
    EXPECT_LT(wander(after, after.size() - after.size() / 6, after.size()), 1e-4f);
    EXPECT_NEAR(v.coordinates[1], restingVars().coordinates[1], 0.05f);
}

TEST(CircuitBehaviour, DistortionRisesWithGainAndLevel)
{
    const double g02 = thdOf(0.2f, 1.0), g05 = thdOf(0.5f, 1.0), g10 = thdOf(1.0f, 1.0);
    EXPECT_LT(g02, g05);
    EXPECT_LT(g05, g10);
    EXPECT_GT(g10, 0.1);
    EXPECT_LT(thdOf(1.0f, 0.2), g10);
    EXPECT_LT(thdOf(0.5f, 0.2), g05);
}

TEST(CircuitBehaviour, FullExpressionDrivesHarderThanRest)
{
    Settings rest, full;
    full.expression = 1.f;
    EXPECT_LT(thdOf(0.5f, 0.2, rest), thdOf(0.5f, 0.2, full));
}

TEST(CircuitBehaviour, ToneZeroIsDarkerThanToneOne)
{
    auto highToLow = [](float tone)
    {
        Settings s;
        s.tone = tone;
        RovuRiza_CircuitVars a = restingVars(), b = restingVars();
        const double low =
            toneAmplitude(tail(run(a, sineAt(200.0, 0.001, 0.3), s), 0.1), 200.0, kInternalRate);
        const double high =
            toneAmplitude(tail(run(b, sineAt(2000.0, 0.001, 0.3), s), 0.1), 2000.0, kInternalRate);
        return high / low;
    };
    const double dark = highToLow(0.f), mid = highToLow(0.5f), bright = highToLow(1.f);
    EXPECT_LT(dark, 0.5 * mid);
    EXPECT_LT(mid, bright);
}

TEST(CircuitBehaviour, FullTremoloSwingsThePentodeBiasAtTheRate)
{
    Settings s;
    s.tremolo = 1.f;
    s.rate = 1.f;
    RovuRiza_CircuitVars v = restingVars();
    const RovuRiza_StepControls c = controlsFor(s);
    float lo = 0.f, hi = -100.f;
    for (int k = 0; k < 24000; ++k) // one 8 Hz period
    {
        RovuRiza_CircuitStep(v, sharedState(), 0.f, c);
        lo = std::min(lo, v.bias);
        hi = std::max(hi, v.bias);
        ASSERT_GT(v.coordinates[9], -70.f);
        ASSERT_LT(v.coordinates[9], -45.f);
    }
    EXPECT_NEAR(lo, -67.5f, 1e-3f);
    EXPECT_NEAR(hi, -57.5f, 1e-3f);
}

TEST(CircuitTranscription, MatrixStepMatchesTheTermByTermReferenceStepByStep)
{
    // From the same state, one step of each must agree, in every build: through the start-up
    // from zero, at rest, and under a hard drive with tremolo and full expression.
    Settings s;
    s.tremolo = 1.f;
    s.rate = 1.f;
    s.expression = 1.f;
    s.tone = 0.7f;
    const RovuRiza_StepControls c = controlsFor(s);
    const std::vector<float> drive = sineAt(110.0, 1.5, 0.25);
    const size_t steps = 40000 + drive.size();
    // Per carried value: the largest difference against the largest magnitude it reaches.
    // Summation order alone moves results by up to ~2e-4 of that: the pentode rows are
    // differences of terms far larger than themselves. A wrong coefficient moves them by more.
    // The reference works nothing out a step ahead, so each step starts with none.
    constexpr size_t kFields = offsetof(RovuRiza_CircuitVars, preAhead) / sizeof(float);
    for (const Build& build : runnableBuilds())
    {
        RovuRiza_CircuitVars ref = zeroVars();
        std::vector<float> largestDiff(kFields, 0.f), largestValue(kFields, 0.f);
        for (size_t k = 0; k < steps; ++k)
        {
            const float u = k < 40000 ? 0.f : drive[k - 40000];
            RovuRiza_CircuitVars fast = ref;
            fast.aheadReady = 0.f;
            const float expected = referenceCircuitStep(ref, sharedState(), u, c);
            const float actual = stepWith(build, fast, u, c);
            ASSERT_NEAR(actual, expected, 1e-4f + 1e-4f * std::fabs(expected))
                << build.name << ", step " << k;
            const float* a = reinterpret_cast<const float*>(&fast);
            const float* b = reinterpret_cast<const float*>(&ref);
            for (size_t f = 0; f < kFields; ++f)
            {
                largestDiff[f] = std::max(largestDiff[f], std::fabs(a[f] - b[f]));
                largestValue[f] = std::max(largestValue[f], std::fabs(b[f]));
            }
        }
        for (size_t f = 0; f < kFields; ++f)
            EXPECT_LE(largestDiff[f], 1e-3f * largestValue[f])
                << build.name << ", carried value " << f;
    }
}

TEST(CircuitAccuracy, RunStaysCloseToTheStepEvaluatedInDouble)
{
    // Two correct float builds of this step differ audibly on guitar (it is that sensitive to
    // rounding), so the render's build is judged by its rms distance from the step evaluated in
    // double: on the built-in performance (at the default Gain's input scale, 0.2 squared) and
    // on a full-level sine. Both start from the float run's resting state: at rest the circuit
    // alternates at half its rate, and which of the two phases a power-up ends in is itself a
    // matter of rounding. The render's step measures -36.5 and -51.6 dB in the vector builds,
    // -38.1 and -39.5 dB in the baseline build (which rounds its multiply-adds twice), and the
    // term-by-term step in float -40.7 and -45.3 dB: the limits leave room for such differences
    // and catch a step that is wrong rather than rounded.
    std::vector<float> guitar = tavelo::cli::synthesizeDefaultPerformance(kInternalRate);
    guitar.resize(size_t(2 * kInternalRate));
    for (float& x : guitar)
        x *= 0.04f;
    const std::pair<std::vector<float>, double> cases[] = {{guitar, -27.0},
                                                           {sineAt(220.0, 1.0, 0.5), -36.0}};
    const RovuRiza_StepControls c = controlsFor({});
    for (const auto& [u, limitDb] : cases)
    {
        std::vector<double> reference(u.size());
        DoubleCircuitVars exact = inDouble(restingVars());
        for (size_t k = 0; k < u.size(); ++k)
            reference[k] = referenceCircuitStep(exact, sharedState(), u[k], c);
        auto distanceDb = [&](const std::vector<float>& out)
        {
            double error = 0, power = 0;
            for (size_t k = 0; k < u.size(); ++k)
            {
                error += (out[k] - reference[k]) * (out[k] - reference[k]);
                power += reference[k] * reference[k];
            }
            return 10 * std::log10(error / power);
        };
        // For scale, the term-by-term step in float.
        RovuRiza_CircuitVars plain = restingVars();
        std::vector<float> plainOut(u.size());
        for (size_t k = 0; k < u.size(); ++k)
            plainOut[k] = referenceCircuitStep(plain, sharedState(), u[k], c);
        std::printf("term by term in float: %.1f dB rms\n", distanceDb(plainOut));
        // Every build, the one chosen at load among them: how far apart correct builds land.
        for (const Build& build : runnableBuilds())
        {
            RovuRiza_CircuitVars fast = restingVars();
            std::vector<float> out(u.size());
            build.run(fast, sharedState(), c, u.data(), out.data(), int(u.size()));
            const double db = distanceDb(out);
            std::printf("%s against double precision: %.1f dB rms\n", build.name, db);
            EXPECT_LT(db, limitDb) << build.name;
        }
    }
}

TEST(CircuitRuns, BlocksOfAnySizeEqualSingleStepsThroughARestart)
{
    // The render runs whole blocks of steps; where a block starts or ends must never change a
    // result, in any build, including across the restart that a non-finite state forces.
    Settings s;
    s.tremolo = 0.8f;
    s.expression = 0.5f;
    const RovuRiza_StepControls c = controlsFor(s);
    std::vector<float> u = sineAt(220.0, 1.2, 0.02);
    u[u.size() / 3] = std::numeric_limits<float>::quiet_NaN();

    for (const Build& build : runnableBuilds())
    {
        RovuRiza_CircuitVars single = restingVars();
        std::vector<float> expected(u.size());
        for (size_t k = 0; k < u.size(); ++k)
        {
            if (k == u.size() / 2) single.x[4] = std::numeric_limits<float>::infinity();
            expected[k] = stepWith(build, single, u[k], c);
        }

        for (int block : {2, 7, 160, 4096})
        {
            RovuRiza_CircuitVars run = restingVars();
            std::vector<float> actual(u.size());
            for (size_t k = 0; k < u.size();)
            {
                size_t n = std::min(u.size() - k, size_t(block));
                if (k < u.size() / 2 && k + n > u.size() / 2) n = u.size() / 2 - k;
                if (k == u.size() / 2) run.x[4] = std::numeric_limits<float>::infinity();
                build.run(run, sharedState(), c, u.data() + k, actual.data() + k, int(n));
                k += n;
            }
            ASSERT_EQ(actual, expected) << build.name << ", blocks of " << block;
            EXPECT_EQ(std::memcmp(&run, &single, sizeof run), 0)
                << build.name << ", blocks of " << block;
        }
    }
    // The single-step entry point is the run of one, and a run with nothing to do touches
    // nothing.
    const Build chosen = runnableBuilds()[0];
    RovuRiza_CircuitVars viaStep = restingVars(), viaRun = restingVars();
    for (size_t k = 0; k < 2000; ++k)
        ASSERT_EQ(RovuRiza_CircuitStep(viaStep, sharedState(), u[k], c),
                  stepWith(chosen, viaRun, u[k], c))
            << k;
    std::vector<float> expected(4);
    RovuRiza_CircuitVars untouched = restingVars();
    RovuRiza_RunCircuit(untouched, sharedState(), c, u.data(), nullptr, 4);
    RovuRiza_RunCircuit(untouched, sharedState(), c, u.data(), expected.data(), 0);
    EXPECT_EQ(std::memcmp(&untouched, &restingVars(), sizeof untouched), 0);
}
