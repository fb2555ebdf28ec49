// Internal-rate converter: its low-pass, step counts per host rate, timing against
// sampling jitter (with an identity circuit) and rates outside the design.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "Converter/RovuRiza_Converter.h"
#include "Engine/RovuRiza_Engine.h"
#include "Engine/RovuRiza_VectorUnits.h"
#include "RenderHarness.h"
#include "SignalAnalysis.h"

namespace
{
using render_test::Coefficients;
using tavelo::signal::magnitudeSpectrum;
using Timing = RovuRiza_ConverterTiming;

RovuRiza_ConverterVars MakeConverter(float fs)
{
    RovuRiza_ConverterVars v{};
    v.hostPeriod = 1.0f / fs;
    v.internalStep = 5.2083333e-06f;
    v.invHostPeriod = 1.0f / v.hostPeriod;
    v.invInternalStep = 1.0f / v.internalStep;
    return v;
}

double DesignDcGain()
{
    double num = 0, den = 1;
    for (int i = 0; i < 9; ++i)
        num += RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[i];
    for (int i = 1; i < 9; ++i)
        den -= RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[i];
    return num / den;
}

// Impulse response of the recursion as the converter evaluates it.
std::vector<double> ImpulseResponse(int n)
{
    RovuRiza_ConverterVars v = MakeConverter(192000.0f);
    std::vector<double> h(n);
    for (int i = 0; i < n; ++i)
        h[i] = RovuRiza_ConverterFilterStep(v.up, i == 0 ? 1.0f : 0.0f);
    return h;
}

double GainDbAt(const std::vector<double>& h, double freq)
{
    std::complex<double> sum = 0;
    for (size_t i = 0; i < h.size(); ++i)
        sum += h[i] * std::polar(1.0, -2.0 * M_PI * freq * double(i) / 192000.0);
    return 20.0 * std::log10(std::abs(sum));
}

TEST(ConverterFilter, RecursionIsStableAndMeetsTheDesign)
{
    const std::vector<double> h = ImpulseResponse(16384);
    double tail = 0;
    for (size_t i = 8192; i < h.size(); ++i)
        tail = std::max(tail, std::fabs(h[i]));
    EXPECT_LT(tail, 1e-12) << "impulse response must decay";

    double sum = 0;
    for (double v : h)
        sum += v;
    EXPECT_NEAR(20 * std::log10(sum / DesignDcGain()), 0.0, 0.01);

    for (double f = 0; f <= 24000; f += 500)
    {
        const double g = GainDbAt(h, f);
        EXPECT_LE(g, 0.005) << f;
        EXPECT_GE(g, -0.015) << f;
    }
    for (double f = 35100; f <= 96000; f += 300)
        EXPECT_LE(GainDbAt(h, f), -79.5) << f;
}

TEST(ConverterFilter, RunsOfAnyLengthEqualSingleStepsAndKeepTheFullRecord)
{
    // The render feeds whole chunks; where a run starts or ends must change no output and no
    // value of the record, whose histories hold nine values each (one more than the next output
    // reads) newest first, and whose open group of eight steps is finished by the next run.
    // Every build this processor runs is held to it.
    using Build = void (*)(RovuRiza_ConverterFilter&, float*, int) noexcept;
    std::vector<Build> builds = {RovuRiza_ConverterFilterRunBaseline};
    if (RovuRiza_HasVectorUnits()) builds.push_back(RovuRiza_ConverterFilterRunVector);
    if (RovuRiza_HasVector512Units()) builds.push_back(RovuRiza_ConverterFilterRunVector512);
    std::vector<float> in(3000);
    for (size_t n = 0; n < in.size(); ++n)
        in[n] = static_cast<float>(std::sin(0.07 * double(n)) + 0.3 * std::sin(0.9 * double(n)));
    for (Build build : builds)
    {
        RovuRiza_ConverterFilter single{};
        std::vector<float> expected = in;
        for (size_t n = 0; n < in.size(); ++n)
            build(single, &expected[n], 1);
        for (int k = 0; k < 9; ++k)
        {
            EXPECT_EQ(single.x[k], in[in.size() - 1 - k]) << k;
            EXPECT_EQ(single.y[k], expected[in.size() - 1 - k]) << k;
        }
        for (const std::vector<int>& lengths : std::vector<std::vector<int>>{
                 {2}, {7}, {8}, {9}, {128}, {1, 15, 0, 33, 3, 64}, {3000}})
        {
            RovuRiza_ConverterFilter run{};
            std::vector<float> actual = in;
            size_t next = 0;
            for (size_t n = 0; n < in.size();)
            {
                const int length =
                    std::min<int>(lengths[next++ % lengths.size()], int(in.size() - n));
                if (length > 0) build(run, actual.data() + n, length);
                n += size_t(length);
            }
            ASSERT_EQ(actual, expected) << "runs of " << lengths[0];
            EXPECT_EQ(std::memcmp(&run, &single, sizeof run), 0) << "runs of " << lengths[0];
        }
    }
}

TEST(ConverterFilter, RoundingNoiseStaysLow)
{
    // A full-scale 3 kHz sine through the converter's recursion (float in and out, block form
    // in double) against the plain recursion in double with the design's own coefficients.
    RovuRiza_ConverterVars v = MakeConverter(192000.0f);
    double x[9] = {}, y[9] = {};
    double errPower = 0, sigPower = 0;
    for (int n = 0; n < 96000; ++n)
    {
        const float in = static_cast<float>(std::sin(2 * M_PI * 3000.0 * n / 192000.0));
        const float out32 = RovuRiza_ConverterFilterStep(v.up, in);
        for (int k = 8; k > 0; --k)
        {
            x[k] = x[k - 1];
            y[k] = y[k - 1];
        }
        x[0] = in;
        double out = 0;
        for (int k = 0; k < 9; ++k)
            out += RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[k] * x[k];
        for (int k = 1; k < 9; ++k)
            out += RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[k] * y[k];
        y[0] = out;
        if (n >= 4800)
        {
            errPower += (out32 - out) * (out32 - out);
            sigPower += out * out;
        }
    }
    const double noiseDb = 10 * std::log10(errPower / sigPower);
    std::printf("converter rounding noise: %.1f dB\n", noiseDb);
    EXPECT_LT(noiseDb, -140.0);
}

struct StepCounts
{
    long total = 0;
    long perCount[kRovuRizaConverterMaxSteps + 1] = {};
};

// Counts from a record just set up for fs, as the render loads it.
StepCounts CountSteps(float fs, int hostSamples)
{
    RovuRiza_ConverterVars v;
    RovuRiza_LoadConverter(render_test::AsState(render_test::SetUpState(fs)), v);
    StepCounts counts;
    for (int n = 0; n < hostSamples; ++n)
    {
        int k = 0;
        RovuRiza_ConvertSample(v, 0.0f,
                               [&](float u)
                               {
                                   ++k;
                                   return u;
                               });
        counts.total += k;
        counts.perCount[k]++;
    }
    return counts;
}

TEST(ConverterTiming, StepCountsFromAFreshSetUp)
{
    const StepCounts r44 = CountSteps(44100.0f, 44100);
    EXPECT_EQ(r44.total, 192000);
    EXPECT_EQ(r44.perCount[4], 28500);
    EXPECT_EQ(r44.perCount[5], 15600);

    const StepCounts r48 = CountSteps(48000.0f, 48000);
    EXPECT_EQ(r48.perCount[4], 48000);
    const StepCounts r96 = CountSteps(96000.0f, 96000);
    EXPECT_EQ(r96.perCount[2], 96000);
    const StepCounts r192 = CountSteps(192000.0f, 192000);
    EXPECT_EQ(r192.perCount[1], 192000);

    const StepCounts r88 = CountSteps(88200.0f, 88200);
    EXPECT_EQ(r88.total, 192000);
    EXPECT_EQ(r88.perCount[2], 72600);
    EXPECT_EQ(r88.perCount[3], 15600);
    const StepCounts r176 = CountSteps(176400.0f, 176400);
    EXPECT_EQ(r176.total, 192000);
    EXPECT_EQ(r176.perCount[1], 160800);
    EXPECT_EQ(r176.perCount[2], 15600);
}

struct ToneMeasure
{
    double toneDb;     // tone level, dB re. its input level
    double spuriousDb; // strongest other component, dB re. the tone
};

// A sine through the converter with an identity circuit, measured at the host rate.
template <Timing kTiming> ToneMeasure MeasureTone(float fs, double freq)
{
    RovuRiza_ConverterVars v = MakeConverter(fs);
    const int settle = 4096, size = 16384;
    std::vector<double> out;
    out.reserve(size);
    std::vector<double> in;
    for (int n = 0; n < settle + size; ++n)
    {
        const float x = static_cast<float>(0.5 * std::sin(2 * M_PI * freq * n / fs));
        const float y = RovuRiza_ConvertSample<kTiming>(v, x, [](float u) { return u; });
        if (n >= settle)
        {
            out.push_back(y);
            in.push_back(x);
        }
    }
    const std::vector<double> spectrum = magnitudeSpectrum(out);
    const std::vector<double> ref = magnitudeSpectrum(in);
    const size_t toneBin = static_cast<size_t>(std::lround(freq * size / fs));
    double tone = 0, toneRef = 0;
    for (size_t k = toneBin - 3; k <= toneBin + 3; ++k)
    {
        tone = std::max(tone, spectrum[k]);
        toneRef = std::max(toneRef, ref[k]);
    }
    double spur = 0;
    for (size_t k = 8; k < spectrum.size(); ++k)
        if (k + 8 < toneBin || k > toneBin + 8) spur = std::max(spur, spectrum[k]);
    return {20 * std::log10(tone / toneRef), 20 * std::log10(spur / tone)};
}

TEST(ConverterTiming, InterpolationRemovesTheJitterAtRatesThatDoNotDivide192000)
{
    for (float fs : {44100.0f, 88200.0f, 176400.0f})
        for (double f : {1000.0, 10000.0})
        {
            const ToneMeasure held = MeasureTone<Timing::kHeld>(fs, f);
            const ToneMeasure interpolated = MeasureTone<Timing::kInterpolated>(fs, f);
            std::printf("%6.0f Hz, %5.0f Hz tone: spurious %.1f dB held, %.1f dB interpolated; "
                        "gain %.2f / %.2f dB\n",
                        fs, f, held.spuriousDb, interpolated.spuriousDb, held.toneDb,
                        interpolated.toneDb);
            if (fs == 44100.0f)
            {
                EXPECT_GT(held.spuriousDb, -45.0) << "the held scheme jitters";
            }
            EXPECT_LE(interpolated.spuriousDb, -60.0) << fs << " " << f;
            EXPECT_NEAR(interpolated.toneDb, held.toneDb, 1.0) << fs << " " << f;
        }
}

TEST(ConverterTiming, InterpolationKeepsWholeMultipleRatesClean)
{
    for (float fs : {48000.0f, 96000.0f, 192000.0f})
        for (double f : {1000.0, 5000.0, 10000.0})
        {
            const ToneMeasure held = MeasureTone<Timing::kHeld>(fs, f);
            const ToneMeasure interpolated = MeasureTone<Timing::kInterpolated>(fs, f);
            std::printf("%6.0f Hz, %5.0f Hz tone: spurious %.1f / %.1f dB, gain %.2f / %.2f dB "
                        "(held / interpolated)\n",
                        fs, f, held.spuriousDb, interpolated.spuriousDb, held.toneDb,
                        interpolated.toneDb);
            EXPECT_NEAR(interpolated.toneDb, held.toneDb, 1.0) << fs << " " << f;
            EXPECT_LE(interpolated.spuriousDb, std::max(held.spuriousDb + 1.0, -70.0))
                << fs << " " << f;
        }
}

TEST(ConverterTiming, ConstantInputSettlesToAConstant)
{
    RovuRiza_ConverterVars v = MakeConverter(44100.0f);
    float y = 0;
    for (int n = 0; n < 4410; ++n)
        y = RovuRiza_ConvertSample(v, 0.25f, [](float u) { return u; });
    EXPECT_NEAR(y, 0.25f * DesignDcGain() * DesignDcGain(), 1e-4);
}

// The latency hosts are told must be the delay an impulse really sees (its centroid is the
// group delay at low frequencies, where guitar lives).
TEST(ConverterTiming, ReportedLatencyIsTheMeasuredDelay)
{
    for (float fs : {44100.0f, 48000.0f, 96000.0f})
    {
        RovuRiza_ConverterVars v = MakeConverter(fs);
        double sum = 0.0, moment = 0.0;
        for (int n = 0; n < 4000; ++n)
        {
            const double y =
                RovuRiza_ConvertSample(v, n == 0 ? 1.0f : 0.0f, [](float u) { return u; });
            sum += y;
            moment += n * y;
        }
        EXPECT_NEAR(moment / sum, RovuRiza_Engine::ConverterDelay(fs), 0.01) << fs;
    }
}

TEST(ConverterTiming, RatesOutsideTheDesignStayBounded)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float fs : {8000.0f, 1000.0f, 250000.0f, 1e7f, 0.0f, -48000.0f, nan})
    {
        RovuRiza_ConverterVars v = MakeConverter(fs);
        for (int n = 0; n < 2000; ++n)
        {
            int k = 0;
            const float y = RovuRiza_ConvertSample(v, std::sin(0.1f * n),
                                                   [&](float u)
                                                   {
                                                       ++k;
                                                       return u;
                                                   });
            ASSERT_GE(k, 1);
            ASSERT_LE(k, kRovuRizaConverterMaxSteps) << fs;
            ASSERT_GE(v.acc, 0.0f) << fs;
            ASSERT_LE(v.acc, v.internalStep) << fs;
            ASSERT_TRUE(std::isfinite(y)) << fs;
        }
    }
}
} // namespace
