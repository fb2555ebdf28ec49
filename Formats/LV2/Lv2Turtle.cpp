#include "Lv2Turtle.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "Lv2Ports.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace tavelo::lv2
{
namespace
{

constexpr const char* kPrefixes = R"(@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix log: <http://lv2plug.in/ns/ext/log#> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix midi: <http://lv2plug.in/ns/ext/midi#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix units: <http://lv2plug.in/ns/extensions/units#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .

)";

constexpr const char* kSymbols[kStereoPortCount] = {
    "enabled",    "gain",   "tremolo",     "tone",    "rate",       "volume",
    "microphone", "pickup", "output_trim", "latency", "input_peak", "output_peak",
    "midi_in",    "in_l",   "out_l",       "in_r",    "out_r"};

// A Turtle string literal.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    std::string s = text;
    // A decimal point makes it an xsd:decimal rather than an integer literal.
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

void ControlPort(std::ostringstream& t, unsigned index, const char* name, double minimum,
                 double maximum, double defaultValue, const char* extra = "")
{
    t << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " << index
      << " ;\n        lv2:symbol \"" << kSymbols[index] << "\" ;\n        lv2:name " << Quoted(name)
      << " ;\n        lv2:default " << Number(defaultValue) << " ;\n        lv2:minimum "
      << Number(minimum) << " ;\n        lv2:maximum " << Number(maximum) << " ;\n"
      << extra << "    ] , ";
}

void EnumerationPort(std::ostringstream& t, unsigned index, const char* name,
                     const char* const names[], int count)
{
    std::ostringstream extra;
    extra << "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
    for (int k = 0; k < count; ++k)
        extra << "        lv2:scalePoint [ rdfs:label " << Quoted(names[k]) << " ; rdf:value " << k
              << " ] ;\n";
    ControlPort(t, index, name, 0, count - 1, 0, extra.str().c_str());
}

void OutputControlPort(std::ostringstream& t, unsigned index, const char* name, double minimum,
                       double maximum, const char* extra)
{
    t << "    [\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index " << index
      << " ;\n        lv2:symbol \"" << kSymbols[index] << "\" ;\n        lv2:name " << Quoted(name)
      << " ;\n        lv2:minimum " << Number(minimum) << " ;\n        lv2:maximum "
      << Number(maximum) << " ;\n"
      << extra << "    ] , ";
}

void AudioPort(std::ostringstream& t, unsigned index, bool input, const char* name)
{
    t << "    [\n        a lv2:" << (input ? "InputPort" : "OutputPort")
      << " , lv2:AudioPort ;\n        lv2:index " << index << " ;\n        lv2:symbol \""
      << kSymbols[index] << "\" ;\n        lv2:name " << Quoted(name) << " ;\n    ]";
}

std::string PluginTurtle(const char* uri, const char* name, bool stereo)
{
    std::ostringstream t;
    t << "<" << uri << ">\n    a lv2:Plugin , lv2:AmplifierPlugin , doap:Project ;\n    doap:name "
      << Quoted(name) << " ;\n    doap:maintainer [ foaf:name \"Quorva\" ] ;\n"
      << "    lv2:minorVersion 0 ;\n    lv2:microVersion 1 ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , log:log ;\n"
      << "    ui:ui <" << kUiUri << "> ;\n"
      << "    rdfs:comment "
      << Quoted(stereo ? "Tube guitar amplifier. The amp plays the left input into both outputs."
                       : "Tube guitar amplifier.")
      << " ;\n    lv2:port\n";
    ControlPort(t, kPortEnabled, "Enabled", 0, 1, 1,
                "        lv2:designation lv2:enabled ;\n"
                "        lv2:portProperty lv2:integer , lv2:toggled ;\n");
    for (uint32_t port = kPortGain; port <= kPortVolume; ++port)
    {
        const RovuRiza_ControlInfo& info = kRovuRizaControls[EngineControlOfPort(port)];
        ControlPort(t, port, port == kPortRate ? "Speed" : info.name, 0, 1, info.defaultValue);
    }
    EnumerationPort(t, kPortMicrophone, "Microphone", kRovuRizaVoicingNames, kRovuRizaVoicingCount);
    EnumerationPort(t, kPortPickup, "Pickup", kRovuRizaPickupNames, kRovuRizaPickupCount);
    ControlPort(t, kPortOutputTrim, "Output Level", kTrimMinDb, kTrimMaxDb, 0,
                "        units:unit units:db ;\n");
    OutputControlPort(t, kPortLatency, "Latency", 0, 4096,
                      "        lv2:designation lv2:latency ;\n"
                      "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
                      "        units:unit units:frame ;\n");
    OutputControlPort(t, kPortInputPeak, "Input Peak", kMeterFloorDb, 60,
                      "        units:unit units:db ;\n");
    OutputControlPort(t, kPortOutputPeak, "Output Peak", kMeterFloorDb, 60,
                      "        units:unit units:db ;\n");
    t << "    [\n        a lv2:InputPort , atom:AtomPort ;\n        lv2:index " << kPortMidiIn
      << " ;\n        lv2:symbol \"" << kSymbols[kPortMidiIn]
      << "\" ;\n        lv2:name \"MIDI In\" ;\n        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports midi:MidiEvent ;\n        lv2:designation lv2:control ;\n    ] , ";
    AudioPort(t, kPortAudioInLeft, true, stereo ? "In Left" : "In");
    t << " , ";
    AudioPort(t, kPortAudioOutLeft, false, stereo ? "Out Left" : "Out");
    if (stereo)
    {
        t << " , ";
        AudioPort(t, kPortAudioInRight, true, "In Right");
        t << " , ";
        AudioPort(t, kPortAudioOutRight, false, "Out Right");
    }
    t << " .\n\n";
    return t.str();
}

PresetValues Preset(const char* slug, const char* label, float gain, float tremolo, float tone,
                    float rate, float volume, int microphone, int pickup, float trimDb)
{
    return {std::string("urn:quorva:tavelo1:preset:") + slug,
            label,
            {{"gain", gain},
             {"tremolo", tremolo},
             {"tone", tone},
             {"rate", rate},
             {"volume", volume},
             {"microphone", float(microphone)},
             {"pickup", float(pickup)},
             {"output_trim", trimDb},
             {"enabled", 1.0f}}};
}

} // namespace

