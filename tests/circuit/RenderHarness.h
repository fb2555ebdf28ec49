// A minimal render-callback driver for the amp measurements: one instance's private blocks,
// data ports and MIDI node, set up the way the data model and host would.
#pragma once

#include <cstdlib>
#include <vector>

#include "AAX_IMIDINode.h"
#include "Converter/RovuRiza_ConverterCoefficients.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace circuit_test
{
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

class MidiNode : public AAX_IMIDINode
{
public:
    AAX_CMidiStream* GetNodeBuffer() override { return &stream; }
    AAX_CMidiStream stream;
    std::vector<AAX_CMidiPacket> packets;
};

class RenderInstance
{
public:
    explicit RenderInstance(float fs, const AmpControls& controls = {}) : mRate(fs)
    {
        mState = static_cast<RovuRiza_ModelState*>(
            std::aligned_alloc(64, RovuRiza_Field::kModelStateSize));
        mPoles = static_cast<RovuRiza_SectionPoles*>(
            std::aligned_alloc(64, 832)); // 816 rounded up to the alignment
        float recursive[9], forward[9];
        for (int k = 0; k < 9; ++k)
        {
            recursive[k] = float(RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno[k]);
            forward[k] = float(RovuRiza_ConverterDesign::globalkFourthBandEll8Fw[k]);
        }
        RovuRiza_SetUpModelState(mState, RovuRiza_Field::kModelStateSize, fs, recursive, forward);
        RovuRiza_SetUpSectionPoles(mPoles, RovuRiza_Field::kSectionPolesSize, fs);
        set(controls);

        mContext.ctrlBypass = &mBypass;
        mContext.ctrlGainTremolo = mGainTremolo;
        mContext.ctrlTone = &mTone;
        mContext.ctrlRate = &mRateValue;
        mContext.ctrlVolume = &mVolume;
        mContext.ctrlSoundValue = &mSound;
        mContext.ctrlPickup = &mPickup;
        mContext.ctrlSound = &mPayload;
        mContext.sectionPoles = mPoles;
        mContext.audioIn = mIn;
        mContext.audioOut = mOut;
        mContext.bufferLength = &mLength;
        mContext.sampleRate = &mRate;
        mContext.midiIn = &mMidi;
        mContext.modelState = mState;
    }
    ~RenderInstance()
    {
        std::free(mState);
        std::free(mPoles);
    }
    RenderInstance(const RenderInstance&) = delete;
    RenderInstance& operator=(const RenderInstance&) = delete;

    void set(const AmpControls& c)
    {
        mGainTremolo[0] = c.gain;
        mGainTremolo[1] = c.tremolo;
        mTone = c.tone;
        mRateValue = c.rate;
        mVolume = c.volume;
        mSound = c.sound;
        mPickup = c.pickup;
        RovuRiza_BuildVoicingPayload(c.sound, mRate, mPayload);
    }

    // Control change 11 at the start of the next block.
    void expression(int value)
    {
        AAX_CMidiPacket p;
        p.mLength = 3;
        p.mData[0] = 0xB0;
        p.mData[1] = 11;
        p.mData[2] = static_cast<unsigned char>(value);
        mMidi.packets.assign(1, p);
    }

    // Renders the input in blocks of `block` samples.
    std::vector<float> process(const std::vector<float>& in, int block = 512)
    {
        std::vector<float> out(in.size());
        std::vector<float> inBlock(block);
        for (size_t start = 0; start < in.size(); start += size_t(block))
        {
            const int n = int(std::min<size_t>(size_t(block), in.size() - start));
            std::copy(in.begin() + start, in.begin() + start + n, inBlock.begin());
            renderBlock(inBlock.data(), out.data() + start, n);
        }
        return out;
    }

    void renderBlock(float* in, float* out, int n)
    {
        mIn[0] = in;
        mOut[0] = out;
        mLength = n;
        mMidi.stream.mBuffer = mMidi.packets.empty() ? nullptr : mMidi.packets.data();
        mMidi.stream.mBufferSize = uint32_t(mMidi.packets.size());
        SRovuRiza_Alg_Context* const instances[1] = {&mContext};
        RovuRiza_AlgorithmProcessFunction<1, 1>(instances, instances + 1);
        mMidi.packets.clear();
        mMidi.stream = {};
    }

    RovuRiza_ModelState& state() { return *mState; }
    float rate() const { return mRate; }

private:
    RovuRiza_ModelState* mState = nullptr;
    RovuRiza_SectionPoles* mPoles = nullptr;
    float mRate;
    int32_t mBypass = 0;
    float mGainTremolo[2] = {};
    float mTone = 0.f, mRateValue = 0.f, mVolume = 0.f, mSound = 0.f, mPickup = 0.f;
    RovuRiza_VoicingPayload mPayload{};
    float* mIn[1] = {};
    float* mOut[1] = {};
    int32_t mLength = 0;
    MidiNode mMidi;
    SRovuRiza_Alg_Context mContext{};
};
} // namespace circuit_test
