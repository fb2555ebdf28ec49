// `tavelo`: a command-line host for Tavelo1 on the stand-in host library. Everything it does
// goes through the real path: the bundle loaded with dlopen, described, instantiated through
// its factory, parameters as confirmed set-value requests, packets to the data ports and the
// render callback on the host's audio thread.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Commands.h"
#include "Session.h"

namespace
{

constexpr const char* kUsage = R"(usage: tavelo <command> [options]

commands:
  render [INPUT] OUTPUT   render a file (or the built-in DI performance) through Tavelo1
  describe                the effect description as the host recorded it
  params                  the parameters of an instance, with their values and texts
  preset save|show FILE   write or decode a preset (the host's chunk record)
  preset export-lv2 FILE OUT.ttl   the preset's settings as an LV2 preset
  editor                  open the editor (X11 window, or --screenshot OUT.png)
  plot voicings|render    PNG pictures of the voicings or of a render
  live                    play in real time as a JACK client, with the editor open

`tavelo <command> --help` describes each command.
)";

} // namespace

int main(int argc, char** argv)
{
    using namespace tavelo::cli;
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty())
    {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = all[0];
    const Arguments args(all.begin() + 1, all.end());
    try
    {
        if (command == "--help" || command == "-h" || command == "help")
            return std::fputs(kUsage, stdout), 0;
        if (command == "render") return runRender(args);
        if (command == "describe") return runDescribe(args);
        if (command == "params") return runParams(args);
        if (command == "preset") return runPreset(args);
        if (command == "editor") return runEditor(args);
        if (command == "plot") return runPlot(args);
        if (command == "live") return runLive(args);
        throw UsageError("unknown command \"" + command + "\" (see tavelo --help)");
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "tavelo: %s\n", e.what());
        return 2;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "tavelo: %s\n", e.what());
        return 1;
    }
}
