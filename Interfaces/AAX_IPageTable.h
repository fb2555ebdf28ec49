// A control-surface page table as the framework calls it (implemented by AAX_VPageTable).
#pragma once

#include "AAX.h"

class AAX_IString;

class AAX_IPageTable
{
public:
    virtual ~AAX_IPageTable() = default;
    virtual AAX_Result Clear() = 0;
    virtual AAX_Result Empty(AAX_CBoolean* outEmpty) const = 0;
    virtual AAX_Result GetNumPages(int32_t* outNumPages) const = 0;
    virtual AAX_Result InsertPage(int32_t inPage) = 0;
    virtual AAX_Result RemovePage(int32_t inPage) = 0;
    virtual AAX_Result GetNumMappedParameterIDs(int32_t inPage, int32_t* outNumIDs) const = 0;
    virtual AAX_Result ClearMappedParameter(int32_t inPage, int32_t inIndex) = 0;
    virtual AAX_Result GetMappedParameterID(int32_t inPage, int32_t inIndex,
                                            AAX_IString* outParameterID) const = 0;
    virtual AAX_Result MapParameterID(AAX_CParamID inParameterID, int32_t inPage,
                                      int32_t inIndex) = 0;
};
