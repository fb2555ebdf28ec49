#include "HostAutomation.h"

namespace tavelo::host
{

const char* AutomationEventName(AutomationEvent::Kind inKind)
{
    switch (inKind)
    {
    case AutomationEvent::Register:
        return "register";
    case AutomationEvent::Unregister:
        return "unregister";
    case AutomationEvent::Touch:
        return "touch";
    case AutomationEvent::Release:
        return "release";
    case AutomationEvent::SetValueRequest:
        return "set-value";
    case AutomationEvent::CurrentValue:
        return "current-value";
    }
    return "?";
}

AAX_Result HostAutomation::Record(AutomationEvent::Kind inKind, AAX_CParamID inParameterID,
                                  double inValue)
{
    // A host refuses a call that names no parameter.
    if (!inParameterID) return AAX_ERROR_INVALID_PARAMETER_ID;
    const std::lock_guard lock(mMutex);
    const std::string identifier(inParameterID);
    mEvents.push_back(AutomationEvent{inKind, identifier, inValue});
    switch (inKind)
    {
    case AutomationEvent::Register:
        mRegistered.insert(identifier);
        break;
    case AutomationEvent::Unregister:
        mRegistered.erase(identifier);
        mTouched.erase(identifier);
        break;
    case AutomationEvent::Touch:
        mTouched.insert(identifier);
        break;
    case AutomationEvent::Release:
        mTouched.erase(identifier);
        break;
    case AutomationEvent::SetValueRequest:
        mPending.push_back(mEvents.back());
        break;
    case AutomationEvent::CurrentValue:
        break;
    }
    return AAX_SUCCESS;
}

AAX_Result HostAutomation::RegisterParameter(AAX_CParamID inParameterID)
{
    return Record(AutomationEvent::Register, inParameterID, 0.0);
}

AAX_Result HostAutomation::UnregisterParameter(AAX_CParamID inParameterID)
{
    return Record(AutomationEvent::Unregister, inParameterID, 0.0);
}

AAX_Result HostAutomation::PostSetValueRequest(AAX_CParamID inParameterID, double inValue)
{
    return Record(AutomationEvent::SetValueRequest, inParameterID, inValue);
}

AAX_Result HostAutomation::PostCurrentValue(AAX_CParamID inParameterID, double inValue)
{
    return Record(AutomationEvent::CurrentValue, inParameterID, inValue);
}

AAX_Result HostAutomation::PostTouchRequest(AAX_CParamID inParameterID)
{
    return Record(AutomationEvent::Touch, inParameterID, 0.0);
}

AAX_Result HostAutomation::PostReleaseRequest(AAX_CParamID inParameterID)
{
    return Record(AutomationEvent::Release, inParameterID, 0.0);
}

AAX_Result HostAutomation::GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched)
{
    if (!outTouched) return AAX_ERROR_NULL_OBJECT;
    if (!inParameterID) return AAX_ERROR_INVALID_PARAMETER_ID;
    const std::lock_guard lock(mMutex);
    *outTouched = mTouched.count(inParameterID) ? 1 : 0;
    return AAX_SUCCESS;
}

std::vector<AutomationEvent> HostAutomation::TakePendingRequests()
{
    const std::lock_guard lock(mMutex);
    std::vector<AutomationEvent> pending;
    pending.swap(mPending);
    return pending;
}

std::vector<AutomationEvent> HostAutomation::Events() const
{
    const std::lock_guard lock(mMutex);
    return mEvents;
}

std::vector<AutomationEvent> HostAutomation::EventsOfKind(AutomationEvent::Kind inKind) const
{
    const std::lock_guard lock(mMutex);
    std::vector<AutomationEvent> matching;
    for (const AutomationEvent& event : mEvents)
        if (event.kind == inKind) matching.push_back(event);
    return matching;
}

void HostAutomation::ClearEvents()
{
    const std::lock_guard lock(mMutex);
    mEvents.clear();
}

bool HostAutomation::IsRegistered(const std::string& inParameterID) const
{
    const std::lock_guard lock(mMutex);
    return mRegistered.count(inParameterID) > 0;
}

size_t HostAutomation::RegisteredCount() const
{
    const std::lock_guard lock(mMutex);
    return mRegistered.size();
}

} // namespace tavelo::host
