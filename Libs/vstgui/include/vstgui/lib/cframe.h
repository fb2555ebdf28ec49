#pragma once
// The root of a view tree, living in a platform window (X11 child window or offscreen image).
//
// Event handling: an X11 frame handles its window's events on the thread that calls idle()
// (or CFrame::processAllFrameEvents() for all frames); an editor calls it from its timer.

#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/lib/platform/iplatformframe.h"
#include "vstgui/lib/vstguieditorinterface.h"

#include <memory>

namespace VSTGUI
{

enum CKnobMode
{
    kCircularMode = 0,
    kRelativCircularMode,
    kLinearMode
};

// Called on the editor thread only.
class CFrame : public CViewContainer, public IPlatformFrameCallback
{
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);

    // Opens the frame's window. `parent` is an X11 window id (as void*) for kNSView,
    // kDefaultNative and kX11EmbedWindowID. The frame is offscreen when `parent` is null, the
    // type is kOffscreen, offscreen mode is forced (setForceOffscreen or the environment
    // variable VSTGUI_OFFSCREEN=1), or no X display can be opened. False when already open.
    bool open(void* parent, PlatformType parentType = kDefaultNative);
    // Removes all children, closes the window and releases the caller's reference.
    void close();
    bool isOpen() const { return platformFrame != nullptr; }

    virtual bool setPosition(CCoord x, CCoord y);
    virtual bool setSize(CCoord width, CCoord height);
    // The frame's rectangle in its parent window; false while it is not open.
    virtual bool getSize(CRect* size) const;
    virtual bool getSize(CRect& size) const;
    bool getPosition(CCoord& x, CCoord& y) const;

    // Mouse position in frame coordinates; false while not open.
    bool getCurrentMouseLocation(CPoint& where) const;
    CButtonState getCurrentMouseButtons() const;

    VSTGUIEditorInterface* getEditor() const override { return editor; }
    int32_t getKnobMode() const;
    // Edit notifications to the editor (tag of the control).
    void beginEdit(int32_t index);
    void endEdit(int32_t index);

    void setFocusView(CView* view) { focusView = view; }
    CView* getFocusView() const { return focusView; }

    // Redraws `updateRect` now. With a context, draws into it; without one, repaints the
    // frame's own window.
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void draw(CDrawContext* context) override;
    void invalid() override;
    void invalidRect(const CRect& rect) override;
    void setViewSize(const CRect& rect, bool invalid = true) override;

    // Handles pending window-system events and repaints what is invalid.
    void idle();
    // idle() for every open frame of the process.
    static void processAllFrameEvents();
    // Makes every later open() offscreen (tests, headless hosts).
    static void setForceOffscreen(bool force);

    IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
    // Writes the current picture as PNG; false when not open or the file cannot be written.
    bool writePNG(UTF8StringPtr path);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    virtual bool platformOnKeyDown(VstKeyCode& keyCode) override;

    bool removeView(CView* view, bool withForget = true) override;
    bool removeAll(bool withForget = true) override;
    CPoint& frameToLocal(CPoint& point) const override { return point; }
    CPoint& localToFrame(CPoint& point) const override { return point; }

    // The option menu whose popup is open (held with one reference), or null.
    COptionMenu* getOpenPopupMenu() const { return popupMenu; }
    bool openPopup(COptionMenu* menu, const PopupListDescription& description);

protected:
    ~CFrame() override;
    void beforeDelete() override;

    // IPlatformFrameCallback
    void platformDrawRect(CDrawContext* context, const CRect& rect) override;
    CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) override;
    void platformPopupClosed(COptionMenu* menu, int32_t index) override;

private:
    void closePlatform();

    VSTGUIEditorInterface* editor;
    std::unique_ptr<IPlatformFrame> platformFrame;
    CPoint position;
    CView* focusView{nullptr};
    COptionMenu* popupMenu{nullptr};
};

} // namespace VSTGUI
