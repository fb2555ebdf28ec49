// Small host objects for the framework tests: each answers only the interface versions a test
// asks for and records what it was told.
#pragma once

#include "AAX_IACFController.h"
#include "AAX_IACFViewContainer.h"
#include "AAX_UIDs.h"
#include "FakeHostFaults.h"
#include "HostObject.h"

#include <string>
#include <vector>

namespace tavelo::test
{

// A controller that answers version 1, and version 2 unless its faults say otherwise.
class FakeController final : public host::HostObject<AAX_IACFController_V2>
{
public:
    explicit FakeController(const FakeHostFaults& inFaults = {}) : mFaults(inFaults) {}

    AAX_Result PostPacket(AAX_CFieldIndex inFieldIndex, const void*, uint32_t inSize) override
    {
        posted.emplace_back(inFieldIndex, inSize);
        return AAX_SUCCESS;
    }
    AAX_Result GetEffectID(AAX_IString*) const override { return AAX_SUCCESS; }
    AAX_Result GetSampleRate(AAX_CSampleRate* out) const override
    {
        *out = 48000.0f;
        return AAX_SUCCESS;
    }
    AAX_Result GetInputStemFormat(AAX_EStemFormat* out) const override
    {
        *out = AAX_eStemFormat_Mono;
        return AAX_SUCCESS;
    }
    AAX_Result GetOutputStemFormat(AAX_EStemFormat* out) const override
    {
        *out = AAX_eStemFormat_Mono;
        return AAX_SUCCESS;
    }
    AAX_Result GetSignalLatency(int32_t* out) const override
    {
        *out = 0;
        return AAX_SUCCESS;
    }
    AAX_Result SetSignalLatency(int32_t) override { return AAX_SUCCESS; }
    AAX_Result GetCycleCount(AAX_EProperty, AAX_CPropertyValue*) const override
    {
        return AAX_SUCCESS;
    }
    AAX_Result SetCycleCount(AAX_EProperty*, AAX_CPropertyValue*, int32_t) override
    {
        return AAX_SUCCESS;
    }
    AAX_Result GetHybridSignalLatency(int32_t* out) const override
    {
        *out = 7;
        return AAX_SUCCESS;
    }
    AAX_Result GetHostName(AAX_IString*) const override { return AAX_SUCCESS; }

    std::vector<std::pair<AAX_CFieldIndex, uint32_t>> posted;

private:
    void* FindInterface(const acfIID& inIID) override
    {
        if (inIID == IID_IACFUnknown || inIID == IID_IAAXControllerV1)
            return static_cast<AAX_IACFController*>(this);
        if (inIID == IID_IAAXControllerV2 && mFaults.controllerV2)
            return static_cast<AAX_IACFController_V2*>(this);
        return nullptr;
    }
    const FakeHostFaults mFaults;
};

// A view container of type 1 that reports Command held and acts on the mouse events its faults
// name (by default mouse-downs).
class FakeViewContainer final : public host::HostObject<AAX_IACFViewContainer>
{
public:
    int32_t GetType() override { return AAX_eViewContainer_Type_NSView; }
    void* GetPtr() override { return this; }
    AAX_Result GetModifiers(uint32_t* out) override
    {
        *out = AAX_eModifiers_Command;
        return AAX_SUCCESS;
    }
    AAX_Result SetViewSize(AAX_Point&) override { return AAX_SUCCESS; }
    AAX_Result HandleParameterMouseDown(AAX_CParamID id, uint32_t) override
    {
        if (!faults.viewTakesMouseDown) return 1;
        events.push_back(std::string("down ") + id);
        return AAX_SUCCESS;
    }
    AAX_Result HandleParameterMouseDrag(AAX_CParamID, uint32_t) override
    {
        return faults.viewTakesMouseDrag ? AAX_SUCCESS : 1;
    }
    AAX_Result HandleParameterMouseUp(AAX_CParamID, uint32_t) override
    {
        return faults.viewTakesMouseUp ? AAX_SUCCESS : 1;
    }

    FakeHostFaults faults{.viewTakesMouseDown = true};
    std::vector<std::string> events;

private:
    void* FindInterface(const acfIID& inIID) override
    {
        if (inIID == IID_IACFUnknown || inIID == IID_IAAXViewContainerV1)
            return static_cast<AAX_IACFViewContainer*>(this);
        return nullptr;
    }
};

// An object that answers nothing but IACFUnknown.
class FakeNothing final : public host::HostObject<IACFUnknown>
{
private:
    void* FindInterface(const acfIID& inIID) override
    {
        return inIID == IID_IACFUnknown ? static_cast<IACFUnknown*>(this) : nullptr;
    }
};

} // namespace tavelo::test
