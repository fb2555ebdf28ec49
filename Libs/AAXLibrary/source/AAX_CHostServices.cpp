#include "AAX_CHostServices.h"

#include "AAX_VHostServices.h"

#include <cstdarg>
#include <cstdio>

std::atomic<AAX_VHostServices*> AAX_CHostServices::sHostServices{nullptr};

void AAX_CHostServices::Set(IACFUnknown* inHost)
{
    if (inHost && !sHostServices.load())
    {
        sHostServices.store(new AAX_VHostServices(inHost));
    }
    else if (!inHost)
    {
        delete sHostServices.exchange(nullptr);
    }
}

AAX_Result AAX_CHostServices::HandleAssertFailure(const char* inFile, int32_t inLine,
                                                  const char* inNote, int32_t inFlags)
{
    AAX_VHostServices* services = sHostServices.load();
    if (!services) return AAX_SUCCESS;
    return services->HandleAssertFailure(inFile, inLine, inNote, inFlags);
}

AAX_Result AAX_CHostServices::Trace(AAX_ETracePriorityHost inPriority, const char* inFormat, ...)
{
    AAX_VHostServices* services = sHostServices.load();
    if (!services) return AAX_SUCCESS;
    char message[512];
    va_list args;
    va_start(args, inFormat);
    const int written = inFormat ? std::vsnprintf(message, sizeof message, inFormat, args) : -1;
    va_end(args);
    if (written < 0) return AAX_ERROR_TRACE_FORMAT_FAILED;
    return services->Trace(inPriority, message);
}
