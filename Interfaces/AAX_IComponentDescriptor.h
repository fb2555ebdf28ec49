// A processing configuration's description as the framework calls it (implemented by
// AAX_VComponentDescriptor). Property maps it creates belong to it.
#pragma once

#include "AAX.h"

class IACFUnknown;
class AAX_IPropertyMap;

class AAX_IComponentDescriptor
{
public:
    virtual ~AAX_IComponentDescriptor() = default;
    virtual AAX_Result Clear() = 0;
    virtual AAX_Result AddAudioIn(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddAudioOut(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddSampleRate(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddClock(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddSideChainIn(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddDataInPort(AAX_CFieldIndex inFieldIndex, uint32_t inPacketSize,
                                     AAX_EDataInPortType inPortType) = 0;
    virtual AAX_Result AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize,
                                      uint32_t inOptions) = 0;
    virtual AAX_Result AddMIDINode(AAX_CFieldIndex inFieldIndex, AAX_EMIDINodeType inNodeType,
                                   const char* inNodeName, uint32_t inChannelMask) = 0;
    // Null when the host gives no map.
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    // A new map holding every property of inOriginal numbered 10 to 401; null on failure.
    virtual AAX_IPropertyMap* DuplicatePropertyMap(AAX_IPropertyMap* inOriginal) = 0;
    virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc,
                                             AAX_IPropertyMap* inProperties,
                                             AAX_CInstanceInitProc inInstanceInitProc,
                                             AAX_CBackgroundProc inBackgroundProc,
                                             AAX_CSelector* outProcID) = 0;
    virtual AAX_Result
    AddProcessProc_TI(const char* inDLLFileNameUTF8, const char* inProcessProcSymbol,
                      AAX_IPropertyMap* inProperties, const char* inInstanceInitProcSymbol,
                      const char* inBackgroundProcSymbol, AAX_CSelector* outProcID) = 0;
    virtual AAX_Result AddProcessProc(AAX_IPropertyMap* inProperties, AAX_CSelector* outProcIDs,
                                      int32_t inProcIDsSize) = 0;
    virtual IACFUnknown* GetIUnknown() const = 0;
};
