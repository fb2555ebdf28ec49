#pragma once
// A menu button: shows the current entry and, on a click, opens a popup list of its entries.
// Its value is the index of the current entry.

#include "vstgui/lib/controls/cparamdisplay.h"

#include <string>
#include <vector>

namespace VSTGUI
{

// One entry of an option menu.
class CMenuItem : public CBaseObject
{
public:
    enum Flags
    {
        kNoFlags = 0,
        kDisabled = 1 << 0,
        kTitle = 1 << 1,
        kChecked = 1 << 2,
        kSeparator = 1 << 3
    };

    CMenuItem(UTF8StringPtr title, int32_t flags = kNoFlags);

    UTF8StringPtr getTitle() const { return title.c_str(); }
    void setTitle(UTF8StringPtr t) { title = t ? t : ""; }
    int32_t getFlags() const { return flags; }
    bool isEnabled() const { return !(flags & kDisabled); }
    bool isChecked() const { return flags & kChecked; }
    bool isSeparator() const { return flags & kSeparator; }
    bool isTitle() const { return flags & kTitle; }
    void setEnabled(bool state) { setFlag(kDisabled, !state); }
    void setChecked(bool state) { setFlag(kChecked, state); }

private:
    void setFlag(int32_t bit, bool on) { flags = on ? (flags | bit) : (flags & ~bit); }
    std::string title;
    int32_t flags;
};

// Called on the editor thread only.
class COptionMenu : public CParamDisplay
{
public:
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                CBitmap* background = nullptr, CBitmap* bgWhenClick = nullptr,
                const int32_t style = 0);
    COptionMenu();
    ~COptionMenu() override;

    // Adds an entry at `index` (-1: at the end) and returns it; the menu holds the item.
    virtual CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
    virtual CMenuItem* addEntry(UTF8StringPtr title, int32_t index = -1,
                                int32_t itemFlags = CMenuItem::kNoFlags);
    virtual CMenuItem* addSeparator(int32_t index = -1);
    virtual bool removeEntry(int32_t index);
    virtual bool removeAllEntry();
    virtual int32_t getNbEntries() const { return static_cast<int32_t>(items.size()); }
    virtual CMenuItem* getEntry(int32_t index) const;
    virtual CMenuItem* getCurrent() const { return getEntry(currentIndex); }
    virtual int32_t getCurrentIndex(bool countSeparator = false) const;
    // Selects entry `index` (ignored when out of range); does not tell the listener.
    virtual bool setCurrent(int32_t index, bool countSeparator = true);

    // The value is an entry index: it is rounded to the nearest entry (5.0000001 and 4.9999999
    // both select entry 5); values outside the entries, and NaN, are ignored.
    void setValue(float val) override;
    float getMin() const override { return 0.f; }
    float getMax() const override { return static_cast<float>(getNbEntries() - 1); }

    // Left or right click (or kApple): after checkDefaultValue, opens the popup list and
    // returns kMouseDownEventHandledButDontNeedMovedOrUpEvents.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // A plain menu has no modifier-click reset (false); subclasses may add one.
    bool checkDefaultValue(CButtonState button) override;
    // Opens the popup list below the menu; false when the menu is not in an open frame.
    virtual bool popup();
    bool isPopupOpen() const { return inPopup; }
    // The popup list closed: a chosen entry (index >= 0) becomes current and is reported to
    // the listener inside beginEdit/endEdit; -1 means dismissed without a choice.
    virtual void popupClosed(int32_t index);
    CButtonState getLastButton() const { return lastButton; }

    void draw(CDrawContext* context) override;
    bool removed(CView* parent) override;

protected:
    std::vector<CMenuItem*> items;
    CBitmap* bgWhenClick{nullptr};
    int32_t currentIndex{-1};
    CButtonState lastButton;
    bool inPopup{false};
};

} // namespace VSTGUI
