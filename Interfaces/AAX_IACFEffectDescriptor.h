// An effect's description as the host implements it: names, category, configurations,
// factories and resources.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFEffectDescriptor : public IACFUnknown
{
public:
    // A new component descriptor; the caller owns the one reference returned (null on failure).
    virtual IACFUnknown* NewComponentDescriptor() = 0;
    // Records a copy of the component's current description.
    virtual AAX_Result AddComponent(IACFUnknown* inComponentDescriptor) = 0;
    virtual AAX_Result AddName(const char* inPlugInName) = 0;
    virtual AAX_Result AddCategory(uint32_t inCategory) = 0;
    virtual AAX_Result AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID inParamID) = 0;
    virtual AAX_Result AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID) = 0;
    virtual IACFUnknown* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties(IACFUnknown* inProperties) = 0;
    virtual AAX_Result AddResourceInfo(AAX_EResourceType inResourceType, const char* inInfo) = 0;

protected:
    ~AAX_IACFEffectDescriptor() = default;
};
