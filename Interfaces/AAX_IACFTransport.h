// The host's transport as the host implements it: tempo, meter, play state and positions.
// V2 extends V1.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFTransport : public IACFUnknown
{
public:
    virtual AAX_Result GetCurrentTempo(double* outTempo) const = 0;
    virtual AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const = 0;
    virtual AAX_Result IsTransportPlaying(AAX_CBoolean* outIsPlaying) const = 0;
    virtual AAX_Result GetCurrentTickPosition(AAX_CTransportCounter* outTicks) const = 0;
    virtual AAX_Result GetCurrentLoopPosition(AAX_CBoolean* outLooping,
                                              AAX_CTransportCounter* outLoopStartTick,
                                              AAX_CTransportCounter* outLoopEndTick) const = 0;
    virtual AAX_Result GetCurrentNativeSampleLocation(AAX_CTransportCounter* outSample) const = 0;
    virtual AAX_Result GetCustomTickPosition(AAX_CTransportCounter* outTicks,
                                             AAX_CTransportCounter inSampleLocation) const = 0;
    virtual AAX_Result GetBarBeatPosition(int32_t* outBars, int32_t* outBeats,
                                          int64_t* outDisplayTicks,
                                          AAX_CTransportCounter inSampleLocation) const = 0;
    virtual AAX_Result GetTicksPerQuarter(uint32_t* outTicks) const = 0;
    virtual AAX_Result GetCurrentTicksPerBeat(uint32_t* outTicks) const = 0;

protected:
    ~AAX_IACFTransport() = default;
};

class AAX_IACFTransport_V2 : public AAX_IACFTransport
{
public:
    virtual AAX_Result
    GetTimelineSelectionStartPosition(AAX_CTransportCounter* outSample) const = 0;
    virtual AAX_Result IsMetronomeEnabled(int32_t* outEnabled) const = 0;

protected:
    ~AAX_IACFTransport_V2() = default;
};
