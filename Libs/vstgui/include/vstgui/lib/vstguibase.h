#pragma once
// Base types of the toolkit: coordinates, string pointers and the reference-counted base object.

#include <cstdint>

namespace VSTGUI
{

using CCoord = double;
using UTF8StringPtr = const char*;
using UTF8StringBuffer = char*;

class CPoint;
class CRect;
struct CColor;
class CView;
class CViewContainer;
class CFrame;
class CBitmap;
class CFontDesc;
class CDrawContext;
class CControl;
class IControlListener;
class IDataPackage;
class VSTGUIEditorInterface;

// Reference-counted base of every toolkit object. The count starts at 1 (the creator's
// reference); forget() deletes the object when the last reference goes.
class CBaseObject
{
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    virtual void remember() { ++nbReference; }
    virtual void forget();
    virtual int32_t getNbReference() const { return nbReference; }

protected:
    virtual ~CBaseObject() = default;
    // Called once, just before the object deletes itself, while it is still whole.
    virtual void beforeDelete() {}

private:
    int32_t nbReference{1};
};

// Owns one reference of a CBaseObject for the lifetime of the holder.
template <class T> class SharedPointer
{
public:
    SharedPointer() = default;
    SharedPointer(T* p, bool remember = true) : ptr(p)
    {
        if (ptr && remember) ptr->remember();
    }
    SharedPointer(const SharedPointer& other) : SharedPointer(other.ptr) {}
    SharedPointer& operator=(const SharedPointer& other)
    {
        reset(other.ptr);
        return *this;
    }
    ~SharedPointer()
    {
        if (ptr) ptr->forget();
    }
    void reset(T* p = nullptr, bool remember = true)
    {
        if (p && remember) p->remember();
        if (ptr) ptr->forget();
        ptr = p;
    }
    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    operator T*() const { return ptr; }

private:
    T* ptr{nullptr};
};

// Adopts the creator's reference of a freshly created object.
template <class T> SharedPointer<T> owned(T* p)
{
    return SharedPointer<T>(p, false);
}

} // namespace VSTGUI
