#include "AAX_VPropertyMap.h"

#include "AAX_UIDs.h"

AAX_VPropertyMap::AAX_VPropertyMap(IACFUnknown* inHostMap)
    : mV1(ACFQueryInterface<AAX_IACFPropertyMap>(inHostMap, IID_IAAXPropertyMapV1))
{
}

AAX_CBoolean AAX_VPropertyMap::GetProperty(AAX_EProperty inProperty,
                                           AAX_CPropertyValue* outValue) const
{
    return mV1 ? mV1->GetProperty(inProperty, outValue) : AAX_CBoolean(0);
}

AAX_CBoolean AAX_VPropertyMap::GetPointerProperty(AAX_EProperty inProperty,
                                                  const void** outValue) const
{
    return mV1 ? mV1->GetPointerProperty(inProperty, outValue) : AAX_CBoolean(0);
}

AAX_Result AAX_VPropertyMap::AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue)
{
    return mV1 ? mV1->AddProperty(inProperty, inValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPropertyMap::AddPointerProperty(AAX_EProperty inProperty, const void* inValue)
{
    return mV1 ? mV1->AddPointerProperty(inProperty, inValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPropertyMap::RemoveProperty(AAX_EProperty inProperty)
{
    return mV1 ? mV1->RemoveProperty(inProperty) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPropertyMap::RemovePointerProperty(AAX_EProperty inProperty)
{
    return mV1 ? mV1->RemovePointerProperty(inProperty) : AAX_ERROR_NULL_OBJECT;
}
