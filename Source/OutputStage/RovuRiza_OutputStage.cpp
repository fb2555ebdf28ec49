#include "OutputStage/RovuRiza_OutputStage.h"

#include <cmath>

namespace
{

// Corner of the saturation low-pass: 71.2 Hz in rad/s, Q 0.64.
constexpr float kCornerRadians = 447.3628f;
constexpr double kQuality = 0.64;
constexpr float kPreGain = 0.136f;
constexpr float kPostGain = 7.3529406f;

// Anything this large in the pre-filter history can only come from a NaN or infinite input.
constexpr float kHistoryLimit = 1.0e30f;

inline float shape(float c) noexcept
{
    const float c2 = c * c;
    const float c3 = c2 * c;
    const float c4 = c3 * c;
    const float c5 = c4 * c;
    float q = 1.0129646f * c - 0.045444347f * c2;
    q += -0.044579715f * c3;
    q += 0.19722056f * c4;
    q += -0.12155241f * c5;
    return q;
}
} // namespace

void RovuRiza_LoadOutputStage(const RovuRiza_ModelState& state,
                              RovuRiza_OutputStageVars& vars) noexcept
{
    vars.pre1 = state.saturationPreHistory[0];
    vars.pre2 = state.saturationPreHistory[1];
    vars.post1 = state.saturationPostHistory[0];
    vars.post2 = state.saturationPostHistory[1];
    vars.coefRate = 0.f; // coefficients follow on the first sample
}

void RovuRiza_StoreOutputStage(const RovuRiza_OutputStageVars& vars,
                               RovuRiza_ModelState& state) noexcept
{
    state.saturationPreHistory[0] = vars.pre1;
    state.saturationPreHistory[1] = vars.pre2;
    state.saturationPostHistory[0] = vars.post1;
    state.saturationPostHistory[1] = vars.post2;
}

float RovuRiza_OutputStageProcess(RovuRiza_OutputStageVars& vars, float fs, float x) noexcept
{
    // The coefficients depend only on the host rate, which is fixed between set-ups: derive them
    // once per call instead of once per sample.
    if (fs != vars.coefRate)
    {
        const float k = kCornerRadians / fs;
        const float a = float(1.0 / (double(k) * kQuality));
        const float b = 1.f / (k * k);
        vars.a0 = a + 1.f + b;
        vars.a1 = -a - 2.f * b;
        vars.a2 = b;
        vars.invA0 = 1.f / vars.a0;
        vars.coefRate = fs;
    }

    const float y = (kPreGain * x - vars.a1 * vars.pre1 - vars.a2 * vars.pre2) * vars.invA0;
    vars.pre2 = vars.pre1;
    // A NaN or infinite sample still gives the limiter's -1 now, but is not kept in the
    // recursion, which would otherwise hold the output at a constant offset for good.
    vars.pre1 = std::fabs(y) < kHistoryLimit ? y : 0.f;

    float c = y;
    if (!(std::fabs(y) < 1.f)) c = y > 0.f ? 1.f : -1.f;
    const float q = shape(c);

    const float o = vars.a0 * q + vars.a1 * vars.post1 + vars.a2 * vars.post2;
    vars.post2 = vars.post1;
    vars.post1 = q;
    return o * kPostGain;
}
