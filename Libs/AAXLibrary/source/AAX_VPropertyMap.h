// Wrapper of a host property map. Owned by the descriptor wrapper that created it; host
// non-real-time thread during registration.
#pragma once

#include "AAX_IACFPropertyMap.h"
#include "AAX_IPropertyMap.h"
#include "ACFPtr.h"

class AAX_VPropertyMap : public AAX_IPropertyMap
{
public:
    explicit AAX_VPropertyMap(IACFUnknown* inHostMap);

    // False and nothing read without a host map.
    AAX_CBoolean GetProperty(AAX_EProperty inProperty, AAX_CPropertyValue* outValue) const override;
    AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty, const void** outValue) const override;
    AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) override;
    AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) override;
    AAX_Result RemoveProperty(AAX_EProperty inProperty) override;
    AAX_Result RemovePointerProperty(AAX_EProperty inProperty) override;
    IACFUnknown* GetIUnknown() const override { return mV1.Get(); }

    bool IsValid() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFPropertyMap> mV1;
};
