// The framework base of a plug-in's data model: answers every host call about parameters,
// packets, private blocks and chunks. Called by the host on its non-real-time threads; the
// packet dispatcher's mutex is the only lock (value confirmations against packet generation).
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "AAX_CChunkDataParser.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameterManager.h"
#include "AAX_IEffectParameters.h"
#include "CACFUnknown.h"

class AAX_IController;
class AAX_IAutomationDelegate;
class AAX_ITransport;
class AAX_IPageTable;
class AAX_VController;
class AAX_VAutomationDelegate;
class AAX_VTransport;

inline constexpr const char* cDefaultMasterBypassID = "MasterBypassID";
inline constexpr const char* cPreviewID = "PreviewID";
inline constexpr AAX_CTypeID CONTROLS_CHUNK_ID = AAX_FourCC("elck");
inline constexpr const char* CONTROLS_CHUNK_DESCRIPTION = "Complete Controls State";
// The host's AudioSuite preview-state notification.
inline constexpr AAX_CTypeID AAX_eNotificationEvent_ASPreviewState = AAX_FourCC("ASPv");

class AAX_CEffectParameters : public AAX_IEffectParameters, public CACFUnknown
{
public:
    AAX_CEffectParameters();
    ~AAX_CEffectParameters() override;

    ACF_FORWARD_UNKNOWN_TO_OUTER()
    acfResult InternalQueryInterface(const acfIID& inIID, void** outInterface) override;

