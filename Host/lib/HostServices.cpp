#include "HostServices.h"

#include "AAX_UIDs.h"

#include <stdexcept>

namespace tavelo::host
{

HostServices* HostServices::Create(int inNewestVersion)
{
    return new HostServices(inNewestVersion);
}

void* HostServices::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXHostServicesV1)
        return static_cast<AAX_IACFHostServices*>(this);
    if (inIID == IID_IAAXHostServicesV2 && mNewestVersion >= 2)
        return static_cast<AAX_IACFHostServices_V2*>(this);
    if (inIID == IID_IAAXHostServicesV3 && mNewestVersion >= 3)
        return static_cast<AAX_IACFHostServices_V3*>(this);
    return nullptr;
}

AAX_Result HostServices::Trace(int32_t inPriority, const char* inMessage)
{
    std::lock_guard lock(mMutex);
    mTraces.push_back({inPriority, inMessage ? inMessage : ""});
    if (mEcho)
        std::fprintf(mEcho, "[trace 0x%08x] %s\n", unsigned(inPriority),
                     mTraces.back().text.c_str());
    if (mThrowOnTrace) throw std::runtime_error("host trace service failed");
    return AAX_SUCCESS;
}

AAX_Result HostServices::StackTrace(int32_t inTracePriority, int32_t, const char* inMessage)
{
    // No stack is available across the boundary; the message is what matters.
    return Trace(inTracePriority, inMessage);
}

AAX_Result HostServices::HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                             int32_t inFlags)
{
    std::lock_guard lock(mMutex);
    mAssertions.push_back({inFile ? inFile : "", inLine, inNote ? inNote : "", inFlags});
    if (mEcho)
        std::fprintf(mEcho, "[assertion] %s:%d: %s\n", mAssertions.back().file.c_str(), int(inLine),
                     mAssertions.back().note.c_str());
    return AAX_SUCCESS;
}

std::vector<AssertionReport> HostServices::Assertions() const
{
    std::lock_guard lock(mMutex);
    return mAssertions;
}

std::vector<TraceMessage> HostServices::Traces() const
{
    std::lock_guard lock(mMutex);
    return mTraces;
}

void HostServices::ClearRecords()
{
    std::lock_guard lock(mMutex);
    mAssertions.clear();
    mTraces.clear();
}

void HostServices::SetEcho(std::FILE* inStream)
{
    std::lock_guard lock(mMutex);
    mEcho = inStream;
}

void HostServices::Print(std::FILE* inStream) const
{
    std::lock_guard lock(mMutex);
    for (const AssertionReport& report : mAssertions)
        std::fprintf(inStream, "[assertion] %s:%d: %s\n", report.file.c_str(), int(report.line),
                     report.note.c_str());
    for (const TraceMessage& trace : mTraces)
        std::fprintf(inStream, "[trace 0x%08x] %s\n", unsigned(trace.priority), trace.text.c_str());
}

} // namespace tavelo::host
