#include "RovuRiza_ControlDefaults.h"

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
