// The framework's string: a growable byte string behind AAX_IString. Used on every non-audio
// thread; one object must not be changed from two threads at once.
#pragma once

#include <cstdint>
#include <string>

#include "AAX_IString.h"

class AAX_CString : public AAX_IString
{
public:
    AAX_CString() = default;
    AAX_CString(const char* inString);
    AAX_CString(const AAX_CString& inOther) = default;
    AAX_CString(AAX_CString&& inOther) noexcept = default;
    explicit AAX_CString(const AAX_IString& inOther);
    explicit AAX_CString(const std::string& inString) : mString(inString) {}
    ~AAX_CString() override = default;

    uint32_t Length() const override;
    uint32_t MaxLength() const override;
    const char* Get() const override;
    void Set(const char* inString) override;
    AAX_IString& operator=(const AAX_IString& inOther) override;
    AAX_IString& operator=(const char* inString) override;
    AAX_CString& operator=(const AAX_CString& inOther);
    AAX_CString& operator=(AAX_CString&& inOther) noexcept;

    const char* CString() const { return mString.c_str(); }
    const std::string& StdString() const { return mString; }
    void Clear();
    bool Empty() const { return mString.empty(); }
    // Removes up to inCount characters from inPosition; throws std::out_of_range when the
    // position lies beyond the end.
    AAX_CString& Erase(uint32_t inPosition, uint32_t inCount);
    AAX_CString& Append(const char* inString);
    // Appends inValue in fixed notation with exactly inPrecision digits after the point.
    AAX_CString& AppendNumber(double inValue, int32_t inPrecision);
    // Reads the text as a decimal number (leading blanks allowed); 0.0 and false when none.
    bool ToDouble(double* outValue) const;
    // Writes up to inCount characters from inPosition into outString; throws
    // std::out_of_range when the position lies beyond the end.
    void SubString(uint32_t inPosition, uint32_t inCount, AAX_IString* outString) const;

    bool operator==(const AAX_CString& inOther) const;
    bool operator!=(const AAX_CString& inOther) const { return !(*this == inOther); }
    bool operator==(const char* inOther) const;
    bool operator!=(const char* inOther) const { return !(*this == inOther); }
    bool operator<(const AAX_CString& inOther) const;
    // Unchecked, like indexing a C string.
    char operator[](uint32_t inIndex) const { return mString.c_str()[inIndex]; }

private:
    std::string mString;
};
