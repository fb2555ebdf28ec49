// Every committed gain table against its voicing's target, at every host rate its family
// serves, with the poles the set-up computes for that rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"
#include "Voicing/RovuRiza_VoicingGains.h"

namespace
{
#include "RovuRiza_VoicingTargets.inc"

struct Figures
{
    double inBand = 0.0;     // worst |error| from 60 Hz to 8 kHz
    double upper = 0.0;      // worst |error| from 8 to 16 kHz
    double overTo16k = -1e9; // largest excess above the target up to 16 kHz
    double overAll = -1e9;   // ... and up to half the rate
};

// The bank ripples between its sections, narrower than the targets' grid: its response is
// taken on a dense log-spaced grid with the band edges themselves, up to just below half the
// rate, and the targets are read between their points (log-linearly, within 0.03 dB).
std::vector<double> DenseGrid()
{
    constexpr int kPoints = 4000;
    std::vector<double> f;
    for (int i = 0; i < kPoints; ++i)
        f.push_back(20.0 * std::pow(96000.0 / 20.0, double(i) / (kPoints - 1)));
    f.insert(f.end(), {60.0, 8000.0, 16000.0});
    std::sort(f.begin(), f.end());
    return f;
}

double TargetAt(const float* targetDb, double f)
{
    const double* end = kVoicingCheckFreqs + kVoicingCheckCount;
    const int i = int(std::clamp<std::ptrdiff_t>(std::upper_bound(kVoicingCheckFreqs, end, f) -
                                                     kVoicingCheckFreqs - 1,
                                                 0, kVoicingCheckCount - 2));
    const double t = std::log(f / kVoicingCheckFreqs[i]) /
                     std::log(kVoicingCheckFreqs[i + 1] / kVoicingCheckFreqs[i]);
    return double(targetDb[i]) + t * double(targetDb[i + 1] - targetDb[i]);
}

Figures Measure(const float* table, const float* targetDb, double fs)
{
    static const std::vector<double> grid = DenseGrid();
    RovuRiza_SectionPoles poles{};
    RovuRiza_SetUpSectionPoles(&poles, sizeof poles, float(fs));
    Figures out;
    for (const double f : grid)
    {
        if (f >= 0.998 * fs / 2) break;
        const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * f / fs);
        std::complex<double> h = 0.0;
        for (int s = 0; s < kRovuRizaSectionCount; ++s)
            h += (double(table[2 * s]) + double(table[2 * s + 1]) * z1) /
                 (1.0 + double(poles.poleA1[s]) * z1 + double(poles.poleA2[s]) * z1 * z1);
        const double e = 20.0 * std::log10(std::abs(h)) - TargetAt(targetDb, f);
        if (f >= 60.0 && f <= 8000.0) out.inBand = std::max(out.inBand, std::abs(e));
        if (f > 8000.0 && f <= 16000.0) out.upper = std::max(out.upper, std::abs(e));
        if (f <= 16000.0) out.overTo16k = std::max(out.overTo16k, e);
        out.overAll = std::max(out.overAll, e);
    }
    return out;
}

struct Goals
{
    double inBand, upper, overTo16k, overAll;
};

// The goals, and the looser bounds where a table's kept entries make them unreachable: the
// kept top sections of tables 1 and 28 resonate at or near half the base rates, and the kept
// low sections of table 1_96 grow with the rate (its excess up to 16 kHz lies below 60 Hz at
// 176.4 and 192 kHz). The bounds sit just above what the design reaches, so a worse table fails.
Goals GoalsFor(int voicing, bool high)
{
    if (voicing == 0 && high) return {1.6, 3.0, 4.0, 23.0};
    if ((voicing == 0 || voicing == 27) && !high) return {1.0, 3.0, 3.0, 41.0};
    return {1.0, 3.0, 3.0, 3.0};
}
} // namespace

TEST(VoicingFit, EveryTableFollowsItsTargetAtEveryServedRate)
{
    const double baseRates[] = {44100.0, 48000.0};
    const double highRates[] = {88200.0, 96000.0, 176400.0, 192000.0};
    Figures worstNormal;
    for (int v = 0; v < kRovuRizaVoicingCount; ++v)
    {
        for (bool high : {false, true})
        {
            const float* table = high ? kRovuRizaVoicingTables96[v] : kRovuRizaVoicingTablesBase[v];
            const float* target = high ? kVoicingTargetDb96[v] : kVoicingTargetDbBase[v];
            const Goals goals = GoalsFor(v, high);
            for (double fs :
                 high ? std::span<const double>(highRates) : std::span<const double>(baseRates))
            {
                const Figures f = Measure(table, target, fs);
                const std::string where = std::string(kRovuRizaVoicingNames[v]) +
                                          (high ? " _96 at " : " at ") + std::to_string(int(fs));
                EXPECT_LE(f.inBand, goals.inBand) << where;
                EXPECT_LE(f.upper, goals.upper) << where;
                EXPECT_LE(f.overTo16k, goals.overTo16k) << where;
                EXPECT_LE(f.overAll, goals.overAll) << where;
                if (goals.overAll == 3.0)
                {
                    worstNormal.inBand = std::max(worstNormal.inBand, f.inBand);
                    worstNormal.upper = std::max(worstNormal.upper, f.upper);
                    worstNormal.overAll = std::max(worstNormal.overAll, f.overAll);
                }
            }
        }
    }
    std::printf("worst over the tables without kept entries: %.2f dB in band, %.2f dB 8-16 kHz, "
                "%.2f dB above target\n",
                worstNormal.inBand, worstNormal.upper, worstNormal.overAll);
}
