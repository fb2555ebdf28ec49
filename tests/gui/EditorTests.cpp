// The amp's editor in-process on the offscreen backend: opening, value pushes, edit gestures,
// host-first mouse handling, reset clicks, menus, highlights, the readout timer and lifetime.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "AAX_CHostServices.h"
#include "AAX_CVSTGUIButtonState.h"
#include "CACFUnknown.h"
#include "FakeHost.h"
#include "GUI/RovuRiza_AnimKnobVST.h"
#include "GUI/RovuRiza_GUI_VST.h"
#include "GUI/RovuRiza_MenuVST.h"
#include "Voicing/RovuRiza_VoicingList.h"
#include "GUI/RovuRiza_View.h"
#include "AAX_UIDs.h"
#include "AAX_VViewContainer.h"

using namespace VSTGUI;
using guitest::FakeInstanceHost;
using guitest::FakeParameters;
using guitest::FakeViewContainer;

namespace
{
const CPoint kGainCentre(93, 485);
const CPoint kVolumeCentre(644, 485);
const CPoint kSoundMenuCentre(140, 24);
const CPoint kPickupMenuCentre(80, 430);

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AAX_CHostServices::Set(&host);
        IACFUnknown* object = reinterpret_cast<IACFUnknown*>(RovuRiza_GUI::Create());
        void* found = nullptr;
        ASSERT_EQ(object->QueryInterface(IID_IAAXEffectGUIV1, &found), ACF_OK);
        editor = static_cast<AAX_IACFEffectGUI*>(found);
        gui = static_cast<RovuRiza_GUI*>(editor);
        ASSERT_EQ(editor->Initialize(&host), AAX_SUCCESS);
    }

    void TearDown() override
    {
        if (editor)
        {
            editor->Uninitialize();
            editor->Release();
        }
        AAX_CHostServices::Set(nullptr);
    }

    RovuRiza_View* Open()
    {
        EXPECT_EQ(editor->SetViewContainer(&container), AAX_SUCCESS);
        return gui->GetRovuRizaView();
    }

    IPlatformFrame& Platform() { return *gui->GetRovuRizaView()->getPlatformFrame(); }

    void Click(const CPoint& where, int32_t buttons)
    {
        Platform().injectMouseDown(where, buttons);
        Platform().injectMouseUp(where, buttons & ~(kLButton | kRButton | kMButton));
    }

    FakeParameters params;
    FakeInstanceHost host{&params};
    FakeViewContainer container{AAX_eViewContainer_Type_Offscreen, nullptr};
    AAX_IACFEffectGUI* editor = nullptr;
    RovuRiza_GUI* gui = nullptr;
};

TEST(ButtonStateTest, TranslatesEveryBitBothWaysAndMergesTheHostsModifiers)
{
    const AAX_CVSTGUIButtonState plain(CButtonState(kShift | kRButton), nullptr);
    EXPECT_EQ(plain.GetModifiers(), 0x11u);
    EXPECT_EQ(plain.GetButtonState()(), kShift | kRButton);

    FakeViewContainer container(AAX_eViewContainer_Type_Offscreen, nullptr);
    container.modifiers = AAX_eModifiers_Command;
    AAX_VViewContainer wrapper(&container);
    const AAX_CVSTGUIButtonState merged(CButtonState(kShift | kRButton), &wrapper);
    EXPECT_EQ(merged.GetModifiers(), 0x19u);
    EXPECT_EQ(merged.GetButtonState()(), kShift | kRButton | kControl);

    EXPECT_EQ(AAX_CVSTGUIButtonState::HostModifiersFromButtonState(kShift | kApple | kAlt |
                                                                   kControl | kRButton),
              0x1Fu);
    EXPECT_EQ(AAX_CVSTGUIButtonState::ButtonStateFromHostModifiers(0x1F),
              kShift | kApple | kAlt | kControl | kRButton);
    EXPECT_EQ(
        AAX_CVSTGUIButtonState::HostModifiersFromButtonState(kLButton | kMButton | kDoubleClick),
        0u);
}

