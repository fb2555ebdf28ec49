#include "AAX_CVSTGUIButtonState.h"

#include "AAX.h"
#include "AAX_IViewContainer.h"

namespace
{
struct BitPair
{
    int32_t toolkit;
    uint32_t host;
};

// One table serves both directions, so the translation cannot drift between them.
constexpr BitPair kBitPairs[] = {
    {0x10, AAX_eModifiers_Shift},           // shift
    {0x80, AAX_eModifiers_Control},         // apple: the Control key on macOS
    {0x40, AAX_eModifiers_Option},          // alt
    {0x20, AAX_eModifiers_Command},         // control: the Command key on macOS
    {0x08, AAX_eModifiers_SecondaryButton}, // right button
};
} // namespace

uint32_t AAX_CVSTGUIButtonState::HostModifiersFromButtonState(int32_t inButtonState)
{
    uint32_t modifiers = 0;
    for (const BitPair& pair : kBitPairs)
        if (inButtonState & pair.toolkit) modifiers |= pair.host;
    return modifiers;
}

int32_t AAX_CVSTGUIButtonState::ButtonStateFromHostModifiers(uint32_t inModifiers)
{
    int32_t buttons = 0;
    for (const BitPair& pair : kBitPairs)
        if (inModifiers & pair.host) buttons |= pair.toolkit;
    return buttons;
}

AAX_CVSTGUIButtonState::AAX_CVSTGUIButtonState(const VSTGUI::CButtonState& inButtonState,
                                               AAX_IViewContainer* inViewContainer)
{
    const int32_t buttons = inButtonState(); // buttons and modifiers alike
    uint32_t modifiers = HostModifiersFromButtonState(buttons);
    if (inViewContainer)
    {
        uint32_t hostModifiers = 0;
        inViewContainer->GetModifiers(&hostModifiers);
        modifiers |= hostModifiers;
    }
    mModifiers = modifiers;
    mButtonState = buttons | ButtonStateFromHostModifiers(modifiers);
}
