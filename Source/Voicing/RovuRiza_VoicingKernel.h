// The voicing bank's per-sample kernel, private to this folder. Two translation units build it:
// the baseline one, and one compiled for 8-lane vector units with fused multiply-add that the
// loader picks where the processor has them. Everything here has internal linkage and calls only
// compiler built-ins, so no out-of-line copy built for the wider instruction set can stand in for
// a baseline one at link time.
#pragma once

#include "Engine/RovuRiza_Lanes.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
// An empty statement that claims to change v: the value sits in a register, and the compiler can
// neither read it from memory again nor see through it to fuse it into a multiply-add.
template <typename V> [[gnu::always_inline]] inline void pin(V& v) noexcept
{
    asm("" : "+x"(v));
}

// For the gains reused by the second sample of a pair: read from memory again, those reads and not
// the arithmetic would set the pace.
template <typename... V> [[gnu::always_inline]] inline void pinned(V&... v) noexcept
{
    (pin(v), ...);
}

// The eight-lane build has fused multiply-add and the compiler may contract a * b + c on its own,
// each path as it sees fit; two paths would then round the same sample differently. There every
// multiply-add is spelled out instead: fused where a section's output joins the sums, and rounded
// (made opaque) everywhere else, above all in the recursions.
template <bool Wide, typename V> [[gnu::always_inline]] inline void rounded(V& v) noexcept
{
    if constexpr (Wide) pin(v);
}

// out = a * b + c, fused in the eight-lane build. Written as the instruction itself, so that the
// fusion is this choice and not the compiler's.
template <bool Wide, typename V>
[[gnu::always_inline]] inline void mulAdd(V& out, const V& a, const V& b, const V& c) noexcept
{
    if constexpr (Wide)
    {
        out = c;
        if constexpr (sizeof(V) == sizeof(float))
            asm("vfmadd231ss %2, %1, %0" : "+x"(out) : "x"(a), "x"(b));
        else
            asm("vfmadd231ps %2, %1, %0" : "+x"(out) : "x"(a), "x"(b));
    }
    else
        out = a * b + c;
}

// sum += a0 * x0 + a1 * x1, the first product fused in the eight-lane build.
template <bool Wide, typename V>
[[gnu::always_inline]] inline void addTerms(V& sum, const V& a0, const V& x0, const V& a1,
                                            const V& x1) noexcept
{
    V second = a1 * x1, terms;
    rounded<Wide>(second);
    mulAdd<Wide>(terms, a0, x0, second);
    sum += terms;
}

// y - a1 * h1 - a2 * h2 with both products rounded: never fused (poles near the unit circle).
template <bool Wide, typename V>
[[gnu::always_inline]] inline void recursion(V& w, const V& y, const V& a1, const V& h1,
                                             const V& a2, const V& h2) noexcept
{
    V first = a1 * h1, second = a2 * h2;
    rounded<Wide>(first);
    rounded<Wide>(second);
    w = y - first - second;
}

// a + k * b with the product rounded.
template <bool Wide, typename V>
[[gnu::always_inline]] inline void blend(V& out, const V& a, const V& k, const V& b) noexcept
{
    V weighed = k * b;
    rounded<Wide>(weighed);
    out = a + weighed;
}

// ((v0 + v4) + (v1 + v5)) + ((v2 + v6) + (v3 + v7)), kept in vector registers; 16 lanes are
// first folded onto 8 (lane j plus lane j + 8).
[[gnu::always_inline]] inline float laneSum(const Lanes8& v) noexcept
{
    const Lanes4 u =
        __builtin_shufflevector(v, v, 0, 1, 2, 3) + __builtin_shufflevector(v, v, 4, 5, 6, 7);
    const Lanes4 pairs = u + __builtin_shufflevector(u, u, 1, 0, 3, 2);
    return pairs[0] + pairs[2];
}

[[gnu::always_inline]] inline void fold(Lanes8& out, const Lanes<16>& v) noexcept
{
    out = __builtin_shufflevector(v, v, 0, 1, 2, 3, 4, 5, 6, 7) +
          __builtin_shufflevector(v, v, 8, 9, 10, 11, 12, 13, 14, 15);
}

