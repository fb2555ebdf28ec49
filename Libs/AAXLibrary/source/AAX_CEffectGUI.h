// Host editor thread: the framework's toolkit-independent editor. Wraps the instance's host
// objects, holds one reference to the instance's parameter object and the host's view
// container while the host supplies one; a toolkit binding derives from it and builds the view.
#pragma once

#include <memory>

#include "AAX_IEffectGUI.h"

class AAX_IController;
class AAX_IEffectParameters;
class AAX_ITransport;
class AAX_IViewContainer;
class AAX_VController;
class AAX_VTransport;

class AAX_CEffectGUI : public AAX_IEffectGUI
{
public:
    AAX_CEffectGUI();
    ~AAX_CEffectGUI() override;

    AAX_Result Initialize(IACFUnknown* inController) override;
    AAX_Result Uninitialize() override;
    AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inNotificationData,
                                    uint32_t inNotificationDataSize) override;
    AAX_Result SetViewContainer(IACFUnknown* inViewContainer) override;
    AAX_Result GetViewSize(AAX_Point* outViewSize) const override;
    AAX_Result Draw(AAX_Rect* inDrawRect) const override;
    AAX_Result TimerWakeup() override;
    AAX_Result ParameterUpdated(AAX_CParamID inParamID) override;
    AAX_Result GetCustomLabel(AAX_EPlugInStrings inSelector, AAX_IString* outString) const override;
    AAX_Result SetControlHighlightInfo(AAX_CParamID inParamID, AAX_CBoolean inIsHighlighted,
                                       AAX_EHighlightColor inColor) override;

    acfResult InternalQueryInterface(const acfIID& inIID, void** outInterface) override;

    AAX_IViewContainer* GetViewContainer() const { return mViewContainer.get(); }
    int32_t GetViewContainerType() const;
    void* GetViewContainerPtr() const;
    AAX_IEffectParameters* GetEffectParameters() const { return mEffectParameters; }
    AAX_IController* GetController() const;
    AAX_ITransport* Transport() const;

protected:
    virtual void CreateViewContents() = 0;
    virtual void CreateViewContainer() = 0;
    virtual void DeleteViewContainer() = 0;
    // Pushes every parameter into the view once, as if each had just changed.
    virtual void UpdateAllParameters();

private:
    AAX_VController* mController = nullptr;
    AAX_IEffectParameters* mEffectParameters = nullptr;
    std::unique_ptr<AAX_IViewContainer> mViewContainer;
    AAX_VTransport* mTransport = nullptr;
};
