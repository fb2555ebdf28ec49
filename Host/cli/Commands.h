// The `tavelo` subcommands. Each takes its arguments (after the subcommand's name) and returns
// the exit status; bad arguments throw UsageError, failures Failure.
#pragma once

#include <string>
#include <vector>

namespace tavelo::cli
{

using Arguments = std::vector<std::string>;

int runRender(const Arguments& args);
int runDescribe(const Arguments& args);
int runParams(const Arguments& args);
int runPreset(const Arguments& args);
int runPresetExportLv2(const Arguments& args);
int runEditor(const Arguments& args);
int runPlot(const Arguments& args);
int runLive(const Arguments& args);

} // namespace tavelo::cli
