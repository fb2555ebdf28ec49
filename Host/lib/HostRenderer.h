// The render side of one stand-in host instance: the algorithm context laid out from the
// component's declared fields (data-port buffers and private blocks of the declared sizes,
// audio buffers, buffer length, sample rate, MIDI node) and a persistent audio thread of the
// host's own. The caller (host non-real-time thread) delivers packets between render calls
// and hands each block to the audio thread, waiting until it is done, like an audio callback.
//
// The hand-off takes no lock on the audio thread: each side publishes a block number and the
// other watches it for a short while (spinning, or yielding to it where both run on one core)
// and only then sleeping on it. Blocks that follow each other closely, as in
// an offline render, thus pass without waking a thread through the kernel.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "AAX.h"
#include "AAX_IMIDINode.h"
#include "HostDescription.h"

namespace tavelo::host
{

class HostMidiNode final : public AAX_IMIDINode
{
public:
    AAX_CMidiStream* GetNodeBuffer() override { return &mStream; }
    // Packets of the next render call, timestamps relative to its first sample.
    void SetPackets(std::vector<AAX_CMidiPacket> inPackets);

private:
    std::vector<AAX_CMidiPacket> mPackets;
    AAX_CMidiStream mStream;
};

class HostRenderer
{
public:
    // Throws HostError when the component lacks a render callback or declares a field the
    // host cannot lay out.
    HostRenderer(const ComponentRecord& inComponent, int32_t inChannels, float inSampleRate,
                 int32_t inMaxBlockSize);
    ~HostRenderer();
    HostRenderer(const HostRenderer&) = delete;
    HostRenderer& operator=(const HostRenderer&) = delete;

    struct Block
    {
        AAX_CFieldIndex index;
        void* data;
        uint32_t size;
    };
    // The private blocks in field order, for the data model's ResetFieldData.
    const std::vector<Block>& PrivateBlocks() const { return mPrivateBlocks; }
    // Copies a payload into its data port (the rest of the port is zeroed); false for an
    // unknown port or a payload larger than the declared size.
    bool DeliverPacket(AAX_CFieldIndex inPort, const std::vector<uint8_t>& inPayload);
    // The bytes a data port holds now (null for an unknown port) and its declared size.
    const uint8_t* PortData(AAX_CFieldIndex inPort) const;
    uint32_t PortSize(AAX_CFieldIndex inPort) const;
    std::map<AAX_CFieldIndex, uint32_t> PortSizes() const;

    // Renders one block of up to MaxBlockSize() frames on the audio thread and waits. Inputs
    // and outputs have Channels() buffers each; they may be the same memory.
    void Render(const float* const* inInputs, float* const* outOutputs, int32_t inFrames,
                std::vector<AAX_CMidiPacket> inMidi = {});
    // Replaces the render callback (tests observe what it sees); null restores the declared one.
    void SetProcessProc(AAX_CProcessProc inProc);
    AAX_CProcessProc DeclaredProcessProc() const { return mDeclaredProc; }
    // The context pointer handed to the callback.
    void* Context() { return mContext.data(); }

    int32_t Channels() const { return mChannels; }
    int32_t MaxBlockSize() const { return mMaxBlockSize; }
    uint64_t RenderCount() const;

private:
    void AudioThread();

    const int32_t mChannels;
    const int32_t mMaxBlockSize;
    AAX_CProcessProc mDeclaredProc = nullptr;
    AAX_CProcessProc mProc = nullptr;

    std::vector<void*> mContext;
    std::map<AAX_CFieldIndex, std::pair<uint8_t*, uint32_t>> mPorts;
    std::vector<Block> mPrivateBlocks;
    std::vector<std::pair<void*, size_t>> mAllocations; // address, size
    std::vector<std::vector<float>> mInputBuffers, mOutputBuffers;
    std::vector<float*> mInputPointers, mOutputPointers;
    int32_t mBufferLength = 0;
    float mSampleRate;
    HostMidiNode mMidiNode;

    std::thread mThread;
    // Held by the caller for a whole render, so that packets and callback changes from other
    // threads wait until the block is done. The audio thread never takes it.
    mutable std::mutex mMutex;
    std::atomic<uint32_t> mPosted{0};   // number of the last block handed to the audio thread
    std::atomic<uint32_t> mFinished{0}; // number of the last block it finished
    std::atomic<bool> mAudioSleeping{false};
    std::atomic<bool> mCallerSleeping{false};
    std::atomic<bool> mQuit{false};
    std::atomic<int> mAudioCore{-1}, mCallerCore{-1}; // where each side last ran
    std::atomic<uint64_t> mRenderCount{0};
    double mLastRenderSeconds = 0.0; // how long the caller spins before sleeping, next time
};

} // namespace tavelo::host
