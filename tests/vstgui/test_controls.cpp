// Control values, edit gestures, film-strip image choice, knob dragging and default resets.

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace VSTGUI;
using namespace vstgui_test;

namespace
{

// A knob whose reset rule is a left click with alt only, as an editor might define it.
struct AltResetKnob : CAnimKnob
{
    using CAnimKnob::CAnimKnob;
    bool checkDefaultValue(CButtonState button) override
    {
        if (button() != (kLButton | kAlt)) return false;
        beginEdit();
        setValue(getDefaultValue());
        if (isDirty()) valueChanged();
        endEdit();
        return true;
    }
};

struct KnobFixture : ::testing::Test
{
    void SetUp() override
    {
        frame = new CFrame(CRect(0, 0, 300, 300), &editor);
        frame->open(nullptr);
        knob = new CAnimKnob(CRect(10, 240, 30, 260), &listener, 3, 131, 10, nullptr);
        frame->addView(knob);
        platform = frame->getPlatformFrame();
    }
    void TearDown() override { frame->close(); }

    void drag(CPoint from, CPoint to, CButtonState buttons)
    {
        platform->injectMouseDown(from, buttons);
        platform->injectMouseMoved(to, buttons);
        platform->injectMouseUp(to, buttons);
    }

    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame{};
    CAnimKnob* knob{};
    IPlatformFrame* platform{};
};

} // namespace

TEST(Control, StartsAtZeroInUnitRangeWithDefaultHalf)
{
    auto* c = new CControl(CRect(0, 0, 10, 10));
    EXPECT_EQ(c->getValue(), 0.f);
    EXPECT_EQ(c->getMin(), 0.f);
    EXPECT_EQ(c->getMax(), 1.f);
    EXPECT_EQ(c->getDefaultValue(), 0.5f);
    c->forget();
}

TEST(Control, SetValueClampsIgnoresNaNAndDoesNotTellTheListener)
{
    RecordingListener listener;
    auto* c = new CControl(CRect(0, 0, 10, 10), &listener, 7);
    c->setValue(1.5f);
    EXPECT_EQ(c->getValue(), 1.f);
    c->setValue(-2.f);
    EXPECT_EQ(c->getValue(), 0.f);
    c->setValue(0.25f);
    c->setValue(std::nanf(""));
    EXPECT_EQ(c->getValue(), 0.25f);
    c->setMin(10.f);
    c->setMax(20.f);
    c->setValueNormalized(0.5f);
    EXPECT_EQ(c->getValue(), 15.f);
    EXPECT_FLOAT_EQ(c->getValueNormalized(), 0.5f);
    EXPECT_TRUE(listener.log.empty());
    c->valueChanged();
    EXPECT_EQ(listener.values, std::vector<float>{15.f});
    EXPECT_EQ(c->getTag(), 7);
    c->forget();
}

TEST(Control, EditGesturesNestAndOnlyTheOutermostReachListenerAndEditor)
{
    RecordingEditor editor;
    RecordingListener listener;
    auto* frame = new CFrame(CRect(0, 0, 100, 100), &editor);
    auto* c = new CControl(CRect(0, 0, 10, 10), &listener, 4);
    frame->addView(c);
    c->beginEdit();
    c->beginEdit();
    EXPECT_TRUE(c->isEditing());
    c->endEdit();
    EXPECT_TRUE(c->isEditing());
    c->endEdit();
    EXPECT_FALSE(c->isEditing());
    c->endEdit(); // unbalanced: ignored
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"editor begin 4", "editor end 4"}));
    frame->forget();
}

TEST(Control, DirtyUntilDrawnOrInvalidated)
{
    auto* c = new CControl(CRect(0, 0, 10, 10));
    c->invalid();
    EXPECT_FALSE(c->isDirty());
    c->setValue(0.3f);
    EXPECT_TRUE(c->isDirty());
    c->setDirty(false);
    EXPECT_FALSE(c->isDirty());
    c->setDirty(true);
    EXPECT_TRUE(c->isDirty());
    c->forget();
}

