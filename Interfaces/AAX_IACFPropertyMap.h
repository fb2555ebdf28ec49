// A property map as the host implements it: integer and pointer properties, numbered
// AAX_eProperty_MinProp to AAX_eProperty_MaxProp, kept with a process procedure or effect.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFPropertyMap : public IACFUnknown
{
public:
    // True and the value when the integer property is present; false otherwise.
    virtual AAX_CBoolean GetProperty(AAX_EProperty inProperty,
                                     AAX_CPropertyValue* outValue) const = 0;
    virtual AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty,
                                            const void** outValue) const = 0;
    // Adding a property that is present replaces its value.
    virtual AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) = 0;
    virtual AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) = 0;
    virtual AAX_Result RemoveProperty(AAX_EProperty inProperty) = 0;
    virtual AAX_Result RemovePointerProperty(AAX_EProperty inProperty) = 0;

protected:
    ~AAX_IACFPropertyMap() = default;
};
