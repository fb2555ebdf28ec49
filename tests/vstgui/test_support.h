#pragma once
// Shared helpers of the toolkit tests: a recording listener and editor, and a film strip.

#include "vstgui/vstgui.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vstgui_test
{

using namespace VSTGUI;

// Records what the toolkit tells a listener, in order.
struct RecordingListener : IControlListener
{
    void valueChanged(CControl* control) override
    {
        log.push_back("value " + std::to_string(control->getValue()));
        values.push_back(control->getValue());
    }
    void controlBeginEdit(CControl*) override { log.push_back("begin"); }
    void controlEndEdit(CControl*) override { log.push_back("end"); }
    std::vector<std::string> log;
    std::vector<float> values;
};

struct RecordingEditor : VSTGUIEditorInterface
{
    void beginEdit(int32_t index) override
    {
        log.push_back("editor begin " + std::to_string(index));
    }
    void endEdit(int32_t index) override { log.push_back("editor end " + std::to_string(index)); }
    std::vector<std::string> log;
};

// A temporary Resources folder holding a film strip of `frames` images, each filled with a
// grey level equal to its index, and bound as the toolkit's bundle.
struct TempResources
{
    explicit TempResources(int frames = 131, int width = 20, int height = 10)
    {
        char pattern[] = "/tmp/vstgui-test-XXXXXX";
        dir = mkdtemp(pattern);
        cairo_surface_t* s =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height * frames);
        cairo_t* cr = cairo_create(s);
        for (int i = 0; i < frames; ++i)
        {
            cairo_set_source_rgb(cr, i / 255.0, i / 255.0, i / 255.0);
            cairo_rectangle(cr, 0, i * height, width, height);
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_write_to_png(s, (dir + "/strip.png").c_str());
        cairo_surface_destroy(s);
        gBundleRef = bundleForResourcesPath(dir.c_str());
    }
    ~TempResources()
    {
        gBundleRef = nullptr;
        unlink((dir + "/strip.png").c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
};

// Reads one pixel of an ARGB32 image as 0xAARRGGBB.
inline uint32_t pixelAt(cairo_surface_t* image, int x, int y)
{
    cairo_surface_flush(image);
    auto* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    return *reinterpret_cast<uint32_t*>(data + y * stride + x * 4);
}

} // namespace vstgui_test

namespace vstgui_test
{

// Releases the graphics libraries' font caches after the last test, so that LeakSanitizer
// reports only allocations of ours.
struct GraphicsCacheRelease : ::testing::Environment
{
    void TearDown() override { VSTGUI::releaseSharedGraphicsCaches(); }
};

} // namespace vstgui_test
