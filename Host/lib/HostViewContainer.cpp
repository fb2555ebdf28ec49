#include "HostViewContainer.h"

#include <X11/Xlib.h>
#include <cstdio>

#include "AAX_UIDs.h"

namespace tavelo::host
{

uint32_t HostModifiersFromX11State(unsigned int inState)
{
    uint32_t modifiers = 0;
    if (inState & ShiftMask) modifiers |= AAX_eModifiers_Shift;
    if (inState & ControlMask) modifiers |= AAX_eModifiers_Command;
    if (inState & Mod1Mask) modifiers |= AAX_eModifiers_Option;
    if (inState & Mod4Mask) modifiers |= AAX_eModifiers_Control;
    return modifiers;
}

HostViewContainer::HostViewContainer(int32_t inType, void* inPointer, void* inDisplay)
    : mType(inType), mPointer(inPointer), mDisplay(inDisplay)
{
}

HostViewContainer* HostViewContainer::CreateNative(void* display, unsigned long window)
{
    auto* container = new HostViewContainer(AAX_eViewContainer_Type_NativeView,
                                            reinterpret_cast<void*>(window), display);
    container->AddRef();
    return container;
}

HostViewContainer* HostViewContainer::CreateOffscreen(AAX_SOffscreenView* view)
{
    auto* container = new HostViewContainer(AAX_eViewContainer_Type_Offscreen, view, nullptr);
    container->AddRef();
    return container;
}

acfResult HostViewContainer::QueryInterface(const acfIID& inIID, void** outInterface)
{
    if (!outInterface) return ACF_E_POINTER;
    *outInterface = nullptr;
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXViewContainerV1)
    {
        *outInterface = static_cast<AAX_IACFViewContainer*>(this);
        AddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

acfUInt32 HostViewContainer::AddRef()
{
    return ++mRefCount;
}

acfUInt32 HostViewContainer::Release()
{
    const acfUInt32 count = --mRefCount;
    if (count == 0) delete this;
    return count;
}

AAX_Result HostViewContainer::GetModifiers(uint32_t* outModifiers)
{
    if (!outModifiers) return AAX_ERROR_NULL_ARGUMENT;
    uint32_t modifiers = mExtraModifiers;
    if (mDisplay)
    {
        auto* display = static_cast<Display*>(mDisplay);
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int mask = 0;
        if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x,
                          &y, &mask))
            modifiers |= HostModifiersFromX11State(mask);
    }
    *outModifiers = modifiers;
    return AAX_SUCCESS;
}

AAX_Result HostViewContainer::SetViewSize(AAX_Point& inSize)
{
    mRequestedSize = inSize;
    if (mDisplay && mPointer && inSize.horz >= 1 && inSize.vert >= 1)
    {
        auto* display = static_cast<Display*>(mDisplay);
        XResizeWindow(display, reinterpret_cast<Window>(mPointer),
                      static_cast<unsigned>(inSize.horz), static_cast<unsigned>(inSize.vert));
        XFlush(display);
    }
    return AAX_SUCCESS;
}

AAX_Result HostViewContainer::Log(const char* inWhat, AAX_CParamID inParamID, uint32_t inModifiers,
                                  bool inTaken)
{
    char line[160];
    std::snprintf(line, sizeof line, "%s %s 0x%x %s", inWhat, inParamID ? inParamID : "(null)",
                  inModifiers, inTaken ? "taken" : "refused");
    mMouseLog.emplace_back(line);
    return inTaken ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result HostViewContainer::HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers)
{
    const bool shortcut = inParamID && (inModifiers & kShortcutModifiers) == kShortcutModifiers;
    if (shortcut)
    {
        mShortcutParam = inParamID;
        if (mShortcutHandler) mShortcutHandler(mShortcutParam);
    }
    else
    {
        mShortcutParam.clear();
    }
    return Log("down", inParamID, inModifiers, shortcut);
}

AAX_Result HostViewContainer::HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers)
{
    const bool taken = inParamID && !mShortcutParam.empty() && mShortcutParam == inParamID;
    return Log("drag", inParamID, inModifiers, taken);
}

AAX_Result HostViewContainer::HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers)
{
    const bool taken = inParamID && !mShortcutParam.empty() && mShortcutParam == inParamID;
    mShortcutParam.clear();
    return Log("up", inParamID, inModifiers, taken);
}

} // namespace tavelo::host
