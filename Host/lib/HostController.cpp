#include "HostController.h"

#include <cstring>

#include "AAX_IString.h"
#include "AAX_UIDs.h"

namespace tavelo::host
{

HostController* HostController::Create(double inSampleRate, AAX_EStemFormat inStemFormat,
                                       std::string inEffectID,
                                       std::map<AAX_CFieldIndex, uint32_t> inPortSizes)
{
    return new HostController(inSampleRate, inStemFormat, std::move(inEffectID),
                              std::move(inPortSizes));
}

HostController::HostController(double inSampleRate, AAX_EStemFormat inStemFormat,
                               std::string inEffectID,
                               std::map<AAX_CFieldIndex, uint32_t> inPortSizes)
    : mSampleRate(inSampleRate), mStemFormat(inStemFormat), mEffectID(std::move(inEffectID)),
      mPortSizes(std::move(inPortSizes))
{
}

HostController::~HostController()
{
    SetEffectParameters(nullptr);
}

void* HostController::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXControllerV1 || inIID == IID_IAAXControllerV2)
        return static_cast<AAX_IACFController_V2*>(this);
    if (inIID == IID_IAAXAutomationDelegateV1)
        return static_cast<AAX_IACFAutomationDelegate*>(this);
    if (inIID == IID_IAAXTransportV1 || inIID == IID_IAAXTransportV2)
        return static_cast<AAX_IACFTransport_V2*>(this);
    return nullptr;
}

acfResult HostController::QueryInterface(const acfIID& inIID, void** outInterface)
{
    if (!outInterface) return ACF_E_POINTER;
    if (inIID == IID_IAAXEffectParametersV1 || inIID == IID_IAAXEffectParametersV2 ||
        inIID == IID_IAAXEffectParametersV3 || inIID == IID_IAAXEffectParametersV4)
    {
        const std::lock_guard lock(mModelMutex);
        *outInterface = nullptr;
        if (!mEffectParameters) return ACF_E_NOINTERFACE;
        return mEffectParameters->QueryInterface(inIID, outInterface);
    }
    return HostObject::QueryInterface(inIID, outInterface);
}

void HostController::SetEffectParameters(IACFUnknown* inEffectParameters)
{
    IACFUnknown* previous = nullptr;
    {
        const std::lock_guard lock(mModelMutex);
        if (inEffectParameters) inEffectParameters->AddRef();
        previous = mEffectParameters;
        mEffectParameters = inEffectParameters;
    }
    // Released outside the lock: the last release may destroy the data model, whose wrappers
    // release this object in turn.
    if (previous) previous->Release();
}

AAX_Result HostController::PostPacket(AAX_CFieldIndex inFieldIndex, const void* inPayloadP,
                                      uint32_t inPayloadSize)
{
    const auto declared = mPortSizes.find(inFieldIndex);
    if (declared == mPortSizes.end()) return AAX_ERROR_INVALID_FIELD_INDEX;
    if (inPayloadSize > declared->second || (inPayloadSize > 0 && !inPayloadP))
        return AAX_ERROR_POST_PACKET_FAILED;
    PostedPacket packet{inFieldIndex, {}};
    if (inPayloadSize > 0)
        packet.payload.assign(static_cast<const uint8_t*>(inPayloadP),
                              static_cast<const uint8_t*>(inPayloadP) + inPayloadSize);
    const std::lock_guard lock(mPacketMutex);
    mPending.push_back(packet);
    mPostLog.push_back(std::move(packet));
    if (mPostLog.size() > kPostLogLimit) mPostLog.pop_front();
    return AAX_SUCCESS;
}

std::vector<PostedPacket> HostController::TakePostedPackets()
{
    const std::lock_guard lock(mPacketMutex);
    std::vector<PostedPacket> pending;
    pending.swap(mPending);
    return pending;
}

std::vector<PostedPacket> HostController::PostLog() const
{
    const std::lock_guard lock(mPacketMutex);
    return {mPostLog.begin(), mPostLog.end()};
}

void HostController::ClearPostLog()
{
    const std::lock_guard lock(mPacketMutex);
    mPostLog.clear();
}

AAX_Result HostController::GetEffectID(AAX_IString* outEffectID) const
{
    if (!outEffectID) return AAX_ERROR_NULL_OBJECT;
    outEffectID->Set(mEffectID.c_str());
    return AAX_SUCCESS;
}

AAX_Result HostController::GetSampleRate(AAX_CSampleRate* outSampleRate) const
{
    if (!outSampleRate) return AAX_ERROR_NULL_OBJECT;
    *outSampleRate = AAX_CSampleRate(mSampleRate);
    return AAX_SUCCESS;
}

AAX_Result HostController::GetInputStemFormat(AAX_EStemFormat* outStemFormat) const
{
    if (!outStemFormat) return AAX_ERROR_NULL_OBJECT;
    *outStemFormat = mStemFormat;
    return AAX_SUCCESS;
}

AAX_Result HostController::GetOutputStemFormat(AAX_EStemFormat* outStemFormat) const
{
    return GetInputStemFormat(outStemFormat);
}

AAX_Result HostController::GetSignalLatency(int32_t* outSamples) const
{
    if (!outSamples) return AAX_ERROR_NULL_OBJECT;
    *outSamples = mLatency;
    return AAX_SUCCESS;
}

AAX_Result HostController::SetSignalLatency(int32_t inSamples)
{
    mLatency = inSamples;
    return AAX_SUCCESS;
}

