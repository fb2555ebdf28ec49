#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cframe.h"

#include <cmath>

namespace VSTGUI
{

CKnob::CKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset, int32_t drawStyle)
    : CControl(size, listener, tag, background), offset(offset), drawStyle(drawStyle),
      startAngle(static_cast<float>(3 * M_PI / 4)), rangeAngle(static_cast<float>(3 * M_PI / 2))
{
    setHandleBitmap(handle);
}

CKnob::~CKnob()
{
    setHandleBitmap(nullptr);
}

void CKnob::setHandleBitmap(CBitmap* bitmap)
{
    if (bitmap) bitmap->remember();
    if (pHandle) pHandle->forget();
    pHandle = bitmap;
}

void CKnob::draw(CDrawContext* context)
{
    if (CBitmap* bg = getDrawBackground()) bg->draw(context, getViewSize(), offset);
    // The handle: a line from near the centre towards the rim at the value's angle.
    const CRect& r = getViewSize();
    CPoint c = r.getCenter();
    double radius = std::min(r.getWidth(), r.getHeight()) / 2;
    double alpha = startAngle + getValueNormalized() * rangeAngle;
    CPoint tip(c.x + std::cos(alpha) * radius * 0.8, c.y + std::sin(alpha) * radius * 0.8);
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(handleLineWidth);
    context->setFrameColor(colorShadowHandle);
    context->drawLine(CPoint(c.x + 1, c.y + 1), CPoint(tip.x + 1, tip.y + 1));
    context->setFrameColor(colorHandle);
    context->drawLine(c, tip);
    setDirty(false);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    beginEdit();
    if (checkDefaultValue(buttons))
    {
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    // Every knob mode drags linearly: up (or right) raises the value.
    firstPoint = where;
    lastPoint = where;
    entryValue = value;
    float range = kKnobRange;
    if (buttons & kZoomModifier) range *= zoomFactor;
    coef = (getMax() - getMin()) / range;
    dragButtons = buttons;
    dragging = true;
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    // A drag whose edit was ended elsewhere (e.g. the up went to someone else) is over.
    if (!dragging || !isEditing() || !(buttons & kLButton)) return kMouseEventNotHandled;
    CCoord diff = firstPoint.y - where.y;
    if ((buttons & kZoomModifier) != (dragButtons & kZoomModifier))
    {
        // Change the scale from here on without a jump: the distance dragged so far keeps the
        // value it had under the old scale.
        float range = kKnobRange;
        if (buttons & kZoomModifier) range *= zoomFactor;
        float newCoef = (getMax() - getMin()) / range;
        entryValue += static_cast<float>(diff * (coef - newCoef));
        coef = newCoef;
    }
    dragButtons = buttons;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;
    value = static_cast<float>(entryValue + diff * coef);
    bounceValue();
    if (isDirty())
    {
        valueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint& /*where*/, const CButtonState& /*buttons*/)
{
    if (dragging)
    {
        dragging = false;
        endEdit();
    }
    return kMouseEventHandled;
}

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage)
{
}

int32_t CAnimKnob::getCurrentImageIndex() const
{
    if (subPixmaps <= 1) return 0;
    double v = getValueNormalized();
    if (!(v >= 0)) v = 0;
    if (v > 1) v = 1;
    if (inverseBitmap) v = 1 - v;
    int32_t index = static_cast<int32_t>(std::floor(v * (subPixmaps - 1)));
    return index < 0 ? 0 : (index >= subPixmaps ? subPixmaps - 1 : index);
}

void CAnimKnob::draw(CDrawContext* context)
{
    if (CBitmap* strip = getDrawBackground(); strip && heightOfOneImage > 0)
        strip->draw(context, getViewSize(), CPoint(0, getCurrentImageIndex() * heightOfOneImage));
    setDirty(false);
}

} // namespace VSTGUI
