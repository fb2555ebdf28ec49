// Process-wide facade for assertion reports and trace messages to the host. Set up by
// ACFStartup and torn down by ACFShutdown (host non-real-time thread); used from any
// non-real-time thread. Without a host every call does nothing and returns AAX_SUCCESS.
#pragma once

#include "AAX.h"

#include <atomic>

class IACFUnknown;
class AAX_VHostServices;

class AAX_CHostServices
{
public:
    // Non-null while no wrapper exists: wrap the host. Null while one exists: delete it.
    // Anything else is ignored, so a second start keeps the first wrapper.
    static void Set(IACFUnknown* inHost);

    // inFile is the source path under the project folder without extension, inNote the text
    // of the failed condition.
    static AAX_Result HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                          int32_t inFlags);
    // printf-style; the text is cut to 511 characters. -20051 when it cannot be formatted.
    static AAX_Result Trace(AAX_ETracePriorityHost inPriority, const char* inFormat, ...)
        __attribute__((format(printf, 2, 3)));

    // The wrapper in use, or null while the bundle is not started.
    static AAX_VHostServices* Get() { return sHostServices.load(); }

private:
    static std::atomic<AAX_VHostServices*> sHostServices;
};
