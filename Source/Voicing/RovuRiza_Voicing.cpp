#include "Voicing/RovuRiza_Voicing.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "Voicing/RovuRiza_VoicingGains.h"

const char* const kRovuRizaVoicingNames[kRovuRizaVoicingCount] = {
    "1 Roy + 57 - Older",   "2 Senn + 57 - Older",
    "3 Roy + Senn - Older", "4 Roy + 57 + Senn - Older",
    "5 Roy + 57 - Newer",   "6 Senn + 57 - Newer",
    "7 Roy + Senn - Newer", "8 Roy + 57 + Senn - Newer",
    "9 Senn - Neutral",     "10 Senn - Brighter",
    "11 Senn - Darker",     "12 Senn - Darkest",
    "13 Senn - Fat",        "14 Senn - Light",
    "15 Roy - Neutral",     "16 Roy - Brighter",
    "17 Roy - Darker",      "18 Roy - Darkest",
    "19 Roy - Fat",         "20 Roy - Light",
    "21 57 - Neutral",      "22 57 - Brighter",
    "23 57 - Darker",       "24 57 - Darkest",
    "25 57 - Fat",          "26 57 - Back",
    "27 57 - Light",        "28 Neu - Old"};

namespace
{
// Host rates up to and including this use the base family.
constexpr double kBaseFamilyMaxRate = 66000.0;

bool UsesBaseFamily(double sampleRate) noexcept
{
    // An unknown or nonsensical rate falls back to the base family rather than failing.
    if (!std::isfinite(sampleRate) || sampleRate <= 0.0) return true;
    return sampleRate <= kBaseFamilyMaxRate;
}

// A payload that arrives with a foreign table reference must never be dereferenced.
bool IsKnownTable(const float* table) noexcept
{
    if (table == nullptr) return false;
    for (int i = 0; i < kRovuRizaVoicingCount; ++i)
        if (table == kRovuRizaVoicingTablesBase[i] || table == kRovuRizaVoicingTables96[i])
            return true;
    return false;
}

// Voicing index from the normalized "Sound" value; -1 when it names no voicing.
int VoicingIndexFromValue(float soundValue) noexcept
{
    const float scaled = soundValue * 100.0f + 0.5f;
    // Truncation toward zero maps (-1, 28) onto 0..27; anything else (NaN included) is outside.
    if (!(scaled > -1.0f && scaled < float(kRovuRizaVoicingCount))) return -1;
    return static_cast<int>(scaled);
}
} // namespace

const float* RovuRiza_VoicingTable(int index, double sampleRate) noexcept
{
    if (index < 0 || index >= kRovuRizaVoicingCount) return nullptr;
    return UsesBaseFamily(sampleRate) ? kRovuRizaVoicingTablesBase[index]
                                      : kRovuRizaVoicingTables96[index];
}

void RovuRiza_BuildVoicingPayload(float soundValue, double sampleRate,
                                  RovuRiza_VoicingPayload& payload) noexcept
{
    const int index = VoicingIndexFromValue(soundValue);
    int count = 0;
    if (index >= 0)
    {
        payload.sectionCount = kRovuRizaSectionCount;
        payload.rawTable = RovuRiza_VoicingTable(index, sampleRate);
        count = kRovuRizaSectionCount;
    }
    else
    {
        count = payload.sectionCount;
        if (count <= 0) return; // never chosen: the payload stays empty
        if (!IsKnownTable(payload.rawTable))
        {
            // A corrupted payload: silence it rather than read through a stray reference.
            payload.sectionCount = 0;
            return;
        }
        if (count > kRovuRizaSectionCount)
            count = kRovuRizaSectionCount; // the tables hold no more sections
    }
    const float* table = payload.rawTable;
    for (int j = 0; j < 2 * count; j += 2)
    {
        payload.scaledGains[j] = table[j] * 1.5f;
        payload.scaledGains[j + 1] = table[j + 1] * 0.5f;
    }
}

