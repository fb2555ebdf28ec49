// Reference-counting base of every object the plug-in hands to the host. Called from any
// thread: counts change atomically.
#pragma once

#include "acfunknown.h"

#include <atomic>
#include <cstdint>

class CACFUnknown
{
public:
    // The inner interface: forwards the three public operations to the owner's Internal* ones.
    class PrivateUnknown : public IACFUnknown
    {
    public:
        explicit PrivateUnknown(CACFUnknown* inOwner) : mOwner(inOwner) {}
        acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;
        acfUInt32 AddRef() override;
        acfUInt32 Release() override;

    private:
        CACFUnknown* mOwner;
    };

    // inOuter: the controlling interface of an aggregating object, or null for a plain object.
    explicit CACFUnknown(IACFUnknown* inOuter = nullptr);
    CACFUnknown(const CACFUnknown&) = delete;
    CACFUnknown& operator=(const CACFUnknown&) = delete;
    virtual ~CACFUnknown();

    virtual acfResult InitializeInstance(IACFUnknown* inHost);
    // Called once when the last reference goes, before ReclaimMemory.
    virtual void FinalRelease();
    virtual void ReclaimMemory();
    // Derived classes answer their own interface identifiers and fall back to this one.
    virtual acfResult InternalQueryInterface(const acfIID& inIID, void** outInterface);
    virtual acfUInt32 InternalAddRef();
    virtual acfUInt32 InternalRelease();

    // Number of CACFUnknown objects alive in the process.
    static int32_t GetActiveObjectCount();

    // Where the public QueryInterface, AddRef and Release of derived interfaces go.
    IACFUnknown* GetOuterUnknown() const { return m_pUnkOuter; }
    IACFUnknown* GetPrivateUnknown() { return &m_UnkPrivate; }
    acfUInt32 GetRefCount() const { return m_cRef.load(); }

private:
    std::atomic<acfUInt32> m_cRef{0};
    IACFUnknown* m_pUnkOuter;
    PrivateUnknown m_UnkPrivate;

    static std::atomic<int32_t> m_ActiveObjects;
};

// Implements the public IACFUnknown operations of a class that derives from an interface and
// from CACFUnknown by passing them to the controlling interface.
#define ACF_FORWARD_UNKNOWN_TO_OUTER()                                                             \
    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override                    \
    {                                                                                              \
        return GetOuterUnknown()->QueryInterface(inIID, outInterface);                             \
    }                                                                                              \
    acfUInt32 AddRef() override                                                                    \
    {                                                                                              \
        return GetOuterUnknown()->AddRef();                                                        \
    }                                                                                              \
    acfUInt32 Release() override                                                                   \
    {                                                                                              \
        return GetOuterUnknown()->Release();                                                       \
    }
