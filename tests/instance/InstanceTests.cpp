// The real bundle, loaded and instantiated by the stand-in host.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "AAX_IMIDINode.h"
#include "AAX_UIDs.h"
#include "Engine/RovuRiza_Engine.h"
#include "HostError.h"
#include "HostInstance.h"
#include "PluginBundle.h"

namespace
{
using namespace tavelo::host;

// What the render callback saw in its context on the last call.
struct Seen
{
    float gain = -1.0f;
    float tremolo = -1.0f;
    int32_t bufferLength = -1;
    std::vector<AAX_CMidiPacket> midi;
};
Seen gSeen;

void SpyRenderCallback(void* const inInstancesBegin[], const void* inInstancesEnd)
{
    ASSERT_EQ(static_cast<const void*>(inInstancesBegin + 1), inInstancesEnd);
    auto* const* fields = static_cast<void* const*>(inInstancesBegin[0]);
    const auto* gainTremolo = static_cast<const float*>(fields[1]);
    gSeen.gain = gainTremolo[0];
    gSeen.tremolo = gainTremolo[1];
    gSeen.bufferLength = *static_cast<const int32_t*>(fields[11]);
    auto* node = static_cast<AAX_IMIDINode*>(fields[13]);
    const AAX_CMidiStream* stream = node->GetNodeBuffer();
    gSeen.midi.assign(stream->mBuffer, stream->mBuffer + stream->mBufferSize);
}

class InstanceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        sBundle = PluginBundle::Load(PluginBundle::DefaultBundlePath());
    }
    static void TearDownTestSuite() { sBundle.reset(); }

    std::unique_ptr<HostInstance> Make(AAX_EStemFormat inStem = AAX_eStemFormat_Mono,
                                       double inRate = 48000.0, int32_t inBlock = 64)
    {
        InstanceOptions options;
        options.stemFormat = inStem;
        options.sampleRate = inRate;
        options.blockSize = inBlock;
        return HostInstance::Create(sBundle->Effect(), options);
    }

    static std::unique_ptr<PluginBundle> sBundle;
};
std::unique_ptr<PluginBundle> InstanceTest::sBundle;
} // namespace

TEST_F(InstanceTest, GainReachesTheRenderCallbackAfterTheHostConfirms)
{
    auto instance = Make();
    std::vector<std::string> told;
    instance->SetParameterUpdatedListener([&](const std::string& id) { told.push_back(id); });

    ASSERT_EQ(instance->Parameters()->SetParameterNormalizedValue("Gain", 0.6), AAX_SUCCESS);
    double gain = 0.0;
    instance->GetParameter("Gain", &gain);
    EXPECT_EQ(gain, double(0.2f)); // a request, not yet a value
    const auto requests = instance->Automation().EventsOfKind(AutomationEvent::SetValueRequest);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].parameterID, "Gain");

    EXPECT_EQ(instance->Update(), 1);
    EXPECT_EQ(told, std::vector<std::string>{"Gain"});
    instance->GetParameter("Gain", &gain);
    EXPECT_EQ(gain, double(0.6f));

    instance->Renderer().SetProcessProc(&SpyRenderCallback);
    std::vector<float> in(100, 0.0f), out(100, 1.0f);
    const float* inputs[1] = {in.data()};
    float* outputs[1] = {out.data()};
    instance->Process(inputs, outputs, 100);
    EXPECT_EQ(gSeen.gain, 0.6f);
    EXPECT_EQ(gSeen.tremolo, 0.0f);
    EXPECT_EQ(gSeen.bufferLength, 36); // 100 samples in blocks of 64
    EXPECT_EQ(instance->Renderer().RenderCount(), 2u);

    // Every port holds the last packet posted for it.
    int32_t sectionCount = 0;
    std::memcpy(&sectionCount, instance->Renderer().PortData(7), sizeof sectionCount);
    EXPECT_EQ(sectionCount, 100);
    EXPECT_EQ(instance->Renderer().PortSize(7), 1616u);
}

