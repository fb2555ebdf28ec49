// Real X11 input under a private Xvfb server: XTest moves and clicks the pointer, the frame's
// event pump turns the events into toolkit mouse events. Skips when Xvfb cannot start.

#include <gtest/gtest.h>

#include "test_support.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

using namespace VSTGUI;
using namespace vstgui_test;

namespace
{

[[maybe_unused]] ::testing::Environment* const cacheRelease =
    ::testing::AddGlobalTestEnvironment(new GraphicsCacheRelease);

class XvfbServer
{
public:
    bool start()
    {
        for (int attempt = 0; attempt < 30; ++attempt)
        {
            int number = 40 + (getpid() + attempt * 7) % 400;
            char lock[64], name[16];
            snprintf(lock, sizeof lock, "/tmp/.X%d-lock", number);
            snprintf(name, sizeof name, ":%d", number);
            if (access(lock, F_OK) == 0) continue;
            display = name;
            pid = fork();
            if (pid == 0)
            {
                int devnull = open("/dev/null", O_WRONLY);
                dup2(devnull, 1);
                dup2(devnull, 2);
                execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "640x480x24", "-noreset",
                       "-nolisten", "tcp", static_cast<char*>(nullptr));
                _exit(127);
            }
            if (pid < 0) return false;
            for (int i = 0; i < 100; ++i)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                int status;
                if (waitpid(pid, &status, WNOHANG) == pid)
                {
                    pid = -1;
                    break; // it exited (display taken, or no Xvfb): try another number
                }
                if (Display* d = XOpenDisplay(display.c_str()))
                {
                    XCloseDisplay(d);
                    // Answered, but is it ours? A server started at the same moment by another
                    // test program may hold the number, and ours then exits.
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    if (waitpid(pid, &status, WNOHANG) == pid)
                    {
                        pid = -1;
                        break;
                    }
                    setenv("DISPLAY", display.c_str(), 1);
                    return true;
                }
            }
            stop();
        }
        return false;
    }
    void stop()
    {
        if (pid > 0)
        {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~XvfbServer() { stop(); }
    std::string display;
    pid_t pid{-1};
};

XvfbServer* server = nullptr;
bool serverUp = false;

struct ButtonRecorder : CView
{
    using CView::CView;
    CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override
    {
        downs.push_back(buttons());
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    std::vector<int32_t> downs;
};

class X11Input : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        server = new XvfbServer;
        serverUp = server->start();
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        if (!serverUp) GTEST_SKIP() << "Xvfb could not be started";
        host = XOpenDisplay(nullptr);
        ASSERT_NE(host, nullptr);
        int xtestEvent, xtestError, major, minor;
        if (!XTestQueryExtension(host, &xtestEvent, &xtestError, &major, &minor))
            GTEST_SKIP() << "no XTest";
        parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 300, 300, 0, 0, 0);
        XMapWindow(host, parent);
        XSync(host, False);
        frame = new CFrame(CRect(0, 0, 300, 300), &editor);
        ASSERT_TRUE(frame->open(reinterpret_cast<void*>(parent), kNSView));
        frame->setBackgroundColor(CColor(32, 64, 96, 255));
        pumpUntil([] { return false; }, 100); // map and first expose
    }
    void TearDown() override
    {
        if (frame) frame->close();
        if (host)
        {
            releaseEverything();
            XDestroyWindow(host, parent);
            XCloseDisplay(host);
        }
    }

    void releaseEverything()
    {
        for (unsigned b = 1; b <= 3; ++b)
            XTestFakeButtonEvent(host, b, False, CurrentTime);
        for (KeySym k : {XK_Shift_L, XK_Alt_L})
            XTestFakeKeyEvent(host, XKeysymToKeycode(host, k), False, CurrentTime);
        XSync(host, False);
    }

    // Pumps the frame's events until `done` holds or `ms` pass.
    bool pumpUntil(const std::function<bool()>& done, int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end)
        {
            frame->idle();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        frame->idle();
        return done();
    }
    void settle()
    {
        pumpUntil([] { return false; }, 80);
    }

    void moveTo(int x, int y)
    {
        XTestFakeMotionEvent(host, DefaultScreen(host), x, y, CurrentTime);
        XSync(host, False);
        settle();
    }
    void button(unsigned b, bool press)
    {
        XTestFakeButtonEvent(host, b, press, CurrentTime);
        XSync(host, False);
        settle();
    }
    void key(KeySym sym, bool press)
    {
        XTestFakeKeyEvent(host, XKeysymToKeycode(host, sym), press, CurrentTime);
        XSync(host, False);
    }

    Display* host{};
    Window parent{};
    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame{};
};

} // namespace

