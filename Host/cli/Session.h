// What every `tavelo` subcommand shares: argument errors, the bundle and one instance set up
// through the stand-in host, with presets and --set values applied as a host applies them.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostInstance.h"
#include "PluginBundle.h"

namespace tavelo::cli
{

class ArgumentReader;

// A bad argument: one line on stderr, exit status 2.
struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};
// A failure while doing what was asked: one line on stderr, exit status 1.
struct Failure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct ParameterSetting
{
    std::string id;   // identifier or host name, as typed
    std::string text; // normalized value, entry title or #index
};

// Parses "ID=VALUE"; throws UsageError.
ParameterSetting parseSetting(const std::string& argument);

// Resolves a setting against the instance's parameters: the identifier, and the normalized
// value. Throws UsageError for an unknown parameter or a value outside 0..1.
std::pair<std::string, double> resolveSetting(const host::HostInstance& instance,
                                              const ParameterSetting& setting);

// Menu entry titles of the two choice parameters ("Sound" and "Pickup").
const std::vector<std::string>& entryTitles(const std::string& identifier);

// One decoded entry of a chunk's data area.
struct ChunkEntry
{
    std::string name;
    char tag = 0;
    double number = 0;
    std::string text;
};

// Reads a preset file (a chunk record) and checks its header and every entry; throws Failure
// with a clear message when damaged. Every command that takes a preset reads it through this.
std::vector<uint8_t> readPresetFile(const std::string& path);
// The entries of a record that readPresetFile accepted.
std::vector<ChunkEntry> decodePresetEntries(const std::vector<uint8_t>& record);
// Writes atomically (temporary file, then rename); throws Failure.
void writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// The bundle to load: --bundle, else $TAVELO_BUNDLE, else beside the executable, else the
// build's own.
std::string locateBundle(const std::string& requested);

struct SessionOptions
{
    std::string bundle;
    AAX_EStemFormat stemFormat = AAX_eStemFormat_Mono;
    double sampleRate = 48000.0;
    int32_t blockSize = 512;
    std::optional<std::string> preset;
    std::vector<ParameterSetting> settings;
    bool bypass = false;
};

// Takes the value of a session option every instance-based command accepts (--set ID=VALUE,
// --preset FILE, --bundle PATH) when `option` is one; false when it is not.
bool readSessionOption(ArgumentReader& reader, const std::string& option, SessionOptions& options);

class Session
{
public:
    explicit Session(const SessionOptions& options); // throws Failure / UsageError
    ~Session();

    host::PluginBundle& bundle() { return *mBundle; }
    host::HostInstance& instance() { return *mInstance; }
    double setupMilliseconds() const { return mSetupMilliseconds; }

private:
    std::unique_ptr<host::PluginBundle> mBundle;
    std::unique_ptr<host::HostInstance> mInstance;
    double mSetupMilliseconds = 0;
};

double elapsedMilliseconds(std::chrono::steady_clock::time_point since);

} // namespace tavelo::cli