const char* PortSymbol(unsigned port)
{
    return port < kStereoPortCount ? kSymbols[port] : "";
}

std::vector<PresetValues> FactoryPresets()
{
    return {
        Preset("clean", "Clean", 0.1f, 0.0f, 0.55f, 0.2f, 0.8f, 0, 0, 0.0f),
        Preset("edge", "Edge of Break-up", 0.4f, 0.0f, 0.5f, 0.2f, 0.7f, 1, 0, -6.0f),
        Preset("drive", "Full Drive", 1.0f, 0.0f, 0.6f, 0.2f, 0.6f, 2, 1, -18.0f),
        Preset("tremolo", "Tremolo", 0.25f, 0.7f, 0.5f, 0.45f, 0.8f, 0, 0, 0.0f),
    };
}

PresetValues PresetOfNormalized(const std::string& uri, const std::string& label,
                                const double normalized[], int count)
{
    PresetValues preset{uri, label, {}};
    for (uint32_t port = kPortGain; port <= kPortPickup; ++port)
    {
        const int control = EngineControlOfPort(port);
        if (control >= count) continue;
        double value = normalized[control];
        // Index ports hold the entry: entry i is i x 0.01.
        if (port == kPortMicrophone || port == kPortPickup) value = std::round(value * 100.0);
        preset.ports.emplace_back(kSymbols[port], float(value));
    }
    const bool bypassed = count > 0 && normalized[0] >= 0.5;
    preset.ports.emplace_back("enabled", bypassed ? 0.0f : 1.0f);
    preset.ports.emplace_back("output_trim", 0.0f);
    return preset;
}

std::string ManifestTurtle(const std::string& pluginBinary, const std::string& uiBinary)
{
    std::ostringstream t;
    t << kPrefixes;
    for (const char* uri : {kMonoUri, kStereoUri})
        t << "<" << uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << pluginBinary
          << "> ;\n    rdfs:seeAlso <Tavelo1.ttl> .\n\n";
    t << "<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << uiBinary
      << "> ;\n    rdfs:seeAlso <Tavelo1.ttl> .\n\n";
    for (const PresetValues& preset : FactoryPresets())
        t << "<" << preset.uri << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kMonoUri
          << "> , <" << kStereoUri << "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
    return t.str();
}

std::string PluginsTurtle()
{
    std::ostringstream t;
    t << kPrefixes;
    t << "<" << kUiUri << ">\n    a ui:X11UI ;\n"
      << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
      << "    lv2:optionalFeature ui:resize , ui:touch ;\n"
      << "    lv2:extensionData ui:idleInterface .\n\n";
    t << PluginTurtle(kMonoUri, "Tavelo1", false);
    t << PluginTurtle(kStereoUri, "Tavelo1 Stereo", true);
    return t.str();
}

std::string PresetsTurtle(const std::vector<PresetValues>& presets)
{
    std::ostringstream t;
    t << kPrefixes;
    for (const PresetValues& preset : presets)
    {
        t << "<" << preset.uri << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kMonoUri
          << "> , <" << kStereoUri << "> ;\n    rdfs:label " << Quoted(preset.label)
          << " ;\n    lv2:port";
        for (size_t k = 0; k < preset.ports.size(); ++k)
            t << (k ? " , " : "") << "\n        [ lv2:symbol " << Quoted(preset.ports[k].first)
              << " ; pset:value " << Number(preset.ports[k].second) << " ]";
        t << " .\n\n";
    }
    return t.str();
}

} // namespace tavelo::lv2
