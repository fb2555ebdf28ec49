// MIDI node types of the render context: the packet record, the per-call stream and the
// node interface whose buffer the render callback reads once per call (audio thread).
#pragma once

#include <cstdint>

struct AAX_CMidiPacket
{
    uint32_t mTimestamp = 0;     // sample offset inside the current buffer
    uint32_t mLength = 0;        // number of valid bytes in mData
    unsigned char mData[4] = {}; // status byte, then up to three data bytes
    bool mIsImmediate = false;
};

struct AAX_CMidiStream
{
    uint32_t mBufferSize = 0;           // number of packets in mBuffer
    AAX_CMidiPacket* mBuffer = nullptr; // packets in timestamp order; may be null
};

class AAX_IMIDINode
{
public:
    virtual ~AAX_IMIDINode() = default;
    // The packets delivered for this render call. Never null for a node the host set up.
    virtual AAX_CMidiStream* GetNodeBuffer() = 0;
};
