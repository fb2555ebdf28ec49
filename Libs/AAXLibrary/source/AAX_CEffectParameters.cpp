#include "AAX_CEffectParameters.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "AAX_CChunkValueCodec.h"
#include "AAX_CHostServices.h"
#include "AAX_CString.h"
#include "AAX_IParameter.h"
#include "AAX_UIDs.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VPageTable.h"
#include "AAX_VTransport.h"

namespace
{
constexpr const char* kSourcePath = "Libs/AAXLibrary/source/AAX_CEffectParameters";
constexpr int32_t kChunkVersion = -1;
constexpr size_t kMaxNameBuffer = 255;
} // namespace

AAX_CEffectParameters::AAX_CEffectParameters() = default;

AAX_CEffectParameters::~AAX_CEffectParameters()
{
    // Parameters unregister from the automation delegate as they go, so they go first.
    mParameterManager.RemoveAllParameters();
    mPacketDispatcher.Initialize(nullptr, nullptr);
    delete mController;
    delete mAutomationDelegate;
    delete mTransport;
}

acfResult AAX_CEffectParameters::InternalQueryInterface(const acfIID& inIID, void** outInterface)
{
    if (!outInterface) return ACF_E_POINTER;
    if (inIID == IID_IAAXEffectParametersV1 || inIID == IID_IAAXEffectParametersV2 ||
        inIID == IID_IAAXEffectParametersV3 || inIID == IID_IAAXEffectParametersV4)
    {
        *outInterface = static_cast<AAX_IACFEffectParameters_V4*>(this);
        InternalAddRef();
        return ACF_OK;
    }
    return CACFUnknown::InternalQueryInterface(inIID, outInterface);
}

