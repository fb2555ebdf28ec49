// Holds a result code and throws AAX::Exception::ResultError as soon as it is given a code
// outside the accepted set (initially only AAX_SUCCESS).
#pragma once

#include "AAX.h"

#include <set>

class AAX_CheckedResult
{
public:
    AAX_CheckedResult();
    // Throws when inResult is not AAX_SUCCESS.
    AAX_CheckedResult(AAX_Result inResult); // NOLINT: implicit by design, like the code it holds

    AAX_CheckedResult& operator=(AAX_Result inResult);
    operator AAX_Result() const { return mCurResult; }

    void AddAcceptedResult(AAX_Result inResult);
    void ResetAcceptedResults();
    AAX_Result LastError() const { return mLastError; }

    // Returns when the current result is accepted; otherwise traces, records the code as the
    // last error, resets the current result to AAX_SUCCESS and throws the error.
    void Check();

private:
    AAX_Result mCurResult = AAX_SUCCESS;
    AAX_Result mLastError = AAX_SUCCESS;
    std::set<AAX_Result> mAcceptedResults{AAX_SUCCESS};
};
