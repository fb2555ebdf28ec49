// Measuring signals: one FFT, the amplitude of a tone, gains in dB. Shared by the plots of the
// `tavelo` tool, the tests and the benchmark reports, so they all measure alike.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace tavelo::signal
{
inline constexpr double kPi = 3.14159265358979323846;

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<std::complex<double>>& a);

// Magnitudes of bins 0..n/2-1 of x under a 4-term Blackman-Harris window (n a power of two).
std::vector<double> magnitudeSpectrum(const std::vector<double>& x);

// Amplitude of the component at f Hz in x sampled at fs, by one DFT bin under a Hann window
// (x should span many periods).
double toneAmplitude(const std::vector<float>& x, double f, double fs);

// Total harmonic distortion: harmonics 2..10 below fs/2 against the fundamental f0.
double thd(const std::vector<float>& x, double f0, double fs);

double rms(const std::vector<float>& x, size_t from = 0);

// 20 log10 of an amplitude ratio.
double gainDb(double ratio);

std::vector<float> sine(double freq, double fs, int n, double amplitude = 0.5);

inline bool isDenormal(float v)
{
    return v != 0.f && (v < 0.f ? -v : v) < 1.17549435e-38f;
}
} // namespace tavelo::signal
