// The stand-in host's per-instance object: one IACFUnknown that answers the controller,
// automation-delegate and transport interfaces, and hands out the instance's data model for
// the effect-parameters interface IDs (that is how the editor reaches it). Called by the data
// model and the editor on the host's non-real-time threads; packets posted here wait until
// the host copies them into the data ports between render calls.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFController.h"
#include "AAX_IACFTransport.h"
#include "HostAutomation.h"
#include "HostObject.h"

namespace tavelo::host
{

struct PostedPacket
{
    AAX_CFieldIndex port = -1;
    std::vector<uint8_t> payload;
};

class HostController final
    : public HostObject<AAX_IACFController_V2, AAX_IACFAutomationDelegate, AAX_IACFTransport_V2>
{
public:
    // inPortSizes: declared size of every data port by field index; a post to another index,
    // or larger than the declared size, is refused.
    static HostController* Create(double inSampleRate, AAX_EStemFormat inStemFormat,
                                  std::string inEffectID,
                                  std::map<AAX_CFieldIndex, uint32_t> inPortSizes);

    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;

    // Controller.
    AAX_Result PostPacket(AAX_CFieldIndex inFieldIndex, const void* inPayloadP,
                          uint32_t inPayloadSize) override;
    AAX_Result GetEffectID(AAX_IString* outEffectID) const override;
    AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const override;
    AAX_Result GetInputStemFormat(AAX_EStemFormat* outStemFormat) const override;
    AAX_Result GetOutputStemFormat(AAX_EStemFormat* outStemFormat) const override;
    AAX_Result GetSignalLatency(int32_t* outSamples) const override;
    AAX_Result SetSignalLatency(int32_t inSamples) override;
    AAX_Result GetCycleCount(AAX_EProperty inWhichCycleCount,
                             AAX_CPropertyValue* outNumCycles) const override;
    AAX_Result SetCycleCount(AAX_EProperty* inWhichCycleCounts, AAX_CPropertyValue* inValues,
                             int32_t inNumValues) override;
    AAX_Result GetHybridSignalLatency(int32_t* outSamples) const override;
    AAX_Result GetHostName(AAX_IString* outHostName) const override;

    // Automation delegate (recorded by HostAutomation).
    AAX_Result RegisterParameter(AAX_CParamID inParameterID) override;
    AAX_Result UnregisterParameter(AAX_CParamID inParameterID) override;
    AAX_Result PostSetValueRequest(AAX_CParamID inParameterID,
                                   double inNormalizedValue) const override;
    AAX_Result PostCurrentValue(AAX_CParamID inParameterID,
                                double inNormalizedValue) const override;
    AAX_Result PostTouchRequest(AAX_CParamID inParameterID) override;
    AAX_Result PostReleaseRequest(AAX_CParamID inParameterID) override;
    AAX_Result GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched) override;

    // Transport: a stopped transport at 120 bpm in 4/4.
    AAX_Result GetCurrentTempo(double* outTempo) const override;
    AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const override;
    AAX_Result IsTransportPlaying(AAX_CBoolean* outIsPlaying) const override;
    AAX_Result GetCurrentTickPosition(AAX_CTransportCounter* outTicks) const override;
    AAX_Result GetCurrentLoopPosition(AAX_CBoolean* outLooping,
                                      AAX_CTransportCounter* outLoopStartTick,
                                      AAX_CTransportCounter* outLoopEndTick) const override;
    AAX_Result GetCurrentNativeSampleLocation(AAX_CTransportCounter* outSample) const override;
    AAX_Result GetCustomTickPosition(AAX_CTransportCounter* outTicks,
                                     AAX_CTransportCounter inSampleLocation) const override;
    AAX_Result GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                  AAX_CTransportCounter inSampleLocation) const override;
    AAX_Result GetTicksPerQuarter(uint32_t* outTicks) const override;
    AAX_Result GetCurrentTicksPerBeat(uint32_t* outTicks) const override;
    AAX_Result GetTimelineSelectionStartPosition(AAX_CTransportCounter* outSample) const override;
    AAX_Result IsMetronomeEnabled(int32_t* outEnabled) const override;

    // The data model handed out for the effect-parameters IDs (one reference held), or null.
    void SetEffectParameters(IACFUnknown* inEffectParameters);
    HostAutomation& Automation() const { return mAutomation; }
    // Takes the packets posted since the last call, in posting order.
    std::vector<PostedPacket> TakePostedPackets();
    // The posts accepted so far (port and payload), oldest first, for inspection; only the most
    // recent kPostLogLimit are kept, so a long automated session does not grow without bound.
    static constexpr size_t kPostLogLimit = 4096;
    std::vector<PostedPacket> PostLog() const;
    void ClearPostLog();
    IACFUnknown* Unknown() { return HostObject::Unknown(); }

private:
    HostController(double inSampleRate, AAX_EStemFormat inStemFormat, std::string inEffectID,
                   std::map<AAX_CFieldIndex, uint32_t> inPortSizes);
    ~HostController() override;
    void* FindInterface(const acfIID& inIID) override;

    const double mSampleRate;
    const AAX_EStemFormat mStemFormat;
    const std::string mEffectID;
    const std::map<AAX_CFieldIndex, uint32_t> mPortSizes;
    mutable HostAutomation mAutomation;
    mutable std::mutex mPacketMutex;
    std::vector<PostedPacket> mPending;
    std::deque<PostedPacket> mPostLog;
    std::mutex mModelMutex;
    IACFUnknown* mEffectParameters = nullptr;
    int32_t mLatency = 0;
};

} // namespace tavelo::host
