// The voicing bank's kernel for processors with 8-lane vector units and fused multiply-add. This
// file alone is compiled for that instruction set; the loader calls it only where it exists.
#include "Voicing/RovuRiza_VoicingKernel.h"

// Neither build fuses the recursions or the envelope: near the unit circle a changed rounding
// would be carried on for thousands of samples. This build fuses one product of each pair of
// section terms into its sum; the two builds differ by that rounding in the output.
void RovuRiza_VoicingBlockWide(const RovuRiza_VoicingBankCoefficients& bank,
                               const RovuRiza_SectionPoles& poles, float* history1, float* history2,
                               float& envelope, float envelopeCoef, float* samples,
                               int count) noexcept
{
    processBlock<true>(bank, poles, history1, history2, envelope, envelopeCoef, samples, count);
}
