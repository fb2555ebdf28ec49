// Host editor thread: the amp's editor. Puts RovuRiza_View into the host's window and routes
// parameter changes, automation highlights and timer ticks to it.
#pragma once

#include "AAX.h"
#include "AAX_CEffectGUI_VST.h"

class AAX_IEffectGUI;
class RovuRiza_View;

class RovuRiza_GUI : public AAX_CEffectGUI_VST
{
public:
    static AAX_IEffectGUI* AAX_CALLBACK Create();

    AAX_Result TimerWakeup() override;
    AAX_Result ParameterUpdated(AAX_CParamID inParamID) override;
    AAX_Result SetControlHighlightInfo(AAX_CParamID inParamID, AAX_CBoolean inIsHighlighted,
                                       AAX_EHighlightColor inColor) override;

    // The open view, or null.
    RovuRiza_View* GetRovuRizaView() const;
    AAX_CBoolean LastHighlightState() const { return mLastHighlightState; }
    AAX_EHighlightColor LastHighlightColor() const { return mLastHighlightColor; }

protected:
    void CreateViewContents() override;
    void CreateEffectView(void* inSystemWindow) override;

private:
    uint8_t mLastHighlightState = 0;
    AAX_EHighlightColor mLastHighlightColor = AAX_eHighlightColor_Red;
};
