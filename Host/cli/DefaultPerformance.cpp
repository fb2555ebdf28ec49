#include "DefaultPerformance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavelo::cli
{
namespace
{

// Open-string pitches of a guitar in standard tuning, low E first (MIDI note numbers).
constexpr int kOpenStrings[6] = {40, 45, 50, 55, 59, 64};
constexpr int kMuted = -1;

double midiToHz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

class NoiseSource
{
public:
    explicit NoiseSource(uint32_t seed) : mState(seed ? seed : 1u) {}
    double next() // uniform in [-1, 1)
    {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return double(mState) / 2147483648.0 - 1.0;
    }

private:
    uint32_t mState;
};

// One plucked string: a delay line with a damped averaging loop filter (extended
// Karplus-Strong), excited by a low-passed noise burst shaped by the pluck position.
void addPluck(std::vector<float>& out, double fs, double startSec, double freq, double durationSec,
              double velocity, double brightness, double damping, NoiseSource& noise)
{
    const size_t start = size_t(startSec * fs);
    if (start >= out.size()) return;
    const size_t length = std::min(out.size() - start, size_t(durationSec * fs));
    const double period = fs / freq;
    const size_t delay = std::max<size_t>(2, size_t(period));
    const double frac = period - double(delay); // fractional delay by first-order allpass
    const double allpass = (1.0 - frac) / (1.0 + frac);

    std::vector<double> line(delay, 0.0);
    double lp = 0.0;
    for (size_t k = 0; k < delay; ++k)
    {
        lp += brightness * (noise.next() - lp);
        line[k] = lp;
    }
    // Pluck position about 1/5 of the string from the bridge: comb out that harmonic family.
    const size_t pluckOffset = std::max<size_t>(1, delay / 5);
    std::vector<double> shaped(delay);
    for (size_t k = 0; k < delay; ++k)
        shaped[k] = line[k] - line[(k + delay - pluckOffset) % delay];
    line.swap(shaped);

    double peak = 1e-12;
    for (double v : line)
        peak = std::max(peak, std::abs(v));
    for (double& v : line)
        v *= velocity / peak;

    const double loopGain = std::pow(0.001, 1.0 / (damping * freq)); // -60 dB after `damping` s
    size_t index = 0;
    double previous = 0.0, apState = 0.0;
    const size_t fadeLength = std::min<size_t>(length, size_t(0.01 * fs));
    for (size_t n = 0; n < length; ++n)
    {
        const double current = line[index];
        const double averaged = loopGain * 0.5 * (current + previous);
        previous = current;
        const double delayed = allpass * averaged + apState; // fractional-delay allpass
        apState = averaged - allpass * delayed;
        line[index] = delayed;
        index = (index + 1) % delay;
        double gain = 1.0;
        if (n + fadeLength >= length) gain = double(length - n) / double(fadeLength);
        out[start + n] += float(current * gain);
    }
}

struct Chord
{
    int frets[6]; // kMuted for a string that is not played
};

void strum(std::vector<float>& out, double fs, double t, const Chord& chord, bool down,
           double duration, double velocity, NoiseSource& noise)
{
    for (int k = 0; k < 6; ++k)
    {
        const int s = down ? k : 5 - k;
        if (chord.frets[s] == kMuted) continue;
        const double when = t + 0.012 * k;
        const double freq = midiToHz(kOpenStrings[s] + chord.frets[s]);
        addPluck(out, fs, when, freq, duration, velocity * (0.85 + 0.1 * noise.next()), 0.55, 2.5,
                 noise);
    }
}

void note(std::vector<float>& out, double fs, double t, int stringIndex, int fret, double duration,
          double velocity, NoiseSource& noise, double damping = 2.0)
{
    addPluck(out, fs, t, midiToHz(kOpenStrings[stringIndex] + fret), duration, velocity, 0.7,
             damping, noise);
}

} // namespace

std::vector<float> synthesizeDefaultPerformance(double sampleRate)
{
    const double fs = sampleRate;
    std::vector<float> out(size_t(20.0 * fs), 0.0f);
    NoiseSource noise(0x7A5E1u);

    const Chord E{{0, 2, 2, 1, 0, 0}};
    const Chord A{{kMuted, 0, 2, 2, 2, 0}};
    const Chord D{{kMuted, kMuted, 0, 2, 3, 2}};
    const Chord G{{3, 2, 0, 0, 0, 3}};
    const Chord Em{{0, 2, 2, 0, 0, 0}};
    const Chord C{{kMuted, 3, 2, 0, 1, 0}};

    // Bars 1-4: a strummed progression at 100 bpm (0.6 s per beat).
    const double beat = 0.6;
    double t = 0.1;
    const Chord progression[4] = {E, A, D, A};
    for (const Chord& chord : progression)
    {
        strum(out, fs, t, chord, true, 2.0, 0.30, noise);
        strum(out, fs, t + beat, chord, true, 1.0, 0.22, noise);
        strum(out, fs, t + 1.5 * beat, chord, false, 0.8, 0.18, noise);
        strum(out, fs, t + 2.0 * beat, chord, true, 1.2, 0.26, noise);
        t += 4.0 * beat * 0.75;
    }

    // A single-note line in E minor pentatonic, then a palm-muted low-string riff.
    const int line[][2] = {{3, 0}, {3, 2}, {4, 0}, {4, 3}, {5, 0}, {5, 3}, {4, 3}, {4, 0},
                           {3, 2}, {3, 0}, {2, 2}, {2, 0}, {1, 2}, {2, 2}, {3, 0}, {3, 2}};
    for (const auto& n : line)
    {
        note(out, fs, t, n[0], n[1], 0.6, 0.28, noise);
        t += beat / 2.0;
    }
    for (int k = 0; k < 16; ++k)
    {
        const int fret = (k % 8 < 6) ? 0 : (k % 8 == 6 ? 3 : 5);
        note(out, fs, t, 0, fret, 0.18, 0.35, noise, 0.25);
        t += beat / 4.0;
    }

    // Closing: G, C, Em strummed, then an open E chord left to ring.
    const Chord closing[3] = {G, C, Em};
    for (const Chord& chord : closing)
    {
        strum(out, fs, t, chord, true, 1.5, 0.30, noise);
        strum(out, fs, t + beat, chord, false, 0.9, 0.2, noise);
        t += 2.0 * beat;
    }
    strum(out, fs, t, E, true, 20.0 - t, 0.35, noise);

    float peak = 1e-9f;
    for (float v : out)
        peak = std::max(peak, std::abs(v));
    const float scale = 0.5f / peak;
    for (float& v : out)
        v *= scale;
    return out;
}

} // namespace tavelo::cli
