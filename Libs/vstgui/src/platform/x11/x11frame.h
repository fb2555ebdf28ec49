#pragma once
// A frame in an X11 child window of a given parent window, on its own X connection.

#include "../backedframe.h"

#include <X11/Xlib.h>

#include <memory>

namespace VSTGUI
{

class X11PlatformFrame : public BackedPlatformFrame
{
public:
    // Null when no display can be opened or `parent` is not a window of it.
    static std::unique_ptr<X11PlatformFrame> create(IPlatformFrameCallback* frame,
                                                    unsigned long parent, const CRect& size);
    ~X11PlatformFrame() override;

    PlatformType getPlatformType() const override { return kX11EmbedWindowID; }
    bool setSize(const CRect& newSize) override;
    bool getCurrentMousePosition(CPoint& mousePosition) const override;
    bool getCurrentMouseButtons(CButtonState& buttons) const override;
    int32_t processEvents() override;
    int getEventFileDescriptor() const override;
    unsigned long getNativeWindow() const override { return window; }

protected:
    void presentRect(const CRect& rect) override;
    CRect popupBounds() const override;
    void showPopup() override;
    void hidePopup() override;
    void popupHoverChanged() override;

private:
    X11PlatformFrame(IPlatformFrameCallback* frame, const CRect& size, Display* display,
                     Window window);
    void handleEvent(XEvent& event);
    void drawPopupWindow();
    CPoint frameOriginOnRoot() const;
    // Copies `rect` of an ARGB32 image to the drawable when the visual allows; false otherwise.
    bool putImage(Drawable target, cairo_surface_t* image, const CRect& rect);

    Display* display;
    Window window;
    cairo_surface_t* windowSurface{nullptr};
    GC gc{};
    bool directPut{false};
    Visual* directVisual{nullptr};
    int directDepth{0};
    Window popupWindow{0};
    cairo_surface_t* popupSurface{nullptr};
    unsigned long lastPressTime{0};
    CPoint lastPressWhere;
    unsigned int lastPressButton{0};
};

} // namespace VSTGUI