TEST_F(EditorTest, InitializeWithoutHostObjectFailsAndBuildsNothing)
{
    IACFUnknown* object = reinterpret_cast<IACFUnknown*>(RovuRiza_GUI::Create());
    void* found = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IAAXEffectGUIV1, &found), ACF_OK);
    auto* other = static_cast<AAX_IACFEffectGUI*>(found);
    const int32_t parameterRefs = params.Refs();
    EXPECT_EQ(other->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(params.Refs(), parameterRefs);
    EXPECT_EQ(other->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(other->Release(), 0u);
}

TEST_F(EditorTest, OpeningPushesEveryParameterOnceAndSizesToTheBackground)
{
    AAX_Point untouched{-1.0f, -2.0f};
    EXPECT_EQ(editor->GetViewSize(&untouched), AAX_SUCCESS);
    EXPECT_EQ(untouched.vert, -1.0f);
    EXPECT_EQ(untouched.horz, -2.0f);

    params.values["Gain"] = 0.37;
    params.values["Sound"] = 0.05; // 0.05 * 100 is 5.000000000000001; must be entry 5
    params.values["Pickup"] = 0.01;
    RovuRiza_View* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(host.asserts.empty()) << host.asserts.front();
    EXPECT_EQ(params.identifierQueries, 8);

    AAX_Point size;
    editor->GetViewSize(&size);
    ASSERT_NE(RovuRiza_View::Background(), nullptr);
    EXPECT_EQ(size.horz, RovuRiza_View::Background()->getWidth());
    EXPECT_EQ(size.vert, RovuRiza_View::Background()->getHeight());
    EXPECT_GT(size.horz, 0.0f);

    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.37f);
    EXPECT_FLOAT_EQ(view->ToneKnob()->getValue(), 0.5f);
    EXPECT_FLOAT_EQ(view->VolumeKnob()->getValue(), 0.8f);
    EXPECT_EQ(view->SoundMenu()->getCurrentIndex(), 5);
    EXPECT_EQ(view->PickupMenu()->getCurrentIndex(), 1);
    EXPECT_EQ(view->SoundMenu()->getNbEntries(), kRovuRizaVoicingCount);
    EXPECT_STREQ(view->SoundMenu()->getEntry(5)->getTitle(), "6 Senn + 57 - Newer");
    EXPECT_STREQ(view->PickupMenu()->getEntry(1)->getTitle(), "Modern Pickup 1");
    EXPECT_STREQ(view->ReadoutText(), "---");
    EXPECT_FLOAT_EQ(view->GainKnob()->getDefaultValue(), 0.2f);
    EXPECT_EQ(view->GainKnob()->getNumSubPixmaps(), 131);
    EXPECT_EQ(view->GainKnob()->getViewSize().top, 455);
    EXPECT_EQ(view->RateKnob()->getViewSize().left, 483);
    EXPECT_TRUE(params.log.empty()) << "opening must not edit anything";

    // A failed read-back leaves the control where it was.
    params.faults.refuseValueQueries = true;
    params.values["Gain"] = 0.9;
    EXPECT_EQ(editor->ParameterUpdated("Gain"), AAX_SUCCESS);
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.37f);
}

class CountingGUI : public RovuRiza_GUI
{
public:
    AAX_Result ParameterUpdated(AAX_CParamID inParamID) override
    {
        updated.emplace_back(inParamID);
        return RovuRiza_GUI::ParameterUpdated(inParamID);
    }
    std::vector<std::string> updated;
};

TEST_F(EditorTest, OpeningAsksEachIdentifierOnceAndUpdatesEachParameterOnce)
{
    auto* counting = new CountingGUI;
    void* found = nullptr;
    ASSERT_EQ(counting->QueryInterface(IID_IAAXEffectGUIV1, &found), ACF_OK);
    ASSERT_EQ(counting->Initialize(&host), AAX_SUCCESS);
    params.identifierQueries = 0;
    FakeViewContainer own(AAX_eViewContainer_Type_Offscreen, nullptr);
    counting->SetViewContainer(&own);
    EXPECT_EQ(params.identifierQueries, 8);
    EXPECT_EQ(counting->updated, params.order);
    counting->SetViewContainer(nullptr);
    counting->Uninitialize();
    EXPECT_EQ(counting->Release(), 0u);
}

