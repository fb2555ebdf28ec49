// Small measuring helpers for the circuit tests: tone amplitudes and distortion.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace circuit_test
{
inline constexpr double kPi = 3.14159265358979323846;

// Amplitude of the component at frequency f (Hz) in x sampled at fs, by a single DFT bin with a
// Hann window (x should span many periods).
inline double toneAmplitude(const std::vector<float>& x, double f, double fs)
{
    const size_t n = x.size();
    double re = 0.0, im = 0.0, wsum = 0.0;
    for (size_t k = 0; k < n; ++k)
    {
        const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * double(k) / double(n));
        const double ph = 2.0 * kPi * f * double(k) / fs;
        re += w * x[k] * std::cos(ph);
        im -= w * x[k] * std::sin(ph);
        wsum += w;
    }
    return 2.0 * std::hypot(re, im) / wsum;
}

// Total harmonic distortion (harmonics 2..10 against the fundamental).
inline double thd(const std::vector<float>& x, double f0, double fs)
{
    const double fundamental = toneAmplitude(x, f0, fs);
    double sum = 0.0;
    for (int h = 2; h <= 10 && h * f0 < 0.5 * fs; ++h)
    {
        const double a = toneAmplitude(x, h * f0, fs);
        sum += a * a;
    }
    return std::sqrt(sum) / fundamental;
}

inline double rms(const std::vector<float>& x, size_t from = 0)
{
    double s = 0.0;
    for (size_t k = from; k < x.size(); ++k)
        s += double(x[k]) * x[k];
    return x.size() > from ? std::sqrt(s / double(x.size() - from)) : 0.0;
}

inline bool isDenormal(float v)
{
    return v != 0.f && std::fabs(v) < 1.17549435e-38f;
}
} // namespace circuit_test
