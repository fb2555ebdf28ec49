#pragma once
// The small interface between a CFrame and the window system it lives in.
//
// Two implementations exist: an X11 child window (Xlib + cairo-xlib) and an offscreen cairo
// image surface. Both draw through the same CDrawContext code into an ARGB32 backing image;
// the X11 one copies the repainted part to its window.

#include "vstgui/lib/cbuttonstate.h"
#include "vstgui/lib/crect.h"

#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI
{

class COptionMenu;

enum PlatformType
{
    kHWND,
    kWindowRef,
    kNSView, // here: an X11 window id, the native view a host hands over
    kUIView,
    kHWNDTopLevel,
    kDefaultNative,    // here: an X11 window id
    kX11EmbedWindowID, // an X11 window id
    kOffscreen         // no window: an image surface (headless use, snapshots, tests)
};

// What the platform asks of its frame (implemented by CFrame).
class IPlatformFrameCallback
{
public:
    virtual void platformDrawRect(CDrawContext* context, const CRect& rect) = 0;
    virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) = 0;
    virtual bool platformOnKeyDown(VstKeyCode& keyCode) = 0;
    // The open popup list chose `index`, or was dismissed (index -1).
    virtual void platformPopupClosed(COptionMenu* menu, int32_t index) = 0;

protected:
    virtual ~IPlatformFrameCallback() = default;
};

// The popup list of an option menu, as the platform shows it.
struct PopupListDescription
{
    std::vector<std::string> titles; // one per entry; an empty title is a separator
    std::vector<bool> enabled;
    int32_t checkedIndex{-1};
    CRect anchor; // the menu's rectangle in frame coordinates; the list opens below it
    CCoord fontSize{12};
};

// Called on the editor thread only.
class IPlatformFrame
{
public:
    virtual ~IPlatformFrame() = default;

    virtual PlatformType getPlatformType() const = 0;
    // The window's rectangle in its parent (X11) or (0, 0, width, height) offscreen.
    virtual bool getSize(CRect& size) const = 0;
    virtual bool setSize(const CRect& newSize) = 0;
    virtual bool getCurrentMousePosition(CPoint& mousePosition) const = 0;
    virtual bool getCurrentMouseButtons(CButtonState& buttons) const = 0;
    // Schedules a redraw of `rect` (frame coordinates).
    virtual bool invalidRect(const CRect& rect) = 0;
    // Repaints whatever is invalid now (X11: and shows it).
    virtual void redrawInvalid() = 0;
    // Handles the window system's pending events; returns the number handled. Offscreen: 0.
    virtual int32_t processEvents() = 0;
    // A file descriptor that becomes readable when events are pending, or -1.
    virtual int getEventFileDescriptor() const = 0;
    // The X11 window id of the frame's own window (0 offscreen).
    virtual unsigned long getNativeWindow() const = 0;
    // The backing image the frame draws into (ARGB32, premultiplied).
    virtual cairo_surface_t* getBackingSurface() const = 0;

    // Popup list of an option menu: opens non-modally; the choice arrives later through
    // IPlatformFrameCallback::platformPopupClosed. Only one popup is open at a time.
    virtual bool openPopup(COptionMenu* menu, const PopupListDescription& description) = 0;
    virtual bool isPopupOpen() const = 0;
    // The open popup's rectangle in frame coordinates (empty when none is open).
    virtual CRect getPopupRect() const = 0;
    // Entry `index` of the open popup in frame coordinates (empty when none or out of range),
    // e.g. to click it with real input. Long lists wrap into columns.
    virtual CRect getPopupEntryRect(int32_t index) const = 0;
    // Chooses an entry of the open popup as if the user clicked it (false: none open or the
    // entry cannot be chosen).
    virtual bool choosePopupEntry(int32_t index) = 0;
    virtual void closePopup() = 0;

    // Offscreen input for tests and headless drivers: the event goes through the same path as
    // a real one (popup first, then the frame), and the mouse position follows it.
    virtual void injectMouseDown(const CPoint& where, const CButtonState& buttons) = 0;
    virtual void injectMouseMoved(const CPoint& where, const CButtonState& buttons) = 0;
    virtual void injectMouseUp(const CPoint& where, const CButtonState& buttons) = 0;
    virtual void setMousePosition(const CPoint& where) = 0;

    // Writes the current picture (after repainting what is invalid) as PNG.
    virtual bool writePNG(UTF8StringPtr path) = 0;
};

} // namespace VSTGUI