TEST(EditorWithoutDataModelTest, ViewStillBuildsAndEditsGoNowhere)
{
    FakeInstanceHost bare(nullptr);
    AAX_CHostServices::Set(&bare);
    IACFUnknown* object = reinterpret_cast<IACFUnknown*>(RovuRiza_GUI::Create());
    void* found = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IAAXEffectGUIV1, &found), ACF_OK);
    auto* editor = static_cast<AAX_IACFEffectGUI*>(found);
    ASSERT_EQ(editor->Initialize(&bare), AAX_SUCCESS);
    FakeViewContainer container(AAX_eViewContainer_Type_Offscreen, nullptr);
    editor->SetViewContainer(&container);
    RovuRiza_View* view = static_cast<RovuRiza_GUI*>(editor)->GetRovuRizaView();
    ASSERT_NE(view, nullptr);
    EXPECT_FLOAT_EQ(view->GainKnob()->getDefaultValue(), 0.5f); // the toolkit's own
    IPlatformFrame& platform = *view->getPlatformFrame();
    platform.injectMouseDown(kGainCentre, kLButton);
    platform.injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 20), kLButton);
    platform.injectMouseUp(CPoint(kGainCentre.x, kGainCentre.y - 20), 0);
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.1f);
    EXPECT_STREQ(view->ReadoutText(), "---");
    EXPECT_EQ(editor->ParameterUpdated("Gain"), AAX_SUCCESS);
    editor->Uninitialize();
    EXPECT_EQ(editor->Release(), 0u);
    AAX_CHostServices::Set(nullptr);
    EXPECT_TRUE(bare.asserts.empty());
}

TEST_F(EditorTest, ContainersThatAreNotAViewOpenNothing)
{
    FakeViewContainer nullNative(AAX_eViewContainer_Type_NativeView, nullptr);
    EXPECT_EQ(editor->SetViewContainer(&nullNative), AAX_SUCCESS);
    EXPECT_EQ(gui->GetRovuRizaView(), nullptr);
    EXPECT_EQ(editor->ParameterUpdated("Gain"), AAX_SUCCESS);
    EXPECT_EQ(editor->TimerWakeup(), AAX_SUCCESS);
    EXPECT_EQ(editor->SetControlHighlightInfo("Gain", 1, AAX_eHighlightColor_Red), AAX_SUCCESS);
    int dummy = 0;
    FakeViewContainer otherType(7, &dummy);
    EXPECT_EQ(editor->SetViewContainer(&otherType), AAX_SUCCESS);
    EXPECT_EQ(gui->GetRovuRizaView(), nullptr);
    EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS);
    EXPECT_EQ(otherType.Refs(), 0);
    EXPECT_EQ(nullNative.Refs(), 0);
}

TEST_F(EditorTest, KnobDragIsOneTouchRisingValuesAndOneRelease)
{
    RovuRiza_View* view = Open();
    ASSERT_NE(view, nullptr);
    Platform().injectMouseDown(kGainCentre, kLButton);
    for (int step = 1; step <= 4; ++step)
        Platform().injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 8.5 * step), kLButton);
    Platform().injectMouseUp(CPoint(kGainCentre.x, kGainCentre.y - 34), 0);

    ASSERT_GE(params.log.size(), 3u);
    EXPECT_EQ(params.log.front(), "touch Gain");
    EXPECT_EQ(params.log.back(), "release Gain");
    double last = 0.2;
    for (size_t i = 1; i + 1 < params.log.size(); ++i)
    {
        double value = 0.0;
        ASSERT_EQ(std::sscanf(params.log[i].c_str(), "set Gain %lf", &value), 1) << params.log[i];
        EXPECT_GT(value, last);
        last = value;
    }
    EXPECT_NEAR(last, 0.37, 1e-4);
    EXPECT_STREQ(view->ReadoutText(), "Gain 37.00");
    EXPECT_STREQ(view->ReadoutLabel()->getText(), "Gain 37.00");
    // Each mouse event was offered to the host first.
    ASSERT_FALSE(container.calls.empty());
    EXPECT_EQ(container.calls.front(), "down Gain 0x0");
    EXPECT_EQ(container.calls.back(), "up Gain 0x0");
}

TEST_F(EditorTest, CommandDragIsTheFineDragLikeShift)
{
    RovuRiza_View* view = Open();
    Platform().injectMouseDown(kGainCentre, kLButton | kControl);
    Platform().injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 30), kLButton | kControl);
    Platform().injectMouseUp(CPoint(kGainCentre.x, kGainCentre.y - 30), kControl);
    const float commandValue = view->GainKnob()->getValue();

    view->GainKnob()->setValue(0.2f);
    Platform().injectMouseDown(kGainCentre, kLButton | kShift);
    Platform().injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 30), kLButton | kShift);
    Platform().injectMouseUp(CPoint(kGainCentre.x, kGainCentre.y - 30), kShift);
    const float shiftValue = view->GainKnob()->getValue();

    EXPECT_NEAR(shiftValue, 0.2f + 30.0f / 300.0f, 1e-4);
    EXPECT_NEAR(commandValue, shiftValue, 1e-5);
}

