// Exceptions of the framework and the readable names of result codes. Exceptions never leave
// an exported entry point: registration turns them into result codes.
#pragma once

#include "AAX.h"

#include <string>

namespace AAX
{
// The name of a result code ("AAX_ERROR_NULL_OBJECT"), "plug-in defined error" for -21000 to
// -20600, "<unknown error code>" otherwise.
const char* AsStringResult(AAX_Result inResult);

namespace Exception
{
class Any
{
public:
    explicit Any(const std::string& inDescription);
    explicit Any(const char* inDescription);
    Any(const std::string& inDescription, const std::string& inFunction, const std::string& inLine);
    virtual ~Any() = default;

    // The composed message: description, then " func:" function and " line:" line when set.
    const std::string& What() const { return mWhat; }
    const std::string& Description() const { return mDescription; }
    const std::string& Function() const { return mFunction; }
    const std::string& Line() const { return mLine; }

    static std::string CreateWhat(const std::string& inDescription, const std::string& inFunction,
                                  const std::string& inLine);

private:
    std::string mDescription;
    std::string mFunction;
    std::string mLine;
    std::string mWhat;
};

class ResultError : public Any
{
public:
    explicit ResultError(AAX_Result inResult);
    AAX_Result Result() const { return mResult; }

    // "AAX_ERROR_NULL_OBJECT (-20004)".
    static std::string FormatResult(AAX_Result inResult);

private:
    AAX_Result mResult;
};
} // namespace Exception
} // namespace AAX
