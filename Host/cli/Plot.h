// PNG pictures for `tavelo plot`: voicing magnitude responses and render overviews, drawn
// with cairo on an image surface.
#pragma once

#include <string>
#include <vector>

namespace tavelo::cli
{

struct Curve
{
    std::string label;
    std::vector<double> x;
    std::vector<double> y;
};

// A grid of small panels, one per curve set: magnitude in dB over a log-frequency axis.
// Each panel draws its curves in order (the first solid, later ones in lighter colours).
bool plotVoicingPanels(const std::string& path, const std::vector<std::vector<Curve>>& panels,
                       const std::vector<std::string>& titles, double minHz, double maxHz,
                       std::string& error);

// Input and output waveforms over time, and their averaged spectra (dBFS, log frequency).
bool plotRender(const std::string& path, const std::vector<float>& input,
                const std::vector<float>& output, double sampleRate, const std::string& title,
                std::string& error);

// Averaged magnitude spectrum (Hann windows of `fftSize`, half overlap), in dB re full scale.
// Returns the bin frequencies in `hz`.
std::vector<double> averagedSpectrumDb(const std::vector<float>& signal, double sampleRate,
                                       size_t fftSize, std::vector<double>& hz);

} // namespace tavelo::cli
