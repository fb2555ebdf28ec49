// The concurrency test drives the parameter side only and never sets up private blocks. These
// stand-ins keep the model-state set-up (and with it the tube-table fill, whose
// processor-specific variants are chosen by a resolver that runs before ThreadSanitizer is
// initialised) out of that program.
#include "ModelState/RovuRiza_ModelState.h"

void RovuRiza_SetUpSectionPoles(void*, uint32_t, float) noexcept {}

void RovuRiza_SetUpModelState(void*, uint32_t, float, const float[9], const float[9]) noexcept {}
