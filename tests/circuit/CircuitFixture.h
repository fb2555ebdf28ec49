// One model state with filled tube tables, shared by the circuit tests of a process, and a
// settled resting state to start measurements from.
#pragma once

#include <cmath>
#include <cstdlib>
#include <vector>

#include "Circuit/RovuRiza_Circuit.h"
#include "ModelState/RovuRiza_ModelState.h"

namespace circuit_test
{
inline constexpr double kInternalRate = 192000.0;

struct Settings
{
    float tone = 0.5f;      // 0..1
    float expression = 0.f; // 0..1
    float rate = 0.5f;      // 0..1
    float tremolo = 0.f;    // 0..1
};

inline RovuRiza_StepControls controlsFor(const Settings& s)
{
    RovuRiza_StepControls c{};
    const float t2 = s.tone * s.tone;
    c.toneCoef = 0.995f * (1.f - t2 * t2);
    c.toneCoefComplement = 1.f - c.toneCoef;
    c.expressionGain = (2.f * s.expression + 1.f) * 2.f;
    c.tremoloIncrement = (0.1f + 7.9f * s.rate) * 6.2831855f / 192000.f;
    c.tremoloDepth = 5.f * s.tremolo;
    return c;
}

// The model state of the process, set up at 48 kHz on first use (17.6 MB, tables included).
inline RovuRiza_ModelState& sharedState()
{
    static RovuRiza_ModelState* state = []
    {
        void* block = std::aligned_alloc(64, RovuRiza_Field::kModelStateSize);
        const float none[9] = {};
        RovuRiza_SetUpModelState(block, RovuRiza_Field::kModelStateSize, 48000.f, none, none);
        return static_cast<RovuRiza_ModelState*>(block);
    }();
    return *state;
}

inline RovuRiza_CircuitVars zeroVars()
{
    RovuRiza_CircuitVars v;
    RovuRiza_LoadCircuit(sharedState(), v);
    return v;
}

// Runs the circuit on the input signal u; returns the output of every step.
inline std::vector<float> run(RovuRiza_CircuitVars& v, const std::vector<float>& u,
                              const Settings& s = {})
{
    const RovuRiza_StepControls c = controlsFor(s);
    const RovuRiza_ModelState& tables = sharedState();
    std::vector<float> out(u.size());
    for (size_t k = 0; k < u.size(); ++k)
        out[k] = RovuRiza_CircuitStep(v, tables, u[k], c);
    return out;
}

// The state after three seconds of silence from the all-zero start.
inline const RovuRiza_CircuitVars& restingVars()
{
    static const RovuRiza_CircuitVars resting = []
    {
        RovuRiza_CircuitVars v = zeroVars();
        run(v, std::vector<float>(size_t(3 * kInternalRate), 0.f));
        return v;
    }();
    return resting;
}

// Averages neighbouring samples: removes the circuit's half-rate component, which the
// converter's low-pass removes before the host rate.
inline std::vector<float> pairAverage(const std::vector<float>& x)
{
    std::vector<float> y(x.size() / 2);
    for (size_t k = 0; k < y.size(); ++k)
        y[k] = 0.5f * (x[2 * k] + x[2 * k + 1]);
    return y;
}

inline std::vector<float> sineAt(double f, double amplitude, double seconds,
                                 double fs = kInternalRate)
{
    std::vector<float> x(size_t(seconds * fs));
    for (size_t k = 0; k < x.size(); ++k)
        x[k] = float(amplitude * std::sin(2.0 * 3.14159265358979323846 * f * double(k) / fs));
    return x;
}
} // namespace circuit_test
