// The host object a bundle receives at start-up and registration: a component factory that
// hands out the host services and a new description collection. Host non-real-time thread;
// the host services inside it may be called from any thread.
#pragma once

#include "HostCollection.h"
#include "HostFaults.h"
#include "HostObject.h"
#include "HostServices.h"

namespace tavelo::host
{

class HostRoot final : public HostObject<IACFComponentFactory>
{
public:
    static HostRoot* Create(const HostFaults& inFaults = {}) { return new HostRoot(inFaults); }

    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;
    acfResult CreateInstance(const acfCLSID& inComponentID, const acfIID& inIID,
                             void** outInterface) override;

    HostServices& Services() { return *mServices.Get(); }
    // The collection handed out last (the one the latest registration filled), or null.
    HostCollection* LastCollection() const { return mLastCollection.Get(); }

private:
    explicit HostRoot(const HostFaults& inFaults);
    void* FindInterface(const acfIID& inIID) override;

    const HostFaults mFaults;
    Ref<HostServices> mServices;
    Ref<HostCollection> mLastCollection;
};

} // namespace tavelo::host
