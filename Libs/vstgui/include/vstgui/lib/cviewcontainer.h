#pragma once
// A view that holds child views. Children are kept in drawing order (later on top) and the
// container holds one reference of each.

#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/cview.h"

#include <vector>

namespace VSTGUI
{

struct GetViewOptions
{
    enum
    {
        kNone = 0,
        kDeep = 1 << 0,
        kMouseEnabled = 1 << 1,
        kIncludeViewContainer = 1 << 2,
        kIncludeInvisible = 1 << 3
    };
    GetViewOptions(int32_t flags = kNone) : flags(flags) {}
    bool getDeep() const { return flags & kDeep; }
    bool getMouseEnabled() const { return flags & kMouseEnabled; }
    bool getIncludeViewContainer() const { return flags & kIncludeViewContainer; }
    bool getIncludeInvisible() const { return flags & kIncludeInvisible; }
    int32_t flags;
};

// Called on the editor thread only.
class CViewContainer : public CView
{
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Adopts the caller's reference of the view (it does not add one). False when the view is
    // null or already has a parent; the caller then still holds its reference.
    virtual bool addView(CView* view);
    virtual bool addView(CView* view, CView* before);
    virtual bool addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    // Takes the view out; with `withForget` the container's reference goes too.
    virtual bool removeView(CView* view, bool withForget = true);
    virtual bool removeAll(bool withForget = true);
    virtual bool isChild(CView* view, bool deep = false) const;
    virtual int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
    virtual CView* getView(int32_t index) const;
    // The top-most visible child under `where` (in this container's parent coordinates).
    virtual CView* getViewAt(const CPoint& where,
                             const GetViewOptions& options = GetViewOptions()) const;
    CView* getViewAt(const CPoint& where, bool deep, bool mustbeMouseEnabled = false) const;

    virtual void setBackgroundColor(const CColor& color);
    CColor getBackgroundColor() const { return backgroundColor; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    void invalidRect(const CRect& rect) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;

    // The child that took the current mouse-down and gets the moves and the up; null if none.
    CView* getMouseDownView() const { return mouseDownView; }

protected:
    // Forgets the mouse-down child if it is `view` (it is going away).
    void clearMouseDownView(CView* view);

    std::vector<CView*> children;
    CColor backgroundColor{kBlackCColor};
    CView* mouseDownView{nullptr};
};

} // namespace VSTGUI
