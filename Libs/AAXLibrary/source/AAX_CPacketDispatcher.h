// Turns parameter changes into data-port packets: each port has one packet, each parameter
// identifier is registered against a port with a builder. Called on host non-real-time
// threads (value confirmations mark packets dirty, the coefficient request builds and posts
// them); one owner-aware mutex serialises both.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "AAX.h"
#include "AAX_CMutex.h"
#include "AAX_IPacketHandler.h"

class AAX_IController;
class AAX_IEffectParameters;

// One data port's packet: the payload bytes to post and whether they must be rebuilt.
class AAX_CPacket
{
public:
    class SPacketData
    {
    public:
        SPacketData() : mData(8, 0) {}
        // Resizes to exactly inSize bytes (new bytes zero) and returns the first byte; a size
        // of 0 throws std::out_of_range.
        void* Get(uint32_t inSize);
        const void* Get() const { return mData.data(); }
        size_t Size() const { return mData.size(); }

    private:
        std::vector<uint8_t> mData;
    };

    explicit AAX_CPacket(AAX_CFieldIndex inPort) : mPort(inPort) {}

    template <typename T> T* GetPtr() { return static_cast<T*>(mBuffer.Get(sizeof(T))); }
    void SetDirty(bool inDirty) { mDirty = inDirty; }
    bool IsDirty() const { return mDirty; }
    AAX_CFieldIndex GetID() const { return mPort; }
    void SetSize(uint32_t inSize) { mSize = inSize; }
    uint32_t GetSize() const { return mSize; }
    SPacketData& Data() { return mBuffer; }
    const SPacketData& Data() const { return mBuffer; }

private:
    AAX_CFieldIndex mPort;
    bool mDirty = true;
    uint32_t mSize = 0;
    SPacketData mBuffer;
};

class AAX_CPacketDispatcher
{
public:
    AAX_CPacketDispatcher() = default;
    ~AAX_CPacketDispatcher();
    AAX_CPacketDispatcher(const AAX_CPacketDispatcher&) = delete;
    AAX_CPacketDispatcher& operator=(const AAX_CPacketDispatcher&) = delete;

    void Initialize(AAX_IController* inController, AAX_IEffectParameters* inEffectParameters);
    // Copies the handler. A negative port is refused with -20016.
    AAX_Result RegisterPacket(AAX_CParamID inParameterID, AAX_CFieldIndex inPortID,
                              const AAX_IPacketHandler& inHandler);
    AAX_Result SetDirty(AAX_CParamID inParameterID, bool inDirty = true);
    // Builds and posts every dirty packet once; the result of the last post, or 0.
    AAX_Result Dispatch();
    // Builder of packets that carry one parameter's real value (4 or 8 bytes).
    AAX_Result GenerateSingleValuePacket(AAX_CParamID inParameterID, AAX_CPacket& ioPacket);
    // The dispatcher's lock, for callers that change what its builders read.
    AAX_CMutex& Mutex() const { return mLock; }

private:
    struct Registration
    {
        AAX_CPacket* packet;
        AAX_IPacketHandler* handler;
    };

    std::map<AAX_CFieldIndex, AAX_CPacket*> mPacketsByPort;
    std::multimap<std::string, Registration> mRegistrations;
    AAX_IController* mController = nullptr;
    AAX_IEffectParameters* mEffectParameters = nullptr;
    mutable AAX_CMutex mLock;
};
