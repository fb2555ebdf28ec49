// What a bundle told the stand-in host while it registered: plain records, copied at the
// moment the plug-in added each component and effect, so later changes to the descriptor
// objects cannot alter them.
#pragma once

#include "AAX.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavelo::host
{

struct FieldRecord
{
    AAX_CFieldIndex index = -1;
    AAX_EFieldKind kind = AAX_eFieldKind_None;
    // Data ports: packet size; private data: block size; otherwise 0.
    int64_t size = 0;
    int32_t portType = 0;     // data ports
    uint32_t options = 0;     // private data
    int32_t nodeType = 0;     // MIDI node
    std::string name;         // MIDI node
    uint32_t channelMask = 0; // MIDI node
};

struct PropertyRecord
{
    int32_t number = 0;
    bool isPointer = false;
    AAX_CPropertyValue value = 0;
    const void* pointer = nullptr;
};

struct PropertyList
{
    std::vector<PropertyRecord> entries; // in the order first added

    const PropertyRecord* Find(int32_t inNumber) const;
    std::optional<AAX_CPropertyValue> Value(int32_t inNumber) const;
};

struct ProcessProcRecord
{
    bool native = true;
    AAX_CProcessProc processProc = nullptr;
    AAX_CInstanceInitProc instanceInitProc = nullptr;
    AAX_CBackgroundProc backgroundProc = nullptr;
    std::string dllFileName, processSymbol, instanceInitSymbol, backgroundSymbol; // DSP form
    PropertyList properties;
    AAX_CSelector id = 0;
};

struct ComponentRecord
{
    std::vector<FieldRecord> fields; // in the order added
    std::vector<ProcessProcRecord> processProcs;

    // The field declared at inIndex (the first, if declared more than once), or null.
    const FieldRecord* Field(AAX_CFieldIndex inIndex) const;
    // The first native process procedure, or null.
    const ProcessProcRecord* NativeProcessProc() const;
    // Input stem format of the native procedure's properties (None when absent).
    AAX_EStemFormat StemFormat() const;
};

struct ResourceRecord
{
    int32_t type = 0;
    std::string info;
};

struct EffectRecord
{
    std::string effectID;
    std::vector<std::string> names;
    std::vector<uint32_t> categories;
    std::vector<ComponentRecord> components;
    std::vector<std::pair<AAX_CProcPtrID, void*>> procPtrs; // in the order added
    std::vector<ResourceRecord> resources;
    PropertyList properties;

    void* ProcPtr(AAX_CProcPtrID inID) const;
    // The component whose native procedure runs inStemFormat, or null.
    const ComponentRecord* Component(AAX_EStemFormat inStemFormat) const;
};

struct CollectionRecord
{
    std::vector<EffectRecord> effects;
    std::string manufacturerName;
    bool manufacturerNameSet = false;
    std::vector<std::string> packageNames;
    std::optional<uint32_t> packageVersion;
    PropertyList properties;
};

} // namespace tavelo::host
