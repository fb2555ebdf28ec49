// The vector vocabulary of the render's kernels (circuit, converter, voicing bank): lanes of
// floats, doubles or ints that GCC and clang map onto the target's vector registers (two 4-lane
// registers for an 8-lane group where the target has no wider ones), and the moves between them
// and memory. Vectors pass by reference: the baseline builds have no 8-lane registers to pass
// them in.
//
// Everything here has internal linkage and calls only compiler built-ins: the kernels are built
// several times for different instruction sets, and no out-of-line copy built for a wider set may
// stand in for a baseline one at link time.
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

// Every lane set to x (a single broadcast).
[[gnu::always_inline]] inline void splat(Lanes8& v, float x) noexcept
{
    const Lanes4 first = {x};
    v = __builtin_shufflevector(first, first, 0, 0, 0, 0, 0, 0, 0, 0);
}
} // namespace