[[gnu::always_inline]] inline float laneSum(const Lanes<16>& v) noexcept
{
    Lanes8 eight;
    fold(eight, v);
    return laneSum(eight);
}

// The same sum of two vectors at once, sharing the shuffles.
[[gnu::always_inline]] inline void laneSums(const Lanes8& a, const Lanes8& b, float& sumA,
                                            float& sumB) noexcept
{
    const Lanes8 u = __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11) +
                     __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15);
    const Lanes8 pairs = u + __builtin_shufflevector(u, u, 1, 0, 3, 2, 5, 4, 7, 6);
    const Lanes8 total = pairs + __builtin_shufflevector(pairs, pairs, 2, 3, 0, 1, 6, 7, 4, 5);
    sumA = total[0];
    sumB = total[4];
}

[[gnu::always_inline]] inline void laneSums(const Lanes<16>& a, const Lanes<16>& b, float& sumA,
                                            float& sumB) noexcept
{
    Lanes8 eightA, eightB;
    fold(eightA, a);
    fold(eightB, b);
    laneSums(eightA, eightB, sumA, sumB);
}

// Four sections in the low lanes, zeros above: the gains and poles of the upper lanes are zero,
// so they add exact zeros to the sums (the samples are finite by then) and are never stored.
template <class L> [[gnu::always_inline]] inline void loadLow(L& v, const float* p) noexcept
{
    Lanes4 low;
    load(low, p);
    const Lanes8 eight = __builtin_shufflevector(low, Lanes4{}, 0, 1, 2, 3, 4, 5, 6, 7);
    if constexpr (sizeof(L) == sizeof(Lanes8))
        v = eight;
    else
        v = __builtin_shufflevector(eight, Lanes8{}, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                    14, 15);
}

template <class L> [[gnu::always_inline]] inline void storeLow(float* p, const L& v) noexcept
{
    const Lanes4 low = __builtin_shufflevector(v, v, 0, 1, 2, 3);
    store(p, low);
}

// Running sums of one or two consecutive samples (A and B): the raw part and the part that the
// envelope weighs in.
template <typename V> struct BankSums
{
    V rawA{}, blendA{}, rawB{}, blendB{};
};

// The sections at s (a vector's width of them) for one sample or for two consecutive ones
// (Pair). With two, the histories stay in registers between them and the gains are loaded once;
// a sample sees the same operations in the same order either way, so the result does not depend
// on how a block is split. Low: only the four lowest lanes are sections.
template <typename V, bool Pair, bool Wide, bool Low = false>
[[gnu::always_inline]] inline void sectionStep(const RovuRiza_VoicingBankCoefficients& bank,
                                               const RovuRiza_SectionPoles& poles, float* history1,
                                               float* history2, int s, const V& yA, const V& yB,
                                               BankSums<V>& sums) noexcept
{
    V h1, h2, p1, p2, t0, t1, d0, d1;
    auto get = [](V& v, const float* p) noexcept
    {
        if constexpr (Low)
            loadLow(v, p);
        else
            load(v, p);
    };
    get(h1, history1 + s);
    get(h2, history2 + s);
    get(p1, poles.poleA1 + s);
    get(p2, poles.poleA2 + s);
    get(t0, bank.t0 + s);
    get(t1, bank.t1 + s);
    get(d0, bank.d0 + s);
    get(d1, bank.d1 + s);
    if constexpr (Wide) pinned(p1, p2, t0, t1, d0, d1);
    V wA;
    recursion<Wide>(wA, yA, p1, h1, p2, h2);
    addTerms<Wide>(sums.rawA, t0, wA, t1, h1);
    addTerms<Wide>(sums.blendA, d0, wA, d1, h1);
    V newer = wA, older = h1;
    if constexpr (Pair)
    {
        V wB;
        recursion<Wide>(wB, yB, p1, wA, p2, h1);
        addTerms<Wide>(sums.rawB, t0, wB, t1, wA);
        addTerms<Wide>(sums.blendB, d0, wB, d1, wA);
        newer = wB;
        older = wA;
    }
    if constexpr (Low)
    {
        storeLow(history1 + s, newer);
        storeLow(history2 + s, older);
    }
    else
    {
        store(history1 + s, newer);
        store(history2 + s, older);
    }
}

