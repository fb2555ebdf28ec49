// A packet builder bound to a worker object: either a member taking the packet or a member
// taking the identifier and the packet. The worker is not owned.
#pragma once

#include "AAX_IPacketHandler.h"

template <class TWorker> class AAX_CPacketHandler : public AAX_IPacketHandler
{
public:
    using PacketOnlyBuilder = AAX_Result (TWorker::*)(AAX_CPacket& ioPacket);
    using IdentifierBuilder = AAX_Result (TWorker::*)(AAX_CParamID inParameterID,
                                                      AAX_CPacket& ioPacket);

    AAX_CPacketHandler(TWorker* inWorker, PacketOnlyBuilder inBuilder)
        : mWorker(inWorker), mPacketOnlyBuilder(inBuilder)
    {
    }
    AAX_CPacketHandler(TWorker* inWorker, IdentifierBuilder inBuilder)
        : mWorker(inWorker), mIdentifierBuilder(inBuilder)
    {
    }

    AAX_CPacketHandler* Clone() const override { return new AAX_CPacketHandler(*this); }

    AAX_Result Call(AAX_CParamID inParameterID, AAX_CPacket& ioPacket) const override
    {
        if (!mWorker) return AAX_ERROR_NULL_OBJECT;
        if (mIdentifierBuilder) return (mWorker->*mIdentifierBuilder)(inParameterID, ioPacket);
        if (mPacketOnlyBuilder) return (mWorker->*mPacketOnlyBuilder)(ioPacket);
        return AAX_ERROR_NULL_OBJECT;
    }

private:
    TWorker* mWorker;
    PacketOnlyBuilder mPacketOnlyBuilder = nullptr;
    IdentifierBuilder mIdentifierBuilder = nullptr;
};
