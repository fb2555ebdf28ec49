#include "AAX_VEffectDescriptor.h"

#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VPropertyMap.h"

AAX_VEffectDescriptor::AAX_VEffectDescriptor(IACFUnknown* inHostDescriptor)
    : mV1(ACFQueryInterface<AAX_IACFEffectDescriptor>(inHostDescriptor, IID_IAAXEffectDescriptorV1))
{
}

AAX_VEffectDescriptor::~AAX_VEffectDescriptor() = default;

AAX_IComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor()
{
    if (!mV1) return nullptr;
    ACFPtr<IACFUnknown> hostDescriptor(mV1->NewComponentDescriptor());
    if (!hostDescriptor) return nullptr;
    auto descriptor = std::make_unique<AAX_VComponentDescriptor>(hostDescriptor.Get());
    if (!descriptor->IsValid()) return nullptr;
    mComponentDescriptors.push_back(std::move(descriptor));
    return mComponentDescriptors.back().get();
}

AAX_Result AAX_VEffectDescriptor::AddComponent(AAX_IComponentDescriptor* inComponentDescriptor)
{
    if (!mV1) return AAX_ERROR_NULL_OBJECT;
    return mV1->AddComponent(inComponentDescriptor ? inComponentDescriptor->GetIUnknown()
                                                   : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddName(const char* inPlugInName)
{
    return mV1 ? mV1->AddName(inPlugInName) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddCategory(uint32_t inCategory)
{
    return mV1 ? mV1->AddCategory(inCategory) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddCategoryBypassParameter(uint32_t inCategory,
                                                             AAX_CParamID inParamID)
{
    return mV1 ? mV1->AddCategoryBypassParameter(inCategory, inParamID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID)
{
    return mV1 ? mV1->AddProcPtr(inProcPtr, inProcID) : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VEffectDescriptor::NewPropertyMap()
{
    if (!mV1) return nullptr;
    ACFPtr<IACFUnknown> hostMap(mV1->NewPropertyMap());
    if (!hostMap) return nullptr;
    auto map = std::make_unique<AAX_VPropertyMap>(hostMap.Get());
    if (!map->IsValid()) return nullptr;
    mPropertyMaps.push_back(std::move(map));
    return mPropertyMaps.back().get();
}

AAX_Result AAX_VEffectDescriptor::SetProperties(AAX_IPropertyMap* inProperties)
{
    if (!mV1) return AAX_ERROR_NULL_OBJECT;
    return mV1->SetProperties(inProperties ? inProperties->GetIUnknown() : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddResourceInfo(AAX_EResourceType inResourceType,
                                                  const char* inInfo)
{
    return mV1 ? mV1->AddResourceInfo(inResourceType, inInfo) : AAX_ERROR_NULL_OBJECT;
}
