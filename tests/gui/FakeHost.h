// A host for editor tests: a data model with the amp's eight parameters that confirms every
// set-value request at once and logs every call the editor makes, host services that record
// assertion reports, and a view container whose mouse answers the test chooses.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFHostServices.h"
#include "AAX_IACFViewContainer.h"
#include "AAX_IEffectParameters.h"
#include "FakeHostFaults.h"

namespace guitest
{

// Reference counting shared by the fakes; they live on the test's stack or heap and are never
// deleted through Release.
template <class Base> class Counted : public Base
{
public:
    acfUInt32 AddRef() override { return ++mRefs; }
    acfUInt32 Release() override { return --mRefs; }
    int32_t Refs() const { return static_cast<int32_t>(mRefs.load()); }

private:
    std::atomic<acfUInt32> mRefs{0};
};

class FakeParameters : public Counted<AAX_IEffectParameters>
{
public:
    FakeParameters();
    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;

    std::vector<std::string> log; // touch/set/release, in order
    int identifierQueries = 0;    // GetParameterIDFromIndex calls
    std::map<std::string, double> values;
    std::map<std::string, double> defaults;
    std::vector<std::string> order;
    tavelo::test::FakeHostFaults faults;

    AAX_Result Initialize(IACFUnknown*) override { return 0; }
    AAX_Result Uninitialize() override { return 0; }
    AAX_Result NotificationReceived(AAX_CTypeID, const void*, uint32_t) override { return 0; }
    AAX_Result GetNumberOfParameters(int32_t* outCount) const override;
    AAX_Result GetMasterBypassParameter(AAX_IString*) const override { return 0; }
    AAX_Result GetParameterIsAutomatable(AAX_CParamID, AAX_CBoolean*) const override { return 0; }
    AAX_Result GetParameterNumberOfSteps(AAX_CParamID, int32_t*) const override { return 0; }
    AAX_Result GetParameterName(AAX_CParamID, AAX_IString*) const override { return 0; }
    AAX_Result GetParameterNameOfLength(AAX_CParamID, AAX_IString*, int32_t) const override
    {
        return 0;
    }
    AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID inID,
                                                  double* outValue) const override;
    AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID, double) override { return 0; }
    AAX_Result GetParameterType(AAX_CParamID, AAX_EParameterType*) const override { return 0; }
    AAX_Result GetParameterOrientation(AAX_CParamID, int32_t*) const override { return 0; }
    AAX_Result GetParameter(AAX_CParamID, AAX_IParameter**) override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetParameterIndex(AAX_CParamID, int32_t*) const override { return 0; }
    AAX_Result GetParameterIDFromIndex(int32_t inIndex, AAX_IString* outID) const override;
    AAX_Result GetParameterValueInfo(AAX_CParamID, int32_t, int32_t*) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetParameterValueFromString(AAX_CParamID, double*, const AAX_IString&) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetParameterStringFromValue(AAX_CParamID, double, AAX_IString*,
                                           int32_t) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetParameterValueString(AAX_CParamID, AAX_IString*, int32_t) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetParameterNormalizedValue(AAX_CParamID inID, double* outValue) const override;
    AAX_Result SetParameterNormalizedValue(AAX_CParamID inID, double inValue) override;
    AAX_Result SetParameterNormalizedRelative(AAX_CParamID, double) override { return 0; }
    AAX_Result TouchParameter(AAX_CParamID inID) override;
    AAX_Result ReleaseParameter(AAX_CParamID inID) override;
    AAX_Result UpdateParameterTouch(AAX_CParamID, AAX_CBoolean) override { return 0; }
    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID, double, AAX_EUpdateSource) override
    {
        return 0;
    }
    AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID, double) override { return 0; }
    AAX_Result GenerateCoefficients() override { return 0; }
    AAX_Result ResetFieldData(AAX_CFieldIndex, void*, uint32_t) const override { return 0; }
    AAX_Result GetNumberOfChunks(int32_t*) const override { return 0; }
    AAX_Result GetChunkIDFromIndex(int32_t, AAX_CTypeID*) const override { return 0; }
    AAX_Result GetChunkSize(AAX_CTypeID, uint32_t*) const override { return 0; }
    AAX_Result GetChunk(AAX_CTypeID, AAX_SPlugInChunk*) const override { return 0; }
    AAX_Result SetChunk(AAX_CTypeID, const AAX_SPlugInChunk*) override { return 0; }
    AAX_Result CompareActiveChunk(const AAX_SPlugInChunk*, AAX_CBoolean*) const override
    {
        return 0;
    }
    AAX_Result GetNumberOfChanges(int32_t*) const override { return 0; }
    AAX_Result TimerWakeup() override { return 0; }
    AAX_Result GetCurveData(AAX_CTypeID, const float*, uint32_t, float*) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetCustomData(AAX_CTypeID, uint32_t, void*, uint32_t*) const override { return 0; }
    AAX_Result SetCustomData(AAX_CTypeID, uint32_t, const void*) override { return 0; }
    AAX_Result DoMIDITransfers() override { return 0; }
    AAX_Result GetCurveDataMeterIds(AAX_CTypeID, uint32_t*, uint32_t*) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result GetCurveDataDisplayRange(AAX_CTypeID, float*, float*, float*, float*) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result UpdateMIDINodes(AAX_CFieldIndex, AAX_CMidiPacket&) override { return 0; }
    AAX_Result UpdateControlMIDINodes(AAX_CTypeID, AAX_CMidiPacket&) override { return 0; }
    AAX_Result RenderAudio_Hybrid(void*) override { return AAX_ERROR_UNIMPLEMENTED; }
    AAX_Result UpdatePageTable(uint32_t, int32_t, IACFUnknown*, IACFUnknown*) const override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
};

// The per-instance host object: hands out the data model and the host services.
class FakeInstanceHost : public Counted<AAX_IACFHostServices_V3>
{
public:
    explicit FakeInstanceHost(FakeParameters* inParameters) : mParameters(inParameters) {}
    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;
    AAX_Result Trace(int32_t, const char*) override { return 0; }
    AAX_Result StackTrace(int32_t, int32_t, const char*) override { return 0; }
    AAX_Result HandleAssertFailure(const char* inFile, int32_t inLine, const char* inNote,
                                   int32_t inFlags) override;

    std::vector<std::string> asserts; // "file line note flags"

private:
    FakeParameters* mParameters;
};

// A view container whose answers the test sets.
class FakeViewContainer : public Counted<AAX_IACFViewContainer>
{
public:
    FakeViewContainer(int32_t inType, void* inPointer) : type(inType), pointer(inPointer) {}
    acfResult QueryInterface(const acfIID& inIID, void** outInterface) override;
    int32_t GetType() override { return type; }
    void* GetPtr() override { return pointer; }
    AAX_Result GetModifiers(uint32_t* outModifiers) override
    {
        *outModifiers = modifiers;
        return 0;
    }
    AAX_Result SetViewSize(AAX_Point&) override { return 0; }
    AAX_Result HandleParameterMouseDown(AAX_CParamID inID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseDrag(AAX_CParamID inID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseUp(AAX_CParamID inID, uint32_t inModifiers) override;

    int32_t type;
    void* pointer;
    uint32_t modifiers = 0;
    tavelo::test::FakeHostFaults faults;
    std::vector<std::string> calls; // "down Gain 0x0"
};

} // namespace guitest
