// An effect's description as the framework calls it (implemented by AAX_VEffectDescriptor).
// Component descriptors and property maps it creates belong to it.
#pragma once

#include "AAX.h"

class IACFUnknown;
class AAX_IComponentDescriptor;
class AAX_IPropertyMap;

class AAX_IEffectDescriptor
{
public:
    virtual ~AAX_IEffectDescriptor() = default;
    virtual AAX_IComponentDescriptor* NewComponentDescriptor() = 0;
    virtual AAX_Result AddComponent(AAX_IComponentDescriptor* inComponentDescriptor) = 0;
    virtual AAX_Result AddName(const char* inPlugInName) = 0;
    virtual AAX_Result AddCategory(uint32_t inCategory) = 0;
    virtual AAX_Result AddCategoryBypassParameter(uint32_t inCategory, AAX_CParamID inParamID) = 0;
    virtual AAX_Result AddProcPtr(void* inProcPtr, AAX_CProcPtrID inProcID) = 0;
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties(AAX_IPropertyMap* inProperties) = 0;
    virtual AAX_Result AddResourceInfo(AAX_EResourceType inResourceType, const char* inInfo) = 0;
    virtual IACFUnknown* GetIUnknown() const = 0;
};
