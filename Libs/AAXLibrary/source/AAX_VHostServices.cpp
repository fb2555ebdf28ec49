#include "AAX_VHostServices.h"

#include "AAX_UIDs.h"

AAX_VHostServices::AAX_VHostServices(IACFUnknown* inHost)
    : mV1(ACFQueryHostComponent<AAX_IACFHostServices>(inHost, AAXCompID_HostServices,
                                                      IID_IAAXHostServicesV1)),
      mV2(ACFQueryHostComponent<AAX_IACFHostServices_V2>(inHost, AAXCompID_HostServices,
                                                         IID_IAAXHostServicesV2)),
      mV3(ACFQueryHostComponent<AAX_IACFHostServices_V3>(inHost, AAXCompID_HostServices,
                                                         IID_IAAXHostServicesV3))
{
}

AAX_Result AAX_VHostServices::HandleAssertFailure(const char* inFile, int32_t inLine,
                                                  const char* inNote, int32_t inFlags) const
{
    if (mV3) return mV3->HandleAssertFailure(inFile, inLine, inNote, inFlags);
    return Missing();
}

AAX_Result AAX_VHostServices::Trace(int32_t inPriority, const char* inMessage) const
{
    if (mV1) return mV1->Trace(inPriority, inMessage);
    if (mV2) return mV2->Trace(inPriority, inMessage);
    if (mV3) return mV3->Trace(inPriority, inMessage);
    return Missing();
}

AAX_Result AAX_VHostServices::StackTrace(int32_t inTracePriority, int32_t inStackTracePriority,
                                         const char* inMessage) const
{
    if (mV2) return mV2->StackTrace(inTracePriority, inStackTracePriority, inMessage);
    if (mV3) return mV3->StackTrace(inTracePriority, inStackTracePriority, inMessage);
    return Missing();
}
