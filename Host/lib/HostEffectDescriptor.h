// An effect descriptor the stand-in host hands to a describing plug-in: names, category,
// components, factories and resources; host non-real-time thread.
#pragma once

#include "AAX_IACFEffectDescriptor.h"
#include "HostDescription.h"
#include "HostFaults.h"
#include "HostObject.h"

namespace tavelo::host
{

class HostEffectDescriptor final : public HostObject<AAX_IACFEffectDescriptor>
{
public:
    static HostEffectDescriptor* Create(const HostFaults& inFaults)
    {
        return new HostEffectDescriptor(inFaults);
    }
    static HostEffectDescriptor* FromUnknown(IACFUnknown* inObject);

    IACFUnknown* NewComponentDescriptor() override;
    AAX_Result AddComponent(IACFUnknown* inComponentDescriptor) override;
    AAX_Result AddName(const char* inPlugInName) override;
    AAX_Result AddCategory(uint32_t inCategory) override;
    AAX_Result AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID inParamID) override;
    AAX_Result AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID) override;
    IACFUnknown* NewPropertyMap() override;
    AAX_Result SetProperties(IACFUnknown* inProperties) override;
    AAX_Result AddResourceInfo(AAX_EResourceType inResourceType, const char* inInfo) override;

    const EffectRecord& Record() const { return mRecord; }

private:
    explicit HostEffectDescriptor(const HostFaults& inFaults) : mFaults(inFaults) {}
    void* FindInterface(const acfIID& inIID) override;

    const HostFaults mFaults;
    EffectRecord mRecord;
};

} // namespace tavelo::host
