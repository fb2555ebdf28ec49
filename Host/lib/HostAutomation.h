// The stand-in host's automation delegate for one instance: records every register,
// unregister, touch, release, set-value and current-value call and queues set-value requests
// so the host can confirm them on its next update (never inside the request). Called by the
// data model on whichever host thread drives it; a mutex guards the records.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "AAX.h"

namespace tavelo::host
{

struct AutomationEvent
{
    enum Kind
    {
        Register,
        Unregister,
        Touch,
        Release,
        SetValueRequest,
        CurrentValue
    };
    Kind kind;
    std::string parameterID;
    double value = 0.0; // set-value requests and current values
};

const char* AutomationEventName(AutomationEvent::Kind inKind);

class HostAutomation
{
public:
    AAX_Result RegisterParameter(AAX_CParamID inParameterID);
    AAX_Result UnregisterParameter(AAX_CParamID inParameterID);
    AAX_Result PostSetValueRequest(AAX_CParamID inParameterID, double inValue);
    AAX_Result PostCurrentValue(AAX_CParamID inParameterID, double inValue);
    AAX_Result PostTouchRequest(AAX_CParamID inParameterID);
    AAX_Result PostReleaseRequest(AAX_CParamID inParameterID);
    AAX_Result GetTouchState(AAX_CParamID inParameterID, AAX_CBoolean* outTouched);

    // Takes the queued set-value requests, oldest first.
    std::vector<AutomationEvent> TakePendingRequests();
    std::vector<AutomationEvent> Events() const;
    std::vector<AutomationEvent> EventsOfKind(AutomationEvent::Kind inKind) const;
    void ClearEvents();
    bool IsRegistered(const std::string& inParameterID) const;
    size_t RegisteredCount() const;

private:
    AAX_Result Record(AutomationEvent::Kind inKind, AAX_CParamID inParameterID, double inValue);

    mutable std::mutex mMutex;
    std::vector<AutomationEvent> mEvents;
    std::vector<AutomationEvent> mPending;
    std::set<std::string> mRegistered;
    std::set<std::string> mTouched;
};

} // namespace tavelo::host
