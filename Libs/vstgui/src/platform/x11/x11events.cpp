#include "vstgui/lib/platform/x11events.h"
#include "vstgui/lib/cpoint.h"

#include <X11/X.h>

#include <cmath>

namespace VSTGUI::X11
{

namespace
{

int32_t buttonBit(unsigned int button)
{
    switch (button)
    {
    case Button1:
        return kLButton;
    case Button2:
        return kMButton;
    case Button3:
        return kRButton;
    default:
        return 0;
    }
}

} // namespace

CButtonState buttonStateFromEvent(MouseEventKind kind, unsigned int state, unsigned int button)
{
    int32_t result = 0;
    if (state & Button1Mask) result |= kLButton;
    if (state & Button2Mask) result |= kMButton;
    if (state & Button3Mask) result |= kRButton;
    if (state & ShiftMask) result |= kShift;
    if (state & ControlMask) result |= kControl;
    if (state & Mod1Mask) result |= kAlt;
    if (state & Mod4Mask) result |= kApple;
    if (kind == MouseEventKind::Press) result |= buttonBit(button);
    return CButtonState(result);
}

bool isDoubleClick(unsigned long previousTimeMs, CPoint previousWhere, unsigned int previousButton,
                   unsigned long timeMs, CPoint where, unsigned int button)
{
    return button == previousButton && timeMs >= previousTimeMs && timeMs - previousTimeMs <= 400 &&
           std::fabs(where.x - previousWhere.x) <= 4 && std::fabs(where.y - previousWhere.y) <= 4;
}

} // namespace VSTGUI::X11
