#include "AAX_CheckedResult.h"

#include "AAX_CHostServices.h"
#include "AAX_Exception.h"

AAX_CheckedResult::AAX_CheckedResult() = default;

AAX_CheckedResult::AAX_CheckedResult(AAX_Result inResult) : mCurResult(inResult)
{
    Check();
}

AAX_CheckedResult& AAX_CheckedResult::operator=(AAX_Result inResult)
{
    mCurResult = inResult;
    Check();
    return *this;
}

void AAX_CheckedResult::AddAcceptedResult(AAX_Result inResult)
{
    mAcceptedResults.insert(inResult);
}

void AAX_CheckedResult::ResetAcceptedResults()
{
    mAcceptedResults = {AAX_SUCCESS};
}

void AAX_CheckedResult::Check()
{
    if (mAcceptedResults.count(mCurResult)) return;
    const AAX::Exception::ResultError error(mCurResult);
    mLastError = mCurResult;
    mCurResult = AAX_SUCCESS;
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "AAX_CheckedResult - throwing %s",
                             error.What().c_str());
    throw error;
}
