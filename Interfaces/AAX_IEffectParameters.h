// The data model as the framework implements it: every host-facing version in one interface.
#pragma once

#include "AAX_IACFEffectParameters.h"

class AAX_IEffectParameters : public AAX_IACFEffectParameters_V4
{
public:
    virtual ~AAX_IEffectParameters() = default;
};
