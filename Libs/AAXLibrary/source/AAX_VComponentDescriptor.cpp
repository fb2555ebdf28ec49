#include "AAX_VComponentDescriptor.h"

#include "AAX_CHostServices.h"
#include "AAX_UIDs.h"
#include "AAX_VPropertyMap.h"

namespace
{
constexpr const char* kSourcePath = "Libs/AAXLibrary/source/AAX_VComponentDescriptor";

template <class Proc> Proc ProcFromPointer(const void* inPointer)
{
    return reinterpret_cast<Proc>(const_cast<void*>(inPointer));
}
} // namespace

AAX_VComponentDescriptor::AAX_VComponentDescriptor(IACFUnknown* inHostDescriptor)
    : mV1(ACFQueryInterface<AAX_IACFComponentDescriptor>(inHostDescriptor,
                                                         IID_IAAXComponentDescriptorV1)),
      mV2(ACFQueryInterface<AAX_IACFComponentDescriptor_V2>(inHostDescriptor,
                                                            IID_IAAXComponentDescriptorV2))
{
}

AAX_VComponentDescriptor::~AAX_VComponentDescriptor() = default;

AAX_Result AAX_VComponentDescriptor::Clear()
{
    return mV1 ? mV1->Clear() : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAudioIn(AAX_CFieldIndex inFieldIndex)
{
    return mV1 ? mV1->AddAudioIn(inFieldIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAudioOut(AAX_CFieldIndex inFieldIndex)
{
    return mV1 ? mV1->AddAudioOut(inFieldIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex inFieldIndex)
{
    return mV1 ? mV1->AddAudioBufferLength(inFieldIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddSampleRate(AAX_CFieldIndex inFieldIndex)
{
    return mV1 ? mV1->AddSampleRate(inFieldIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddClock(AAX_CFieldIndex inFieldIndex)
{
    return mV1 ? mV1->AddClock(inFieldIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddSideChainIn(AAX_CFieldIndex inFieldIndex)
{
    return mV1 ? mV1->AddSideChainIn(inFieldIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddDataInPort(AAX_CFieldIndex inFieldIndex,
                                                   uint32_t inPacketSize,
                                                   AAX_EDataInPortType inPortType)
{
    return mV1 ? mV1->AddDataInPort(inFieldIndex, inPacketSize, inPortType) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddPrivateData(AAX_CFieldIndex inFieldIndex,
                                                    int32_t inDataSize, uint32_t inOptions)
{
    return mV1 ? mV1->AddPrivateData(inFieldIndex, inDataSize, inOptions) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddMIDINode(AAX_CFieldIndex inFieldIndex,
                                                 AAX_EMIDINodeType inNodeType,
                                                 const char* inNodeName, uint32_t inChannelMask)
{
    return mV1 ? mV1->AddMIDINode(inFieldIndex, inNodeType, inNodeName, inChannelMask)
               : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VComponentDescriptor::NewPropertyMap()
{
    if (!mV1) return nullptr;
    ACFPtr<IACFUnknown> hostMap(mV1->NewPropertyMap());
    if (!hostMap) return nullptr;
    auto map = std::make_unique<AAX_VPropertyMap>(hostMap.Get());
    if (!map->IsValid()) return nullptr;
    mPropertyMaps.push_back(std::move(map));
    return mPropertyMaps.back().get();
}

AAX_IPropertyMap* AAX_VComponentDescriptor::DuplicatePropertyMap(AAX_IPropertyMap* inOriginal)
{
    AAX_IPropertyMap* copy = inOriginal ? NewPropertyMap() : nullptr;
    if (!copy) return nullptr;
    for (int32_t number = AAX_eProperty_MinProp; number <= AAX_eProperty_MaxProp; ++number)
    {
        const auto property = static_cast<AAX_EProperty>(number);
        AAX_CPropertyValue value = 0;
        const void* pointer = nullptr;
        if (inOriginal->GetProperty(property, &value))
            copy->AddProperty(property, value);
        else if (inOriginal->GetPointerProperty(property, &pointer))
            copy->AddPointerProperty(property, pointer);
    }
    return copy;
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc inProcessProc,
                                                           AAX_IPropertyMap* inProperties,
                                                           AAX_CInstanceInitProc inInstanceInitProc,
                                                           AAX_CBackgroundProc inBackgroundProc,
                                                           AAX_CSelector* outProcID)
{
    if (!mV1) return AAX_ERROR_NULL_OBJECT;
    return mV1->AddProcessProc_Native(inProcessProc,
                                      inProperties ? inProperties->GetIUnknown() : nullptr,
                                      inInstanceInitProc, inBackgroundProc, outProcID);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_TI(const char* inDLLFileNameUTF8,
                                                       const char* inProcessProcSymbol,
                                                       AAX_IPropertyMap* inProperties,
                                                       const char* inInstanceInitProcSymbol,
                                                       const char* inBackgroundProcSymbol,
                                                       AAX_CSelector* outProcID)
{
    if (!mV1) return AAX_ERROR_NULL_OBJECT;
    return mV1->AddProcessProc_TI(inDLLFileNameUTF8, inProcessProcSymbol,
                                  inProperties ? inProperties->GetIUnknown() : nullptr,
                                  inInstanceInitProcSymbol, inBackgroundProcSymbol, outProcID);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc(AAX_IPropertyMap* inProperties,
                                                    AAX_CSelector* outProcIDs,
                                                    int32_t inProcIDsSize)
{
    if (mV2)
        return mV2->AddProcessProc(inProperties ? inProperties->GetIUnknown() : nullptr, outProcIDs,
                                   inProcIDsSize);
    return ManuallyAddProcessProcs(inProperties, outProcIDs, inProcIDsSize);
}

const std::array<AAX_EProperty, 7>&
AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc()
{
    static const std::array<AAX_EProperty, 7> kProperties = {
        AAX_eProperty_NativeProcessProc,    AAX_eProperty_NativeInstanceInitProc,
        AAX_eProperty_NativeBackgroundProc, AAX_eProperty_TIDLLFileName,
        AAX_eProperty_TIProcessProc,        AAX_eProperty_TIInstanceInitProc,
        AAX_eProperty_TIBackgroundProc};
    return kProperties;
}

AAX_Result AAX_VComponentDescriptor::ManuallyAddProcessProcs(AAX_IPropertyMap* inProperties,
                                                             AAX_CSelector* outProcIDs,
                                                             int32_t inProcIDsSize)
{
    if (!inProperties || !mV1) return AAX_ERROR_NULL_OBJECT;

    AAX_Result result = AAX_SUCCESS;
    std::vector<AAX_CSelector> procIDs;
    AAX_CPropertyValue value = 0;

    if (inProperties->GetProperty(AAX_eProperty_PlugInID_Native, &value) ||
        inProperties->GetProperty(AAX_eProperty_PlugInID_AudioSuite, &value))
    {
        const void* processProc = nullptr;
        const void* instanceInitProc = nullptr;
        const void* backgroundProc = nullptr;
        if (!inProperties->GetPointerProperty(AAX_eProperty_NativeProcessProc, &processProc))
            AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                     "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no "
                                     "value found for AAX_eProperty_NativeProcessProc");
        inProperties->GetPointerProperty(AAX_eProperty_NativeInstanceInitProc, &instanceInitProc);
        inProperties->GetPointerProperty(AAX_eProperty_NativeBackgroundProc, &backgroundProc);

        // The native registration must not see the DSP buffer length, so it gets a copy without.
        AAX_IPropertyMap* nativeProperties = inProperties;
        if (inProperties->GetProperty(AAX_eProperty_DSP_AudioBufferLength, &value))
        {
            AAX_IPropertyMap* copy = DuplicatePropertyMap(inProperties);
            AAX_CPropertyValue copiedValue = 0;
            const AAX_CBoolean gotPropertySuccess =
                copy ? copy->GetProperty(AAX_eProperty_DSP_AudioBufferLength, &copiedValue) : 0;
            if (0 == gotPropertySuccess)
            {
                AAX_CHostServices::HandleAssertFailure(kSourcePath, 89, "0 != gotPropertySuccess",
                                                       AAX_eAssertFlags_Log);
            }
            else
            {
                const AAX_Result removeNativeAudioBufferLengthResult =
                    copy->RemoveProperty(AAX_eProperty_DSP_AudioBufferLength);
                if (AAX_SUCCESS != removeNativeAudioBufferLengthResult)
                    AAX_CHostServices::HandleAssertFailure(
                        kSourcePath, 93, "AAX_SUCCESS == removeNativeAudioBufferLengthResult",
                        AAX_eAssertFlags_Log);
                nativeProperties = copy;
            }
        }

        AAX_CSelector procID = 0;
        result =
            AddProcessProc_Native(ProcFromPointer<AAX_CProcessProc>(processProc), nativeProperties,
                                  ProcFromPointer<AAX_CInstanceInitProc>(instanceInitProc),
                                  ProcFromPointer<AAX_CBackgroundProc>(backgroundProc), &procID);
        if (result == AAX_SUCCESS) procIDs.push_back(procID);
    }

    if (result == AAX_SUCCESS && inProperties->GetProperty(AAX_eProperty_PlugInID_TI, &value))
    {
        const void* dllFileName = nullptr;
        const void* processProc = nullptr;
        const void* instanceInitProc = nullptr;
        const void* backgroundProc = nullptr;
        if (!inProperties->GetPointerProperty(AAX_eProperty_TIDLLFileName, &dllFileName))
            AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                     "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no "
                                     "value found for AAX_eProperty_TIDLLFileName");
        if (!inProperties->GetPointerProperty(AAX_eProperty_TIProcessProc, &processProc))
            AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                     "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no "
                                     "value found for AAX_eProperty_TIProcessProc");
        inProperties->GetPointerProperty(AAX_eProperty_TIInstanceInitProc, &instanceInitProc);
        inProperties->GetPointerProperty(AAX_eProperty_TIBackgroundProc, &backgroundProc);

        AAX_CSelector procID = 0;
        result = AddProcessProc_TI(static_cast<const char*>(dllFileName),
                                   static_cast<const char*>(processProc), inProperties,
                                   static_cast<const char*>(instanceInitProc),
                                   static_cast<const char*>(backgroundProc), &procID);
        if (result == AAX_SUCCESS) procIDs.push_back(procID);
    }

    if (result == AAX_SUCCESS && outProcIDs)
    {
        if (int64_t(procIDs.size()) < int64_t(inProcIDsSize))
        {
            for (size_t i = 0; i < procIDs.size(); ++i)
                outProcIDs[i] = procIDs[i];
            outProcIDs[procIDs.size()] = 0;
        }
        else
        {
            result = AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
        }
    }
    return result;
}
