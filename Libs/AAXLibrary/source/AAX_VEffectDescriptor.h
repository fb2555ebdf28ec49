// Wrapper of a host effect descriptor. Owned by the collection wrapper; host non-real-time
// thread during registration.
#pragma once

#include "AAX_IACFEffectDescriptor.h"
#include "AAX_IEffectDescriptor.h"
#include "ACFPtr.h"

#include <memory>
#include <vector>

class AAX_VComponentDescriptor;
class AAX_VPropertyMap;

class AAX_VEffectDescriptor : public AAX_IEffectDescriptor
{
public:
    explicit AAX_VEffectDescriptor(IACFUnknown* inHostDescriptor);
    ~AAX_VEffectDescriptor() override;

    // Null when the host gives no component descriptor.
    AAX_IComponentDescriptor* NewComponentDescriptor() override;
    AAX_Result AddComponent(AAX_IComponentDescriptor* inComponentDescriptor) override;
    AAX_Result AddName(const char* inPlugInName) override;
    AAX_Result AddCategory(uint32_t inCategory) override;
    AAX_Result AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID inParamID) override;
    AAX_Result AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties(AAX_IPropertyMap* inProperties) override;
    AAX_Result AddResourceInfo(AAX_EResourceType inResourceType, const char* inInfo) override;
    IACFUnknown* GetIUnknown() const override { return mV1.Get(); }

    bool IsValid() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFEffectDescriptor> mV1;
    std::vector<std::unique_ptr<AAX_VComponentDescriptor>> mComponentDescriptors;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
