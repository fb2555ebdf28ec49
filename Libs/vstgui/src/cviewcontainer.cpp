#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"

#include <algorithm>

namespace VSTGUI
{

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer()
{
    CViewContainer::removeAll(true);
}

bool CViewContainer::addView(CView* view)
{
    if (!view) return false;
    // A view cannot live in two places. Its reference is left alone: the view may be a child
    // here already, and releasing the reference would then free a view still in use.
    if (view->getParentView() || isChild(view)) return false;
    children.push_back(view);
    view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::addView(CView* view, CView* before)
{
    if (!view) return false;
    auto it = std::find(children.begin(), children.end(), before);
    if (!before || it == children.end()) return addView(view);
    if (view->getParentView() || isChild(view)) return false;
    children.insert(it, view);
    view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::addView(CView* view, const CRect& mouseableArea, bool mouseEnabled)
{
    if (!view) return false;
    view->setMouseableArea(mouseableArea);
    view->setMouseEnabled(mouseEnabled);
    return addView(view);
}

void CViewContainer::clearMouseDownView(CView* view)
{
    if (mouseDownView == view) mouseDownView = nullptr;
}

bool CViewContainer::removeView(CView* view, bool withForget)
{
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return false;
    view->invalid();
    children.erase(it);
    clearMouseDownView(view);
    view->removed(this);
    if (withForget) view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget)
{
    mouseDownView = nullptr;
    // Last first, so that each removal sees a consistent list.
    while (!children.empty())
    {
        CView* view = children.back();
        children.pop_back();
        view->removed(this);
        if (withForget) view->forget();
    }
    return true;
}

bool CViewContainer::isChild(CView* view, bool deep) const
{
    for (CView* child : children)
    {
        if (child == view) return true;
        if (deep)
            if (auto* container = dynamic_cast<CViewContainer*>(child))
                if (container->isChild(view, true)) return true;
    }
    return false;
}

CView* CViewContainer::getView(int32_t index) const
{
    if (index < 0 || index >= getNbViews()) return nullptr;
    return children[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, const GetViewOptions& options) const
{
    CPoint local(where);
    local.offset(-size.left, -size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (!options.getIncludeInvisible() && !child->isVisible()) continue;
        if (options.getMouseEnabled() && !child->getMouseEnabled()) continue;
        if (!child->getMouseableArea().pointInside(local)) continue;
        if (options.getDeep())
            if (auto* container = dynamic_cast<CViewContainer*>(child))
            {
                CView* inner = container->getViewAt(local, options);
                if (inner) return inner;
                return options.getIncludeViewContainer() ? child : nullptr;
            }
        return child;
    }
    return nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep, bool mustbeMouseEnabled) const
{
    int32_t flags = (deep ? GetViewOptions::kDeep : 0) |
                    (mustbeMouseEnabled ? GetViewOptions::kMouseEnabled : 0);
    return getViewAt(where, GetViewOptions(flags));
}

void CViewContainer::setBackgroundColor(const CColor& color)
{
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::draw(CDrawContext* context)
{
    drawRect(context, size);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect)
{
    CRect r(updateRect);
    if (backgroundColor.alpha)
    {
        context->setFillColor(backgroundColor);
        context->drawRect(r, kDrawFilled);
    }
    if (CBitmap* bg = getBackground()) bg->draw(context, r, r.getTopLeft());
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect)
{
    // updateRect is in the parent's coordinates; children and background use ours.
    CRect local(updateRect);
    local.bound(size);
    if (local.isEmpty()) return;
    local.offset(-size.left, -size.top);
    context->saveGlobalState();
    CPoint origin = context->getOffset();
    context->setOffset(CPoint(origin.x + size.left, origin.y + size.top));
    context->setClipRect(local);
    drawBackgroundRect(context, local);
    for (CView* child : children)
    {
        if (!child->isVisible() || !child->checkUpdate(local)) continue;
        context->saveGlobalState();
        CRect childClip(child->getViewSize());
        childClip.bound(local);
        context->setClipRect(childClip);
        child->drawRect(context, childClip);
        context->restoreGlobalState();
    }
    context->restoreGlobalState();
    setDirty(false);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    CPoint local(where);
    local.offset(-size.left, -size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons))
            continue;
        child->remember(); // the handler may remove the child
        CPoint childWhere(local);
        CMouseEventResult result = child->onMouseDown(childWhere, buttons);
        // Only a view that took the click and wants the rest of the gesture gets moves and up;
        // views are opaque, so the top-most one under the mouse ends the search either way.
        if (result == kMouseEventHandled && isChild(child)) mouseDownView = child;
        child->forget();
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    CView* view = mouseDownView;
    if (!view) return kMouseEventNotHandled;
    mouseDownView = nullptr;
    CPoint local(where);
    local.offset(-size.left, -size.top);
    view->remember();
    view->onMouseUp(local, buttons);
    view->forget();
    return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    CView* view = mouseDownView;
    if (!view) return kMouseEventNotHandled;
    CPoint local(where);
    local.offset(-size.left, -size.top);
    view->remember();
    CMouseEventResult result = view->onMouseMoved(local, buttons);
    view->forget();
    if (result != kMouseEventHandled && result != kMouseEventNotImplemented)
    {
        // The view wants no more events of this gesture.
        mouseDownView = nullptr;
        return kMouseEventNotHandled;
    }
    return kMouseEventHandled;
}

bool CViewContainer::attached(CView* parent)
{
    if (!CView::attached(parent)) return false;
    for (CView* child : children)
    {
        child->removed(this);
        child->attached(this);
    }
    return true;
}

bool CViewContainer::removed(CView* parent)
{
    for (CView* child : children)
        child->removed(this);
    mouseDownView = nullptr;
    return CView::removed(parent);
}

void CViewContainer::invalidRect(const CRect& rect)
{
    CRect r(rect);
    r.offset(size.left, size.top);
    r.bound(size);
    if (!r.isEmpty()) CView::invalidRect(r);
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const
{
    point.offset(-size.left, -size.top);
    return parentView ? parentView->frameToLocal(point) : point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const
{
    point.offset(size.left, size.top);
    return parentView ? parentView->localToFrame(point) : point;
}

} // namespace VSTGUI
