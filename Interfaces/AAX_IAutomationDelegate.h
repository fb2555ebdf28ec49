// The host's automation delegate as the framework calls it (implemented by
// AAX_VAutomationDelegate).
#pragma once

#include "AAX.h"

class AAX_IAutomationDelegate
{
public:
    virtual ~AAX_IAutomationDelegate() = default;
    virtual AAX_Result RegisterParameter(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result UnregisterParameter(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result PostSetValueRequest(AAX_CParamID inParameterID,
                                           double inNormalizedValue) const = 0;
    virtual AAX_Result PostCurrentValue(AAX_CParamID inParameterID,
                                        double inNormalizedValue) const = 0;
    virtual AAX_Result PostTouchRequest(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result PostReleaseRequest(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched) = 0;
};
