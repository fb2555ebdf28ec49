// A component descriptor the stand-in host hands to a describing plug-in: records context
// fields and process procedures until the plug-in adds the component; host non-real-time thread.
#pragma once

#include "AAX_IACFComponentDescriptor.h"
#include "HostDescription.h"
#include "HostFaults.h"
#include "HostObject.h"
#include "HostPropertyMap.h"

#include <vector>

namespace tavelo::host
{

class HostComponentDescriptor final : public HostObject<AAX_IACFComponentDescriptor_V2>
{
public:
    static HostComponentDescriptor* Create(const HostFaults& inFaults)
    {
        return new HostComponentDescriptor(inFaults);
    }
    static HostComponentDescriptor* FromUnknown(IACFUnknown* inObject);

    AAX_Result Clear() override;
    AAX_Result AddAudioIn(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddAudioOut(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddAudioBufferLength(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddSampleRate(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddClock(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddSideChainIn(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddDataInPort(AAX_CFieldIndex inFieldIndex, uint32_t inPacketSize,
                             AAX_EDataInPortType inPortType) override;
    AAX_Result AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize,
                              uint32_t inOptions) override;
    AAX_Result AddMIDINode(AAX_CFieldIndex inFieldIndex, AAX_EMIDINodeType inNodeType,
                           const char* inNodeName, uint32_t inChannelMask) override;
    IACFUnknown* NewPropertyMap() override;
    AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc, IACFUnknown* inProperties,
                                     AAX_CInstanceInitProc inInstanceInitProc,
                                     AAX_CBackgroundProc inBackgroundProc,
                                     AAX_CSelector* outProcID) override;
    AAX_Result AddProcessProc_TI(const char* inDLLFileNameUTF8, const char* inProcessProcSymbol,
                                 IACFUnknown* inProperties, const char* inInstanceInitProcSymbol,
                                 const char* inBackgroundProcSymbol,
                                 AAX_CSelector* outProcID) override;
    AAX_Result AddProcessProc(IACFUnknown* inProperties, AAX_CSelector* outProcIDs,
                              int32_t inProcIDsSize) override;

    // The description so far, with each procedure's properties as they are now.
    ComponentRecord Snapshot() const;

private:
    explicit HostComponentDescriptor(const HostFaults& inFaults) : mFaults(inFaults) {}
    void* FindInterface(const acfIID& inIID) override;
    AAX_Result AddField(FieldRecord inField);

    struct Registered
    {
        ProcessProcRecord record;
        Ref<HostPropertyMap> properties; // kept: the plug-in may add properties afterwards
    };

    const HostFaults mFaults;
    std::vector<FieldRecord> mFields;
    std::vector<Registered> mProcessProcs;
};

} // namespace tavelo::host
