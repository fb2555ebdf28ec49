#include "AAX_CEffectGUI.h"

#include "AAX_CString.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IEffectParameters.h"
#include "AAX_UIDs.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"

AAX_CEffectGUI::AAX_CEffectGUI() = default;

AAX_CEffectGUI::~AAX_CEffectGUI()
{
    // The derived layers are gone already and took their view with them, so the container
    // wrapper is dropped here directly: going through SetViewContainer(nullptr) would reach
    // DeleteViewContainer of a destroyed layer.
    mViewContainer.reset();
    Uninitialize();
}

AAX_Result AAX_CEffectGUI::Initialize(IACFUnknown* inController)
{
    delete mController;
    mController = new AAX_VController(inController);
    if (!inController) return AAX_ERROR_NOT_INITIALIZED;

    if (mEffectParameters)
    {
        mEffectParameters->Release();
        mEffectParameters = nullptr;
    }
    void* parameters = nullptr;
    if (inController->QueryInterface(IID_IAAXEffectParametersV1, &parameters) == ACF_OK &&
        parameters)
        mEffectParameters =
            static_cast<AAX_IEffectParameters*>(static_cast<AAX_IACFEffectParameters*>(parameters));

    delete mTransport;
    mTransport = new AAX_VTransport(inController);
    CreateViewContents();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::Uninitialize()
{
    if (mViewContainer) SetViewContainer(nullptr);
    if (mEffectParameters) mEffectParameters->Release();
    mEffectParameters = nullptr;
    delete mController;
    mController = nullptr;
    delete mTransport;
    mTransport = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::NotificationReceived(AAX_CTypeID, const void*, uint32_t)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(IACFUnknown* inViewContainer)
{
    if (inViewContainer)
    {
        // A view still open belongs to the old container: its controls point at that wrapper,
        // so the view goes before the wrapper does.
        if (mViewContainer) DeleteViewContainer();
        mViewContainer = std::make_unique<AAX_VViewContainer>(inViewContainer);
        CreateViewContainer();
        UpdateAllParameters();
    }
    else
    {
        DeleteViewContainer();
        mViewContainer.reset();
    }
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetViewSize(AAX_Point*) const
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::Draw(AAX_Rect*) const
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::TimerWakeup()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::ParameterUpdated(AAX_CParamID)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetCustomLabel(AAX_EPlugInStrings, AAX_IString*) const
{
    return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_CEffectGUI::SetControlHighlightInfo(AAX_CParamID, AAX_CBoolean, AAX_EHighlightColor)
{
    return AAX_SUCCESS;
}

acfResult AAX_CEffectGUI::InternalQueryInterface(const acfIID& inIID, void** outInterface)
{
    if (outInterface && inIID == IID_IAAXEffectGUIV1)
    {
        *outInterface = static_cast<AAX_IACFEffectGUI*>(this);
        AddRef();
        return ACF_OK;
    }
    return CACFUnknown::InternalQueryInterface(inIID, outInterface);
}

int32_t AAX_CEffectGUI::GetViewContainerType() const
{
    return mViewContainer ? mViewContainer->GetType() : 0;
}

void* AAX_CEffectGUI::GetViewContainerPtr() const
{
    return mViewContainer ? mViewContainer->GetPtr() : nullptr;
}

AAX_IController* AAX_CEffectGUI::GetController() const
{
    return mController;
}

AAX_ITransport* AAX_CEffectGUI::Transport() const
{
    return mTransport;
}

void AAX_CEffectGUI::UpdateAllParameters()
{
    if (!mEffectParameters) return;
    int32_t count = 0;
    if (mEffectParameters->GetNumberOfParameters(&count) != AAX_SUCCESS) return;
    for (int32_t index = 0; index < count; ++index)
    {
        AAX_CString identifier;
        if (mEffectParameters->GetParameterIDFromIndex(index, &identifier) == AAX_SUCCESS)
            ParameterUpdated(identifier.Get());
    }
}
