// The saved-state chunk: byte layout of a fresh amp, restore, comparison and a reader that
// stays inside the size a record announces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "AAX_CChunkDataParser.h"
#include "TestHost.h"

namespace
{
using tavelo::host::AutomationEvent;

// A chunk record of exactly header + data bytes, suitably aligned.
class Record
{
public:
    explicit Record(const std::vector<uint8_t>& inData, AAX_CTypeID inID = AAX_FourCC("elck"))
        : mStorage((kAAX_ChunkHeaderSize + inData.size() + 7) / 8 + 1, 0)
    {
        Get()->fSize = int32_t(inData.size());
        Get()->fChunkID = inID;
        if (!inData.empty()) std::memcpy(Get()->fData, inData.data(), inData.size());
    }
    explicit Record(uint32_t inDataSize)
        : mStorage((kAAX_ChunkHeaderSize + inDataSize + 7) / 8 + 1, 0)
    {
        Get()->fSize = int32_t(inDataSize);
        Get()->fChunkID = AAX_FourCC("elck");
    }
    AAX_SPlugInChunk* Get() { return reinterpret_cast<AAX_SPlugInChunk*>(mStorage.data()); }
    const uint8_t* Data() { return reinterpret_cast<const uint8_t*>(Get()->fData); }

private:
    std::vector<uint64_t> mStorage;
};

Record SaveChunk(test::AmpInstance& inInstance)
{
    uint32_t size = 0;
    EXPECT_EQ(inInstance.model->GetChunkSize(AAX_FourCC("elck"), &size), AAX_SUCCESS);
    Record record(size);
    EXPECT_EQ(inInstance.model->GetChunk(AAX_FourCC("elck"), record.Get()), AAX_SUCCESS);
    return record;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> inBytes)
{
    return std::vector<uint8_t>(inBytes.begin(), inBytes.end());
}

void Append(std::vector<uint8_t>& ioData, const char* inTagAndName, std::vector<uint8_t> inValue)
{
    const size_t length = std::strlen(inTagAndName) + 1;
    ioData.insert(ioData.end(), inTagAndName, inTagAndName + length);
    while (ioData.size() % 4)
        ioData.push_back(0);
    ioData.insert(ioData.end(), inValue.begin(), inValue.end());
}
} // namespace

