// The host's services given to a loaded bundle: records every assertion report and trace
// message, and can echo them. Any thread (the plug-in may trace from any of its threads).
#pragma once

#include "AAX_IACFHostServices.h"
#include "HostObject.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace tavelo::host
{

struct AssertionReport
{
    std::string file;
    int32_t line = 0;
    std::string note;
    int32_t flags = 0;
};

struct TraceMessage
{
    int32_t priority = 0;
    std::string text;
};

class HostServices final : public HostObject<AAX_IACFHostServices_V3>
{
public:
    // Which versions the host answers (all by default); fewer for testing older-host paths.
    static HostServices* Create(int inNewestVersion = 3);

    AAX_Result Trace(int32_t inPriority, const char* inMessage) override;
    AAX_Result StackTrace(int32_t inTracePriority, int32_t inStackTracePriority,
                          const char* inMessage) override;
    AAX_Result HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                   int32_t inFlags) override;

    std::vector<AssertionReport> Assertions() const;
    std::vector<TraceMessage> Traces() const;
    void ClearRecords();
    // Echo each report and message as it arrives (null stops echoing).
    void SetEcho(std::FILE* inStream);
    // A misbehaving host: every trace call throws after recording (tests of the entry points).
    void SetThrowOnTrace(bool inThrow) { mThrowOnTrace = inThrow; }
    // Writes every recorded report and message, one per line.
    void Print(std::FILE* inStream) const;

private:
    explicit HostServices(int inNewestVersion) : mNewestVersion(inNewestVersion) {}
    void* FindInterface(const acfIID& inIID) override;

    const int mNewestVersion;
    mutable std::mutex mMutex;
    std::vector<AssertionReport> mAssertions;
    std::vector<TraceMessage> mTraces;
    std::FILE* mEcho = nullptr;
    std::atomic<bool> mThrowOnTrace{false};
};

} // namespace tavelo::host
