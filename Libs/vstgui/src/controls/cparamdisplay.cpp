#include "vstgui/lib/controls/cparamdisplay.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"

#include <cstdio>

namespace VSTGUI
{

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, const int32_t style)
    : CControl(size, nullptr, -1, background), style(style)
{
    setFont(kNormalFont);
}

CParamDisplay::~CParamDisplay()
{
    if (fontID) fontID->forget();
}

void CParamDisplay::setFont(CFontRef font)
{
    if (!font || font == fontID) return;
    font->remember();
    if (fontID) fontID->forget();
    fontID = font;
    setDirty();
}

void CParamDisplay::setFontColor(CColor color)
{
    if (color != fontColor) setDirty();
    fontColor = color;
}

void CParamDisplay::setBackColor(CColor color)
{
    if (color != backColor) setDirty();
    backColor = color;
}

void CParamDisplay::setFrameColor(CColor color)
{
    if (color != frameColor) setDirty();
    frameColor = color;
}

void CParamDisplay::setShadowColor(CColor color)
{
    if (color != shadowColor) setDirty();
    shadowColor = color;
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign hAlign)
{
    if (hAlign != horiTxtAlign) setDirty();
    horiTxtAlign = hAlign;
}

void CParamDisplay::setTextInset(const CPoint& p)
{
    if (p != textInset) setDirty();
    textInset = p;
}

void CParamDisplay::setStyle(int32_t val)
{
    if (val != style) setDirty();
    style = val;
}

void CParamDisplay::draw(CDrawContext* context)
{
    char text[256] = {0};
    if (!(valueToString && valueToString(value, text)))
        snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    drawBack(context);
    drawPlatformText(context, text);
    setDirty(false);
}

void CParamDisplay::drawBack(CDrawContext* context, CBitmap* newBack)
{
    const CRect& r = getViewSize();
    if (newBack)
    {
        newBack->draw(context, r);
        return;
    }
    if (CBitmap* bg = getDrawBackground())
    {
        bg->draw(context, r);
        return;
    }
    if (style & kNoDrawStyle) return;
    context->setDrawMode(kAliasing);
    context->setLineWidth(frameWidth);
    bool framed = !(style & (k3DIn | k3DOut | kNoFrame));
    context->setFillColor(backColor);
    context->setFrameColor(frameColor);
    context->drawRect(r, framed ? kDrawFilledAndStroked : kDrawFilled);
    if (style & (k3DIn | k3DOut))
    {
        // Two edges in one colour, two in the other: sunk (k3DIn) or raised (k3DOut).
        CRect e(r);
        e.right -= 1;
        e.bottom -= 1;
        context->setFrameColor((style & k3DIn) ? backColor : frameColor);
        context->drawLines({e.getBottomLeft(), e.getTopLeft(), e.getTopRight()});
        context->setFrameColor((style & k3DIn) ? frameColor : backColor);
        context->drawLines({e.getTopRight(), e.getBottomRight(), e.getBottomLeft()});
    }
}

void CParamDisplay::drawPlatformText(CDrawContext* context, UTF8StringPtr string)
{
    drawPlatformText(context, string, getViewSize());
}

void CParamDisplay::drawPlatformText(CDrawContext* context, UTF8StringPtr string, const CRect& size)
{
    if ((style & kNoTextStyle) || !string || !*string) return;
    CRect textRect(size);
    textRect.inset(textInset.x, textInset.y);
    context->setFont(fontID);
    if (style & kShadowText)
    {
        CRect shadow(textRect);
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(string, shadow, horiTxtAlign, antialias);
    }
    context->setFontColor(fontColor);
    context->drawString(string, textRect, horiTxtAlign, antialias);
}

} // namespace VSTGUI
