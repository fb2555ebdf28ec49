#include "vstgui/lib/controls/ctextlabel.h"

namespace VSTGUI
{

CTextLabel::CTextLabel(const CRect& size, UTF8StringPtr txt, CBitmap* background,
                       const int32_t style)
    : CParamDisplay(size, background, style), text(txt ? txt : "")
{
}

void CTextLabel::setText(UTF8StringPtr txt)
{
    std::string newText(txt ? txt : "");
    if (newText == text) return;
    text = std::move(newText);
    setDirty();
}

void CTextLabel::draw(CDrawContext* context)
{
    drawBack(context);
    drawPlatformText(context, text.c_str());
    setDirty(false);
}

} // namespace VSTGUI
