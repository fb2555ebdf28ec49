// The collection a host hands to registration, as the host implements it: effects of the
// bundle, manufacturer and package information. The host's collection object also answers
// IID_IACFPluginDefinition.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFCollection : public IACFUnknown
{
public:
    // A new effect descriptor; the caller owns the one reference returned (null on failure).
    virtual IACFUnknown* NewDescriptor() = 0;
    // Records the effect under inEffectID with a copy of its current description.
    virtual AAX_Result AddEffect(const char* inEffectID, IACFUnknown* inEffectDescriptor) = 0;
    virtual AAX_Result SetManufacturerName(const char* inPackageName) = 0;
    virtual AAX_Result AddPackageName(const char* inPackageName) = 0;
    virtual AAX_Result SetPackageVersion(uint32_t inVersion) = 0;
    virtual IACFUnknown* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties(IACFUnknown* inProperties) = 0;

protected:
    ~AAX_IACFCollection() = default;
};
