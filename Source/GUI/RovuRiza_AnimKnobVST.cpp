#include "RovuRiza_AnimKnobVST.h"

#include "AAX_CVSTGUIButtonState.h"
#include "RovuRiza_ControlDefaults.h"

using namespace VSTGUI;

RovuRiza_AnimKnobVST::RovuRiza_AnimKnobVST(const CRect& inSize, IControlListener* inListener,
                                           long inTag, int inSubPixmaps, double inHeightOfOneImage,
                                           CBitmap* inBitmap, const CPoint& inOffset)
    : CAnimKnob(inSize, inListener, static_cast<int32_t>(inTag), inSubPixmaps, inHeightOfOneImage,
                inBitmap, inOffset)
{
}

CMouseEventResult RovuRiza_AnimKnobVST::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    const AAX_CVSTGUIButtonState state(buttons, mViewContainer);
    if (RovuRiza_HostHandledMouse(mViewContainer, mParamID, RovuRiza_MouseEvent::Down,
                                  state.GetModifiers()))
        return kMouseEventHandled;
    // The toolkit fixes a drag's scale at mouse-down, so the Command key's fine drag has to be
    // chosen here as well as on the moves.
    return CAnimKnob::onMouseDown(where, RovuRiza_FineDragState(state.GetButtonState()));
}

CMouseEventResult RovuRiza_AnimKnobVST::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    const AAX_CVSTGUIButtonState state(buttons, mViewContainer);
    if (RovuRiza_HostHandledMouse(mViewContainer, mParamID, RovuRiza_MouseEvent::Up,
                                  state.GetModifiers()))
    {
        // The host took the release, but a drag the toolkit began must still end, or the
        // parameter would stay touched.
        RovuRiza_EndPendingEdit(*this);
        return kMouseEventHandled;
    }
    return CAnimKnob::onMouseUp(where, state.GetButtonState());
}

CMouseEventResult RovuRiza_AnimKnobVST::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    const AAX_CVSTGUIButtonState state(buttons, mViewContainer);
    if ((buttons() & kLButton) &&
        RovuRiza_HostHandledMouse(mViewContainer, mParamID, RovuRiza_MouseEvent::Drag,
                                  state.GetModifiers()))
        return kMouseEventHandled;
    return CAnimKnob::onMouseMoved(where, RovuRiza_FineDragState(state.GetButtonState()));
}

bool RovuRiza_AnimKnobVST::checkDefaultValue(CButtonState button)
{
    return RovuRiza_ResetToDefault(*this, button);
}
