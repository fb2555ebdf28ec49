#include "vstgui/lib/controls/coptionmenu.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cframe.h"

#include <cmath>

namespace VSTGUI
{

CMenuItem::CMenuItem(UTF8StringPtr title, int32_t flags) : title(title ? title : ""), flags(flags)
{
}

COptionMenu::COptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                         CBitmap* background, CBitmap* bgWhenClick, const int32_t style)
    : CParamDisplay(size, background, style), bgWhenClick(bgWhenClick)
{
    setListener(listener);
    this->tag = tag;
    if (bgWhenClick) bgWhenClick->remember();
}

COptionMenu::COptionMenu() : COptionMenu(CRect(), nullptr, -1) {}

COptionMenu::~COptionMenu()
{
    removeAllEntry();
    if (bgWhenClick) bgWhenClick->forget();
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index)
{
    if (!item) return nullptr;
    if (index < 0 || index >= getNbEntries())
        items.push_back(item);
    else
        items.insert(items.begin() + index, item);
    return item;
}

CMenuItem* COptionMenu::addEntry(UTF8StringPtr title, int32_t index, int32_t itemFlags)
{
    // A title of "-" is a separator, as in the other forms of this toolkit.
    if (title && title[0] == '-' && title[1] == 0) return addSeparator(index);
    return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addSeparator(int32_t index)
{
    return addEntry(new CMenuItem("", CMenuItem::kSeparator), index);
}

bool COptionMenu::removeEntry(int32_t index)
{
    if (index < 0 || index >= getNbEntries()) return false;
    items[static_cast<size_t>(index)]->forget();
    items.erase(items.begin() + index);
    if (currentIndex >= getNbEntries()) currentIndex = getNbEntries() - 1;
    return true;
}

bool COptionMenu::removeAllEntry()
{
    for (CMenuItem* item : items)
        item->forget();
    items.clear();
    currentIndex = -1;
    return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const
{
    if (index < 0 || index >= getNbEntries()) return nullptr;
    return items[static_cast<size_t>(index)];
}

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const
{
    if (countSeparator || currentIndex < 0) return currentIndex;
    int32_t index = 0;
    for (int32_t i = 0; i < currentIndex && i < getNbEntries(); ++i)
        if (!items[static_cast<size_t>(i)]->isSeparator()) ++index;
    return index;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator)
{
    if (!countSeparator)
    {
        // Turn an index among the non-separator entries into an index among all entries.
        int32_t seen = -1;
        int32_t found = -1;
        for (int32_t i = 0; i < getNbEntries() && found < 0; ++i)
            if (!items[static_cast<size_t>(i)]->isSeparator() && ++seen == index) found = i;
        if (found < 0) return false;
        index = found;
    }
    if (index < 0 || index >= getNbEntries()) return false;
    setValue(static_cast<float>(index));
    invalid();
    return true;
}

void COptionMenu::setValue(float val)
{
    if (std::isnan(val)) return;
    // Round, never truncate: 0.05 * 100 may arrive as 4.9999995 and must select entry 5.
    long index = std::lround(val);
    if (index < 0 || index >= getNbEntries()) return;
    currentIndex = static_cast<int32_t>(index);
    CParamDisplay::setValue(static_cast<float>(index));
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& /*where*/, const CButtonState& buttons)
{
    lastButton = buttons;
    if (!(buttons & (kLButton | kRButton | kApple))) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::checkDefaultValue(CButtonState /*button*/)
{
    return false;
}

bool COptionMenu::popup()
{
    CFrame* frame = getFrame();
    if (!frame || !frame->isOpen() || items.empty()) return false;
    PopupListDescription description;
    for (CMenuItem* item : items)
    {
        description.titles.push_back(item->isSeparator() ? std::string() : item->getTitle());
        description.enabled.push_back(item->isEnabled() && !item->isSeparator() &&
                                      !item->isTitle());
    }
    description.checkedIndex = currentIndex;
    CPoint topLeft = getViewSize().getTopLeft();
    localToFrame(topLeft);
    description.anchor = CRect(topLeft, getViewSize().getSize());
    description.fontSize = fontID ? fontID->getSize() : 12;
    if (!frame->openPopup(this, description)) return false;
    inPopup = true;
    invalid();
    return true;
}

void COptionMenu::popupClosed(int32_t index)
{
    inPopup = false;
    CMenuItem* item = getEntry(index);
    if (item && item->isEnabled() && !item->isSeparator())
    {
        beginEdit();
        setValue(static_cast<float>(index));
        valueChanged();
        endEdit();
    }
    invalid();
}

bool COptionMenu::removed(CView* parent)
{
    CFrame* frame = getFrame();
    if (inPopup && frame && frame->getOpenPopupMenu() == this && frame->getPlatformFrame())
        frame->getPlatformFrame()->closePopup();
    inPopup = false;
    return CParamDisplay::removed(parent);
}

void COptionMenu::draw(CDrawContext* context)
{
    drawBack(context, inPopup ? bgWhenClick : nullptr);
    if (CMenuItem* item = getCurrent(); item && !item->isSeparator())
        drawPlatformText(context, item->getTitle());
    setDirty(false);
}

} // namespace VSTGUI
