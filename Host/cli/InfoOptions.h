// What the information commands (describe, params, preset) share: their common options and
// how they print a four-character code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Commands.h"
#include "Session.h"

namespace tavelo::cli
{

struct InfoOptions
{
    bool json = false;
    SessionOptions session;
    std::vector<std::string> positionals;
};

// Reads --json, --bundle and the operands; with allowSettings also --set and --preset.
InfoOptions parseInfo(const Arguments& args, bool allowSettings);

// The four characters of a code, '?' for any that does not print.
std::string fourCC(uint32_t v);

} // namespace tavelo::cli
