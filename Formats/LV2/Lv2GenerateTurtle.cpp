// Build-time generator: writes the bundle's manifest.ttl, Tavelo1.ttl and presets.ttl into the
// folder given, from the same tables the plug-in is compiled from.
#include <cstdio>
#include <fstream>
#include <string>

#include "Lv2Turtle.h"

namespace
{
bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::trunc);
    file << text;
    if (file.flush()) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: %s BUNDLE_DIR PLUGIN_BINARY UI_BINARY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    using namespace tavelo::lv2;
    const bool written = WriteFile(dir + "/manifest.ttl", ManifestTurtle(argv[2], argv[3])) &&
                         WriteFile(dir + "/Tavelo1.ttl", PluginsTurtle()) &&
                         WriteFile(dir + "/presets.ttl", PresetsTurtle(FactoryPresets()));
    return written ? 0 : 1;
}
