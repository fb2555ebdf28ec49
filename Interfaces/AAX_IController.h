// A plug-in instance's controller as the framework calls it (implemented by AAX_VController).
#pragma once

#include "AAX.h"

class AAX_IString;

class AAX_IController
{
public:
    virtual ~AAX_IController() = default;
    virtual AAX_Result PostPacket(AAX_CFieldIndex inFieldIndex, const void* inPayloadP,
                                  uint32_t inPayloadSize) = 0;
    virtual AAX_Result GetEffectID(AAX_IString* outEffectID) const = 0;
    virtual AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const = 0;
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* outStemFormat) const = 0;
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* outStemFormat) const = 0;
    virtual AAX_Result GetSignalLatency(int32_t* outSamples) const = 0;
    virtual AAX_Result SetSignalLatency(int32_t inSamples) = 0;
    virtual AAX_Result GetHybridSignalLatency(int32_t* outSamples) const = 0;
    virtual AAX_Result GetCycleCount(AAX_EProperty inWhichCycleCount,
                                     AAX_CPropertyValue* outNumCycles) const = 0;
    virtual AAX_Result SetCycleCount(AAX_EProperty* inWhichCycleCounts,
                                     AAX_CPropertyValue* inValues, int32_t inNumValues) = 0;
    virtual AAX_Result GetHostName(AAX_IString* outHostName) const = 0;
};
