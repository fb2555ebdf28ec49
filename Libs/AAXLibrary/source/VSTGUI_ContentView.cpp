#include "VSTGUI_ContentView.h"

using namespace VSTGUI;

VSTGUI_ContentView::VSTGUI_ContentView(const CRect& inSize, VSTGUIEditorInterface* inEditor,
                                       AAX_IEffectParameters* inParameters)
    : CFrame(inSize, inEditor), mParameters(inParameters)
{
}

VSTGUI_ContentView::~VSTGUI_ContentView() = default;

bool VSTGUI_ContentView::setPosition(CCoord x, CCoord y)
{
    return CFrame::setPosition(x, y);
}

bool VSTGUI_ContentView::setSize(CCoord width, CCoord height)
{
    return CFrame::setSize(width, height);
}

bool VSTGUI_ContentView::getSize(CRect* outSize) const
{
    return CFrame::getSize(outSize);
}

bool VSTGUI_ContentView::getSize(CRect& outSize) const
{
    return CFrame::getSize(outSize);
}
