// The host's automation delegate as the host implements it: parameter registration, set-value
// requests, current values and touch state.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFAutomationDelegate : public IACFUnknown
{
public:
    virtual AAX_Result RegisterParameter(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result UnregisterParameter(AAX_CParamID inParameterID) = 0;
    // Asks the host to set the value; the host confirms later with the plug-in's
    // UpdateParameterNormalizedValue.
    virtual AAX_Result PostSetValueRequest(AAX_CParamID inParameterID,
                                           double inNormalizedValue) const = 0;
    virtual AAX_Result PostCurrentValue(AAX_CParamID inParameterID,
                                        double inNormalizedValue) const = 0;
    virtual AAX_Result PostTouchRequest(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result PostReleaseRequest(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched) = 0;

protected:
    ~AAX_IACFAutomationDelegate() = default;
};
