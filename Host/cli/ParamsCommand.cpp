// `tavelo params`: the parameters of a fresh instance, with their values and texts.
#include <cstdio>

#include "ArgumentReader.h"
#include "Commands.h"
#include "InfoOptions.h"
#include "Json.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kParamsHelp =
    R"(usage: tavelo params [--json] [--preset FILE] [--set ID=VALUE ...] [--bundle PATH]

Lists each parameter of a fresh instance (after the preset and settings): identifier, host
name, default, steps, type, normalized value and value string.
)";

} // namespace

int runParams(const Arguments& args)
{
    if (ArgumentReader(args).wantsHelp()) return std::fputs(kParamsHelp, stdout), 0;
    const InfoOptions o = parseInfo(args, true);
    if (!o.positionals.empty()) throw UsageError("params takes no operands");
    Session session(o.session);
    const auto params = session.instance().ListParameters();
    if (o.json)
    {
        JsonWriter j;
        j.beginArray();
        for (const auto& p : params)
            j.beginObject()
                .field("index", p.index)
                .field("id", p.identifier)
                .field("name", p.name)
                .field("default", p.defaultNormalized)
                .field("steps", p.steps)
                .field("type", p.type == AAX_eParameterType_Discrete ? "discrete" : "continuous")
                .field("value", p.normalized)
                .field("text", p.valueString)
                .endObject();
        j.endArray();
        std::printf("%s\n", j.str().c_str());
        return 0;
    }
    std::printf("%-3s %-15s %-14s %-8s %-6s %-11s %-9s %s\n", "#", "identifier", "name", "default",
                "steps", "type", "value", "text");
    for (const auto& p : params)
        std::printf("%-3d %-15s %-14s %-8.4g %-6d %-11s %-9.4g %s\n", p.index, p.identifier.c_str(),
                    p.name.c_str(), p.defaultNormalized, p.steps,
                    p.type == AAX_eParameterType_Discrete ? "discrete" : "continuous", p.normalized,
                    p.valueString.c_str());
    return 0;
}

} // namespace tavelo::cli
