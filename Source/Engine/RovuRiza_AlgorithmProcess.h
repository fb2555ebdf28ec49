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

// The builds of one mono instance's render that the callback picks between when the library
// loads, named for the tests that run the ones this processor does not use. The vector build runs
// only on processors with AVX2 and FMA, the 512-bit one only where RovuRiza_HasVector512Units()
// holds.
void RovuRiza_ProcessMonoBaseline(SRovuRiza_Alg_Context& ctx) noexcept;
void RovuRiza_ProcessMonoVector(SRovuRiza_Alg_Context& ctx) noexcept;
void RovuRiza_ProcessMonoVector512(SRovuRiza_Alg_Context& ctx) noexcept;
