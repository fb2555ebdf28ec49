#pragma once
// The part of a platform frame that both backends share: the ARGB32 backing image the frame
// draws into, the area waiting for a repaint, the mouse position, and the popup list state.

#include "popuplist.h"

#include <memory>

namespace VSTGUI
{

class BackedPlatformFrame : public IPlatformFrame
{
public:
    BackedPlatformFrame(IPlatformFrameCallback* frame, const CRect& size);
    ~BackedPlatformFrame() override;

    bool getSize(CRect& size) const override;
    bool setSize(const CRect& newSize) override;
    bool getCurrentMousePosition(CPoint& mousePosition) const override;
    bool getCurrentMouseButtons(CButtonState& buttons) const override;
    bool invalidRect(const CRect& rect) override;
    void redrawInvalid() override;
    cairo_surface_t* getBackingSurface() const override { return backing; }

    bool openPopup(COptionMenu* menu, const PopupListDescription& description) override;
    bool isPopupOpen() const override { return popup != nullptr; }
    CRect getPopupRect() const override;
    CRect getPopupEntryRect(int32_t index) const override;
    bool choosePopupEntry(int32_t index) override;
    void closePopup() override;

    void injectMouseDown(const CPoint& where, const CButtonState& buttons) override;
    void injectMouseMoved(const CPoint& where, const CButtonState& buttons) override;
    void injectMouseUp(const CPoint& where, const CButtonState& buttons) override;
    void setMousePosition(const CPoint& where) override { mouse = where; }

    bool writePNG(UTF8StringPtr path) override;

protected:
    // Hooks for the backend.
    virtual void presentRect(const CRect& /*rect*/) {}
    // Where the popup may go, in frame coordinates.
    virtual CRect popupBounds() const { return CRect(0, 0, size.getWidth(), size.getHeight()); }
    virtual void showPopup() {}
    virtual void hidePopup() {}
    virtual void popupHoverChanged() {}

    // Mouse events in frame coordinates; an open popup sees them first.
    void handleMouseDown(const CPoint& where, const CButtonState& buttons);
    void handleMouseMoved(const CPoint& where, const CButtonState& buttons);
    void handleMouseUp(const CPoint& where, const CButtonState& buttons);
    // Repaints `rect` of the backing image (frame, then the popup overlay if drawn inline).
    void paint(const CRect& rect);
    // Whether the popup is drawn into the backing image (offscreen) or has its own window.
    virtual bool popupDrawnInline() const { return false; }
    bool createBacking();
    void finishPopup(int32_t index);

    IPlatformFrameCallback* frame;
    CRect size; // position in the parent and size
    cairo_surface_t* backing{nullptr};
    CRect dirty;
    CPoint mouse;
    CButtonState mouseButtons;
    std::unique_ptr<PopupList> popup;
    COptionMenu* popupMenu{nullptr};
};

} // namespace VSTGUI
