#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/cframe.h"

#include <cmath>

namespace VSTGUI
{

CControl::CControl(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag)
{
    if (background) setBackground(background);
}

CControl::~CControl() = default;

void CControl::setValue(float val)
{
    if (std::isnan(val)) return;
    if (val < getMin())
        val = getMin();
    else if (val > getMax())
        val = getMax();
    value = val;
}

void CControl::setValueNormalized(float val)
{
    if (std::isnan(val)) return;
    val = val < 0.f ? 0.f : (val > 1.f ? 1.f : val);
    setValue(getMin() + val * getRange());
}

float CControl::getValueNormalized() const
{
    float range = getRange();
    if (range == 0.f) return 0.f;
    return (value - getMin()) / range;
}

void CControl::bounceValue()
{
    if (value > getMax())
        value = getMax();
    else if (value < getMin())
        value = getMin();
}

bool CControl::checkDefaultValue(CButtonState button)
{
    if (!button.isLeftButton() || button.getModifierState() != kDefaultValueModifier) return false;
    float defValue = getDefaultValue();
    if (defValue != getValue())
    {
        beginEdit();
        setValue(defValue);
        valueChanged();
        endEdit();
        setDirty();
    }
    return true;
}

void CControl::setTag(int32_t val)
{
    if (listener) listener->controlTagWillChange(this);
    tag = val;
    if (listener) listener->controlTagDidChange(this);
}

void CControl::valueChanged()
{
    if (listener) listener->valueChanged(this);
}

void CControl::beginEdit()
{
    if (++editing != 1) return;
    if (listener) listener->controlBeginEdit(this);
    if (CFrame* frame = getFrame()) frame->beginEdit(tag);
}

void CControl::endEdit()
{
    if (editing == 0) return; // an end without a begin is ignored, so gestures stay balanced
    if (--editing != 0) return;
    if (CFrame* frame = getFrame()) frame->endEdit(tag);
    if (listener) listener->controlEndEdit(this);
}

bool CControl::isDirty() const
{
    return oldValue != value || CView::isDirty();
}

void CControl::setDirty(bool val)
{
    CView::setDirty(val);
    if (val)
        oldValue = value != -1.f ? -1.f : 0.f;
    else
        oldValue = value;
}

} // namespace VSTGUI
