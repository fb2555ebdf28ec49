#include "AAX_Init.h"

#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_Exception.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "CACFUnknown.h"

#include <exception>

namespace
{
void TraceCaughtException(const char* inMessage)
{
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "AAXRegisterPlugin exception caught: %s",
                             inMessage);
}
} // namespace

AAX_Result AAXRegisterPlugin(IACFUnknown* inHost, IACFPluginDefinition** outPluginDefinition)
{
    try
    {
        AAX_VCollection collection(inHost);
        AAX_CheckedResult result(GetEffectDescriptions(&collection));

        // A host that gives nowhere to put the definition gets a clear error, not a crash.
        if (!outPluginDefinition) result = AAX_ERROR_NULL_ARGUMENT;
        *outPluginDefinition = nullptr;
        IACFUnknown* hostCollection = collection.GetIUnknown();
        void* definition = nullptr;
        if (!hostCollection ||
            hostCollection->QueryInterface(IID_IACFPluginDefinition, &definition) != ACF_OK ||
            !definition)
        {
            result = AAX_ERROR_NULL_OBJECT;
        }
        *outPluginDefinition = static_cast<IACFPluginDefinition*>(definition);
        return AAX_SUCCESS;
    }
    catch (const AAX::Exception::ResultError& error)
    {
        TraceCaughtException(error.What().c_str());
        return error.Result();
    }
    catch (const AAX::Exception::Any& error)
    {
        TraceCaughtException(error.What().c_str());
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (const std::exception& error)
    {
        TraceCaughtException(error.what());
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (...)
    {
        TraceCaughtException("unknown");
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
}

AAX_Result AAXRegisterComponent(IACFUnknown*, acfUInt32,
                                IACFComponentDefinition** outComponentDefinition)
{
    if (outComponentDefinition) *outComponentDefinition = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAXGetClassFactory(IACFUnknown*, const acfCLSID&, const acfIID&, void** outFactory)
{
    if (outFactory) *outFactory = nullptr;
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAXCanUnloadNow(IACFUnknown*)
{
    return CACFUnknown::GetActiveObjectCount();
}

AAX_Result AAXStartup(IACFUnknown* inHost)
{
    AAX_CHostServices::Set(inHost);
    return AAX_SUCCESS;
}

AAX_Result AAXShutdown(IACFUnknown*)
{
    AAX_CHostServices::Set(nullptr);
    return AAX_SUCCESS;
}

AAX_Result AAXGetSDKVersion(acfUInt64* outSDKVersion)
{
    if (!outSDKVersion) return AAX_ERROR_NULL_ARGUMENT;
    *outSDKVersion = kAAX_SDKVersion;
    return AAX_SUCCESS;
}
