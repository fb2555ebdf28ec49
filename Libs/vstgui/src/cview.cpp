#include "vstgui/lib/cview.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cframe.h"

namespace VSTGUI
{

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView()
{
    if (background) background->forget();
}

void CView::draw(CDrawContext* context)
{
    if (background) background->draw(context, size);
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/)
{
    draw(context);
}

void CView::invalidRect(const CRect& rect)
{
    if (parentView && visible) parentView->invalidRect(rect);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}

bool CView::hitTest(const CPoint& where, const CButtonState&)
{
    return mouseableArea.pointInside(where);
}

bool CView::onDrop(IDataPackage*, const CPoint&)
{
    return false;
}
void CView::onDragEnter(IDataPackage*, const CPoint&) {}
void CView::onDragLeave(IDataPackage*, const CPoint&) {}
void CView::onDragMove(IDataPackage*, const CPoint&) {}
int32_t CView::onKeyDown(VstKeyCode&)
{
    return -1;
}
int32_t CView::onKeyUp(VstKeyCode&)
{
    return -1;
}

void CView::setViewSize(const CRect& rect, bool invalidate)
{
    if (rect == size) return;
    if (invalidate) invalidRect(size);
    // A mouseable area that was the whole view stays the whole view; a custom one moves along.
    if (mouseableArea == size)
        mouseableArea = rect;
    else
        mouseableArea.offset(rect.left - size.left, rect.top - size.top);
    size = rect;
    if (invalidate) invalid();
}

CRect CView::getVisibleViewSize() const
{
    CRect r(size);
    if (parentView)
    {
        CRect parentVisible = parentView->getVisibleViewSize();
        parentVisible.moveTo(0, 0);
        r.bound(parentVisible);
    }
    return r;
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    return parentView ? parentView->frameToLocal(point) : point;
}

CPoint& CView::localToFrame(CPoint& point) const
{
    return parentView ? parentView->localToFrame(point) : point;
}

void CView::setVisible(bool state)
{
    if (visible == state) return;
    if (!state) invalidRect(size);
    visible = state;
    if (state) invalid();
}

void CView::setAlphaValue(float alpha)
{
    alphaValue = alpha < 0.f ? 0.f : (alpha > 1.f ? 1.f : alpha);
    invalid();
}

void CView::setBackground(CBitmap* newBackground)
{
    if (newBackground == background) return;
    if (newBackground) newBackground->remember();
    if (background) background->forget();
    background = newBackground;
    setDirty(true);
}

bool CView::attached(CView* parent)
{
    if (!parent || parentView) return false;
    parentView = parent;
    parentFrame = parent->getFrame();
    return true;
}

bool CView::removed(CView* /*parent*/)
{
    parentView = nullptr;
    parentFrame = nullptr;
    return true;
}

VSTGUIEditorInterface* CView::getEditor() const
{
    return parentFrame ? parentFrame->getEditor() : nullptr;
}

} // namespace VSTGUI
