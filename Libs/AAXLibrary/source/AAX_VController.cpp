#include "AAX_VController.h"

#include "AAX_UIDs.h"

AAX_VController::AAX_VController(IACFUnknown* inHost)
    : mV1(ACFQueryInterface<AAX_IACFController>(inHost, IID_IAAXControllerV1)),
      mV2(ACFQueryInterface<AAX_IACFController_V2>(inHost, IID_IAAXControllerV2))
{
}

AAX_Result AAX_VController::PostPacket(AAX_CFieldIndex inFieldIndex, const void* inPayloadP,
                                       uint32_t inPayloadSize)
{
    if (AAX_IACFController* c = Base())
        return c->PostPacket(inFieldIndex, inPayloadP, inPayloadSize);
    return Missing();
}

AAX_Result AAX_VController::GetEffectID(AAX_IString* outEffectID) const
{
    if (AAX_IACFController* c = Base()) return c->GetEffectID(outEffectID);
    return Missing();
}

AAX_Result AAX_VController::GetSampleRate(AAX_CSampleRate* outSampleRate) const
{
    if (AAX_IACFController* c = Base()) return c->GetSampleRate(outSampleRate);
    return Missing();
}

AAX_Result AAX_VController::GetInputStemFormat(AAX_EStemFormat* outStemFormat) const
{
    if (AAX_IACFController* c = Base()) return c->GetInputStemFormat(outStemFormat);
    return Missing();
}

AAX_Result AAX_VController::GetOutputStemFormat(AAX_EStemFormat* outStemFormat) const
{
    if (AAX_IACFController* c = Base()) return c->GetOutputStemFormat(outStemFormat);
    return Missing();
}

AAX_Result AAX_VController::GetSignalLatency(int32_t* outSamples) const
{
    if (AAX_IACFController* c = Base()) return c->GetSignalLatency(outSamples);
    return Missing();
}

AAX_Result AAX_VController::SetSignalLatency(int32_t inSamples)
{
    if (AAX_IACFController* c = Base()) return c->SetSignalLatency(inSamples);
    return Missing();
}

AAX_Result AAX_VController::GetHybridSignalLatency(int32_t* outSamples) const
{
    if (mV2) return mV2->GetHybridSignalLatency(outSamples);
    return Missing();
}

AAX_Result AAX_VController::GetCycleCount(AAX_EProperty inWhichCycleCount,
                                          AAX_CPropertyValue* outNumCycles) const
{
    if (AAX_IACFController* c = Base()) return c->GetCycleCount(inWhichCycleCount, outNumCycles);
    return Missing();
}

AAX_Result AAX_VController::SetCycleCount(AAX_EProperty* inWhichCycleCounts,
                                          AAX_CPropertyValue* inValues, int32_t inNumValues)
{
    if (AAX_IACFController* c = Base())
        return c->SetCycleCount(inWhichCycleCounts, inValues, inNumValues);
    return Missing();
}

AAX_Result AAX_VController::GetHostName(AAX_IString* outHostName) const
{
    if (mV2) return mV2->GetHostName(outHostName);
    return Missing();
}
