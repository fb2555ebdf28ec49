// Editor thread: the amp's editor surface. A frame with the faceplate, five film-strip knobs,
// the Sound and Pickup menus and a readout; listener of all its controls, it turns their edits
// into touch / set-value / release calls on the instance's parameter object.
#pragma once

#include <memory>

#include "AAX.h"
#include "VSTGUI_ContentView.h"
#include "vstgui/vstgui.h"

class AAX_IViewContainer;
class RovuRiza_AnimKnobVST;
class RovuRiza_MenuVST;

class RovuRiza_View : public VSTGUI_ContentView, public VSTGUI::IControlListener
{
public:
    enum Tag
    {
        kTagGain = 3,
        kTagTremolo = 4,
        kTagTone = 5,
        kTagRate = 6,
        kTagVolume = 7,
        kTagSound = 8,
        kTagPickup = 9
    };
    static constexpr int kKnobFrames = 131;
    static constexpr int kReadoutSize = 64;

    RovuRiza_View(void* inSystemWindow, AAX_IEffectParameters* inParameters,
                  VSTGUI::VSTGUIEditorInterface* inEditor, AAX_IViewContainer* inViewContainer);
    ~RovuRiza_View() override;

    // Loads the faceplate and the knob strip once per loaded bundle; later editors reuse them.
    static void LoadViewResources();

    void valueChanged(VSTGUI::CControl* inControl) override;
    void controlBeginEdit(VSTGUI::CControl* inControl) override;
    void controlEndEdit(VSTGUI::CControl* inControl) override;

    void highlitePeak(unsigned char inState, AAX_EHighlightColor inColor);
    void highliteDecay(unsigned char inState, AAX_EHighlightColor inColor);
    void highliteTone(unsigned char inState, AAX_EHighlightColor inColor);
    void highliteTremoloRate(unsigned char inState, AAX_EHighlightColor inColor);
    void highliteVolume(unsigned char inState, AAX_EHighlightColor inColor);

    // Refreshes the readout from the knob under the mouse on every 11th call.
    bool TimerWakeup();

    RovuRiza_AnimKnobVST* GainKnob() const { return mGainKnob; }
    RovuRiza_AnimKnobVST* TremoloKnob() const { return mTremoloKnob; }
    RovuRiza_AnimKnobVST* ToneKnob() const { return mToneKnob; }
    RovuRiza_AnimKnobVST* RateKnob() const { return mRateKnob; }
    RovuRiza_AnimKnobVST* VolumeKnob() const { return mVolumeKnob; }
    RovuRiza_MenuVST* SoundMenu() const { return mSoundMenu; }
    RovuRiza_MenuVST* PickupMenu() const { return mPickupMenu; }
    VSTGUI::CTextLabel* ReadoutLabel() const { return mReadoutLabel; }
    const char* ReadoutText() const { return mReadoutText; }

    static VSTGUI::CBitmap* Background() { return m_hPIBackground.get(); }
    static VSTGUI::CBitmap* KnobStrip() { return m_hGain.get(); }

private:
    struct BitmapForget
    {
        void operator()(VSTGUI::CBitmap* inBitmap) const;
    };
    using BitmapHolder = std::unique_ptr<VSTGUI::CBitmap, BitmapForget>;

    RovuRiza_AnimKnobVST* AddKnob(const VSTGUI::CRect& inSize, int inTag, const char* inParamID);
    void Highlite(RovuRiza_AnimKnobVST* inKnob, unsigned char inState, AAX_EHighlightColor inColor);
    void WriteKnobReadout(const VSTGUI::CControl* inKnob);

    static BitmapHolder m_hPIBackground;
    static BitmapHolder m_hGain;

    int32_t mTickCount = 0;
    char mReadoutText[kReadoutSize] = "---";
    VSTGUI::CTextLabel* mReadoutLabel = nullptr;
    RovuRiza_AnimKnobVST* mGainKnob = nullptr;
    RovuRiza_AnimKnobVST* mTremoloKnob = nullptr;
    RovuRiza_AnimKnobVST* mToneKnob = nullptr;
    RovuRiza_AnimKnobVST* mRateKnob = nullptr;
    RovuRiza_AnimKnobVST* mVolumeKnob = nullptr;
    RovuRiza_MenuVST* mSoundMenu = nullptr;
    RovuRiza_MenuVST* mPickupMenu = nullptr;
    VSTGUI::CRect mViewRect;
    AAX_IViewContainer* mViewContainer = nullptr;
};

// A menu's entry for a normalized parameter value (entry i is i x 0.01). Rounds to the
// nearest entry: 0.05 x 100 is 5.000000000000001 or 4.999999... depending on how it was
// produced, and truncating would pick the entry below.
int RovuRiza_MenuEntryForNormalizedValue(double inNormalized, int inEntryCount);
