#include "AAX_CChunkDataParser.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "AAX_CHostServices.h"

namespace
{
constexpr uint8_t kMarker[4] = {1, 1, 1, 1};
constexpr const char* kTags[5] = {"f_", "l_", "d_", "s_", "r_"};
// Tag and name together, as read back.
constexpr size_t kMaxTagAndName = 254;

constexpr size_t RoundUp4(size_t inValue)
{
    return (inValue + 3) & ~size_t(3);
}

void WriteBigEndian(uint8_t* outBytes, uint64_t inValue, int inBytes)
{
    for (int i = 0; i < inBytes; ++i)
        outBytes[i] = uint8_t(inValue >> (8 * (inBytes - 1 - i)));
}

uint64_t ReadBigEndian(const uint8_t* inBytes, int inCount)
{
    uint64_t value = 0;
    for (int i = 0; i < inCount; ++i)
        value = (value << 8) | inBytes[i];
    return value;
}

size_t ValueSlot(const AAX_CChunkDataParser::DataValue& inValue)
{
    switch (inValue.mDataType)
    {
    case AAX_CChunkDataParser::eType_Float:
    case AAX_CChunkDataParser::eType_Int32:
    case AAX_CChunkDataParser::eType_Int16:
        return 4;
    case AAX_CChunkDataParser::eType_Double:
        return 8;
    case AAX_CChunkDataParser::eType_String:
        return RoundUp4(inValue.mStringValue.Length() + 1);
    default:
        return 0;
    }
}
} // namespace

void AAX_CChunkDataParser::Clear()
{
    mValues.clear();
    mLastFoundIndex = -1;
    mChunkVersion = -1;
}

void AAX_CChunkDataParser::AddDouble(const char* inName, double inValue)
{
    DataValue value;
    value.mDataType = eType_Double;
    value.mDataName = inName;
    std::memcpy(&value.mIntValue, &inValue, sizeof inValue);
    mValues.push_back(std::move(value));
}

void AAX_CChunkDataParser::AddInt32(const char* inName, int32_t inValue)
{
    DataValue value;
    value.mDataType = eType_Int32;
    value.mDataName = inName;
    value.mIntValue = inValue;
    mValues.push_back(std::move(value));
}

void AAX_CChunkDataParser::AddString(const char* inName, const AAX_CString& inValue)
{
    DataValue value;
    value.mDataType = eType_String;
    value.mDataName = inName;
    value.mStringValue = inValue;
    mValues.push_back(std::move(value));
}

int32_t AAX_CChunkDataParser::FindName(const char* inName)
{
    if (!inName) return -1;
    const int32_t count = int32_t(mValues.size());
    // Lookups usually follow the saved order, so continue after the last match.
    int32_t start = mLastFoundIndex;
    if (start >= count - 1) start = -1;
    for (int32_t i = start + 1; i < count; ++i)
        if (mValues[size_t(i)].mDataName == inName) return mLastFoundIndex = i;
    if (mLastFoundIndex >= 0)
        for (int32_t i = 0; i <= mLastFoundIndex && i < count; ++i)
            if (mValues[size_t(i)].mDataName == inName) return mLastFoundIndex = i;
    return -1;
}

bool AAX_CChunkDataParser::FindDouble(const char* inName, double* outValue)
{
    const int32_t index = FindName(inName);
    if (index < 0 || mValues[size_t(index)].mDataType != eType_Double) return false;
    std::memcpy(outValue, &mValues[size_t(index)].mIntValue, sizeof *outValue);
    return true;
}

bool AAX_CChunkDataParser::FindInt32(const char* inName, int32_t* outValue)
{
    const int32_t index = FindName(inName);
    if (index < 0 || mValues[size_t(index)].mDataType != eType_Int32) return false;
    *outValue = int32_t(mValues[size_t(index)].mIntValue);
    return true;
}

bool AAX_CChunkDataParser::FindString(const char* inName, AAX_CString* outValue)
{
    const int32_t index = FindName(inName);
    if (index < 0 || mValues[size_t(index)].mDataType != eType_String) return false;
    *outValue = mValues[size_t(index)].mStringValue;
    return true;
}

int32_t AAX_CChunkDataParser::GetChunkDataSize() const
{
    size_t size = 4;
    for (const DataValue& value : mValues)
        size += RoundUp4(value.mDataName.Length() + 3) + ValueSlot(value);
    return size > size_t(INT32_MAX) ? -1 : int32_t(size);
}

