#include "HostEditor.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <chrono>
#include <cstdio>
#include <thread>

#include "AAX_UIDs.h"
#include "acfunknown.h"

namespace tavelo::host
{

HostEditor::HostEditor(AAX_CCreateObjectProc factory, IACFUnknown* instanceHost)
    : mFactory(factory), mInstanceHost(instanceHost)
{
    if (mInstanceHost) mInstanceHost->AddRef();
}

HostEditor::~HostEditor()
{
    Destroy();
    if (mInstanceHost) mInstanceHost->Release();
}

bool HostEditor::Create()
{
    if (mEditor) return true;
    if (!mFactory)
    {
        mError = "the bundle registered no editor factory";
        return false;
    }
    IACFUnknown* object = mFactory();
    if (!object)
    {
        mError = "the editor factory returned no object";
        return false;
    }
    void* editor = nullptr;
    if (object->QueryInterface(IID_IAAXEffectGUIV1, &editor) != ACF_OK || !editor)
    {
        // The object was never referenced; one reference and its release delete it.
        object->AddRef();
        object->Release();
        mError = "the editor object does not answer the editor interface";
        return false;
    }
    mEditor = static_cast<AAX_IACFEffectGUI*>(editor);
    const AAX_Result result = mEditor->Initialize(mInstanceHost);
    if (result != AAX_SUCCESS)
    {
        mError = "the editor's Initialize failed with " + std::to_string(result);
        mEditor->Uninitialize();
        mEditor->Release();
        mEditor = nullptr;
        return false;
    }
    return true;
}

bool HostEditor::Attach(HostViewContainer* container)
{
    container->SetShortcutHandler([this](const std::string& paramID) { ToggleArmed(paramID); });
    mContainer = container;
    mEditor->SetViewContainer(container);
    return true;
}

bool HostEditor::OpenOffscreen()
{
    if (!mEditor && !Create()) return false;
    if (mContainer) Close();
    mOffscreen = AAX_SOffscreenView{};
    mPixels.clear();
    Attach(HostViewContainer::CreateOffscreen(&mOffscreen));
    ResizeOffscreenPixels();
    return true;
}

void HostEditor::ResizeOffscreenPixels()
{
    const AAX_Point size = ViewSize();
    const int width = static_cast<int>(size.horz);
    const int height = static_cast<int>(size.vert);
    if (width <= 0 || height <= 0) return;
    mPixels.assign(static_cast<size_t>(width) * height, 0);
    mOffscreen.width = width;
    mOffscreen.height = height;
    mOffscreen.stride = width * 4;
    mOffscreen.pixels = mPixels.data();
}

bool HostEditor::OpenWindow(const char* displayName, int x, int y)
{
    if (!mEditor && !Create()) return false;
    if (mContainer) Close();
    ::Display* display = XOpenDisplay(displayName);
    if (!display)
    {
        mError = "cannot open the X display";
        return false;
    }
    const int screen = DefaultScreen(display);
    const ::Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), x, y, 64, 64, 0,
                            BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "Tavelo1");
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    // Without a window manager the window stays where it was put; ask any manager to keep it.
    XSizeHints hints{};
    hints.flags = USPosition | PPosition;
    hints.x = x;
    hints.y = y;
    XSetWMNormalHints(display, window, &hints);
    XSync(display, False);
    mDisplay = display;
    mWindow = window;

    Attach(HostViewContainer::CreateNative(display, window));
    const AAX_Point size = ViewSize();
    if (size.horz >= 1 && size.vert >= 1)
        XResizeWindow(display, window, static_cast<unsigned>(size.horz),
                      static_cast<unsigned>(size.vert));
    XMapRaised(display, window);
    XSync(display, False);
    return true;
}

void HostEditor::Close()
{
    if (!mContainer) return;
    if (mEditor) mEditor->SetViewContainer(nullptr);
    mContainer->Release();
    mContainer = nullptr;
    mOffscreen = AAX_SOffscreenView{};
    mPixels.clear();
    if (mDisplay)
    {
        auto* display = static_cast<::Display*>(mDisplay);
        XDestroyWindow(display, mWindow);
        XCloseDisplay(display);
        mDisplay = nullptr;
        mWindow = 0;
    }
    for (auto& entry : mAutomation)
        entry.second.shown = false;
}

void HostEditor::Destroy()
{
    Close();
    if (!mEditor) return;
    mEditor->Uninitialize();
    mEditor->Release();
    mEditor = nullptr;
}

AAX_Result HostEditor::Timer()
{
    if (!mEditor) return AAX_ERROR_NULL_OBJECT;
    const AAX_Result result = mEditor->TimerWakeup();
    UpdateHighlights();
    return result;
}

AAX_Result HostEditor::ParameterUpdated(const char* paramID)
{
    if (!mEditor) return AAX_ERROR_NULL_OBJECT;
    return mEditor->ParameterUpdated(paramID);
}

void HostEditor::SetTouched(const std::string& paramID, bool touched)
{
    mAutomation[paramID].touched = touched;
}

void HostEditor::ToggleArmed(const std::string& paramID)
{
    AutomationState& state = mAutomation[paramID];
    state.armed = !state.armed;
}

bool HostEditor::IsArmed(const std::string& paramID) const
{
    const auto found = mAutomation.find(paramID);
    return found != mAutomation.end() && found->second.armed;
}

void HostEditor::UpdateHighlights()
{
    if (!mEditor || !mContainer) return;
    for (auto& [paramID, state] : mAutomation)
    {
        const bool highlighted = state.touched || state.armed;
        const AAX_EHighlightColor color =
            state.touched ? AAX_eHighlightColor_Red : AAX_eHighlightColor_Green;
        if (state.shown && state.shownHighlighted == highlighted &&
            (!highlighted || state.shownColor == color))
            continue;
        mEditor->SetControlHighlightInfo(paramID.c_str(), highlighted ? 1 : 0, color);
        state.shown = true;
        state.shownHighlighted = highlighted;
        state.shownColor = color;
        mHighlightLog.push_back(paramID + " " + (highlighted ? "1 " : "0 ") +
                                std::to_string(color));
    }
}

AAX_Point HostEditor::ViewSize() const
{
    AAX_Point size;
    if (mEditor && mContainer) mEditor->GetViewSize(&size);
    return size;
}

bool HostEditor::WritePNG(const std::string& path)
{
    if (!mEditor || !mContainer || mContainer->GetType() != AAX_eViewContainer_Type_Offscreen)
        return false;
    if (!mOffscreen.pixels) ResizeOffscreenPixels();
    if (!mOffscreen.pixels) return false;
    AAX_Rect whole;
    whole.width = static_cast<float>(mOffscreen.width);
    whole.height = static_cast<float>(mOffscreen.height);
    mEditor->Draw(&whole);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(mOffscreen.pixels), CAIRO_FORMAT_ARGB32, mOffscreen.width,
        mOffscreen.height, mOffscreen.stride);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

void HostEditor::RunUntilClosed(const std::function<bool()>& betweenTicks, int intervalMs)
{
    auto* display = static_cast<::Display*>(mDisplay);
    if (!display || !mEditor) return;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (bool open = true; open;)
    {
        while (XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage &&
                static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
                open = false;
        }
        Timer();
        if (betweenTicks && !betweenTicks()) open = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
}

void HostEditor::Flush()
{
    if (mDisplay) XFlush(static_cast<::Display*>(mDisplay));
}

} // namespace tavelo::host
