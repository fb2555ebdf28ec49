// The collection the stand-in host hands to a registering bundle: records its effects and
// package information, and answers the plug-in definition; host non-real-time thread.
#pragma once

#include "AAX_IACFCollection.h"
#include "HostDescription.h"
#include "HostFaults.h"
#include "HostObject.h"

namespace tavelo::host
{

class HostCollection final : public HostObject<AAX_IACFCollection, IACFPluginDefinition>
{
public:
    static HostCollection* Create(const HostFaults& inFaults)
    {
        return new HostCollection(inFaults);
    }

    IACFUnknown* NewDescriptor() override;
    AAX_Result AddEffect(const char* inEffectID, IACFUnknown* inEffectDescriptor) override;
    AAX_Result SetManufacturerName(const char* inPackageName) override;
    AAX_Result AddPackageName(const char* inPackageName) override;
    AAX_Result SetPackageVersion(uint32_t inVersion) override;
    IACFUnknown* NewPropertyMap() override;
    AAX_Result SetProperties(IACFUnknown* inProperties) override;

    const CollectionRecord& Record() const { return mRecord; }

private:
    explicit HostCollection(const HostFaults& inFaults) : mFaults(inFaults) {}
    void* FindInterface(const acfIID& inIID) override;

    const HostFaults mFaults;
    CollectionRecord mRecord;
};

} // namespace tavelo::host