AAX_Result AAX_CChunkDataParser::GetChunkData(AAX_SPlugInChunk* outChunk) const
{
    const int32_t size = GetChunkDataSize();
    if (size < 4 || !outChunk) return kChunkOverflow;
    uint8_t* data = reinterpret_cast<uint8_t*>(outChunk->fData);
    std::memset(data, 0, size_t(size));
    std::memcpy(data, kMarker, 4);
    size_t p = 4;
    try
    {
        for (const DataValue& value : mValues)
        {
            uint8_t bytes[8] = {};
            size_t valueLength = 0;
            switch (value.mDataType)
            {
            case eType_Int16:
                WriteBigEndian(bytes, uint64_t(value.mIntValue), 2);
                valueLength = 2;
                break;
            case eType_Float:
            case eType_Int32:
                WriteBigEndian(bytes, uint64_t(value.mIntValue), 4);
                valueLength = 4;
                break;
            case eType_Double:
                WriteBigEndian(bytes, uint64_t(value.mIntValue), 8);
                valueLength = 8;
                break;
            case eType_String:
                valueLength = value.mStringValue.Length() + 1;
                break;
            default:
                break;
            }
            const size_t nameLength = value.mDataName.Length();
            if (p + nameLength + valueLength + 3 > size_t(size))
                throw std::runtime_error("aborting: chunk data will overflow buffer");
            if (value.mDataType >= eType_Float && value.mDataType <= eType_String)
                std::memcpy(data + p, kTags[value.mDataType - 1], 2);
            std::memcpy(data + p + 2, value.mDataName.Get(), nameLength + 1);
            p = RoundUp4(p + nameLength + 3);
            if (value.mDataType == eType_String)
                std::memcpy(data + p, value.mStringValue.Get(), valueLength);
            else
                std::memcpy(data + p, bytes, valueLength);
            p += ValueSlot(value);
        }
    }
    catch (const std::exception& error)
    {
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                 "AAX_CChunkDataParser::GetChunkData ERROR: %s", error.what());
        return kChunkOverflow;
    }
    outChunk->fSize = size;
    return AAX_SUCCESS;
}

void AAX_CChunkDataParser::LoadChunk(const AAX_SPlugInChunk* inChunk)
{
    Clear();
    if (!inChunk) return;
    mChunkVersion = inChunk->fVersion;
    const int32_t announced = inChunk->fSize;
    if (announced <= 4) return;
    const size_t n = size_t(announced);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(inChunk->fData);
    if (std::memcmp(data, kMarker, 4) != 0) return;

    // Every read below stays inside the n bytes the record announces; a value that does not
    // fit ends loading with the entries read so far. An odd tag-and-name text does not: one
    // without a terminator in reach is cut, one too short for a tag becomes an entry without
    // a type, and reading goes on after it, so the entries behind it are still restored.
    size_t p = 4;
    while (p < n)
    {
        const size_t limit = std::min(n - p, kMaxTagAndName + 1);
        const void* terminator = std::memchr(data + p, 0, limit);
        const size_t textLength = terminator
                                      ? size_t(static_cast<const uint8_t*>(terminator) - (data + p))
                                      : std::min(limit, kMaxTagAndName);
        const char tag = textLength < 2 ? '\0' : char(data[p]);
        DataValue value;
        if (textLength > 2)
            value.mDataName = AAX_CString(
                std::string(reinterpret_cast<const char*>(data + p + 2), textLength - 2));
        p = RoundUp4(p + textLength + 1);

        size_t valueBytes = 0;
        switch (tag)
        {
        case 'd':
            valueBytes = 8;
            break;
        case 'f':
        case 'l':
        case 's':
            valueBytes = 4;
            break;
        default:
            break;
        }
        if (valueBytes > 0 && (p > n || n - p < valueBytes)) break;
        switch (tag)
        {
        case 'd':
            value.mDataType = eType_Double;
            value.mIntValue = int64_t(ReadBigEndian(data + p, 8));
            break;
        case 'f':
            value.mDataType = eType_Float;
            value.mIntValue = int64_t(ReadBigEndian(data + p, 4));
            break;
        case 'l':
            value.mDataType = eType_Int32;
            value.mIntValue = int32_t(uint32_t(ReadBigEndian(data + p, 4)));
            break;
        case 's':
            value.mDataType = eType_Int16;
            value.mIntValue = uint16_t(ReadBigEndian(data + p, 2));
            break;
        case 'r':
        {
            const void* end = p < n ? std::memchr(data + p, 0, n - p) : nullptr;
            if (!end) return; // an unterminated text does not fit
            const size_t length = size_t(static_cast<const uint8_t*>(end) - (data + p));
            value.mDataType = eType_String;
            value.mStringValue = reinterpret_cast<const char*>(data + p);
            valueBytes = RoundUp4(length + 1);
            break;
        }
        default:
            value.mDataType = eType_None;
            break;
        }
        p += valueBytes;
        mValues.push_back(std::move(value));
    }
}
