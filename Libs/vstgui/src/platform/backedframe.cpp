#include "backedframe.h"

#include <cairo.h>

#include <cmath>

namespace VSTGUI
{

BackedPlatformFrame::BackedPlatformFrame(IPlatformFrameCallback* frame, const CRect& size)
    : frame(frame), size(size)
{
    createBacking();
}

BackedPlatformFrame::~BackedPlatformFrame()
{
    if (backing) cairo_surface_destroy(backing);
}

bool BackedPlatformFrame::createBacking()
{
    if (backing) cairo_surface_destroy(backing);
    backing = nullptr;
    int w = static_cast<int>(std::ceil(size.getWidth()));
    int h = static_cast<int>(std::ceil(size.getHeight()));
    // A zero-sized frame still gets a 1 x 1 image, so drawing code never sees null.
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(w, 1), std::max(h, 1));
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(s);
        return false;
    }
    backing = s;
    dirty = CRect(0, 0, w, h);
    return true;
}

bool BackedPlatformFrame::getSize(CRect& outSize) const
{
    outSize = size;
    return true;
}

bool BackedPlatformFrame::setSize(const CRect& newSize)
{
    bool resized = newSize.getWidth() != size.getWidth() || newSize.getHeight() != size.getHeight();
    size = newSize;
    if (resized) return createBacking();
    return true;
}

bool BackedPlatformFrame::getCurrentMousePosition(CPoint& mousePosition) const
{
    mousePosition = mouse;
    return true;
}

bool BackedPlatformFrame::getCurrentMouseButtons(CButtonState& buttons) const
{
    buttons = mouseButtons;
    return true;
}

bool BackedPlatformFrame::invalidRect(const CRect& rect)
{
    CRect r(rect);
    r.left = std::floor(r.left);
    r.top = std::floor(r.top);
    r.right = std::ceil(r.right);
    r.bottom = std::ceil(r.bottom);
    r.bound(CRect(0, 0, size.getWidth(), size.getHeight()));
    dirty.unite(r);
    return true;
}

void BackedPlatformFrame::paint(const CRect& rect)
{
    if (!backing || rect.isEmpty()) return;
    cairo_t* cr = cairo_create(backing);
    {
        CDrawContext context(cr, CRect(0, 0, size.getWidth(), size.getHeight()));
        context.setClipRect(rect);
        context.clearRect(rect);
        frame->platformDrawRect(&context, rect);
        if (popup && popupDrawnInline() && popup->getRect().rectOverlap(rect))
        {
            context.saveGlobalState();
            context.setOffset(popup->getRect().getTopLeft());
            popup->draw(context);
            context.restoreGlobalState();
        }
    }
    cairo_destroy(cr);
    cairo_surface_flush(backing);
}

void BackedPlatformFrame::redrawInvalid()
{
    if (dirty.isEmpty()) return;
    CRect r = dirty;
    dirty = CRect();
    paint(r);
    presentRect(r);
}

bool BackedPlatformFrame::openPopup(COptionMenu* menu, const PopupListDescription& description)
{
    if (popup) finishPopup(-1);
    popup = std::make_unique<PopupList>(description, popupBounds());
    popupMenu = menu;
    showPopup();
    if (popupDrawnInline()) invalidRect(popup->getRect());
    return true;
}

CRect BackedPlatformFrame::getPopupRect() const
{
    return popup ? popup->getRect() : CRect();
}

CRect BackedPlatformFrame::getPopupEntryRect(int32_t index) const
{
    return popup ? popup->entryRect(index) : CRect();
}

void BackedPlatformFrame::finishPopup(int32_t index)
{
    if (!popup) return;
    CRect r = popup->getRect();
    COptionMenu* menu = popupMenu;
    hidePopup();
    popup.reset();
    popupMenu = nullptr;
    if (popupDrawnInline()) invalidRect(r);
    frame->platformPopupClosed(menu, index);
}

bool BackedPlatformFrame::choosePopupEntry(int32_t index)
{
    if (!popup || !popup->canChoose(index)) return false;
    finishPopup(index);
    return true;
}

void BackedPlatformFrame::closePopup()
{
    finishPopup(-1);
}

void BackedPlatformFrame::handleMouseDown(const CPoint& where, const CButtonState& buttons)
{
    mouse = where;
    if (popup)
    {
        // A press on an entry chooses it; a press anywhere else dismisses the list.
        int32_t index = popup->entryAt(where);
        if (popup->getRect().pointInside(where) && !popup->canChoose(index))
            return; // a separator or disabled entry: the list stays open
        finishPopup(index);
        return;
    }
    mouseButtons = buttons;
    CPoint p(where);
    frame->platformOnMouseDown(p, buttons);
}

void BackedPlatformFrame::handleMouseMoved(const CPoint& where, const CButtonState& buttons)
{
    mouse = where;
    if (popup)
    {
        if (popup->setHovered(popup->entryAt(where)))
        {
            if (popupDrawnInline()) invalidRect(popup->getRect());
            popupHoverChanged();
        }
        return;
    }
    mouseButtons = buttons;
    CPoint p(where);
    frame->platformOnMouseMoved(p, buttons);
}

void BackedPlatformFrame::handleMouseUp(const CPoint& where, const CButtonState& buttons)
{
    mouse = where;
    mouseButtons = CButtonState(buttons.getModifierState());
    if (popup) return; // the release of the click that opened the list
    CPoint p(where);
    frame->platformOnMouseUp(p, buttons);
}

void BackedPlatformFrame::injectMouseDown(const CPoint& where, const CButtonState& buttons)
{
    handleMouseDown(where, buttons);
}

void BackedPlatformFrame::injectMouseMoved(const CPoint& where, const CButtonState& buttons)
{
    handleMouseMoved(where, buttons);
}

void BackedPlatformFrame::injectMouseUp(const CPoint& where, const CButtonState& buttons)
{
    handleMouseUp(where, buttons);
}

bool BackedPlatformFrame::writePNG(UTF8StringPtr path)
{
    if (!path || !backing) return false;
    redrawInvalid();
    return cairo_surface_write_to_png(backing, path) == CAIRO_STATUS_SUCCESS;
}

} // namespace VSTGUI
