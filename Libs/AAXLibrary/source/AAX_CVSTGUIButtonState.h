// Editor thread: the toolkit's mouse and modifier bits next to the host's modifier bits, with
// the host's own view of the modifier keys merged in, built afresh for each mouse event.
#pragma once

#include <cstdint>

#include "vstgui/vstgui.h"

class AAX_IViewContainer;

class AAX_CVSTGUIButtonState
{
public:
    // The container, when given, is asked for the modifiers it sees; they are ORed in.
    AAX_CVSTGUIButtonState(const VSTGUI::CButtonState& inButtonState,
                           AAX_IViewContainer* inViewContainer);

    // Host modifier bits (AAX_EModifiers).
    uint32_t GetModifiers() const { return mModifiers; }
    // The event's toolkit state with the toolkit bits of every host modifier added.
    VSTGUI::CButtonState GetButtonState() const { return VSTGUI::CButtonState(mButtonState); }

    static uint32_t HostModifiersFromButtonState(int32_t inButtonState);
    static int32_t ButtonStateFromHostModifiers(uint32_t inModifiers);

private:
    uint32_t mModifiers;
    int32_t mButtonState;
};
