// The stand-in host's strict check of a registered description: everything it needs to run
// the effect must be there exactly as the render context expects it.
#pragma once

#include "HostDescription.h"

#include <string>
#include <vector>

namespace tavelo::host
{

// The context field the host expects at one index: its kind and, for ports and private data,
// its size in bytes.
struct ExpectedField
{
    AAX_CFieldIndex index;
    AAX_EFieldKind kind;
    int64_t size;
};

// The fifteen fields of the effect's render context, by index.
const std::vector<ExpectedField>& ExpectedContextFields();

// One line per problem, naming what failed; empty when the description is acceptable.
std::vector<std::string> ValidateDescription(const CollectionRecord& inDescription);

const char* FieldKindName(AAX_EFieldKind inKind);

} // namespace tavelo::host
