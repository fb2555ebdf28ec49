// Serialises named, typed values into the data area of a chunk record and reads them back.
// Used by the effect-parameters object on host non-real-time threads; not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "AAX.h"
#include "AAX_CString.h"

class AAX_CChunkDataParser
{
public:
    enum EType : int32_t
    {
        eType_None = 0,
        eType_Float = 1,
        eType_Int32 = 2,
        eType_Double = 3,
        eType_Int16 = 4,
        eType_String = 5
    };

    struct DataValue
    {
        int32_t mDataType = eType_None;
        AAX_CString mDataName;
        int64_t mIntValue = 0; // integer value, float bits or double bits
        AAX_CString mStringValue;
    };

    // Result of GetChunkData when the entries do not fit the data size.
    static constexpr AAX_Result kChunkOverflow = -333;

    AAX_CChunkDataParser() { Clear(); }

    void Clear();
    void AddDouble(const char* inName, double inValue);
    void AddInt32(const char* inName, int32_t inValue);
    void AddString(const char* inName, const AAX_CString& inValue);
    bool FindDouble(const char* inName, double* outValue);
    bool FindInt32(const char* inName, int32_t* outValue);
    bool FindString(const char* inName, AAX_CString* outValue);
    int32_t FindName(const char* inName);

    int32_t GetChunkDataSize() const;
    // Writes the data area and the data-size field; the record must hold GetChunkDataSize()
    // bytes of data.
    AAX_Result GetChunkData(AAX_SPlugInChunk* outChunk) const;
    // Replaces the entries with those of the record; reads stay inside its announced size. A
    // damaged entry ends loading with the entries before it: false, and why in *outProblem.
    bool LoadChunk(const AAX_SPlugInChunk* inChunk, std::string* outProblem = nullptr);
    // The entries of a data area of inSize bytes (marker first), appended to outValues; the
    // same reading as LoadChunk's.
    static bool Decode(const uint8_t* inData, size_t inSize, std::vector<DataValue>& outValues,
                       std::string* outProblem = nullptr);
    // The one-letter type tag of an entry type ('?' for none), and a numeric entry's value.
    static char TypeTag(int32_t inType);
    static double Number(const DataValue& inValue);

    int32_t GetChunkVersion() const { return mChunkVersion; }
    const std::vector<DataValue>& Values() const { return mValues; }

private:
    int32_t mLastFoundIndex = -1;
    int32_t mChunkVersion = -1;
    std::vector<DataValue> mValues;
};
