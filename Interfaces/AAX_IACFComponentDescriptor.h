// A processing configuration's description as the host implements it: the context fields at
// their indices, property maps and process procedures. V2 adds the generic registration.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFComponentDescriptor : public IACFUnknown
{
public:
    // Forgets every field, map and procedure added so far, so the object can describe anew.
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
    // A new, empty property map; the caller owns the one reference returned (null on failure).
    virtual IACFUnknown* NewPropertyMap() = 0;
    virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc,
                                             IACFUnknown* inProperties,
                                             AAX_CInstanceInitProc inInstanceInitProc,
                                             AAX_CBackgroundProc inBackgroundProc,
                                             AAX_CSelector* outProcID) = 0;
    virtual AAX_Result AddProcessProc_TI(const char* inDLLFileNameUTF8,
                                         const char* inProcessProcSymbol, IACFUnknown* inProperties,
                                         const char* inInstanceInitProcSymbol,
                                         const char* inBackgroundProcSymbol,
                                         AAX_CSelector* outProcID) = 0;

protected:
    ~AAX_IACFComponentDescriptor() = default;
};

class AAX_IACFComponentDescriptor_V2 : public AAX_IACFComponentDescriptor
{
public:
    // Registers every process procedure that the map's pointer properties name; writes the
    // procedure IDs followed by a terminating 0 into outProcIDs (capacity inProcIDsSize).
    virtual AAX_Result AddProcessProc(IACFUnknown* inProperties, AAX_CSelector* outProcIDs,
                                      int32_t inProcIDsSize) = 0;

protected:
    ~AAX_IACFComponentDescriptor_V2() = default;
};
