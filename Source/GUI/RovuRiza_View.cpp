#include "RovuRiza_View.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "AAX_CHostServices.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IViewContainer.h"
#include "RovuRiza_AnimKnobVST.h"
#include "RovuRiza_MenuVST.h"
#include "Engine/RovuRiza_Controls.h"
#include "Voicing/RovuRiza_Voicing.h"

using namespace VSTGUI;

namespace
{
constexpr const char* kAssertFile = "Source/GUI/RovuRiza_GUI_VST";
constexpr int kAssertLineUnknownTag = 825;

constexpr int kPickupCount = kRovuRizaPickupCount;

struct KnobLayout
{
    RovuRiza_View::Tag tag;
    CCoord left;
    const char* paramID;
    const char* word;
    bool percent;
};

// In creation order, which is also the drawing order.
constexpr KnobLayout kKnobs[] = {
    {RovuRiza_View::kTagGain, 63, "Gain", "Gain", false},
    {RovuRiza_View::kTagTremolo, 352, "Tremolo", "Tremolo", true},
    {RovuRiza_View::kTagTone, 196, "Tone", "Tone", true},
    {RovuRiza_View::kTagRate, 483, "Rate", "Speed", true},
    {RovuRiza_View::kTagVolume, 614, "Volume", "Volume", true},
};
constexpr CCoord kKnobTop = 455;

const KnobLayout* KnobLayoutForTag(int32_t inTag)
{
    for (const KnobLayout& knob : kKnobs)
        if (knob.tag == inTag) return &knob;
    return nullptr;
}

const char* ParamIDForTag(int32_t inTag)
{
    if (const KnobLayout* knob = KnobLayoutForTag(inTag)) return knob->paramID;
    if (inTag == RovuRiza_View::kTagSound) return "Sound";
    if (inTag == RovuRiza_View::kTagPickup) return "Pickup";
    return nullptr;
}

CColor CoronaColor(AAX_EHighlightColor inColor)
{
    switch (inColor)
    {
    case AAX_eHighlightColor_Red:
        return CColor(200, 0, 0, 255);
    case AAX_eHighlightColor_Blue:
        return CColor(0, 0, 200, 255);
    case AAX_eHighlightColor_Green:
        return CColor(0, 200, 0, 255);
    default:
        return CColor(200, 200, 0, 255);
    }
}

void StyleMenu(COptionMenu& inMenu, CHoriTxtAlign inAlign)
{
    inMenu.setFont(kNormalFontVeryBig);
    inMenu.setFontColor(CColor(160, 160, 160, 255));
    inMenu.setBackColor(kTransparentCColor);
    inMenu.setFrameColor(kTransparentCColor);
    inMenu.setHoriAlign(inAlign);
    inMenu.setAntialias(true);
}

CRect BackgroundRect()
{
    CBitmap* background = RovuRiza_View::Background();
    if (!background) return CRect(0, 0, 0, 0);
    return CRect(0, 0, background->getWidth(), background->getHeight());
}
} // namespace

void RovuRiza_View::BitmapForget::operator()(CBitmap* inBitmap) const
{
    if (inBitmap) inBitmap->forget();
}

RovuRiza_View::BitmapHolder RovuRiza_View::m_hPIBackground;
RovuRiza_View::BitmapHolder RovuRiza_View::m_hGain;

int RovuRiza_MenuEntryForNormalizedValue(double inNormalized, int inEntryCount)
{
    if (!(inNormalized >= 0.0)) return 0; // also NaN
    const double entry = std::floor(inNormalized * 100.0 + 0.5);
    if (entry >= inEntryCount) return inEntryCount - 1;
    return static_cast<int>(entry);
}

void RovuRiza_View::LoadViewResources()
{
    if (!m_hPIBackground)
        m_hPIBackground.reset(new CBitmap(CResourceDescription("Tavelo_sfondo.png")));
    if (!m_hGain) m_hGain.reset(new CBitmap(CResourceDescription("Chicken_head.png")));
}

