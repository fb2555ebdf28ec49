#include "AAX_VPageTable.h"

#include "AAX_UIDs.h"

AAX_VPageTable::AAX_VPageTable(IACFUnknown* inHost)
    : mV1(ACFQueryInterface<AAX_IACFPageTable>(inHost, IID_IAAXPageTableV1))
{
}

AAX_Result AAX_VPageTable::Clear()
{
    return mV1 ? mV1->Clear() : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::Empty(AAX_CBoolean* outEmpty) const
{
    return mV1 ? mV1->Empty(outEmpty) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::GetNumPages(int32_t* outNumPages) const
{
    return mV1 ? mV1->GetNumPages(outNumPages) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::InsertPage(int32_t inPage)
{
    return mV1 ? mV1->InsertPage(inPage) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::RemovePage(int32_t inPage)
{
    return mV1 ? mV1->RemovePage(inPage) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::GetNumMappedParameterIDs(int32_t inPage, int32_t* outNumIDs) const
{
    return mV1 ? mV1->GetNumMappedParameterIDs(inPage, outNumIDs) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::ClearMappedParameter(int32_t inPage, int32_t inIndex)
{
    return mV1 ? mV1->ClearMappedParameter(inPage, inIndex) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::GetMappedParameterID(int32_t inPage, int32_t inIndex,
                                                AAX_IString* outParameterID) const
{
    return mV1 ? mV1->GetMappedParameterID(inPage, inIndex, outParameterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPageTable::MapParameterID(AAX_CParamID inParameterID, int32_t inPage,
                                          int32_t inIndex)
{
    return mV1 ? mV1->MapParameterID(inParameterID, inPage, inIndex) : AAX_ERROR_NULL_OBJECT;
}
