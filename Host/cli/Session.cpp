#include "Session.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "AAX_CChunkDataParser.h"
#include "ArgumentReader.h"
#include "HostError.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace tavelo::cli
{
namespace
{

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool parseNumber(const std::string& text, double& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

constexpr uint32_t kChunkHeaderSize = 56;

} // namespace

double elapsedMilliseconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

ParameterSetting parseSetting(const std::string& argument)
{
    const auto equals = argument.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError("--set wants ID=VALUE, got \"" + argument + "\"");
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

const std::vector<std::string>& entryTitles(const std::string& identifier)
{
    static const std::vector<std::string> sound(std::begin(kRovuRizaVoicingNames),
                                                std::end(kRovuRizaVoicingNames));
    static const std::vector<std::string> pickup{"Vintage Pickup 1", "Modern Pickup 1"};
    static const std::vector<std::string> none;
    if (identifier == "Sound") return sound;
    if (identifier == "Pickup") return pickup;
    return none;
}

std::pair<std::string, double> resolveSetting(const host::HostInstance& instance,
                                              const ParameterSetting& setting)
{
    const std::string wanted = lower(setting.id);
    std::string identifier;
    for (const auto& p : instance.ListParameters())
        if (lower(p.identifier) == wanted || lower(p.name) == wanted) identifier = p.identifier;
    if (identifier.empty())
        throw UsageError("unknown parameter \"" + setting.id +
                         "\" (see `tavelo params` for identifiers and names)");

    const auto& titles = entryTitles(identifier);
    double value = 0;
    if (!titles.empty() && !setting.text.empty() && setting.text[0] == '#')
    {
        double index = 0;
        if (!parseNumber(setting.text.substr(1), index) || index != std::floor(index) ||
            index < 0 || index >= double(titles.size()))
            throw UsageError(identifier + ": entry " + setting.text + " does not exist (#0 to #" +
                             std::to_string(titles.size() - 1) + ")");
        return {identifier, index * 0.01};
    }
    if (parseNumber(setting.text, value))
    {
        if (!(value >= 0.0 && value <= 1.0))
            throw UsageError(identifier + ": value " + setting.text +
                             " is outside the normalized range 0 to 1");
        return {identifier, value};
    }
    for (size_t k = 0; k < titles.size(); ++k)
        if (lower(titles[k]) == lower(setting.text)) return {identifier, double(k) * 0.01};
    throw UsageError(identifier + ": \"" + setting.text + "\" is not a number from 0 to 1" +
                     (titles.empty() ? std::string() : ", an entry title or #index"));
}

namespace
{
// Decodes the data area as the plug-in reads it; every read stays inside it. Throws Failure for
// a damaged entry.
std::vector<ChunkEntry> decodeChunkData(const uint8_t* data, size_t size)
{
    std::vector<AAX_CChunkDataParser::DataValue> values;
    std::string problem;
    if (!AAX_CChunkDataParser::Decode(data, size, values, &problem)) throw Failure(problem);
    std::vector<ChunkEntry> entries;
    for (const auto& v : values)
    {
        ChunkEntry e;
        e.name = v.mDataName.Get();
        e.tag = AAX_CChunkDataParser::TypeTag(v.mDataType);
        e.number = AAX_CChunkDataParser::Number(v);
        e.text = v.mStringValue.Get();
        entries.push_back(e);
    }
    return entries;
}

} // namespace

bool readSessionOption(ArgumentReader& reader, const std::string& option, SessionOptions& options)
{
    if (option == "--set")
        options.settings.push_back(parseSetting(reader.value(option)));
    else if (option == "--preset")
        options.preset = reader.value(option);
    else if (option == "--bundle")
        options.bundle = reader.value(option);
    else
        return false;
    return true;
}

std::vector<uint8_t> readPresetFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Failure("cannot read preset " + path + ": " + std::strerror(errno));
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (bytes.size() < kChunkHeaderSize)
        throw Failure(path + " is not a Tavelo1 preset: " + std::to_string(bytes.size()) +
                      " bytes, shorter than a chunk header");
    int32_t dataSize = 0;
    std::memcpy(&dataSize, bytes.data(), 4);
    if (dataSize < 0 || uint64_t(dataSize) != bytes.size() - kChunkHeaderSize)
        throw Failure(path + " is damaged: its header announces " + std::to_string(dataSize) +
                      " data bytes, the file holds " +
                      std::to_string(bytes.size() - kChunkHeaderSize));
    uint32_t chunkID = 0;
    std::memcpy(&chunkID, bytes.data() + 20, 4);
    if (chunkID != AAX_FourCC("elck"))
        throw Failure(path + " is not a Tavelo1 preset (chunk ID is not 'elck')");
    if (dataSize < 4 || std::memcmp(bytes.data() + kChunkHeaderSize, "\x01\x01\x01\x01", 4) != 0)
        throw Failure(path + " is damaged: its data does not start with the chunk marker");
    // The entries are checked too: a host restoring a damaged file would apply whichever of
    // them happen to read, a partial preset that no one asked for.
    try
    {
        decodeChunkData(bytes.data() + kChunkHeaderSize, size_t(dataSize));
    }
    catch (const Failure& e)
    {
        throw Failure(path + " is damaged: " + e.what());
    }
    return bytes;
}

std::vector<ChunkEntry> decodePresetEntries(const std::vector<uint8_t>& record)
{
    int32_t dataSize = 0;
    std::memcpy(&dataSize, record.data(), 4);
    return decodeChunkData(record.data() + kChunkHeaderSize, size_t(dataSize));
}

void writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string temporary = path + ".tavelo-" + std::to_string(getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) throw Failure("cannot write " + path + ": " + std::strerror(errno));
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!file.flush())
        {
            std::remove(temporary.c_str());
            throw Failure("cannot write " + path);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        std::remove(temporary.c_str());
        throw Failure("cannot move " + path + " into place: " + std::strerror(errno));
    }
}