TEST(AnimKnob, ShowsImageFloorOfValueTimesLastIndex)
{
    auto* knob = new CAnimKnob(CRect(0, 0, 20, 10), nullptr, 3, 131, 10, nullptr);
    struct Case
    {
        float value;
        int32_t image;
    };
    for (Case c : {Case{0.f, 0}, Case{0.2f, 26}, Case{0.5f, 65}, Case{0.999f, 129}, Case{1.f, 130},
                   Case{0.0076f, 0}, Case{0.0077f, 1}})
    {
        knob->setValue(c.value);
        EXPECT_EQ(knob->getCurrentImageIndex(), c.image) << "value " << c.value;
    }
    knob->setInverseBitmap(true);
    knob->setValue(0.f);
    EXPECT_EQ(knob->getCurrentImageIndex(), 130);
    knob->forget();
}

TEST_F(KnobFixture, DraggingUpTwoHundredPixelsCoversTheFullRange)
{
    drag(CPoint(20, 250), CPoint(20, 150), kLButton);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
    drag(CPoint(20, 250), CPoint(20, 0), kLButton); // past the top: clamped
    EXPECT_EQ(knob->getValue(), 1.f);
    drag(CPoint(20, 250), CPoint(20, 300), kLButton); // down lowers
    EXPECT_NEAR(knob->getValue(), 0.75f, 1e-5);
    ASSERT_GE(listener.log.size(), 3u);
    EXPECT_EQ(listener.log.front(), "begin");
    EXPECT_EQ(listener.log.back(), "end");
}

TEST_F(KnobFixture, ShiftMakesTheDragFinerByTheZoomFactor)
{
    drag(CPoint(20, 250), CPoint(20, 200), kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 50.f / 300.f, 1e-5);

    // Pressing shift during a drag changes the scale from there on, without a jump.
    knob->setValue(0.f);
    platform->injectMouseDown(CPoint(20, 250), kLButton);
    platform->injectMouseMoved(CPoint(20, 230), kLButton); // 20 px coarse: 0.1
    EXPECT_NEAR(knob->getValue(), 0.1f, 1e-5);
    platform->injectMouseMoved(CPoint(20, 230), kLButton | kShift);
    platform->injectMouseMoved(CPoint(20, 200), kLButton | kShift); // 30 px fine: +0.1
    EXPECT_NEAR(knob->getValue(), 0.2f, 1e-5);
    platform->injectMouseUp(CPoint(20, 200), kLButton | kShift);
}

TEST_F(KnobFixture, OneDragIsOneEditWithRisingValues)
{
    platform->injectMouseDown(CPoint(20, 250), kLButton);
    for (int y = 240; y >= 200; y -= 10)
        platform->injectMouseMoved(CPoint(20, y), kLButton);
    platform->injectMouseUp(CPoint(20, 200), kLButton);
    ASSERT_EQ(listener.log.size(), 7u);
    EXPECT_EQ(listener.log.front(), "begin");
    EXPECT_EQ(listener.log.back(), "end");
    for (size_t i = 1; i < listener.values.size(); ++i)
        EXPECT_GT(listener.values[i], listener.values[i - 1]);
    EXPECT_EQ(editor.log, (std::vector<std::string>{"editor begin 3", "editor end 3"}));
    EXPECT_FALSE(knob->isEditing());
}

TEST_F(KnobFixture, AnEditEndedElsewhereEndsTheDrag)
{
    // As when a host takes the mouse-up and the control closes the edit itself.
    platform->injectMouseDown(CPoint(20, 250), kLButton);
    platform->injectMouseMoved(CPoint(20, 240), kLButton);
    knob->endEdit();
    float valueAtEnd = knob->getValue();
    CPoint further(20, 200);
    EXPECT_EQ(knob->onMouseMoved(further, kLButton), kMouseEventNotHandled);
    EXPECT_EQ(knob->getValue(), valueAtEnd);
    CPoint up(20, 200);
    knob->onMouseUp(up, kLButton);
    EXPECT_EQ(std::count(listener.log.begin(), listener.log.end(), "end"), 1);
    EXPECT_FALSE(knob->isEditing());
}

