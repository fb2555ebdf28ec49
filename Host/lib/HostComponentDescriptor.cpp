#include "HostComponentDescriptor.h"

#include "AAX_UIDs.h"

#include <atomic>

namespace tavelo::host
{

namespace
{
std::atomic<AAX_CSelector> gNextProcID{1};

std::string Text(const char* inText)
{
    return inText ? inText : "";
}

FieldRecord MakeField(AAX_CFieldIndex inIndex, AAX_EFieldKind inKind, int64_t inSize = 0)
{
    FieldRecord field;
    field.index = inIndex;
    field.kind = inKind;
    field.size = inSize;
    return field;
}
} // namespace

HostComponentDescriptor* HostComponentDescriptor::FromUnknown(IACFUnknown* inObject)
{
    void* found = nullptr;
    if (!inObject || inObject->QueryInterface(IID_IAAXComponentDescriptorV1, &found) != ACF_OK ||
        !found)
        return nullptr;
    auto* descriptor = static_cast<AAX_IACFComponentDescriptor*>(found);
    HostComponentDescriptor* ours = dynamic_cast<HostComponentDescriptor*>(descriptor);
    descriptor->Release();
    return ours;
}

void* HostComponentDescriptor::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXComponentDescriptorV1)
        return static_cast<AAX_IACFComponentDescriptor*>(this);
    if (inIID == IID_IAAXComponentDescriptorV2 && mFaults.componentDescriptorV2)
        return static_cast<AAX_IACFComponentDescriptor_V2*>(this);
    return nullptr;
}

AAX_Result HostComponentDescriptor::Clear()
{
    mFields.clear();
    mProcessProcs.clear();
    return AAX_SUCCESS;
}

AAX_Result HostComponentDescriptor::AddField(FieldRecord inField)
{
    // Duplicates are recorded as given; the validator names them.
    if (mFaults.addFieldResult != AAX_SUCCESS) return mFaults.addFieldResult;
    if (inField.index < 0) return AAX_ERROR_INVALID_FIELD_INDEX;
    mFields.push_back(std::move(inField));
    return AAX_SUCCESS;
}

AAX_Result HostComponentDescriptor::AddAudioIn(AAX_CFieldIndex inFieldIndex)
{
    return AddField(MakeField(inFieldIndex, AAX_eFieldKind_AudioIn));
}

AAX_Result HostComponentDescriptor::AddAudioOut(AAX_CFieldIndex inFieldIndex)
{
    return AddField(MakeField(inFieldIndex, AAX_eFieldKind_AudioOut));
}

AAX_Result HostComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex inFieldIndex)
{
    return AddField(MakeField(inFieldIndex, AAX_eFieldKind_AudioBufferLength));
}

AAX_Result HostComponentDescriptor::AddSampleRate(AAX_CFieldIndex inFieldIndex)
{
    return AddField(MakeField(inFieldIndex, AAX_eFieldKind_SampleRate));
}

AAX_Result HostComponentDescriptor::AddClock(AAX_CFieldIndex inFieldIndex)
{
    return AddField(MakeField(inFieldIndex, AAX_eFieldKind_Clock));
}

AAX_Result HostComponentDescriptor::AddSideChainIn(AAX_CFieldIndex inFieldIndex)
{
    return AddField(MakeField(inFieldIndex, AAX_eFieldKind_SideChainIn));
}

AAX_Result HostComponentDescriptor::AddDataInPort(AAX_CFieldIndex inFieldIndex,
                                                  uint32_t inPacketSize,
                                                  AAX_EDataInPortType inPortType)
{
    FieldRecord field = MakeField(inFieldIndex, AAX_eFieldKind_DataInPort, inPacketSize);
    field.portType = inPortType;
    return AddField(field);
}

AAX_Result HostComponentDescriptor::AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize,
                                                   uint32_t inOptions)
{
    FieldRecord field = MakeField(inFieldIndex, AAX_eFieldKind_PrivateData, inDataSize);
    field.options = inOptions;
    return AddField(field);
}

AAX_Result HostComponentDescriptor::AddMIDINode(AAX_CFieldIndex inFieldIndex,
                                                AAX_EMIDINodeType inNodeType,
                                                const char* inNodeName, uint32_t inChannelMask)
{
    FieldRecord field = MakeField(inFieldIndex, AAX_eFieldKind_MIDINode);
    field.nodeType = inNodeType;
    field.name = Text(inNodeName);
    field.channelMask = inChannelMask;
    return AddField(field);
}

IACFUnknown* HostComponentDescriptor::NewPropertyMap()
{
    if (mFaults.noPropertyMap) return nullptr;
    return HostPropertyMap::Create();
}

