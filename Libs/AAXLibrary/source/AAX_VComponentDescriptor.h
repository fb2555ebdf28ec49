// Wrapper of a host component descriptor (versions 1 and 2). Owned by the effect-descriptor
// wrapper; host non-real-time thread during registration.
#pragma once

#include "AAX_IACFComponentDescriptor.h"
#include "AAX_IComponentDescriptor.h"
#include "ACFPtr.h"

#include <array>
#include <memory>
#include <vector>

class AAX_VPropertyMap;

class AAX_VComponentDescriptor : public AAX_IComponentDescriptor
{
public:
    explicit AAX_VComponentDescriptor(IACFUnknown* inHostDescriptor);
    ~AAX_VComponentDescriptor() override;

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
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_IPropertyMap* DuplicatePropertyMap(AAX_IPropertyMap* inOriginal) override;
    AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc, AAX_IPropertyMap* inProperties,
                                     AAX_CInstanceInitProc inInstanceInitProc,
                                     AAX_CBackgroundProc inBackgroundProc,
                                     AAX_CSelector* outProcID) override;
    AAX_Result AddProcessProc_TI(const char* inDLLFileNameUTF8, const char* inProcessProcSymbol,
                                 AAX_IPropertyMap* inProperties,
                                 const char* inInstanceInitProcSymbol,
                                 const char* inBackgroundProcSymbol,
                                 AAX_CSelector* outProcID) override;
    // Forwards to the host's version 2; with only version 1 performs the registration itself.
    AAX_Result AddProcessProc(AAX_IPropertyMap* inProperties, AAX_CSelector* outProcIDs,
                              int32_t inProcIDsSize) override;
    IACFUnknown* GetIUnknown() const override { return mV1.Get(); }

    // The pointer properties that AddProcessProc consumes (36 to 42).
    static const std::array<AAX_EProperty, 7>& PointerPropertiesUsedByAddProcessProc();

    bool IsValid() const { return bool(mV1); }

private:
    AAX_Result ManuallyAddProcessProcs(AAX_IPropertyMap* inProperties, AAX_CSelector* outProcIDs,
                                       int32_t inProcIDsSize);

    ACFPtr<AAX_IACFComponentDescriptor> mV1;
    ACFPtr<AAX_IACFComponentDescriptor_V2> mV2;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
