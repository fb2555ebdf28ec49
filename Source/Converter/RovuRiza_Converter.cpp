#include "Converter/RovuRiza_Converter.h"

#include <cstring>

namespace
{
constexpr int kTaps = kRovuRizaConverterTaps;

// The record keeps x[n]..x[n-8] then y[n]..y[n-8]; the ring starts at position 0.
void LoadFilter(const float (&history)[2 * kTaps], RovuRiza_ConverterFilter& f) noexcept
{
    for (int k = 0; k < kTaps; ++k)
    {
        f.x[k] = f.x[k + kTaps] = history[k];
        f.y[k] = f.y[k + kTaps] = history[kTaps + k];
    }
    f.head = 0;
}

void StoreFilter(const RovuRiza_ConverterFilter& f, float (&history)[2 * kTaps]) noexcept
{
    std::memcpy(history, f.inputs(), kTaps * sizeof(float));
    std::memcpy(history + kTaps, f.outputs(), kTaps * sizeof(float));
}
} // namespace

void RovuRiza_LoadConverter(const RovuRiza_ModelState& state, RovuRiza_ConverterVars& vars) noexcept
{
    vars.acc = state.stepAccumulator;
    vars.hostPeriod = state.hostPeriod;
    vars.internalStep = state.internalStep;
    vars.invHostPeriod = 1.0f / state.hostPeriod;
    vars.invInternalStep = 1.0f / state.internalStep;
    vars.previousInputs[0] = state.circuitState.conditionedInput;
    vars.previousInputs[1] = state.converterInputHistory[0];
    vars.previousInputs[2] = state.converterInputHistory[1];
    std::memcpy(vars.forward, state.converterForward, sizeof vars.forward);
    std::memcpy(vars.recursive, state.converterRecursive, sizeof vars.recursive);
    LoadFilter(state.upHistory, vars.up);
    LoadFilter(state.downHistory, vars.down);
}

void RovuRiza_StoreConverter(const RovuRiza_ConverterVars& vars,
                             RovuRiza_ModelState& state) noexcept
{
    state.stepAccumulator = vars.acc;
    state.circuitState.conditionedInput = vars.previousInputs[0];
    state.converterInputHistory[0] = vars.previousInputs[1];
    state.converterInputHistory[1] = vars.previousInputs[2];
    StoreFilter(vars.up, state.upHistory);
    StoreFilter(vars.down, state.downHistory);
}
