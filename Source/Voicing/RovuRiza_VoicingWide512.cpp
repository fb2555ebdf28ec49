// The voicing bank's kernel for processors with the 512-bit set: the wide build's operations in
// 16 lanes, so a sample's 100 sections take seven vector steps instead of thirteen. This file
// alone is compiled for that instruction set; the loader calls it only where it exists.
#include "Voicing/RovuRiza_VoicingKernel.h"

// Each section sees the operations of the wide build in the same order; only the final sum over
// the lanes adds the sections in another order, so the two builds differ by that rounding in the
// output, never in what a section carries on.
void RovuRiza_VoicingBlockWide512(const RovuRiza_VoicingBankCoefficients& bank,
                                  const RovuRiza_SectionPoles& poles, float* history1,
                                  float* history2, float& envelope, float envelopeCoef,
                                  float* samples, int count) noexcept
{
    processBlock<true, Lanes<16>>(bank, poles, history1, history2, envelope, envelopeCoef, samples,
                                  count);
}
