#include "Converter/RovuRiza_Converter.h"

#include <cstring>

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
    std::memcpy(vars.up.x, state.upHistory, sizeof vars.up.x);
    std::memcpy(vars.up.y, state.upHistory + kRovuRizaConverterTaps, sizeof vars.up.y);
    std::memcpy(vars.down.x, state.downHistory, sizeof vars.down.x);
    std::memcpy(vars.down.y, state.downHistory + kRovuRizaConverterTaps, sizeof vars.down.y);
}

void RovuRiza_StoreConverter(const RovuRiza_ConverterVars& vars,
                             RovuRiza_ModelState& state) noexcept
{
    state.stepAccumulator = vars.acc;
    state.circuitState.conditionedInput = vars.previousInputs[0];
    state.converterInputHistory[0] = vars.previousInputs[1];
    state.converterInputHistory[1] = vars.previousInputs[2];
    std::memcpy(state.upHistory, vars.up.x, sizeof vars.up.x);
    std::memcpy(state.upHistory + kRovuRizaConverterTaps, vars.up.y, sizeof vars.up.y);
    std::memcpy(state.downHistory, vars.down.x, sizeof vars.down.x);
    std::memcpy(state.downHistory + kRovuRizaConverterTaps, vars.down.y, sizeof vars.down.y);
}
