// Reference counting and interface lookup for the stand-in host's component-model objects.
// Any thread: counts change atomically.
#pragma once

#include "acfunknown.h"

#include <atomic>
#include <utility>

namespace tavelo::host
{

// Implements IACFUnknown for a host object that answers one or more interfaces. The creator
// holds the first reference; the object deletes itself when the last one is released.
// Derived classes say which interface identifiers they answer in FindInterface.
template <class First, class... Rest> class HostObject : public First, public Rest...
{
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override
    {
        if (!outInterface) return ACF_E_POINTER;
        *outInterface = FindInterface(inIID);
        if (!*outInterface) return ACF_E_NOINTERFACE;
        AddRef();
        return ACF_OK;
    }
    acfUInt32 AddRef() override { return mReferences.fetch_add(1) + 1; }
    acfUInt32 Release() override
    {
        const acfUInt32 remaining = mReferences.fetch_sub(1) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }
    acfUInt32 ReferenceCount() const { return mReferences.load(); }

protected:
    virtual ~HostObject() = default;
    // The interface pointer for inIID (no reference added), or null.
    virtual void* FindInterface(const acfIID& inIID) = 0;
    IACFUnknown* Unknown() { return static_cast<IACFUnknown*>(static_cast<First*>(this)); }

private:
    std::atomic<acfUInt32> mReferences{1};
};

} // namespace tavelo::host

namespace tavelo::host
{

// One counted reference to a host or plug-in object, released when replaced or destroyed.
template <class T> class Ref
{
public:
    Ref() = default;
    // Adopts a reference the caller owns.
    static Ref Adopt(T* inObject)
    {
        Ref ref;
        ref.mObject = inObject;
        return ref;
    }
    // Adds a reference of its own.
    static Ref Retain(T* inObject)
    {
        if (inObject) inObject->AddRef();
        return Adopt(inObject);
    }
    Ref(const Ref& other) : mObject(other.mObject)
    {
        if (mObject) mObject->AddRef();
    }
    Ref(Ref&& other) noexcept : mObject(other.mObject) { other.mObject = nullptr; }
    Ref& operator=(Ref other) noexcept
    {
        std::swap(mObject, other.mObject);
        return *this;
    }
    ~Ref()
    {
        if (mObject) mObject->Release();
    }
    T* Get() const { return mObject; }
    T* operator->() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }

private:
    T* mObject = nullptr;
};

} // namespace tavelo::host
