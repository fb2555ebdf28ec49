// The host's view container as the host implements it: the native view the editor opens in,
// the modifier keys, and the host's first look at mouse events on parameter controls.
#pragma once

#include "AAX.h"
#include "acfunknown.h"

class AAX_IACFViewContainer : public IACFUnknown
{
public:
    virtual int32_t GetType() = 0; // an AAX_EViewContainer_Type
    virtual void* GetPtr() = 0;
    virtual AAX_Result GetModifiers(uint32_t* outModifiers) = 0; // AAX_EModifiers bits
    virtual AAX_Result SetViewSize(AAX_Point& inSize) = 0;
    // Each returns AAX_SUCCESS when the host acted on the event (the editor then ignores it).
    virtual AAX_Result HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers) = 0;

protected:
    ~AAX_IACFViewContainer() = default;
};
