#include "HostRenderer.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sched.h>
#include <sys/mman.h>

#include "HostError.h"

namespace tavelo::host
{

namespace
{
// Large fields come straight from the system's zeroed pages, so that a page the plug-in never
// touches (such as a record's unused table room) costs no memory; they are page-aligned (the
// records want 64 bytes). Small ones come from the heap, where the sanitizers guard their edges.
constexpr size_t kBlockAlignment = 64;
constexpr size_t kMappedFieldSize = size_t(1) << 20;

void* AllocateZeroed(size_t inSize)
{
    const size_t size = std::max<size_t>(inSize, 1);
    void* memory = nullptr;
    if (size >= kMappedFieldSize)
    {
        memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) memory = nullptr;
    }
    else
    {
        const size_t rounded = (size + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
        memory = std::aligned_alloc(kBlockAlignment, rounded);
        if (memory) std::memset(memory, 0, rounded);
    }
    if (!memory)
        throw HostError("cannot allocate " + std::to_string(inSize) + " bytes for the context");
    return memory;
}

void Release(const std::pair<void*, size_t>& allocation)
{
    const size_t size = std::max<size_t>(allocation.second, 1);
    if (size >= kMappedFieldSize)
        munmap(allocation.first, size);
    else
        std::free(allocation.first);
}

using Clock = std::chrono::steady_clock;

// How long the audio thread watches for the next block before it sleeps: longer than the
// caller's own work between two blocks of an offline render.
constexpr double kAudioSpinSeconds = 0.5e-3;
// The caller watches for the end of a block a little longer than the last one took.
constexpr double kCallerSpinMargin = 1.5, kCallerSpinMinimum = 50e-6, kCallerSpinMaximum = 5e-3;

inline void Relax() noexcept
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Watches `value` until it differs from `old`; true once it does, false after `seconds`. While
// the thread it waits for runs on this same core, it yields between looks, so that thread gets
// the core at once; otherwise it never yields: on a busy machine a yield hands the core to
// another process for a whole time slice.
bool SpinWhileEqual(const std::atomic<uint32_t>& value, uint32_t old, double seconds,
                    const std::atomic<int>& partnerCore) noexcept
{
    const int core = sched_getcpu();
    const auto limit = Clock::now() + std::chrono::duration<double>(seconds);
    for (int look = 1;; ++look)
    {
        if (value.load(std::memory_order_acquire) != old) return true;
        if (partnerCore.load(std::memory_order_relaxed) == core)
            sched_yield();
        else
            Relax();
        if (look % 64 == 0 && Clock::now() > limit) return false;
    }
}

// Waits until `value` differs from `old`: spins first, then sleeps with `sleeping` raised so
// the other side knows to wake it. Both sides' flag and value accesses are sequentially
// consistent, so either the waker sees the flag or the sleeper sees the new value. `core` is
// where this thread runs, for the other side's check.
void WaitWhileEqual(std::atomic<uint32_t>& value, uint32_t old, std::atomic<bool>& sleeping,
                    double spinSeconds, std::atomic<int>& core,
                    const std::atomic<int>& partnerCore) noexcept
{
    core.store(sched_getcpu(), std::memory_order_relaxed);
    if (SpinWhileEqual(value, old, spinSeconds, partnerCore)) return;
    sleeping.store(true);
    while (value.load() == old)
        value.wait(old);
    sleeping.store(false);
    core.store(sched_getcpu(), std::memory_order_relaxed);
}

void Publish(std::atomic<uint32_t>& value, uint32_t number, const std::atomic<bool>& sleeping)
{
    value.store(number);
    if (sleeping.load()) value.notify_one();
}
} // namespace

void HostMidiNode::SetPackets(std::vector<AAX_CMidiPacket> inPackets)
{
    mPackets = std::move(inPackets);
    mStream.mBufferSize = uint32_t(mPackets.size());
    mStream.mBuffer = mPackets.empty() ? nullptr : mPackets.data();
}

HostRenderer::HostRenderer(const ComponentRecord& inComponent, int32_t inChannels,
                           float inSampleRate, int32_t inMaxBlockSize)
    : mChannels(inChannels), mMaxBlockSize(inMaxBlockSize), mSampleRate(inSampleRate)
{
    if (inChannels < 1 || inChannels > 2)
        throw HostError("unsupported channel count " + std::to_string(inChannels));
    if (inMaxBlockSize < 1 || inMaxBlockSize > 65536)
        throw HostError("unsupported block size " + std::to_string(inMaxBlockSize) +
                        ": 1 to 65536 samples");
    const ProcessProcRecord* proc = inComponent.NativeProcessProc();
    if (!proc || !proc->processProc)
        throw HostError("the component declares no native render callback");
    mDeclaredProc = mProc = proc->processProc;

    AAX_CFieldIndex highest = -1;
    for (const FieldRecord& field : inComponent.fields)
        highest = std::max(highest, field.index);
    if (highest < 0 || highest > 1024)
        throw HostError("the component declares no usable context fields");
    mContext.assign(size_t(highest) + 1, nullptr);

    mInputBuffers.assign(size_t(inChannels), std::vector<float>(size_t(inMaxBlockSize), 0.0f));
    mOutputBuffers.assign(size_t(inChannels), std::vector<float>(size_t(inMaxBlockSize), 0.0f));
    for (int32_t c = 0; c < inChannels; ++c)
    {
        mInputPointers.push_back(mInputBuffers[size_t(c)].data());
        mOutputPointers.push_back(mOutputBuffers[size_t(c)].data());
    }

    try
    {
        for (const FieldRecord& field : inComponent.fields)
        {
            if (field.index < 0) throw HostError("field with negative index");
            void*& slot = mContext[size_t(field.index)];
            switch (field.kind)
            {
            case AAX_eFieldKind_DataInPort:
            case AAX_eFieldKind_PrivateData:
            {
                if (field.size <= 0 || field.size > (int64_t(1) << 30))
                    throw HostError("field " + std::to_string(field.index) +
                                    " declares an unusable size " + std::to_string(field.size));
                void* memory = AllocateZeroed(size_t(field.size));
                mAllocations.emplace_back(memory, size_t(field.size));
                slot = memory;
                if (field.kind == AAX_eFieldKind_DataInPort)
                    mPorts[field.index] = {static_cast<uint8_t*>(memory), uint32_t(field.size)};
                else
                    mPrivateBlocks.push_back(Block{field.index, memory, uint32_t(field.size)});
                break;
            }
            case AAX_eFieldKind_AudioIn:
                slot = mInputPointers.data();
                break;
            case AAX_eFieldKind_AudioOut:
                slot = mOutputPointers.data();
                break;
            case AAX_eFieldKind_AudioBufferLength:
                slot = &mBufferLength;
                break;
            case AAX_eFieldKind_SampleRate:
                slot = &mSampleRate;
                break;
            case AAX_eFieldKind_MIDINode:
                slot = static_cast<AAX_IMIDINode*>(&mMidiNode);
                break;
            default:
                break; // fields this host does not serve stay null
            }
        }
    }
    catch (...)
    {
        for (const auto& allocation : mAllocations)
            Release(allocation);
        throw;
    }
    mThread = std::thread(&HostRenderer::AudioThread, this);
}

HostRenderer::~HostRenderer()
{
    {
        const std::lock_guard lock(mMutex);
        mQuit.store(true);
        Publish(mPosted, mPosted.load() + 1, mAudioSleeping);
    }
    if (mThread.joinable()) mThread.join();
    for (const auto& allocation : mAllocations)
        Release(allocation);
}

bool HostRenderer::DeliverPacket(AAX_CFieldIndex inPort, const std::vector<uint8_t>& inPayload)
{
    const auto port = mPorts.find(inPort);
    if (port == mPorts.end() || inPayload.size() > port->second.second) return false;
    const std::lock_guard lock(mMutex); // never while the audio thread renders
    uint8_t* data = port->second.first;
    if (!inPayload.empty()) std::memcpy(data, inPayload.data(), inPayload.size());
    std::memset(data + inPayload.size(), 0, port->second.second - inPayload.size());
    return true;
}

const uint8_t* HostRenderer::PortData(AAX_CFieldIndex inPort) const
{
    const auto port = mPorts.find(inPort);
    return port == mPorts.end() ? nullptr : port->second.first;
}

uint32_t HostRenderer::PortSize(AAX_CFieldIndex inPort) const
{
    const auto port = mPorts.find(inPort);
    return port == mPorts.end() ? 0 : port->second.second;
}

std::map<AAX_CFieldIndex, uint32_t> HostRenderer::PortSizes() const
{
    std::map<AAX_CFieldIndex, uint32_t> sizes;
    for (const auto& [index, port] : mPorts)
        sizes[index] = port.second;
    return sizes;
}

void HostRenderer::SetProcessProc(AAX_CProcessProc inProc)
{
    const std::lock_guard lock(mMutex);
    mProc = inProc ? inProc : mDeclaredProc;
}

uint64_t HostRenderer::RenderCount() const
{
    return mRenderCount.load(std::memory_order_acquire);
}

void HostRenderer::Render(const float* const* inInputs, float* const* outOutputs, int32_t inFrames,
                          std::vector<AAX_CMidiPacket> inMidi)
{
    if (inFrames < 0 || inFrames > mMaxBlockSize)
        throw HostError("block of " + std::to_string(inFrames) + " frames exceeds the maximum " +
                        std::to_string(mMaxBlockSize));
    std::unique_lock lock(mMutex);
    for (int32_t c = 0; c < mChannels; ++c)
    {
        float* buffer = mInputBuffers[size_t(c)].data();
        if (inInputs && inInputs[c])
            std::memcpy(buffer, inInputs[c], sizeof(float) * size_t(inFrames));
        else
            std::memset(buffer, 0, sizeof(float) * size_t(inFrames));
    }
    mBufferLength = inFrames;
    mMidiNode.SetPackets(std::move(inMidi));
    // The stores above happen before the audio thread reads the block number, and its writes
    // before the caller sees the block finished.
    const auto start = Clock::now();
    const uint32_t block = mPosted.load() + 1;
    Publish(mPosted, block, mAudioSleeping);
    const double spin =
        std::clamp(kCallerSpinMargin * mLastRenderSeconds, kCallerSpinMinimum, kCallerSpinMaximum);
    WaitWhileEqual(mFinished, block - 1, mCallerSleeping, spin, mCallerCore, mAudioCore);
    mLastRenderSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (int32_t c = 0; c < mChannels; ++c)
        if (outOutputs && outOutputs[c])
            std::memcpy(outOutputs[c], mOutputBuffers[size_t(c)].data(),
                        sizeof(float) * size_t(inFrames));
}

void HostRenderer::AudioThread()
{
    uint32_t done = 0;
    for (;;)
    {
        WaitWhileEqual(mPosted, done, mAudioSleeping, kAudioSpinSeconds, mAudioCore, mCallerCore);
        ++done;
        if (mQuit.load()) return;
        // The caller waits for this block, so the context is ours while the callback runs.
        void* const instances[1] = {mContext.data()};
        mProc(instances, instances + 1);
        mRenderCount.fetch_add(1, std::memory_order_relaxed);
        Publish(mFinished, done, mCallerSleeping);
    }
}

} // namespace tavelo::host