RovuRiza_View::RovuRiza_View(void* inSystemWindow, AAX_IEffectParameters* inParameters,
                             VSTGUIEditorInterface* inEditor, AAX_IViewContainer* inViewContainer)
    : VSTGUI_ContentView(BackgroundRect(), inEditor, inParameters), mViewContainer(inViewContainer)
{
    const bool offscreen =
        inViewContainer && inViewContainer->GetType() == AAX_eViewContainer_Type_Offscreen;
    open(offscreen ? nullptr : inSystemWindow, offscreen ? kOffscreen : kNSView);

    mViewRect = BackgroundRect();
    setSize(mViewRect.getWidth(), mViewRect.getHeight());
    setBackground(m_hPIBackground.get());

    mReadoutLabel = new CTextLabel(CRect(322, 428, 510, 443), mReadoutText);
    mReadoutLabel->setFont(kNormalFont);
    mReadoutLabel->setFontColor(CColor(230, 230, 230, 160));
    mReadoutLabel->setBackColor(kTransparentCColor);
    mReadoutLabel->setFrameColor(kTransparentCColor);
    mReadoutLabel->setHoriAlign(kLeftText);
    addView(mReadoutLabel);

    CBitmap* strip = m_hGain.get();
    const CCoord knobWidth = strip ? strip->getWidth() : 0;
    const CCoord knobHeight = strip ? strip->getHeight() / kKnobFrames : 0;
    RovuRiza_AnimKnobVST** knobs[] = {&mGainKnob, &mTremoloKnob, &mToneKnob, &mRateKnob,
                                      &mVolumeKnob};
    for (size_t i = 0; i < std::size(kKnobs); ++i)
    {
        const KnobLayout& knob = kKnobs[i];
        const CRect size(knob.left, kKnobTop, knob.left + knobWidth, kKnobTop + knobHeight);
        *knobs[i] = AddKnob(size, knob.tag, knob.paramID);
    }

    mSoundMenu =
        new RovuRiza_MenuVST(CRect(14, 14, 270, 34), this, kTagSound, nullptr, nullptr, k3DIn);
    mSoundMenu->SetViewContainer(mViewContainer);
    mSoundMenu->SetParamID("Sound");
    StyleMenu(*mSoundMenu, kCenterText);
    for (int i = 0; i < kRovuRizaVoicingCount; ++i)
        mSoundMenu->addEntry(kRovuRizaVoicingNames[i]);
    double defaultValue = 0.0;
    if (inParameters) inParameters->GetParameterDefaultNormalizedValue("Sound", &defaultValue);
    mSoundMenu->setDefaultValue(static_cast<float>(
        RovuRiza_MenuEntryForNormalizedValue(defaultValue, kRovuRizaVoicingCount)));
    addView(mSoundMenu);

    mPickupMenu =
        new RovuRiza_MenuVST(CRect(6, 420, 165, 440), this, kTagPickup, nullptr, nullptr, k3DIn);
    StyleMenu(*mPickupMenu, kLeftText);
    for (const char* name : kRovuRizaPickupNames)
        mPickupMenu->addEntry(name);
    defaultValue = 0.0;
    if (inParameters) inParameters->GetParameterDefaultNormalizedValue("Pickup", &defaultValue);
    mPickupMenu->setDefaultValue(
        static_cast<float>(RovuRiza_MenuEntryForNormalizedValue(defaultValue, kPickupCount)));
    addView(mPickupMenu);
}

RovuRiza_View::~RovuRiza_View() = default;

RovuRiza_AnimKnobVST* RovuRiza_View::AddKnob(const CRect& inSize, int inTag, const char* inParamID)
{
    CBitmap* strip = m_hGain.get();
    const double imageHeight = strip ? strip->getHeight() / kKnobFrames : 0.0;
    auto* knob = new RovuRiza_AnimKnobVST(inSize, this, inTag, kKnobFrames, imageHeight, strip,
                                          inSize.getTopLeft());
    knob->SetViewContainer(mViewContainer);
    knob->SetParamID(inParamID);
    knob->setMin(0.0f);
    knob->setMax(1.0f);
    if (AAX_IEffectParameters* parameters = getParameters())
    {
        double defaultValue = 0.0;
        parameters->GetParameterDefaultNormalizedValue(inParamID, &defaultValue);
        knob->setDefaultValue(static_cast<float>(defaultValue));
    }
    addView(knob);
    return knob;
}