AAX_Result HostController::GetCycleCount(AAX_EProperty, AAX_CPropertyValue* outNumCycles) const
{
    if (!outNumCycles) return AAX_ERROR_NULL_OBJECT;
    *outNumCycles = 0;
    return AAX_SUCCESS;
}

AAX_Result HostController::SetCycleCount(AAX_EProperty*, AAX_CPropertyValue*, int32_t)
{
    return AAX_SUCCESS;
}

AAX_Result HostController::GetHybridSignalLatency(int32_t* outSamples) const
{
    if (!outSamples) return AAX_ERROR_NULL_OBJECT;
    *outSamples = 0;
    return AAX_SUCCESS;
}

AAX_Result HostController::GetHostName(AAX_IString* outHostName) const
{
    if (!outHostName) return AAX_ERROR_NULL_OBJECT;
    outHostName->Set("tavelo stand-in host");
    return AAX_SUCCESS;
}

AAX_Result HostController::RegisterParameter(AAX_CParamID inParameterID)
{
    return mAutomation.RegisterParameter(inParameterID);
}

AAX_Result HostController::UnregisterParameter(AAX_CParamID inParameterID)
{
    return mAutomation.UnregisterParameter(inParameterID);
}

AAX_Result HostController::PostSetValueRequest(AAX_CParamID inParameterID,
                                               double inNormalizedValue) const
{
    return mAutomation.PostSetValueRequest(inParameterID, inNormalizedValue);
}

AAX_Result HostController::PostCurrentValue(AAX_CParamID inParameterID,
                                            double inNormalizedValue) const
{
    return mAutomation.PostCurrentValue(inParameterID, inNormalizedValue);
}

AAX_Result HostController::PostTouchRequest(AAX_CParamID inParameterID)
{
    return mAutomation.PostTouchRequest(inParameterID);
}

AAX_Result HostController::PostReleaseRequest(AAX_CParamID inParameterID)
{
    return mAutomation.PostReleaseRequest(inParameterID);
}

AAX_Result HostController::GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched)
{
    return mAutomation.GetTouchState(inParameterID, outTouched);
}

namespace
{
template <typename T> AAX_Result Write(T* outValue, T inValue)
{
    if (!outValue) return AAX_ERROR_NULL_OBJECT;
    *outValue = inValue;
    return AAX_SUCCESS;
}
constexpr uint32_t kTicksPerQuarter = 960000;
} // namespace

AAX_Result HostController::GetCurrentTempo(double* outTempo) const
{
    return Write(outTempo, 120.0);
}

AAX_Result HostController::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const
{
    if (!outNumerator || !outDenominator) return AAX_ERROR_NULL_OBJECT;
    *outNumerator = 4;
    *outDenominator = 4;
    return AAX_SUCCESS;
}

AAX_Result HostController::IsTransportPlaying(AAX_CBoolean* outIsPlaying) const
{
    return Write<AAX_CBoolean>(outIsPlaying, 0);
}

AAX_Result HostController::GetCurrentTickPosition(AAX_CTransportCounter* outTicks) const
{
    return Write<AAX_CTransportCounter>(outTicks, 0);
}

AAX_Result HostController::GetCurrentLoopPosition(AAX_CBoolean* outLooping,
                                                  AAX_CTransportCounter* outLoopStartTick,
                                                  AAX_CTransportCounter* outLoopEndTick) const
{
    if (!outLooping || !outLoopStartTick || !outLoopEndTick) return AAX_ERROR_NULL_OBJECT;
    *outLooping = 0;
    *outLoopStartTick = 0;
    *outLoopEndTick = 0;
    return AAX_SUCCESS;
}

AAX_Result HostController::GetCurrentNativeSampleLocation(AAX_CTransportCounter* outSample) const
{
    return Write<AAX_CTransportCounter>(outSample, 0);
}

AAX_Result HostController::GetCustomTickPosition(AAX_CTransportCounter* outTicks,
                                                 AAX_CTransportCounter inSampleLocation) const
{
    // 120 bpm: two quarters per second.
    return Write<AAX_CTransportCounter>(
        outTicks,
        AAX_CTransportCounter(double(inSampleLocation) / mSampleRate * 2.0 * kTicksPerQuarter));
}

AAX_Result HostController::GetBarBeatPosition(int32_t* outBars, int32_t* outBeats,
                                              int64_t* outDisplayTicks,
                                              AAX_CTransportCounter inSampleLocation) const
{
    if (!outBars || !outBeats || !outDisplayTicks) return AAX_ERROR_NULL_OBJECT;
    const int64_t quarters = int64_t(double(inSampleLocation) / mSampleRate * 2.0);
    *outBars = int32_t(quarters / 4) + 1;
    *outBeats = int32_t(quarters % 4) + 1;
    *outDisplayTicks = 0;
    return AAX_SUCCESS;
}

AAX_Result HostController::GetTicksPerQuarter(uint32_t* outTicks) const
{
    return Write(outTicks, kTicksPerQuarter);
}

AAX_Result HostController::GetCurrentTicksPerBeat(uint32_t* outTicks) const
{
    return Write(outTicks, kTicksPerQuarter);
}

AAX_Result HostController::GetTimelineSelectionStartPosition(AAX_CTransportCounter* outSample) const
{
    return Write<AAX_CTransportCounter>(outSample, 0);
}

AAX_Result HostController::IsMetronomeEnabled(int32_t* outEnabled) const
{
    return Write<int32_t>(outEnabled, 0);
}

} // namespace tavelo::host
