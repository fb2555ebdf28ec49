// Wrapper of a host page table handed to the data model while it fills the table; host
// non-real-time thread.
#pragma once

#include "AAX_IACFPageTable.h"
#include "AAX_IPageTable.h"
#include "ACFPtr.h"

class AAX_VPageTable : public AAX_IPageTable
{
public:
    explicit AAX_VPageTable(IACFUnknown* inHost);

    AAX_Result Clear() override;
    AAX_Result Empty(AAX_CBoolean* outEmpty) const override;
    AAX_Result GetNumPages(int32_t* outNumPages) const override;
    AAX_Result InsertPage(int32_t inPage) override;
    AAX_Result RemovePage(int32_t inPage) override;
    AAX_Result GetNumMappedParameterIDs(int32_t inPage, int32_t* outNumIDs) const override;
    AAX_Result ClearMappedParameter(int32_t inPage, int32_t inIndex) override;
    AAX_Result GetMappedParameterID(int32_t inPage, int32_t inIndex,
                                    AAX_IString* outParameterID) const override;
    AAX_Result MapParameterID(AAX_CParamID inParameterID, int32_t inPage, int32_t inIndex) override;

    // False when the host object offers no page-table interface.
    bool IsSupported() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFPageTable> mV1;
};