void RovuRiza_View::WriteKnobReadout(const CControl* inKnob)
{
    const KnobLayout* knob = KnobLayoutForTag(inKnob->getTag());
    if (!knob) return;
    std::snprintf(mReadoutText, sizeof mReadoutText, "%s %.2f%s", knob->word,
                  static_cast<double>(inKnob->getValue()) * 100.0, knob->percent ? "%" : "");
}

void RovuRiza_View::valueChanged(CControl* inControl)
{
    AAX_IEffectParameters* parameters = getParameters();
    if (!parameters || !inControl) return;
    const int32_t tag = inControl->getTag();
    if (const KnobLayout* knob = KnobLayoutForTag(tag))
    {
        parameters->SetParameterNormalizedValue(knob->paramID, inControl->getValue());
        WriteKnobReadout(inControl);
    }
    else if (tag == kTagSound || tag == kTagPickup)
    {
        const auto* menu = static_cast<COptionMenu*>(inControl);
        parameters->SetParameterNormalizedValue(ParamIDForTag(tag), menu->getCurrentIndex() * 0.01);
        std::snprintf(mReadoutText, sizeof mReadoutText, "%s",
                      tag == kTagSound ? "Microphone" : "Pickup");
    }
    else
    {
        AAX_CHostServices::HandleAssertFailure(kAssertFile, kAssertLineUnknownTag, "0", 1);
        return;
    }
    mReadoutLabel->setText(mReadoutText);
    mReadoutLabel->invalid();
}

void RovuRiza_View::controlBeginEdit(CControl* inControl)
{
    AAX_IEffectParameters* parameters = getParameters();
    if (!parameters || !inControl) return;
    if (const char* paramID = ParamIDForTag(inControl->getTag()))
        parameters->TouchParameter(paramID);
}

void RovuRiza_View::controlEndEdit(CControl* inControl)
{
    AAX_IEffectParameters* parameters = getParameters();
    if (!parameters || !inControl) return;
    if (const char* paramID = ParamIDForTag(inControl->getTag()))
        parameters->ReleaseParameter(paramID);
}

void RovuRiza_View::Highlite(RovuRiza_AnimKnobVST* inKnob, unsigned char inState,
                             AAX_EHighlightColor inColor)
{
    if (!inKnob) return;
    if (inState)
    {
        if (inColor >= AAX_eHighlightColor_Red && inColor <= AAX_eHighlightColor_Yellow)
            inKnob->setCoronaColor(CoronaColor(inColor));
        inKnob->setHighLite(true);
    }
    else
    {
        inKnob->setHighLite(false);
        inKnob->setCoronaColor(CColor(100, 100, 100, 0));
    }
    inKnob->invalid();
}

void RovuRiza_View::highlitePeak(unsigned char inState, AAX_EHighlightColor inColor)
{
    Highlite(mGainKnob, inState, inColor);
}

void RovuRiza_View::highliteDecay(unsigned char inState, AAX_EHighlightColor inColor)
{
    Highlite(mTremoloKnob, inState, inColor);
}

void RovuRiza_View::highliteTone(unsigned char inState, AAX_EHighlightColor inColor)
{
    Highlite(mToneKnob, inState, inColor);
}

void RovuRiza_View::highliteTremoloRate(unsigned char inState, AAX_EHighlightColor inColor)
{
    Highlite(mRateKnob, inState, inColor);
}

void RovuRiza_View::highliteVolume(unsigned char inState, AAX_EHighlightColor inColor)
{
    Highlite(mVolumeKnob, inState, inColor);
}

bool RovuRiza_View::TimerWakeup()
{
    if (mTickCount++ < 10) return true;

    CPoint where;
    getCurrentMouseLocation(where);
    CView* hovered = getViewAt(where);
    const CView* knobs[] = {mGainKnob, mTremoloKnob, mToneKnob, mRateKnob, mVolumeKnob};
    for (const CView* knob : knobs)
        if (hovered && hovered == knob) WriteKnobReadout(static_cast<const CControl*>(knob));

    mReadoutLabel->setText(mReadoutText);
    mReadoutLabel->invalid();
    mTickCount = 0;
    return true;
}
