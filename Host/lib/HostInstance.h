// One plug-in instance on the stand-in host, as a host's insert: the data model created
// through the bundle's data-model factory (procedure 0) and initialized with the instance's
// host object, the render context with its private blocks filled by ResetFieldData, packet
// delivery, automation confirmation and chunks. Driven from one host non-real-time thread
// (the caller's); rendering happens on the renderer's own audio thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AAX.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IMIDINode.h"
#include "HostAutomation.h"
#include "HostController.h"
#include "HostDescription.h"
#include "HostRenderer.h"

namespace tavelo::host
{

struct InstanceOptions
{
    AAX_EStemFormat stemFormat = AAX_eStemFormat_Mono;
    double sampleRate = 48000.0;
    int32_t blockSize = 512; // samples per render call
    std::string effectID;
};

struct ParameterInfo
{
    int32_t index = -1;
    std::string identifier;
    std::string name;
    double normalized = 0.0;
    double defaultNormalized = 0.0;
    int32_t steps = 0;
    AAX_EParameterType type = AAX_eParameterType_Continuous;
    bool automatable = false;
    std::string valueString;
};

class HostInstance
{
public:
    // Throws HostError when the rate is unsupported, the stem format has no component, the
    // factory gives no data model or its Initialize fails.
    HostInstance(AAX_CCreateObjectProc inDataModelFactory, const ComponentRecord& inComponent,
                 const InstanceOptions& inOptions);
    // Picks the effect's component for the stem format and its factory 0.
    static std::unique_ptr<HostInstance> Create(const EffectRecord& inEffect,
                                                const InstanceOptions& inOptions);
    ~HostInstance();
    HostInstance(const HostInstance&) = delete;
    HostInstance& operator=(const HostInstance&) = delete;

    // The data model's host-facing interface and the per-instance host object.
    AAX_IACFEffectParameters* Parameters() const { return mParameters; }
    IACFUnknown* HostUnknown() const { return mController->Unknown(); }
    HostController& Controller() const { return *mController; }
    HostAutomation& Automation() const { return mController->Automation(); }
    HostRenderer& Renderer() { return *mRenderer; }
    const InstanceOptions& Options() const { return mOptions; }
    int32_t Channels() const { return mRenderer->Channels(); }

    // Parameters by identifier. SetParameter asks the data model (SetParameterNormalizedValue)
    // and then runs the host's update, so the value is confirmed on return.
    AAX_Result SetParameter(const std::string& inIdentifier, double inNormalized);
    AAX_Result GetParameter(const std::string& inIdentifier, double* outNormalized) const;
    std::vector<ParameterInfo> ListParameters() const;

    // The host's update: confirms every queued set-value request with
    // UpdateParameterNormalizedValue and tells the listener; returns how many were confirmed.
    int32_t Update();
    // GenerateCoefficients, then every posted packet copied into its data port.
    AAX_Result GenerateCoefficients();
    // Processes inFrames samples in host-sized blocks: before each block the host updates,
    // generates coefficients and delivers the MIDI due in that block. Channels() buffers each.
    void Process(const float* const* inInputs, float* const* outOutputs, int64_t inFrames);
    // Queues a MIDI message at an absolute sample position of the processed stream.
    void SendMidi(int64_t inSamplePosition, uint8_t inStatus, uint8_t inData1, uint8_t inData2);
    void SendExpression(int64_t inSamplePosition, uint8_t inValue, uint8_t inChannel = 0);
    int64_t SamplePosition() const { return mSamplePosition; }

    // Chunks in the record form (56-byte header, then the data).
    std::vector<uint8_t> GetChunk(AAX_Result* outResult = nullptr) const;
    // Refuses a record shorter than its header or than the data size it announces (-20026);
    // the restored values are confirmed before it returns.
    AAX_Result SetChunk(const std::vector<uint8_t>& inRecord);
    AAX_Result CompareChunk(const std::vector<uint8_t>& inRecord, bool* outEqual) const;

    // Editor hook: told after each confirmed value change.
    void SetParameterUpdatedListener(std::function<void(const std::string&)> inListener);

private:
    void Teardown();

    InstanceOptions mOptions;
    HostController* mController = nullptr;
    AAX_IACFEffectParameters* mParameters = nullptr;
    std::unique_ptr<HostRenderer> mRenderer;
    std::function<void(const std::string&)> mListener;
    struct QueuedMidi
    {
        int64_t position;
        AAX_CMidiPacket packet;
    };
    std::vector<QueuedMidi> mMidiQueue;
    int64_t mSamplePosition = 0;
    bool mInitialized = false;
};

} // namespace tavelo::host
