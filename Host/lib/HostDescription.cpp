#include "HostDescription.h"

namespace tavelo::host
{

const PropertyRecord* PropertyList::Find(int32_t inNumber) const
{
    for (const PropertyRecord& entry : entries)
        if (entry.number == inNumber) return &entry;
    return nullptr;
}

std::optional<AAX_CPropertyValue> PropertyList::Value(int32_t inNumber) const
{
    const PropertyRecord* entry = Find(inNumber);
    if (!entry || entry->isPointer) return std::nullopt;
    return entry->value;
}

const FieldRecord* ComponentRecord::Field(AAX_CFieldIndex inIndex) const
{
    for (const FieldRecord& field : fields)
        if (field.index == inIndex) return &field;
    return nullptr;
}

const ProcessProcRecord* ComponentRecord::NativeProcessProc() const
{
    for (const ProcessProcRecord& proc : processProcs)
        if (proc.native) return &proc;
    return nullptr;
}

AAX_EStemFormat ComponentRecord::StemFormat() const
{
    const ProcessProcRecord* proc = NativeProcessProc();
    if (!proc) return AAX_eStemFormat_None;
    return static_cast<AAX_EStemFormat>(
        proc->properties.Value(AAX_eProperty_InputStemFormat).value_or(AAX_eStemFormat_None));
}

void* EffectRecord::ProcPtr(AAX_CProcPtrID inID) const
{
    for (const auto& [id, pointer] : procPtrs)
        if (id == inID) return pointer;
    return nullptr;
}

const ComponentRecord* EffectRecord::Component(AAX_EStemFormat inStemFormat) const
{
    for (const ComponentRecord& component : components)
        if (component.StemFormat() == inStemFormat) return &component;
    return nullptr;
}

} // namespace tavelo::host
