// The amp's data model through the host-facing interface: the parameter table, value flow,
// packets for every port, framework operations and their failure codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "AAX_CString.h"
#include "Converter/RovuRiza_ConverterCoefficients.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"
#include "TestHost.h"

namespace
{
using tavelo::host::AutomationEvent;
using tavelo::host::PostedPacket;

const PostedPacket* FindPost(const std::vector<PostedPacket>& inPosts, AAX_CFieldIndex inPort)
{
    for (const PostedPacket& post : inPosts)
        if (post.port == inPort) return &post;
    return nullptr;
}

template <typename T> T At(const PostedPacket& inPost, size_t inOffset)
{
    T value;
    std::memcpy(&value, inPost.payload.data() + inOffset, sizeof value);
    return value;
}
} // namespace

TEST(DataModel, ParameterTable)
{
    test::AmpInstance instance;
    ASSERT_EQ(instance.initializeResult, AAX_SUCCESS);
    auto* model = instance.model;
    int32_t count = 0;
    model->GetNumberOfParameters(&count);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(instance.amp->NumChunkedParameters(), 7);

    const struct
    {
        const char* id;
        const char* name;
        double def;
        int32_t steps;
        AAX_EParameterType type;
        const char* text;
    } rows[] = {
        {"MasterBypassID", "Master Bypass", 0.0, 2, AAX_eParameterType_Discrete, "bypass"},
        {"Gain", "Gain", double(0.2f), 131, AAX_eParameterType_Continuous, "0.20"},
        {"Tremolo", "Tremolo", 0.0, 131, AAX_eParameterType_Continuous, "0.00"},
        {"Tone", "Tone", 0.5, 131, AAX_eParameterType_Continuous, "0.50"},
        {"Rate", "Rate", double(0.2f), 131, AAX_eParameterType_Continuous, "0.20"},
        {"Volume", "Volume", double(0.8f), 131, AAX_eParameterType_Continuous, "0.80"},
        {"Sound", "Microphone", 0.0, 100, AAX_eParameterType_Continuous, "0.00"},
        {"Pickup", "Pickup", 0.0, 100, AAX_eParameterType_Continuous, "0.00"},
    };
    for (int32_t index = 0; index < 8; ++index)
    {
        const auto& row = rows[index];
        SCOPED_TRACE(row.id);
        AAX_CString text;
        EXPECT_EQ(model->GetParameterIDFromIndex(index, &text), AAX_SUCCESS);
        EXPECT_STREQ(text.Get(), row.id);
        int32_t found = -1;
        EXPECT_EQ(model->GetParameterIndex(row.id, &found), AAX_SUCCESS);
        EXPECT_EQ(found, index);
        model->GetParameterName(row.id, &text);
        EXPECT_STREQ(text.Get(), row.name);
        double value = -1.0;
        model->GetParameterDefaultNormalizedValue(row.id, &value);
        EXPECT_EQ(value, row.def);
        model->GetParameterNormalizedValue(row.id, &value);
        EXPECT_EQ(value, row.def);
        int32_t steps = 0;
        model->GetParameterNumberOfSteps(row.id, &steps);
        EXPECT_EQ(steps, row.steps);
        AAX_EParameterType type = AAX_eParameterType_Continuous;
        model->GetParameterType(row.id, &type);
        EXPECT_EQ(type, row.type);
        int32_t orientation = -1;
        model->GetParameterOrientation(row.id, &orientation);
        EXPECT_EQ(orientation, 0);
        AAX_CBoolean automatable = 0;
        model->GetParameterIsAutomatable(row.id, &automatable);
        EXPECT_EQ(automatable, 1);
        model->GetParameterValueString(row.id, &text, 8);
        EXPECT_STREQ(text.Get(), row.text);
        EXPECT_TRUE(instance.host->Automation().IsRegistered(row.id));
    }

    AAX_CString bypass;
    model->GetMasterBypassParameter(&bypass);
    EXPECT_STREQ(bypass.Get(), "MasterBypassID");
    model->SetParameterNormalizedValue("MasterBypassID", 1.0);
    instance.Confirm();
    AAX_CString text;
    model->GetParameterValueString("MasterBypassID", &text, 8);
    EXPECT_STREQ(text.Get(), "on");

    // The converter coefficients are the generated design in single precision.
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(instance.amp->FourthBandEll8Rev()[i],
                  float(RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[i]));
        EXPECT_EQ(instance.amp->FourthBandEll8Fw()[i],
                  float(RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[i]));
    }
}

