// Wrapper of the host's automation delegate. Owned by the data model; host non-real-time
// threads (the editor's edits arrive here through the parameters).
#pragma once

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IAutomationDelegate.h"
#include "ACFPtr.h"

class AAX_VAutomationDelegate : public AAX_IAutomationDelegate
{
public:
    explicit AAX_VAutomationDelegate(IACFUnknown* inHost);

    AAX_Result RegisterParameter(AAX_CParamID inParameterID) override;
    AAX_Result UnregisterParameter(AAX_CParamID inParameterID) override;
    AAX_Result PostSetValueRequest(AAX_CParamID inParameterID,
                                   double inNormalizedValue) const override;
    AAX_Result PostCurrentValue(AAX_CParamID inParameterID,
                                double inNormalizedValue) const override;
    AAX_Result PostTouchRequest(AAX_CParamID inParameterID) override;
    AAX_Result PostReleaseRequest(AAX_CParamID inParameterID) override;
    AAX_Result GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched) override;

    bool IsValid() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFAutomationDelegate> mV1;
};
