// The plug-in library's entry point: the mono and the stereo descriptor over Lv2Amp.
#include <cstdio>
#include <new>
#include <string>

#include "Lv2Amp.h"
#include "lv2/core/lv2.h"
#include "lv2/core/lv2_util.h"
#include "lv2/log/logger.h"
#include "lv2/midi/midi.h"
#include "lv2/urid/urid.h"

namespace tavelo::lv2
{
namespace
{

// Instantiation thread: everything the instance needs is set up here; NULL on any failure,
// with the reason through the host's log (or stderr when the host gives none).
LV2_Handle Instantiate(int channels, double rate, const LV2_Feature* const* features)
{
    LV2_URID_Map* map = nullptr;
    LV2_Log_Log* log = nullptr;
    const char* missing =
        lv2_features_query(features, LV2_LOG__log, &log, false, LV2_URID__map, &map, true, NULL);
    LV2_Log_Logger logger{};
    lv2_log_logger_init(&logger, map, log);
    if (missing)
    {
        lv2_log_error(&logger, "Tavelo1: the host does not provide %s\n", missing);
        return nullptr;
    }
    try
    {
        auto* amp = new Lv2Amp;
        std::string error;
        if (!amp->prepare(rate, channels, map->map(map->handle, LV2_MIDI__MidiEvent), &error))
        {
            delete amp;
            lv2_log_error(&logger, "Tavelo1: %s\n", error.c_str());
            return nullptr;
        }
        return amp;
    }
    catch (const std::bad_alloc&)
    {
        lv2_log_error(&logger, "Tavelo1: out of memory while setting up the instance\n");
        return nullptr;
    }
}

LV2_Handle InstantiateMono(const LV2_Descriptor*, double rate, const char*,
                           const LV2_Feature* const* features)
{
    return Instantiate(1, rate, features);
}

LV2_Handle InstantiateStereo(const LV2_Descriptor*, double rate, const char*,
                             const LV2_Feature* const* features)
{
    return Instantiate(2, rate, features);
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data)
{
    static_cast<Lv2Amp*>(instance)->connect(port, data);
}

void Activate(LV2_Handle instance)
{
    static_cast<Lv2Amp*>(instance)->activate();
}

void Run(LV2_Handle instance, uint32_t frames)
{
    static_cast<Lv2Amp*>(instance)->run(frames);
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle instance)
{
    delete static_cast<Lv2Amp*>(instance);
}

const void* ExtensionData(const char*)
{
    return nullptr;
}

const LV2_Descriptor kDescriptors[] = {
    {kMonoUri, InstantiateMono, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
    {kStereoUri, InstantiateStereo, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
};

} // namespace
} // namespace tavelo::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index < 2 ? &tavelo::lv2::kDescriptors[index] : nullptr;
}
