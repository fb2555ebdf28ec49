#include "FakeHost.h"

#include <cstdio>
#include <cstring>

#include "AAX_IString.h"
#include "AAX_UIDs.h"

namespace guitest
{

FakeParameters::FakeParameters()
{
    const std::pair<const char*, double> table[] = {
        {"MasterBypassID", 0.0}, {"Gain", 0.2},   {"Tremolo", 0.0}, {"Tone", 0.5},
        {"Rate", 0.2},           {"Volume", 0.8}, {"Sound", 0.0},   {"Pickup", 0.0}};
    for (const auto& [id, value] : table)
    {
        order.emplace_back(id);
        defaults[id] = value;
        values[id] = value;
    }
}

acfResult FakeParameters::QueryInterface(const acfIID& inIID, void** outInterface)
{
    *outInterface = nullptr;
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXEffectParametersV1)
    {
        *outInterface = static_cast<AAX_IACFEffectParameters*>(this);
        AddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

AAX_Result FakeParameters::GetNumberOfParameters(int32_t* outCount) const
{
    *outCount = static_cast<int32_t>(order.size());
    return 0;
}

AAX_Result FakeParameters::GetParameterIDFromIndex(int32_t inIndex, AAX_IString* outID) const
{
    ++const_cast<FakeParameters*>(this)->identifierQueries;
    if (inIndex < 0 || inIndex >= static_cast<int32_t>(order.size()))
    {
        outID->Set("");
        return AAX_ERROR_INVALID_PARAMETER_ID;
    }
    outID->Set(order[inIndex].c_str());
    return 0;
}

AAX_Result FakeParameters::GetParameterDefaultNormalizedValue(AAX_CParamID inID,
                                                              double* outValue) const
{
    const auto found = inID ? defaults.find(inID) : defaults.end();
    if (found == defaults.end()) return AAX_ERROR_INVALID_PARAMETER_ID;
    *outValue = found->second;
    return 0;
}

AAX_Result FakeParameters::GetParameterNormalizedValue(AAX_CParamID inID, double* outValue) const
{
    const auto found = inID ? values.find(inID) : values.end();
    if (faults.refuseValueQueries || found == values.end()) return AAX_ERROR_INVALID_PARAMETER_ID;
    *outValue = found->second;
    return 0;
}

AAX_Result FakeParameters::SetParameterNormalizedValue(AAX_CParamID inID, double inValue)
{
    char line[96];
    std::snprintf(line, sizeof line, "set %s %.4f", inID, inValue);
    log.emplace_back(line);
    values[inID] = inValue;
    return 0;
}

AAX_Result FakeParameters::TouchParameter(AAX_CParamID inID)
{
    log.emplace_back(std::string("touch ") + inID);
    return 0;
}

AAX_Result FakeParameters::ReleaseParameter(AAX_CParamID inID)
{
    log.emplace_back(std::string("release ") + inID);
    return 0;
}

acfResult FakeInstanceHost::QueryInterface(const acfIID& inIID, void** outInterface)
{
    *outInterface = nullptr;
    if (inIID == IID_IAAXEffectParametersV1)
        return mParameters ? mParameters->QueryInterface(inIID, outInterface) : ACF_E_NOINTERFACE;
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXHostServicesV1 ||
        inIID == IID_IAAXHostServicesV2 || inIID == IID_IAAXHostServicesV3)
    {
        *outInterface = static_cast<AAX_IACFHostServices_V3*>(this);
        AddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

AAX_Result FakeInstanceHost::HandleAssertFailure(const char* inFile, int32_t inLine,
                                                 const char* inNote, int32_t inFlags)
{
    asserts.push_back(std::string(inFile) + " " + std::to_string(inLine) + " " + inNote + " " +
                      std::to_string(inFlags));
    return 0;
}

acfResult FakeViewContainer::QueryInterface(const acfIID& inIID, void** outInterface)
{
    *outInterface = nullptr;
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXViewContainerV1)
    {
        *outInterface = static_cast<AAX_IACFViewContainer*>(this);
        AddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

namespace
{
std::string Call(const char* inWhat, AAX_CParamID inID, uint32_t inModifiers)
{
    char line[96];
    std::snprintf(line, sizeof line, "%s %s 0x%x", inWhat, inID, inModifiers);
    return line;
}
} // namespace

AAX_Result FakeViewContainer::HandleParameterMouseDown(AAX_CParamID inID, uint32_t inModifiers)
{
    calls.push_back(Call("down", inID, inModifiers));
    return faults.viewTakesMouseDown ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result FakeViewContainer::HandleParameterMouseDrag(AAX_CParamID inID, uint32_t inModifiers)
{
    calls.push_back(Call("drag", inID, inModifiers));
    return faults.viewTakesMouseDrag ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result FakeViewContainer::HandleParameterMouseUp(AAX_CParamID inID, uint32_t inModifiers)
{
    calls.push_back(Call("up", inID, inModifiers));
    return faults.viewTakesMouseUp ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED;
}

} // namespace guitest
