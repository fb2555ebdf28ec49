// Wrapper of a plug-in instance's controller (versions 1 and 2). Owned by the data model or
// the editor; host non-real-time threads.
#pragma once

#include "AAX_IACFController.h"
#include "AAX_IController.h"
#include "ACFPtr.h"

class AAX_VController : public AAX_IController
{
public:
    explicit AAX_VController(IACFUnknown* inHost);

    AAX_Result PostPacket(AAX_CFieldIndex inFieldIndex, const void* inPayloadP,
                          uint32_t inPayloadSize) override;
    AAX_Result GetEffectID(AAX_IString* outEffectID) const override;
    AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const override;
    AAX_Result GetInputStemFormat(AAX_EStemFormat* outStemFormat) const override;
    AAX_Result GetOutputStemFormat(AAX_EStemFormat* outStemFormat) const override;
    AAX_Result GetSignalLatency(int32_t* outSamples) const override;
    AAX_Result SetSignalLatency(int32_t inSamples) override;
    AAX_Result GetHybridSignalLatency(int32_t* outSamples) const override;
    AAX_Result GetCycleCount(AAX_EProperty inWhichCycleCount,
                             AAX_CPropertyValue* outNumCycles) const override;
    AAX_Result SetCycleCount(AAX_EProperty* inWhichCycleCounts, AAX_CPropertyValue* inValues,
                             int32_t inNumValues) override;
    AAX_Result GetHostName(AAX_IString* outHostName) const override;

    bool IsValid() const { return bool(mV1); }

private:
    // The newest version offering every V1 call.
    AAX_IACFController* Base() const { return mV2 ? mV2.Get() : mV1.Get(); }
    AAX_Result Missing() const { return Base() ? AAX_ERROR_UNIMPLEMENTED : AAX_ERROR_NULL_OBJECT; }

    ACFPtr<AAX_IACFController> mV1;
    ACFPtr<AAX_IACFController_V2> mV2;
};
