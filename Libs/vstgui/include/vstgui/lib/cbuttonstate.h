#pragma once
// Mouse buttons and modifier keys of one mouse event, and mouse-event results.

#include "vstgui/lib/vstguibase.h"

namespace VSTGUI
{

enum CButton
{
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5, // the Control key here, the Command key on macOS
    kAlt = 1 << 6,
    kApple = 1 << 7, // the Super key here, the Control key on macOS
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
    kMouseWheelInverted = 1 << 11
};

struct CButtonState
{
    CButtonState(int32_t state = 0) : state(state) {}
    CButtonState(const CButtonState& b) = default;
    CButtonState& operator=(const CButtonState& b) = default;

    int32_t getButtonState() const
    {
        return state & (kLButton | kRButton | kMButton | kButton4 | kButton5);
    }
    int32_t getModifierState() const { return state & (kShift | kAlt | kControl | kApple); }

    // True when the left button is the only button pressed (modifiers may be held).
    bool isLeftButton() const { return getButtonState() == kLButton; }
    bool isRightButton() const { return getButtonState() == kRButton; }
    bool isDoubleClick() const { return (state & kDoubleClick) != 0; }

    int32_t operator()() const { return state; }
    operator int32_t() const { return state; }
    CButtonState& operator|=(int32_t bits)
    {
        state |= bits;
        return *this;
    }
    CButtonState& operator&=(int32_t bits)
    {
        state &= bits;
        return *this;
    }
    bool operator==(const CButtonState& b) const { return state == b.state; }
    bool operator!=(const CButtonState& b) const { return state != b.state; }

private:
    int32_t state;
};

enum CMouseEventResult
{
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
    kMouseMoveEventHandledButDontNeedMoreEvents
};

enum CHoriTxtAlign
{
    kLeftText = 0,
    kCenterText,
    kRightText
};

// A key event as the frame receives it from the platform.
struct VstKeyCode
{
    int32_t character{0};
    unsigned char virt{0};
    unsigned char modifier{0};
};

} // namespace VSTGUI