TEST_F(InstanceTest, RendersTheAmpInMonoAndStereo)
{
    for (const AAX_EStemFormat stem : {AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo})
    {
        auto instance = Make(stem, 44100.0, 256);
        const int32_t channels = instance->Channels();
        const int64_t frames = 4410;
        const size_t count = size_t(frames);
        std::vector<std::vector<float>> in(size_t(channels), std::vector<float>(count, 0.0f));
        std::vector<std::vector<float>> out(size_t(channels), std::vector<float>(count, NAN));
        for (int64_t i = 0; i < frames; ++i)
            in[0][size_t(i)] = 0.3f * std::sin(2.0f * 3.14159265f * 220.0f * float(i) / 44100.0f);
        const float* inputs[2] = {in[0].data(), channels > 1 ? in[1].data() : nullptr};
        float* outputs[2] = {out[0].data(), channels > 1 ? out[1].data() : nullptr};
        instance->Process(inputs, outputs, frames);
        double energy = 0.0;
        for (float s : out[0])
        {
            ASSERT_TRUE(std::isfinite(s));
            energy += double(s) * s;
        }
        EXPECT_GT(energy, 0.0);
        if (channels > 1)
        {
            EXPECT_EQ(out[0], out[1]);
        }
    }
}

TEST_F(InstanceTest, ExpressionArrivesAtItsTimestamp)
{
    auto instance = Make(AAX_eStemFormat_Mono, 48000.0, 64);
    instance->Renderer().SetProcessProc(&SpyRenderCallback);
    instance->SendExpression(70, 127, 3);
    std::vector<float> buffer(128, 0.0f);
    float* io[1] = {buffer.data()};
    instance->Process(io, io, 64);
    EXPECT_TRUE(gSeen.midi.empty());
    instance->Process(io, io, 64);
    ASSERT_EQ(gSeen.midi.size(), 1u);
    EXPECT_EQ(gSeen.midi[0].mTimestamp, 6u);
    EXPECT_EQ(gSeen.midi[0].mData[0], 0xB3);
    EXPECT_EQ(gSeen.midi[0].mData[1], 11);
    EXPECT_EQ(gSeen.midi[0].mData[2], 127);
}

