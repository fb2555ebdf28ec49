// Arbitrary bytes as the data area of a chunk record whose size field announces exactly those
// bytes; the record is allocated to that size, so any read past it is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "AAX_CChunkDataParser.h"
#include "TestHost.h"

namespace
{
test::AmpInstance& Instance()
{
    static test::AmpInstance* instance = new test::AmpInstance;
    return *instance;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* inData, size_t inSize)
{
    if (inSize > (1u << 20)) return 0;
    // The first byte chooses the announced size: the whole input, or a prefix of it (a host
    // may hand over a record larger than the data it announces).
    size_t announced = inSize;
    if (inSize > 0 && (inData[0] & 0x80)) announced = inSize - (inData[0] & 0x7F) % inSize;
    auto* record = static_cast<AAX_SPlugInChunk*>(std::malloc(kAAX_ChunkHeaderSize + inSize));
    std::memset(record, 0, kAAX_ChunkHeaderSize);
    record->fSize = int32_t(announced);
    record->fChunkID = AAX_FourCC("elck");
    if (inSize > 0) std::memcpy(record->fData, inData, inSize);

    AAX_CChunkDataParser parser;
    parser.LoadChunk(record);
    for (const auto& value : parser.Values())
    {
        double d;
        int32_t i;
        AAX_CString s;
        parser.FindDouble(value.mDataName.Get(), &d);
        parser.FindInt32(value.mDataName.Get(), &i);
        parser.FindString(value.mDataName.Get(), &s);
    }

    test::AmpInstance& instance = Instance();
    instance.model->SetChunk(AAX_FourCC("elck"), record);
    instance.Confirm();
    AAX_CBoolean equal = 0;
    instance.model->CompareActiveChunk(record, &equal);
    instance.host->Automation().ClearEvents();
    instance.host->TakePostedPackets();
    std::free(record);
    return 0;
}