AAX_Result AAX_CEffectParameters::Initialize(IACFUnknown* inHostUnknown)
{
    mController = new AAX_VController(inHostUnknown);
    mAutomationDelegate = new AAX_VAutomationDelegate(inHostUnknown);
    mTransport = new AAX_VTransport(inHostUnknown);

    mParameterManager.Initialize(mAutomationDelegate);
    mPacketDispatcher.Initialize(mController, this);

    if (const AAX_Result result = EffectInit(); result != AAX_SUCCESS) return result;

    AAX_CString bypassID;
    GetMasterBypassParameter(&bypassID);
    FilterParameterIDOnSave(bypassID.Get());

    int32_t count = 0;
    GetNumberOfParameters(&count);
    if (count > 0)
    {
        mNumChunkedParameters = count - int32_t(mFilteredParameterIDs.size());
        if (!(mNumChunkedParameters >= 0))
            AAX_CHostServices::HandleAssertFailure(kSourcePath, 128, "mNumChunkedParameters >= 0",
                                                   AAX_eAssertFlags_Log);
    }
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::Uninitialize()
{
    mParameterManager.RemoveAllParameters();
    // The dispatcher must not post through a controller that is about to go.
    mPacketDispatcher.Initialize(nullptr, this);
    mParameterManager.Initialize(nullptr);
    delete mController;
    mController = nullptr;
    delete mAutomationDelegate;
    mAutomationDelegate = nullptr;
    delete mTransport;
    mTransport = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::NotificationReceived(AAX_CTypeID inNotificationType,
                                                       const void* inData, uint32_t inDataSize)
{
    if (inNotificationType != AAX_eNotificationEvent_ASPreviewState) return AAX_SUCCESS;
    AAX_IParameter* preview = mParameterManager.GetParameterByID(cPreviewID);
    // The state is a 32-bit integer; anything shorter carries none.
    if (preview && inData && inDataSize >= sizeof(int32_t))
    {
        int32_t state = 0;
        std::memcpy(&state, inData, sizeof state);
        preview->SetValueWithBool(state != 0);
    }
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* outNumParameters) const
{
    if (!outNumParameters) return AAX_ERROR_NULL_OBJECT;
    *outNumParameters = mParameterManager.NumParameters();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter(AAX_IString* outIdentifier) const
{
    if (!outIdentifier) return AAX_ERROR_NULL_OBJECT;
    outIdentifier->Set(
        mParameterManager.GetParameterByID(cDefaultMasterBypassID) ? cDefaultMasterBypassID : "");
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable(AAX_CParamID inParameterID,
                                                            AAX_CBoolean* outAutomatable) const
{
    if (!outAutomatable) return AAX_ERROR_NULL_OBJECT;
    *outAutomatable = 0;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    *outAutomatable = parameter->Automatable() ? 1 : 0;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps(AAX_CParamID inParameterID,
                                                            int32_t* outNumSteps) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    const int32_t steps = int32_t(parameter->GetNumberOfSteps());
    if (steps < 0) return AAX_ERROR_SIGNED_INT_OVERFLOW;
    if (!outNumSteps) return AAX_ERROR_NULL_OBJECT;
    *outNumSteps = steps;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID inParameterID,
                                                   AAX_IString* outName) const
{
    if (!outName) return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    outName->Set(parameter ? parameter->Name().Get() : "");
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID inParameterID,
                                                           AAX_IString* outName,
                                                           int32_t inNameLength) const
{
    if (!outName) return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter)
    {
        outName->Set("");
        return AAX_SUCCESS;
    }
    const AAX_CString& shortened = parameter->ShortenedName(inNameLength);
    // Names may hold several line-separated candidates; the longest that fits wins.
    const std::string buffer = shortened.StdString().substr(0, kMaxNameBuffer);
    std::vector<std::string> candidates;
    size_t start = 0;
    while (start < buffer.size())
    {
        const size_t end = buffer.find('\n', start);
        if (end == std::string::npos)
        {
            candidates.push_back(buffer.substr(start));
            break;
        }
        candidates.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    size_t best = 0;
    bool taken = false;
    for (const std::string& candidate : candidates)
    {
        if (candidate.size() > best &&
            (inNameLength >= 0 && candidate.size() <= size_t(inNameLength)))
        {
            outName->Set(candidate.c_str());
            best = candidate.size();
            taken = true;
        }
    }
    if (!taken && !candidates.empty())
    {
        if (inNameLength < 1)
            outName->Set("");
        else
            shortened.SubString(0, uint32_t(inNameLength), outName);
    }
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue(AAX_CParamID inParameterID,
                                                                     double* outValue) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!outValue) return AAX_ERROR_NULL_OBJECT;
    *outValue = parameter->GetNormalizedDefaultValue();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue(AAX_CParamID inParameterID,
                                                                     double inValue)
{
    AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->SetNormalizedDefaultValue(inValue);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterType(AAX_CParamID inParameterID,
                                                   AAX_EParameterType* outType) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!outType) return AAX_ERROR_NULL_OBJECT;
    *outType = parameter->GetType();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation(AAX_CParamID inParameterID,
                                                          int32_t* outOrientation) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!outOrientation) return AAX_ERROR_NULL_OBJECT;
    *outOrientation = parameter->GetOrientation();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameter(AAX_CParamID inParameterID,
                                               AAX_IParameter** outParameter)
{
    if (!outParameter) return AAX_ERROR_NULL_OBJECT;
    *outParameter = mParameterManager.GetParameterByID(inParameterID);
    return *outParameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID inParameterID,
                                                    int32_t* outControlIndex) const
{
    if (!outControlIndex) return AAX_ERROR_NULL_OBJECT;
    *outControlIndex = mParameterManager.GetParameterIndex(inParameterID);
    return *outControlIndex < 0 ? AAX_ERROR_INVALID_PARAMETER_ID : AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t inControlIndex,
                                                          AAX_IString* outParameterID) const
{
    if (!outParameterID) return AAX_ERROR_NULL_OBJECT;
    const AAX_IParameter* parameter = mParameterManager.GetParameter(inControlIndex);
    outParameterID->Set(parameter ? parameter->Identifier() : "");
    return parameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo(AAX_CParamID, int32_t,
                                                        int32_t* outValue) const
{
    if (outValue) *outValue = 0;
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result
AAX_CEffectParameters::GetParameterValueFromString(AAX_CParamID inParameterID, double* outValue,
                                                   const AAX_IString& inValueString) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    double value = 0.0;
    if (!parameter->GetNormalizedValueFromString(AAX_CString(inValueString), &value))
        return AAX_ERROR_INVALID_STRING_CONVERSION;
    if (!outValue) return AAX_ERROR_NULL_OBJECT;
    *outValue = value;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue(AAX_CParamID inParameterID,
                                                              double inValue,
                                                              AAX_IString* outValueString,
                                                              int32_t inMaxLength) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    AAX_CString text;
    if (!parameter->GetStringFromNormalizedValue(inValue, inMaxLength, text))
        return AAX_ERROR_INVALID_STRING_CONVERSION;
    if (!outValueString) return AAX_ERROR_NULL_OBJECT;
    *outValueString = text;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID inParameterID,
                                                          AAX_IString* outValueString,
                                                          int32_t inMaxLength) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!outValueString) return AAX_ERROR_NULL_OBJECT;
    AAX_CString text;
    parameter->GetValueString(inMaxLength, &text);
    *outValueString = text;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID inParameterID,
                                                              double* outValue) const
{
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!outValue) return AAX_ERROR_NULL_OBJECT;
    *outValue = parameter->GetNormalizedValue();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID inParameterID,
                                                              double inValue)
{
    AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->SetNormalizedValue(inValue);
    return AAX_SUCCESS;
}

namespace
{
double ClampedSum(double inCurrent, double inDelta)
{
    double value = inCurrent + inDelta;
    if (value > 1.0) value = 1.0;
    if (value < 0.0) value = 0.0;
    return value;
}
} // namespace

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative(AAX_CParamID inParameterID,
                                                                 double inValue)
{
    double current = 0.0;
    if (const AAX_Result result = GetParameterNormalizedValue(inParameterID, &current);
        result != AAX_SUCCESS)
        return result;
    return SetParameterNormalizedValue(inParameterID, ClampedSum(current, inValue));
}

AAX_Result AAX_CEffectParameters::TouchParameter(AAX_CParamID inParameterID)
{
    AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->Touch();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(AAX_CParamID inParameterID)
{
    AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    parameter->Release();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch(AAX_CParamID, AAX_CBoolean)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(AAX_CParamID inParameterID,
                                                                 double inValue, AAX_EUpdateSource)
{
    AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    if (!parameter) return AAX_ERROR_INVALID_PARAMETER_ID;
    // The packet builders read parameter values while the dispatcher holds its lock, so the
    // value changes under the same lock (the owner passes it again in SetDirty).
    AAX_StLock_Guard guard(mPacketDispatcher.Mutex());
    const double previous = parameter->GetNormalizedValue();
    parameter->UpdateNormalizedValue(inValue);
    const AAX_Result result = mPacketDispatcher.SetDirty(inParameterID);
    if (previous != inValue || std::isnan(previous) || std::isnan(inValue)) ++mChangeCount;
    return result;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative(AAX_CParamID inParameterID,
                                                                    double inValue)
{
    double current = 0.0;
    if (const AAX_Result result = GetParameterNormalizedValue(inParameterID, &current);
        result != AAX_SUCCESS)
        return result;
    return UpdateParameterNormalizedValue(inParameterID, ClampedSum(current, inValue),
                                          AAX_eUpdateSource_Unspecified);
}

AAX_Result AAX_CEffectParameters::GenerateCoefficients()
{
    return mPacketDispatcher.Dispatch();
}

AAX_Result AAX_CEffectParameters::ResetFieldData(AAX_CFieldIndex, void* outData,
                                                 uint32_t inDataSize) const
{
    if (outData && inDataSize > 0) std::memset(outData, 0, inDataSize);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* outNumChunks) const
{
    if (!outNumChunks) return AAX_ERROR_NULL_OBJECT;
    *outNumChunks = 1;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t inIndex,
                                                      AAX_CTypeID* outChunkID) const
{
    if (!outChunkID) return AAX_ERROR_NULL_OBJECT;
    if (inIndex != 0)
    {
        *outChunkID = 0;
        return AAX_ERROR_INVALID_CHUNK_INDEX;
    }
    *outChunkID = CONTROLS_CHUNK_ID;
    return AAX_SUCCESS;
}

bool AAX_CEffectParameters::IsFiltered(AAX_CParamID inParameterID) const
{
    return inParameterID && mFilteredParameterIDs.count(inParameterID) > 0;
}

void AAX_CEffectParameters::BuildChunkData() const
{
    mChunkParser.Clear();
    int32_t count = 0;
    GetNumberOfParameters(&count);
    for (int32_t index = 0; index < count; ++index)
    {
        const AAX_IParameter* parameter = mParameterManager.GetParameter(index);
        if (!(nullptr != parameter))
        {
            AAX_CHostServices::HandleAssertFailure(kSourcePath, 815, "NULL != parameter",
                                                   AAX_eAssertFlags_Log);
            continue;
        }
        if (IsFiltered(parameter->Identifier())) continue;
        AAX_CChunkValueCodec::Store(*parameter, mChunkParser);
    }
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID inChunkID, uint32_t* outSize) const
{
    if (!outSize) return AAX_ERROR_NULL_OBJECT;
    if (inChunkID != CONTROLS_CHUNK_ID)
    {
        *outSize = 0;
        return AAX_ERROR_INVALID_CHUNK_ID;
    }
    BuildChunkData();
    mChunkSize = mChunkParser.GetChunkDataSize();
    if (mChunkSize < 0) return AAX_ERROR_INCORRECT_CHUNK_SIZE;
    *outSize = uint32_t(mChunkSize);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID inChunkID, AAX_SPlugInChunk* outChunk) const
{
    if (inChunkID != CONTROLS_CHUNK_ID) return AAX_ERROR_INVALID_CHUNK_ID;
    if (!outChunk) return AAX_ERROR_NULL_OBJECT;
    BuildChunkData();
    if (mChunkSize == 0 || mChunkParser.GetChunkDataSize() != mChunkSize)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;
    outChunk->fVersion = kChunkVersion;
    std::memset(outChunk->fName, 0, sizeof outChunk->fName);
    std::memcpy(outChunk->fName, CONTROLS_CHUNK_DESCRIPTION,
                std::strlen(CONTROLS_CHUNK_DESCRIPTION));
    return mChunkParser.GetChunkData(outChunk);
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID inChunkID, const AAX_SPlugInChunk* inChunk)
{
    if (inChunkID != CONTROLS_CHUNK_ID) return AAX_ERROR_INVALID_CHUNK_ID;
    if (!inChunk) return AAX_ERROR_NULL_OBJECT;
    mChunkParser.LoadChunk(inChunk);
    int32_t count = 0;
    GetNumberOfParameters(&count);
    for (int32_t index = 0; index < count; ++index)
    {
        AAX_IParameter* parameter = mParameterManager.GetParameter(index);
        if (!parameter || IsFiltered(parameter->Identifier())) continue;
        AAX_CChunkValueCodec::Restore(*parameter, mChunkParser);
    }
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SPlugInChunk* inChunk,
                                                     AAX_CBoolean* outIsEqual) const
{
    if (!outIsEqual) return AAX_ERROR_NULL_OBJECT;
    if (!inChunk || inChunk->fChunkID != CONTROLS_CHUNK_ID)
    {
        *outIsEqual = 1;
        return AAX_SUCCESS;
    }
    *outIsEqual = 0;
    mChunkParser.LoadChunk(inChunk);
    int32_t count = 0;
    GetNumberOfParameters(&count);
    for (int32_t index = 0; index < count; ++index)
    {
        const AAX_IParameter* parameter = mParameterManager.GetParameter(index);
        if (!(nullptr != parameter))
        {
            AAX_CHostServices::HandleAssertFailure(kSourcePath, 667, "NULL != parameter",
                                                   AAX_eAssertFlags_Log);
            continue;
        }
        if (IsFiltered(parameter->Identifier())) continue;
        if (!AAX_CChunkValueCodec::Matches(*parameter, mChunkParser)) return AAX_SUCCESS;
    }
    *outIsEqual = 1;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges(int32_t* outNumChanges) const
{
    if (!outNumChanges) return AAX_ERROR_NULL_OBJECT;
    AAX_StLock_Guard guard(mPacketDispatcher.Mutex());
    if (mChangeCount >= 0) *outNumChanges = mChangeCount;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::TimerWakeup()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCurveData(AAX_CTypeID, const float*, uint32_t, float*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCustomData(AAX_CTypeID, uint32_t, void*,
                                                uint32_t* outDataWritten) const
{
    if (outDataWritten) *outDataWritten = 0;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetCustomData(AAX_CTypeID, uint32_t, const void*)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::DoMIDITransfers()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCurveDataMeterIds(AAX_CTypeID, uint32_t*, uint32_t*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCurveDataDisplayRange(AAX_CTypeID, float*, float*, float*,
                                                           float*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdateMIDINodes(AAX_CFieldIndex, AAX_CMidiPacket&)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateControlMIDINodes(AAX_CTypeID, AAX_CMidiPacket&)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::RenderAudio_Hybrid(void*)
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize,
                                                  IACFUnknown*,
                                                  IACFUnknown* ioPageTableUnknown) const
{
    AAX_VPageTable pageTable(ioPageTableUnknown);
    if (!pageTable.IsSupported()) return AAX_SUCCESS;
    return UpdatePageTable(inTableType, inTablePageSize, pageTable);
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t, int32_t, AAX_IPageTable&) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

void AAX_CEffectParameters::FilterParameterIDOnSave(AAX_CParamID inParameterID)
{
    if (inParameterID) mFilteredParameterIDs.insert(inParameterID);
}

AAX_IController* AAX_CEffectParameters::Controller() const
{
    return mController;
}

AAX_ITransport* AAX_CEffectParameters::Transport() const
{
    return mTransport;
}

AAX_IAutomationDelegate* AAX_CEffectParameters::AutomationDelegate() const
{
    return mAutomationDelegate;
}
