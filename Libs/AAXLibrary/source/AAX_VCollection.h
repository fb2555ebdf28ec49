// Wrapper of the host's collection, alive for one registration; host non-real-time thread.
#pragma once

#include "AAX_IACFCollection.h"
#include "AAX_ICollection.h"
#include "ACFPtr.h"

#include <memory>
#include <vector>

class AAX_VEffectDescriptor;
class AAX_VPropertyMap;
class AAX_VDescriptionHost;

class AAX_VCollection : public AAX_ICollection
{
public:
    // inHost: the host object given to registration; the collection is asked of its component
    // factory, or of the object itself.
    explicit AAX_VCollection(IACFUnknown* inHost);
    ~AAX_VCollection() override;

    // Null when the host gives no effect descriptor.
    AAX_IEffectDescriptor* NewDescriptor() override;
    AAX_Result AddEffect(const char* inEffectID,
                         AAX_IEffectDescriptor* inEffectDescriptor) override;
    AAX_Result SetManufacturerName(const char* inPackageName) override;
    AAX_Result AddPackageName(const char* inPackageName) override;
    AAX_Result SetPackageVersion(uint32_t inVersion) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties(AAX_IPropertyMap* inProperties) override;
    IACFUnknown* GetIUnknown() const override { return mV1.Get(); }
    AAX_IDescriptionHost* DescriptionHost() override;

    bool IsValid() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFCollection> mV1;
    std::vector<std::unique_ptr<AAX_VEffectDescriptor>> mEffectDescriptors;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
    std::unique_ptr<AAX_VDescriptionHost> mDescriptionHost;
};
