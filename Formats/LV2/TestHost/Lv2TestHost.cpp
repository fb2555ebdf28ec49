#include "Lv2TestHost.h"

#include <cstdarg>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <lilv/lilv.h>
#include <stdexcept>

#include "lv2/atom/atom.h"
#include "lv2/atom/util.h"
#include "lv2/log/log.h"
#include "lv2/midi/midi.h"
#include "lv2/urid/urid.h"

namespace tavelo::lv2
{

struct Lv2TestHost::Impl
{
    LilvWorld* world = nullptr;
    LilvInstance* instance = nullptr;
    const LilvPlugin* plugin = nullptr;
    std::vector<std::string> uris; // URID n is uris[n - 1]
    std::string log;
    LV2_URID_Map map{this, &Impl::Map};
    LV2_Log_Log logger{this, &Impl::Printf, &Impl::VPrintf};
    std::vector<float> controls;
    std::vector<std::string> symbols;
    std::vector<uint32_t> audioIn, audioOut;
    uint32_t midiPort = UINT32_MAX;
    // The MIDI sequence: a header, then events of 8 bytes of time/type, 8 of atom body each.
    alignas(8) uint8_t sequence[64 * 1024] = {};
    bool active = false;

    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto* self = static_cast<Impl*>(handle);
        for (size_t k = 0; k < self->uris.size(); ++k)
            if (self->uris[k] == uri) return LV2_URID(k + 1);
        self->uris.emplace_back(uri);
        return LV2_URID(self->uris.size());
    }
    static int VPrintf(LV2_Log_Handle handle, LV2_URID, const char* format, va_list args)
    {
        char text[1024];
        const int n = std::vsnprintf(text, sizeof text, format, args);
        static_cast<Impl*>(handle)->log += text;
        return n;
    }
    static int Printf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        const int n = VPrintf(handle, type, format, args);
        va_end(args);
        return n;
    }
    LV2_Atom_Sequence* midi() { return reinterpret_cast<LV2_Atom_Sequence*>(sequence); }
    void clearMidi()
    {
        midi()->atom.type = Map(this, LV2_ATOM__Sequence);
        midi()->atom.size = sizeof(LV2_Atom_Sequence_Body);
        midi()->body.unit = 0;
        midi()->body.pad = 0;
    }
};

Lv2TestHost::Lv2TestHost() : mImpl(std::make_unique<Impl>()) {}

Lv2TestHost::~Lv2TestHost()
{
    if (mImpl->instance)
    {
        if (mImpl->active) lilv_instance_deactivate(mImpl->instance);
        lilv_instance_free(mImpl->instance);
    }
    if (mImpl->world) lilv_world_free(mImpl->world);
}

