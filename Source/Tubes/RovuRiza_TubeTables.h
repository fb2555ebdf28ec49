// The ten dense tube tables, sampled from the fitted polynomials on the set-up path
// (host non-real-time thread); the circuit step reads them by bilinear interpolation.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

void RovuRiza_FillTubeTables(float (&tables)[kRovuRizaTubeTableCount][kRovuRizaTubeRows]
                                            [kRovuRizaTubeColumns]) noexcept;
