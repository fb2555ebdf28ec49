// Wrapper of the host's view container. Owned by the editor; editor thread.
#pragma once

#include "AAX_IACFViewContainer.h"
#include "AAX_IViewContainer.h"
#include "ACFPtr.h"

class AAX_VViewContainer : public AAX_IViewContainer
{
public:
    explicit AAX_VViewContainer(IACFUnknown* inHost);

    // AAX_eViewContainer_Type_NULL (0) and a null pointer without a host container.
    int32_t GetType() override;
    void* GetPtr() override;
    AAX_Result GetModifiers(uint32_t* outModifiers) override;
    AAX_Result SetViewSize(AAX_Point& inSize) override;
    AAX_Result HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers) override;

    bool IsValid() const { return bool(mV1); }

private:
    ACFPtr<AAX_IACFViewContainer> mV1;
};
