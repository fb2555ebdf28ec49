// Cabinet-and-microphone voicings: the level-dependent bank (audio thread) and the builder of
// the port-7 payload (host non-real-time thread, called by the data model).
#pragma once

#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_VoicingList.h"

// The voicing index (0 to kRovuRizaVoicingCount - 1) a normalized "Sound" value selects; -1 when it
// names none.
int RovuRiza_VoicingIndexFromValue(float soundValue) noexcept;

// The raw gain table of a voicing index for a host rate (base family up to 66000 Hz).
const float* RovuRiza_VoicingTable(int index, double sampleRate) noexcept;

// Rebuilds the 1616-byte payload in place from the "Sound" value and the host rate; keeps the
// previous table for an out-of-range index and leaves an empty payload empty.
void RovuRiza_BuildVoicingPayload(float soundValue, double sampleRate,
                                  RovuRiza_VoicingPayload& payload) noexcept;

// The bank's gains for one render call, prepared on the audio thread (it lives on its stack):
// the raw table split into its two gains per section, and how far the scaled gains lie from
// them, so that each sample blends them as raw + k * (scaled - raw).
struct alignas(32) RovuRiza_VoicingBankCoefficients
{
    float t0[kRovuRizaSectionCount]; // raw gain on the section's new value
    float t1[kRovuRizaSectionCount]; // raw gain on its previous value
    float d0[kRovuRizaSectionCount]; // scaled minus raw, new value
    float d1[kRovuRizaSectionCount]; // scaled minus raw, previous value
    int sectionCount;                // sections that run (first entries valid); 0 is silence
};
static_assert(sizeof(RovuRiza_VoicingBankCoefficients) <= 2048);

// Splits and differences the payload's gains. An empty payload, a null table or a count below 1
// prepares a silent bank; a count above 100 runs the 100 sections that have poles.
void RovuRiza_PrepareVoicingBank(const RovuRiza_VoicingPayload& payload,
                                 RovuRiza_VoicingBankCoefficients& bank) noexcept;

// count host samples in place through the envelope follower and the bank (each already scaled
// by Volume); count <= 0 does nothing. A non-finite sample enters as silence. The histories hold
// one value per section: only the first bank.sectionCount entries are read or written.
void RovuRiza_VoicingProcessBlock(const RovuRiza_VoicingBankCoefficients& bank,
                                  const RovuRiza_SectionPoles& poles, float* history1,
                                  float* history2, float& envelope, float envelopeCoef,
                                  float* samples, int count) noexcept;

// The builds RovuRiza_VoicingProcessBlock picks between when the library loads, named for the
// tests that run the ones this processor does not use. The wide build runs only on processors
// with AVX2 and FMA, the 512-bit one only where RovuRiza_HasVector512Units().
void RovuRiza_VoicingBlockBaseline(const RovuRiza_VoicingBankCoefficients& bank,
                                   const RovuRiza_SectionPoles& poles, float* history1,
                                   float* history2, float& envelope, float envelopeCoef,
                                   float* samples, int count) noexcept;
void RovuRiza_VoicingBlockWide(const RovuRiza_VoicingBankCoefficients& bank,
                               const RovuRiza_SectionPoles& poles, float* history1, float* history2,
                               float& envelope, float envelopeCoef, float* samples,
                               int count) noexcept;
void RovuRiza_VoicingBlockWide512(const RovuRiza_VoicingBankCoefficients& bank,
                                  const RovuRiza_SectionPoles& poles, float* history1,
                                  float* history2, float& envelope, float envelopeCoef,
                                  float* samples, int count) noexcept;

// One host sample through the envelope follower and the bank; y is already scaled by Volume.
// Prepares the gains on every call: a render loop prepares once and runs blocks instead.
float RovuRiza_VoicingProcess(const RovuRiza_VoicingPayload& payload,
                              const RovuRiza_SectionPoles& poles, float* history1, float* history2,
                              float& envelope, float envelopeCoef, float y) noexcept;