TEST_F(X11Input, FrameIsAChildWindowAndPaintsIt)
{
    IPlatformFrame* platform = frame->getPlatformFrame();
    ASSERT_EQ(platform->getPlatformType(), kX11EmbedWindowID);
    Window frameWindow = platform->getNativeWindow();
    Window root, parentOfFrame, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(host, frameWindow, &root, &parentOfFrame, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(parentOfFrame, parent);
    EXPECT_GE(platform->getEventFileDescriptor(), 0);

    frame->invalid();
    settle();
    XImage* image = XGetImage(host, frameWindow, 5, 5, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, 0x204060u);
    XDestroyImage(image);

    moveTo(123, 45);
    CPoint where;
    ASSERT_TRUE(frame->getCurrentMouseLocation(where));
    EXPECT_EQ(where, CPoint(123, 45));
}

TEST_F(X11Input, PressStateIncludesThePressedButtonAndModifiers)
{
    auto* recorder = new ButtonRecorder(CRect(0, 0, 100, 100));
    frame->addView(recorder);
    // Each press somewhere else, so none counts as a double click.
    moveTo(20, 20);
    button(1, true);
    button(1, false);
    moveTo(50, 50);
    key(XK_Alt_L, true);
    button(1, true);
    button(1, false);
    key(XK_Alt_L, false);
    moveTo(80, 80);
    key(XK_Shift_L, true);
    button(3, true);
    button(3, false);
    key(XK_Shift_L, false);
    ASSERT_TRUE(pumpUntil([&] { return recorder->downs.size() >= 3; }));
    EXPECT_EQ(recorder->downs[0], kLButton);
    EXPECT_EQ(recorder->downs[1], kLButton | kAlt); // exactly 0x42
    EXPECT_EQ(recorder->downs[2], kRButton | kShift);

    // A second press soon at the same place is a double click.
    button(3, true);
    button(3, false);
    ASSERT_TRUE(pumpUntil([&] { return recorder->downs.size() >= 4; }));
    EXPECT_EQ(recorder->downs[3], kRButton | kDoubleClick);
}

TEST_F(X11Input, DraggingAKnobUpIsOneEditWithRisingValues)
{
    auto* knob = new CAnimKnob(CRect(10, 150, 50, 190), &listener, 3, 131, 40, nullptr);
    frame->addView(knob);
    moveTo(30, 170);
    button(1, true);
    for (int y = 160; y >= 120; y -= 10)
        moveTo(30, y);
    button(1, false);
    ASSERT_TRUE(pumpUntil([&] { return !listener.log.empty() && listener.log.back() == "end"; }));
    EXPECT_EQ(listener.log.front(), "begin");
    EXPECT_EQ(std::count(listener.log.begin(), listener.log.end(), "begin"), 1);
    ASSERT_GE(listener.values.size(), 2u);
    for (size_t i = 1; i < listener.values.size(); ++i)
        EXPECT_GT(listener.values[i], listener.values[i - 1]);
    EXPECT_NEAR(knob->getValue(), 0.25f, 1e-4); // 50 px of 200

    // With shift held the same distance moves it 1.5 times less.
    listener.log.clear();
    knob->setValue(0.f);
    key(XK_Shift_L, true);
    moveTo(30, 170);
    button(1, true);
    moveTo(30, 140);
    button(1, false);
    key(XK_Shift_L, false);
    ASSERT_TRUE(pumpUntil([&] { return !listener.log.empty() && listener.log.back() == "end"; }));
    EXPECT_NEAR(knob->getValue(), 0.1f, 1e-4);
    EXPECT_EQ(editor.log.front(), "editor begin 3");
}

TEST_F(X11Input, PopupListWindowChoosesAnEntry)
{
    auto* menu = new COptionMenu(CRect(60, 10, 200, 30), &listener, 8);
    for (const char* title : {"one", "two", "three", "four", "five", "six"})
        menu->addEntry(title);
    menu->setCurrent(0);
    frame->addView(menu);
    moveTo(100, 20);
    button(1, true);
    button(1, false);
    IPlatformFrame* platform = frame->getPlatformFrame();
    ASSERT_TRUE(pumpUntil([&] { return platform->isPopupOpen(); }));
    EXPECT_TRUE(listener.log.empty());
    CPoint sixth = platform->getPopupEntryRect(5).getCenter();
    moveTo(int(sixth.x), int(sixth.y));
    button(1, true);
    button(1, false);
    ASSERT_TRUE(pumpUntil([&] { return !platform->isPopupOpen(); }));
    EXPECT_EQ(menu->getCurrentIndex(), 5);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "value 5.000000", "end"}));

    // Escape dismisses the list without an edit.
    listener.log.clear();
    moveTo(100, 20);
    button(1, true);
    button(1, false);
    ASSERT_TRUE(pumpUntil([&] { return platform->isPopupOpen(); }));
    key(XK_Escape, true);
    key(XK_Escape, false);
    ASSERT_TRUE(pumpUntil([&] { return !platform->isPopupOpen(); }));
    EXPECT_TRUE(listener.log.empty());
    EXPECT_EQ(menu->getCurrentIndex(), 5);
}

TEST_F(X11Input, ParentDestroyedBeforeTheFrameClosesIsSurvived)
{
    auto* knob = new CAnimKnob(CRect(10, 10, 50, 50), &listener, 3, 131, 40, nullptr);
    frame->addView(knob);
    settle();
    XDestroyWindow(host, parent); // the host tears its window down first
    XSync(host, False);
    knob->setValue(0.5f);
    knob->invalid();
    settle(); // drawing into the vanished window
    EXPECT_TRUE(frame->getPlatformFrame() != nullptr);
    frame->close();
    frame = nullptr;
    parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 10, 10, 0, 0, 0);
}

TEST(X11Fallback, UnusableParentFallsBackToOffscreen)
{
    // A window id that does not exist (or no display at all): still a working frame.
    auto* frame = new CFrame(CRect(0, 0, 50, 50), nullptr);
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(0x7fffff0UL), kNSView));
    EXPECT_EQ(frame->getPlatformFrame()->getPlatformType(), kOffscreen);
    frame->close();
}
