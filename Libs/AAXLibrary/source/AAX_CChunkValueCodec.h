// How one parameter's value travels through the controls chunk. The parameter's own value type
// decides, in one place, the entry it is written as (float and double as a double entry, int32
// and bool as an int32 entry, text as a text entry), how a stored entry restores it and when a
// stored entry counts as the same value. Building, restoring and comparing a chunk all use it.
// Host non-real-time threads, like the chunk parser.
#pragma once

#include "AAX_CChunkDataParser.h"

class AAX_IParameter;

class AAX_CChunkValueCodec
{
public:
    // Adds the parameter's current value to the parser under its identifier.
    static void Store(const AAX_IParameter& inParameter, AAX_CChunkDataParser& ioParser);
    // Sets the parameter from the entry under its identifier, when there is one of its type.
    static void Restore(AAX_IParameter& ioParameter, AAX_CChunkDataParser& inParser);
    // Whether the entry under the parameter's identifier restores its current value (numbers
    // compare at float precision). A parameter that gives no value matches anything.
    static bool Matches(const AAX_IParameter& inParameter, AAX_CChunkDataParser& inParser);
};
