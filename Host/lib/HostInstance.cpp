#include "HostInstance.h"

#include <algorithm>
#include <cstring>

#include "AAX_CString.h"
#include "AAX_UIDs.h"
#include "HostError.h"
#include "HostSampleRate.h"

namespace tavelo::host
{

namespace
{
constexpr AAX_CTypeID kControlsChunkID = AAX_FourCC("elck");
constexpr uint32_t kHeaderSize = kAAX_ChunkHeaderSize;

// The data model receives an aligned copy of a record, as a host hands over its own; empty when
// the record is shorter than its header or than the data size it announces.
std::vector<uint64_t> AlignedRecord(const std::vector<uint8_t>& inRecord)
{
    if (inRecord.size() < kHeaderSize) return {};
    AAX_SPlugInChunkHeader header;
    std::memcpy(&header, inRecord.data(), sizeof header);
    if (header.fSize < 0 || uint64_t(header.fSize) > inRecord.size() - kHeaderSize) return {};
    std::vector<uint64_t> aligned((inRecord.size() + 7) / 8 + 1, 0);
    std::memcpy(aligned.data(), inRecord.data(), inRecord.size());
    return aligned;
}

// A minimal string object for the host's own queries.
class HostString final : public AAX_IString
{
public:
    uint32_t Length() const override { return uint32_t(mText.size()); }
    uint32_t MaxLength() const override { return 4294967294u; }
    const char* Get() const override { return mText.c_str(); }
    void Set(const char* inString) override { mText = inString ? inString : ""; }
    AAX_IString& operator=(const AAX_IString& inOther) override
    {
        Set(inOther.Get());
        return *this;
    }
    AAX_IString& operator=(const char* inString) override
    {
        Set(inString);
        return *this;
    }
    const std::string& Text() const { return mText; }

private:
    std::string mText;
};

int32_t ChannelsOf(AAX_EStemFormat inStemFormat)
{
    if (inStemFormat == AAX_eStemFormat_Mono) return 1;
    if (inStemFormat == AAX_eStemFormat_Stereo) return 2;
    throw HostError("unsupported stem format " + std::to_string(int32_t(inStemFormat)) +
                    ": mono or stereo");
}
} // namespace

std::unique_ptr<HostInstance> HostInstance::Create(const EffectRecord& inEffect,
                                                   const InstanceOptions& inOptions)
{
    const ComponentRecord* component = inEffect.Component(inOptions.stemFormat);
    if (!component)
        throw HostError("the effect has no configuration for stem format " +
                        std::to_string(int32_t(inOptions.stemFormat)));
    auto factory = reinterpret_cast<AAX_CCreateObjectProc>(
        inEffect.ProcPtr(AAX_eProcPtrID_Create_EffectParameters));
    if (!factory) throw HostError("the effect registers no data-model factory (procedure 0)");
    InstanceOptions options = inOptions;
    if (options.effectID.empty()) options.effectID = inEffect.effectID;
    return std::make_unique<HostInstance>(factory, *component, options);
}

HostInstance::HostInstance(AAX_CCreateObjectProc inDataModelFactory,
                           const ComponentRecord& inComponent, const InstanceOptions& inOptions)
    : mOptions(inOptions)
{
    validateSampleRate(inOptions.sampleRate);
    const int32_t channels = ChannelsOf(inOptions.stemFormat);
    if (!inDataModelFactory) throw HostError("no data-model factory");
    mRenderer = std::make_unique<HostRenderer>(inComponent, channels, float(inOptions.sampleRate),
                                               inOptions.blockSize);
    mController = HostController::Create(inOptions.sampleRate, inOptions.stemFormat,
                                         inOptions.effectID, mRenderer->PortSizes());

    IACFUnknown* created = inDataModelFactory();
    if (!created)
    {
        mController->Release();
        throw HostError("the data-model factory returned no object");
    }
    // Hold the new object while asking it for its interface, so a refused query frees it.
    created->AddRef();
    void* parameters = nullptr;
    const acfResult queried = created->QueryInterface(IID_IAAXEffectParametersV1, &parameters);
    created->Release();
    if (queried != ACF_OK || !parameters)
    {
        mController->Release();
        throw HostError("the data model does not answer the effect-parameters interface");
    }
    mParameters = static_cast<AAX_IACFEffectParameters*>(parameters);
    mController->SetEffectParameters(mParameters);

    const AAX_Result initialized = mParameters->Initialize(mController->Unknown());
    mInitialized = true;
    if (initialized != AAX_SUCCESS)
    {
        const std::string message =
            "the data model's Initialize failed with " + std::to_string(initialized);
        Teardown();
        throw HostError(message);
    }
    for (const HostRenderer::Block& block : mRenderer->PrivateBlocks())
        mParameters->ResetFieldData(block.index, block.data, block.size);
}

HostInstance::~HostInstance()
{
    Teardown();
}

void HostInstance::Teardown()
{
    if (!mParameters && !mController) return;
    mRenderer.reset(); // the audio thread stops first
    if (mParameters)
    {
        if (mInitialized) mParameters->Uninitialize();
        mController->SetEffectParameters(nullptr);
        mParameters->Release();
        mParameters = nullptr;
    }
    if (mController)
    {
        mController->Release();
        mController = nullptr;
    }
}

AAX_Result HostInstance::SetParameter(const std::string& inIdentifier, double inNormalized)
{
    const AAX_Result result =
        mParameters->SetParameterNormalizedValue(inIdentifier.c_str(), inNormalized);
    Update();
    return result;
}

AAX_Result HostInstance::GetParameter(const std::string& inIdentifier, double* outNormalized) const
{
    return mParameters->GetParameterNormalizedValue(inIdentifier.c_str(), outNormalized);
}

std::vector<ParameterInfo> HostInstance::ListParameters() const
{
    std::vector<ParameterInfo> list;
    int32_t count = 0;
    mParameters->GetNumberOfParameters(&count);
    for (int32_t index = 0; index < count; ++index)
    {
        ParameterInfo info;
        info.index = index;
        HostString text;
        if (mParameters->GetParameterIDFromIndex(index, &text) != AAX_SUCCESS) continue;
        info.identifier = text.Text();
        const char* id = info.identifier.c_str();
        mParameters->GetParameterName(id, &text);
        info.name = text.Text();
        mParameters->GetParameterNormalizedValue(id, &info.normalized);
        mParameters->GetParameterDefaultNormalizedValue(id, &info.defaultNormalized);
        mParameters->GetParameterNumberOfSteps(id, &info.steps);
        mParameters->GetParameterType(id, &info.type);
        AAX_CBoolean automatable = 0;
        mParameters->GetParameterIsAutomatable(id, &automatable);
        info.automatable = automatable != 0;
        if (mParameters->GetParameterValueString(id, &text, 64) == AAX_SUCCESS)
            info.valueString = text.Text();
        list.push_back(std::move(info));
    }
    return list;
}

int32_t HostInstance::Update()
{
    int32_t confirmed = 0;
    for (const AutomationEvent& request : Automation().TakePendingRequests())
    {
        const AAX_Result result = mParameters->UpdateParameterNormalizedValue(
            request.parameterID.c_str(), request.value, AAX_eUpdateSource_Parameter);
        if (result != AAX_SUCCESS) continue;
        ++confirmed;
        if (mListener) mListener(request.parameterID);
    }
    return confirmed;
}

AAX_Result HostInstance::GenerateCoefficients()
{
    const AAX_Result result = mParameters->GenerateCoefficients();
    for (const PostedPacket& packet : mController->TakePostedPackets())
        mRenderer->DeliverPacket(packet.port, packet.payload);
    return result;
}

void HostInstance::Process(const float* const* inInputs, float* const* outOutputs, int64_t inFrames)
{
    const int32_t channels = Channels();
    int64_t done = 0;
    while (done < inFrames)
    {
        const int32_t frames = int32_t(std::min<int64_t>(inFrames - done, mOptions.blockSize));
        Update();
        GenerateCoefficients();

        // MIDI due in this block, in timestamp order; late messages play at its start.
        std::vector<AAX_CMidiPacket> midi;
        const int64_t blockEnd = mSamplePosition + frames;
        std::stable_sort(mMidiQueue.begin(), mMidiQueue.end(),
                         [](const QueuedMidi& a, const QueuedMidi& b)
                         { return a.position < b.position; });
        auto due = mMidiQueue.begin();
        for (; due != mMidiQueue.end() && due->position < blockEnd; ++due)
        {
            AAX_CMidiPacket packet = due->packet;
            packet.mTimestamp = uint32_t(std::max<int64_t>(0, due->position - mSamplePosition));
            midi.push_back(packet);
        }
        mMidiQueue.erase(mMidiQueue.begin(), due);

        const float* inputs[2] = {};
        float* outputs[2] = {};
        for (int32_t c = 0; c < channels; ++c)
        {
            inputs[c] = inInputs && inInputs[c] ? inInputs[c] + done : nullptr;
            outputs[c] = outOutputs && outOutputs[c] ? outOutputs[c] + done : nullptr;
        }
        mRenderer->Render(inputs, outputs, frames, std::move(midi));
        mSamplePosition = blockEnd;
        done += frames;
    }
}

void HostInstance::SendMidi(int64_t inSamplePosition, uint8_t inStatus, uint8_t inData1,
                            uint8_t inData2)
{
    QueuedMidi queued{inSamplePosition, AAX_CMidiPacket{}};
    queued.packet.mLength = 3;
    queued.packet.mData[0] = inStatus;
    queued.packet.mData[1] = inData1;
    queued.packet.mData[2] = inData2;
    mMidiQueue.push_back(queued);
}

void HostInstance::SendExpression(int64_t inSamplePosition, uint8_t inValue, uint8_t inChannel)
{
    SendMidi(inSamplePosition, uint8_t(0xB0 | (inChannel & 0x0F)), 11, uint8_t(inValue & 0x7F));
}

std::vector<uint8_t> HostInstance::GetChunk(AAX_Result* outResult) const
{
    AAX_Result ignored = AAX_SUCCESS;
    AAX_Result& result = outResult ? *outResult : ignored;
    uint32_t size = 0;
    result = mParameters->GetChunkSize(kControlsChunkID, &size);
    if (result != AAX_SUCCESS) return {};
    std::vector<uint8_t> record(kHeaderSize + size, 0);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    chunk->fManID = AAX_FourCC("Quor");
    chunk->fChunkID = kControlsChunkID;
    result = mParameters->GetChunk(kControlsChunkID, chunk);
    if (result != AAX_SUCCESS) return {};
    // The data model says how much it wrote; never trust it past the buffer.
    if (chunk->fSize < 0 || uint32_t(chunk->fSize) > size)
    {
        result = AAX_ERROR_INCORRECT_CHUNK_SIZE;
        return {};
    }
    record.resize(kHeaderSize + uint32_t(chunk->fSize));
    return record;
}

AAX_Result HostInstance::SetChunk(const std::vector<uint8_t>& inRecord)
{
    const std::vector<uint64_t> aligned = AlignedRecord(inRecord);
    if (aligned.empty()) return AAX_ERROR_MALFORMED_CHUNK;
    const auto* chunk = reinterpret_cast<const AAX_SPlugInChunk*>(aligned.data());
    const AAX_Result result = mParameters->SetChunk(chunk->fChunkID, chunk);
    Update();
    return result;
}

AAX_Result HostInstance::CompareChunk(const std::vector<uint8_t>& inRecord, bool* outEqual) const
{
    if (!outEqual) return AAX_ERROR_NULL_OBJECT;
    const std::vector<uint64_t> aligned = AlignedRecord(inRecord);
    if (aligned.empty()) return AAX_ERROR_MALFORMED_CHUNK;
    AAX_CBoolean equal = 0;
    const AAX_Result result = mParameters->CompareActiveChunk(
        reinterpret_cast<const AAX_SPlugInChunk*>(aligned.data()), &equal);
    *outEqual = equal != 0;
    return result;
}

void HostInstance::SetParameterUpdatedListener(std::function<void(const std::string&)> inListener)
{
    mListener = std::move(inListener);
}

} // namespace tavelo::host
