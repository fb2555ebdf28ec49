#include "SignalAnalysis.h"

#include <cmath>
#include <utility>

namespace tavelo::signal
{
void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1)
    {
        const std::complex<double> step = std::polar(1.0, -2.0 * kPi / double(len));
        for (size_t i = 0; i < n; i += len)
        {
            std::complex<double> w(1.0);
            for (size_t k = 0; k < len / 2; ++k, w *= step)
            {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

std::vector<double> magnitudeSpectrum(const std::vector<double>& x)
{
    const size_t n = x.size();
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i)
    {
        const double t = 2.0 * kPi * double(i) / double(n);
        const double w =
            0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        a[i] = x[i] * w;
    }
    fft(a);
    std::vector<double> magnitudes(n / 2);
    for (size_t k = 0; k < n / 2; ++k)
        magnitudes[k] = std::abs(a[k]);
    return magnitudes;
}

double toneAmplitude(const std::vector<float>& x, double f, double fs)
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

double thd(const std::vector<float>& x, double f0, double fs)
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

double rms(const std::vector<float>& x, size_t from)
{
    double s = 0.0;
    for (size_t k = from; k < x.size(); ++k)
        s += double(x[k]) * x[k];
    return x.size() > from ? std::sqrt(s / double(x.size() - from)) : 0.0;
}

double gainDb(double ratio)
{
    return 20.0 * std::log10(ratio);
}

std::vector<float> sine(double freq, double fs, int n, double amplitude)
{
    std::vector<float> v(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i)
        v[size_t(i)] = static_cast<float>(amplitude * std::sin(2.0 * kPi * freq * i / fs));
    return v;
}
} // namespace tavelo::signal