namespace
{
typedef float Lanes8 __attribute__((vector_size(8 * sizeof(float))));

// Vectors pass by reference: the baseline build has no 8-lane registers to pass them in.
[[gnu::always_inline]] inline void load8(Lanes8& v, const float* p) noexcept
{
    std::memcpy(&v, p, sizeof v);
}

[[gnu::always_inline]] inline void store8(float* p, const Lanes8& v) noexcept
{
    std::memcpy(p, &v, sizeof v);
}

// Even and odd entries of 16 interleaved values: the tables hold each section's two gains side by
// side.
[[gnu::always_inline]] inline void deinterleave(const float* p, Lanes8& even, Lanes8& odd) noexcept
{
    Lanes8 lo, hi;
    load8(lo, p);
    load8(hi, p + 8);
    even = __builtin_shufflevector(lo, hi, 0, 2, 4, 6, 8, 10, 12, 14);
    odd = __builtin_shufflevector(lo, hi, 1, 3, 5, 7, 9, 11, 13, 15);
}

[[gnu::always_inline]] inline float processBank(const RovuRiza_VoicingPayload& payload,
                                                const RovuRiza_SectionPoles& poles, float* history1,
                                                float* history2, float& envelope,
                                                float envelopeCoef, float y) noexcept
{
    // A non-finite sample would poison the envelope and every section's history for good;
    // it enters as silence instead.
    if (!std::isfinite(y)) y = 0.0f;
    envelope = envelopeCoef * envelope + (1.0f - envelopeCoef) * std::fabs(y);

    int count = payload.sectionCount;
    if (count <= 0 || payload.rawTable == nullptr) return 0.0f;
    if (count > kRovuRizaSectionCount)
        count = kRovuRizaSectionCount; // poles exist for 100 sections only

    const float k = 0.030000001f * envelope;
    const float rawWeight = 1.0f - k;
    const float* table = payload.rawTable;
    const float* gains = payload.scaledGains;
    const float* a1 = poles.poleA1;
    const float* a2 = poles.poleA2;

    // Eight sections side by side, each in its own lane with its own partial sum; the result
    // differs from a single running sum only by float32 summation order. (x - 0 is an exact
    // broadcast of x.)
    const Lanes8 yLanes = y - Lanes8{};
    const Lanes8 kLanes = k - Lanes8{};
    const Lanes8 rawLanes = rawWeight - Lanes8{};
    Lanes8 acc = {};
    int s = 0;
    for (; s + 8 <= count; s += 8)
    {
        Lanes8 h1, h2, p1, p2;
        load8(h1, history1 + s);
        load8(h2, history2 + s);
        load8(p1, a1 + s);
        load8(p2, a2 + s);
        const Lanes8 w = yLanes - p1 * h1 - p2 * h2;
        store8(history2 + s, h1);
        store8(history1 + s, w);
        Lanes8 g0, g1, t0, t1;
        deinterleave(gains + 2 * s, g0, g1);
        deinterleave(table + 2 * s, t0, t1);
        const Lanes8 c0 = kLanes * g0 + rawLanes * t0;
        const Lanes8 c1 = kLanes * g1 + rawLanes * t1;
        acc += c0 * w + c1 * h1;
    }
    float out = ((acc[0] + acc[4]) + (acc[1] + acc[5])) + ((acc[2] + acc[6]) + (acc[3] + acc[7]));
    for (; s < count; ++s)
    {
        const float h1 = history1[s];
        const float w = y - a1[s] * h1 - a2[s] * history2[s];
        history2[s] = h1;
        history1[s] = w;
        const float c0 = k * gains[2 * s] + rawWeight * table[2 * s];
        const float c1 = k * gains[2 * s + 1] + rawWeight * table[2 * s + 1];
        out += c0 * w + c1 * h1;
    }
    return out;
}

// Built twice: with 8-lane vector units where the processor has them, and for the baseline.
// Neither fuses multiply-adds: the recursions near the unit circle would carry the changed
// rounding on for thousands of samples.
__attribute__((target("avx2"))) float vectorBank(const RovuRiza_VoicingPayload& payload,
                                                 const RovuRiza_SectionPoles& poles,
                                                 float* history1, float* history2, float& envelope,
                                                 float envelopeCoef, float y) noexcept
{
    return processBank(payload, poles, history1, history2, envelope, envelopeCoef, y);
}

float baselineBank(const RovuRiza_VoicingPayload& payload, const RovuRiza_SectionPoles& poles,
                   float* history1, float* history2, float& envelope, float envelopeCoef,
                   float y) noexcept
{
    return processBank(payload, poles, history1, history2, envelope, envelopeCoef, y);
}

using BankFunction = float (*)(const RovuRiza_VoicingPayload&, const RovuRiza_SectionPoles&, float*,
                               float*, float&, float, float) noexcept;
} // namespace

// Chosen once, when the library is loaded. It runs during relocation, before any sanitizer
// runtime has set itself up, so it is left uninstrumented.
extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) BankFunction
RovuRiza_ResolveVoicingProcess() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? vectorBank : baselineBank;
}

float RovuRiza_VoicingProcess(const RovuRiza_VoicingPayload& payload,
                              const RovuRiza_SectionPoles& poles, float* history1, float* history2,
                              float& envelope, float envelopeCoef, float y) noexcept
    __attribute__((ifunc("RovuRiza_ResolveVoicingProcess")));