// One or two samples (already made finite) through the bank, with their blend factors k. Whole
// groups of the vector's width, then four more in the low lanes of the same sums (100 = 12 x 8 + 4
// = 6 x 16 + 4); what a count leaves over after that (only a damaged payload's) runs one by one.
template <bool Pair, bool Wide, class Lanes>
[[gnu::always_inline]] inline void bankSamples(const RovuRiza_VoicingBankCoefficients& bank,
                                               const RovuRiza_SectionPoles& poles, float* history1,
                                               float* history2, int count, const float* y,
                                               const float* k, float* out) noexcept
{
    constexpr int kWidth = int(sizeof(Lanes) / sizeof(float));
    const Lanes yA = y[0] - Lanes{}, yB = (Pair ? y[1] : 0.0f) - Lanes{}; // spread: x - 0 is x
    BankSums<Lanes> sums;
    int s = 0;
    for (; s + kWidth <= count; s += kWidth)
        sectionStep<Lanes, Pair, Wide>(bank, poles, history1, history2, s, yA, yB, sums);
    if (s + 4 <= count)
    {
        sectionStep<Lanes, Pair, Wide, true>(bank, poles, history1, history2, s, yA, yB, sums);
        s += 4;
    }
    const Lanes kA = k[0] - Lanes{};
    Lanes outA, outB;
    blend<Wide>(outA, sums.rawA, kA, sums.blendA);
    if constexpr (Pair)
    {
        const Lanes kB = k[1] - Lanes{};
        blend<Wide>(outB, sums.rawB, kB, sums.blendB);
        laneSums(outA, outB, out[0], out[1]);
    }
    else
        out[0] = laneSum(outA);
    if (s < count)
    {
        BankSums<float> rest;
        for (; s < count; ++s)
            sectionStep<float, Pair, Wide>(bank, poles, history1, history2, s, y[0],
                                           Pair ? y[1] : 0.0f, rest);
        float restA, restB;
        blend<Wide>(restA, rest.rawA, k[0], rest.blendA);
        out[0] += restA;
        if constexpr (Pair)
        {
            blend<Wide>(restB, rest.rawB, k[1], rest.blendB);
            out[1] += restB;
        }
    }
}

// The envelope follower for one sample; a non-finite sample would poison the envelope and every
// section's history for good, so it enters as silence instead.
[[gnu::always_inline]] inline float admit(float& y, float& envelope, float envelopeCoef) noexcept
{
    if (!__builtin_isfinite(y)) y = 0.0f;
    float kept = envelopeCoef * envelope, added = (1.0f - envelopeCoef) * __builtin_fabsf(y);
    pin(kept); // never fused, in either build
    pin(added);
    envelope = kept + added;
    return 0.030000001f * envelope;
}

template <bool Wide, class Lanes = Lanes8>
[[gnu::always_inline]] inline void
processBlock(const RovuRiza_VoicingBankCoefficients& bank, const RovuRiza_SectionPoles& poles,
             float* history1, float* history2, float& envelope, float envelopeCoef, float* samples,
             int count) noexcept
{
    // Read once: the history stores could alias it as far as the compiler knows.
    const int sections = bank.sectionCount;
    if (sections <= 0)
    {
        for (int n = 0; n < count; ++n)
        {
            admit(samples[n], envelope, envelopeCoef);
            samples[n] = 0.0f;
        }
        return;
    }
    // Held locally: written through the reference on every sample it would wait on its own store.
    float env = envelope;
    int n = 0;
    for (; n + 2 <= count; n += 2)
    {
        float y[2] = {samples[n], samples[n + 1]};
        const float k[2] = {admit(y[0], env, envelopeCoef), admit(y[1], env, envelopeCoef)};
        bankSamples<true, Wide, Lanes>(bank, poles, history1, history2, sections, y, k,
                                       samples + n);
    }
    if (n < count)
    {
        float y = samples[n];
        const float k = admit(y, env, envelopeCoef);
        bankSamples<false, Wide, Lanes>(bank, poles, history1, history2, sections, &y, &k,
                                        samples + n);
    }
    envelope = env;
}
} // namespace
