// Shows an on/off value as one of two texts, with optional shorter forms for narrow displays.
#pragma once

#include <algorithm>
#include <vector>

#include "AAX_IDisplayDelegate.h"

template <typename T> class AAX_CBinaryDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    struct StringTable
    {
        int32_t mStringTableLength;
        AAX_CString mFalseString;
        AAX_CString mTrueString;
    };

    static bool StringTableSortFunc(const StringTable& inA, const StringTable& inB)
    {
        return inA.mStringTableLength < inB.mStringTableLength;
    }

    AAX_CBinaryDisplayDelegate(const char* inFalseString, const char* inTrueString)
        : mFalseString(inFalseString), mTrueString(inTrueString),
          mMaxStrLength(std::max(mFalseString.Length(), mTrueString.Length()))
    {
    }

    AAX_CBinaryDisplayDelegate* Clone() const override
    {
        return new AAX_CBinaryDisplayDelegate(*this);
    }

    bool ValueToString(T inValue, AAX_CString* outString) const override
    {
        *outString = inValue ? mTrueString : mFalseString;
        return true;
    }

    bool ValueToString(T inValue, int32_t inMaxNumChars, AAX_CString* outString) const override
    {
        const uint32_t maxChars = inMaxNumChars < 0 ? 0u : uint32_t(inMaxNumChars);
        if (mShortenedStrings.empty() || maxChars >= mMaxStrLength)
            return ValueToString(inValue, outString);
        const StringTable* chosen = &mShortenedStrings.front();
        for (auto entry = mShortenedStrings.rbegin(); entry != mShortenedStrings.rend(); ++entry)
        {
            if (entry->mStringTableLength <= int32_t(maxChars))
            {
                chosen = &*entry;
                break;
            }
        }
        *outString = inValue ? chosen->mTrueString : chosen->mFalseString;
        return true;
    }

    bool StringToValue(const AAX_CString& inString, T* outValue) const override
    {
        if (inString == mTrueString)
        {
            *outValue = true;
            return true;
        }
        *outValue = false;
        return inString == mFalseString;
    }

    virtual void AddShortenedStrings(const char* inFalseString, const char* inTrueString,
                                     int32_t inStrLength)
    {
        mShortenedStrings.push_back(
            StringTable{inStrLength, AAX_CString(inFalseString), AAX_CString(inTrueString)});
        std::sort(mShortenedStrings.begin(), mShortenedStrings.end(), StringTableSortFunc);
    }

private:
    AAX_CString mFalseString;
    AAX_CString mTrueString;
    uint32_t mMaxStrLength;
    std::vector<StringTable> mShortenedStrings;
};
