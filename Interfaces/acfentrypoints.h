// The seven C entry points every plug-in bundle exports, and the pointer types a host uses to
// look them up after loading the bundle.
#pragma once

#include "acfunknown.h"

extern "C"
{
    ACFAPI ACFRegisterPlugin(IACFUnknown* inHost, IACFPluginDefinition** outPluginDefinition);
    ACFAPI ACFRegisterComponent(IACFUnknown* inHost, acfUInt32 inIndex,
                                IACFComponentDefinition** outComponentDefinition);
    ACFAPI ACFGetClassFactory(IACFUnknown* inHost, const acfCLSID& inClassID, const acfIID& inIID,
                              void** outFactory);
    ACFAPI ACFCanUnloadNow(IACFUnknown* inHost);
    ACFAPI ACFStartup(IACFUnknown* inHost);
    ACFAPI ACFShutdown(IACFUnknown* inHost);
    ACFAPI ACFGetSDKVersion(acfUInt64* outSDKVersion);
}

using ACFRegisterPluginProc = acfResult (*)(IACFUnknown*, IACFPluginDefinition**);
using ACFRegisterComponentProc = acfResult (*)(IACFUnknown*, acfUInt32, IACFComponentDefinition**);
using ACFGetClassFactoryProc = acfResult (*)(IACFUnknown*, const acfCLSID&, const acfIID&, void**);
using ACFCanUnloadNowProc = acfResult (*)(IACFUnknown*);
using ACFStartupProc = acfResult (*)(IACFUnknown*);
using ACFShutdownProc = acfResult (*)(IACFUnknown*);
using ACFGetSDKVersionProc = acfResult (*)(acfUInt64*);
