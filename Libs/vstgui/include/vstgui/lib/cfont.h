#pragma once
// Font descriptions and the stock fonts. The stock fonts use the face "FreeSans".

#include "vstgui/lib/vstguibase.h"

#include <string>

namespace VSTGUI
{

enum CTxtFace
{
    kNormalFace = 0,
    kBoldFace = 1 << 1,
    kItalicFace = 1 << 2,
    kUnderlineFace = 1 << 3,
    kStrikethroughFace = 1 << 4
};

// A font by face name, size in pixels and CTxtFace style bits.
class CFontDesc : public CBaseObject
{
public:
    CFontDesc(UTF8StringPtr name = nullptr, const CCoord& size = 0, const int32_t style = 0);
    CFontDesc(const CFontDesc& font);

    UTF8StringPtr getName() const { return name.c_str(); }
    const CCoord& getSize() const { return size; }
    const int32_t& getStyle() const { return style; }
    virtual void setName(UTF8StringPtr newName) { name = newName ? newName : ""; }
    virtual void setSize(CCoord newSize) { size = newSize; }
    virtual void setStyle(int32_t newStyle) { style = newStyle; }

    bool operator==(const CFontDesc& f) const
    {
        return name == f.name && size == f.size && style == f.style;
    }
    bool operator!=(const CFontDesc& f) const { return !(*this == f); }

private:
    std::string name;
    CCoord size;
    int32_t style;
};

using CFontRef = CFontDesc*;

// Stock fonts; they live for the whole process (their count never reaches zero).
extern const CFontRef kSystemFont;          // 12
extern const CFontRef kNormalFontVeryBig;   // 18
extern const CFontRef kNormalFontBig;       // 14
extern const CFontRef kNormalFont;          // 12
extern const CFontRef kNormalFontSmall;     // 11
extern const CFontRef kNormalFontSmaller;   // 10
extern const CFontRef kNormalFontVerySmall; // 9
extern const CFontRef kSymbolFont;          // 12

} // namespace VSTGUI
