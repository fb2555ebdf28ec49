#include "AAX_CEffectGUI_VST.h"

#include <algorithm>
#include <cairo.h>
#include <cstring>

#include "AAX_CAutoreleasePool.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IViewContainer.h"
#include "VSTGUI_ContentView.h"

using namespace VSTGUI;

namespace
{
// Copies the frame's picture inside inRect into a headless host's pixel record.
void CopyToOffscreenView(CFrame& inFrame, const CRect& inRect, AAX_SOffscreenView& outView)
{
    IPlatformFrame* platform = inFrame.getPlatformFrame();
    cairo_surface_t* surface = platform ? platform->getBackingSurface() : nullptr;
    if (!surface || !outView.pixels || outView.width <= 0 || outView.height <= 0) return;
    cairo_surface_flush(surface);
    const unsigned char* source = cairo_image_surface_get_data(surface);
    if (!source) return;
    const int sourceStride = cairo_image_surface_get_stride(surface);
    const int width =
        std::min({cairo_image_surface_get_width(surface), outView.width, outView.stride / 4});
    const int height = std::min(cairo_image_surface_get_height(surface), outView.height);
    const int left = std::clamp(static_cast<int>(inRect.left), 0, width);
    const int right = std::clamp(static_cast<int>(inRect.right + 0.999), left, width);
    const int top = std::clamp(static_cast<int>(inRect.top), 0, height);
    const int bottom = std::clamp(static_cast<int>(inRect.bottom + 0.999), top, height);
    auto* destination = reinterpret_cast<unsigned char*>(outView.pixels);
    for (int y = top; y < bottom; ++y)
        std::memcpy(destination + static_cast<size_t>(y) * outView.stride + left * 4,
                    source + static_cast<size_t>(y) * sourceStride + left * 4,
                    static_cast<size_t>(right - left) * 4);
}
} // namespace

AAX_CEffectGUI_VST::AAX_CEffectGUI_VST() = default;

AAX_CEffectGUI_VST::~AAX_CEffectGUI_VST()
{
    AAX_CAutoreleasePool pool;
    SetContentView(nullptr);
}

void AAX_CEffectGUI_VST::SetContentView(CFrame* inFrame)
{
    if (mContentView == inFrame) return;
    if (mContentView)
    {
        // A view withdrawn in the middle of a drag ends that edit, so the host sees the
        // release of every touch.
        for (int32_t index = 0; index < mContentView->getNbViews(); ++index)
            if (auto* control = dynamic_cast<CControl*>(mContentView->getView(index)))
                while (control->isEditing())
                    control->endEdit();
        // close() removes the children, closes the window and drops the frame's reference.
        if (mContentView->isOpen())
            mContentView->close();
        else
            mContentView->forget();
    }
    mContentView = inFrame;
    frame = inFrame;
}

void AAX_CEffectGUI_VST::CreateViewContainer()
{
    const int32_t type = GetViewContainerType();
    void* nativeView = GetViewContainerPtr();
    if (type == AAX_eViewContainer_Type_NativeView && nativeView)
        CreateEffectView(nativeView);
    else if (type == AAX_eViewContainer_Type_Offscreen)
        CreateEffectView(nativeView);
}

void AAX_CEffectGUI_VST::DeleteViewContainer()
{
    AAX_CAutoreleasePool pool;
    SetContentView(nullptr);
}

void AAX_CEffectGUI_VST::CreateEffectView(void* inSystemWindow)
{
    auto* view = new VSTGUI_ContentView(CRect(0, 0, 0, 0), this, GetEffectParameters());
    const bool offscreen = GetViewContainerType() == AAX_eViewContainer_Type_Offscreen;
    view->open(offscreen ? nullptr : inSystemWindow, offscreen ? kOffscreen : kNSView);
    SetContentView(view);
    view->setBackgroundColor(kGreyCColor);
}

AAX_Result AAX_CEffectGUI_VST::GetViewSize(AAX_Point* outViewSize) const
{
    if (mContentView && outViewSize)
    {
        const CRect size = mContentView->getViewSize();
        outViewSize->vert = static_cast<float>(size.getHeight());
        outViewSize->horz = static_cast<float>(size.getWidth());
    }
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI_VST::Draw(AAX_Rect* inDrawRect) const
{
    if (inDrawRect && mContentView)
    {
        const CRect rect(inDrawRect->left, inDrawRect->top, inDrawRect->left + inDrawRect->width,
                         inDrawRect->top + inDrawRect->height);
        mContentView->drawRect(nullptr, rect);
        if (GetViewContainerType() == AAX_eViewContainer_Type_Offscreen)
            if (auto* record = static_cast<AAX_SOffscreenView*>(GetViewContainerPtr()))
                CopyToOffscreenView(*mContentView, rect, *record);
    }
    return AAX_SUCCESS;
}
