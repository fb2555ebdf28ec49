#include "HostEffectDescriptor.h"

#include "AAX_UIDs.h"
#include "HostComponentDescriptor.h"
#include "HostPropertyMap.h"

namespace tavelo::host
{

HostEffectDescriptor* HostEffectDescriptor::FromUnknown(IACFUnknown* inObject)
{
    void* found = nullptr;
    if (!inObject || inObject->QueryInterface(IID_IAAXEffectDescriptorV1, &found) != ACF_OK ||
        !found)
        return nullptr;
    auto* descriptor = static_cast<AAX_IACFEffectDescriptor*>(found);
    HostEffectDescriptor* ours = dynamic_cast<HostEffectDescriptor*>(descriptor);
    descriptor->Release();
    return ours;
}

void* HostEffectDescriptor::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXEffectDescriptorV1)
        return static_cast<AAX_IACFEffectDescriptor*>(this);
    return nullptr;
}

IACFUnknown* HostEffectDescriptor::NewComponentDescriptor()
{
    if (mFaults.noComponentDescriptor) return nullptr;
    return HostComponentDescriptor::Create(mFaults);
}

AAX_Result HostEffectDescriptor::AddComponent(IACFUnknown* inComponentDescriptor)
{
    if (mFaults.addComponentResult != AAX_SUCCESS) return mFaults.addComponentResult;
    HostComponentDescriptor* component =
        HostComponentDescriptor::FromUnknown(inComponentDescriptor);
    if (!component) return AAX_ERROR_NULL_COMPONENT;
    mRecord.components.push_back(component->Snapshot());
    return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddName(const char* inPlugInName)
{
    if (!inPlugInName) return AAX_ERROR_NULL_ARGUMENT;
    mRecord.names.emplace_back(inPlugInName);
    return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddCategory(uint32_t inCategory)
{
    mRecord.categories.push_back(inCategory);
    return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID)
{
    mRecord.categories.push_back(inCategory);
    return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID)
{
    if (mFaults.addProcPtrResult != AAX_SUCCESS) return mFaults.addProcPtrResult;
    if (!inProcPtr) return AAX_ERROR_NULL_ARGUMENT;
    for (auto& [id, pointer] : mRecord.procPtrs)
        if (id == inProcID)
        {
            pointer = inProcPtr;
            return AAX_SUCCESS;
        }
    mRecord.procPtrs.emplace_back(inProcID, inProcPtr);
    return AAX_SUCCESS;
}

IACFUnknown* HostEffectDescriptor::NewPropertyMap()
{
    return HostPropertyMap::Create();
}

AAX_Result HostEffectDescriptor::SetProperties(IACFUnknown* inProperties)
{
    HostPropertyMap* map = HostPropertyMap::FromUnknown(inProperties);
    if (!map) return AAX_ERROR_NULL_OBJECT;
    mRecord.properties = map->Properties();
    return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddResourceInfo(AAX_EResourceType inResourceType,
                                                 const char* inInfo)
{
    if (!inInfo) return AAX_ERROR_NULL_ARGUMENT;
    mRecord.resources.push_back({inResourceType, inInfo});
    return AAX_SUCCESS;
}

} // namespace tavelo::host
