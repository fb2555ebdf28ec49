// The error the stand-in host throws when it refuses something (a bundle, a sample rate):
// the message says what failed.
#pragma once

#include <stdexcept>
#include <string>

namespace tavelo::host
{

class HostError : public std::runtime_error
{
public:
    explicit HostError(const std::string& inMessage) : std::runtime_error(inMessage) {}
};

} // namespace tavelo::host
