#include "Voicing/RovuRiza_Voicing.h"

#include "Engine/RovuRiza_VectorUnits.h"

#include <cmath>

#include "Voicing/RovuRiza_VoicingGains.h"
#include "Voicing/RovuRiza_VoicingKernel.h"

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

} // namespace

int RovuRiza_VoicingIndexFromValue(float soundValue) noexcept
{
    const float scaled = soundValue * 100.0f + 0.5f;
    // The host's 100 steps run past the last voicing; the menu shows the last one for all of
    // them, so that is what plays (rather than whatever voicing came before, or silence).
    if (scaled >= float(kRovuRizaVoicingCount)) return kRovuRizaVoicingCount - 1;
    // Truncation toward zero maps (-1, count) onto the indices; anything else (NaN included) is
    // outside.
    if (!(scaled > -1.0f)) return -1;
    return static_cast<int>(scaled);
}

const float* RovuRiza_VoicingTable(int index, double sampleRate) noexcept
{
    if (index < 0 || index >= kRovuRizaVoicingCount) return nullptr;
    return UsesBaseFamily(sampleRate) ? kRovuRizaVoicingTablesBase[index]
                                      : kRovuRizaVoicingTables96[index];
}

void RovuRiza_BuildVoicingPayload(float soundValue, double sampleRate,
                                  RovuRiza_VoicingPayload& payload) noexcept
{
    const int index = RovuRiza_VoicingIndexFromValue(soundValue);
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
using BlockFunction = void (*)(const RovuRiza_VoicingBankCoefficients&,
                               const RovuRiza_SectionPoles&, float*, float*, float&, float, float*,
                               int) noexcept;
} // namespace

void RovuRiza_PrepareVoicingBank(const RovuRiza_VoicingPayload& payload,
                                 RovuRiza_VoicingBankCoefficients& bank) noexcept
{
    int count = payload.sectionCount;
    if (count <= 0 || payload.rawTable == nullptr)
        count = 0;
    else if (count > kRovuRizaSectionCount)
        count = kRovuRizaSectionCount; // poles exist for 100 sections only
    bank.sectionCount = count;
    const float* table = payload.rawTable;
    const float* gains = payload.scaledGains;
    // Plain copies: the preparation runs once per call and its stores, not shuffles, set its pace.
    for (int s = 0; s < count; ++s)
    {
        bank.t0[s] = table[2 * s];
        bank.t1[s] = table[2 * s + 1];
        bank.d0[s] = gains[2 * s] - table[2 * s];
        bank.d1[s] = gains[2 * s + 1] - table[2 * s + 1];
    }
}

// The baseline build of the kernel; the 8- and 16-lane builds live in translation units of their
// own, compiled for those instruction sets (RovuRiza_VoicingWide.cpp, RovuRiza_VoicingWide512.cpp).
void RovuRiza_VoicingBlockBaseline(const RovuRiza_VoicingBankCoefficients& bank,
                                   const RovuRiza_SectionPoles& poles, float* history1,
                                   float* history2, float& envelope, float envelopeCoef,
                                   float* samples, int count) noexcept
{
    processBlock<false>(bank, poles, history1, history2, envelope, envelopeCoef, samples, count);
}

// Chosen once, when the library is loaded. It runs during relocation, before any sanitizer
// runtime has set itself up, so it is left uninstrumented.
extern "C" __attribute__((no_sanitize("address", "undefined", "thread"))) BlockFunction
RovuRiza_ResolveVoicingProcessBlock() noexcept
{
    return RovuRiza_PickBuild<BlockFunction>(
        RovuRiza_VoicingBlockBaseline, RovuRiza_VoicingBlockWide, RovuRiza_VoicingBlockWide512);
}

void RovuRiza_VoicingProcessBlock(const RovuRiza_VoicingBankCoefficients& bank,
                                  const RovuRiza_SectionPoles& poles, float* history1,
                                  float* history2, float& envelope, float envelopeCoef,
                                  float* samples, int count) noexcept
    __attribute__((ifunc("RovuRiza_ResolveVoicingProcessBlock")));

float RovuRiza_VoicingProcess(const RovuRiza_VoicingPayload& payload,
                              const RovuRiza_SectionPoles& poles, float* history1, float* history2,
                              float& envelope, float envelopeCoef, float y) noexcept
{
    RovuRiza_VoicingBankCoefficients bank;
    RovuRiza_PrepareVoicingBank(payload, bank);
    RovuRiza_VoicingProcessBlock(bank, poles, history1, history2, envelope, envelopeCoef, &y, 1);
    return y;
}
