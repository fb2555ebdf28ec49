// Optional host features that a description may ask about, as the host implements it.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFDescriptionHost : public IACFUnknown
{
public:
    // The feature's properties with one reference for the caller, or null when the host does
    // not know the feature.
    virtual AAX_Result AcquireFeatureProperties(const acfUID& inFeatureID,
                                                IACFUnknown** outFeatureProperties) = 0;

protected:
    ~AAX_IACFDescriptionHost() = default;
};
