// Drawing through the offscreen backend (PNG snapshots) and the X11 event translation.

#include <gtest/gtest.h>

#include "test_support.h"
#include "vstgui/lib/platform/x11events.h"

#include <X11/X.h>

using namespace VSTGUI;
using namespace vstgui_test;

namespace
{

struct Snapshot
{
    explicit Snapshot(const std::string& path)
        : image(cairo_image_surface_create_from_png(path.c_str()))
    {
    }
    ~Snapshot() { cairo_surface_destroy(image); }
    bool ok() const { return cairo_surface_status(image) == CAIRO_STATUS_SUCCESS; }
    uint32_t at(int x, int y) const { return pixelAt(image, x, y); }
    // Pixels in the rectangle that differ from `colour`.
    int countOtherThan(const CRect& r, uint32_t colour) const
    {
        int n = 0;
        for (int y = int(r.top); y < int(r.bottom); ++y)
            for (int x = int(r.left); x < int(r.right); ++x)
                n += at(x, y) != colour;
        return n;
    }
    cairo_surface_t* image;
};

constexpr uint32_t kBackground = 0xFF204060; // opaque (32, 64, 96)

} // namespace

TEST(Snapshot, SmallFrameDrawsBackgroundFilmStripImageAndText)
{
    TempResources resources(131, 20, 10);
    auto* strip = new CBitmap(CResourceDescription("strip.png"));
    ASSERT_TRUE(strip->isLoaded());

    auto* frame = new CFrame(CRect(0, 0, 120, 60), nullptr);
    ASSERT_TRUE(frame->open(nullptr));
    frame->setBackgroundColor(CColor(32, 64, 96, 255));
    auto* knob = new CAnimKnob(CRect(10, 10, 30, 20), nullptr, 3, 131, 10, strip, CPoint(10, 10));
    knob->setValue(0.2f);
    frame->addView(knob);
    auto* label = new CTextLabel(CRect(40, 30, 115, 50), "Gain 37.00");
    label->setFont(kNormalFontVeryBig);
    label->setFontColor(CColor(230, 230, 230, 255));
    label->setBackColor(kTransparentCColor);
    label->setFrameColor(kTransparentCColor);
    label->setHoriAlign(kLeftText);
    frame->addView(label);
    auto* empty = new CTextLabel(CRect(40, 5, 115, 25), "");
    empty->setBackColor(kTransparentCColor);
    empty->setFrameColor(kTransparentCColor);
    frame->addView(empty);

    std::string path = resources.dir + "/snapshot.png";
    ASSERT_TRUE(frame->writePNG(path.c_str()));
    {
        Snapshot shot(path);
        ASSERT_TRUE(shot.ok());
        EXPECT_EQ(cairo_image_surface_get_width(shot.image), 120);
        EXPECT_EQ(cairo_image_surface_get_height(shot.image), 60);
        EXPECT_EQ(shot.at(2, 2), kBackground);
        EXPECT_EQ(shot.at(15, 15), 0xFF1A1A1Au); // image 26 of the strip: grey level 26
        EXPECT_GT(shot.countOtherThan(CRect(40, 30, 115, 50), kBackground), 20); // the text
        EXPECT_EQ(shot.countOtherThan(CRect(40, 5, 115, 25), kBackground), 0);   // transparent
    }

    // A value change redraws only after invalidation; the last image is 130.
    knob->setValue(1.f);
    knob->invalid();
    ASSERT_TRUE(frame->writePNG(path.c_str()));
    {
        Snapshot shot(path);
        EXPECT_EQ(shot.at(15, 15), 0xFF828282u);
        EXPECT_EQ(shot.at(35, 15), kBackground);
    }
    unlink(path.c_str());
    strip->forget();
    frame->close();
}

TEST(Snapshot, OpenPopupListIsDrawnOverTheFrameAndGoesAway)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 200), nullptr);
    frame->open(nullptr);
    frame->setBackgroundColor(CColor(32, 64, 96, 255));
    auto* menu = new COptionMenu(CRect(10, 10, 110, 30), nullptr, 9);
    menu->setBackColor(kTransparentCColor);
    menu->setFrameColor(kTransparentCColor);
    menu->addEntry("Vintage Pickup 1");
    menu->addEntry("Modern Pickup 1");
    frame->addView(menu);
    ASSERT_TRUE(menu->popup());
    CRect list = frame->getPlatformFrame()->getPopupRect();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.top, 30); // right below the menu
    std::string path = "/tmp/vstgui-popup-" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(frame->writePNG(path.c_str()));
    {
        Snapshot shot(path);
        EXPECT_NE(shot.at(int(list.left) + 3, int(list.top) + 3), kBackground);
    }
    frame->getPlatformFrame()->closePopup();
    ASSERT_TRUE(frame->writePNG(path.c_str()));
    {
        Snapshot shot(path);
        EXPECT_EQ(shot.at(int(list.left) + 3, int(list.top) + 3), kBackground);
    }
    unlink(path.c_str());
    frame->close();
}

TEST(Snapshot, WritingFailsCleanlyWhenClosedOrUnwritable)
{
    auto* frame = new CFrame(CRect(0, 0, 10, 10), nullptr);
    EXPECT_FALSE(frame->writePNG("/tmp/never.png")); // not open
    frame->open(nullptr);
    EXPECT_FALSE(frame->writePNG("/no/such/folder/x.png"));
    EXPECT_FALSE(frame->writePNG(nullptr));
    frame->close();
}

TEST(X11Events, ButtonsAndModifiersMapToButtonState)
{
    using X11::MouseEventKind;
    // A press's state does not yet include the pressed button.
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Press, 0, Button1)(), kLButton);
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Press, ShiftMask, Button3)(),
              kRButton | kShift);
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Press, Mod1Mask, Button1)(),
              kLButton | kAlt);
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Press, ControlMask | Mod4Mask, Button2)(),
              kMButton | kControl | kApple);
    // A release still carries the released button; a motion carries the held ones.
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Release, Button1Mask, Button1)(), kLButton);
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Motion, Button1Mask | ShiftMask, 0)(),
              kLButton | kShift);
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Motion, LockMask | Mod2Mask, 0)(), 0);
    // Caps lock and num lock do not spoil an exact left+alt click.
    EXPECT_EQ(
        X11::buttonStateFromEvent(MouseEventKind::Press, Mod1Mask | LockMask | Mod2Mask, Button1)(),
        kLButton | kAlt);
    EXPECT_TRUE(X11::buttonStateFromEvent(MouseEventKind::Press, 0, Button1).isLeftButton());
    // Wheel "buttons" add no button bit.
    EXPECT_EQ(X11::buttonStateFromEvent(MouseEventKind::Press, 0, Button4)(), 0);
}

TEST(X11Events, DoubleClickNeedsSameButtonSoonAndClose)
{
    EXPECT_TRUE(X11::isDoubleClick(1000, CPoint(10, 10), 1, 1300, CPoint(12, 9), 1));
    EXPECT_FALSE(X11::isDoubleClick(1000, CPoint(10, 10), 1, 1500, CPoint(10, 10), 1));
    EXPECT_FALSE(X11::isDoubleClick(1000, CPoint(10, 10), 1, 1100, CPoint(20, 10), 1));
    EXPECT_FALSE(X11::isDoubleClick(1000, CPoint(10, 10), 3, 1100, CPoint(10, 10), 1));
    EXPECT_FALSE(X11::isDoubleClick(1000, CPoint(10, 10), 1, 900, CPoint(10, 10), 1));
}
