// Wrapper of the host's transport (versions 1 and 2). Owned by the data model or the editor;
// host non-real-time threads.
#pragma once

#include "AAX_IACFTransport.h"
#include "AAX_ITransport.h"
#include "ACFPtr.h"

class AAX_VTransport : public AAX_ITransport
{
public:
    explicit AAX_VTransport(IACFUnknown* inHost);

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

    bool IsValid() const { return bool(mV1); }

private:
    AAX_IACFTransport* Base() const { return mV2 ? mV2.Get() : mV1.Get(); }
    AAX_Result Missing() const { return Base() ? AAX_ERROR_UNIMPLEMENTED : AAX_ERROR_NULL_OBJECT; }

    ACFPtr<AAX_IACFTransport> mV1;
    ACFPtr<AAX_IACFTransport_V2> mV2;
};
