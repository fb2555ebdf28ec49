// The bundle's exported C entry points. Nothing may unwind into the host: whatever escapes
// the framework side becomes ACF_E_UNEXPECTED.
#include "AAX_Init.h"
#include "acfentrypoints.h"

ACFAPI ACFRegisterPlugin(IACFUnknown* inHost, IACFPluginDefinition** outPluginDefinition)
{
    try
    {
        return AAXRegisterPlugin(inHost, outPluginDefinition);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFAPI ACFRegisterComponent(IACFUnknown* inHost, acfUInt32 inIndex,
                            IACFComponentDefinition** outComponentDefinition)
{
    try
    {
        return AAXRegisterComponent(inHost, inIndex, outComponentDefinition);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFAPI ACFGetClassFactory(IACFUnknown* inHost, const acfCLSID& inClassID, const acfIID& inIID,
                          void** outFactory)
{
    try
    {
        return AAXGetClassFactory(inHost, inClassID, inIID, outFactory);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFAPI ACFCanUnloadNow(IACFUnknown* inHost)
{
    try
    {
        return AAXCanUnloadNow(inHost);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFAPI ACFStartup(IACFUnknown* inHost)
{
    try
    {
        return AAXStartup(inHost);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFAPI ACFShutdown(IACFUnknown* inHost)
{
    try
    {
        return AAXShutdown(inHost);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFAPI ACFGetSDKVersion(acfUInt64* outSDKVersion)
{
    try
    {
        return AAXGetSDKVersion(outSDKVersion);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}