std::string locateBundle(const std::string& requested)
{
    if (!requested.empty()) return requested;
    if (const char* env = std::getenv("TAVELO_BUNDLE"); env && *env) return env;
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
    {
        const auto beside = self.parent_path() / "Tavelo1.aaxplugin";
        if (std::filesystem::exists(beside, ec)) return beside.string();
    }
    return host::PluginBundle::DefaultBundlePath();
}

Session::Session(const SessionOptions& options)
{
    const auto start = std::chrono::steady_clock::now();
    try
    {
        mBundle = host::PluginBundle::Load(locateBundle(options.bundle));
        host::InstanceOptions instanceOptions;
        instanceOptions.stemFormat = options.stemFormat;
        instanceOptions.sampleRate = options.sampleRate;
        instanceOptions.blockSize = options.blockSize;
        mInstance = host::HostInstance::Create(mBundle->Effect(), instanceOptions);
    }
    catch (const host::HostError& e)
    {
        throw Failure(e.what());
    }
    mSetupMilliseconds = elapsedMilliseconds(start);

    if (options.preset)
    {
        const auto record = readPresetFile(*options.preset);
        if (const AAX_Result r = mInstance->SetChunk(record); r != AAX_SUCCESS)
            throw Failure("the plug-in refused preset " + *options.preset + " (" +
                          host::DescribeResult(r) + ")");
    }
    for (const auto& setting : options.settings)
    {
        const auto [identifier, value] = resolveSetting(*mInstance, setting);
        if (const AAX_Result r = mInstance->SetParameter(identifier, value); r != AAX_SUCCESS)
            throw Failure("cannot set " + identifier + " (" + host::DescribeResult(r) + ")");
    }
    if (options.bypass)
        if (const AAX_Result r = mInstance->SetParameter("MasterBypassID", 1.0); r != AAX_SUCCESS)
            throw Failure("cannot switch Master Bypass on (" + host::DescribeResult(r) + ")");
}

Session::~Session()
{
    mInstance.reset();
    if (mBundle) mBundle->Unload();
}

} // namespace tavelo::cli
