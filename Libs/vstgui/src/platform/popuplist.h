#pragma once
// Geometry and drawing of an option menu's popup list, shared by both platforms.

#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/platform/iplatformframe.h"

namespace VSTGUI
{

class PopupList
{
public:
    // Lays the list out below `description.anchor`, then moves it up (not above `bounds.top`)
    // when it would pass `bounds.bottom`; a list taller than the bounds wraps into columns.
    // All rectangles are in one coordinate system.
    PopupList(const PopupListDescription& description, const CRect& bounds);

    const CRect& getRect() const { return rect; }
    void moveTo(const CPoint& topLeft) { rect.moveTo(topLeft); }
    int32_t getNbEntries() const { return static_cast<int32_t>(desc.titles.size()); }
    // The entry under `where` (same coordinates as getRect()), or -1.
    int32_t entryAt(const CPoint& where) const;
    bool canChoose(int32_t index) const;
    // The rectangle of entry `index` (same coordinates as getRect()); empty when out of range.
    CRect entryRect(int32_t index) const;
    // True when the hovered entry changed.
    bool setHovered(int32_t index);
    int32_t getHovered() const { return hovered; }

    // Draws the list with its top-left corner at the context's origin.
    void draw(CDrawContext& context) const;

    static constexpr CCoord kEntryPadding = 6;

private:
    PopupListDescription desc;
    CRect rect;
    CCoord entryHeight;
    CCoord columnWidth;
    int32_t rowsPerColumn;
    CCoord fontSize;
    int32_t hovered{-1};
};

} // namespace VSTGUI
