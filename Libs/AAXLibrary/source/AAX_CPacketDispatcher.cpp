#include "AAX_CPacketDispatcher.h"

#include <cstring>
#include <stdexcept>

#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IParameter.h"

void* AAX_CPacket::SPacketData::Get(uint32_t inSize)
{
    if (inSize == 0) throw std::out_of_range("AAX_CPacket::SPacketData::Get: size 0");
    mData.resize(inSize, 0);
    return mData.data();
}

AAX_CPacketDispatcher::~AAX_CPacketDispatcher()
{
    {
        AAX_StLock_Guard guard(mLock);
        for (auto& [port, packet] : mPacketsByPort)
            delete packet;
        for (auto& [identifier, registration] : mRegistrations)
            delete registration.handler;
    }
    mPacketsByPort.clear();
    mRegistrations.clear();
}

void AAX_CPacketDispatcher::Initialize(AAX_IController* inController,
                                       AAX_IEffectParameters* inEffectParameters)
{
    mController = inController;
    mEffectParameters = inEffectParameters;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID inParameterID,
                                                 AAX_CFieldIndex inPortID,
                                                 const AAX_IPacketHandler& inHandler)
{
    // A negative port names no field of the render context.
    if (inPortID < 0) return AAX_ERROR_PORT_ID_OUT_OF_RANGE;
    if (!inParameterID) return AAX_ERROR_INVALID_PARAMETER_ID;
    AAX_StLock_Guard guard(mLock);
    AAX_CPacket*& packet = mPacketsByPort[inPortID];
    if (!packet) packet = new AAX_CPacket(inPortID);
    mRegistrations.emplace(std::string(inParameterID), Registration{packet, inHandler.Clone()});
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::SetDirty(AAX_CParamID inParameterID, bool inDirty)
{
    if (!inParameterID) return AAX_SUCCESS;
    AAX_StLock_Guard guard(mLock);
    const auto [first, last] = mRegistrations.equal_range(std::string(inParameterID));
    for (auto entry = first; entry != last; ++entry)
        entry->second.packet->SetDirty(inDirty);
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::Dispatch()
{
    AAX_Result result = AAX_SUCCESS;
    AAX_StLock_Guard guard(mLock);
    for (auto& [identifier, registration] : mRegistrations)
    {
        AAX_CPacket& packet = *registration.packet;
        if (!packet.IsDirty()) continue;
        AAX_Result built = AAX_ERROR_NULL_OBJECT;
        try
        {
            built = registration.handler->Call(identifier.c_str(), packet);
        }
        catch (...)
        {
            // A builder that throws is a failed builder: the packet stays unposted.
            built = AAX_ERROR_UNKNOWN_EXCEPTION;
        }
        if (built == AAX_SUCCESS)
        {
            const uint32_t size = packet.GetSize();
            // Never post more bytes than the packet holds.
            const uint32_t held = uint32_t(packet.Data().Size());
            result = mController ? mController->PostPacket(packet.GetID(), packet.Data().Get(),
                                                           size < held ? size : held)
                                 : AAX_ERROR_NULL_OBJECT;
        }
        packet.SetDirty(false);
    }
    return result;
}

AAX_Result AAX_CPacketDispatcher::GenerateSingleValuePacket(AAX_CParamID inParameterID,
                                                            AAX_CPacket& ioPacket)
{
    if (!mEffectParameters) return AAX_ERROR_NULL_OBJECT;
    AAX_IParameter* parameter = nullptr;
    if (mEffectParameters->GetParameter(inParameterID, &parameter) != AAX_SUCCESS || !parameter)
        return AAX_ERROR_NULL_OBJECT;

    bool boolValue = false;
    float floatValue = 0.0f;
    int32_t intValue = 0;
    double doubleValue = 0.0;
    if (parameter->GetValueAsBool(&boolValue))
    {
        *ioPacket.GetPtr<int32_t>() = boolValue ? 1 : 0;
        ioPacket.SetSize(4);
    }
    else if (parameter->GetValueAsFloat(&floatValue))
    {
        *ioPacket.GetPtr<float>() = floatValue;
        ioPacket.SetSize(4);
    }
    else if (parameter->GetValueAsInt32(&intValue))
    {
        *ioPacket.GetPtr<int32_t>() = intValue;
        ioPacket.SetSize(4);
    }
    else if (parameter->GetValueAsDouble(&doubleValue))
    {
        *ioPacket.GetPtr<double>() = doubleValue;
        ioPacket.SetSize(8);
    }
    else
        return AAX_ERROR_NULL_OBJECT;
    return AAX_SUCCESS;
}
