// The editor through the stand-in host with the built bundle and its real data model: the
// headless path, open/close cycles and unloading, and real X11 input under Xvfb.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "GUI/RovuRiza_AnimKnobVST.h"
#include "GUI/RovuRiza_GUI_VST.h"
#include "GUI/RovuRiza_MenuVST.h"
#include "GUI/RovuRiza_View.h"
#include "HostAutomation.h"
#include "HostEditor.h"
#include "HostInstance.h"
#include "PluginBundle.h"

using namespace tavelo::host;

namespace
{
std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() /
            (std::string("tavelo_bundle_gui_") + std::to_string(getpid()) + "_" + name))
        .string();
}

struct PNGSize
{
    int width = 0, height = 0;
};

PNGSize SizeOf(const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    PNGSize size{cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
    cairo_surface_destroy(surface);
    return size;
}

// Bounding box of the pixels that differ between two PNG files of equal size.
struct Box
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Box DifferenceBox(const std::string& a, const std::string& b)
{
    cairo_surface_t* first = cairo_image_surface_create_from_png(a.c_str());
    cairo_surface_t* second = cairo_image_surface_create_from_png(b.c_str());
    Box box;
    const int width = cairo_image_surface_get_width(first);
    const int height = cairo_image_surface_get_height(first);
    const int stride = cairo_image_surface_get_stride(first);
    const unsigned char* p = cairo_image_surface_get_data(first);
    const unsigned char* q = cairo_image_surface_get_data(second);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (*reinterpret_cast<const uint32_t*>(p + y * stride + 4 * x) !=
                *reinterpret_cast<const uint32_t*>(q + y * stride + 4 * x))
            {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    cairo_surface_destroy(first);
    cairo_surface_destroy(second);
    return box;
}

TEST(BundleEditorTest, HeadlessEditorFromTheBundleFollowsTheDataModelAndUnloadsCleanly)
{
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Load(PluginBundle::DefaultBundlePath());
    ASSERT_NE(bundle->EditorFactory(), nullptr);
    auto instance = HostInstance::Create(bundle->Effect(), InstanceOptions{});
    {
        HostEditor editor(bundle->EditorFactory(), instance->HostUnknown());
        instance->SetParameterUpdatedListener([&editor](const std::string& id)
                                              { editor.ParameterUpdated(id.c_str()); });
        ASSERT_TRUE(editor.OpenOffscreen()) << editor.Error();

        const PNGSize background = SizeOf(bundle->ResourcesPath() + "/Tavelo_sfondo.png");
        const AAX_Point view = editor.ViewSize();
        EXPECT_EQ(view.horz, background.width);
        EXPECT_EQ(view.vert, background.height);

        const std::string atDefault = TempPath("default.png");
        const std::string atFull = TempPath("full.png");
        ASSERT_TRUE(editor.WritePNG(atDefault));
        const PNGSize written = SizeOf(atDefault);
        EXPECT_EQ(written.width, background.width);
        EXPECT_EQ(written.height, background.height);
        ASSERT_EQ(instance->SetParameter("Gain", 1.0), AAX_SUCCESS);
        ASSERT_TRUE(editor.WritePNG(atFull));
        const Box changed = DifferenceBox(atDefault, atFull);
        EXPECT_GE(changed.left, 63);
        EXPECT_GE(changed.top, 455);
        EXPECT_LE(changed.right, 63 + 60);
        EXPECT_LE(changed.bottom, 455 + 60);
        EXPECT_GT(changed.right, changed.left) << "the Gain knob did not move";
        std::filesystem::remove(atDefault);
        std::filesystem::remove(atFull);
        instance->SetParameterUpdatedListener({});
    }
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        HostEditor editor(bundle->EditorFactory(), instance->HostUnknown());
        ASSERT_TRUE(editor.OpenOffscreen()) << editor.Error();
        editor.Timer();
        editor.Close();
        editor.Destroy();
    }
    EXPECT_TRUE(bundle->Services().Assertions().empty());
    instance.reset();
    EXPECT_EQ(bundle->Entries().canUnloadNow(bundle->HostObject()), 0);
    EXPECT_EQ(bundle->Unload(), 0);
}

// An Xvfb of the test's own; the test skips when none can start.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        for (int number = 90 + getpid() % 50; number < 200 && !mDisplay; number += 7)
        {
            const std::string digits = std::to_string(number);
            mName = std::string(":").append(digits);
            const std::string lock = std::string("/tmp/.X").append(digits).append("-lock");
            if (access(lock.c_str(), F_OK) == 0) continue;
            mPid = fork();
            if (mPid == 0)
            {
                std::freopen("/dev/null", "w", stdout);
                std::freopen("/dev/null", "w", stderr);
                execl("/usr/bin/Xvfb", "Xvfb", mName.c_str(), "-screen", "0", "1024x768x24",
                      "-nolisten", "tcp", static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int attempt = 0; attempt < 100 && !mDisplay; ++attempt)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                mDisplay = XOpenDisplay(mName.c_str());
                if (!mDisplay && waitpid(mPid, nullptr, WNOHANG) == mPid) break;
            }
            if (!mDisplay) Stop();
        }
    }
    ~VirtualDisplay()
    {
        if (mDisplay) XCloseDisplay(mDisplay);
        Stop();
    }
    Display* display() const { return mDisplay; }
    const std::string& name() const { return mName; }

