#include "AAX_CString.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

AAX_CString::AAX_CString(const char* inString) : mString(inString ? inString : "") {}

AAX_CString::AAX_CString(const AAX_IString& inOther) : mString(inOther.Get() ? inOther.Get() : "")
{
}

uint32_t AAX_CString::Length() const
{
    return uint32_t(mString.size());
}

uint32_t AAX_CString::MaxLength() const
{
    return 4294967294u;
}

const char* AAX_CString::Get() const
{
    return mString.c_str();
}

void AAX_CString::Set(const char* inString)
{
    mString = inString ? inString : "";
}

AAX_IString& AAX_CString::operator=(const AAX_IString& inOther)
{
    if (&inOther != this) Set(inOther.Get());
    return *this;
}

AAX_IString& AAX_CString::operator=(const char* inString)
{
    Set(inString);
    return *this;
}

AAX_CString& AAX_CString::operator=(const AAX_CString& inOther)
{
    mString = inOther.mString;
    return *this;
}

AAX_CString& AAX_CString::operator=(AAX_CString&& inOther) noexcept
{
    mString = std::move(inOther.mString);
    return *this;
}

void AAX_CString::Clear()
{
    mString.clear();
}

AAX_CString& AAX_CString::Erase(uint32_t inPosition, uint32_t inCount)
{
    mString.erase(inPosition, inCount); // throws std::out_of_range past the end
    return *this;
}

AAX_CString& AAX_CString::Append(const char* inString)
{
    if (inString) mString += inString;
    return *this;
}

AAX_CString& AAX_CString::AppendNumber(double inValue, int32_t inPrecision)
{
    // printf's fixed notation is correctly rounded; the precision is bounded so the text fits.
    const int precision = inPrecision < 0 ? 0 : (inPrecision > 64 ? 64 : inPrecision);
    char buffer[512];
    // The largest double has 309 integer digits, so 64 decimals always fit.
    const int written = std::snprintf(buffer, sizeof buffer, "%.*f", precision, inValue);
    if (written > 0 && size_t(written) < sizeof buffer) mString.append(buffer, size_t(written));
    return *this;
}

bool AAX_CString::ToDouble(double* outValue) const
{
    // Only decimal numbers: strtod alone would also take "nan", "inf" and hexadecimal.
    const char* begin = mString.c_str();
    const char* p = begin;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == '+' || *p == '-') ++p;
    const bool startsWithNumber = std::isdigit(static_cast<unsigned char>(p[0])) ||
                                  (p[0] == '.' && std::isdigit(static_cast<unsigned char>(p[1])));
    const bool hexadecimal = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    char* end = nullptr;
    const double value = startsWithNumber && !hexadecimal ? std::strtod(begin, &end) : 0.0;
    if (!startsWithNumber || hexadecimal || end == begin)
    {
        *outValue = 0.0;
        return false;
    }
    *outValue = value;
    return true;
}

void AAX_CString::SubString(uint32_t inPosition, uint32_t inCount, AAX_IString* outString) const
{
    const std::string part = mString.substr(inPosition, inCount); // throws past the end
    if (outString) outString->Set(part.c_str());
}

bool AAX_CString::operator==(const AAX_CString& inOther) const
{
    return std::strcmp(CString(), inOther.CString()) == 0;
}

bool AAX_CString::operator==(const char* inOther) const
{
    return std::strcmp(CString(), inOther ? inOther : "") == 0;
}

bool AAX_CString::operator<(const AAX_CString& inOther) const
{
    return std::strcmp(CString(), inOther.CString()) < 0;
}
