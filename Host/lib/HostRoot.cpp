#include "HostRoot.h"

#include "AAX_UIDs.h"

#include <stdexcept>

namespace tavelo::host
{

HostRoot::HostRoot(const HostFaults& inFaults)
    : mFaults(inFaults),
      mServices(Ref<HostServices>::Adopt(HostServices::Create(inFaults.hostServicesVersion)))
{
    mServices->SetThrowOnTrace(inFaults.throwFromTrace);
}

acfResult HostRoot::QueryInterface(const acfIID& inIID, void** outInterface)
{
    if (mFaults.throwFromQueryInterface)
        throw std::runtime_error("host object failed while answering a query");
    return HostObject::QueryInterface(inIID, outInterface);
}

void* HostRoot::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IACFComponentFactory)
        return static_cast<IACFComponentFactory*>(this);
    return nullptr;
}

acfResult HostRoot::CreateInstance(const acfCLSID& inComponentID, const acfIID& inIID,
                                   void** outInterface)
{
    if (!outInterface) return ACF_E_POINTER;
    *outInterface = nullptr;
    if (inComponentID == AAXCompID_HostServices)
        return mServices->QueryInterface(inIID, outInterface);
    if (inComponentID == AAXCompID_AAXCollection && !mFaults.noCollection)
    {
        auto collection = Ref<HostCollection>::Adopt(HostCollection::Create(mFaults));
        const acfResult result = collection->QueryInterface(inIID, outInterface);
        if (result == ACF_OK) mLastCollection = collection;
        return result;
    }
    return ACF_E_NOINTERFACE;
}

} // namespace tavelo::host
