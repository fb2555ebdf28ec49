#include "Engine/RovuRiza_Engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "AAX_IMIDINode.h"
#include "Converter/RovuRiza_ConverterCoefficients.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "Engine/RovuRiza_EngineProbe.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
struct FreeDeleter
{
    void operator()(void* p) const noexcept { std::free(p); }
};

template <class Record> std::unique_ptr<Record, FreeDeleter> AllocateBlock(uint32_t size)
{
    // aligned_alloc wants a multiple of the alignment; the declared size is what gets set up.
    const size_t rounded = (size_t(size) + 63) / 64 * 64;
    void* p = std::aligned_alloc(64, rounded);
    if (p == nullptr) throw std::bad_alloc();
    return std::unique_ptr<Record, FreeDeleter>(static_cast<Record*>(p));
}

// The packets of one process call, in the MIDI node the render callback reads.
class EngineMidiNode final : public AAX_IMIDINode
{
public:
    static constexpr uint32_t kCapacity = 256;

    AAX_CMidiStream* GetNodeBuffer() override { return &mStream; }

    void clear() noexcept
    {
        mStream.mBuffer = mPackets.data();
        mStream.mBufferSize = 0;
    }
    bool full() const noexcept { return mStream.mBufferSize == kCapacity; }
    const AAX_CMidiPacket* last() const noexcept
    {
        return mStream.mBufferSize > 0 ? &mPackets[mStream.mBufferSize - 1] : nullptr;
    }
    // A later message at the frame of the last one overwrites it: the render applies both
    // before that frame's sample, so only the later one is ever heard.
    void add(uint32_t timestamp, const uint8_t data[3]) noexcept
    {
        AAX_CMidiPacket* p = &mPackets[mStream.mBufferSize];
        if (mStream.mBufferSize > 0 && mPackets[mStream.mBufferSize - 1].mTimestamp == timestamp)
            p = &mPackets[mStream.mBufferSize - 1];
        else
            ++mStream.mBufferSize;
        p->mTimestamp = timestamp;
        p->mLength = 3;
        std::memcpy(p->mData, data, 3);
        p->mData[3] = 0;
        p->mIsImmediate = false;
    }

private:
    std::array<AAX_CMidiPacket, kCapacity> mPackets{};
    AAX_CMidiStream mStream{};
};

bool IsExpression(const RovuRiza_MidiEvent& e) noexcept
{
    return (e.data[0] & 0xF0) == 0xB0 && e.data[1] == 11;
}

// The converter filter's group delay at DC, in internal steps.
double FilterDelaySteps()
{
    using namespace RovuRiza_ConverterDesign;
    double b = 0.0, kb = 0.0, a = 1.0, ka = 0.0;
    for (int k = 0; k < 9; ++k)
    {
        b += globalkFourthBandEll8Fw[k];
        kb += k * globalkFourthBandEll8Fw[k];
        if (k > 0)
        {
            a -= globalkFourthBandEll8Revmeno[k];
            ka -= k * globalkFourthBandEll8Revmeno[k];
        }
    }
    return kb / b - ka / a;
}
} // namespace

struct RovuRiza_Engine::Instance
{
    double sampleRate = 0.0;
    int channels = 1;
    uint32_t latency = 0;
    float recursive[9] = {};
    float forward[9] = {};
    std::unique_ptr<RovuRiza_ModelState, FreeDeleter> state;
    std::unique_ptr<RovuRiza_SectionPoles, FreeDeleter> poles;
    std::array<RovuRiza_VoicingPayload, kRovuRizaVoicingCount> voicings{};

    // The data ports, as the AAX host would deliver them.
    float controls[kRovuRizaControlCount] = {};
    int32_t bypass = 0;
    float gainTremolo[2] = {};
    float tone = 0.0f, rate = 0.0f, volume = 0.0f, soundValue = 0.0f, pickup = 0.0f;
    int32_t bufferLength = 0;
    float contextRate = 0.0f;
    float* inputs[2] = {};
    float* outputs[2] = {};
    EngineMidiNode midi;
    SRovuRiza_Alg_Context context{};
    RovuRiza_EngineProbe::MonoRender monoRender = nullptr; // tests only

    void setUpBlocks() noexcept { setUpBlocksAt(float(sampleRate)); }
    void setUpBlocksAt(float fs) noexcept
    {
        contextRate = fs;
        RovuRiza_SetUpModelState(state.get(), RovuRiza_Field::kModelStateSize, fs, recursive,
                                 forward);
        RovuRiza_SetUpSectionPoles(poles.get(), RovuRiza_Field::kSectionPolesSize, fs);
    }

