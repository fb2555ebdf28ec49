// The effect's self-description, given to the host once per registration (host non-real-time
// thread): names, the mono and stereo configurations, factories and resources.
#pragma once

#include "AAX.h"

class AAX_ICollection;
class AAX_IComponentDescriptor;

inline constexpr char kEffectID_RovuRiza[] = "com.quorva.aax.Tavelo1";

// Describes one configuration into a cleared component descriptor. Failures are reported to
// the host's assertion service; the description goes on.
void DescribeAlgorithmComponent(AAX_EStemFormat inStemFormat,
                                AAX_IComponentDescriptor* outComponentDescriptor);

// Declared for the framework in AAX_Init.h; 0, -20004 without descriptors, or the collection's
// AddEffect result.
AAX_Result GetEffectDescriptions(AAX_ICollection* outCollection);
