// Editor thread: the option menu of the amp's editor. Offers every mouse event on its parameter
// to the host first, merges the host's modifier keys into the event and resets to the default
// entry on an Option-click.
#pragma once

#include "vstgui/vstgui.h"

class AAX_IViewContainer;

class RovuRiza_MenuVST : public VSTGUI::COptionMenu
{
public:
    RovuRiza_MenuVST(const VSTGUI::CRect& inSize, VSTGUI::IControlListener* inListener, int inTag,
                     VSTGUI::CBitmap* inBackground, VSTGUI::CBitmap* inBackgroundWhenClicked,
                     int inStyle);

    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where,
                                          const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where,
                                        const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where,
                                           const VSTGUI::CButtonState& buttons) override;
    bool checkDefaultValue(VSTGUI::CButtonState button) override;

    void SetViewContainer(AAX_IViewContainer* inViewContainer) { mViewContainer = inViewContainer; }
    // The identifier is kept as a pointer: pass a string that outlives the menu.
    void SetParamID(const char* inParamID) { mParamID = inParamID; }

private:
    AAX_IViewContainer* mViewContainer = nullptr;
    const char* mParamID = nullptr;
};
