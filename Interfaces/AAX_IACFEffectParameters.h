// The data model as the host sees it: parameters, packets, private-block set-up, chunks and
// notifications. Each version extends the previous one. Called on the host's non-real-time
// threads, never on the audio thread.
#pragma once

#include "AAX.h"
#include "AAX_IMIDINode.h"
#include "acfunknown.h"

class AAX_IString;
class AAX_IParameter;

class AAX_IACFEffectParameters : public IACFUnknown
{
public:
    // Lifecycle: inHostUnknown answers the controller, automation-delegate and transport IDs.
    virtual AAX_Result Initialize(IACFUnknown* inHostUnknown) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inData,
                                            uint32_t inDataSize) = 0;

    // Parameters.
    virtual AAX_Result GetNumberOfParameters(int32_t* outNumParameters) const = 0;
    virtual AAX_Result GetMasterBypassParameter(AAX_IString* outIdentifier) const = 0;
    virtual AAX_Result GetParameterIsAutomatable(AAX_CParamID inParameterID,
                                                 AAX_CBoolean* outAutomatable) const = 0;
    virtual AAX_Result GetParameterNumberOfSteps(AAX_CParamID inParameterID,
                                                 int32_t* outNumSteps) const = 0;
    virtual AAX_Result GetParameterName(AAX_CParamID inParameterID, AAX_IString* outName) const = 0;
    virtual AAX_Result GetParameterNameOfLength(AAX_CParamID inParameterID, AAX_IString* outName,
                                                int32_t inNameLength) const = 0;
    virtual AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID inParameterID,
                                                          double* outValue) const = 0;
    virtual AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID inParameterID,
                                                          double inValue) = 0;
    virtual AAX_Result GetParameterType(AAX_CParamID inParameterID,
                                        AAX_EParameterType* outType) const = 0;
    virtual AAX_Result GetParameterOrientation(AAX_CParamID inParameterID,
                                               int32_t* outOrientation) const = 0;
    virtual AAX_Result GetParameter(AAX_CParamID inParameterID, AAX_IParameter** outParameter) = 0;
    virtual AAX_Result GetParameterIndex(AAX_CParamID inParameterID,
                                         int32_t* outControlIndex) const = 0;
    virtual AAX_Result GetParameterIDFromIndex(int32_t inControlIndex,
                                               AAX_IString* outParameterID) const = 0;
    virtual AAX_Result GetParameterValueInfo(AAX_CParamID inParameterID, int32_t inSelector,
                                             int32_t* outValue) const = 0;
    virtual AAX_Result GetParameterValueFromString(AAX_CParamID inParameterID, double* outValue,
                                                   const AAX_IString& inValueString) const = 0;
    virtual AAX_Result GetParameterStringFromValue(AAX_CParamID inParameterID, double inValue,
                                                   AAX_IString* outValueString,
                                                   int32_t inMaxLength) const = 0;
    virtual AAX_Result GetParameterValueString(AAX_CParamID inParameterID,
                                               AAX_IString* outValueString,
                                               int32_t inMaxLength) const = 0;
    virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID inParameterID,
                                                   double* outValue) const = 0;
    virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID inParameterID, double inValue) = 0;
    virtual AAX_Result SetParameterNormalizedRelative(AAX_CParamID inParameterID,
                                                      double inValue) = 0;

    // Automation: touch state and the host's confirmation of values.
    virtual AAX_Result TouchParameter(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result ReleaseParameter(AAX_CParamID inParameterID) = 0;
    virtual AAX_Result UpdateParameterTouch(AAX_CParamID inParameterID,
                                            AAX_CBoolean inTouchState) = 0;
    virtual AAX_Result UpdateParameterNormalizedValue(AAX_CParamID inParameterID, double inValue,
                                                      AAX_EUpdateSource inSource) = 0;
    virtual AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID inParameterID,
                                                         double inValue) = 0;
    virtual AAX_Result GenerateCoefficients() = 0;

    // Private blocks of the render context.
    virtual AAX_Result ResetFieldData(AAX_CFieldIndex inFieldIndex, void* outData,
                                      uint32_t inDataSize) const = 0;

    // Saved state.
    virtual AAX_Result GetNumberOfChunks(int32_t* outNumChunks) const = 0;
    virtual AAX_Result GetChunkIDFromIndex(int32_t inIndex, AAX_CTypeID* outChunkID) const = 0;
    virtual AAX_Result GetChunkSize(AAX_CTypeID inChunkID, uint32_t* outSize) const = 0;
    virtual AAX_Result GetChunk(AAX_CTypeID inChunkID, AAX_SPlugInChunk* outChunk) const = 0;
    virtual AAX_Result SetChunk(AAX_CTypeID inChunkID, const AAX_SPlugInChunk* inChunk) = 0;
    virtual AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* inChunk,
                                          AAX_CBoolean* outIsEqual) const = 0;
    virtual AAX_Result GetNumberOfChanges(int32_t* outNumChanges) const = 0;

    // Periodic and optional services.
    virtual AAX_Result TimerWakeup() = 0;
    virtual AAX_Result GetCurveData(AAX_CTypeID inCurveType, const float* inValues,
                                    uint32_t inNumValues, float* outValues) const = 0;
    virtual AAX_Result GetCustomData(AAX_CTypeID inDataBlockID, uint32_t inDataSize, void* outData,
                                     uint32_t* outDataWritten) const = 0;
    virtual AAX_Result SetCustomData(AAX_CTypeID inDataBlockID, uint32_t inDataSize,
                                     const void* inData) = 0;
    virtual AAX_Result DoMIDITransfers() = 0;

protected:
    ~AAX_IACFEffectParameters() = default;
};

class AAX_IACFEffectParameters_V2 : public AAX_IACFEffectParameters
{
public:
    virtual AAX_Result GetCurveDataMeterIds(AAX_CTypeID inCurveType, uint32_t* outXMeterId,
                                            uint32_t* outYMeterId) const = 0;
    virtual AAX_Result GetCurveDataDisplayRange(AAX_CTypeID inCurveType, float* outXMin,
                                                float* outXMax, float* outYMin,
                                                float* outYMax) const = 0;
    virtual AAX_Result UpdateMIDINodes(AAX_CFieldIndex inFieldIndex, AAX_CMidiPacket& inPacket) = 0;
    virtual AAX_Result UpdateControlMIDINodes(AAX_CTypeID inNodeID, AAX_CMidiPacket& inPacket) = 0;

protected:
    ~AAX_IACFEffectParameters_V2() = default;
};

class AAX_IACFEffectParameters_V3 : public AAX_IACFEffectParameters_V2
{
public:
    // Hybrid rendering is not offered by this system; the record is opaque here.
    virtual AAX_Result RenderAudio_Hybrid(void* ioRenderInfo) = 0;

protected:
    ~AAX_IACFEffectParameters_V3() = default;
};

class AAX_IACFEffectParameters_V4 : public AAX_IACFEffectParameters_V3
{
public:
    virtual AAX_Result UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize,
                                       IACFUnknown* inHostUnknown,
                                       IACFUnknown* ioPageTableUnknown) const = 0;

protected:
    ~AAX_IACFEffectParameters_V4() = default;
};
