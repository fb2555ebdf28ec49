// The framework side of the exported entry points: each ACF* export calls its AAX* namesake
// here inside a catch-all. Host non-real-time thread.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_ICollection;

// Describes the bundle's effects into the collection; defined by the plug-in itself.
AAX_Result GetEffectDescriptions(AAX_ICollection* outCollection);

// 0x0204 in the high 32 bits, 20204010 in the low 32 bits.
inline constexpr acfUInt64 kAAX_SDKVersion = 0x00000204013449EAull;

AAX_Result AAXRegisterPlugin(IACFUnknown* inHost, IACFPluginDefinition** outPluginDefinition);
AAX_Result AAXRegisterComponent(IACFUnknown* inHost, acfUInt32 inIndex,
                                IACFComponentDefinition** outComponentDefinition);
AAX_Result AAXGetClassFactory(IACFUnknown* inHost, const acfCLSID& inClassID, const acfIID& inIID,
                              void** outFactory);
AAX_Result AAXCanUnloadNow(IACFUnknown* inHost);
AAX_Result AAXStartup(IACFUnknown* inHost);
AAX_Result AAXShutdown(IACFUnknown* inHost);
AAX_Result AAXGetSDKVersion(acfUInt64* outSDKVersion);