private:
    void Stop()
    {
        if (mPid > 0)
        {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
        mPid = -1;
    }
    std::string mName;
    pid_t mPid = -1;
    Display* mDisplay = nullptr;
};

class X11EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        xvfb = std::make_unique<VirtualDisplay>();
        if (!xvfb->display()) GTEST_SKIP() << "no Xvfb could be started";
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(xvfb->display(), &event, &error, &major, &minor))
            GTEST_SKIP() << "the X server has no XTEST extension";
        setenv("DISPLAY", xvfb->name().c_str(), 1);
        bundle = PluginBundle::Load(PluginBundle::DefaultBundlePath());
        instance = HostInstance::Create(bundle->Effect(), InstanceOptions{});
        // The editor is built into this program so the test can read its readout; the data
        // model and the host are the real ones.
        editor = std::make_unique<HostEditor>(
            reinterpret_cast<AAX_CCreateObjectProc>(&RovuRiza_GUI::Create),
            instance->HostUnknown());
        instance->SetParameterUpdatedListener([this](const std::string& id)
                                              { editor->ParameterUpdated(id.c_str()); });
        ASSERT_TRUE(editor->OpenWindow(xvfb->name().c_str(), 0, 0)) << editor->Error();
        Pump();
        view = static_cast<RovuRiza_GUI*>(editor->Editor())->GetRovuRizaView();
        ASSERT_NE(view, nullptr);
        instance->Automation().ClearEvents();
    }

    void TearDown() override
    {
        if (instance) instance->SetParameterUpdatedListener({});
        editor.reset();
        instance.reset();
        bundle.reset();
        xvfb.reset();
    }

    // What a host's event loop does between input events: timer ticks (the editor handles its
    // window's events there) and the automation update that confirms requests.
    void Pump(int ticks = 3)
    {
        for (int i = 0; i < ticks; ++i)
        {
            XSync(xvfb->display(), False);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            editor->Timer();
            instance->Update();
        }
    }

    void MoveTo(int x, int y)
    {
        XTestFakeMotionEvent(xvfb->display(), 0, x, y, CurrentTime);
        Pump();
    }
    void Button(bool press)
    {
        XTestFakeButtonEvent(xvfb->display(), 1, press, CurrentTime);
        Pump();
    }
    void Key(KeySym key, bool press)
    {
        XTestFakeKeyEvent(xvfb->display(), XKeysymToKeycode(xvfb->display(), key), press,
                          CurrentTime);
        Pump();
    }

    // The gesture as a host sees it: outer touches (depth 0 -> 1), set-value requests, and
    // whether the gesture ended released.
    struct Gesture
    {
        int outerTouches = 0;
        std::vector<double> requests;
        int finalDepth = 0;
    };
    Gesture GestureOf(const std::string& id)
    {
        Gesture gesture;
        for (const AutomationEvent& event : instance->Automation().Events())
        {
            if (event.parameterID != id) continue;
            if (event.kind == AutomationEvent::Touch && gesture.finalDepth++ == 0)
                ++gesture.outerTouches;
            if (event.kind == AutomationEvent::Release) --gesture.finalDepth;
            if (event.kind == AutomationEvent::SetValueRequest)
                gesture.requests.push_back(event.value);
        }
        return gesture;
    }

    std::unique_ptr<VirtualDisplay> xvfb;
    std::unique_ptr<PluginBundle> bundle;
    std::unique_ptr<HostInstance> instance;
    std::unique_ptr<HostEditor> editor;
    RovuRiza_View* view = nullptr;
};

