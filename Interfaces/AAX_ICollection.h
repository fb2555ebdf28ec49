// The host's collection as the framework calls it (implemented by AAX_VCollection). Effect
// descriptors and property maps it creates belong to it.
#pragma once

#include "AAX.h"

class IACFUnknown;
class AAX_IEffectDescriptor;
class AAX_IPropertyMap;
class AAX_IDescriptionHost;

class AAX_ICollection
{
public:
    virtual ~AAX_ICollection() = default;
    virtual AAX_IEffectDescriptor* NewDescriptor() = 0;
    virtual AAX_Result AddEffect(const char* inEffectID,
                                 AAX_IEffectDescriptor* inEffectDescriptor) = 0;
    virtual AAX_Result SetManufacturerName(const char* inPackageName) = 0;
    virtual AAX_Result AddPackageName(const char* inPackageName) = 0;
    virtual AAX_Result SetPackageVersion(uint32_t inVersion) = 0;
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties(AAX_IPropertyMap* inProperties) = 0;
    // The host's collection object (asked for the plug-in definition after description).
    virtual IACFUnknown* GetIUnknown() const = 0;
    // Null when the host offers no description-host interface.
    virtual AAX_IDescriptionHost* DescriptionHost() = 0;
};
