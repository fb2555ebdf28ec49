// Owns the data model's parameters in the order of addition and finds them by identifier.
// Used by the effect-parameters object on host non-real-time threads; no locks.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "AAX.h"

class AAX_IAutomationDelegate;
class AAX_IParameter;

class AAX_CParameterManager
{
public:
    AAX_CParameterManager() = default;
    ~AAX_CParameterManager();
    AAX_CParameterManager(const AAX_CParameterManager&) = delete;
    AAX_CParameterManager& operator=(const AAX_CParameterManager&) = delete;

    void Initialize(AAX_IAutomationDelegate* inAutomationDelegate);
    // Takes ownership unless the parameter is null or its identifier is already present (then
    // the caller keeps it); returns whether it was added.
    bool AddParameter(AAX_IParameter* inParameter);
    int32_t NumParameters() const { return int32_t(mParameters.size()); }
    AAX_IParameter* GetParameterByID(AAX_CParamID inIdentifier);
    const AAX_IParameter* GetParameterByID(AAX_CParamID inIdentifier) const;
    int32_t GetParameterIndex(AAX_CParamID inIdentifier) const;
    AAX_IParameter* GetParameter(int32_t inIndex);
    const AAX_IParameter* GetParameter(int32_t inIndex) const;
    void RemoveAllParameters();

private:
    AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
    std::vector<AAX_IParameter*> mParameters;
    std::map<std::string, AAX_IParameter*> mParametersByID;
};
