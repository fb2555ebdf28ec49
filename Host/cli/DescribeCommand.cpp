// `tavelo describe`: the bundle's description as the stand-in host recorded it.
#include <cstdio>

#include "ArgumentReader.h"
#include "Commands.h"
#include "DescriptionValidator.h"
#include "InfoOptions.h"
#include "Json.h"

namespace tavelo::cli
{
namespace
{

constexpr const char* kDescribeHelp = R"(usage: tavelo describe [--json] [--bundle PATH]

Loads the bundle in the stand-in host and prints its description as the host recorded it:
names, identifiers, configurations, every context field, properties, factories, resources and
package information.
)";

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

} // namespace tavelo::cli
