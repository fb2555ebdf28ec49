// Editor thread: behaviour shared by the amp's knob and menu.
#pragma once

#include <cstdint>

#include "vstgui/vstgui.h"

class AAX_IViewContainer;

// Left button plus Option and nothing else: the reset-to-default click.
inline constexpr int32_t kRovuRizaResetClick = VSTGUI::kLButton | VSTGUI::kAlt;

// On an exact reset click: one edit that sets the default value and reports it to the
// listener when it changed the control. Returns whether it reset.
bool RovuRiza_ResetToDefault(VSTGUI::CControl& inControl, VSTGUI::CButtonState inButtons);

// Ends an edit that a toolkit mouse-down began, when the host has taken the mouse-up.
void RovuRiza_EndPendingEdit(VSTGUI::CControl& inControl);

// The toolkit's control bit (the Command key on macOS) also selects the fine drag, as shift does.
VSTGUI::CButtonState RovuRiza_FineDragState(VSTGUI::CButtonState inButtons);

enum class RovuRiza_MouseEvent
{
    Down,
    Drag,
    Up
};

// Offers a mouse event to the host first: true when the control is bound to a parameter (it has
// a container and an identifier) and the host acted on the event, so the toolkit must not see it.
bool RovuRiza_HostHandledMouse(AAX_IViewContainer* inContainer, const char* inParamID,
                               RovuRiza_MouseEvent inEvent, uint32_t inModifiers);
