// The UI library's entry point: an X11 UI that embeds the editor in the host's parent window
// (ui:parent), sizes it with ui:resize, is driven by ui:idleInterface and reports drags with
// ui:touch around its port writes.
#include <cstdio>
#include <new>
#include <string>

#include "Lv2Ports.h"
#include "Lv2UiModel.h"
#include "lv2/core/lv2_util.h"
#include "lv2/ui/ui.h"

namespace tavelo::lv2
{
namespace
{

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    void* parent = nullptr;
    LV2UI_Resize* resize = nullptr;
    LV2UI_Touch* touch = nullptr;
    const char* missing =
        lv2_features_query(features, LV2_UI__parent, &parent, true, LV2_UI__resize, &resize, false,
                           LV2_UI__touch, &touch, false, NULL);
    if (missing)
    {
        std::fprintf(stderr, "Tavelo1 UI: the host does not provide %s\n", missing);
        return nullptr;
    }
    Lv2UiModel::HostCalls calls;
    calls.writePort = [write, controller](uint32_t port, float value)
    { write(controller, port, sizeof value, 0, &value); };
    if (touch)
        calls.touch = [touch](uint32_t port, bool grabbed)
        { touch->touch(touch->handle, port, grabbed); };
    if (resize)
        calls.resize = [resize](int width, int height)
        { resize->ui_resize(resize->handle, width, height); };
    try
    {
        auto* model = new Lv2UiModel(std::move(calls));
        std::string error;
        if (!model->open(reinterpret_cast<unsigned long>(parent), &error))
        {
            std::fprintf(stderr, "Tavelo1 UI: %s\n", error.c_str());
            delete model;
            return nullptr;
        }
        *widget = reinterpret_cast<LV2UI_Widget>(model->window());
        return model;
    }
    catch (const std::bad_alloc&)
    {
        std::fprintf(stderr, "Tavelo1 UI: out of memory\n");
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle ui)
{
    delete static_cast<Lv2UiModel*>(ui);
}

void PortEvent(LV2UI_Handle ui, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    if (format != 0 || size != sizeof(float) || !buffer) return;
    static_cast<Lv2UiModel*>(ui)->portEvent(port, *static_cast<const float*>(buffer));
}

int Idle(LV2UI_Handle ui)
{
    static_cast<Lv2UiModel*>(ui)->idle();
    return 0;
}

const void* ExtensionData(const char* uri)
{
    static const LV2UI_Idle_Interface idle = {Idle};
    return std::string(uri) == LV2_UI__idleInterface ? &idle : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

} // namespace
} // namespace tavelo::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &tavelo::lv2::kDescriptor : nullptr;
}
