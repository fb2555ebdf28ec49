#pragma once
// Translation of X11 mouse events into the toolkit's button state.

#include "vstgui/lib/cbuttonstate.h"

namespace VSTGUI::X11
{

enum class MouseEventKind
{
    Press,
    Release,
    Motion
};

// `state` is the X event's modifier and button mask, `button` its button number (1 left,
// 2 middle, 3 right). A press's state does not yet include the pressed button, so it is added;
// a release's state still includes the released one.
CButtonState buttonStateFromEvent(MouseEventKind kind, unsigned int state, unsigned int button);

// Whether a press is the second of a double click: same button within 400 ms and 4 pixels.
bool isDoubleClick(unsigned long previousTimeMs, CPoint previousWhere, unsigned int previousButton,
                   unsigned long timeMs, CPoint where, unsigned int button);

} // namespace VSTGUI::X11
