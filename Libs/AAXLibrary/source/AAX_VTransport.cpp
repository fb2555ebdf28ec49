#include "AAX_VTransport.h"

#include "AAX_UIDs.h"

AAX_VTransport::AAX_VTransport(IACFUnknown* inHost)
    : mV1(ACFQueryInterface<AAX_IACFTransport>(inHost, IID_IAAXTransportV1)),
      mV2(ACFQueryInterface<AAX_IACFTransport_V2>(inHost, IID_IAAXTransportV2))
{
}

#define TAVELO_FORWARD_TO_BASE(call)                                                               \
    if (AAX_IACFTransport* t = Base()) return t->call;                                             \
    return Missing();

AAX_Result AAX_VTransport::GetCurrentTempo(double* outTempo) const {
    TAVELO_FORWARD_TO_BASE(GetCurrentTempo(outTempo))}

AAX_Result AAX_VTransport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const {
    TAVELO_FORWARD_TO_BASE(GetCurrentMeter(outNumerator, outDenominator))}

AAX_Result AAX_VTransport::IsTransportPlaying(AAX_CBoolean* outIsPlaying) const {
    TAVELO_FORWARD_TO_BASE(IsTransportPlaying(outIsPlaying))}

AAX_Result AAX_VTransport::GetCurrentTickPosition(AAX_CTransportCounter* outTicks) const {
    TAVELO_FORWARD_TO_BASE(GetCurrentTickPosition(outTicks))}

AAX_Result AAX_VTransport::GetCurrentLoopPosition(AAX_CBoolean* outLooping,
                                                  AAX_CTransportCounter* outLoopStartTick,
                                                  AAX_CTransportCounter* outLoopEndTick) const {
    TAVELO_FORWARD_TO_BASE(GetCurrentLoopPosition(outLooping, outLoopStartTick, outLoopEndTick))}

AAX_Result AAX_VTransport::GetCurrentNativeSampleLocation(AAX_CTransportCounter* outSample) const {
    TAVELO_FORWARD_TO_BASE(GetCurrentNativeSampleLocation(outSample))}

AAX_Result AAX_VTransport::GetCustomTickPosition(AAX_CTransportCounter* outTicks,
                                                 AAX_CTransportCounter inSampleLocation) const {
    TAVELO_FORWARD_TO_BASE(GetCustomTickPosition(outTicks, inSampleLocation))}

AAX_Result AAX_VTransport::GetBarBeatPosition(int32_t* outBars, int32_t* outBeats,
                                              int64_t* outDisplayTicks,
                                              AAX_CTransportCounter inSampleLocation) const {
    TAVELO_FORWARD_TO_BASE(GetBarBeatPosition(outBars, outBeats, outDisplayTicks,
                                              inSampleLocation))}

AAX_Result AAX_VTransport::GetTicksPerQuarter(uint32_t* outTicks) const {
    TAVELO_FORWARD_TO_BASE(GetTicksPerQuarter(outTicks))}

AAX_Result AAX_VTransport::GetCurrentTicksPerBeat(uint32_t* outTicks) const {
    TAVELO_FORWARD_TO_BASE(GetCurrentTicksPerBeat(outTicks))}

#undef TAVELO_FORWARD_TO_BASE

AAX_Result AAX_VTransport::GetTimelineSelectionStartPosition(AAX_CTransportCounter* outSample) const
{
    if (mV2) return mV2->GetTimelineSelectionStartPosition(outSample);
    return Missing();
}

AAX_Result AAX_VTransport::IsMetronomeEnabled(int32_t* outEnabled) const
{
    if (mV2) return mV2->IsMetronomeEnabled(outEnabled);
    return Missing();
}
