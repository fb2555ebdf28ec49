// Which builds of the render's kernels this processor can run. Every kernel's load-time pick asks
// these questions, so the builds agree. The picks run during relocation, before any sanitizer
// runtime has set itself up, so these are left uninstrumented.
#pragma once

// 8-lane vector units with fused multiply-add (AVX2 with FMA).
__attribute__((no_sanitize("address", "undefined", "thread"))) inline bool
RovuRiza_HasVectorUnits() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

// Besides those, the 512-bit instruction set with its 32 vector registers (AVX-512 F, VL, DQ and
// BW). The circuit step holds more live values than 16 registers, so its build for this set
// spills and reloads fewer of them.
__attribute__((no_sanitize("address", "undefined", "thread"))) inline bool
RovuRiza_HasVector512Units() noexcept
{
    return RovuRiza_HasVectorUnits() && __builtin_cpu_supports("avx512f") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512bw");
}

// The load-time pick between a kernel's builds: the widest one this processor runs. Kernels with
// no 512-bit build pass their 8-lane one twice.
template <class Function>
__attribute__((no_sanitize("address", "undefined", "thread"))) inline Function
RovuRiza_PickBuild(Function baseline, Function vector, Function vector512) noexcept
{
    if (RovuRiza_HasVector512Units()) return vector512;
    return RovuRiza_HasVectorUnits() ? vector : baseline;
}

// The targets of those builds, for `__attribute__((target(...)))`: each names exactly what its
// question above asks for.
#define ROVURIZA_VECTOR_TARGET "avx2,fma"
#define ROVURIZA_VECTOR512_TARGET "avx512f,avx512vl,avx512dq,avx512bw,avx2,fma"
