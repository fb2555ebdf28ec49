#pragma once
// A point in view coordinates (pixels, y grows downwards).

#include "vstgui/lib/vstguibase.h"

namespace VSTGUI
{

class CPoint
{
public:
    constexpr CPoint(CCoord x = 0, CCoord y = 0) : x(x), y(y) {}

    CPoint& offset(CCoord dx, CCoord dy)
    {
        x += dx;
        y += dy;
        return *this;
    }
    CPoint& offset(const CPoint& p) { return offset(p.x, p.y); }
    CPoint& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }

    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
    CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CPoint& operator+=(const CPoint& o) { return offset(o); }
    CPoint& operator-=(const CPoint& o) { return offsetInverse(o); }

    CCoord x;
    CCoord y;
};

} // namespace VSTGUI
