// Walks a subcommand's arguments: options with values, bounded integers, --help.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "Session.h"

namespace tavelo::cli
{

class ArgumentReader
{
public:
    explicit ArgumentReader(const std::vector<std::string>& args) : mArgs(args) {}

    bool done() const { return mIndex >= mArgs.size(); }
    std::string next() { return mArgs[mIndex++]; }
    bool wantsHelp() const
    {
        for (const auto& a : mArgs)
            if (a == "--help" || a == "-h") return true;
        return false;
    }
    // The word after `option`; throws UsageError when there is none.
    std::string value(const std::string& option)
    {
        if (done()) throw UsageError(option + " needs a value");
        return next();
    }
    long long integer(const std::string& option, long long lo, long long hi)
    {
        const std::string text = value(option);
        char* end = nullptr;
        const long long v = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || v < lo || v > hi)
            throw UsageError(option + " wants a whole number from " + std::to_string(lo) + " to " +
                             std::to_string(hi) + ", got \"" + text + "\"");
        return v;
    }

private:
    const std::vector<std::string>& mArgs;
    size_t mIndex = 0;
};

int runPlotRender(ArgumentReader& reader);

} // namespace tavelo::cli
