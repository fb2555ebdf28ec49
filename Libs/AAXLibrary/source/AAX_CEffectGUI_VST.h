// Host editor thread: the editor bound to the VSTGUI toolkit. Opens a frame in the native view
// of the host's view container and answers the host's size and draw requests from it.
#pragma once

#include "AAX_CEffectGUI.h"
#include "vstgui/vstgui.h"

class AAX_CEffectGUI_VST : public AAX_CEffectGUI, public VSTGUI::VSTGUIEditorInterface
{
public:
    AAX_CEffectGUI_VST();
    ~AAX_CEffectGUI_VST() override;

    AAX_Result GetViewSize(AAX_Point* outViewSize) const override;
    AAX_Result Draw(AAX_Rect* inDrawRect) const override;

    // The frame of the open view, or null while no view is open.
    VSTGUI::CFrame* GetContentView() const { return mContentView; }

protected:
    void CreateViewContainer() override;
    void DeleteViewContainer() override;
    // Builds the frame in the host's native view (an X11 window id, or an offscreen
    // surface for headless hosts) and stores it as the content view.
    virtual void CreateEffectView(void* inSystemWindow);

    void SetContentView(VSTGUI::CFrame* inFrame);

private:
    VSTGUI::CFrame* mContentView = nullptr;
};