AAX_Result HostComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc inProcessProc,
                                                          IACFUnknown* inProperties,
                                                          AAX_CInstanceInitProc inInstanceInitProc,
                                                          AAX_CBackgroundProc inBackgroundProc,
                                                          AAX_CSelector* outProcID)
{
    if (mFaults.addProcessProcResult != AAX_SUCCESS) return mFaults.addProcessProcResult;
    if (!inProcessProc) return AAX_ERROR_NULL_ARGUMENT;
    Registered entry;
    entry.record.native = true;
    entry.record.processProc = inProcessProc;
    entry.record.instanceInitProc = inInstanceInitProc;
    entry.record.backgroundProc = inBackgroundProc;
    entry.record.id = gNextProcID.fetch_add(1);
    entry.properties = Ref<HostPropertyMap>::Retain(HostPropertyMap::FromUnknown(inProperties));
    if (outProcID) *outProcID = entry.record.id;
    mProcessProcs.push_back(std::move(entry));
    return AAX_SUCCESS;
}

AAX_Result HostComponentDescriptor::AddProcessProc_TI(const char* inDLLFileNameUTF8,
                                                      const char* inProcessProcSymbol,
                                                      IACFUnknown* inProperties,
                                                      const char* inInstanceInitProcSymbol,
                                                      const char* inBackgroundProcSymbol,
                                                      AAX_CSelector* outProcID)
{
    if (mFaults.addProcessProcResult != AAX_SUCCESS) return mFaults.addProcessProcResult;
    if (!inDLLFileNameUTF8 || !inProcessProcSymbol) return AAX_ERROR_NULL_ARGUMENT;
    Registered entry;
    entry.record.native = false;
    entry.record.dllFileName = inDLLFileNameUTF8;
    entry.record.processSymbol = inProcessProcSymbol;
    entry.record.instanceInitSymbol = Text(inInstanceInitProcSymbol);
    entry.record.backgroundSymbol = Text(inBackgroundProcSymbol);
    entry.record.id = gNextProcID.fetch_add(1);
    entry.properties = Ref<HostPropertyMap>::Retain(HostPropertyMap::FromUnknown(inProperties));
    if (outProcID) *outProcID = entry.record.id;
    mProcessProcs.push_back(std::move(entry));
    return AAX_SUCCESS;
}

AAX_Result HostComponentDescriptor::AddProcessProc(IACFUnknown* inProperties,
                                                   AAX_CSelector* outProcIDs, int32_t inProcIDsSize)
{
    HostPropertyMap* map = HostPropertyMap::FromUnknown(inProperties);
    if (!map) return AAX_ERROR_NULL_OBJECT;
    std::vector<AAX_CSelector> ids;
    AAX_CPropertyValue value = 0;
    AAX_Result result = AAX_SUCCESS;
    if (map->GetProperty(AAX_eProperty_PlugInID_Native, &value) ||
        map->GetProperty(AAX_eProperty_PlugInID_AudioSuite, &value))
    {
        const void* proc = nullptr;
        const void* init = nullptr;
        const void* background = nullptr;
        map->GetPointerProperty(AAX_eProperty_NativeProcessProc, &proc);
        map->GetPointerProperty(AAX_eProperty_NativeInstanceInitProc, &init);
        map->GetPointerProperty(AAX_eProperty_NativeBackgroundProc, &background);
        AAX_CSelector id = 0;
        result = AddProcessProc_Native(
            reinterpret_cast<AAX_CProcessProc>(const_cast<void*>(proc)), inProperties,
            reinterpret_cast<AAX_CInstanceInitProc>(const_cast<void*>(init)),
            reinterpret_cast<AAX_CBackgroundProc>(const_cast<void*>(background)), &id);
        if (result == AAX_SUCCESS) ids.push_back(id);
    }
    if (result == AAX_SUCCESS && map->GetProperty(AAX_eProperty_PlugInID_TI, &value))
    {
        const void* dll = nullptr;
        const void* proc = nullptr;
        const void* init = nullptr;
        const void* background = nullptr;
        map->GetPointerProperty(AAX_eProperty_TIDLLFileName, &dll);
        map->GetPointerProperty(AAX_eProperty_TIProcessProc, &proc);
        map->GetPointerProperty(AAX_eProperty_TIInstanceInitProc, &init);
        map->GetPointerProperty(AAX_eProperty_TIBackgroundProc, &background);
        AAX_CSelector id = 0;
        result = AddProcessProc_TI(static_cast<const char*>(dll), static_cast<const char*>(proc),
                                   inProperties, static_cast<const char*>(init),
                                   static_cast<const char*>(background), &id);
        if (result == AAX_SUCCESS) ids.push_back(id);
    }
    if (result == AAX_SUCCESS && outProcIDs)
    {
        if (int64_t(ids.size()) >= int64_t(inProcIDsSize))
            return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
        for (size_t i = 0; i < ids.size(); ++i)
            outProcIDs[i] = ids[i];
        outProcIDs[ids.size()] = 0;
    }
    return result;
}

ComponentRecord HostComponentDescriptor::Snapshot() const
{
    ComponentRecord record;
    record.fields = mFields;
    for (const Registered& entry : mProcessProcs)
    {
        ProcessProcRecord proc = entry.record;
        if (entry.properties) proc.properties = entry.properties->Properties();
        record.processProcs.push_back(std::move(proc));
    }
    return record;
}

} // namespace tavelo::host
