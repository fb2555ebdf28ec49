// A property map as the framework calls it (implemented by AAX_VPropertyMap).
#pragma once

#include "AAX.h"

class IACFUnknown;

class AAX_IPropertyMap
{
public:
    virtual ~AAX_IPropertyMap() = default;
    virtual AAX_CBoolean GetProperty(AAX_EProperty inProperty,
                                     AAX_CPropertyValue* outValue) const = 0;
    virtual AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty,
                                            const void** outValue) const = 0;
    virtual AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) = 0;
    virtual AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) = 0;
    virtual AAX_Result RemoveProperty(AAX_EProperty inProperty) = 0;
    virtual AAX_Result RemovePointerProperty(AAX_EProperty inProperty) = 0;
    // The host object behind the map, handed to host calls that take a map.
    virtual IACFUnknown* GetIUnknown() const = 0;
};
