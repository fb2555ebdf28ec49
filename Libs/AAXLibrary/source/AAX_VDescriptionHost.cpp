#include "AAX_VDescriptionHost.h"

#include "AAX_UIDs.h"

AAX_VDescriptionHost::AAX_VDescriptionHost(IACFUnknown* inHost)
    : mV1(ACFQueryInterface<AAX_IACFDescriptionHost>(inHost, IID_IAAXDescriptionHostV1))
{
}

AAX_Result AAX_VDescriptionHost::AcquireFeatureProperties(const acfUID& inFeatureID,
                                                          IACFUnknown** outFeatureProperties)
{
    if (outFeatureProperties) *outFeatureProperties = nullptr;
    return mV1 ? mV1->AcquireFeatureProperties(inFeatureID, outFeatureProperties)
               : AAX_ERROR_NULL_OBJECT;
}
