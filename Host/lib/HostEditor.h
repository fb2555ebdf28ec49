// Editor thread of the stand-in host: one plug-in editor of one instance, as a host drives it.
// Creates the editor through the bundle's editor factory (procedure 1), initializes it with the
// instance's host object, opens it in a view container (an X11 window of the host, or an
// offscreen pixel record for headless use), ticks its timer, tells it about confirmed
// parameter changes and shows the host's automation state as control highlights.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "AAX.h"
#include "AAX_IACFEffectGUI.h"
#include "HostViewContainer.h"

class IACFUnknown;

namespace tavelo::host
{

class HostEditor
{
public:
    // `factory` is the bundle's editor factory; `instanceHost` the instance's host object
    // (it answers the controller and the effect-parameters interfaces). Neither is owned;
    // one reference to `instanceHost` is held while the editor lives.
    HostEditor(AAX_CCreateObjectProc factory, IACFUnknown* instanceHost);
    ~HostEditor();
    HostEditor(const HostEditor&) = delete;
    HostEditor& operator=(const HostEditor&) = delete;

    // Factory, interface query, Initialize. False (with Error()) when any step fails.
    bool Create();
    // Opens the view offscreen: the picture is kept in host memory (WritePNG).
    bool OpenOffscreen();
    // Opens the view in a new top-level X11 window at the root's (x, y) on `displayName`
    // (null: $DISPLAY). False when no display can be opened.
    bool OpenWindow(const char* displayName = nullptr, int x = 0, int y = 0);
    // Withdraws the view container (SetViewContainer(null)) and destroys the window.
    void Close();
    // Uninitialize and the last Release; Close() first when a view is open.
    void Destroy();

    bool IsOpen() const { return mContainer != nullptr; }
    AAX_IACFEffectGUI* Editor() const { return mEditor; }
    HostViewContainer* Container() const { return mContainer; }
    const std::string& Error() const { return mError; }

    // The host's periodic tick: TimerWakeup, then any highlight change.
    AAX_Result Timer();
    // A confirmed parameter change (the host calls this after UpdateParameterNormalizedValue).
    AAX_Result ParameterUpdated(const char* paramID);
    // The host's automation state of a parameter; highlights follow on the next Timer() or
    // UpdateHighlights(): touched (being written) shows red, armed only shows green.
    void SetTouched(const std::string& paramID, bool touched);
    void ToggleArmed(const std::string& paramID);
    bool IsArmed(const std::string& paramID) const;
    void UpdateHighlights();

    // Size the editor asks for (GetViewSize); 0 x 0 before a view is open.
    AAX_Point ViewSize() const;
    // Headless: draws the whole view and writes it as an 8-bit RGBA PNG. False when the view is
    // not offscreen or the file cannot be written.
    bool WritePNG(const std::string& path);
    // Native view: the X11 display connection and window of the host (null/0 offscreen).
    void* Display() const { return mDisplay; }
    unsigned long Window() const { return mWindow; }
    // Native view: flushes the host's own X11 connection.
    void Flush();
    // Native view, interactive use: ticks Timer() (and `betweenTicks`, e.g. the instance's
    // Update) every `intervalMs` until the user closes the window or `betweenTicks` returns
    // false. Returns at once for an offscreen view.
    void RunUntilClosed(const std::function<bool()>& betweenTicks, int intervalMs = 30);

    // Every SetControlHighlightInfo call made, e.g. "Gain 1 0".
    const std::vector<std::string>& HighlightLog() const { return mHighlightLog; }

private:
    bool Attach(HostViewContainer* container);
    void ResizeOffscreenPixels();

    struct AutomationState
    {
        bool touched = false;
        bool armed = false;
        bool shownHighlighted = false;
        AAX_EHighlightColor shownColor = AAX_eHighlightColor_Red;
        bool shown = false;
    };

    AAX_CCreateObjectProc mFactory;
    IACFUnknown* mInstanceHost;
    AAX_IACFEffectGUI* mEditor = nullptr;
    HostViewContainer* mContainer = nullptr;
    AAX_SOffscreenView mOffscreen;
    std::vector<uint32_t> mPixels;
    void* mDisplay = nullptr;
    unsigned long mWindow = 0;
    std::map<std::string, AutomationState> mAutomation;
    std::vector<std::string> mHighlightLog;
    std::string mError;
};

} // namespace tavelo::host
