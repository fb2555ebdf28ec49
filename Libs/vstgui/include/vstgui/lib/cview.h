#pragma once
// The base of every view: a rectangle in its parent's coordinates that draws and takes mouse
// events.

#include "vstgui/lib/cbuttonstate.h"
#include "vstgui/lib/crect.h"

namespace VSTGUI
{

// Called on the editor thread only.
class CView : public CBaseObject
{
public:
    explicit CView(const CRect& size);
    ~CView() override;

    // Drawing. draw() paints the whole view; drawRect() paints the part that needs it.
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool checkUpdate(const CRect& updateRect) const { return updateRect.rectOverlap(size); }
    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool val = true) { dirty = val; }
    // Marks the whole view clean and asks the frame to redraw it.
    virtual void invalid()
    {
        setDirty(false);
        invalidRect(size);
    }
    // Asks the frame to redraw `rect` (in this view's parent coordinates).
    virtual void invalidRect(const CRect& rect);

    // Mouse events, in the parent's coordinates. Views that do not take the mouse answer
    // kMouseEventNotImplemented.
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = -1);

    // Drag and drop: accepted nowhere in this toolkit; kept for the interface.
    virtual bool onDrop(IDataPackage* drag, const CPoint& where);
    virtual void onDragEnter(IDataPackage* drag, const CPoint& where);
    virtual void onDragLeave(IDataPackage* drag, const CPoint& where);
    virtual void onDragMove(IDataPackage* drag, const CPoint& where);

    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);

    // Geometry.
    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& rect, bool invalid = true);
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }
    virtual CRect getVisibleViewSize() const;
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;
    const CRect& getMouseableArea() const { return mouseableArea; }
    void setMouseableArea(const CRect& rect) { mouseableArea = rect; }

    // State.
    virtual void setMouseEnabled(bool enable = true) { mouseEnabled = enable; }
    bool getMouseEnabled() const { return mouseEnabled; }
    virtual void setVisible(bool state);
    bool isVisible() const { return visible; }
    virtual void setAlphaValue(float alpha);
    float getAlphaValue() const { return alphaValue; }
    virtual void setBackground(CBitmap* background);
    CBitmap* getBackground() const { return background; }
    CBitmap* getDrawBackground() const { return background; }

    // Tree.
    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    bool isAttached() const { return parentView != nullptr; }
    CView* getParentView() const { return parentView; }
    CFrame* getFrame() const { return parentFrame; }
    virtual VSTGUIEditorInterface* getEditor() const;

protected:
    CRect size;
    CRect mouseableArea;
    CView* parentView{nullptr};
    CFrame* parentFrame{nullptr};

private:
    CBitmap* background{nullptr};
    bool dirty{false};
    bool mouseEnabled{true};
    bool visible{true};
    float alphaValue{1.f};
};

} // namespace VSTGUI
