// Host sample rates the plug-in can run at: the internal-rate section keeps at most twelve
// internal samples per host sample, so 16000 Hz is the floor; 192000 Hz is the ceiling.
#pragma once

#include <optional>
#include <string>

namespace tavelo::host
{

inline constexpr double kMinSampleRate = 16000.0;
inline constexpr double kMaxSampleRate = 192000.0;

// Nothing for a supported rate, otherwise the reason it is refused.
std::optional<std::string> checkSampleRate(double inSampleRate);
// Throws HostError for a rate outside 16000-192000 Hz (NaN and infinities included).
void validateSampleRate(double inSampleRate);

} // namespace tavelo::host
