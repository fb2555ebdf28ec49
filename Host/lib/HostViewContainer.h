// Editor thread of the stand-in host: the view container handed to a plug-in editor. Type 1
// (native view) carries the X11 window the host created for the editor; type 100 (offscreen)
// carries an AAX_SOffscreenView pixel record for headless use.
//
// Host shortcut: a mouse-down on a parameter control with both Control and Command held (host
// modifier bits 0x02 | 0x08; on X11 the Super and Ctrl keys) is the host's own: it toggles the
// parameter's automation arming, and the drag and mouse-up events of that click belong to the
// host too. Every other event is left to the editor (a non-zero result).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AAX.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFViewContainer.h"

namespace tavelo::host
{

class HostViewContainer final : public AAX_IACFViewContainer
{
public:
    static constexpr uint32_t kShortcutModifiers = AAX_eModifiers_Control | AAX_eModifiers_Command;

    // A native view container over an X11 window of `display` (both kept, not owned).
    static HostViewContainer* CreateNative(void* display, unsigned long window);
    // An offscreen container over a pixel record the host owns (may be null).
    static HostViewContainer* CreateOffscreen(AAX_SOffscreenView* view);

    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;
    acfUInt32 AddRef() override;
    acfUInt32 Release() override;

    int32_t GetType() override { return mType; }
    void* GetPtr() override { return mPointer; }
    AAX_Result GetModifiers(uint32_t* outModifiers) override;
    AAX_Result SetViewSize(AAX_Point& inSize) override;
    AAX_Result HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers) override;

    // Offscreen (and tests): modifiers reported in addition to the keyboard's.
    void SetExtraModifiers(uint32_t inModifiers) { mExtraModifiers = inModifiers; }
    // Called with the parameter identifier whenever the shortcut toggles its arming.
    void SetShortcutHandler(std::function<void(const std::string&)> inHandler)
    {
        mShortcutHandler = std::move(inHandler);
    }
    // Every host mouse call in order, e.g. "down Gain 0x0 refused" or "down Gain 0xa taken".
    const std::vector<std::string>& MouseLog() const { return mMouseLog; }
    AAX_Point LastRequestedSize() const { return mRequestedSize; }

private:
    HostViewContainer(int32_t inType, void* inPointer, void* inDisplay);
    ~HostViewContainer() = default;
    AAX_Result Log(const char* inWhat, AAX_CParamID inParamID, uint32_t inModifiers, bool inTaken);

    std::atomic<uint32_t> mRefCount{0};
    int32_t mType;
    void* mPointer;
    void* mDisplay;
    uint32_t mExtraModifiers = 0;
    std::string mShortcutParam; // the parameter of the click the host took, while it lasts
    std::function<void(const std::string&)> mShortcutHandler;
    std::vector<std::string> mMouseLog;
    AAX_Point mRequestedSize;
};

// Host modifier bits for an X11 key/button state mask: Shift → shift, Ctrl → command (the
// toolkit's control bit), Alt (Mod1) → option, Super (Mod4) → control.
uint32_t HostModifiersFromX11State(unsigned int inState);

} // namespace tavelo::host
