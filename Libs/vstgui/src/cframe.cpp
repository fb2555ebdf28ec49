#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/coptionmenu.h"
#include "vstgui/lib/cdrawcontext.h"
#include "platform/offscreen/offscreenframe.h"
#include "platform/x11/x11frame.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace VSTGUI
{

namespace
{

bool forceOffscreen = false;

// Platform frames closed while one of their own event handlers may still be on the stack
// (a listener closing the editor from a click) are destroyed at the next safe point.
int dispatchDepth = 0;
std::vector<std::unique_ptr<IPlatformFrame>>& retiredPlatforms()
{
    static std::vector<std::unique_ptr<IPlatformFrame>> retired;
    return retired;
}

void destroyRetiredPlatforms()
{
    if (dispatchDepth == 0) retiredPlatforms().clear();
}

struct DispatchScope
{
    DispatchScope() { ++dispatchDepth; }
    ~DispatchScope() { --dispatchDepth; }
};

// Open frames, for processAllFrameEvents(). Editor thread only.
std::vector<CFrame*>& openFrames()
{
    static std::vector<CFrame*> frames;
    return frames;
}

bool offscreenRequestedByEnvironment()
{
    const char* value = std::getenv("VSTGUI_OFFSCREEN");
    return value && *value && std::strcmp(value, "0") != 0;
}

bool isX11Type(PlatformType type)
{
    return type == kNSView || type == kDefaultNative || type == kX11EmbedWindowID;
}

// Keeps a frame alive while one of its handlers runs (a listener may close the editor).
struct KeepAlive
{
    explicit KeepAlive(CBaseObject* o) : object(o) { object->remember(); }
    ~KeepAlive() { object->forget(); }
    CBaseObject* object;
};

} // namespace

CFrame::CFrame(const CRect& size, VSTGUIEditorInterface* editor)
    : CViewContainer(CRect(0, 0, size.getWidth(), size.getHeight())), editor(editor),
      position(size.left, size.top)
{
    parentFrame = this;
}

CFrame::~CFrame()
{
    closePlatform();
}

void CFrame::beforeDelete()
{
    // Children go while the frame is still whole, so their removal can reach it.
    removeAll(true);
    closePlatform();
}

bool CFrame::open(void* parent, PlatformType parentType)
{
    if (platformFrame) return false;
    destroyRetiredPlatforms();
    CRect rect(position, getViewSize().getSize());
    bool offscreen = parent == nullptr || parentType == kOffscreen || !isX11Type(parentType) ||
                     forceOffscreen || offscreenRequestedByEnvironment();
    if (!offscreen)
        platformFrame =
            X11PlatformFrame::create(this, reinterpret_cast<unsigned long>(parent), rect);
    if (!platformFrame) platformFrame = std::make_unique<OffscreenPlatformFrame>(this, rect);
    openFrames().push_back(this);
    invalid();
    return true;
}

void CFrame::close()
{
    removeAll(true);
    closePlatform();
    forget();
}

void CFrame::closePlatform()
{
    if (!platformFrame) return;
    if (platformFrame->isPopupOpen()) platformFrame->closePopup();
    auto& frames = openFrames();
    frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
    if (dispatchDepth > 0)
        retiredPlatforms().push_back(std::move(platformFrame));
    else
        platformFrame.reset();
    if (popupMenu)
    {
        COptionMenu* menu = popupMenu;
        popupMenu = nullptr;
        menu->forget();
    }
}

bool CFrame::setPosition(CCoord x, CCoord y)
{
    position = CPoint(x, y);
    if (platformFrame) platformFrame->setSize(CRect(position, getViewSize().getSize()));
    return true;
}

bool CFrame::setSize(CCoord width, CCoord height)
{
    if (width == getWidth() && height == getHeight()) return false;
    if (width < 0 || height < 0) return false;
    size = CRect(0, 0, width, height);
    mouseableArea = size;
    if (platformFrame) platformFrame->setSize(CRect(position, size.getSize()));
    invalid();
    return true;
}

void CFrame::setViewSize(const CRect& rect, bool invalidate)
{
    position = rect.getTopLeft();
    size = CRect(0, 0, rect.getWidth(), rect.getHeight());
    mouseableArea = size;
    if (platformFrame) platformFrame->setSize(CRect(position, size.getSize()));
    if (invalidate) invalid();
}

bool CFrame::getSize(CRect* outSize) const
{
    if (!outSize || !platformFrame) return false;
    return platformFrame->getSize(*outSize);
}

bool CFrame::getSize(CRect& outSize) const
{
    if (!platformFrame) return false;
    return platformFrame->getSize(outSize);
}

bool CFrame::getPosition(CCoord& x, CCoord& y) const
{
    x = position.x;
    y = position.y;
    return true;
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const
{
    return platformFrame && platformFrame->getCurrentMousePosition(where);
}

CButtonState CFrame::getCurrentMouseButtons() const
{
    CButtonState buttons;
    if (platformFrame) platformFrame->getCurrentMouseButtons(buttons);
    return buttons;
}

int32_t CFrame::getKnobMode() const
{
    int32_t mode = editor ? editor->getKnobMode() : -1;
    return mode == -1 ? kLinearMode : mode;
}

void CFrame::beginEdit(int32_t index)
{
    if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(int32_t index)
{
    if (editor) editor->endEdit(index);
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect)
{
    if (updateRect.isEmpty()) return;
    if (context)
    {
        CViewContainer::drawRect(context, updateRect);
        return;
    }
    if (platformFrame)
    {
        platformFrame->invalidRect(updateRect);
        platformFrame->redrawInvalid();
    }
}

void CFrame::draw(CDrawContext* context)
{
    drawRect(context, getViewSize());
}

void CFrame::invalid()
{
    setDirty(false);
    invalidRect(getViewSize());
}

void CFrame::invalidRect(const CRect& rect)
{
    if (platformFrame && isVisible()) platformFrame->invalidRect(rect);
}

void CFrame::idle()
{
    destroyRetiredPlatforms();
    if (!platformFrame) return;
    {
        KeepAlive keep(this);
        DispatchScope scope;
        if (editor) editor->doIdleStuff();
        if (platformFrame) platformFrame->processEvents();
        if (platformFrame) platformFrame->redrawInvalid();
    }
    destroyRetiredPlatforms();
}

void CFrame::processAllFrameEvents()
{
    // A copy: handling events may close frames.
    std::vector<CFrame*> frames = openFrames();
    for (CFrame* f : frames)
        f->remember();
    for (CFrame* f : frames)
    {
        auto& current = openFrames();
        if (std::find(current.begin(), current.end(), f) != current.end()) f->idle();
    }
    for (CFrame* f : frames)
        f->forget();
}

void CFrame::setForceOffscreen(bool force)
{
    forceOffscreen = force;
}

bool CFrame::writePNG(UTF8StringPtr path)
{
    return platformFrame && platformFrame->writePNG(path);
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    return CViewContainer::onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::onMouseExited(CPoint&, const CButtonState&)
{
    return kMouseEventHandled;
}

bool CFrame::platformOnKeyDown(VstKeyCode& keyCode)
{
    if (focusView) return focusView->onKeyDown(keyCode) != -1;
    return false;
}

bool CFrame::removeView(CView* view, bool withForget)
{
    if (view && view == popupMenu && platformFrame) platformFrame->closePopup();
    if (view == focusView) focusView = nullptr;
    return CViewContainer::removeView(view, withForget);
}

bool CFrame::removeAll(bool withForget)
{
    if (popupMenu && platformFrame) platformFrame->closePopup();
    focusView = nullptr;
    return CViewContainer::removeAll(withForget);
}

bool CFrame::openPopup(COptionMenu* menu, const PopupListDescription& description)
{
    if (!menu || !platformFrame) return false;
    if (platformFrame->isPopupOpen()) platformFrame->closePopup();
    // The frame holds the menu while its list is open.
    menu->remember();
    popupMenu = menu;
    if (!platformFrame->openPopup(menu, description))
    {
        popupMenu = nullptr;
        menu->forget();
        return false;
    }
    return true;
}

void CFrame::platformDrawRect(CDrawContext* context, const CRect& rect)
{
    CViewContainer::drawRect(context, rect);
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons)
{
    DispatchScope scope;
    KeepAlive keep(this);
    return onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons)
{
    DispatchScope scope;
    KeepAlive keep(this);
    return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons)
{
    DispatchScope scope;
    KeepAlive keep(this);
    return onMouseUp(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseExited(CPoint& where, const CButtonState& buttons)
{
    return onMouseExited(where, buttons);
}

void CFrame::platformPopupClosed(COptionMenu* menu, int32_t index)
{
    if (!menu || menu != popupMenu) return;
    DispatchScope scope;
    KeepAlive keep(this);
    popupMenu = nullptr;
    menu->popupClosed(index);
    menu->forget();
}

} // namespace VSTGUI
