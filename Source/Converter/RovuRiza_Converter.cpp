#include "Converter/RovuRiza_Converter.h"

#include <cstring>

namespace
{
constexpr int kTaps = kRovuRizaConverterTaps;

// The record keeps x[n]..x[n-8] then y[n]..y[n-8].
void LoadFilter(const float (&history)[2 * kTaps], RovuRiza_ConverterFilter& f) noexcept
{
    std::memcpy(f.x, history, kTaps * sizeof(float));
    std::memcpy(f.y, history + kTaps, kTaps * sizeof(float));
}

void StoreFilter(const RovuRiza_ConverterFilter& f, float (&history)[2 * kTaps]) noexcept
{
    std::memcpy(history, f.x, kTaps * sizeof(float));
    std::memcpy(history + kTaps, f.y, kTaps * sizeof(float));
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
