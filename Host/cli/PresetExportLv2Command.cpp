// `tavelo preset export-lv2 FILE.elck OUT.ttl`: the settings of a saved preset as an LV2
// preset (pset:Preset) of the Tavelo1 LV2 plug-ins. The preset is restored into an instance,
// as a host restores it, and the instance's parameter values are written, so whatever the
// plug-in accepts from a chunk is what the LV2 preset holds.
#include <cstdio>
#include <filesystem>
#include <vector>

#include "ArgumentReader.h"
#include "Commands.h"
#include "Engine/RovuRiza_Controls.h"
#include "Lv2Turtle.h"
#include "Session.h"

namespace tavelo::cli
{
namespace
{
constexpr const char* kExportHelp = R"(usage: tavelo preset export-lv2 FILE OUT.ttl [--bundle PATH]

Writes the settings of preset FILE (saved with `tavelo preset save`) as an LV2 preset of the
Tavelo1 LV2 plug-ins (mono and stereo). The preset's label is OUT's file name. To use it, put
OUT.ttl in a bundle folder under ~/.lv2 with a manifest.ttl naming it (see the README).
)";
} // namespace

int runPresetExportLv2(const Arguments& args)
{
    ArgumentReader reader(args);
    if (reader.wantsHelp()) return std::fputs(kExportHelp, stdout), 0;
    SessionOptions options;
    std::vector<std::string> positionals;
    while (!reader.done())
    {
        const std::string a = reader.next();
        if (a == "--bundle")
            options.bundle = reader.value(a);
        else if (!a.empty() && a[0] == '-')
            throw UsageError("preset export-lv2: unknown option " + a);
        else
            positionals.push_back(a);
    }
    if (positionals.size() != 2)
        throw UsageError("preset export-lv2 wants FILE and OUT.ttl (see tavelo preset --help)");
    options.preset = positionals[0];
    Session session(options);
    double normalized[kRovuRizaControlCount] = {};
    for (int c = 0; c < kRovuRizaControlCount; ++c)
        if (session.instance().GetParameter(kRovuRizaControls[c].identifier, &normalized[c]) !=
            AAX_SUCCESS)
            throw Failure(std::string("the instance has no parameter ") +
                          kRovuRizaControls[c].identifier);
    const std::string label = std::filesystem::path(positionals[1]).stem().string();
    const lv2::PresetValues preset =
        lv2::PresetOfNormalized("", label, normalized, kRovuRizaControlCount);
    const std::string text = lv2::PresetsTurtle({preset});
    writeFileAtomically(positionals[1], std::vector<uint8_t>(text.begin(), text.end()));
    std::printf("wrote %s (LV2 preset \"%s\")\n", positionals[1].c_str(), label.c_str());
    return 0;
}

} // namespace tavelo::cli
