// Test helpers: a host-services object that records assertion reports and traces, and an
// in-process amp data model initialized with the stand-in host's per-instance object.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AAX_CHostServices.h"
#include "AAX_IACFHostServices.h"
#include "AAX_UIDs.h"
#include "Engine/RovuRiza_Alg_Context.h"
#include "HostController.h"
#include "RovuRiza_Parameters.h"

namespace test
{

class RecordingHostServices final : public tavelo::host::HostObject<AAX_IACFHostServices_V3>
{
public:
    struct Report
    {
        std::string file;
        int32_t line;
        std::string note;
    };

    AAX_Result Trace(int32_t inPriority, const char* inMessage) override
    {
        const std::lock_guard lock(mMutex);
        traces.push_back(std::to_string(inPriority) + " " + inMessage);
        return AAX_SUCCESS;
    }
    AAX_Result StackTrace(int32_t, int32_t, const char*) override { return AAX_SUCCESS; }
    AAX_Result HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                   int32_t) override
    {
        const std::lock_guard lock(mMutex);
        reports.push_back(Report{inFile, inLine, inNote});
        return AAX_SUCCESS;
    }

    std::vector<Report> reports;
    std::vector<std::string> traces;

private:
    void* FindInterface(const acfIID& inIID) override
    {
        if (inIID == IID_IACFUnknown || inIID == IID_IAAXHostServicesV1 ||
            inIID == IID_IAAXHostServicesV2 || inIID == IID_IAAXHostServicesV3)
            return static_cast<AAX_IACFHostServices_V3*>(this);
        return nullptr;
    }
    std::mutex mMutex;
};

// Installs a recording host-services object for the scope of a test.
class ScopedHostServices
{
public:
    ScopedHostServices() : mServices(new RecordingHostServices)
    {
        AAX_CHostServices::Set(nullptr);
        AAX_CHostServices::Set(mServices);
    }
    ~ScopedHostServices()
    {
        AAX_CHostServices::Set(nullptr);
        mServices->Release();
    }
    RecordingHostServices& operator*() { return *mServices; }
    RecordingHostServices* operator->() { return mServices; }

private:
    RecordingHostServices* mServices;
};

inline std::map<AAX_CFieldIndex, uint32_t> AmpPortSizes()
{
    using namespace RovuRiza_Field;
    return {{kBypass, 4}, {kGainTremolo, 8}, {kTone, 4},   {kRate, 4},
            {kVolume, 4}, {kSoundValue, 4},  {kPickup, 4}, {kSound, kVoicingPayloadSize}};
}

// The amp's data model as a host holds it: created, queried, initialized with a host object.
class AmpInstance
{
public:
    explicit AmpInstance(double inSampleRate = 48000.0)
        : host(tavelo::host::HostController::Create(inSampleRate, AAX_eStemFormat_Mono,
                                                    "test.effect", AmpPortSizes()))
    {
        IACFUnknown* created = RovuRiza_Parameters::Create();
        created->AddRef();
        void* found = nullptr;
        created->QueryInterface(IID_IAAXEffectParametersV1, &found);
        created->Release();
        model = static_cast<AAX_IACFEffectParameters*>(found);
        amp = static_cast<RovuRiza_Parameters*>(model);
        host->SetEffectParameters(model);
        initializeResult = model->Initialize(host->Unknown());
    }
    ~AmpInstance()
    {
        model->Uninitialize();
        host->SetEffectParameters(nullptr);
        model->Release();
        host->Release();
    }
    AmpInstance(const AmpInstance&) = delete;
    AmpInstance& operator=(const AmpInstance&) = delete;

    // The host's next update: confirms every queued set-value request.
    int Confirm()
    {
        int count = 0;
        for (const auto& request : host->Automation().TakePendingRequests())
        {
            model->UpdateParameterNormalizedValue(request.parameterID.c_str(), request.value,
                                                  AAX_eUpdateSource_Parameter);
            ++count;
        }
        return count;
    }

    // Posts of one dispatch, by port.
    std::vector<tavelo::host::PostedPacket> Dispatch()
    {
        host->TakePostedPackets();
        model->GenerateCoefficients();
        return host->TakePostedPackets();
    }

    tavelo::host::HostController* host;
    AAX_IACFEffectParameters* model = nullptr;
    RovuRiza_Parameters* amp = nullptr;
    AAX_Result initializeResult = -1;
};

} // namespace test
