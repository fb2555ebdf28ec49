// The string interface exchanged between host and plug-in: a byte string the other side can
// read and overwrite without knowing its implementation.
#pragma once

#include <cstdint>

class AAX_IString
{
public:
    AAX_IString() = default;
    AAX_IString(const AAX_IString&) = default;
    virtual ~AAX_IString() = default;
    virtual uint32_t Length() const = 0;
    virtual uint32_t MaxLength() const = 0;
    virtual const char* Get() const = 0;
    virtual void Set(const char* inString) = 0;
    virtual AAX_IString& operator=(const AAX_IString& inOther) = 0;
    virtual AAX_IString& operator=(const char* inString) = 0;
};
