#pragma once
// What a frame asks of the editor that owns it.

#include "vstgui/lib/vstguibase.h"

namespace VSTGUI
{

// Called on the editor thread only.
class VSTGUIEditorInterface
{
public:
    virtual void doIdleStuff() {}
    // -1: the toolkit's default knob mode (linear); otherwise a CKnobMode value.
    virtual int32_t getKnobMode() const { return -1; }
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}
    virtual CFrame* getFrame() const { return frame; }

protected:
    VSTGUIEditorInterface() = default;
    virtual ~VSTGUIEditorInterface() = default;

    CFrame* frame{nullptr};
};

} // namespace VSTGUI
