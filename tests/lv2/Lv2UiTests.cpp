// The LV2 UI library as a host loads it, in a parent window on the display given (CTest runs
// it through with_xvfb.sh): it asks for its size, a knob drag reaches the host as port writes
// between ui:touch calls, and a port event from the host moves the knob on screen.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <chrono>
#include <dlfcn.h>
#include <string>
#include <thread>
#include <vector>

#include "Lv2Ports.h"
#include "lv2/ui/ui.h"

namespace
{
using namespace tavelo::lv2;

struct HostLog
{
    std::vector<std::string> events; // "touch 1 on", "write 1 0.55", ...
    int width = 0, height = 0;
};

void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
           const void* buffer)
{
    if (format == 0 && size == sizeof(float))
        static_cast<HostLog*>(controller)
            ->events.push_back("write " + std::to_string(port) + " " +
                               std::to_string(*static_cast<const float*>(buffer)));
}

std::vector<unsigned long> Pixels(Display* display, Window window, int x, int y, int size)
{
    XImage* image =
        XGetImage(display, window, x, y, unsigned(size), unsigned(size), AllPlanes, ZPixmap);
    std::vector<unsigned long> pixels;
    for (int row = 0; image && row < size; ++row)
        for (int col = 0; col < size; ++col)
            pixels.push_back(XGetPixel(image, col, row));
    if (image) XDestroyImage(image);
    return pixels;
}

TEST(Lv2Ui, DragsBecomeTouchedPortWritesAndPortEventsMoveTheKnobs)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display) << "no X display (run under tests/lv2/with_xvfb.sh)";
    void* library = dlopen(TAVELO_LV2_UI_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library) << dlerror();
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_TRUE(entry);
    const LV2UI_Descriptor* descriptor = entry(0);
    ASSERT_TRUE(descriptor);
    EXPECT_STREQ(descriptor->URI, kUiUri);
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_TRUE(idle);

    const Window parent =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 560, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    HostLog log;
    LV2UI_Resize resize{&log, [](LV2UI_Feature_Handle h, int w, int height)
                        {
                            static_cast<HostLog*>(h)->width = w;
                            static_cast<HostLog*>(h)->height = height;
                            return 0;
                        }};
    LV2UI_Touch touch{&log, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed)
                      {
                          static_cast<HostLog*>(h)->events.push_back(
                              "touch " + std::to_string(port) + (grabbed ? " on" : " off"));
                      }};
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature touchFeature{LV2_UI__touch, &touch};
    const LV2_Feature* features[] = {&parentFeature, &resizeFeature, &touchFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui =
        descriptor->instantiate(descriptor, kMonoUri, "", Write, &log, &widget, features);
    ASSERT_TRUE(ui);
    EXPECT_NE(widget, nullptr);
    EXPECT_EQ(log.width, 700);
    EXPECT_EQ(log.height, 560);
    auto tick = [&](int times)
    {
        for (int k = 0; k < times; ++k)
        {
            idle->idle(ui);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    };
    tick(5);

    // The host's value moves the Gain knob (60 x 60 at 63, 455).
    const auto before = Pixels(display, parent, 63, 455, 60);
    const float full = 1.0f;
    descriptor->port_event(ui, kPortGain, sizeof full, 0, &full);
    tick(5);
    EXPECT_NE(Pixels(display, parent, 63, 455, 60), before);
    EXPECT_TRUE(log.events.empty()) << "a host value must not be written back";

    // A drag up the Tone knob (60 x 60 at 196, 455).
    XTestFakeMotionEvent(display, -1, 226, 485, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XSync(display, False);
    tick(2);
    for (int k = 0; k < 6; ++k)
    {
        XTestFakeRelativeMotionEvent(display, 0, -10, 0);
        XSync(display, False);
        tick(2);
    }
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
    tick(3);
    ASSERT_GE(log.events.size(), 3u);
    EXPECT_EQ(log.events.front(), "touch " + std::to_string(kPortTone) + " on");
    EXPECT_EQ(log.events.back(), "touch " + std::to_string(kPortTone) + " off");
    for (size_t k = 1; k + 1 < log.events.size(); ++k)
        EXPECT_EQ(log.events[k].rfind("write " + std::to_string(kPortTone) + " ", 0), 0u)
            << log.events[k];
    const float last = std::stof(log.events[log.events.size() - 2].substr(8));
    EXPECT_GT(last, 0.5f);

    descriptor->cleanup(ui);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

} // namespace
