// Editor thread: the film-strip knob of the amp's editor. Offers every mouse event on its
// parameter to the host first, merges the host's modifier keys into the event, resets to the
// default on an Option-click, and records the host's automation highlight.
#pragma once

#include "vstgui/vstgui.h"

class AAX_IViewContainer;

class RovuRiza_AnimKnobVST : public VSTGUI::CAnimKnob
{
public:
    RovuRiza_AnimKnobVST(const VSTGUI::CRect& inSize, VSTGUI::IControlListener* inListener,
                         long inTag, int inSubPixmaps, double inHeightOfOneImage,
                         VSTGUI::CBitmap* inBitmap, const VSTGUI::CPoint& inOffset);

    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where,
                                          const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where,
                                        const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where,
                                           const VSTGUI::CButtonState& buttons) override;
    bool checkDefaultValue(VSTGUI::CButtonState button) override;

    void SetViewContainer(AAX_IViewContainer* inViewContainer) { mViewContainer = inViewContainer; }
    // The identifier is kept as a pointer: pass a string that outlives the knob.
    void SetParamID(const char* inParamID) { mParamID = inParamID; }
    void setHighLite(bool inHighlighted) { mHighlighted = inHighlighted; }
    bool isHighLite() const { return mHighlighted; }

private:
    AAX_IViewContainer* mViewContainer = nullptr;
    const char* mParamID = nullptr;
    bool mHighlighted = false;
};