    // The port a plain control's value goes to; Bypass and Sound are translated instead.
    float* port(RovuRiza_Control control) noexcept
    {
        float* const ports[kRovuRizaControlCount] = {
            nullptr, &gainTremolo[0], &gainTremolo[1], &tone, &rate, &volume, &soundValue, &pickup};
        return ports[int(control)];
    }

    void set(RovuRiza_Control control, float value) noexcept
    {
        if (std::isnan(value)) return;
        value = std::clamp(value, 0.0f, 1.0f);
        controls[int(control)] = value;
        if (control == RovuRiza_Control::kBypass)
        {
            bypass = value >= 0.5f ? 1 : 0;
            return;
        }
        *port(control) = value;
        if (control == RovuRiza_Control::kSound)
        {
            // A value naming no voicing keeps the one playing, as the payload builder does.
            const int index = RovuRiza_VoicingIndexFromValue(value);
            if (index >= 0) context.ctrlSound = &voicings[size_t(index)];
        }
    }

    void setDefaults() noexcept
    {
        for (int c = 0; c < kRovuRizaControlCount; ++c)
            set(RovuRiza_Control(c), kRovuRizaControls[c].defaultValue);
    }

    void wire() noexcept
    {
        context.ctrlBypass = &bypass;
        context.ctrlGainTremolo = gainTremolo;
        context.ctrlTone = &tone;
        context.ctrlRate = &rate;
        context.ctrlVolume = &volume;
        context.ctrlSoundValue = &soundValue;
        context.ctrlPickup = &pickup;
        context.sectionPoles = poles.get();
        context.audioIn = inputs;
        context.audioOut = outputs;
        context.bufferLength = &bufferLength;
        context.sampleRate = &contextRate;
        context.midiIn = &midi;
        context.modelState = state.get();
    }

    void render(uint32_t offset, uint32_t frames) noexcept
    {
        for (int c = 0; c < 2; ++c)
        {
            inputs[c] += offset;
            outputs[c] += offset;
        }
        bufferLength = int32_t(frames);
        SRovuRiza_Alg_Context* const list[1] = {&context};
        if (monoRender != nullptr && channels == 1)
            monoRender(context);
        else if (channels == 1)
            RovuRiza_AlgorithmProcessFunction<1, 1>(list, list + 1);
        else
            RovuRiza_AlgorithmProcessFunction<2, 2>(list, list + 1);
        for (int c = 0; c < 2; ++c)
        {
            inputs[c] -= offset;
            outputs[c] -= offset;
        }
    }
};

RovuRiza_Engine::RovuRiza_Engine() = default;
RovuRiza_Engine::~RovuRiza_Engine() = default;

double RovuRiza_Engine::ConverterDelay(double sampleRate)
{
    // The input is read one host sample late and the output one internal step late, and the
    // step between them adds one more; the filter in and the filter out each add their delay.
    const double internalRate = 192000.0;
    const double seconds = (2.0 * FilterDelaySteps() + 2.0) / internalRate + 1.0 / sampleRate;
    return seconds * sampleRate;
}

bool RovuRiza_Engine::prepare(double sampleRate, int channels, std::string* error)
{
    auto fail = [error](const std::string& why)
    {
        if (error) *error = why;
        return false;
    };
    if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate))
    {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.6g", sampleRate);
        return fail(std::string("unsupported sample rate ") + rate +
                    " Hz: Tavelo1 runs at 16000 to 192000 Hz");
    }
    if (channels != 1 && channels != 2)
        return fail("unsupported channel count " + std::to_string(channels) +
                    ": Tavelo1 is mono (1) or stereo (2)");

    auto instance = std::make_unique<Instance>();
    instance->sampleRate = sampleRate;
    instance->channels = channels;
    instance->latency = uint32_t(std::lround(ConverterDelay(sampleRate)));
    for (int k = 0; k < 9; ++k)
    {
        instance->recursive[k] = float(RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[k]);
        instance->forward[k] = float(RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[k]);
    }
    instance->state = AllocateBlock<RovuRiza_ModelState>(RovuRiza_Field::kModelStateSize);
    instance->poles = AllocateBlock<RovuRiza_SectionPoles>(RovuRiza_Field::kSectionPolesSize);
    for (int v = 0; v < kRovuRizaVoicingCount; ++v)
        RovuRiza_BuildVoicingPayload(float(v) * 0.01f, sampleRate, instance->voicings[size_t(v)]);
    instance->setUpBlocks();
    instance->wire();
    instance->setDefaults();
    instance->midi.clear();
    mInstance = std::move(instance);
    return true;
}

