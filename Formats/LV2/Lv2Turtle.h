// The bundle's Turtle, written from the C++ tables (controls, voicing and pickup names, port
// layout), so the description always matches the code. Used by the build's generator and by
// `tavelo preset export-lv2`.
#pragma once

#include <string>
#include <vector>

namespace tavelo::lv2
{

// Port symbol of a port index (the stereo layout; the mono one is its prefix).
const char* PortSymbol(unsigned port);

// One preset: a URI (or "" for the document's own, as a saved preset file names itself), a
// label, and the value of each control input port by symbol.
struct PresetValues
{
    std::string uri;
    std::string label;
    std::vector<std::pair<std::string, float>> ports;
};

// The factory presets: clean, edge of break-up, full drive, tremolo.
std::vector<PresetValues> FactoryPresets();

// Port values of the engine's normalized control values (in the control table's order).
PresetValues PresetOfNormalized(const std::string& uri, const std::string& label,
                                const double normalized[], int count);

std::string ManifestTurtle(const std::string& pluginBinary, const std::string& uiBinary);
std::string PluginsTurtle();
std::string PresetsTurtle(const std::vector<PresetValues>& presets);

} // namespace tavelo::lv2
