// The ten dense tube tables, sampled from the fitted polynomials on the set-up path
// (host non-real-time thread); the circuit step reads them by bilinear interpolation.
#pragma once

#include "ModelState/RovuRiza_ModelState.h"

// The process-wide copy every record points its render at, in the layout RovuRiza_TubeTableStart
// describes (set-up path, any number of threads
// at once): built by the first call, then read-only and never freed, so a record may point at it
// for as long as the process runs, whatever other instances come and go.
const float* RovuRiza_SharedTubeTables() noexcept;

// A private copy of the same values, one table after another ([table][row][column]), for callers
// that want their own.
void RovuRiza_FillTubeTables(
    float (&tables)[kRovuRizaTubeTableCount][kRovuRizaTubeRows][kRovuRizaTubeColumns]) noexcept;
