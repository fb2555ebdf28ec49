#include "AAX_CParameterManager.h"

#include <cstring>

#include "AAX_CHostServices.h"
#include "AAX_CParameter.h"
#include "AAX_IParameter.h"

void AAX_ReportAssertFailure(const char* inFile, int32_t inLine, const char* inNote)
{
    AAX_CHostServices::HandleAssertFailure(inFile, inLine, inNote, AAX_eAssertFlags_Log);
}

AAX_CParameterManager::~AAX_CParameterManager()
{
    RemoveAllParameters();
}

void AAX_CParameterManager::Initialize(AAX_IAutomationDelegate* inAutomationDelegate)
{
    mAutomationDelegate = inAutomationDelegate;
}

bool AAX_CParameterManager::AddParameter(AAX_IParameter* inParameter)
{
    if (!inParameter || !inParameter->Identifier()) return false;
    const std::string identifier(inParameter->Identifier());
    if (mParametersByID.count(identifier)) return false;
    inParameter->SetAutomationDelegate(mAutomationDelegate);
    mParameters.push_back(inParameter);
    mParametersByID.emplace(identifier, inParameter);
    return true;
}

AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID inIdentifier)
{
    if (!inIdentifier) return nullptr;
    const auto found = mParametersByID.find(inIdentifier);
    return found == mParametersByID.end() ? nullptr : found->second;
}

const AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID inIdentifier) const
{
    return const_cast<AAX_CParameterManager*>(this)->GetParameterByID(inIdentifier);
}

int32_t AAX_CParameterManager::GetParameterIndex(AAX_CParamID inIdentifier) const
{
    if (!inIdentifier) return -1;
    for (size_t i = 0; i < mParameters.size(); ++i)
        if (std::strcmp(mParameters[i]->Identifier(), inIdentifier) == 0) return int32_t(i);
    return -1;
}

AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t inIndex)
{
    if (inIndex < 0 || inIndex >= NumParameters()) return nullptr;
    return mParameters[size_t(inIndex)];
}

const AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t inIndex) const
{
    return const_cast<AAX_CParameterManager*>(this)->GetParameter(inIndex);
}

void AAX_CParameterManager::RemoveAllParameters()
{
    for (AAX_IParameter* parameter : mParameters)
        delete parameter;
    mParameters.clear();
    mParametersByID.clear();
}
