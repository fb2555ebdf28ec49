// The plug-in's editor as the host calls it: created through the editor factory, queried for
// IID_IAAXEffectGUIV1, initialized with the instance's host object, then given a view
// container to open in. Every call comes from the host's editor thread.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IString;

class AAX_IACFEffectGUI : public IACFUnknown
{
public:
    // inController is the per-instance host object; it also answers IID_IAAXEffectParametersV1.
    virtual AAX_Result Initialize(IACFUnknown* inController) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived(AAX_CTypeID inNotificationType,
                                            const void* inNotificationData,
                                            uint32_t inNotificationDataSize) = 0;
    // A host view-container object opens the editor in it; null closes the editor's view.
    virtual AAX_Result SetViewContainer(IACFUnknown* inViewContainer) = 0;
    virtual AAX_Result GetViewSize(AAX_Point* outViewSize) const = 0;
    virtual AAX_Result Draw(AAX_Rect* inDrawRect) const = 0;
    virtual AAX_Result TimerWakeup() = 0;
    // Only the identifier is passed: the editor reads the value back from the data model.
    virtual AAX_Result ParameterUpdated(AAX_CParamID inParamID) = 0;
    virtual AAX_Result GetCustomLabel(AAX_EPlugInStrings inSelector,
                                      AAX_IString* outString) const = 0;
    virtual AAX_Result SetControlHighlightInfo(AAX_CParamID inParamID, AAX_CBoolean inIsHighlighted,
                                               AAX_EHighlightColor inColor) = 0;

protected:
    ~AAX_IACFEffectGUI() = default;
};

// Headless hosts: a view container of type AAX_eViewContainer_Type_Offscreen hands this record
// (or null) as its pointer. The editor then draws into an image of its own and, on each Draw,
// copies the drawn part into `pixels` once the host has set them (ARGB32, premultiplied, rows
// of `stride` bytes, memory of the host; parts outside width x height are skipped).
struct AAX_SOffscreenView
{
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};
