#include "AAX_CChunkValueCodec.h"

#include "AAX_CString.h"
#include "AAX_IParameter.h"

namespace
{
enum class Kind
{
    kNone,
    kFloat,
    kInt32,
    kBool,
    kDouble,
    kString
};

struct Value
{
    Kind kind = Kind::kNone;
    double number = 0.0; // float and double
    int32_t integer = 0; // int32, and bool as 0 or 1
    AAX_CString text;
};

// The parameter's value, as the first value type it answers.
Value Current(const AAX_IParameter& parameter)
{
    Value v;
    float f = 0.0f;
    bool b = false;
    if (parameter.GetValueAsFloat(&f))
    {
        v.kind = Kind::kFloat;
        v.number = double(f);
    }
    else if (parameter.GetValueAsInt32(&v.integer))
        v.kind = Kind::kInt32;
    else if (parameter.GetValueAsBool(&b))
    {
        v.kind = Kind::kBool;
        v.integer = b ? 1 : 0;
    }
    else if (parameter.GetValueAsDouble(&v.number))
        v.kind = Kind::kDouble;
    else if (parameter.GetValueAsString(&v.text))
        v.kind = Kind::kString;
    return v;
}

// The entry under name, read as the entry type of kind.
bool Stored(AAX_CChunkDataParser& parser, const char* name, Kind kind, Value& out)
{
    out.kind = kind;
    switch (kind)
    {
    case Kind::kFloat:
    case Kind::kDouble:
        return parser.FindDouble(name, &out.number);
    case Kind::kInt32:
    case Kind::kBool:
        return parser.FindInt32(name, &out.integer);
    case Kind::kString:
        return parser.FindString(name, &out.text);
    case Kind::kNone:
        break;
    }
    return false;
}
} // namespace

void AAX_CChunkValueCodec::Store(const AAX_IParameter& inParameter, AAX_CChunkDataParser& ioParser)
{
    const Value v = Current(inParameter);
    const char* name = inParameter.Identifier();
    switch (v.kind)
    {
    case Kind::kFloat:
    case Kind::kDouble:
        ioParser.AddDouble(name, v.number);
        break;
    case Kind::kInt32:
    case Kind::kBool:
        ioParser.AddInt32(name, v.integer);
        break;
    case Kind::kString:
        ioParser.AddString(name, v.text);
        break;
    case Kind::kNone:
        break;
    }
}

void AAX_CChunkValueCodec::Restore(AAX_IParameter& ioParameter, AAX_CChunkDataParser& inParser)
{
    Value stored;
    if (!Stored(inParser, ioParameter.Identifier(), Current(ioParameter).kind, stored)) return;
    switch (stored.kind)
    {
    case Kind::kFloat:
        ioParameter.SetValueWithFloat(float(stored.number));
        break;
    case Kind::kInt32:
        ioParameter.SetValueWithInt32(stored.integer);
        break;
    case Kind::kBool:
        ioParameter.SetValueWithBool(stored.integer != 0);
        break;
    case Kind::kDouble:
        ioParameter.SetValueWithDouble(stored.number);
        break;
    case Kind::kString:
        ioParameter.SetValueWithString(stored.text);
        break;
    case Kind::kNone:
        break;
    }
}

bool AAX_CChunkValueCodec::Matches(const AAX_IParameter& inParameter,
                                   AAX_CChunkDataParser& inParser)
{
    const Value current = Current(inParameter);
    if (current.kind == Kind::kNone) return true;
    Value stored;
    if (!Stored(inParser, inParameter.Identifier(), current.kind, stored)) return false;
    switch (current.kind)
    {
    case Kind::kFloat:
    case Kind::kDouble:
        return float(stored.number) == float(current.number);
    case Kind::kInt32:
        return stored.integer == current.integer;
    case Kind::kBool:
        return (stored.integer != 0) == (current.integer != 0);
    case Kind::kString:
        return stored.text == current.text;
    case Kind::kNone:
        break;
    }
    return true;
}
