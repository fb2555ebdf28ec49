// The vector vocabulary of the render's kernels (circuit, converter, voicing bank): lanes of
// floats, doubles or ints that GCC and clang map onto the target's vector registers (two 4-lane
// registers for an 8-lane group where the target has no wider ones), and the moves between them
// and memory. Vectors pass by reference: the baseline builds have no 8-lane registers to pass
// them in.
//
// Everything here has internal linkage and calls only compiler built-ins (or, for GCC, names the
// min and max instructions): the kernels are built several times for different instruction sets,
// and no out-of-line copy built for a wider set may stand in for a baseline one at link time.
#pragma once

namespace
{
template <class T, int kWidth> struct VectorOf
{
    typedef T type __attribute__((vector_size(kWidth * sizeof(T))));
};

template <int kWidth> using Lanes = typename VectorOf<float, kWidth>::type;
template <int kWidth> using DoubleLanes = typename VectorOf<double, kWidth>::type;
template <int kWidth> using IntLanes = typename VectorOf<int, kWidth>::type;
using Lanes4 = Lanes<4>;
using Lanes8 = Lanes<8>;

template <class V, class T> [[gnu::always_inline]] inline void load(V& v, const T* p) noexcept
{
    __builtin_memcpy(&v, p, sizeof v);
}

template <class V, class T> [[gnu::always_inline]] inline void store(T* p, const V& v) noexcept
{
    __builtin_memcpy(p, &v, sizeof v);
}

// Each lane of v held to [0, upper] the way the processor's min and max instructions compare: a
// NaN lane fails the first comparison and becomes `upper`. Clang makes those instructions of the
// comparisons written out; GCC makes a compare and a blend per bound of them, several cycles
// longer on a dependent chain, so for GCC they are named. kVectorBytes is the widest vector
// register of the build that calls it (0: no 8-lane one).
template <int kVectorBytes, class L>
[[gnu::always_inline]] inline void holdToRange(L& v, const L& upper) noexcept
{
    const L zero{};
#if !defined(__clang__)
    constexpr int kWidth = int(sizeof(L) / sizeof(float));
    if constexpr (kWidth == 4)
    {
        v = __builtin_ia32_maxps(__builtin_ia32_minps(v, upper), zero);
        return;
    }
    else if constexpr (kWidth == 8 && kVectorBytes >= 32)
    {
        // The 8-lane built-ins are declared only where the whole file targets such units.
        asm("vminps %1, %0, %0" : "+v"(v) : "v"(upper));
        asm("vmaxps %1, %0, %0" : "+v"(v) : "v"(zero));
        return;
    }
#endif
    v = v < upper ? v : upper;
    v = v > zero ? v : zero;
}
} // namespace
