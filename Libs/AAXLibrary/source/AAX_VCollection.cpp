#include "AAX_VCollection.h"

#include "AAX_UIDs.h"
#include "AAX_VDescriptionHost.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"

AAX_VCollection::AAX_VCollection(IACFUnknown* inHost)
    : mV1(ACFQueryHostComponent<AAX_IACFCollection>(inHost, AAXCompID_AAXCollection,
                                                    IID_IAAXCollectionV1))
{
}

AAX_VCollection::~AAX_VCollection() = default;

AAX_IEffectDescriptor* AAX_VCollection::NewDescriptor()
{
    if (!mV1) return nullptr;
    ACFPtr<IACFUnknown> hostDescriptor(mV1->NewDescriptor());
    if (!hostDescriptor) return nullptr;
    auto descriptor = std::make_unique<AAX_VEffectDescriptor>(hostDescriptor.Get());
    if (!descriptor->IsValid()) return nullptr;
    mEffectDescriptors.push_back(std::move(descriptor));
    return mEffectDescriptors.back().get();
}

AAX_Result AAX_VCollection::AddEffect(const char* inEffectID,
                                      AAX_IEffectDescriptor* inEffectDescriptor)
{
    if (!mV1) return AAX_ERROR_NULL_OBJECT;
    return mV1->AddEffect(inEffectID,
                          inEffectDescriptor ? inEffectDescriptor->GetIUnknown() : nullptr);
}

AAX_Result AAX_VCollection::SetManufacturerName(const char* inPackageName)
{
    return mV1 ? mV1->SetManufacturerName(inPackageName) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::AddPackageName(const char* inPackageName)
{
    return mV1 ? mV1->AddPackageName(inPackageName) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::SetPackageVersion(uint32_t inVersion)
{
    return mV1 ? mV1->SetPackageVersion(inVersion) : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VCollection::NewPropertyMap()
{
    if (!mV1) return nullptr;
    ACFPtr<IACFUnknown> hostMap(mV1->NewPropertyMap());
    if (!hostMap) return nullptr;
    auto map = std::make_unique<AAX_VPropertyMap>(hostMap.Get());
    if (!map->IsValid()) return nullptr;
    mPropertyMaps.push_back(std::move(map));
    return mPropertyMaps.back().get();
}

AAX_Result AAX_VCollection::SetProperties(AAX_IPropertyMap* inProperties)
{
    if (!mV1) return AAX_ERROR_NULL_OBJECT;
    return mV1->SetProperties(inProperties ? inProperties->GetIUnknown() : nullptr);
}

AAX_IDescriptionHost* AAX_VCollection::DescriptionHost()
{
    if (!mDescriptionHost) mDescriptionHost = std::make_unique<AAX_VDescriptionHost>(mV1.Get());
    return mDescriptionHost->IsValid() ? mDescriptionHost.get() : nullptr;
}
