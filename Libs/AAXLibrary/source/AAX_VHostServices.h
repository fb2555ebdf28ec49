// Wrapper of the host's services (versions 1 to 3), reached through the host's component
// factory or the host object itself. Host non-real-time threads.
#pragma once

#include "AAX_IACFHostServices.h"
#include "AAX_IHostServices.h"
#include "ACFPtr.h"

class AAX_VHostServices : public AAX_IHostServices
{
public:
    explicit AAX_VHostServices(IACFUnknown* inHost);

    // Version 3; -20009 without it (-20004 when the host offers no version at all).
    AAX_Result HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                   int32_t inFlags) const override;
    // Any version.
    AAX_Result Trace(int32_t inPriority, const char* inMessage) const override;
    // Version 2 or 3.
    AAX_Result StackTrace(int32_t inTracePriority, int32_t inStackTracePriority,
                          const char* inMessage) const override;

    bool IsValid() const { return mV1 || mV2 || mV3; }

private:
    AAX_Result Missing() const
    {
        return IsValid() ? AAX_ERROR_UNIMPLEMENTED : AAX_ERROR_NULL_OBJECT;
    }

    ACFPtr<AAX_IACFHostServices> mV1;
    ACFPtr<AAX_IACFHostServices_V2> mV2;
    ACFPtr<AAX_IACFHostServices_V3> mV3;
};
