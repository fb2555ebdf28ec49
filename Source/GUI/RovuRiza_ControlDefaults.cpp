#include "RovuRiza_ControlDefaults.h"

#include "AAX_IViewContainer.h"

using namespace VSTGUI;

bool RovuRiza_ResetToDefault(CControl& inControl, CButtonState inButtons)
{
    if (inButtons() != kRovuRizaResetClick) return false;
    inControl.beginEdit();
    inControl.setValue(inControl.getDefaultValue());
    if (inControl.isDirty()) inControl.valueChanged();
    inControl.endEdit();
    return true;
}

void RovuRiza_EndPendingEdit(CControl& inControl)
{
    while (inControl.isEditing())
        inControl.endEdit();
}

CButtonState RovuRiza_FineDragState(CButtonState inButtons)
{
    int32_t state = inButtons();
    if (state & kControl) state |= kShift;
    return CButtonState(state);
}

bool RovuRiza_HostHandledMouse(AAX_IViewContainer* inContainer, const char* inParamID,
                               RovuRiza_MouseEvent inEvent, uint32_t inModifiers)
{
    if (!inContainer || !inParamID) return false;
    switch (inEvent)
    {
    case RovuRiza_MouseEvent::Down:
        return inContainer->HandleParameterMouseDown(inParamID, inModifiers) == AAX_SUCCESS;
    case RovuRiza_MouseEvent::Drag:
        return inContainer->HandleParameterMouseDrag(inParamID, inModifiers) == AAX_SUCCESS;
    case RovuRiza_MouseEvent::Up:
        return inContainer->HandleParameterMouseUp(inParamID, inModifiers) == AAX_SUCCESS;
    }
    return false;
}
