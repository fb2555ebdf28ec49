#pragma once
// A frame without a window: it draws into its backing image only; input is injected.

#include "../backedframe.h"

namespace VSTGUI
{

class OffscreenPlatformFrame : public BackedPlatformFrame
{
public:
    OffscreenPlatformFrame(IPlatformFrameCallback* frame, const CRect& size)
        : BackedPlatformFrame(frame, size)
    {
    }

    PlatformType getPlatformType() const override { return kOffscreen; }
    int32_t processEvents() override { return 0; }
    int getEventFileDescriptor() const override { return -1; }
    unsigned long getNativeWindow() const override { return 0; }

protected:
    bool popupDrawnInline() const override { return true; }
};

} // namespace VSTGUI
