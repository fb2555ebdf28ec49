// Ways the stand-in host can misbehave on purpose, so tests can walk a plug-in's failure
// paths through the real bundle. A default-constructed value is a well-behaved host.
#pragma once

#include "AAX.h"

namespace tavelo::host
{

struct HostFaults
{
    bool noCollection = false;          // the component factory refuses the collection
    bool noEffectDescriptor = false;    // NewDescriptor gives null
    bool noComponentDescriptor = false; // NewComponentDescriptor gives null
    bool noPropertyMap = false;         // the component descriptor's NewPropertyMap gives null
    bool noPluginDefinition = false;    // the collection does not answer the plug-in definition
    bool componentDescriptorV2 = true;  // answer the newer component-descriptor interface
    int hostServicesVersion = 3;        // newest host-services version answered (1 to 3)
    AAX_Result addFieldResult = AAX_SUCCESS;       // non-zero: every context field is refused
    AAX_Result addProcessProcResult = AAX_SUCCESS; // non-zero: process procedures are refused
    AAX_Result addProcPtrResult = AAX_SUCCESS;     // non-zero: factories are refused
    AAX_Result addComponentResult = AAX_SUCCESS;   // non-zero: AddComponent fails, records nothing
    AAX_Result addEffectResult = AAX_SUCCESS;      // non-zero: AddEffect fails, records nothing
    bool throwFromQueryInterface = false;          // the host object's QueryInterface throws
    bool throwFromTrace = false;                   // the trace service throws
};

} // namespace tavelo::host
