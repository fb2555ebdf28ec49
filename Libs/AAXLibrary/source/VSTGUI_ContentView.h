// Editor thread: the frame an editor view is built on. Carries the instance's parameter object
// (not counted: the editor holds the reference) and passes every frame operation on unchanged.
#pragma once

#include "vstgui/vstgui.h"

class AAX_IEffectParameters;

class VSTGUI_ContentView : public VSTGUI::CFrame
{
public:
    VSTGUI_ContentView(const VSTGUI::CRect& inSize, VSTGUI::VSTGUIEditorInterface* inEditor,
                       AAX_IEffectParameters* inParameters);
    ~VSTGUI_ContentView() override;

    AAX_IEffectParameters* getParameters() const { return mParameters; }

    bool setPosition(VSTGUI::CCoord x, VSTGUI::CCoord y) override;
    bool setSize(VSTGUI::CCoord width, VSTGUI::CCoord height) override;
    bool getSize(VSTGUI::CRect* outSize) const override;
    bool getSize(VSTGUI::CRect& outSize) const override;

private:
    AAX_IEffectParameters* mParameters;
};
