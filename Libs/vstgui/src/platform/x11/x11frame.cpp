#include "x11frame.h"
#include "vstgui/lib/platform/x11events.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <atomic>
#include <cmath>

namespace VSTGUI
{

namespace
{

// Errors on the frames' own connections (a parent window the host already destroyed, a bad
// window id) must not end the process through Xlib's default handler. The handler is
// process-wide, so it is installed while any frame's connection is open and passes errors of
// other connections on to the handler it replaced.
constexpr int kMaxConnections = 32;
std::atomic<Display*> ownConnections[kMaxConnections];
std::atomic<bool> errorOnOwnConnection{false};
XErrorHandler replacedHandler = nullptr;
int openConnections = 0; // editor thread only

int onXError(Display* display, XErrorEvent* event)
{
    for (auto& slot : ownConnections)
        if (slot.load() == display)
        {
            errorOnOwnConnection = true;
            return 0;
        }
    return replacedHandler ? replacedHandler(display, event) : 0;
}

void registerConnection(Display* display)
{
    for (auto& slot : ownConnections)
    {
        Display* expected = nullptr;
        if (slot.compare_exchange_strong(expected, display)) break;
    }
    if (openConnections++ == 0) replacedHandler = XSetErrorHandler(onXError);
}

void unregisterConnection(Display* display)
{
    for (auto& slot : ownConnections)
    {
        Display* expected = display;
        if (slot.compare_exchange_strong(expected, nullptr)) break;
    }
    if (--openConnections == 0)
    {
        // Put back what was there, unless someone installed a handler after ours.
        XErrorHandler current = XSetErrorHandler(replacedHandler);
        if (current != onXError) XSetErrorHandler(current);
        replacedHandler = nullptr;
    }
}

bool isWindow(Display* display, Window window)
{
    errorOnOwnConnection = false;
    XWindowAttributes attributes;
    Status ok = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    return ok && !errorOnOwnConnection;
}

Visual* visualOf(Display* display, Window window, int& depth)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    depth = attributes.depth;
    return attributes.visual;
}

} // namespace