TEST_F(EditorTest, OptionClickResetsToTheDefaultInsideOneEdit)
{
    RovuRiza_View* view = Open();
    params.values["Gain"] = 0.9;
    editor->ParameterUpdated("Gain");
    ASSERT_FLOAT_EQ(view->GainKnob()->getValue(), 0.9f);
    view->GainKnob()->setDirty(false);

    Click(kGainCentre, kLButton | kAlt);
    ASSERT_EQ(params.log.size(), 3u);
    EXPECT_EQ(params.log[0], "touch Gain");
    EXPECT_EQ(params.log[1], "set Gain 0.2000");
    EXPECT_EQ(params.log[2], "release Gain");
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.2f);

    // Option with shift is not the reset click: an ordinary (fine) drag gesture starts.
    params.log.clear();
    params.values["Gain"] = 0.9;
    editor->ParameterUpdated("Gain");
    Click(kGainCentre, kLButton | kAlt | kShift);
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.9f);
    EXPECT_EQ(params.log, (std::vector<std::string>{"touch Gain", "release Gain"}));

    // The menus reset too.
    params.log.clear();
    params.values["Sound"] = 0.07;
    editor->ParameterUpdated("Sound");
    view->SoundMenu()->setDirty(false);
    Click(kSoundMenuCentre, kLButton | kAlt);
    EXPECT_EQ(view->SoundMenu()->getCurrentIndex(), 0);
    EXPECT_EQ(params.log,
              (std::vector<std::string>{"touch Sound", "set Sound 0.0000", "release Sound"}));
    EXPECT_FALSE(Platform().isPopupOpen());
}

TEST_F(EditorTest, HostTakesItsMouseEventsAndEveryTouchStillGetsItsRelease)
{
    RovuRiza_View* view = Open();
    container.faults.viewTakesMouseDown = true;
    Click(kGainCentre, kLButton);
    EXPECT_TRUE(params.log.empty());
    EXPECT_FALSE(view->GainKnob()->isEditing());

    // The toolkit began the drag, then the host took the mouse-up: the edit must end.
    container.faults.viewTakesMouseDown = false;
    container.faults.viewTakesMouseUp = true;
    Platform().injectMouseDown(kGainCentre, kLButton);
    Platform().injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 20), kLButton);
    Platform().injectMouseUp(CPoint(kGainCentre.x, kGainCentre.y - 20), 0);
    ASSERT_FALSE(params.log.empty());
    EXPECT_EQ(params.log.front(), "touch Gain");
    EXPECT_EQ(params.log.back(), "release Gain");
    EXPECT_FALSE(view->GainKnob()->isEditing());

    // A drag the host takes does not move the knob; a right-button drag is never offered.
    container.faults.viewTakesMouseUp = false;
    container.faults.viewTakesMouseDrag = true;
    const float before = view->GainKnob()->getValue();
    Platform().injectMouseDown(kGainCentre, kLButton);
    Platform().injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 40), kLButton);
    Platform().injectMouseUp(CPoint(kGainCentre.x, kGainCentre.y - 40), 0);
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), before);
    container.calls.clear();
    CPoint where = kGainCentre;
    view->GainKnob()->onMouseMoved(where, CButtonState(kRButton));
    EXPECT_TRUE(container.calls.empty());

    // The host's modifiers reach the host call and the toolkit's event.
    container.faults.viewTakesMouseDrag = false;
    container.modifiers = AAX_eModifiers_Option;
    container.calls.clear();
    params.log.clear();
    view->GainKnob()->setValue(0.5f);
    Click(kGainCentre, kLButton); // left + host option = the reset click
    EXPECT_EQ(container.calls.front(), "down Gain 0x4");
    EXPECT_FLOAT_EQ(view->GainKnob()->getValue(), 0.2f);
}

