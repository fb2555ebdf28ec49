#pragma once
// A drawing surface for views: a cairo context plus the current drawing state.

#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/cbuttonstate.h"
#include "vstgui/lib/cfont.h"
#include "vstgui/lib/crect.h"

#include <vector>

typedef struct _cairo cairo_t;

namespace VSTGUI
{

enum CDrawStyle
{
    kDrawStroked = 0,
    kDrawFilled,
    kDrawFilledAndStroked
};

enum CDrawModeFlags
{
    kAliasing = 0,
    kAntiAliasing = 1
};

class CDrawMode
{
public:
    CDrawMode(int32_t mode = kAliasing) : mode(mode) {}
    int32_t modeIgnoringIntegralMode() const { return mode; }
    bool operator==(const CDrawMode& m) const { return mode == m.mode; }
    bool operator!=(const CDrawMode& m) const { return mode != m.mode; }

private:
    int32_t mode;
};

// Called on the editor thread only. Does not own the cairo context it draws with.
class CDrawContext : public CBaseObject
{
public:
    using LinePair = std::pair<CPoint, CPoint>;
    using PointList = std::vector<CPoint>;

    // `surfaceRect` is the drawable area in frame coordinates (the initial clip).
    CDrawContext(cairo_t* cr, const CRect& surfaceRect);
    ~CDrawContext() override;

    void setFillColor(const CColor& color) { fillColor = color; }
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    CColor getFrameColor() const { return frameColor; }
    void setFontColor(const CColor& color) { fontColor = color; }
    CColor getFontColor() const { return fontColor; }
    void setFont(const CFontRef font, const CCoord& size = 0, const int32_t& style = -1);
    CFontRef getFont() const { return font; }
    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }
    void setDrawMode(CDrawMode mode) { drawMode = mode; }
    CDrawMode getDrawMode() const { return drawMode; }
    void setGlobalAlpha(float alpha) { globalAlpha = alpha; }
    float getGlobalAlpha() const { return globalAlpha; }

    // Clipping, in the current (offset) coordinates.
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();

    // Pushes or pops the whole drawing state (clip, colours, offset, font).
    void saveGlobalState();
    void restoreGlobalState();

    // Moves the origin; containers use it for their children.
    void setOffset(const CPoint& offset);
    CPoint getOffset() const { return offset; }

    void drawLine(const LinePair& line);
    void drawLine(const CPoint& start, const CPoint& end) { drawLine(LinePair(start, end)); }
    void drawLines(const PointList& points); // a polyline through the points
    void drawRect(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked);
    void drawEllipse(const CRect& rect, const CDrawStyle drawStyle = kDrawStroked);
    void clearRect(const CRect& rect);

    // Draws the text in the rectangle, centred vertically, with the current font and colour.
    void drawString(UTF8StringPtr string, const CRect& rect,
                    const CHoriTxtAlign hAlign = kCenterText, bool antialias = true);
    // Draws the text with its baseline starting at the point.
    void drawString(UTF8StringPtr string, const CPoint& point, bool antialias = true);
    CCoord getStringWidth(UTF8StringPtr string);

    cairo_t* getCairo() const { return cr; }

private:
    struct State
    {
        CColor fillColor, frameColor, fontColor;
        CFontRef font;
        CCoord lineWidth;
        CDrawMode drawMode;
        float globalAlpha;
        CRect clipRect;
        CPoint offset;
    };
    void applyColor(const CColor& color);
    void applyFont();
    void applyAntialias(bool on);

    cairo_t* cr;
    CColor fillColor{kWhiteCColor};
    CColor frameColor{kBlackCColor};
    CColor fontColor{kBlackCColor};
    CFontRef font{nullptr};
    CCoord lineWidth{1};
    CDrawMode drawMode{kAliasing};
    float globalAlpha{1.f};
    CRect clipRect;
    CRect surfaceRect;
    CPoint offset;
    std::vector<State> stack;
};

// Frees cairo's and fontconfig's process-wide font caches. For the very end of a process (or of
// a test program), after every toolkit object is gone, so that leak checkers report only real
// leaks; drawing text afterwards is not supported.
void releaseSharedGraphicsCaches();

} // namespace VSTGUI