TEST(Chunk, FreshAmpChunkBytes)
{
    test::AmpInstance instance;
    uint32_t size = 0;
    ASSERT_EQ(instance.model->GetChunkSize(AAX_FourCC("elck"), &size), AAX_SUCCESS);
    EXPECT_EQ(size, 128u);
    Record record = SaveChunk(instance);
    const uint8_t* data = record.Data();
    EXPECT_EQ(record.Get()->fSize, 128);
    EXPECT_EQ(record.Get()->fVersion, -1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.Get()->fName)),
              "Complete Controls State");
    for (int i = 23; i < 32; ++i)
        EXPECT_EQ(record.Get()->fName[i], 0) << i;

    EXPECT_EQ(std::vector<uint8_t>(data, data + 4), Bytes({1, 1, 1, 1}));
    EXPECT_EQ(std::vector<uint8_t>(data + 4, data + 12),
              Bytes({'d', '_', 'G', 'a', 'i', 'n', 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(data + 12, data + 20),
              Bytes({0x3F, 0xC9, 0x99, 0x99, 0xA0, 0, 0, 0}));
    const struct
    {
        int offset;
        const char* name;
    } entries[] = {{20, "Tremolo"}, {40, "Tone"},  {56, "Rate"},
                   {72, "Volume"},  {92, "Sound"}, {108, "Pickup"}};
    for (const auto& entry : entries)
    {
        EXPECT_EQ(data[entry.offset], 'd') << entry.name;
        EXPECT_STREQ(reinterpret_cast<const char*>(data + entry.offset + 2), entry.name);
    }
    EXPECT_EQ(std::vector<uint8_t>(data + 48, data + 56), Bytes({0x3F, 0xE0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(data + 84, data + 92),
              Bytes({0x3F, 0xE9, 0x99, 0x99, 0xA0, 0, 0, 0}));

    // The parser reads the same seven doubles back; the bypass is not saved.
    AAX_CChunkDataParser parser;
    parser.LoadChunk(record.Get());
    ASSERT_EQ(parser.Values().size(), 7u);
    for (const auto& value : parser.Values())
        EXPECT_EQ(value.mDataType, AAX_CChunkDataParser::eType_Double);
    double volume = 0.0;
    EXPECT_TRUE(parser.FindDouble("Volume", &volume));
    EXPECT_EQ(volume, double(0.8f));
    EXPECT_EQ(parser.FindName("MasterBypassID"), -1);
}

TEST(Chunk, RestorePostsRequestsForTheSevenFloats)
{
    test::AmpInstance source;
    source.model->SetParameterNormalizedValue("Gain", 0.55);
    source.model->SetParameterNormalizedValue("MasterBypassID", 1.0);
    source.Confirm();
    Record record = SaveChunk(source);

    test::AmpInstance target;
    target.host->Automation().ClearEvents();
    ASSERT_EQ(target.model->SetChunk(AAX_FourCC("elck"), record.Get()), AAX_SUCCESS);
    const auto requests = target.host->Automation().EventsOfKind(AutomationEvent::SetValueRequest);
    std::vector<std::string> names;
    for (const auto& request : requests)
        names.push_back(request.parameterID);
    EXPECT_EQ(names, (std::vector<std::string>{"Gain", "Tremolo", "Tone", "Rate", "Volume", "Sound",
                                               "Pickup"}));
    EXPECT_EQ(requests[0].value, double(0.55f));

    // Values change only once the host confirms.
    double gain = 0.0;
    target.model->GetParameterNormalizedValue("Gain", &gain);
    EXPECT_EQ(gain, double(0.2f));
    target.Confirm();
    target.model->GetParameterNormalizedValue("Gain", &gain);
    EXPECT_EQ(gain, double(0.55f));
    double bypass = 1.0;
    target.model->GetParameterNormalizedValue("MasterBypassID", &bypass);
    EXPECT_EQ(bypass, 0.0);

    EXPECT_EQ(target.model->SetChunk(AAX_FourCC("xxxx"), record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(target.model->SetChunk(AAX_FourCC("elck"), nullptr), AAX_ERROR_NULL_OBJECT);
}

TEST(Chunk, CompareActiveChunk)
{
    test::AmpInstance instance;
    Record record = SaveChunk(instance);
    AAX_CBoolean equal = 0;
    ASSERT_EQ(instance.model->CompareActiveChunk(record.Get(), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);

    // The smallest representable change above 0.5 is still a difference.
    instance.model->SetParameterNormalizedValue("Tone", double(std::nextafter(0.5f, 1.0f)));
    instance.Confirm();
    instance.model->CompareActiveChunk(record.Get(), &equal);
    EXPECT_EQ(equal, 0);

    Record foreign(std::vector<uint8_t>{1, 1, 1, 1}, AAX_FourCC("abcd"));
    instance.model->CompareActiveChunk(foreign.Get(), &equal);
    EXPECT_EQ(equal, 1);
}

TEST(Chunk, GainSavedAsFloatIsIgnoredAndDiffers)
{
    test::AmpInstance instance;
    std::vector<uint8_t> data = {1, 1, 1, 1};
    Append(data, "f_Gain", {0x3F, 0x00, 0x00, 0x00}); // 0.5 as a float entry
    Record record(data);
    instance.host->Automation().ClearEvents();
    instance.model->SetChunk(AAX_FourCC("elck"), record.Get());
    EXPECT_TRUE(instance.host->Automation().EventsOfKind(AutomationEvent::SetValueRequest).empty());
    AAX_CBoolean equal = 1;
    instance.model->CompareActiveChunk(record.Get(), &equal);
    EXPECT_EQ(equal, 0);
}

TEST(Chunk, SizeHandshakeAndIndices)
{
    test::AmpInstance instance;
    Record record(128);
    // GetChunk without a GetChunkSize first is refused.
    EXPECT_EQ(instance.model->GetChunk(AAX_FourCC("elck"), record.Get()),
              AAX_ERROR_INCORRECT_CHUNK_SIZE);
    uint32_t size = 7;
    EXPECT_EQ(instance.model->GetChunkSize(AAX_FourCC("abcd"), &size), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(size, 0u);
    AAX_CTypeID id = 1;
    EXPECT_EQ(instance.model->GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(instance.model->GetChunkIDFromIndex(0, &id), AAX_SUCCESS);
    EXPECT_EQ(id, 0x656C636Bu);
}

TEST(ChunkParser, TypesPaddingAndRoundTrip)
{
    AAX_CChunkDataParser writer;
    writer.AddInt32("n", -5);
    writer.AddString("t", AAX_CString("ab"));
    writer.AddDouble("d", 0.25);
    writer.AddString("e", AAX_CString(""));
    // 4 + (4+4) + (4+4) + (4+8) + (4+4)
    EXPECT_EQ(writer.GetChunkDataSize(), 40);
    Record record(uint32_t(writer.GetChunkDataSize()));
    ASSERT_EQ(writer.GetChunkData(record.Get()), AAX_SUCCESS);
    // Text of length 2: two characters, terminator, one zero byte, then the next entry.
    EXPECT_EQ(std::vector<uint8_t>(record.Data() + 16, record.Data() + 24),
              Bytes({'a', 'b', 0, 0, 'd', '_', 'd', 0}));

    AAX_CChunkDataParser reader;
    reader.LoadChunk(record.Get());
    ASSERT_EQ(reader.Values().size(), 4u);
    int32_t n = 0;
    AAX_CString text;
    double d = 0.0;
    EXPECT_TRUE(reader.FindInt32("n", &n));
    EXPECT_EQ(n, -5);
    EXPECT_TRUE(reader.FindString("t", &text));
    EXPECT_STREQ(text.Get(), "ab");
    EXPECT_TRUE(reader.FindDouble("d", &d));
    EXPECT_EQ(d, 0.25);
    EXPECT_FALSE(reader.FindDouble("n", &d)); // wrong type
    EXPECT_TRUE(reader.FindString("e", &text));
    EXPECT_STREQ(text.Get(), "");

    // Lookup continues after the last match and wraps around.
    EXPECT_EQ(reader.FindName("d"), 2);
    EXPECT_EQ(reader.FindName("n"), 0);
    EXPECT_EQ(reader.FindName("missing"), -1);
}

TEST(ChunkParser, MalformedRecordsLoadNothingOrWhatFits)
{
    AAX_CChunkDataParser parser;
    Record markerOnly(std::vector<uint8_t>{1, 1, 1, 1});
    parser.LoadChunk(markerOnly.Get());
    EXPECT_TRUE(parser.Values().empty());
    Record wrongMarker(std::vector<uint8_t>{1, 1, 1, 2, 'd', '_', 'x', 0});
    parser.LoadChunk(wrongMarker.Get());
    EXPECT_TRUE(parser.Values().empty());
    AAX_CChunkDataParser empty;
    EXPECT_EQ(empty.GetChunkDataSize(), 4);
    Record negative(std::vector<uint8_t>{});
    negative.Get()->fSize = -100;
    parser.LoadChunk(negative.Get());
    EXPECT_TRUE(parser.Values().empty());
    parser.LoadChunk(nullptr);
    EXPECT_TRUE(parser.Values().empty());

    // One whole entry, then a double whose value is cut off by the data size.
    std::vector<uint8_t> data = {1, 1, 1, 1};
    Append(data, "l_a", {0, 0, 0, 9});
    Append(data, "d_b", {0x3F, 0xF0, 0, 0});
    Record truncated(data);
    std::string problem;
    EXPECT_FALSE(parser.LoadChunk(truncated.Get(), &problem));
    EXPECT_EQ(problem, "entry \"b\": value runs past the data");
    ASSERT_EQ(parser.Values().size(), 1u);
    EXPECT_EQ(parser.Values()[0].mIntValue, 9);

    // A text value without a terminator inside the data is not read past the end.
    data = {1, 1, 1, 1};
    Append(data, "l_a", {0, 0, 0, 1});
    Append(data, "r_s", {'a', 'b', 'c', 'd'});
    Record unterminated(data);
    parser.LoadChunk(unterminated.Get());
    EXPECT_EQ(parser.Values().size(), 1u);

    // A name without a terminator ends loading too.
    data = {1, 1, 1, 1, 'd', '_', 'x', 'y'};
    Record noTerminator(data);
    parser.LoadChunk(noTerminator.Get());
    EXPECT_TRUE(parser.Values().empty());

    // An unknown tag gives an entry of type 0 and reading continues after its name.
    data = {1, 1, 1, 1};
    Append(data, "q_z", {});
    Append(data, "l_a", {0, 0, 0, 3});
    Record unknown(data);
    parser.LoadChunk(unknown.Get());
    ASSERT_EQ(parser.Values().size(), 2u);
    EXPECT_EQ(parser.Values()[0].mDataType, AAX_CChunkDataParser::eType_None);
    EXPECT_EQ(parser.Values()[1].mIntValue, 3);

    // A name too long to be read whole is cut at 254 characters (its tail reads as a further
    // entry), a zero gap and a lone tag character are entries without a type; the entries
    // behind them are still read.
    data = {1, 1, 1, 1};
    Append(data, ("q_" + std::string(298, 'x')).c_str(), {});
    data.insert(data.end(), {0, 0, 0, 0, 'l', 0, 0, 0});
    Append(data, "l_Gain", {0, 0, 0, 7});
    Record odd(data);
    parser.LoadChunk(odd.Get());
    ASSERT_EQ(parser.Values().size(), 5u);
    EXPECT_EQ(std::string(parser.Values()[0].mDataName.Get()), std::string(252, 'x'));
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(parser.Values()[k].mDataType, AAX_CChunkDataParser::eType_None) << k;
    EXPECT_EQ(parser.Values()[4].mDataName, AAX_CString("Gain"));
    EXPECT_EQ(parser.Values()[4].mIntValue, 7);
}