TEST_F(EditorTest, ClosingTheViewMidDragReleasesTheParameter)
{
    Open();
    Platform().injectMouseDown(kGainCentre, kLButton);
    Platform().injectMouseMoved(CPoint(kGainCentre.x, kGainCentre.y - 10), kLButton);
    editor->SetViewContainer(nullptr);
    ASSERT_FALSE(params.log.empty());
    EXPECT_EQ(params.log.front(), "touch Gain");
    EXPECT_EQ(params.log.back(), "release Gain");
}

TEST_F(EditorTest, ChoosingMenuEntriesSetsTheParametersAndTheReadout)
{
    RovuRiza_View* view = Open();
    Click(kSoundMenuCentre, kLButton);
    ASSERT_TRUE(Platform().isPopupOpen());
    ASSERT_TRUE(Platform().choosePopupEntry(5));
    EXPECT_EQ(params.log,
              (std::vector<std::string>{"touch Sound", "set Sound 0.0500", "release Sound"}));
    EXPECT_STREQ(view->ReadoutText(), "Microphone");
    EXPECT_STREQ(view->ReadoutLabel()->getText(), "Microphone");

    params.log.clear();
    container.calls.clear();
    Click(kPickupMenuCentre, kLButton);
    ASSERT_TRUE(Platform().isPopupOpen());
    ASSERT_TRUE(Platform().choosePopupEntry(1));
    EXPECT_EQ(params.log,
              (std::vector<std::string>{"touch Pickup", "set Pickup 0.0100", "release Pickup"}));
    EXPECT_STREQ(view->ReadoutText(), "Pickup");
    EXPECT_TRUE(container.calls.empty()) << "the Pickup menu has no host container";
}

TEST_F(EditorTest, ReadoutTextsOfTheKnobs)
{
    RovuRiza_View* view = Open();
    view->RateKnob()->setValue(0.25f);
    view->valueChanged(view->RateKnob());
    EXPECT_STREQ(view->ReadoutText(), "Speed 25.00%");
    view->GainKnob()->setValue(0.2f);
    view->valueChanged(view->GainKnob());
    EXPECT_STREQ(view->ReadoutText(), "Gain 20.00");
    view->TremoloKnob()->setValue(1.0f);
    view->valueChanged(view->TremoloKnob());
    EXPECT_STREQ(view->ReadoutText(), "Tremolo 100.00%");
}

TEST_F(EditorTest, UnknownControlTagIsReportedAndLeavesTheReadout)
{
    RovuRiza_View* view = Open();
    CControl* stray = new CControl(CRect(0, 0, 10, 10), view, 42);
    view->valueChanged(stray);
    ASSERT_EQ(host.asserts.size(), 1u);
    EXPECT_EQ(host.asserts[0], "Source/GUI/RovuRiza_GUI_VST 825 0 1");
    EXPECT_STREQ(view->ReadoutText(), "---");
    view->controlBeginEdit(stray);
    view->controlEndEdit(stray);
    EXPECT_TRUE(params.log.empty());
    stray->forget();
}

TEST_F(EditorTest, HighlightsGoToTheirOwnKnobOnly)
{
    RovuRiza_View* view = Open();
    editor->SetControlHighlightInfo("Tone", 1, AAX_eHighlightColor_Blue);
    EXPECT_TRUE(view->ToneKnob()->isHighLite());
    EXPECT_EQ(view->ToneKnob()->getCoronaColor(), CColor(0, 0, 200, 255));
    EXPECT_FALSE(view->GainKnob()->isHighLite());
    EXPECT_EQ(gui->LastHighlightState(), 1);
    EXPECT_EQ(gui->LastHighlightColor(), AAX_eHighlightColor_Blue);

    const struct
    {
        const char* id;
        RovuRiza_AnimKnobVST* knob;
    } routes[] = {{"Gain", view->GainKnob()},
                  {"Tremolo", view->TremoloKnob()},
                  {"Rate", view->RateKnob()},
                  {"Volume", view->VolumeKnob()}};
    for (const auto& route : routes)
    {
        editor->SetControlHighlightInfo(route.id, 1, AAX_eHighlightColor_Yellow);
        EXPECT_TRUE(route.knob->isHighLite()) << route.id;
        EXPECT_EQ(route.knob->getCoronaColor(), CColor(200, 200, 0, 255)) << route.id;
    }
    // An unknown colour only sets the flag; clearing resets the corona.
    editor->SetControlHighlightInfo("Tone", 1, static_cast<AAX_EHighlightColor>(9));
    EXPECT_EQ(view->ToneKnob()->getCoronaColor(), CColor(0, 0, 200, 255));
    editor->SetControlHighlightInfo("Tone", 0, AAX_eHighlightColor_Red);
    EXPECT_FALSE(view->ToneKnob()->isHighLite());
    EXPECT_EQ(view->ToneKnob()->getCoronaColor(), CColor(100, 100, 100, 0));
    EXPECT_TRUE(view->GainKnob()->isHighLite());
    // Sound and the bypass have no knob; the state is still recorded.
    editor->SetControlHighlightInfo("Sound", 1, AAX_eHighlightColor_Green);
    EXPECT_EQ(gui->LastHighlightColor(), AAX_eHighlightColor_Green);
}

