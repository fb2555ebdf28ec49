// Optional host features as the framework calls them (implemented by AAX_VDescriptionHost).
#pragma once

#include "AAX.h"
#include "acfbasetypes.h"

class IACFUnknown;

class AAX_IDescriptionHost
{
public:
    virtual ~AAX_IDescriptionHost() = default;
    virtual AAX_Result AcquireFeatureProperties(const acfUID& inFeatureID,
                                                IACFUnknown** outFeatureProperties) = 0;
};
