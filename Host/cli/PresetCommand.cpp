// `tavelo preset`: preset files, chunk records as a host stores them.
#include <cstdio>
#include <cstring>
#include <optional>

#include "ArgumentReader.h"
#include "Commands.h"
#include "InfoOptions.h"
#include "Json.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kPresetHelp =
    R"(usage: tavelo preset save FILE [--set ID=VALUE ...] [--preset FILE]
       tavelo preset show FILE [--json]
       tavelo preset export-lv2 FILE OUT.ttl

save  writes the instance's 'elck' chunk record (56-byte header with the host's codes, then
      the data) after the settings, exactly as a host stores it
show  decodes a preset file; a damaged file is reported and nothing is changed
export-lv2  writes the preset's settings as an LV2 preset (see export-lv2 --help)
)";

int presetSave(const InfoOptions& o)
{
    if (o.positionals.size() != 2)
        throw UsageError("preset save wants FILE (see tavelo preset --help)");
    Session session(o.session);
    AAX_Result result = AAX_SUCCESS;
    std::vector<uint8_t> record = session.instance().GetChunk(&result);
    if (result != AAX_SUCCESS || record.size() < 56)
        throw Failure("the plug-in gave no chunk (" + host::DescribeResult(result) + ")");
    // The host stamps its own codes into the record it stores.
    const auto& effect = session.bundle().Effect();
    const host::ComponentRecord* component = effect.Component(AAX_eStemFormat_Mono);
    const host::ProcessProcRecord* proc = component ? component->NativeProcessProc() : nullptr;
    auto stamp = [&](size_t offset, int32_t property)
    {
        std::optional<AAX_CPropertyValue> v =
            proc ? proc->properties.Value(property) : std::nullopt;
        if (v)
        {
            const uint32_t code = uint32_t(*v);
            std::memcpy(record.data() + offset, &code, 4);
        }
    };
    stamp(8, AAX_eProperty_ManufacturerID);
    stamp(12, AAX_eProperty_ProductID);
    stamp(16, 13); // the native plug-in ID of the configuration
    writeFileAtomically(o.positionals[1], record);
    std::printf("saved %s (%zu bytes)\n", o.positionals[1].c_str(), record.size());
    return 0;
}

int presetShow(const InfoOptions& o)
{
    if (o.positionals.size() != 2)
        throw UsageError("preset show wants FILE (see tavelo preset --help)");
    const auto record = readPresetFile(o.positionals[1]);
    int32_t size, version;
    uint32_t man, product, plugin, chunk;
    std::memcpy(&size, &record[0], 4);
    std::memcpy(&version, &record[4], 4);
    std::memcpy(&man, &record[8], 4);
    std::memcpy(&product, &record[12], 4);
    std::memcpy(&plugin, &record[16], 4);
    std::memcpy(&chunk, &record[20], 4);
    char name[33] = {};
    std::memcpy(name, &record[24], 32);
    const auto entries = decodePresetEntries(record);
    if (o.json)
    {
        JsonWriter j;
        j.beginObject()
            .field("data_size", size)
            .field("version", version)
            .field("manufacturer", fourCC(man))
            .field("product", fourCC(product))
            .field("plugin", fourCC(plugin))
            .field("chunk", fourCC(chunk))
            .field("name", name);
        j.key("entries").beginArray();
        for (const auto& e : entries)
        {
            j.beginObject().field("name", e.name).field("type", std::string(1, e.tag));
            if (e.tag == 'r')
                j.field("value", e.text);
            else
                j.field("value", e.number);
            j.endObject();
        }
        j.endArray().endObject();
        std::printf("%s\n", j.str().c_str());
        return 0;
    }
    std::printf("chunk '%s' \"%s\", version %d, %d data bytes\n", fourCC(chunk).c_str(), name,
                version, size);
    std::printf("host codes: manufacturer '%s', product '%s', plug-in '%s'\n", fourCC(man).c_str(),
                fourCC(product).c_str(), fourCC(plugin).c_str());
    for (const auto& e : entries)
    {
        if (e.tag == 'r')
            std::printf("  %-10s text   \"%s\"\n", e.name.c_str(), e.text.c_str());
        else if (e.tag == 'd' || e.tag == 'f')
            std::printf("  %-10s %-6s %.9g\n", e.name.c_str(), e.tag == 'd' ? "double" : "float",
                        e.number);
        else
            std::printf("  %-10s %-6s %lld\n", e.name.c_str(),
                        e.tag == 'l'   ? "int32"
                        : e.tag == 's' ? "int16"
                                       : "?",
                        (long long)e.number);
    }
    return 0;
}

} // namespace

int runPreset(const Arguments& args)
{
    if (!args.empty() && args[0] == "export-lv2")
        return runPresetExportLv2(Arguments(args.begin() + 1, args.end()));
    if (ArgumentReader(args).wantsHelp()) return std::fputs(kPresetHelp, stdout), 0;
    const InfoOptions o = parseInfo(args, true);
    if (o.positionals.empty())
        throw UsageError("preset wants save FILE or show FILE (see tavelo preset --help)");
    if (o.positionals[0] == "save") return presetSave(o);
    if (o.positionals[0] == "show") return presetShow(o);
    throw UsageError("preset: unknown action \"" + o.positionals[0] + "\" (save or show)");
}

} // namespace tavelo::cli
