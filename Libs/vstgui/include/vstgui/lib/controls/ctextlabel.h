#pragma once
// A display that shows a fixed text instead of its value.

#include "vstgui/lib/controls/cparamdisplay.h"

namespace VSTGUI
{

// Called on the editor thread only.
class CTextLabel : public CParamDisplay
{
public:
    CTextLabel(const CRect& size, UTF8StringPtr txt = nullptr, CBitmap* background = nullptr,
               const int32_t style = 0);

    // Copies the text (null means empty); redraws only when it changed.
    virtual void setText(UTF8StringPtr txt);
    virtual UTF8StringPtr getText() const { return text.c_str(); }

    void draw(CDrawContext* context) override;

protected:
    std::string text;
};

} // namespace VSTGUI