TEST_F(KnobFixture, OnlyTheLeftButtonTurnsTheKnob)
{
    CPoint where(20, 20);
    EXPECT_EQ(knob->onMouseDown(where, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(knob->onMouseDown(where, kLButton | kRButton), kMouseEventNotHandled);
    drag(CPoint(20, 250), CPoint(20, 150), kRButton);
    EXPECT_EQ(knob->getValue(), 0.f);
    EXPECT_TRUE(listener.log.empty());
}

TEST_F(KnobFixture, DefaultModifierClickResetsInsideAnEditAndWantsNoMoreEvents)
{
    knob->setDefaultValue(0.2f);
    knob->setValue(0.7f);
    CPoint where(20, 20);
    EXPECT_EQ(knob->onMouseDown(where, kLButton | kDefaultValueModifier),
              kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.2f);
    EXPECT_FALSE(knob->isEditing());
    // The mouse-down's own edit wraps the reset's edit: one begin and one end in all.
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "value 0.200000", "end"}));

    // With another modifier too it is an ordinary drag.
    listener.log.clear();
    EXPECT_EQ(knob->onMouseDown(where, kLButton | kDefaultValueModifier | kShift),
              kMouseEventHandled);
    CPoint up(20, 20);
    knob->onMouseUp(up, kLButton);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "end"}));
}

TEST_F(KnobFixture, OverriddenResetRuleIsConsultedOnMouseDown)
{
    auto* custom = new AltResetKnob(CRect(50, 10, 70, 30), &listener, 5, 131, 10, nullptr);
    frame->addView(custom);
    custom->setDefaultValue(0.4f);
    custom->setValue(0.9f);
    custom->invalid(); // as after a redraw: clean
    platform->injectMouseDown(CPoint(60, 20), kLButton | kAlt);
    platform->injectMouseMoved(CPoint(60, 0), kLButton | kAlt);
    platform->injectMouseUp(CPoint(60, 0), kLButton | kAlt);
    EXPECT_FLOAT_EQ(custom->getValue(), 0.4f);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "value 0.400000", "end"}));

    listener.log.clear();
    platform->injectMouseDown(CPoint(60, 20), kLButton | kAlt | kShift); // not exactly left+alt
    platform->injectMouseUp(CPoint(60, 20), kLButton | kAlt | kShift);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"begin", "end"}));
    EXPECT_FLOAT_EQ(custom->getValue(), 0.4f);
}

TEST(ButtonState, BitsAndLeftButtonMeaning)
{
    EXPECT_EQ(kLButton, 0x02);
    EXPECT_EQ(kMButton, 0x04);
    EXPECT_EQ(kRButton, 0x08);
    EXPECT_EQ(kShift, 0x10);
    EXPECT_EQ(kControl, 0x20);
    EXPECT_EQ(kAlt, 0x40);
    EXPECT_EQ(kApple, 0x80);
    EXPECT_EQ(kDoubleClick, 0x400);
    EXPECT_TRUE(CButtonState(kLButton | kShift | kAlt).isLeftButton());
    EXPECT_FALSE(CButtonState(kLButton | kRButton).isLeftButton());
    EXPECT_FALSE(CButtonState(kShift).isLeftButton());
    EXPECT_EQ(CButtonState(kLButton | kShift | kDoubleClick).getModifierState(), kShift);
    EXPECT_EQ(k3DIn, 0x80);
    EXPECT_EQ(kMouseDownEventHandledButDontNeedMovedOrUpEvents, 3);
    EXPECT_EQ(kMouseMoveEventHandledButDontNeedMoreEvents, 4);
    EXPECT_EQ(kRightText, 2);
}
