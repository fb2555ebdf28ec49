// Turns a parameter's real value of type T into text and back.
#pragma once

#include <cstdint>

#include "AAX_CString.h"

template <typename T> class AAX_IDisplayDelegate
{
public:
    virtual ~AAX_IDisplayDelegate() = default;
    virtual AAX_IDisplayDelegate* Clone() const = 0;
    virtual bool ValueToString(T inValue, AAX_CString* outString) const = 0;
    virtual bool ValueToString(T inValue, int32_t inMaxNumChars, AAX_CString* outString) const = 0;
    virtual bool StringToValue(const AAX_CString& inString, T* outValue) const = 0;
};