void RovuRiza_Engine::reset() noexcept
{
    if (!mInstance) return;
    mInstance->setUpBlocks();
    mInstance->setDefaults();
}

void RovuRiza_Engine::setControl(RovuRiza_Control control, float value) noexcept
{
    if (mInstance) mInstance->set(control, value);
}

float RovuRiza_Engine::control(RovuRiza_Control control) const noexcept
{
    return mInstance ? mInstance->controls[int(control)]
                     : RovuRiza_ControlInfoOf(control).defaultValue;
}

void RovuRiza_Engine::setExpression(float value) noexcept
{
    if (!mInstance || std::isnan(value)) return;
    mInstance->state->expression = std::clamp(value, 0.0f, 1.0f);
}

void RovuRiza_Engine::process(const float* const* inputs, float* const* outputs, uint32_t frames,
                              const RovuRiza_MidiEvent* events, uint32_t eventCount) noexcept
{
    if (outputs == nullptr || frames == 0) return;
    Instance* in = mInstance.get();
    const int channels = in ? in->channels : 1;
    if (in == nullptr || inputs == nullptr)
    {
        for (int c = 0; c < channels; ++c)
            if (outputs[c] != nullptr) std::fill(outputs[c], outputs[c] + frames, 0.0f);
        return;
    }
    for (int c = 0; c < 2; ++c)
    {
        // The render reads its inputs and writes its outputs only; the context's type is the
        // AAX host's, which hands it writable buffers.
        in->inputs[c] = const_cast<float*>(inputs[c < channels ? c : 0]);
        in->outputs[c] = outputs[c < channels ? c : 0];
    }
    if (events == nullptr) eventCount = 0;

    // The render takes a run as long as the host likes; only a block with more expression
    // changes than the node holds is split, at the first change that does not fit.
    uint32_t start = 0, next = 0;
    while (start < frames)
    {
        in->midi.clear();
        uint32_t end = frames;
        for (; next < eventCount; ++next)
        {
            const RovuRiza_MidiEvent& e = events[next];
            if (e.frame >= frames)
            {
                next = eventCount; // beyond this block: not applied, as in the AAX path
                break;
            }
            if (!IsExpression(e)) continue;
            // Out-of-order events take effect at the latest frame seen so far.
            const AAX_CMidiPacket* last = in->midi.last();
            uint32_t at = std::max(e.frame, start);
            if (last != nullptr) at = std::max(at, last->mTimestamp + start);
            if (in->midi.full() && at != last->mTimestamp + start)
            {
                end = at;
                break;
            }
            in->midi.add(at - start, e.data);
        }
        in->render(start, end - start);
        start = end;
    }
    in->midi.clear();
}

uint32_t RovuRiza_Engine::latency() const noexcept
{
    return mInstance ? mInstance->latency : 0;
}

double RovuRiza_Engine::sampleRate() const noexcept
{
    return mInstance ? mInstance->sampleRate : 0.0;
}

int RovuRiza_Engine::channels() const noexcept
{
    return mInstance ? mInstance->channels : 0;
}

bool RovuRiza_Engine::prepared() const noexcept
{
    return mInstance != nullptr;
}

SRovuRiza_Alg_Context& RovuRiza_EngineProbe::Context(RovuRiza_Engine& engine)
{
    return engine.mInstance->context;
}

RovuRiza_ModelState& RovuRiza_EngineProbe::ModelState(RovuRiza_Engine& engine)
{
    return *engine.mInstance->state;
}

void RovuRiza_EngineProbe::WritePort(RovuRiza_Engine& engine, RovuRiza_Control control, float value)
{
    auto& in = *engine.mInstance;
    in.controls[int(control)] = value;
    if (control == RovuRiza_Control::kBypass)
        in.bypass = int32_t(value);
    else
        *in.port(control) = value;
}

void RovuRiza_EngineProbe::UseMonoRender(RovuRiza_Engine& engine, MonoRender render)
{
    engine.mInstance->monoRender = render;
}

void RovuRiza_EngineProbe::SetUpBlocksAt(RovuRiza_Engine& engine, float sampleRate)
{
    engine.mInstance->setUpBlocksAt(sampleRate);
}
