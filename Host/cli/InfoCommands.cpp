// `tavelo describe`, `tavelo params` and `tavelo preset`: what the host recorded of the
// bundle, the parameters of an instance, and preset files (chunk records as a host stores them).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ArgumentReader.h"
#include "DescriptionValidator.h"
#include "Commands.h"
#include "Json.h"
#include "Session.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kDescribeHelp = R"(usage: tavelo describe [--json] [--bundle PATH]

Loads the bundle in the stand-in host and prints its description as the host recorded it:
names, identifiers, configurations, every context field, properties, factories, resources and
package information.
)";

constexpr const char* kParamsHelp =
    R"(usage: tavelo params [--json] [--preset FILE] [--set ID=VALUE ...] [--bundle PATH]

Lists each parameter of a fresh instance (after the preset and settings): identifier, host
name, default, steps, type, normalized value and value string.
)";

constexpr const char* kPresetHelp =
    R"(usage: tavelo preset save FILE [--set ID=VALUE ...] [--preset FILE]
       tavelo preset show FILE [--json]
       tavelo preset export-lv2 FILE OUT.ttl

save  writes the instance's 'elck' chunk record (56-byte header with the host's codes, then
      the data) after the settings, exactly as a host stores it
show  decodes a preset file; a damaged file is reported and nothing is changed
export-lv2  writes the preset's settings as an LV2 preset (see export-lv2 --help)
)";

std::string fourCC(uint32_t v)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = char((v >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

const char* stemName(AAX_EStemFormat format)
{
    return format == AAX_eStemFormat_Mono     ? "mono"
           : format == AAX_eStemFormat_Stereo ? "stereo"
                                              : "other";
}

bool looksLikeFourCC(int64_t v)
{
    if (v < 0x20202020 || v > 0x7E7E7E7E) return false;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const int c = int((v >> shift) & 0xFF);
        if (c < 32 || c > 126) return false;
    }
    return true;
}

void propertiesText(const host::PropertyList& list, const char* indent)
{
    for (const auto& p : list.entries)
    {
        if (p.isPointer)
            std::printf("%sproperty %3d = pointer %s\n", indent, p.number,
                        p.pointer ? "set" : "null");
        else if (looksLikeFourCC(p.value))
            std::printf("%sproperty %3d = '%s'\n", indent, p.number,
                        fourCC(uint32_t(p.value)).c_str());
        else
            std::printf("%sproperty %3d = %lld\n", indent, p.number, (long long)p.value);
    }
}

void propertiesJson(JsonWriter& j, const host::PropertyList& list)
{
    j.beginArray();
    for (const auto& p : list.entries)
    {
        j.beginObject().field("number", p.number);
        if (p.isPointer)
            j.field("pointer", p.pointer != nullptr);
        else
        {
            j.field("value", (long long)p.value);
            if (looksLikeFourCC(p.value)) j.field("code", fourCC(uint32_t(p.value)));
        }
        j.endObject();
    }
    j.endArray();
}

// Reads the common options of the info commands.
struct InfoOptions
{
    bool json = false;
    SessionOptions session;
    std::vector<std::string> positionals;
};

InfoOptions parseInfo(const Arguments& args, bool allowSettings)
{
    InfoOptions o;
    ArgumentReader reader(args);
    while (!reader.done())
    {
        const std::string a = reader.next();
        if (a == "--json")
            o.json = true;
        else if (a == "--bundle")
            o.session.bundle = reader.value(a);
        else if (allowSettings && a == "--set")
            o.session.settings.push_back(parseSetting(reader.value(a)));
        else if (allowSettings && a == "--preset")
            o.session.preset = reader.value(a);
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a);
        else
            o.positionals.push_back(a);
    }
    return o;
}

// One decoded entry of a chunk's data area.
struct ChunkEntry
{
    std::string name;
    char tag = 0;
    double number = 0;
    std::string text;
};

uint64_t bigEndian(const uint8_t* p, int bytes)
{
    uint64_t v = 0;
    for (int k = 0; k < bytes; ++k)
        v = (v << 8) | p[k];
    return v;
}

// Decodes the data area; every read stays inside it. Throws Failure for a damaged entry.
std::vector<ChunkEntry> decodeChunkData(const uint8_t* data, size_t size)
{
    std::vector<ChunkEntry> entries;
    size_t p = 4;
    auto align = [](size_t v) { return (v + 3) & ~size_t(3); };
    while (p < size)
    {
        const void* end = std::memchr(data + p, 0, size - p);
        if (!end)
            throw Failure("damaged entry at byte " + std::to_string(p) +
                          ": name is not terminated");
        const std::string tagAndName(reinterpret_cast<const char*>(data + p));
        if (tagAndName.size() < 2)
            throw Failure("damaged entry at byte " + std::to_string(p) + ": no type tag");
        ChunkEntry e;
        e.tag = tagAndName[0];
        e.name = tagAndName.substr(2);
        p = align(p + tagAndName.size() + 1);
        const size_t valueBytes = e.tag == 'd'                                     ? 8
                                  : (e.tag == 'f' || e.tag == 'l' || e.tag == 's') ? 4
                                                                                   : 0;
        if (p + valueBytes > size)
            throw Failure("damaged entry \"" + e.name + "\": value runs past the data");
        if (e.tag == 'd')
        {
            const uint64_t bits = bigEndian(data + p, 8);
            std::memcpy(&e.number, &bits, 8);
        }
        else if (e.tag == 'f')
        {
            const uint32_t bits = uint32_t(bigEndian(data + p, 4));
            float f;
            std::memcpy(&f, &bits, 4);
            e.number = f;
        }
        else if (e.tag == 'l')
            e.number = double(int32_t(uint32_t(bigEndian(data + p, 4))));
        else if (e.tag == 's')
            e.number = double(uint16_t(bigEndian(data + p, 2)));
        else if (e.tag == 'r')
        {
            const void* textEnd = p < size ? std::memchr(data + p, 0, size - p) : nullptr;
            if (!textEnd) throw Failure("damaged entry \"" + e.name + "\": text is not terminated");
            e.text = reinterpret_cast<const char*>(data + p);
            p = align(p + e.text.size() + 1);
        }
        p += valueBytes;
        entries.push_back(e);
    }
    return entries;
}

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
    const auto entries = decodeChunkData(record.data() + 56, size_t(size));
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