TEST_F(InstanceTest, ChunkRecordsRoundTripAndBadRecordsAreRefused)
{
    auto source = Make();
    source->SetParameter("Volume", 0.35);
    source->SetParameter("Sound", 0.05);
    AAX_Result result = -1;
    const std::vector<uint8_t> record = source->GetChunk(&result);
    ASSERT_EQ(result, AAX_SUCCESS);
    ASSERT_EQ(record.size(), 56u + 128u);

    auto target = Make(AAX_eStemFormat_Stereo);
    bool equal = true;
    ASSERT_EQ(target->CompareChunk(record, &equal), AAX_SUCCESS);
    EXPECT_FALSE(equal);
    ASSERT_EQ(target->SetChunk(record), AAX_SUCCESS);
    target->CompareChunk(record, &equal);
    EXPECT_TRUE(equal);
    double volume = 0.0;
    target->GetParameter("Volume", &volume);
    EXPECT_EQ(volume, double(0.35f));

    // A record shorter than its header or than the size it announces never reaches the model.
    std::vector<uint8_t> cut(record.begin(), record.end() - 1);
    EXPECT_EQ(target->SetChunk(cut), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_EQ(target->SetChunk(std::vector<uint8_t>(10, 0)), AAX_ERROR_MALFORMED_CHUNK);
    EXPECT_EQ(target->CompareChunk(cut, &equal), AAX_ERROR_MALFORMED_CHUNK);
}

TEST_F(InstanceTest, HostObjectHandsOutTheDataModelAndListsParameters)
{
    auto instance = Make();
    void* found = nullptr;
    ASSERT_EQ(instance->HostUnknown()->QueryInterface(IID_IAAXEffectParametersV1, &found), ACF_OK);
    EXPECT_EQ(found, static_cast<void*>(instance->Parameters()));
    static_cast<IACFUnknown*>(found)->Release();
    void* controller = nullptr;
    ASSERT_EQ(instance->HostUnknown()->QueryInterface(IID_IAAXControllerV1, &controller), ACF_OK);
    static_cast<IACFUnknown*>(controller)->Release();

    const auto list = instance->ListParameters();
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0].identifier, "MasterBypassID");
    EXPECT_EQ(list[0].valueString, "bypass");
    EXPECT_EQ(list[5].valueString, "0.80");
    EXPECT_EQ(list[6].name, "Microphone");
    EXPECT_EQ(list[6].steps, 100);
    EXPECT_EQ(instance->SetParameter("Bass", 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
}

TEST_F(InstanceTest, RefusesUnsupportedSetUps)
{
    EXPECT_THROW(Make(AAX_eStemFormat_Mono, 8000.0), HostError);
    EXPECT_THROW(Make(AAX_eStemFormat_Mono, NAN), HostError);
    EXPECT_THROW(Make(AAX_EStemFormat(3)), HostError);
    EXPECT_THROW(Make(AAX_eStemFormat_Mono, 48000.0, 0), HostError);
    auto instance = Make(AAX_eStemFormat_Mono, 48000.0, 64);
    std::vector<float> buffer(64, 0.0f);
    float* io[1] = {buffer.data()};
    EXPECT_THROW(instance->Renderer().Render(io, io, 65), HostError);
}

// The engine facade is the render path hosts that own their instance use: it must sound exactly
// like the bundle on the stand-in host, however its caller splits the blocks.
TEST_F(InstanceTest, EngineFacadeEqualsTheBundleForAnyBlockSizes)
{
    struct Case
    {
        AAX_EStemFormat stem;
        double rate;
        std::vector<std::pair<const char*, float>> controls;
    };
    const Case cases[] = {
        {AAX_eStemFormat_Mono, 48000.0, {}},
        {AAX_eStemFormat_Stereo,
         44100.0,
         {{"Gain", 0.75f}, {"Tremolo", 0.5f}, {"Sound", 0.25f}, {"Pickup", 0.5f}}},
        {AAX_eStemFormat_Mono, 96000.0, {{"Tone", 0.125f}, {"Sound", 0.0625f}, {"Rate", 1.0f}}},
    };
    std::mt19937 random(7);
    for (const Case& c : cases)
    {
        auto instance = Make(c.stem, c.rate, 512);
        const int channels = instance->Channels();
        RovuRiza_Engine engine;
        ASSERT_TRUE(engine.prepare(c.rate, channels));
        for (const auto& [id, value] : c.controls)
        {
            ASSERT_EQ(instance->SetParameter(id, value), AAX_SUCCESS);
            for (int k = 0; k < kRovuRizaControlCount; ++k)
                if (std::string(kRovuRizaControls[k].identifier) == id)
                    engine.setControl(RovuRiza_Control(k), value);
        }
        const size_t frames = size_t(c.rate); // one second
        const size_t pedalAt = frames / 3;
        std::vector<float> in[2], host[2], facade[2];
        for (int ch = 0; ch < 2; ++ch)
        {
            in[ch].resize(frames);
            host[ch].assign(frames, NAN);
            facade[ch].assign(frames, NAN);
        }
        for (size_t i = 0; i < frames; ++i)
        {
            const double t = double(i) / c.rate;
            in[0][i] = float(0.4 * std::sin(2 * M_PI * 196.0 * t) * std::exp(-2.0 * t) +
                             0.2 * std::sin(2 * M_PI * 659.3 * t));
            in[1][i] = 0.1f * in[0][i];
        }
        instance->SendExpression(int64_t(pedalAt), 100, 5);
        const float* inputs[2] = {in[0].data(), in[1].data()};
        float* hostOut[2] = {host[0].data(), host[1].data()};
        instance->Process(inputs, hostOut, int64_t(frames));

        for (size_t done = 0; done < frames;)
        {
            const size_t n = std::min(frames - done, size_t(1 + random() % 4096));
            const float* blockIn[2] = {in[0].data() + done, in[1].data() + done};
            float* blockOut[2] = {facade[0].data() + done, facade[1].data() + done};
            const RovuRiza_MidiEvent pedal{uint32_t(pedalAt - done), {0xB5, 11, 100}};
            const bool due = pedalAt >= done && pedalAt < done + n;
            engine.process(blockIn, blockOut, uint32_t(n), due ? &pedal : nullptr, due ? 1 : 0);
            done += n;
        }
        for (int ch = 0; ch < channels; ++ch)
            EXPECT_EQ(std::memcmp(host[ch].data(), facade[ch].data(), frames * sizeof(float)), 0)
                << "channel " << ch << " at " << c.rate << " Hz";
        EXPECT_GT(*std::max_element(facade[0].begin(), facade[0].end()), 0.01f);

        // A reset engine starts over exactly like a fresh one.
        RovuRiza_Engine fresh;
        ASSERT_TRUE(fresh.prepare(c.rate, channels));
        engine.reset();
        std::vector<float> a(4096), b(4096);
        float* outA[2] = {a.data(), a.data()};
        float* outB[2] = {b.data(), b.data()};
        engine.process(inputs, outA, 4096);
        fresh.process(inputs, outB, 4096);
        EXPECT_EQ(a, b);
    }

    RovuRiza_Engine engine;
    std::string error;
    EXPECT_FALSE(engine.prepare(8000.0, 1, &error));
    EXPECT_NE(error.find("16000 to 192000 Hz"), std::string::npos) << error;
    EXPECT_FALSE(engine.prepare(48000.0, 3, &error));
    EXPECT_FALSE(engine.prepared());
}