TEST(DataModel, UnmatchedIdentifiersAndNames)
{
    test::AmpInstance instance;
    auto* model = instance.model;
    AAX_CString text("stale");
    int32_t index = 5;
    EXPECT_EQ(model->GetParameterIndex("Bass", &index), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(model->GetParameterIndex(nullptr, &index), AAX_ERROR_INVALID_PARAMETER_ID);
    for (int32_t bad : {-1, 8})
    {
        text.Set("stale");
        EXPECT_EQ(model->GetParameterIDFromIndex(bad, &text), AAX_ERROR_INVALID_PARAMETER_ID);
        EXPECT_STREQ(text.Get(), "");
    }
    double value = 0.0;
    EXPECT_EQ(model->GetParameterNormalizedValue("Bass", &value), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(model->SetParameterNormalizedValue(nullptr, 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(model->UpdateParameterNormalizedValue("Bass", 0.5, AAX_eUpdateSource_Unspecified),
              AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(model->TouchParameter("Bass"), AAX_ERROR_INVALID_PARAMETER_ID);
    EXPECT_EQ(model->GetParameterName("Bass", &text), AAX_SUCCESS);
    EXPECT_STREQ(text.Get(), "");
    EXPECT_EQ(model->GetParameterValueFromString("Gain", &value, AAX_CString("loud")),
              AAX_ERROR_INVALID_STRING_CONVERSION);
    EXPECT_EQ(model->GetParameterValueFromString("Gain", &value, AAX_CString("0.25")), AAX_SUCCESS);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(model->GetParameterStringFromValue("Volume", 0.5, &text, 3), AAX_SUCCESS);
    EXPECT_STREQ(text.Get(), "0.5");
    int32_t info = 9;
    EXPECT_EQ(model->GetParameterValueInfo("Gain", 0, &info), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(info, 0);

    // Names cut to a length.
    const struct
    {
        int32_t length;
        const char* name;
    } cases[] = {{6, "Master"}, {0, ""}, {20, "Master Bypass"}, {-4, ""}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(model->GetParameterNameOfLength("MasterBypassID", &text, c.length), AAX_SUCCESS);
        EXPECT_STREQ(text.Get(), c.name) << c.length;
    }
    EXPECT_EQ(model->GetParameterNameOfLength("MasterBypassID", nullptr, 5), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(model->GetParameterNameOfLength("Bass", &text, 5), AAX_SUCCESS);
    EXPECT_STREQ(text.Get(), "");

    AAX_CTypeID chunkID = 0;
    int32_t chunks = 0;
    model->GetNumberOfChunks(&chunks);
    EXPECT_EQ(chunks, 1);
    EXPECT_EQ(model->GetChunkIDFromIndex(0, &chunkID), AAX_SUCCESS);
    uint32_t written = 77;
    EXPECT_EQ(model->GetCustomData(AAX_FourCC("abcd"), 16, nullptr, &written), AAX_SUCCESS);
    EXPECT_EQ(written, 77u);
}

TEST(DataModel, RelativeChangesAndChangeCount)
{
    test::AmpInstance instance;
    auto* model = instance.model;
    model->SetParameterNormalizedValue("Tone", 0.9);
    instance.Confirm();
    model->SetParameterNormalizedRelative("Tone", 0.3);
    auto requests = instance.host->Automation().TakePendingRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].value, 1.0);

    model->UpdateParameterNormalizedValue("Tone", 0.1, AAX_eUpdateSource_Unspecified);
    model->UpdateParameterNormalizedRelative("Tone", -0.5);
    double tone = 1.0;
    model->GetParameterNormalizedValue("Tone", &tone);
    EXPECT_EQ(tone, 0.0);
    EXPECT_EQ(model->SetParameterNormalizedRelative("Bass", 0.1), AAX_ERROR_INVALID_PARAMETER_ID);

    int32_t before = 0, after = 0;
    model->GetNumberOfChanges(&before);
    instance.Dispatch();
    // The same value again: not counted, but the packet is still rebuilt.
    model->UpdateParameterNormalizedValue("Tone", 0.0, AAX_eUpdateSource_Unspecified);
    model->GetNumberOfChanges(&after);
    EXPECT_EQ(after, before);
    EXPECT_NE(FindPost(instance.Dispatch(), RovuRiza_Field::kTone), nullptr);
}

TEST(DataModel, PacketsForEveryPort)
{
    test::AmpInstance instance(96000.0);
    const auto first = instance.Dispatch();
    // Ports 0 to 7, each once; port 5 comes from the voicing builder.
    std::vector<AAX_CFieldIndex> ports;
    for (const auto& post : first)
        ports.push_back(post.port);
    std::sort(ports.begin(), ports.end());
    EXPECT_EQ(ports, (std::vector<AAX_CFieldIndex>{0, 1, 2, 3, 4, 5, 6, 7}));

    const PostedPacket* bypass = FindPost(first, RovuRiza_Field::kBypass);
    ASSERT_NE(bypass, nullptr);
    EXPECT_EQ(bypass->payload.size(), 4u);
    EXPECT_EQ(At<int32_t>(*bypass, 0), 0);
    const PostedPacket* gain = FindPost(first, RovuRiza_Field::kGainTremolo);
    ASSERT_EQ(gain->payload.size(), 8u);
    EXPECT_EQ(At<float>(*gain, 0), 0.2f);
    EXPECT_EQ(At<float>(*gain, 4), 0.0f);
    EXPECT_EQ(At<float>(*FindPost(first, RovuRiza_Field::kVolume), 0), 0.8f);
    const PostedPacket* sound = FindPost(first, RovuRiza_Field::kSound);
    ASSERT_EQ(sound->payload.size(), RovuRiza_Field::kVoicingPayloadSize);
    EXPECT_EQ(At<int32_t>(*sound, 0), 100);
    // Above 66000 Hz the voicing comes from the high-rate family.
    EXPECT_EQ(At<const float*>(*sound, 8), RovuRiza_VoicingTable(0, 96000.0));

    EXPECT_TRUE(instance.Dispatch().empty());

    // Gain and Tremolo together: port 1 once, carrying both current values.
    instance.model->SetParameterNormalizedValue("Gain", 0.7);
    instance.model->SetParameterNormalizedValue("Tremolo", 0.4);
    instance.model->SetParameterNormalizedValue("MasterBypassID", 0.6);
    instance.Confirm();
    const auto changed = instance.Dispatch();
    ASSERT_EQ(changed.size(), 2u);
    const PostedPacket* pair = FindPost(changed, RovuRiza_Field::kGainTremolo);
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(At<float>(*pair, 0), 0.7f);
    EXPECT_EQ(At<float>(*pair, 4), 0.4f);
    EXPECT_EQ(At<int32_t>(*FindPost(changed, RovuRiza_Field::kBypass), 0), 1);

    // A value past the last voicing selects it, as the menu shows; port 5 keeps the raw value.
    instance.model->SetParameterNormalizedValue("Sound", 0.5);
    instance.Confirm();
    const auto pastTheLast = instance.Dispatch();
    ASSERT_NE(FindPost(pastTheLast, RovuRiza_Field::kSoundValue), nullptr);
    EXPECT_EQ(At<float>(*FindPost(pastTheLast, RovuRiza_Field::kSoundValue), 0), 0.5f);
    EXPECT_EQ(At<const float*>(*FindPost(pastTheLast, RovuRiza_Field::kSound), 8),
              RovuRiza_VoicingTable(kRovuRizaVoicingCount - 1, 96000.0));
}

TEST(DataModel, ResetFieldDataFillsOnlyPrivateFields)
{
    test::AmpInstance instance(44100.0);
    std::vector<uint8_t> poles(RovuRiza_Field::kSectionPolesSize, 0xAB);
    EXPECT_EQ(instance.model->ResetFieldData(RovuRiza_Field::kSectionPoles, poles.data(),
                                             uint32_t(poles.size())),
              AAX_SUCCESS);
    RovuRiza_SectionPoles record;
    std::memcpy(&record, poles.data(), sizeof record);
    EXPECT_EQ(poles[0], 0xAB); // leading words are not written
    EXPECT_LT(record.poleA2[0], 1.0f);
    EXPECT_GT(record.poleA2[0], 0.0f);

    std::vector<uint8_t> other(16, 0xCD);
    instance.model->ResetFieldData(RovuRiza_Field::kGainTremolo, other.data(), 16);
    EXPECT_EQ(other, std::vector<uint8_t>(16, 0xCD));
    EXPECT_EQ(instance.model->ResetFieldData(RovuRiza_Field::kModelState, nullptr, 0), AAX_SUCCESS);
}

TEST(DataModel, UninitializeLeavesAnEmptySafeModel)
{
    test::AmpInstance instance;
    instance.model->Uninitialize();
    int32_t count = 9;
    instance.model->GetNumberOfParameters(&count);
    EXPECT_EQ(count, 0);
    AAX_CString name("stale");
    instance.model->GetParameterName("Gain", &name);
    EXPECT_STREQ(name.Get(), "");
    // The parameters unregistered themselves, and no packet goes to a host that is gone.
    EXPECT_EQ(instance.host->Automation().RegisteredCount(), 0u);
    instance.host->TakePostedPackets();
    instance.model->GenerateCoefficients();
    EXPECT_TRUE(instance.host->TakePostedPackets().empty());
}

TEST(DataModel, InterfaceQueriesAndReferenceCounting)
{
    const int32_t before = CACFUnknown::GetActiveObjectCount();
    IACFUnknown* created = RovuRiza_Parameters::Create();
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);
    created->AddRef();
    for (const acfIID* iid :
         {&IID_IAAXEffectParametersV1, &IID_IAAXEffectParametersV2, &IID_IAAXEffectParametersV3,
          &IID_IAAXEffectParametersV4, &IID_IACFUnknown})
    {
        void* found = nullptr;
        EXPECT_EQ(created->QueryInterface(*iid, &found), ACF_OK);
        ASSERT_NE(found, nullptr);
        static_cast<IACFUnknown*>(found)->Release();
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(created->QueryInterface(IID_IAAXEffectGUIV1, &none), ACF_E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    // Released without Initialize or Uninitialize: nothing leaks, nothing crashes.
    created->Release();
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(HostObject, RefusesUndeclaredPortsAndOversizePayloadsAndTracksTouch)
{
    auto* host = tavelo::host::HostController::Create(48000.0, AAX_eStemFormat_Mono, "x", {{1, 8}});
    const uint8_t bytes[16] = {1, 2, 3};
    EXPECT_EQ(host->PostPacket(2, bytes, 4), AAX_ERROR_INVALID_FIELD_INDEX);
    EXPECT_EQ(host->PostPacket(1, bytes, 16), AAX_ERROR_POST_PACKET_FAILED);
    EXPECT_EQ(host->PostPacket(1, nullptr, 4), AAX_ERROR_POST_PACKET_FAILED);
    EXPECT_EQ(host->PostPacket(1, bytes, 8), AAX_SUCCESS);
    EXPECT_EQ(host->PostLog().size(), 1u);

    AAX_CBoolean touched = 0;
    host->PostTouchRequest("Gain");
    host->GetTouchState("Gain", &touched);
    EXPECT_EQ(touched, 1);
    host->PostReleaseRequest("Gain");
    host->GetTouchState("Gain", &touched);
    EXPECT_EQ(touched, 0);
    EXPECT_EQ(host->PostSetValueRequest(nullptr, 0.5), AAX_ERROR_INVALID_PARAMETER_ID);

    // Without a data model the effect-parameters identifiers are not answered.
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(host->QueryInterface(IID_IAAXEffectParametersV1, &none), ACF_E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    host->Release();
}
