// The render callback (audio thread): the host calls it once per audio block with an array of
// context pointers, one per instance of that channel configuration.
#pragma once

#include "Engine/RovuRiza_Alg_Context.h"

template <int kInputs, int kOutputs>
void RovuRiza_AlgorithmProcessFunction(SRovuRiza_Alg_Context* const inInstancesBegin[],
                                       const void* inInstancesEnd) noexcept;

extern template void RovuRiza_AlgorithmProcessFunction<1, 1>(SRovuRiza_Alg_Context* const[],
                                                             const void*) noexcept;
extern template void RovuRiza_AlgorithmProcessFunction<2, 2>(SRovuRiza_Alg_Context* const[],
                                                             const void*) noexcept;
