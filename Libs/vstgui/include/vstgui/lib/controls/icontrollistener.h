#pragma once
// What a control tells its listener.

#include "vstgui/lib/vstguibase.h"

namespace VSTGUI
{

// Called on the editor thread only.
class IControlListener
{
public:
    virtual ~IControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual int32_t controlModifierClicked(CControl* /*control*/, int32_t /*button*/) { return 0; }
    // The outermost beginEdit/endEdit of a control's edit gesture.
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
    virtual void controlTagWillChange(CControl* /*control*/) {}
    virtual void controlTagDidChange(CControl* /*control*/) {}
};

} // namespace VSTGUI
