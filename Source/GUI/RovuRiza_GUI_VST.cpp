#include "RovuRiza_GUI_VST.h"

#include <cstring>

#include "AAX_CHostServices.h"
#include "AAX_IEffectParameters.h"
#include "RovuRiza_AnimKnobVST.h"
#include "RovuRiza_MenuVST.h"
#include "RovuRiza_View.h"
#include "Voicing/RovuRiza_Voicing.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace
{
constexpr const char* kAssertFile = "Source/GUI/RovuRiza_GUI_VST";
constexpr int kAssertLineBundle = 1417;

// Reads the parameter back from the data model and moves the control to it; a failed query
// leaves the control alone.
void PushValue(AAX_IEffectParameters* inParameters, AAX_CParamID inParamID, CControl* inControl,
               int inMenuEntries)
{
    if (!inParameters || !inControl) return;
    double value = 0.0;
    if (inParameters->GetParameterNormalizedValue(inParamID, &value) != AAX_SUCCESS) return;
    if (inMenuEntries > 0)
        inControl->setValue(
            static_cast<float>(RovuRiza_MenuEntryForNormalizedValue(value, inMenuEntries)));
    else
        inControl->setValue(static_cast<float>(value));
    inControl->invalid();
}
} // namespace

AAX_IEffectGUI* AAX_CALLBACK RovuRiza_GUI::Create()
{
    return new RovuRiza_GUI;
}

RovuRiza_View* RovuRiza_GUI::GetRovuRizaView() const
{
    return dynamic_cast<RovuRiza_View*>(GetContentView());
}

void RovuRiza_GUI::CreateViewContents()
{
    // The bundle is the one whose binary holds this code; its Contents/Resources has the artwork.
    gBundleRef = bundleOfAddress(reinterpret_cast<const void*>(&RovuRiza_GUI::Create));
    if (!gBundleRef)
        AAX_CHostServices::HandleAssertFailure(kAssertFile, kAssertLineBundle, "gBundleRef", 1);
    RovuRiza_View::LoadViewResources();
}

void RovuRiza_GUI::CreateEffectView(void* inSystemWindow)
{
    SetContentView(
        new RovuRiza_View(inSystemWindow, GetEffectParameters(), this, GetViewContainer()));
}

AAX_Result RovuRiza_GUI::TimerWakeup()
{
    // The host's tick is also where the frame handles its window's events and repaints.
    if (CFrame* frame = GetContentView()) frame->idle();
    if (RovuRiza_View* view = GetRovuRizaView()) view->TimerWakeup();
    return AAX_SUCCESS;
}

AAX_Result RovuRiza_GUI::ParameterUpdated(AAX_CParamID inParamID)
{
    RovuRiza_View* view = GetRovuRizaView();
    if (!view || !inParamID) return AAX_SUCCESS;
    AAX_IEffectParameters* parameters = view->getParameters();
    struct Route
    {
        const char* paramID;
        CControl* control;
        int menuEntries;
    };
    const Route routes[] = {
        {"Gain", view->GainKnob(), 0},     {"Tremolo", view->TremoloKnob(), 0},
        {"Tone", view->ToneKnob(), 0},     {"Rate", view->RateKnob(), 0},
        {"Volume", view->VolumeKnob(), 0}, {"Sound", view->SoundMenu(), kRovuRizaVoicingCount},
        {"Pickup", view->PickupMenu(), 2},
    };
    for (const Route& route : routes)
        if (std::strcmp(inParamID, route.paramID) == 0)
            PushValue(parameters, inParamID, route.control, route.menuEntries);
    return AAX_SUCCESS;
}

AAX_Result RovuRiza_GUI::SetControlHighlightInfo(AAX_CParamID inParamID,
                                                 AAX_CBoolean inIsHighlighted,
                                                 AAX_EHighlightColor inColor)
{
    mLastHighlightState = inIsHighlighted;
    mLastHighlightColor = inColor;
    RovuRiza_View* view = GetRovuRizaView();
    if (!view || !inParamID) return AAX_SUCCESS;
    if (std::strcmp(inParamID, "Gain") == 0)
        view->highlitePeak(mLastHighlightState, mLastHighlightColor);
    else if (std::strcmp(inParamID, "Tremolo") == 0)
        view->highliteDecay(mLastHighlightState, mLastHighlightColor);
    else if (std::strcmp(inParamID, "Tone") == 0)
        view->highliteTone(mLastHighlightState, mLastHighlightColor);
    else if (std::strcmp(inParamID, "Rate") == 0)
        view->highliteTremoloRate(mLastHighlightState, mLastHighlightColor);
    else if (std::strcmp(inParamID, "Volume") == 0)
        view->highliteVolume(mLastHighlightState, mLastHighlightColor);
    return AAX_SUCCESS;
}
