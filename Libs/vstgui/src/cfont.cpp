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

// The stock fonts are never deleted: their reference count starts at 1 and nobody owns that
// reference, so remember/forget pairs by views never bring it to zero.
CFontRef makeStockFont(CCoord size)
{
    return new CFontDesc("FreeSans", size, kNormalFace);
}

} // namespace

const CFontRef kSystemFont = makeStockFont(12);
const CFontRef kNormalFontVeryBig = makeStockFont(18);
const CFontRef kNormalFontBig = makeStockFont(14);
const CFontRef kNormalFont = makeStockFont(12);
const CFontRef kNormalFontSmall = makeStockFont(11);
const CFontRef kNormalFontSmaller = makeStockFont(10);
const CFontRef kNormalFontVerySmall = makeStockFont(9);
const CFontRef kSymbolFont = makeStockFont(12);

} // namespace VSTGUI