std::unique_ptr<Lv2TestHost> Lv2TestHost::Create(const std::string& uri, double sampleRate,
                                                 std::string* error)
{
    std::unique_ptr<Lv2TestHost> host(new Lv2TestHost);
    Impl& h = *host->mImpl;
    h.world = lilv_world_new();
    lilv_world_load_all(h.world);
    LilvNode* uriNode = lilv_new_uri(h.world, uri.c_str());
    h.plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(h.world), uriNode);
    lilv_node_free(uriNode);
    if (!h.plugin)
    {
        if (error) *error = "no plug-in " + uri + " on LV2_PATH";
        return nullptr;
    }
    const LV2_Feature mapFeature{LV2_URID__map, &h.map};
    const LV2_Feature logFeature{LV2_LOG__log, &h.logger};
    const LV2_Feature* features[] = {&mapFeature, &logFeature, nullptr};
    h.instance = lilv_plugin_instantiate(h.plugin, sampleRate, features);
    if (!h.instance)
    {
        if (error) *error = "instantiation refused: " + h.log;
        return nullptr;
    }

    LilvNode* audio = lilv_new_uri(h.world, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(h.world, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(h.world, LV2_CORE__InputPort);
    LilvNode* atom = lilv_new_uri(h.world, LV2_ATOM__AtomPort);
    const uint32_t count = lilv_plugin_get_num_ports(h.plugin);
    h.controls.assign(count, 0.0f);
    std::vector<float> defaults(count, 0.0f);
    lilv_plugin_get_port_ranges_float(h.plugin, nullptr, nullptr, defaults.data());
    for (uint32_t p = 0; p < count; ++p)
    {
        const LilvPort* port = lilv_plugin_get_port_by_index(h.plugin, p);
        h.symbols.emplace_back(lilv_node_as_string(lilv_port_get_symbol(h.plugin, port)));
        const bool isInput = lilv_port_is_a(h.plugin, port, input);
        if (lilv_port_is_a(h.plugin, port, control))
        {
            h.controls[p] = isInput && !std::isnan(defaults[p]) ? defaults[p] : 0.0f;
            lilv_instance_connect_port(h.instance, p, &h.controls[p]);
        }
        else if (lilv_port_is_a(h.plugin, port, audio))
            (isInput ? h.audioIn : h.audioOut).push_back(p);
        else if (lilv_port_is_a(h.plugin, port, atom))
        {
            h.midiPort = p;
            h.clearMidi();
            lilv_instance_connect_port(h.instance, p, h.sequence);
        }
    }
    for (LilvNode* n : {audio, control, input, atom})
        lilv_node_free(n);
    host->activate();
    return host;
}

uint32_t Lv2TestHost::channels() const
{
    return uint32_t(mImpl->audioOut.size());
}

uint32_t Lv2TestHost::portIndex(const std::string& symbol) const
{
    for (size_t k = 0; k < mImpl->symbols.size(); ++k)
        if (mImpl->symbols[k] == symbol) return uint32_t(k);
    throw std::out_of_range("no port " + symbol);
}

float& Lv2TestHost::control(uint32_t port)
{
    return mImpl->controls.at(port);
}

void Lv2TestHost::queueMidi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    Impl& h = *mImpl;
    struct
    {
        LV2_Atom_Event event;
        uint8_t bytes[8];
    } message{};
    message.event.time.frames = frame;
    message.event.body.type = Impl::Map(&h, LV2_MIDI__MidiEvent);
    message.event.body.size = 3;
    message.bytes[0] = status;
    message.bytes[1] = data1;
    message.bytes[2] = data2;
    LV2_Atom_Sequence* seq = h.midi();
    const uint32_t used = sizeof(LV2_Atom) + seq->atom.size;
    if (used + sizeof message > sizeof h.sequence) throw std::length_error("MIDI queue full");
    std::memcpy(h.sequence + used, &message, sizeof message);
    seq->atom.size += sizeof message;
}

bool Lv2TestHost::applyPreset(const std::string& uriOrFile)
{
    Impl& h = *mImpl;
    LilvState* state = nullptr;
    if (uriOrFile.find(':') != std::string::npos && uriOrFile[0] != '/')
    {
        LilvNode* uri = lilv_new_uri(h.world, uriOrFile.c_str());
        lilv_world_load_resource(h.world, uri);
        state = lilv_state_new_from_world(h.world, &h.map, uri);
        lilv_node_free(uri);
    }
    else
        state = lilv_state_new_from_file(h.world, &h.map, nullptr, uriOrFile.c_str());
    if (!state) return false;
    auto setPort =
        [](const char* symbol, void* self, const void* value, uint32_t size, uint32_t type)
    {
        auto* host = static_cast<Lv2TestHost*>(self);
        if (size == sizeof(float) && type == Impl::Map(host->mImpl.get(), LV2_ATOM__Float))
            host->control(symbol) = *static_cast<const float*>(value);
    };
    lilv_state_emit_port_values(state, setPort, this);
    lilv_state_free(state);
    return true;
}

void Lv2TestHost::activate()
{
    if (mImpl->active) return;
    lilv_instance_activate(mImpl->instance);
    mImpl->active = true;
}

void Lv2TestHost::deactivate()
{
    if (!mImpl->active) return;
    lilv_instance_deactivate(mImpl->instance);
    mImpl->active = false;
}

void Lv2TestHost::run(const float* const* inputs, float* const* outputs, uint32_t frames)
{
    Impl& h = *mImpl;
    for (size_t c = 0; c < h.audioIn.size(); ++c)
        lilv_instance_connect_port(h.instance, h.audioIn[c], const_cast<float*>(inputs[c]));
    for (size_t c = 0; c < h.audioOut.size(); ++c)
        lilv_instance_connect_port(h.instance, h.audioOut[c], outputs[c]);
    lilv_instance_run(h.instance, frames);
    if (h.midiPort != UINT32_MAX) h.clearMidi();
}

const std::string& Lv2TestHost::log() const
{
    return mImpl->log;
}

} // namespace tavelo::lv2
