#pragma once
// A control that shows its value as text, with font, colours, alignment and frame style.

#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/cfont.h"
#include "vstgui/lib/controls/ccontrol.h"

#include <functional>
#include <string>

namespace VSTGUI
{

// Called on the editor thread only.
class CParamDisplay : public CControl
{
public:
    CParamDisplay(const CRect& size, CBitmap* background = nullptr, const int32_t style = 0);
    ~CParamDisplay() override;

    virtual void setFont(CFontRef fontID);
    CFontRef getFont() const { return fontID; }
    virtual void setFontColor(CColor color);
    CColor getFontColor() const { return fontColor; }
    virtual void setBackColor(CColor color);
    CColor getBackColor() const { return backColor; }
    virtual void setFrameColor(CColor color);
    CColor getFrameColor() const { return frameColor; }
    virtual void setShadowColor(CColor color);
    CColor getShadowColor() const { return shadowColor; }
    virtual void setHoriAlign(CHoriTxtAlign hAlign);
    CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
    virtual void setTextInset(const CPoint& p);
    CPoint getTextInset() const { return textInset; }
    virtual void setAntialias(bool state) { antialias = state; }
    bool getAntialias() const { return antialias; }
    virtual void setStyle(int32_t val);
    int32_t getStyle() const { return style; }
    virtual void setRoundRectRadius(const CCoord& radius) { roundRectRadius = radius; }
    CCoord getRoundRectRadius() const { return roundRectRadius; }
    virtual void setFrameWidth(const CCoord& width) { frameWidth = width; }
    CCoord getFrameWidth() const { return frameWidth; }

    // Turns the value into the shown text; by default "%2.2f".
    using ValueToStringFunction = std::function<bool(float value, char utf8String[256])>;
    void setValueToStringFunction(ValueToStringFunction f) { valueToString = std::move(f); }

    void draw(CDrawContext* context) override;

protected:
    virtual void drawBack(CDrawContext* context, CBitmap* newBack = nullptr);
    virtual void drawPlatformText(CDrawContext* context, UTF8StringPtr string);
    virtual void drawPlatformText(CDrawContext* context, UTF8StringPtr string, const CRect& size);

    ValueToStringFunction valueToString;
    CHoriTxtAlign horiTxtAlign{kCenterText};
    int32_t style;
    CFontRef fontID{nullptr};
    CColor fontColor{kWhiteCColor};
    CColor backColor{kBlackCColor};
    CColor frameColor{kBlackCColor};
    CColor shadowColor{kRedCColor};
    CPoint textInset{0, 0};
    CCoord roundRectRadius{6};
    CCoord frameWidth{1};
    bool antialias{true};
};

} // namespace VSTGUI
