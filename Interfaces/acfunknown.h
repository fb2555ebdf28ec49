// The root interface of every object exchanged between host and plug-in: interface queries
// and reference counting. Objects delete themselves when their last reference is released,
// so the destructor is protected: nobody deletes through this interface.
#pragma once

#include "acfbasetypes.h"

class IACFUnknown
{
public:
    // Sets *outInterface to the object's implementation of inIID with one added reference and
    // returns ACF_OK, or clears *outInterface and returns ACF_E_NOINTERFACE.
    virtual acfResult QueryInterface(const acfIID& inIID, void** outInterface) = 0;
    virtual acfUInt32 AddRef() = 0;
    virtual acfUInt32 Release() = 0;

protected:
    ~IACFUnknown() = default;
};

// A host object that creates components by identifier (host services, the description
// collection). The caller owns the one reference it receives.
class IACFComponentFactory : public IACFUnknown
{
public:
    virtual acfResult CreateInstance(const acfCLSID& inComponentID, const acfIID& inIID,
                                     void** outInterface) = 0;

protected:
    ~IACFComponentFactory() = default;
};

// The plug-in definition that registration hands back to the host; the host's collection
// object answers it once the effects are described.
class IACFPluginDefinition : public IACFUnknown
{
protected:
    ~IACFPluginDefinition() = default;
};

// A separately registered component definition (this bundle registers none).
class IACFComponentDefinition : public IACFUnknown
{
protected:
    ~IACFComponentDefinition() = default;
};
