#include "HostPropertyMap.h"

#include "AAX_UIDs.h"

#include <algorithm>

namespace tavelo::host
{

namespace
{
bool IsPropertyNumber(int32_t inNumber)
{
    return inNumber >= AAX_eProperty_MinProp && inNumber <= AAX_eProperty_MaxProp;
}
} // namespace

HostPropertyMap* HostPropertyMap::FromUnknown(IACFUnknown* inObject)
{
    void* found = nullptr;
    if (!inObject || inObject->QueryInterface(IID_IAAXPropertyMapV1, &found) != ACF_OK || !found)
        return nullptr;
    auto* map = static_cast<AAX_IACFPropertyMap*>(found);
    HostPropertyMap* ours = dynamic_cast<HostPropertyMap*>(map);
    map->Release();
    return ours;
}

void* HostPropertyMap::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXPropertyMapV1)
        return static_cast<AAX_IACFPropertyMap*>(this);
    return nullptr;
}

AAX_CBoolean HostPropertyMap::GetProperty(AAX_EProperty inProperty,
                                          AAX_CPropertyValue* outValue) const
{
    const PropertyRecord* entry = mProperties.Find(inProperty);
    if (!entry || entry->isPointer) return 0;
    if (outValue) *outValue = entry->value;
    return 1;
}

AAX_CBoolean HostPropertyMap::GetPointerProperty(AAX_EProperty inProperty,
                                                 const void** outValue) const
{
    const PropertyRecord* entry = mProperties.Find(inProperty);
    if (!entry || !entry->isPointer) return 0;
    if (outValue) *outValue = entry->pointer;
    return 1;
}

AAX_Result HostPropertyMap::Set(PropertyRecord inRecord)
{
    if (!IsPropertyNumber(inRecord.number)) return AAX_ERROR_PROPERTY_UNDEFINED;
    for (PropertyRecord& entry : mProperties.entries)
        if (entry.number == inRecord.number)
        {
            entry = inRecord;
            return AAX_SUCCESS;
        }
    mProperties.entries.push_back(inRecord);
    return AAX_SUCCESS;
}

AAX_Result HostPropertyMap::AddProperty(AAX_EProperty inProperty, AAX_CPropertyValue inValue)
{
    return Set({inProperty, false, inValue, nullptr});
}

AAX_Result HostPropertyMap::AddPointerProperty(AAX_EProperty inProperty, const void* inValue)
{
    return Set({inProperty, true, 0, inValue});
}

AAX_Result HostPropertyMap::Remove(AAX_EProperty inProperty, bool inPointer)
{
    auto& entries = mProperties.entries;
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const PropertyRecord& entry) {
                                  return entry.number == inProperty && entry.isPointer == inPointer;
                              });
    if (found == entries.end()) return AAX_ERROR_PROPERTY_UNDEFINED;
    entries.erase(found);
    return AAX_SUCCESS;
}

AAX_Result HostPropertyMap::RemoveProperty(AAX_EProperty inProperty)
{
    return Remove(inProperty, false);
}

AAX_Result HostPropertyMap::RemovePointerProperty(AAX_EProperty inProperty)
{
    return Remove(inProperty, true);
}

} // namespace tavelo::host
