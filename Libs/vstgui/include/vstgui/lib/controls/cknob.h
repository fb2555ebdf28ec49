#pragma once
// Rotary knobs: CKnob turns with a vertical mouse drag; CAnimKnob draws one image of a
// film strip per value.

#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/controls/ccontrol.h"

namespace VSTGUI
{

// Called on the editor thread only.
class CKnob : public CControl
{
public:
    CKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = CPoint(0, 0), int32_t drawStyle = 0);
    ~CKnob() override;

    enum DrawStyle
    {
        kLegacyHandleLineDrawing = 0,
        kHandleCircleDrawing = 1 << 0,
        kCoronaDrawing = 1 << 1
    };

    void draw(CDrawContext* context) override;

    // Left button only: begins an edit, offers the click to checkDefaultValue (true: ends the
    // edit, returns kMouseDownEventHandledButDontNeedMovedOrUpEvents), then starts a drag.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    // Dragging up raises the value: the full range takes 200 pixels, times the zoom factor
    // while kZoomModifier (shift) is held.
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

    void setStartAngle(float val) { startAngle = val; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float val) { rangeAngle = val; }
    float getRangeAngle() const { return rangeAngle; }
    void setZoomFactor(float val) { zoomFactor = val; }
    float getZoomFactor() const { return zoomFactor; }
    void setDrawStyle(int32_t style) { drawStyle = style; }
    int32_t getDrawStyle() const { return drawStyle; }
    void setColorHandle(const CColor& color) { colorHandle = color; }
    CColor getColorHandle() const { return colorHandle; }
    void setColorShadowHandle(const CColor& color) { colorShadowHandle = color; }
    CColor getColorShadowHandle() const { return colorShadowHandle; }
    void setCoronaColor(const CColor& color) { coronaColor = color; }
    CColor getCoronaColor() const { return coronaColor; }
    void setHandleLineWidth(CCoord width) { handleLineWidth = width; }
    CCoord getHandleLineWidth() const { return handleLineWidth; }
    virtual void setHandleBitmap(CBitmap* bitmap);
    CBitmap* getHandleBitmap() const { return pHandle; }

    // Pixels of vertical drag for the full range without the zoom modifier.
    static constexpr float kKnobRange = 200.f;

protected:
    CPoint offset;
    CBitmap* pHandle{nullptr};
    int32_t drawStyle;
    CColor colorHandle{kWhiteCColor};
    CColor colorShadowHandle{kGreyCColor};
    CColor coronaColor{kWhiteCColor};
    CCoord handleLineWidth{1};
    float startAngle;
    float rangeAngle;
    float zoomFactor{1.5f};

private:
    CPoint firstPoint;
    CPoint lastPoint;
    float entryValue{0};
    float coef{0};
    CButtonState dragButtons;
    bool dragging{false};
};

// Called on the editor thread only.
class CAnimKnob : public CKnob
{
public:
    // `background` holds `subPixmaps` images of `heightOfOneImage` pixels stacked from top to
    // bottom, the first for the minimum and the last for the maximum; `offset` is kept for the
    // interface (the film strip is drawn from its top).
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;

    int32_t getNumSubPixmaps() const { return subPixmaps; }
    void setNumSubPixmaps(int32_t n) { subPixmaps = n; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    void setHeightOfOneImage(CCoord h) { heightOfOneImage = h; }
    void setInverseBitmap(bool val) { inverseBitmap = val; }
    bool getInverseBitmap() const { return inverseBitmap; }

    // The film-strip image shown for the current value: floor(v * (subPixmaps - 1)) with v the
    // normalized value (reversed when the bitmap is inverse).
    int32_t getCurrentImageIndex() const;

private:
    int32_t subPixmaps;
    CCoord heightOfOneImage;
    bool inverseBitmap{false};
};

} // namespace VSTGUI
