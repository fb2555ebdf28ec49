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

bool AAX_CChunkDataParser::LoadChunk(const AAX_SPlugInChunk* inChunk, std::string* outProblem)
{
    Clear();
    if (!inChunk) return true;
    mChunkVersion = inChunk->fVersion;
    const int32_t announced = inChunk->fSize;
    if (announced <= 4) return true;
    return Decode(reinterpret_cast<const uint8_t*>(inChunk->fData), size_t(announced), mValues,
                  outProblem);
}

bool AAX_CChunkDataParser::Decode(const uint8_t* inData, size_t inSize,
                                  std::vector<DataValue>& outValues, std::string* outProblem)
{
    bool whole = true;
    auto damaged = [&whole, outProblem](const std::string& inWhy)
    {
        if (whole && outProblem) *outProblem = inWhy;
        whole = false;
        return false;
    };
    const uint8_t* data = inData;
    const size_t n = inSize;
    if (n < 4 || std::memcmp(data, kMarker, 4) != 0) return damaged("no entry marker");

    // Every read below stays inside the n bytes; a value that does not fit ends decoding with
    // the entries read so far. An odd tag-and-name text does not: one without a terminator in
    // reach is cut, one too short for a tag becomes an entry without a type, and reading goes on
    // after it, so the entries behind it are still restored. Either way the data is damaged.
    size_t p = 4;
    while (p < n)
    {
        const size_t at = p;
        const size_t limit = std::min(n - p, kMaxTagAndName + 1);
        const void* terminator = std::memchr(data + p, 0, limit);
        const size_t textLength = terminator
                                      ? size_t(static_cast<const uint8_t*>(terminator) - (data + p))
                                      : std::min(limit, kMaxTagAndName);
        if (!terminator)
            damaged("entry at byte " + std::to_string(at) + ": name is not terminated");
        else if (textLength < 2)
            damaged("entry at byte " + std::to_string(at) + ": no type tag");
        const char tag = textLength < 2 ? '\0' : char(data[p]);
        DataValue value;
        if (textLength > 2)
            value.mDataName = AAX_CString(
                std::string(reinterpret_cast<const char*>(data + p + 2), textLength - 2));
        const std::string name = value.mDataName.Get();
        p = RoundUp4(p + textLength + 1);

        // Numbers: the entry type and its bytes (a two-byte value sits in a four-byte slot).
        struct NumberEntry
        {
            char tag;
            int32_t type;
            int bytes;
            size_t slot;
        };
        static constexpr NumberEntry kNumbers[] = {{'d', eType_Double, 8, 8},
                                                   {'f', eType_Float, 4, 4},
                                                   {'l', eType_Int32, 4, 4},
                                                   {'s', eType_Int16, 2, 4}};
        const NumberEntry* number = nullptr;
        for (const NumberEntry& candidate : kNumbers)
            if (candidate.tag == tag) number = &candidate;
        size_t valueBytes = 0;
        if (number)
        {
            if (p > n || n - p < number->slot)
                return damaged("entry \"" + name + "\": value runs past the data");
            const uint64_t bits = ReadBigEndian(data + p, number->bytes);
            value.mDataType = number->type;
            // An int32 is kept sign-extended; the other values as their bits.
            value.mIntValue =
                number->type == eType_Int32 ? int64_t(int32_t(uint32_t(bits))) : int64_t(bits);
            valueBytes = number->slot;
        }
        else if (tag == 'r')
        {
            const void* end = p < n ? std::memchr(data + p, 0, n - p) : nullptr;
            if (!end) return damaged("entry \"" + name + "\": text is not terminated");
            const size_t length = size_t(static_cast<const uint8_t*>(end) - (data + p));
            value.mDataType = eType_String;
            value.mStringValue = reinterpret_cast<const char*>(data + p);
            valueBytes = RoundUp4(length + 1);
        }
        else
            value.mDataType = eType_None;
        p += valueBytes;
        outValues.push_back(std::move(value));
    }
    return whole;
}

char AAX_CChunkDataParser::TypeTag(int32_t inType)
{
    return inType >= eType_Float && inType <= eType_String ? kTags[inType - 1][0] : '?';
}

double AAX_CChunkDataParser::Number(const DataValue& inValue)
{
    switch (inValue.mDataType)
    {
    case eType_Double:
    {
        double d;
        const uint64_t bits = uint64_t(inValue.mIntValue);
        std::memcpy(&d, &bits, 8);
        return d;
    }
    case eType_Float:
    {
        float f;
        const uint32_t bits = uint32_t(inValue.mIntValue);
        std::memcpy(&f, &bits, 4);
        return double(f);
    }
    case eType_Int32:
    case eType_Int16:
        return double(inValue.mIntValue);
    default:
        return 0.0;
    }
}
