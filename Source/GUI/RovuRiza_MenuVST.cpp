#include "RovuRiza_MenuVST.h"

#include "AAX_CVSTGUIButtonState.h"
#include "RovuRiza_ControlDefaults.h"

using namespace VSTGUI;

RovuRiza_MenuVST::RovuRiza_MenuVST(const CRect& inSize, IControlListener* inListener, int inTag,
                                   CBitmap* inBackground, CBitmap* inBackgroundWhenClicked,
                                   int inStyle)
    : COptionMenu(inSize, inListener, inTag, inBackground, inBackgroundWhenClicked, inStyle)
{
}

CMouseEventResult RovuRiza_MenuVST::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    const AAX_CVSTGUIButtonState state(buttons, mViewContainer);
    if (RovuRiza_HostHandledMouse(mViewContainer, mParamID, RovuRiza_MouseEvent::Down,
                                  state.GetModifiers()))
        return kMouseEventHandled;
    return COptionMenu::onMouseDown(where, state.GetButtonState());
}

CMouseEventResult RovuRiza_MenuVST::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    const AAX_CVSTGUIButtonState state(buttons, mViewContainer);
    if (RovuRiza_HostHandledMouse(mViewContainer, mParamID, RovuRiza_MouseEvent::Up,
                                  state.GetModifiers()))
    {
        RovuRiza_EndPendingEdit(*this);
        return kMouseEventHandled;
    }
    return CView::onMouseUp(where, state.GetButtonState());
}

CMouseEventResult RovuRiza_MenuVST::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    const AAX_CVSTGUIButtonState state(buttons, mViewContainer);
    if ((buttons() & kLButton) &&
        RovuRiza_HostHandledMouse(mViewContainer, mParamID, RovuRiza_MouseEvent::Drag,
                                  state.GetModifiers()))
        return kMouseEventHandled;
    return CView::onMouseMoved(where, RovuRiza_FineDragState(state.GetButtonState()));
}

bool RovuRiza_MenuVST::checkDefaultValue(CButtonState button)
{
    return RovuRiza_ResetToDefault(*this, button);
}