int runDescribe(const Arguments& args)
{
    if (ArgumentReader(args).wantsHelp()) return std::fputs(kDescribeHelp, stdout), 0;
    const InfoOptions o = parseInfo(args, false);
    if (!o.positionals.empty()) throw UsageError("describe takes no operands");
    std::unique_ptr<host::PluginBundle> bundle;
    try
    {
        bundle = host::PluginBundle::Load(locateBundle(o.session.bundle));
    }
    catch (const std::exception& e)
    {
        throw Failure(e.what());
    }
    const host::CollectionRecord& d = bundle->Description();
    if (o.json)
    {
        JsonWriter j;
        j.beginObject()
            .field("bundle", bundle->BundlePath())
            .field("manufacturer", d.manufacturerName);
        j.key("packages").beginArray();
        for (const auto& p : d.packageNames)
            j.value(p);
        j.endArray();
        j.field("package_version", d.packageVersion ? (long long)*d.packageVersion : -1LL);
        j.key("effects").beginArray();
        for (const auto& e : d.effects)
        {
            j.beginObject().field("id", e.effectID);
            j.key("names").beginArray();
            for (const auto& n : e.names)
                j.value(n);
            j.endArray().key("categories").beginArray();
            for (auto c : e.categories)
                j.value(c);
            j.endArray().key("components").beginArray();
            for (const auto& c : e.components)
            {
                j.beginObject().field("stem_format", stemName(c.StemFormat()));
                j.key("fields").beginArray();
                for (const auto& f : c.fields)
                {
                    j.beginObject()
                        .field("index", f.index)
                        .field("kind", host::FieldKindName(f.kind))
                        .field("size", (long long)f.size);
                    if (f.kind == AAX_eFieldKind_MIDINode)
                        j.field("name", f.name).field("channel_mask", f.channelMask);
                    j.endObject();
                }
                j.endArray().key("process_procs").beginArray();
                for (const auto& p : c.processProcs)
                {
                    j.beginObject()
                        .field("native", p.native)
                        .field("callback", p.processProc != nullptr);
                    j.key("properties");
                    propertiesJson(j, p.properties);
                    j.endObject();
                }
                j.endArray().endObject();
            }
            j.endArray().key("factories").beginArray();
            for (const auto& [id, ptr] : e.procPtrs)
                j.beginObject().field("id", id).field("set", ptr != nullptr).endObject();
            j.endArray().key("resources").beginArray();
            for (const auto& r : e.resources)
                j.beginObject().field("type", r.type).field("file", r.info).endObject();
            j.endArray().endObject();
        }
        j.endArray().endObject();
        std::printf("%s\n", j.str().c_str());
        return 0;
    }
    std::printf("bundle        %s\n", bundle->BundlePath().c_str());
    std::printf("manufacturer  %s\n", d.manufacturerName.c_str());
    std::printf("packages     ");
    for (const auto& p : d.packageNames)
        std::printf(" \"%s\"", p.c_str());
    std::printf(", version %lld\n", d.packageVersion ? (long long)*d.packageVersion : -1LL);
    for (const auto& e : d.effects)
    {
        std::printf("effect        %s\n  names      ", e.effectID.c_str());
        for (const auto& n : e.names)
            std::printf(" \"%s\"", n.c_str());
        std::printf("\n  categories ");
        for (auto c : e.categories)
            std::printf(" %u", c);
        std::printf("\n");
        for (const auto& c : e.components)
        {
            std::printf("  component (%s)\n", stemName(c.StemFormat()));
            for (const auto& f : c.fields)
            {
                std::printf("    field %2d  %-14s", f.index, host::FieldKindName(f.kind));
                if (f.kind == AAX_eFieldKind_DataInPort)
                    std::printf(" %lld bytes, port type %d", (long long)f.size, f.portType);
                if (f.kind == AAX_eFieldKind_PrivateData)
                    std::printf(" %lld bytes, options %u", (long long)f.size, f.options);
                if (f.kind == AAX_eFieldKind_MIDINode)
                    std::printf(" \"%s\", node type %d, channels 0x%X", f.name.c_str(), f.nodeType,
                                f.channelMask);
                std::printf("\n");
            }
            for (const auto& p : c.processProcs)
            {
                std::printf("    %s render callback %s\n", p.native ? "native" : "DSP",
                            p.processProc ? "registered" : "missing");
                propertiesText(p.properties, "      ");
            }
        }
        for (const auto& [id, ptr] : e.procPtrs)
            std::printf("  factory %d   %s\n", id,
                        id == 0   ? "data model"
                        : id == 1 ? "editor"
                                  : "other");
        for (const auto& r : e.resources)
            std::printf("  resource    type %d \"%s\"\n", r.type, r.info.c_str());
    }
    return 0;
}

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
