#pragma once
// A rectangle: left and top inclusive, right and bottom exclusive.

#include "vstgui/lib/cpoint.h"

#include <algorithm>

namespace VSTGUI
{

class CRect
{
public:
    constexpr CRect(CCoord left = 0, CCoord top = 0, CCoord right = 0, CCoord bottom = 0)
        : left(left), top(top), right(right), bottom(bottom)
    {
    }
    constexpr CRect(const CPoint& origin, const CPoint& size)
        : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y)
    {
    }

    CCoord getWidth() const { return right - left; }
    CCoord getHeight() const { return bottom - top; }
    CRect& setWidth(CCoord width)
    {
        right = left + width;
        return *this;
    }
    CRect& setHeight(CCoord height)
    {
        bottom = top + height;
        return *this;
    }
    CPoint getTopLeft() const { return CPoint(left, top); }
    CPoint getTopRight() const { return CPoint(right, top); }
    CPoint getBottomLeft() const { return CPoint(left, bottom); }
    CPoint getBottomRight() const { return CPoint(right, bottom); }
    CPoint getSize() const { return CPoint(getWidth(), getHeight()); }
    CPoint getCenter() const { return CPoint(left + getWidth() / 2, top + getHeight() / 2); }
    CRect& setTopLeft(const CPoint& p)
    {
        left = p.x;
        top = p.y;
        return *this;
    }
    CRect& setSize(const CPoint& size) { return setWidth(size.x).setHeight(size.y); }

    CRect& offset(CCoord dx, CCoord dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
    CRect& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }
    CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
    CRect& moveTo(const CPoint& p) { return moveTo(p.x, p.y); }
    CRect& inset(CCoord dx, CCoord dy)
    {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
        return *this;
    }
    CRect& extend(CCoord dx, CCoord dy) { return inset(-dx, -dy); }
    CRect& normalize()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
        return *this;
    }

    bool isEmpty() const { return right <= left || bottom <= top; }
    bool pointInside(const CPoint& p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool rectOverlap(const CRect& r) const
    {
        return right > r.left && left < r.right && bottom > r.top && top < r.bottom;
    }
    // Clips this rectangle to r; an empty result when they do not overlap.
    CRect& bound(const CRect& r)
    {
        left = std::max(left, r.left);
        top = std::max(top, r.top);
        right = std::min(right, r.right);
        bottom = std::min(bottom, r.bottom);
        if (right < left) right = left;
        if (bottom < top) bottom = top;
        return *this;
    }
    // Grows this rectangle to cover r; an empty rectangle contributes nothing.
    CRect& unite(const CRect& r)
    {
        if (r.isEmpty()) return *this;
        if (isEmpty()) return *this = r;
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
        return *this;
    }

    bool operator==(const CRect& r) const
    {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const CRect& r) const { return !(*this == r); }

    CCoord left;
    CCoord top;
    CCoord right;
    CCoord bottom;
};

} // namespace VSTGUI
