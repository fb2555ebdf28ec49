#include "AAX_VAutomationDelegate.h"

#include "AAX_UIDs.h"

AAX_VAutomationDelegate::AAX_VAutomationDelegate(IACFUnknown* inHost)
    : mV1(ACFQueryInterface<AAX_IACFAutomationDelegate>(inHost, IID_IAAXAutomationDelegateV1))
{
}

AAX_Result AAX_VAutomationDelegate::RegisterParameter(AAX_CParamID inParameterID)
{
    return mV1 ? mV1->RegisterParameter(inParameterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::UnregisterParameter(AAX_CParamID inParameterID)
{
    return mV1 ? mV1->UnregisterParameter(inParameterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostSetValueRequest(AAX_CParamID inParameterID,
                                                        double inNormalizedValue) const
{
    return mV1 ? mV1->PostSetValueRequest(inParameterID, inNormalizedValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostCurrentValue(AAX_CParamID inParameterID,
                                                     double inNormalizedValue) const
{
    return mV1 ? mV1->PostCurrentValue(inParameterID, inNormalizedValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostTouchRequest(AAX_CParamID inParameterID)
{
    return mV1 ? mV1->PostTouchRequest(inParameterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostReleaseRequest(AAX_CParamID inParameterID)
{
    return mV1 ? mV1->PostReleaseRequest(inParameterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::GetTouchState(AAX_CParamID inParameterID,
                                                  AAX_CBoolean* outTouched)
{
    return mV1 ? mV1->GetTouchState(inParameterID, outTouched) : AAX_ERROR_NULL_OBJECT;
}
