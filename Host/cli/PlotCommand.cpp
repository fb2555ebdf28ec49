// `tavelo plot`: the voicings' magnitude responses at 48 kHz, and render overviews.
#include <cmath>
#include <complex>
#include <cstdio>
#include <memory>

#include "ArgumentReader.h"
#include "Commands.h"
#include "Plot.h"
#include "SignalAnalysis.h"
#include "Session.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kPlotHelp = R"(usage: tavelo plot voicings OUT.png
       tavelo plot render [INPUT] OUT.png [render options]

voicings  every microphone voicing's magnitude response at 48 kHz: quiet (the table's own
          gains) and at an envelope of 1 (the level-dependent blend, k = 0.03)
render    renders like `tavelo render` and draws the input and output waveforms and spectra
)";

// Magnitude in dB of the parallel bank sum_s (g0 + g1 z^-1) / (1 + a1 z^-1 + a2 z^-2).
double bankMagnitudeDb(const float* gains, const RovuRiza_SectionPoles& poles, double hz, double fs)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * hz / fs);
    std::complex<double> sum = 0.0;
    for (int s = 0; s < kRovuRizaSectionCount; ++s)
        sum += (double(gains[2 * s]) + double(gains[2 * s + 1]) * z1) /
               (1.0 + double(poles.poleA1[s]) * z1 + double(poles.poleA2[s]) * z1 * z1);
    return tavelo::signal::gainDb(std::max(std::abs(sum), 1e-12));
}

int plotVoicings(const std::string& path)
{
    const double fs = 48000.0;
    auto poles = std::make_unique<RovuRiza_SectionPoles>();
    RovuRiza_SetUpSectionPoles(poles.get(), sizeof(RovuRiza_SectionPoles), float(fs));
    std::vector<std::vector<Curve>> panels;
    std::vector<std::string> titles;
    for (int v = 0; v < kRovuRizaVoicingCount; ++v)
    {
        const float* table = RovuRiza_VoicingTable(v, fs);
        // The bank's blend at envelope 1: k = 0.03 of the way to the scaled gains.
        const float k = 0.03f;
        float loud[200];
        for (int j = 0; j < 200; ++j)
            loud[j] = k * table[j] * (j % 2 == 0 ? 1.5f : 0.5f) + (1.0f - k) * table[j];
        Curve quiet{"quiet (the voicing's own gains)", {}, {}},
            full{"loud (the blend at an envelope of 1)", {}, {}};
        for (double hz = 20.0; hz <= 24000.0; hz *= 1.02)
        {
            quiet.x.push_back(hz);
            quiet.y.push_back(bankMagnitudeDb(table, *poles, hz, fs));
            full.x.push_back(hz);
            full.y.push_back(bankMagnitudeDb(loud, *poles, hz, fs));
        }
        panels.push_back({quiet, full});
        titles.push_back(kRovuRizaVoicingNames[v]);
    }
    std::string error;
    if (!plotVoicingPanels(path, panels, titles, 20.0, 24000.0, error)) throw Failure(error);
    std::printf("wrote %s\n", path.c_str());
    return 0;
}

} // namespace

int runPlot(const Arguments& args)
{
    ArgumentReader reader(args);
    if (reader.wantsHelp() || args.empty())
    {
        if (args.empty())
            throw UsageError("plot wants voicings or render (see tavelo plot --help)");
        return std::fputs(kPlotHelp, stdout), 0;
    }
    const std::string what = reader.next();
    if (what == "voicings")
    {
        if (args.size() != 2) throw UsageError("plot voicings wants OUT.png");
        return plotVoicings(args[1]);
    }
    if (what == "render") return runPlotRender(reader);
    throw UsageError("plot: unknown picture \"" + what + "\" (voicings or render)");
}

} // namespace tavelo::cli