TEST_F(X11EditorTest, DraggingGainUpIsOneGestureOfRisingRequests)
{
    AAX_Point size = editor->ViewSize();
    EXPECT_EQ(size.horz, RovuRiza_View::Background()->getWidth());
    MoveTo(93, 485);
    Button(true);
    for (int y = 485 - 4; y >= 451; y -= 5)
        MoveTo(93, y);
    MoveTo(93, 451);
    Button(false);
    Pump(12);

    const Gesture gesture = GestureOf("Gain");
    EXPECT_EQ(gesture.outerTouches, 1);
    EXPECT_EQ(gesture.finalDepth, 0);
    ASSERT_GE(gesture.requests.size(), 2u);
    for (size_t i = 1; i < gesture.requests.size(); ++i)
        EXPECT_GT(gesture.requests[i], gesture.requests[i - 1]);
    EXPECT_NEAR(gesture.requests.back(), 0.37, 1e-4);
    double confirmed = 0.0;
    instance->GetParameter("Gain", &confirmed);
    EXPECT_NEAR(confirmed, 0.37, 1e-4);
    EXPECT_STREQ(view->ReadoutText(), "Gain 37.00");

    // Option-click resets to the default, inside one gesture.
    MoveTo(93, 485);
    instance->Automation().ClearEvents();
    Key(XK_Alt_L, true);
    Button(true);
    Button(false);
    Key(XK_Alt_L, false);
    const Gesture reset = GestureOf("Gain");
    EXPECT_EQ(reset.outerTouches, 1);
    EXPECT_EQ(reset.finalDepth, 0);
    ASSERT_EQ(reset.requests.size(), 1u);
    EXPECT_NEAR(reset.requests[0], 0.2, 1e-6);
    instance->GetParameter("Gain", &confirmed);
    EXPECT_NEAR(confirmed, 0.2, 1e-6);
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.2f);
}

TEST_F(X11EditorTest, ChoosingAVoicingFromThePopupSetsSound)
{
    MoveTo(140, 24);
    Button(true);
    Button(false);
    VSTGUI::IPlatformFrame* platform = view->getPlatformFrame();
    ASSERT_TRUE(platform->isPopupOpen());
    const VSTGUI::CRect list = platform->getPopupRect();
    const int entries = view->SoundMenu()->getNbEntries();
    ASSERT_EQ(static_cast<int>(list.getHeight() - 2) % entries, 0) << "expected one column";
    const double entryHeight = (list.getHeight() - 2) / entries;
    MoveTo(static_cast<int>(list.left + 20), static_cast<int>(list.top + 1 + 5.5 * entryHeight));
    Button(true);
    Button(false);
    EXPECT_FALSE(platform->isPopupOpen());

    const Gesture gesture = GestureOf("Sound");
    EXPECT_EQ(gesture.outerTouches, 1);
    EXPECT_EQ(gesture.finalDepth, 0);
    ASSERT_EQ(gesture.requests.size(), 1u);
    EXPECT_NEAR(gesture.requests[0], 0.05, 1e-9);
    double confirmed = 0.0;
    instance->GetParameter("Sound", &confirmed);
    EXPECT_NEAR(confirmed, 0.05, 1e-6);
    EXPECT_EQ(view->SoundMenu()->getCurrentIndex(), 5);
    EXPECT_STREQ(view->ReadoutText(), "Microphone");
}
} // namespace
