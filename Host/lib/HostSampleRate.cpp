#include "HostSampleRate.h"

#include "HostError.h"

#include <cmath>
#include <cstdio>

namespace tavelo::host
{

std::optional<std::string> checkSampleRate(double inSampleRate)
{
    if (std::isfinite(inSampleRate) && inSampleRate >= kMinSampleRate &&
        inSampleRate <= kMaxSampleRate)
        return std::nullopt;
    char message[160];
    std::snprintf(message, sizeof message,
                  "unsupported sample rate %g Hz: the plug-in runs at 16000 to 192000 Hz",
                  inSampleRate);
    return std::string(message);
}

void validateSampleRate(double inSampleRate)
{
    if (auto problem = checkSampleRate(inSampleRate)) throw HostError(*problem);
}

} // namespace tavelo::host
