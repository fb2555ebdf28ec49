// The one render harness of the tests: an amp instance on the engine facade, driven as a host
// drives it, with the probe for the tests of the render callback itself (raw ports, raw MIDI
// packets, context fields taken away). Also the bare private blocks the set-up tests fill.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "AAX_IMIDINode.h"
#include "Converter/RovuRiza_ConverterCoefficients.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "Engine/RovuRiza_Engine.h"
#include "Engine/RovuRiza_EngineProbe.h"
#include "ModelState/RovuRiza_ModelState.h"

namespace render_test
{
struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};
using Block = std::unique_ptr<unsigned char, FreeDeleter>;

// A block filled with a pattern, so set-up that skips a byte shows.
inline Block AllocateBlock(size_t size, unsigned char fill = 0xA5)
{
    auto* p = static_cast<unsigned char*>(std::aligned_alloc(64, (size + 63) / 64 * 64));
    std::memset(p, fill, size);
    return Block(p);
}

struct Coefficients
{
    float recursive[9];
    float forward[9];
    Coefficients()
    {
        for (int i = 0; i < 9; ++i)
        {
            recursive[i] = float(RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[i]);
            forward[i] = float(RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[i]);
        }
    }
};

inline Block SetUpState(float fs)
{
    Block b = AllocateBlock(RovuRiza_Field::kModelStateSize);
    Coefficients c;
    RovuRiza_SetUpModelState(b.get(), RovuRiza_Field::kModelStateSize, fs, c.recursive, c.forward);
    return b;
}

inline RovuRiza_ModelState& AsState(const Block& b)
{
    return *reinterpret_cast<RovuRiza_ModelState*>(b.get());
}

// Bytes of a record outside the tube tables: every carried value and coefficient.
inline std::vector<unsigned char> CarriedBytes(const RovuRiza_ModelState& s)
{
    const auto* b = reinterpret_cast<const unsigned char*>(&s);
    const size_t begin = offsetof(RovuRiza_ModelState, tubeTables);
    const size_t end = begin + sizeof(s.tubeTables);
    std::vector<unsigned char> v(begin + (sizeof s - end));
    std::memcpy(v.data(), b, begin);
    std::memcpy(v.data() + begin, b + end, sizeof s - end);
    return v;
}

inline AAX_CMidiPacket ControlChange(uint32_t timestamp, int channel, int controller, int value)
{
    AAX_CMidiPacket p;
    p.mTimestamp = timestamp;
    p.mLength = 3;
    p.mData[0] = static_cast<unsigned char>(0xB0 | channel);
    p.mData[1] = static_cast<unsigned char>(controller);
    p.mData[2] = static_cast<unsigned char>(value);
    return p;
}

// Packets handed to the callback as they are, kept from block to block until replaced.
class RawMidiNode : public AAX_IMIDINode
{
public:
    AAX_CMidiStream* GetNodeBuffer() override { return &stream; }
    void Set(std::vector<AAX_CMidiPacket> p)
    {
        packets = std::move(p);
        stream.mBuffer = packets.empty() ? nullptr : packets.data();
        stream.mBufferSize = static_cast<uint32_t>(packets.size());
    }
    std::vector<AAX_CMidiPacket> packets;
    AAX_CMidiStream stream{};
};

struct AmpControls
{
    float gain = 0.5f;
    float tremolo = 0.f;
    float tone = 0.5f;
    float rate = 0.5f;
    float volume = 0.5f;
    float sound = 0.f;    // voicing entry 0
    float pickup = 0.01f; // the unfiltered pickup path
};

class RenderInstance
{
public:
    // A rate the engine refuses gets blocks set up at that rate behind an engine prepared at
    // 48 kHz, so the callback's own handling of such rates can be tested.
    explicit RenderInstance(float fs, int channels = 1, const AmpControls& controls = {})
    {
        const bool supported =
            fs >= RovuRiza_Engine::kMinSampleRate && fs <= RovuRiza_Engine::kMaxSampleRate;
        mEngine.prepare(supported ? fs : 48000.0, channels);
        if (!supported) RovuRiza_EngineProbe::SetUpBlocksAt(mEngine, fs);
        set(controls);
    }
    RenderInstance(float fs, const AmpControls& controls) : RenderInstance(fs, 1, controls) {}

    void set(const AmpControls& c)
    {
        mEngine.setControl(RovuRiza_Control::kGain, c.gain);
        mEngine.setControl(RovuRiza_Control::kTremolo, c.tremolo);
        mEngine.setControl(RovuRiza_Control::kTone, c.tone);
        mEngine.setControl(RovuRiza_Control::kRate, c.rate);
        mEngine.setControl(RovuRiza_Control::kVolume, c.volume);
        mEngine.setControl(RovuRiza_Control::kSound, c.sound);
        mEngine.setControl(RovuRiza_Control::kPickup, c.pickup);
    }
    void setControl(RovuRiza_Control control, float value) { mEngine.setControl(control, value); }
    // A port value as written, not clamped (NaN, infinity).
    void writePort(RovuRiza_Control control, float value)
    {
        RovuRiza_EngineProbe::WritePort(mEngine, control, value);
    }
    void useMonoRender(RovuRiza_EngineProbe::MonoRender render)
    {
        RovuRiza_EngineProbe::UseMonoRender(mEngine, render);
    }

    // Control change 11 at the start of the next block.
    void expression(int value) { mPending = {0, {0xB0, 11, uint8_t(value)}}; }

    // From here on the callback reads these packets instead of the engine's.
    RawMidiNode& rawMidi()
    {
        context().midiIn = &mRawMidi;
        return mRawMidi;
    }

    // Renders the input in blocks of `block` samples.
    std::vector<float> process(const std::vector<float>& in, int block = 512)
    {
        std::vector<float> out(in.size());
        for (size_t start = 0; start < in.size(); start += size_t(block))
            renderBlock(in.data() + start, out.data() + start,
                        int(std::min<size_t>(size_t(block), in.size() - start)));
        return out;
    }

    void renderBlock(const float* in, float* out, int n)
    {
        const float* inputs[2] = {in, in};
        float* outputs[2] = {out, out};
        const uint32_t events = mPending.frame == kNone ? 0 : 1;
        mEngine.process(inputs, outputs, uint32_t(n), &mPending, events);
        mPending.frame = kNone;
    }

    // Renders left (and right, or left again) into out[0] and out[1], through in[0] and in[1].
    void render(const float* left, const float* right, int n)
    {
        in[0].assign(left, left + n);
        in[1].assign(right ? right : left, (right ? right : left) + n);
        out[0].assign(n, -999.0f);
        out[1].assign(n, -999.0f);
        const float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        const uint32_t events = mPending.frame == kNone ? 0 : 1;
        mEngine.process(inputs, outputs, uint32_t(n), &mPending, events);
        mPending.frame = kNone;
    }

    RovuRiza_Engine& engine() { return mEngine; }
    SRovuRiza_Alg_Context& context() { return RovuRiza_EngineProbe::Context(mEngine); }
    RovuRiza_ModelState& state() { return RovuRiza_EngineProbe::ModelState(mEngine); }

    std::vector<float> in[2], out[2];

private:
    static constexpr uint32_t kNone = ~0u;
    RovuRiza_Engine mEngine;
    RovuRiza_MidiEvent mPending{kNone, {}};
    RawMidiNode mRawMidi;
};
} // namespace render_test
