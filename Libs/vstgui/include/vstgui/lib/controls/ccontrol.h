#pragma once
// The base of value controls: a float value within [min, max], a tag, a listener and edit
// gestures.

#include "vstgui/lib/cview.h"
#include "vstgui/lib/controls/icontrollistener.h"

namespace VSTGUI
{

// Style bits of controls and displays.
enum CControlEnum
{
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kShadowText = 1 << 2,
    kLeft = 1 << 3,
    kRight = 1 << 4,
    kTop = 1 << 5,
    kBottom = 1 << 6,
    k3DIn = 1 << 7,
    k3DOut = 1 << 8,
    kPopupStyle = 1 << 9,
    kCheckStyle = 1 << 10,
    kMultipleCheckStyle = 1 << 11,
    kNoTextStyle = 1 << 11,
    kNoDrawStyle = 1 << 12,
    kDoubleClickStyle = 1 << 13,
    kNoFrame = 1 << 14,
    kRoundRectStyle = 1 << 15
};

// The modifier that, with a left click, resets a control to its default value.
constexpr int32_t kDefaultValueModifier = kControl;
// The modifier that makes knob and slider drags finer.
constexpr int32_t kZoomModifier = kShift;

// Called on the editor thread only.
class CControl : public CView
{
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);
    ~CControl() override;

    // Clamps to [min, max]; does not tell the listener. NaN is ignored.
    virtual void setValue(float val);
    virtual float getValue() const { return value; }
    virtual void setValueNormalized(float val);
    virtual float getValueNormalized() const;
    virtual void setMin(float val) { vmin = val; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float val) { vmax = val; }
    virtual float getMax() const { return vmax; }
    virtual float getRange() const { return getMax() - getMin(); }
    virtual void setOldValue(float val) { oldValue = val; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float val) { defaultValue = val; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void bounceValue();
    // With a left click and only kDefaultValueModifier held: sets the default value inside an
    // edit gesture, tells the listener if it changed, and returns true.
    virtual bool checkDefaultValue(CButtonState button);

    virtual void setTag(int32_t val);
    virtual int32_t getTag() const { return tag; }
    virtual void setListener(IControlListener* l) { listener = l; }
    IControlListener* getListener() const { return listener; }

    // Tells the listener that the value changed.
    virtual void valueChanged();
    // Edit gestures nest; only the outermost begin and end reach the listener and the editor.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    // Dirty while the value differs from the value last drawn, or when marked.
    bool isDirty() const override;
    void setDirty(bool val = true) override;

    void setWheelInc(float val) { wheelInc = val; }
    float getWheelInc() const { return wheelInc; }

protected:
    IControlListener* listener;
    int32_t tag;
    float oldValue{1.f};
    float defaultValue{0.5f};
    float value{0.f};
    float vmin{0.f};
    float vmax{1.f};
    float wheelInc{0.1f};
    int32_t editing{0};
};

} // namespace VSTGUI
