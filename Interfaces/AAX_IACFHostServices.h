// Host services as the host implements them: trace messages (V1), stack traces (V2) and
// assertion reports (V3). Each version extends the previous one.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFHostServices : public IACFUnknown
{
public:
    virtual AAX_Result Trace(int32_t inPriority, const char* inMessage) = 0;

protected:
    ~AAX_IACFHostServices() = default;
};

class AAX_IACFHostServices_V2 : public AAX_IACFHostServices
{
public:
    virtual AAX_Result StackTrace(int32_t inTracePriority, int32_t inStackTracePriority,
                                  const char* inMessage) = 0;

protected:
    ~AAX_IACFHostServices_V2() = default;
};

class AAX_IACFHostServices_V3 : public AAX_IACFHostServices_V2
{
public:
    virtual AAX_Result HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                           int32_t inFlags) = 0;

protected:
    ~AAX_IACFHostServices_V3() = default;
};
