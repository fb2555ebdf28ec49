#include "vstgui/lib/cdrawcontext.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>

namespace VSTGUI
{

CDrawContext::CDrawContext(cairo_t* cr, const CRect& surfaceRect)
    : cr(cr), clipRect(surfaceRect), surfaceRect(surfaceRect)
{
    cairo_save(cr);
    setFont(kNormalFont);
}

CDrawContext::~CDrawContext()
{
    while (!stack.empty())
        restoreGlobalState();
    if (font) font->forget();
    cairo_restore(cr);
}

void CDrawContext::setFont(const CFontRef newFont, const CCoord& size, const int32_t& style)
{
    if (!newFont) return;
    CFontRef chosen = newFont;
    if (size > 0 || style >= 0)
    {
        chosen = new CFontDesc(*newFont);
        if (size > 0) chosen->setSize(size);
        if (style >= 0) chosen->setStyle(style);
    }
    else
        chosen->remember();
    if (font) font->forget();
    font = chosen;
}

void CDrawContext::setOffset(const CPoint& newOffset)
{
    cairo_translate(cr, newOffset.x - offset.x, newOffset.y - offset.y);
    offset = newOffset;
}

void CDrawContext::setClipRect(const CRect& clip)
{
    // The clip is kept in frame coordinates so that it survives offset changes.
    CRect frameClip(clip);
    frameClip.offset(offset);
    frameClip.bound(surfaceRect);
    clipRect = frameClip;
    cairo_reset_clip(cr);
    cairo_rectangle(cr, clipRect.left - offset.x, clipRect.top - offset.y, clipRect.getWidth(),
                    clipRect.getHeight());
    cairo_clip(cr);
}

CRect& CDrawContext::getClipRect(CRect& clip) const
{
    clip = clipRect;
    clip.offsetInverse(offset);
    return clip;
}

void CDrawContext::resetClipRect()
{
    clipRect = surfaceRect;
    cairo_reset_clip(cr);
}

void CDrawContext::saveGlobalState()
{
    if (font) font->remember();
    stack.push_back({fillColor, frameColor, fontColor, font, lineWidth, drawMode, globalAlpha,
                     clipRect, offset});
    cairo_save(cr);
}

void CDrawContext::restoreGlobalState()
{
    if (stack.empty()) return;
    State s = stack.back();
    stack.pop_back();
    cairo_restore(cr); // brings back the transform and clip of the saved state
    fillColor = s.fillColor;
    frameColor = s.frameColor;
    fontColor = s.fontColor;
    if (font) font->forget();
    font = s.font; // the reference taken in saveGlobalState
    lineWidth = s.lineWidth;
    drawMode = s.drawMode;
    globalAlpha = s.globalAlpha;
    clipRect = s.clipRect;
    offset = s.offset;
}

void CDrawContext::applyColor(const CColor& c)
{
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0,
                          c.alpha / 255.0 * globalAlpha);
}

void CDrawContext::applyAntialias(bool on)
{
    cairo_set_antialias(cr, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::applyFont()
{
    const CFontDesc* f = font ? font : kNormalFont;
    int32_t style = f->getStyle();
    cairo_select_font_face(cr, *f->getName() ? f->getName() : "FreeSans",
                           (style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC
                                                 : CAIRO_FONT_SLANT_NORMAL,
                           (style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, f->getSize() > 0 ? f->getSize() : 12);
}

void CDrawContext::drawLine(const LinePair& line)
{
    applyAntialias(drawMode.modeIgnoringIntegralMode() == kAntiAliasing);
    applyColor(frameColor);
    cairo_set_line_width(cr, lineWidth);
    // Half-pixel placement keeps odd-width lines crisp.
    double half = std::fmod(lineWidth, 2.0) == 1.0 ? 0.5 : 0.0;
    cairo_move_to(cr, line.first.x + half, line.first.y + half);
    cairo_line_to(cr, line.second.x + half, line.second.y + half);
    cairo_stroke(cr);
}

void CDrawContext::drawLines(const PointList& points)
{
    if (points.size() < 2) return;
    applyAntialias(drawMode.modeIgnoringIntegralMode() == kAntiAliasing);
    applyColor(frameColor);
    cairo_set_line_width(cr, lineWidth);
    double half = std::fmod(lineWidth, 2.0) == 1.0 ? 0.5 : 0.0;
    cairo_move_to(cr, points[0].x + half, points[0].y + half);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].x + half, points[i].y + half);
    cairo_stroke(cr);
}

void CDrawContext::drawRect(const CRect& rect, const CDrawStyle drawStyle)
{
    applyAntialias(drawMode.modeIgnoringIntegralMode() == kAntiAliasing);
    if (drawStyle != kDrawStroked)
    {
        applyColor(fillColor);
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        cairo_fill(cr);
    }
    if (drawStyle != kDrawFilled)
    {
        applyColor(frameColor);
        cairo_set_line_width(cr, lineWidth);
        double h = lineWidth / 2;
        cairo_rectangle(cr, rect.left + h, rect.top + h, rect.getWidth() - lineWidth,
                        rect.getHeight() - lineWidth);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawEllipse(const CRect& rect, const CDrawStyle drawStyle)
{
    if (rect.getWidth() <= 0 || rect.getHeight() <= 0) return;
    applyAntialias(true);
    cairo_save(cr);
    CPoint c = rect.getCenter();
    cairo_translate(cr, c.x, c.y);
    cairo_scale(cr, rect.getWidth() / 2, rect.getHeight() / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    if (drawStyle != kDrawStroked)
    {
        applyColor(fillColor);
        if (drawStyle == kDrawFilled)
            cairo_fill(cr);
        else
            cairo_fill_preserve(cr);
    }
    if (drawStyle != kDrawFilled)
    {
        applyColor(frameColor);
        cairo_set_line_width(cr, lineWidth);
        cairo_stroke(cr);
    }
}

void CDrawContext::clearRect(const CRect& rect)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr);
    cairo_restore(cr);
}

CCoord CDrawContext::getStringWidth(UTF8StringPtr string)
{
    if (!string || !*string) return 0;
    applyFont();
    cairo_text_extents_t ext;
    cairo_text_extents(cr, string, &ext);
    return ext.x_advance;
}

void CDrawContext::drawString(UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign,
                              bool antialias)
{
    if (!string || !*string) return;
    applyFont();
    cairo_font_extents_t fext;
    cairo_font_extents(cr, &fext);
    cairo_text_extents_t text;
    cairo_text_extents(cr, string, &text);
    double x = rect.left;
    if (hAlign == kCenterText)
        x = rect.left + (rect.getWidth() - text.x_advance) / 2;
    else if (hAlign == kRightText)
        x = rect.right - text.x_advance;
    // Centre the font's ascent-to-descent box in the rectangle.
    double y = rect.top + (rect.getHeight() - (fext.ascent + fext.descent)) / 2 + fext.ascent;
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    drawString(string, CPoint(std::round(x), std::round(y)), antialias);
    cairo_restore(cr);
}

void CDrawContext::drawString(UTF8StringPtr string, const CPoint& point, bool antialias)
{
    if (!string || !*string) return;
    applyFont();
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options,
                                     antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    applyColor(fontColor);
    cairo_move_to(cr, point.x, point.y);
    cairo_show_text(cr, string);
    cairo_new_path(cr);
}

void releaseSharedGraphicsCaches()
{
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace VSTGUI
