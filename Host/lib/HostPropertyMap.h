// A property map the stand-in host hands to a describing plug-in; host non-real-time thread.
#pragma once

#include "AAX_IACFPropertyMap.h"
#include "HostDescription.h"
#include "HostObject.h"

namespace tavelo::host
{

class HostPropertyMap final : public HostObject<AAX_IACFPropertyMap>
{
public:
    static HostPropertyMap* Create() { return new HostPropertyMap(); }
    // The map behind a host object the plug-in handed back, or null if it is not one of ours.
    static HostPropertyMap* FromUnknown(IACFUnknown* inObject);

    AAX_CBoolean GetProperty(AAX_EProperty inProperty, AAX_CPropertyValue* outValue) const override;
    AAX_CBoolean GetPointerProperty(AAX_EProperty inProperty, const void** outValue) const override;
    AAX_Result AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue) override;
    AAX_Result AddPointerProperty(AAX_EProperty inProperty, const void* inValue) override;
    AAX_Result RemoveProperty(AAX_EProperty inProperty) override;
    AAX_Result RemovePointerProperty(AAX_EProperty inProperty) override;

    const PropertyList& Properties() const { return mProperties; }

private:
    HostPropertyMap() = default;
    void* FindInterface(const acfIID& inIID) override;
    AAX_Result Set(PropertyRecord inRecord);
    AAX_Result Remove(AAX_EProperty inProperty, bool inPointer);

    PropertyList mProperties;
};

} // namespace tavelo::host
