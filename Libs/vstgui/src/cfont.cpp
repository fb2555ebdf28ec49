#include "vstgui/lib/cfont.h"

namespace VSTGUI
{

CFontDesc::CFontDesc(UTF8StringPtr name, const CCoord& size, const int32_t style)
    : name(name ? name : ""), size(size), style(style)
{
}

CFontDesc::CFontDesc(const CFontDesc& font)
    : CBaseObject(), name(font.name), size(font.size), style(font.style)
{
}

namespace
{

// The stock fonts live in static storage for as long as the module is loaded: views remember
// and forget them like any font, but nothing may delete them, and unloading the module leaves
// no heap block behind.
class StockFont final : public CFontDesc
{
public:
    explicit StockFont(CCoord size) : CFontDesc("FreeSans", size, kNormalFace) {}
    void forget() override {}
};

StockFont gSystemFont(12), gNormalFontVeryBig(18), gNormalFontBig(14), gNormalFont(12),
    gNormalFontSmall(11), gNormalFontSmaller(10), gNormalFontVerySmall(9), gSymbolFont(12);

} // namespace

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFontVeryBig = &gNormalFontVeryBig;
const CFontRef kNormalFontBig = &gNormalFontBig;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;
const CFontRef kNormalFontSmaller = &gNormalFontSmaller;
const CFontRef kNormalFontVerySmall = &gNormalFontVerySmall;
const CFontRef kSymbolFont = &gSymbolFont;

} // namespace VSTGUI