TEST_F(EditorTest, ReadoutRefreshesFromTheHoveredKnobOnEveryEleventhTick)
{
    RovuRiza_View* view = Open();
    Platform().setMousePosition(kVolumeCentre);
    for (int i = 0; i < 10; ++i)
    {
        editor->TimerWakeup();
        EXPECT_STREQ(view->ReadoutText(), "---") << "tick " << i + 1;
    }
    editor->TimerWakeup();
    EXPECT_STREQ(view->ReadoutText(), "Volume 80.00%");
    EXPECT_STREQ(view->ReadoutLabel()->getText(), "Volume 80.00%");

    const CPoint elsewhere[] = {kSoundMenuCentre, CPoint(330, 435), CPoint(350, 200)};
    for (const CPoint& where : elsewhere)
    {
        Platform().setMousePosition(where);
        for (int i = 0; i < 11; ++i)
            editor->TimerWakeup();
        EXPECT_STREQ(view->ReadoutText(), "Volume 80.00%");
    }
    Platform().setMousePosition(kGainCentre);
    for (int i = 0; i < 10; ++i)
        editor->TimerWakeup();
    EXPECT_STREQ(view->ReadoutText(), "Volume 80.00%");
    editor->TimerWakeup();
    EXPECT_STREQ(view->ReadoutText(), "Gain 20.00");
}

TEST_F(EditorTest, SecondEditorLoadsNoBitmapAndOpenCloseCyclesLeaveNothingAlive)
{
    Open();
    const int32_t loads = CBitmap::getLoadCount();
    const int32_t alive = CACFUnknown::GetActiveObjectCount();
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        IACFUnknown* object = reinterpret_cast<IACFUnknown*>(RovuRiza_GUI::Create());
        void* found = nullptr;
        ASSERT_EQ(object->QueryInterface(IID_IAAXEffectGUIV1, &found), ACF_OK);
        auto* second = static_cast<AAX_IACFEffectGUI*>(found);
        ASSERT_EQ(second->Initialize(&host), AAX_SUCCESS);
        FakeViewContainer secondContainer(AAX_eViewContainer_Type_Offscreen, nullptr);
        second->SetViewContainer(&secondContainer);
        ASSERT_NE(static_cast<RovuRiza_GUI*>(second)->GetRovuRizaView(), nullptr);
        second->SetViewContainer(nullptr);
        EXPECT_EQ(secondContainer.Refs(), 0);
        second->Uninitialize();
        EXPECT_EQ(second->Release(), 0u);
    }
    EXPECT_EQ(CBitmap::getLoadCount(), loads);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), alive);
    EXPECT_EQ(params.Refs(), 1) << "only the first editor still holds the data model";
}

TEST_F(EditorTest, ReplacingAnOpenContainerTearsTheOldViewDownFirst)
{
    RovuRiza_View* first = Open();
    ASSERT_NE(first, nullptr);
    FakeViewContainer second(AAX_eViewContainer_Type_Offscreen, nullptr);
    editor->SetViewContainer(&second);
    EXPECT_EQ(container.Refs(), 0);
    RovuRiza_View* view = gui->GetRovuRizaView();
    ASSERT_NE(view, nullptr);
    Click(kGainCentre, kLButton);
    EXPECT_TRUE(container.calls.empty());
    EXPECT_FALSE(second.calls.empty());
    // Released without closing: the editor tears down its own view.
    editor->Release();
    editor = nullptr;
    EXPECT_EQ(second.Refs(), 0);
    EXPECT_EQ(params.Refs(), 0);
}
} // namespace
