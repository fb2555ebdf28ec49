#include "ACFPtr.h"

#include "AAX_UIDs.h"

void* ACFAcquireHostComponentInterface(IACFUnknown* inHost, const acfCLSID& inComponentID,
                                       const acfIID& inIID)
{
    if (!inHost) return nullptr;
    void* found = nullptr;
    if (ACFPtr<IACFComponentFactory> factory =
            ACFQueryInterface<IACFComponentFactory>(inHost, IID_IACFComponentFactory))
    {
        if (factory->CreateInstance(inComponentID, inIID, &found) == ACF_OK && found) return found;
        found = nullptr;
    }
    if (inHost->QueryInterface(inIID, &found) == ACF_OK && found) return found;
    return nullptr;
}
