// Wrapper of the host's description-host interface, reached from the collection during
// registration; host non-real-time thread.
#pragma once

#include "AAX_IACFDescriptionHost.h"
#include "AAX_IDescriptionHost.h"
#include "ACFPtr.h"

class AAX_VDescriptionHost : public AAX_IDescriptionHost
{
public:
    explicit AAX_VDescriptionHost(IACFUnknown* inHost);

    AAX_Result AcquireFeatureProperties(const acfUID& inFeatureID,
                                        IACFUnknown** outFeatureProperties) override;

    bool IsValid() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFDescriptionHost> mV1;
};
