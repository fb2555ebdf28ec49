// Shows a number in fixed notation with Precision decimals; Spacing is kept for the format's
// signature and adds nothing.
#pragma once

#include "AAX_IDisplayDelegate.h"

template <typename T, uint32_t Precision = 2, uint32_t Spacing = 0>
class AAX_CNumberDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CNumberDisplayDelegate* Clone() const override
    {
        return new AAX_CNumberDisplayDelegate(*this);
    }

    bool ValueToString(T inValue, AAX_CString* outString) const override
    {
        outString->Clear();
        outString->AppendNumber(double(inValue), int32_t(Precision));
        return true;
    }

    bool ValueToString(T inValue, int32_t inMaxNumChars, AAX_CString* outString) const override
    {
        outString->Clear();
        outString->AppendNumber(double(inValue), int32_t(Precision));
        const uint32_t maxChars = inMaxNumChars < 0 ? 0u : uint32_t(inMaxNumChars);
        if (outString->Length() > maxChars)
            outString->Erase(maxChars, outString->Length() - maxChars);
        // A text cut right after its point reads better without it.
        if (inMaxNumChars >= 1 && outString->Length() == maxChars &&
            (*outString)[maxChars - 1] == '.')
            outString->Erase(maxChars - 1, 1);
        return true;
    }

    bool StringToValue(const AAX_CString& inString, T* outValue) const override
    {
        double value = 0.0;
        if (!inString.ToDouble(&value))
        {
            *outValue = T(0);
            return false;
        }
        *outValue = static_cast<T>(value);
        return true;
    }
};
