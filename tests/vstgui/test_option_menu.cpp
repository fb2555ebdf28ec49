// Option menus: entries, value as entry index, and the popup list on the offscreen backend.

#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace VSTGUI;
using namespace vstgui_test;

namespace
{

struct MenuFixture : ::testing::Test
{
    void SetUp() override
    {
        frame = new CFrame(CRect(0, 0, 400, 400), &editor);
        frame->open(nullptr);
        menu = new COptionMenu(CRect(14, 14, 270, 34), &listener, 8, nullptr, nullptr, k3DIn);
        for (int i = 0; i < 28; ++i)
            menu->addEntry(("Entry " + std::to_string(i + 1)).c_str());
        frame->addView(menu);
        platform = frame->getPlatformFrame();
    }
    void TearDown() override
    {
        if (frame) frame->close();
    }

    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame{};
    COptionMenu* menu{};
    IPlatformFrame* platform{};
};

} // namespace

TEST_F(MenuFixture, ValueIsTheEntryIndexAndMaxIsTheLastIndex)
{
    EXPECT_EQ(menu->getNbEntries(), 28);
    EXPECT_EQ(menu->getMax(), 27.f);
    EXPECT_EQ(menu->getMin(), 0.f);
    EXPECT_TRUE(menu->setCurrent(5));
    EXPECT_EQ(menu->getCurrentIndex(), 5);
    EXPECT_EQ(menu->getValue(), 5.f);
    EXPECT_STREQ(menu->getCurrent()->getTitle(), "Entry 6");
    EXPECT_FALSE(menu->setCurrent(28));
    EXPECT_FALSE(menu->setCurrent(-1));
    EXPECT_EQ(menu->getCurrentIndex(), 5);
    EXPECT_TRUE(listener.log.empty()); // setCurrent and setValue are silent
}

TEST_F(MenuFixture, NormalizedValuesTimesHundredRoundToTheNearestEntry)
{
    // Products that land just below an integer must not select the entry before it.
    for (int index = 0; index < 28; ++index)
    {
        double normalized = index * 0.01;
        menu->setValue(static_cast<float>(normalized * 100));
        EXPECT_EQ(menu->getCurrentIndex(), index);
        menu->setValue(std::nextafter(static_cast<float>(index), -1.f));
        EXPECT_EQ(menu->getCurrentIndex(), index);
        EXPECT_EQ(menu->getValue(), static_cast<float>(index));
    }
    menu->setValue(5.f);
    menu->setValue(28.f); // beyond the entries
    menu->setValue(-1.f);
    menu->setValue(std::nanf(""));
    EXPECT_EQ(menu->getCurrentIndex(), 5);
}

TEST_F(MenuFixture, SeparatorsCountOnlyWhenAsked)
{
    auto* m = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 1);
    m->addEntry("a");
    m->addEntry("-");
    m->addEntry("b");
    EXPECT_TRUE(m->getEntry(1)->isSeparator());
    m->setValue(2.f);
    EXPECT_EQ(m->getCurrentIndex(true), 2);
    EXPECT_EQ(m->getCurrentIndex(false), 1);
    EXPECT_TRUE(m->setCurrent(1, false));
    EXPECT_EQ(m->getCurrentIndex(true), 2);
    m->forget();
}

TEST_F(MenuFixture, ClickOpensThePopupAndAChoiceIsOneEdit)
{
    menu->setCurrent(0);
    CPoint where(100, 20);
    EXPECT_EQ(menu->onMouseDown(where, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    ASSERT_TRUE(platform->isPopupOpen());
    EXPECT_TRUE(menu->isPopupOpen());
    EXPECT_TRUE(listener.log.empty()); // opening alone edits nothing

    EXPECT_FALSE(platform->choosePopupEntry(28));
    EXPECT_TRUE(platform->choosePopupEntry(5));
    EXPECT_FALSE(platform->isPopupOpen());
    EXPECT_EQ(menu->getCurrentIndex(), 5);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "value 5.000000", "end"}));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"editor begin 8", "editor end 8"}));
}

TEST_F(MenuFixture, InjectedClicksChooseOrDismissThroughTheList)
{
    platform->injectMouseDown(CPoint(100, 20), kLButton);
    platform->injectMouseUp(CPoint(100, 20), kLButton); // the opening click's release
    ASSERT_TRUE(platform->isPopupOpen());
    CRect list = platform->getPopupRect();
    EXPECT_GE(list.top, 0);
    EXPECT_LE(list.bottom, 400);
    // 28 entries do not fit 400 pixels in one column: the list wraps, every entry reachable.
    for (int32_t i = 0; i < menu->getNbEntries(); ++i)
    {
        CRect entry = platform->getPopupEntryRect(i);
        EXPECT_TRUE(list.rectOverlap(entry)) << i;
        EXPECT_GE(entry.top, list.top);
        EXPECT_LE(entry.bottom, list.bottom);
    }
    CPoint eighth = platform->getPopupEntryRect(7).getCenter();
    CPoint last = platform->getPopupEntryRect(27).getCenter();
    EXPECT_GT(last.x, eighth.x); // in a later column

    // Hovering changes nothing; a press on the eighth entry chooses it.
    platform->injectMouseMoved(eighth, 0);
    EXPECT_TRUE(listener.log.empty());
    platform->injectMouseDown(eighth, kLButton);
    EXPECT_EQ(menu->getCurrentIndex(), 7);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "value 7.000000", "end"}));

    // A press outside dismisses: no edit, no change, and the press does not reach the views.
    listener.log.clear();
    platform->injectMouseDown(CPoint(100, 20), kLButton);
    ASSERT_TRUE(platform->isPopupOpen());
    platform->injectMouseDown(CPoint(list.right + 20, 5), kLButton);
    EXPECT_FALSE(platform->isPopupOpen());
    EXPECT_EQ(menu->getCurrentIndex(), 7);
    EXPECT_TRUE(listener.log.empty());
}

TEST_F(MenuFixture, RightClickOpensMiddleClickDoesNot)
{
    CPoint where(100, 20);
    EXPECT_EQ(menu->onMouseDown(where, kMButton), kMouseEventNotHandled);
    EXPECT_FALSE(platform->isPopupOpen());
    menu->onMouseDown(where, kRButton);
    EXPECT_TRUE(platform->isPopupOpen());
    platform->closePopup();
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_TRUE(listener.log.empty());
}

TEST_F(MenuFixture, RemovingTheMenuOrClosingTheFrameWithTheListOpenIsSafe)
{
    CPoint where(100, 20);
    menu->onMouseDown(where, kLButton);
    ASSERT_TRUE(platform->isPopupOpen());
    frame->removeView(menu);
    EXPECT_FALSE(platform->isPopupOpen());
    EXPECT_TRUE(listener.log.empty());

    auto* second = new COptionMenu(CRect(0, 100, 100, 120), &listener, 9);
    second->addEntry("Vintage Pickup 1");
    second->addEntry("Modern Pickup 1");
    frame->addView(second);
    second->popup();
    ASSERT_TRUE(platform->isPopupOpen());
    frame->close();
    frame = nullptr;
    EXPECT_TRUE(listener.log.empty());
}

TEST(OptionMenu, PopupNeedsAnOpenFrameAndEntries)
{
    auto* m = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 1);
    m->addEntry("x");
    EXPECT_FALSE(m->popup()); // no frame
    auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
    frame->addView(m);
    EXPECT_FALSE(m->popup()); // frame not open
    frame->open(nullptr);
    m->removeAllEntry();
    EXPECT_FALSE(m->popup());
    frame->close();
}
