// The editor interface as the framework implements it: the host-facing operations plus the
// reference-counting base, with the public IACFUnknown calls passed to the controlling interface.
// Host editor thread.
#pragma once

#include "AAX_IACFEffectGUI.h"
#include "CACFUnknown.h"

class AAX_IEffectGUI : public AAX_IACFEffectGUI, public CACFUnknown
{
public:
    ACF_FORWARD_UNKNOWN_TO_OUTER()
    ~AAX_IEffectGUI() override = default;
};
