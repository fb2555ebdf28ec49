#include "popuplist.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

namespace
{

// The list uses a smaller font than a big menu button, so that long lists fit an editor.
constexpr CCoord kMaxListFontSize = 13;

CCoord widestTitle(const std::vector<std::string>& titles, CCoord fontSize)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(s);
    CCoord widest = 0;
    {
        CDrawContext context(cr, CRect(0, 0, 1, 1));
        CFontDesc font("FreeSans", fontSize);
        context.setFont(&font);
        for (const std::string& title : titles)
            widest = std::max(widest, context.getStringWidth(title.c_str()));
        context.setFont(kNormalFont); // drop the reference to the local font
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return widest;
}

} // namespace

PopupList::PopupList(const PopupListDescription& description, const CRect& bounds)
    : desc(description)
{
    fontSize = std::min(kMaxListFontSize, desc.fontSize > 0 ? desc.fontSize : 12);
    entryHeight = std::ceil(fontSize + kEntryPadding);
    desc.enabled.resize(desc.titles.size(), true);
    auto entries = static_cast<int32_t>(desc.titles.size());
    auto fitting = static_cast<int32_t>(std::floor((bounds.getHeight() - 2) / entryHeight));
    rowsPerColumn = std::max(1, std::min(entries, fitting));
    int32_t columns = entries > 0 ? (entries + rowsPerColumn - 1) / rowsPerColumn : 1;
    columnWidth = std::ceil(widestTitle(desc.titles, fontSize)) + 4 * kEntryPadding;
    if (columns == 1) columnWidth = std::max(columnWidth, desc.anchor.getWidth() - 2);
    CCoord width = columnWidth * columns + 2;
    CCoord height = entryHeight * rowsPerColumn + 2;
    rect = CRect(desc.anchor.left, desc.anchor.bottom, desc.anchor.left + width,
                 desc.anchor.bottom + height);
    if (rect.bottom > bounds.bottom)
        rect.offset(0, std::max(bounds.top, bounds.bottom - height) - rect.top);
    if (rect.right > bounds.right)
        rect.offset(std::max(bounds.left, bounds.right - width) - rect.left, 0);
}

CRect PopupList::entryRect(int32_t index) const
{
    if (index < 0 || index >= getNbEntries()) return CRect();
    int32_t column = index / rowsPerColumn;
    int32_t row = index % rowsPerColumn;
    CRect r(0, 0, columnWidth, entryHeight);
    r.offset(rect.left + 1 + column * columnWidth, rect.top + 1 + row * entryHeight);
    return r;
}

int32_t PopupList::entryAt(const CPoint& where) const
{
    if (!rect.pointInside(where)) return -1;
    auto column = static_cast<int32_t>(std::floor((where.x - rect.left - 1) / columnWidth));
    auto row = static_cast<int32_t>(std::floor((where.y - rect.top - 1) / entryHeight));
    if (column < 0 || row < 0 || row >= rowsPerColumn) return -1;
    int32_t index = column * rowsPerColumn + row;
    return index < getNbEntries() ? index : -1;
}

bool PopupList::canChoose(int32_t index) const
{
    return index >= 0 && index < getNbEntries() && desc.enabled[static_cast<size_t>(index)];
}

bool PopupList::setHovered(int32_t index)
{
    if (!canChoose(index)) index = -1;
    if (index == hovered) return false;
    hovered = index;
    return true;
}

void PopupList::draw(CDrawContext& context) const
{
    CRect r(0, 0, rect.getWidth(), rect.getHeight());
    context.setDrawMode(kAliasing);
    context.setLineWidth(1);
    context.setFillColor(CColor(40, 40, 40, 255));
    context.setFrameColor(CColor(150, 150, 150, 255));
    context.drawRect(r, kDrawFilledAndStroked);
    CFontDesc font("FreeSans", fontSize);
    context.setFont(&font);
    for (int32_t i = 0; i < getNbEntries(); ++i)
    {
        CRect entry = entryRect(i);
        entry.offset(-rect.left, -rect.top);
        const std::string& title = desc.titles[static_cast<size_t>(i)];
        if (title.empty())
        {
            context.setFrameColor(CColor(90, 90, 90, 255));
            CCoord y = std::floor(entry.getCenter().y);
            context.drawLine(CPoint(entry.left + 4, y), CPoint(entry.right - 4, y));
            continue;
        }
        if (i == hovered)
        {
            context.setFillColor(CColor(70, 110, 170, 255));
            context.drawRect(entry, kDrawFilled);
        }
        if (i == desc.checkedIndex)
        {
            context.setFillColor(CColor(220, 220, 220, 255));
            CCoord d = std::floor(fontSize / 3);
            CPoint c = CPoint(entry.left + kEntryPadding, entry.getCenter().y);
            context.drawEllipse(CRect(c.x - d / 2, c.y - d / 2, c.x + d / 2, c.y + d / 2),
                                kDrawFilled);
        }
        context.setFontColor(desc.enabled[static_cast<size_t>(i)] ? CColor(230, 230, 230, 255)
                                                                  : CColor(120, 120, 120, 255));
        CRect textRect(entry);
        textRect.left += 2 * kEntryPadding;
        context.drawString(title.c_str(), textRect, kLeftText, true);
    }
    context.setFont(kNormalFont); // the local font must not outlive this call in the context
}

} // namespace VSTGUI