    AAX_Result Initialize(IACFUnknown* inHostUnknown) override;
    AAX_Result Uninitialize() override;
    AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inData,
                                    uint32_t inDataSize) override;

    AAX_Result GetNumberOfParameters(int32_t* outNumParameters) const override;
    AAX_Result GetMasterBypassParameter(AAX_IString* outIdentifier) const override;
    AAX_Result GetParameterIsAutomatable(AAX_CParamID inParameterID,
                                         AAX_CBoolean* outAutomatable) const override;
    AAX_Result GetParameterNumberOfSteps(AAX_CParamID inParameterID,
                                         int32_t* outNumSteps) const override;
    AAX_Result GetParameterName(AAX_CParamID inParameterID, AAX_IString* outName) const override;
    AAX_Result GetParameterNameOfLength(AAX_CParamID inParameterID, AAX_IString* outName,
                                        int32_t inNameLength) const override;
    AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID inParameterID,
                                                  double* outValue) const override;
    AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID inParameterID,
                                                  double inValue) override;
    AAX_Result GetParameterType(AAX_CParamID inParameterID,
                                AAX_EParameterType* outType) const override;
    AAX_Result GetParameterOrientation(AAX_CParamID inParameterID,
                                       int32_t* outOrientation) const override;
    AAX_Result GetParameter(AAX_CParamID inParameterID, AAX_IParameter** outParameter) override;
    AAX_Result GetParameterIndex(AAX_CParamID inParameterID,
                                 int32_t* outControlIndex) const override;
    AAX_Result GetParameterIDFromIndex(int32_t inControlIndex,
                                       AAX_IString* outParameterID) const override;
    AAX_Result GetParameterValueInfo(AAX_CParamID inParameterID, int32_t inSelector,
                                     int32_t* outValue) const override;
    AAX_Result GetParameterValueFromString(AAX_CParamID inParameterID, double* outValue,
                                           const AAX_IString& inValueString) const override;
    AAX_Result GetParameterStringFromValue(AAX_CParamID inParameterID, double inValue,
                                           AAX_IString* outValueString,
                                           int32_t inMaxLength) const override;
    AAX_Result GetParameterValueString(AAX_CParamID inParameterID, AAX_IString* outValueString,
                                       int32_t inMaxLength) const override;
    AAX_Result GetParameterNormalizedValue(AAX_CParamID inParameterID,
                                           double* outValue) const override;
    AAX_Result SetParameterNormalizedValue(AAX_CParamID inParameterID, double inValue) override;
    AAX_Result SetParameterNormalizedRelative(AAX_CParamID inParameterID, double inValue) override;

    AAX_Result TouchParameter(AAX_CParamID inParameterID) override;
    AAX_Result ReleaseParameter(AAX_CParamID inParameterID) override;
    AAX_Result UpdateParameterTouch(AAX_CParamID inParameterID, AAX_CBoolean inTouchState) override;
    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID inParameterID, double inValue,
                                              AAX_EUpdateSource inSource) override;
    AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID inParameterID,
                                                 double inValue) override;
    AAX_Result GenerateCoefficients() override;

    AAX_Result ResetFieldData(AAX_CFieldIndex inFieldIndex, void* outData,
                              uint32_t inDataSize) const override;

    AAX_Result GetNumberOfChunks(int32_t* outNumChunks) const override;
    AAX_Result GetChunkIDFromIndex(int32_t inIndex, AAX_CTypeID* outChunkID) const override;
    AAX_Result GetChunkSize(AAX_CTypeID inChunkID, uint32_t* outSize) const override;
    AAX_Result GetChunk(AAX_CTypeID inChunkID, AAX_SPlugInChunk* outChunk) const override;
    AAX_Result SetChunk(AAX_CTypeID inChunkID, const AAX_SPlugInChunk* inChunk) override;
    AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* inChunk,
                                  AAX_CBoolean* outIsEqual) const override;
    AAX_Result GetNumberOfChanges(int32_t* outNumChanges) const override;

    AAX_Result TimerWakeup() override;
    AAX_Result GetCurveData(AAX_CTypeID inCurveType, const float* inValues, uint32_t inNumValues,
                            float* outValues) const override;
    AAX_Result GetCustomData(AAX_CTypeID inDataBlockID, uint32_t inDataSize, void* outData,
                             uint32_t* outDataWritten) const override;
    AAX_Result SetCustomData(AAX_CTypeID inDataBlockID, uint32_t inDataSize,
                             const void* inData) override;
    AAX_Result DoMIDITransfers() override;

    AAX_Result GetCurveDataMeterIds(AAX_CTypeID inCurveType, uint32_t* outXMeterId,
                                    uint32_t* outYMeterId) const override;
    AAX_Result GetCurveDataDisplayRange(AAX_CTypeID inCurveType, float* outXMin, float* outXMax,
                                        float* outYMin, float* outYMax) const override;
    AAX_Result UpdateMIDINodes(AAX_CFieldIndex inFieldIndex, AAX_CMidiPacket& inPacket) override;
    AAX_Result UpdateControlMIDINodes(AAX_CTypeID inNodeID, AAX_CMidiPacket& inPacket) override;
    AAX_Result RenderAudio_Hybrid(void* ioRenderInfo) override;
    AAX_Result UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize,
                               IACFUnknown* inHostUnknown,
                               IACFUnknown* ioPageTableUnknown) const override;

    // For derived data models.
    virtual AAX_Result EffectInit() { return AAX_SUCCESS; }
    virtual AAX_Result UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize,
                                       AAX_IPageTable& ioPageTable) const;
    void FilterParameterIDOnSave(AAX_CParamID inParameterID);
    AAX_IController* Controller() const;
    AAX_ITransport* Transport() const;
    AAX_IAutomationDelegate* AutomationDelegate() const;
    int32_t NumChunkedParameters() const { return mNumChunkedParameters; }

protected:
    int32_t mChangeCount = 0;
    mutable int32_t mChunkSize = 0;
    mutable AAX_CChunkDataParser mChunkParser;
    int32_t mNumChunkedParameters = 0;
    AAX_CPacketDispatcher mPacketDispatcher;
    AAX_CParameterManager mParameterManager;
    std::set<std::string> mFilteredParameterIDs;
    AAX_VController* mController = nullptr;
    AAX_VTransport* mTransport = nullptr;
    AAX_VAutomationDelegate* mAutomationDelegate = nullptr;

private:
    void BuildChunkData() const;
    bool IsFiltered(AAX_CParamID inParameterID) const;
};
