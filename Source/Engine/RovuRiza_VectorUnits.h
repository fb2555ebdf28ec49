// Whether this processor can run the 8-lane builds of the render's kernels (AVX2 with fused
// multiply-add). Every kernel's load-time pick asks this one question, so the builds agree on
// it. The picks run during relocation, before any sanitizer runtime has set itself up, so this
// is left uninstrumented.
#pragma once

__attribute__((no_sanitize("address", "undefined", "thread"))) inline bool
RovuRiza_HasVectorUnits() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}
