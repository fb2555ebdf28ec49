// Owning smart pointer for one reference to a component-model interface: releases it when
// replaced or destroyed. Used by the host-interface wrappers to hold what the host gave them.
#pragma once

#include "acfunknown.h"

#include <utility>

template <class T> class ACFPtr
{
public:
    ACFPtr() = default;
    // Adopts one reference that the caller already owns.
    explicit ACFPtr(T* inAdopted) : mPtr(inAdopted) {}
    ACFPtr(const ACFPtr&) = delete;
    ACFPtr& operator=(const ACFPtr&) = delete;
    ACFPtr(ACFPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}
    ACFPtr& operator=(ACFPtr&& other) noexcept
    {
        if (this != &other) Reset(std::exchange(other.mPtr, nullptr));
        return *this;
    }
    ~ACFPtr() { Reset(); }

    void Reset(T* inAdopted = nullptr)
    {
        T* old = std::exchange(mPtr, inAdopted);
        if (old) old->Release();
    }
    T* Get() const { return mPtr; }
    T* operator->() const { return mPtr; }
    explicit operator bool() const { return mPtr != nullptr; }

private:
    T* mPtr = nullptr;
};

// One reference to inIID of inObject, or null when the object is null or does not offer it.
template <class T> ACFPtr<T> ACFQueryInterface(IACFUnknown* inObject, const acfIID& inIID)
{
    void* found = nullptr;
    if (inObject && inObject->QueryInterface(inIID, &found) == ACF_OK && found)
        return ACFPtr<T>(static_cast<T*>(found));
    return ACFPtr<T>();
}

// One reference to inIID of the host component inComponentID, asked first through the host
// object's component factory and then of the host object itself.
void* ACFAcquireHostComponentInterface(IACFUnknown* inHost, const acfCLSID& inComponentID,
                                       const acfIID& inIID);

template <class T>
ACFPtr<T> ACFQueryHostComponent(IACFUnknown* inHost, const acfCLSID& inComponentID,
                                const acfIID& inIID)
{
    return ACFPtr<T>(
        static_cast<T*>(ACFAcquireHostComponentInterface(inHost, inComponentID, inIID)));
}
