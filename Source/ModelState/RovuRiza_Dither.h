// The instance's own dither source (audio thread): a 64-bit mixing generator whose state lives
// in the model state block, so no lock and no state shared between instances or threads.
#pragma once

#include <cstdint>

inline constexpr uint64_t kRovuRizaDitherSeed = 0x5EEDC0DE2B7E1516ull;

// Next 64-bit output; two uniform integers 0..2147483647 are taken from each.
inline uint64_t RovuRiza_DitherNext(uint64_t& state) noexcept
{
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Sum of six uniform integers 0..2147483647 (fits easily in 64 bits).
inline uint64_t RovuRiza_DitherSixSum(uint64_t& state) noexcept
{
    uint64_t sum = 0;
    for (int i = 0; i < 3; ++i)
    {
        const uint64_t r = RovuRiza_DitherNext(state);
        sum += (r & 0x7FFFFFFFull) + ((r >> 32) & 0x7FFFFFFFull);
    }
    return sum;
}

// A small positive offset with a bell-shaped spread (0 to 1e-5, mean 5e-6) that keeps every
// later filter away from denormal numbers.
inline float RovuRiza_Dither(uint64_t& state) noexcept
{
    constexpr double kScale = 0.00001 / (6.0 * 2147483647.0);
    return static_cast<float>(static_cast<double>(RovuRiza_DitherSixSum(state)) * kScale);
}
