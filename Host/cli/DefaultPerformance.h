// The built-in default input of `tavelo render`: a deterministic DI guitar performance
// (strummed chords and single-note lines) synthesized here, so the demo needs no recording.
#pragma once

#include <vector>

namespace tavelo::cli
{

// About 20 seconds of mono DI guitar at the given rate, peaking near -6 dBFS.
std::vector<float> synthesizeDefaultPerformance(double sampleRate);

} // namespace tavelo::cli
