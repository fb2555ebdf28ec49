// Builds one data-port packet for a parameter identifier (host non-real-time thread, called by
// the packet dispatcher with its lock held).
#pragma once

#include "AAX.h"

class AAX_CPacket;

class AAX_IPacketHandler
{
public:
    virtual ~AAX_IPacketHandler() = default;
    // A new copy owned by the caller.
    virtual AAX_IPacketHandler* Clone() const = 0;
    virtual AAX_Result Call(AAX_CParamID inParameterID, AAX_CPacket& ioPacket) const = 0;
};
