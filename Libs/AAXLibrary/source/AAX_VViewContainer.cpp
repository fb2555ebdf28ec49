#include "AAX_VViewContainer.h"

#include "AAX_UIDs.h"

AAX_VViewContainer::AAX_VViewContainer(IACFUnknown* inHost)
    : mV1(ACFQueryInterface<AAX_IACFViewContainer>(inHost, IID_IAAXViewContainerV1))
{
}

int32_t AAX_VViewContainer::GetType()
{
    return mV1 ? mV1->GetType() : int32_t(AAX_eViewContainer_Type_NULL);
}

void* AAX_VViewContainer::GetPtr()
{
    return mV1 ? mV1->GetPtr() : nullptr;
}

AAX_Result AAX_VViewContainer::GetModifiers(uint32_t* outModifiers)
{
    return mV1 ? mV1->GetModifiers(outModifiers) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::SetViewSize(AAX_Point& inSize)
{
    return mV1 ? mV1->SetViewSize(inSize) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDown(AAX_CParamID inParamID,
                                                        uint32_t inModifiers)
{
    return mV1 ? mV1->HandleParameterMouseDown(inParamID, inModifiers) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDrag(AAX_CParamID inParamID,
                                                        uint32_t inModifiers)
{
    return mV1 ? mV1->HandleParameterMouseDrag(inParamID, inModifiers) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers)
{
    return mV1 ? mV1->HandleParameterMouseUp(inParamID, inModifiers) : AAX_ERROR_NULL_OBJECT;
}