std::unique_ptr<X11PlatformFrame> X11PlatformFrame::create(IPlatformFrameCallback* frame,
                                                           unsigned long parent, const CRect& size)
{
    if (parent == 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    registerConnection(display);
    if (!isWindow(display, parent))
    {
        XCloseDisplay(display);
        unregisterConnection(display);
        return nullptr;
    }
    unsigned width = std::max(1u, static_cast<unsigned>(std::ceil(size.getWidth())));
    unsigned height = std::max(1u, static_cast<unsigned>(std::ceil(size.getHeight())));
    Window window = XCreateSimpleWindow(display, parent, static_cast<int>(size.left),
                                        static_cast<int>(size.top), width, height, 0, 0, 0);
    XSelectInput(display, window,
                 ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     KeyPressMask | KeyReleaseMask | EnterWindowMask | LeaveWindowMask |
                     StructureNotifyMask);
    XMapWindow(display, window);
    XFlush(display);
    return std::unique_ptr<X11PlatformFrame>(new X11PlatformFrame(frame, size, display, window));
}

X11PlatformFrame::X11PlatformFrame(IPlatformFrameCallback* frame, const CRect& size,
                                   Display* display, Window window)
    : BackedPlatformFrame(frame, size), display(display), window(window)
{
    int depth = 0;
    Visual* visual = visualOf(display, window, depth);
    // Most servers show 24-bit true colour, whose pixels are the backing image's bytes: those
    // are copied with XPutImage. Anything else goes through cairo's xlib surfaces.
    directPut = (depth == 24 || depth == 32) && visual->c_class == TrueColor &&
                visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 &&
                visual->blue_mask == 0xff && ImageByteOrder(display) == LSBFirst;
    directVisual = visual;
    directDepth = depth;
    gc = XCreateGC(display, window, 0, nullptr);
    windowSurface = cairo_xlib_surface_create(
        display, window, visual, std::max(1, static_cast<int>(std::ceil(size.getWidth()))),
        std::max(1, static_cast<int>(std::ceil(size.getHeight()))));
}

X11PlatformFrame::~X11PlatformFrame()
{
    hidePopup();
    // Everything cairo keeps for this connection goes before the connection: the window
    // surface, the backing image (it may carry a server-side copy), then the device.
    cairo_device_t* device =
        windowSurface ? cairo_device_reference(cairo_surface_get_device(windowSurface)) : nullptr;
    if (windowSurface) cairo_surface_destroy(windowSurface);
    windowSurface = nullptr;
    if (backing) cairo_surface_destroy(backing);
    backing = nullptr;
    if (device)
    {
        cairo_device_finish(device);
        cairo_device_destroy(device);
    }
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XSync(display, False); // errors (a window already gone with its parent) reach our handler
    XCloseDisplay(display);
    unregisterConnection(display);
}

bool X11PlatformFrame::setSize(const CRect& newSize)
{
    bool ok = BackedPlatformFrame::setSize(newSize);
    unsigned width = std::max(1u, static_cast<unsigned>(std::ceil(newSize.getWidth())));
    unsigned height = std::max(1u, static_cast<unsigned>(std::ceil(newSize.getHeight())));
    XMoveResizeWindow(display, window, static_cast<int>(newSize.left),
                      static_cast<int>(newSize.top), width, height);
    cairo_xlib_surface_set_size(windowSurface, static_cast<int>(width), static_cast<int>(height));
    XFlush(display);
    return ok;
}

bool X11PlatformFrame::getCurrentMousePosition(CPoint& mousePosition) const
{
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask;
    if (!XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    mousePosition = CPoint(x, y);
    return true;
}

bool X11PlatformFrame::getCurrentMouseButtons(CButtonState& buttons) const
{
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask;
    if (!XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    buttons = X11::buttonStateFromEvent(X11::MouseEventKind::Motion, mask, 0);
    return true;
}

int X11PlatformFrame::getEventFileDescriptor() const
{
    return ConnectionNumber(display);
}

bool X11PlatformFrame::putImage(Drawable target, cairo_surface_t* image, const CRect& rect)
{
    if (!directPut || !image) return false;
    cairo_surface_flush(image);
    int width = cairo_image_surface_get_width(image);
    int height = cairo_image_surface_get_height(image);
    CRect r(rect);
    r.bound(CRect(0, 0, width, height));
    if (r.isEmpty()) return true;
    XImage* xi = XCreateImage(display, directVisual, static_cast<unsigned>(directDepth), ZPixmap, 0,
                              reinterpret_cast<char*>(cairo_image_surface_get_data(image)),
                              static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                              cairo_image_surface_get_stride(image));
    if (!xi) return false;
    XPutImage(display, target, gc, xi, static_cast<int>(r.left), static_cast<int>(r.top),
              static_cast<int>(r.left), static_cast<int>(r.top),
              static_cast<unsigned>(r.getWidth()), static_cast<unsigned>(r.getHeight()));
    xi->data = nullptr; // the pixels belong to the cairo image
    XDestroyImage(xi);
    XFlush(display);
    return true;
}

void X11PlatformFrame::presentRect(const CRect& rect)
{
    if (putImage(window, backing, rect)) return;
    if (!windowSurface || !backing) return;
    cairo_t* cr = cairo_create(windowSurface);
    cairo_set_source_surface(cr, backing, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(windowSurface);
    XFlush(display);
}

CPoint X11PlatformFrame::frameOriginOnRoot() const
{
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return CPoint(x, y);
}

CRect X11PlatformFrame::popupBounds() const
{
    // The list is a top-level window: it may leave the frame but must stay on the screen.
    CPoint origin = frameOriginOnRoot();
    Screen* screen = DefaultScreenOfDisplay(display);
    CRect bounds(0, 0, WidthOfScreen(screen), HeightOfScreen(screen));
    bounds.offset(-origin.x, -origin.y);
    return bounds;
}

void X11PlatformFrame::showPopup()
{
    if (!popup) return;
    CRect r = popup->getRect();
    CPoint origin = frameOriginOnRoot();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    unsigned width = std::max(1u, static_cast<unsigned>(r.getWidth()));
    unsigned height = std::max(1u, static_cast<unsigned>(r.getHeight()));
    popupWindow = XCreateWindow(
        display, DefaultRootWindow(display), static_cast<int>(origin.x + r.left),
        static_cast<int>(origin.y + r.top), width, height, 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWEventMask | CWBackPixel, &attributes);
    XMapRaised(display, popupWindow);
    int depth = 0;
    if (!directPut)
        popupSurface =
            cairo_xlib_surface_create(display, popupWindow, visualOf(display, popupWindow, depth),
                                      static_cast<int>(width), static_cast<int>(height));
    // With the pointer grabbed, a press outside the list reaches the list (and dismisses it).
    XGrabPointer(display, popupWindow, False,
                 ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(display, popupWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    drawPopupWindow();
}

void X11PlatformFrame::hidePopup()
{
    if (!popupWindow) return;
    XUngrabPointer(display, CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    if (popupSurface) cairo_surface_destroy(popupSurface);
    popupSurface = nullptr;
    XDestroyWindow(display, popupWindow);
    popupWindow = 0;
    XFlush(display);
}

void X11PlatformFrame::popupHoverChanged()
{
    drawPopupWindow();
}

void X11PlatformFrame::drawPopupWindow()
{
    if (!popup || !popupWindow || (!popupSurface && !directPut)) return;
    // Through an image, so the list appears in one piece.
    CRect r = popup->getRect();
    int w = std::max(1, static_cast<int>(r.getWidth()));
    int h = std::max(1, static_cast<int>(r.getHeight()));
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(image);
    {
        CDrawContext context(cr, CRect(0, 0, w, h));
        popup->draw(context);
    }
    cairo_destroy(cr);
    if (putImage(popupWindow, image, CRect(0, 0, w, h)))
    {
        cairo_surface_destroy(image);
        return;
    }
    cr = cairo_create(popupSurface);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image);
    cairo_surface_flush(popupSurface);
    XFlush(display);
}

int32_t X11PlatformFrame::processEvents()
{
    int32_t handled = 0;
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MotionNotify)
        {
            // Only the latest position of a burst of moves matters.
            XEvent next;
            while (XCheckTypedWindowEvent(display, event.xmotion.window, MotionNotify, &next))
                event = next;
        }
        handleEvent(event);
        ++handled;
    }
    redrawInvalid();
    return handled;
}

void X11PlatformFrame::handleEvent(XEvent& event)
{
    const bool onPopup = popupWindow && event.xany.window == popupWindow;
    // Events of the list window are in its coordinates; the shared handlers use the frame's.
    CPoint popupOrigin = popup ? popup->getRect().getTopLeft() : CPoint();
    switch (event.type)
    {
    case Expose:
        if (onPopup)
        {
            if (event.xexpose.count == 0) drawPopupWindow();
        }
        else if (event.xany.window == window)
            invalidRect(CRect(event.xexpose.x, event.xexpose.y,
                              event.xexpose.x + event.xexpose.width,
                              event.xexpose.y + event.xexpose.height));
        break;
    case ButtonPress:
    {
        const XButtonEvent& b = event.xbutton;
        if (b.button < Button1 || b.button > Button3) break; // wheel buttons
        CPoint where(b.x, b.y);
        if (onPopup)
            where.offset(popupOrigin);
        else if (b.window != window)
            break;
        CButtonState buttons =
            X11::buttonStateFromEvent(X11::MouseEventKind::Press, b.state, b.button);
        if (X11::isDoubleClick(lastPressTime, lastPressWhere, lastPressButton, b.time, where,
                               b.button))
            buttons |= kDoubleClick;
        lastPressTime = b.time;
        lastPressWhere = where;
        lastPressButton = b.button;
        handleMouseDown(where, buttons);
        break;
    }
    case ButtonRelease:
    {
        const XButtonEvent& b = event.xbutton;
        if (b.button < Button1 || b.button > Button3) break;
        CPoint where(b.x, b.y);
        if (onPopup)
            where.offset(popupOrigin);
        else if (b.window != window)
            break;
        handleMouseUp(where,
                      X11::buttonStateFromEvent(X11::MouseEventKind::Release, b.state, b.button));
        break;
    }
    case MotionNotify:
    {
        const XMotionEvent& m = event.xmotion;
        CPoint where(m.x, m.y);
        if (onPopup)
            where.offset(popupOrigin);
        else if (m.window != window)
            break;
        handleMouseMoved(where, X11::buttonStateFromEvent(X11::MouseEventKind::Motion, m.state, 0));
        break;
    }
    case LeaveNotify:
        if (event.xcrossing.window == window && !popup)
        {
            CPoint where(event.xcrossing.x, event.xcrossing.y);
            frame->platformOnMouseExited(
                where,
                X11::buttonStateFromEvent(X11::MouseEventKind::Motion, event.xcrossing.state, 0));
        }
        break;
    case KeyPress:
    {
        KeySym sym = XLookupKeysym(&event.xkey, 0);
        if (popup)
        {
            if (sym == XK_Escape) closePopup();
            break;
        }
        VstKeyCode key;
        char text[8] = {0};
        KeySym ignored;
        if (XLookupString(&event.xkey, text, sizeof text - 1, &ignored, nullptr) == 1)
            key.character = static_cast<unsigned char>(text[0]);
        CButtonState mods =
            X11::buttonStateFromEvent(X11::MouseEventKind::Motion, event.xkey.state, 0);
        key.modifier =
            static_cast<unsigned char>(((mods & kShift) ? 1 : 0) | ((mods & kAlt) ? 2 : 0) |
                                       ((mods & kControl) ? 4 : 0) | ((mods & kApple) ? 8 : 0));
        frame->platformOnKeyDown(key);
        break;
    }
    default:
        break;
    }
}

} // namespace VSTGUI
