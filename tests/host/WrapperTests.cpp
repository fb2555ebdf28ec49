// The host-interface wrappers: which interface version each call reaches, what a missing
// version answers, and the generic process-procedure registration the component-descriptor
// wrapper performs itself for a host without the newer interface.
#include "AAX_CHostServices.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VController.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"
#include "FakeHostObjects.h"
#include "HostComponentDescriptor.h"
#include "HostRoot.h"

#include <gtest/gtest.h>

using namespace tavelo::host;
using namespace tavelo::test;

namespace
{
void FakeProcess(void* const[], const void*) {}
void FakeOtherProcess(void* const[], const void*) {}
} // namespace

TEST(WrapperVersionTest, ControllerForwardsToTheVersionThatOffersEachCall)
{
    auto v1Only = Ref<FakeController>::Adopt(new FakeController({.controllerV2 = false}));
    AAX_VController controller(static_cast<AAX_IACFController*>(v1Only.Get()));
    EXPECT_EQ(controller.PostPacket(3, "abcd", 4), AAX_SUCCESS);
    EXPECT_EQ(v1Only->posted.size(), 1u);
    AAX_CSampleRate rate = 0;
    EXPECT_EQ(controller.GetSampleRate(&rate), AAX_SUCCESS);
    EXPECT_EQ(rate, 48000.0f);
    int32_t latency = -1;
    EXPECT_EQ(controller.GetHybridSignalLatency(&latency), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(latency, -1);

    auto v2 = Ref<FakeController>::Adopt(new FakeController());
    AAX_VController newer(static_cast<AAX_IACFController*>(v2.Get()));
    EXPECT_EQ(newer.GetHybridSignalLatency(&latency), AAX_SUCCESS);
    EXPECT_EQ(latency, 7);

    auto nothing = Ref<FakeNothing>::Adopt(new FakeNothing());
    AAX_VController missing(nothing.Get());
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.PostPacket(0, "x", 1), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(AAX_VController(nullptr).GetSampleRate(&rate), AAX_ERROR_NULL_OBJECT);
}

TEST(WrapperVersionTest, WrappersHoldTheirHostObjectsOnlyWhileTheyLive)
{
    auto fake = Ref<FakeController>::Adopt(new FakeController());
    {
        AAX_VController controller(static_cast<AAX_IACFController*>(fake.Get()));
        EXPECT_EQ(fake->ReferenceCount(), 3u); // ours, version 1, version 2
    }
    EXPECT_EQ(fake->ReferenceCount(), 1u);
}

TEST(WrapperVersionTest, ViewContainerWithoutAHostIsTypeZeroAndRefusesEverything)
{
    AAX_VViewContainer none(nullptr);
    EXPECT_EQ(none.GetType(), 0);
    EXPECT_EQ(none.GetPtr(), nullptr);
    uint32_t modifiers = 0;
    EXPECT_EQ(none.GetModifiers(&modifiers), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(none.HandleParameterMouseDown("Gain", 0), AAX_ERROR_NULL_OBJECT);

    auto fake = Ref<FakeViewContainer>::Adopt(new FakeViewContainer());
    AAX_VViewContainer container(static_cast<AAX_IACFViewContainer*>(fake.Get()));
    EXPECT_EQ(container.GetType(), 1);
    EXPECT_EQ(container.GetPtr(), fake.Get());
    EXPECT_EQ(container.GetModifiers(&modifiers), AAX_SUCCESS);
    EXPECT_EQ(modifiers, 0x08u);
    EXPECT_EQ(container.HandleParameterMouseDown("Gain", 0x04), AAX_SUCCESS);
    EXPECT_NE(container.HandleParameterMouseUp("Gain", 0x04), AAX_SUCCESS);
    EXPECT_EQ(fake->events, std::vector<std::string>{"down Gain"});
}

TEST(WrapperVersionTest, AutomationAndTransportWithoutTheirInterfacesAnswerNullObject)
{
    auto nothing = Ref<FakeNothing>::Adopt(new FakeNothing());
    AAX_VAutomationDelegate automation(nothing.Get());
    EXPECT_EQ(automation.RegisterParameter("Gain"), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(automation.PostSetValueRequest("Gain", 0.5), AAX_ERROR_NULL_OBJECT);
    AAX_VTransport transport(nothing.Get());
    double tempo = 0;
    EXPECT_EQ(transport.GetCurrentTempo(&tempo), AAX_ERROR_NULL_OBJECT);
}

// ---- Description chain over the stand-in host's objects ------------------------------------

class DescriptionWrapperTest : public ::testing::Test
{
protected:
    void SetUp() override { Start({}); }
    void TearDown() override { AAX_CHostServices::Set(nullptr); }

    void Start(const HostFaults& inFaults)
    {
        AAX_CHostServices::Set(nullptr);
        mCollection.reset();
        mRoot = Ref<HostRoot>::Adopt(HostRoot::Create(inFaults));
        AAX_CHostServices::Set(Host());
        mCollection = std::make_unique<AAX_VCollection>(Host());
        mEffect = mCollection->NewDescriptor();
        ASSERT_NE(mEffect, nullptr);
        mComponent = mEffect->NewComponentDescriptor();
        ASSERT_NE(mComponent, nullptr);
    }
    IACFUnknown* Host() const { return static_cast<IACFComponentFactory*>(mRoot.Get()); }
    ComponentRecord Recorded() const
    {
        return HostComponentDescriptor::FromUnknown(mComponent->GetIUnknown())->Snapshot();
    }
    // A native configuration's map: plug-in ID, process procedure and DSP buffer length.
    AAX_IPropertyMap* NativeMap()
    {
        AAX_IPropertyMap* map = mComponent->NewPropertyMap();
        map->AddProperty(AAX_eProperty_InputStemFormat, AAX_eStemFormat_Mono);
        map->AddProperty(AAX_eProperty_PlugInID_Native, AAX_FourCC("DARm"));
        map->AddPointerProperty(AAX_eProperty_NativeProcessProc,
                                reinterpret_cast<const void*>(&FakeProcess));
        map->AddProperty(AAX_eProperty_DSP_AudioBufferLength, 2);
        return map;
    }

    Ref<HostRoot> mRoot;
    std::unique_ptr<AAX_VCollection> mCollection;
    AAX_IEffectDescriptor* mEffect = nullptr;
    AAX_IComponentDescriptor* mComponent = nullptr;
};

TEST_F(DescriptionWrapperTest, ManualRegistrationDropsTheBufferLengthFromACopyOnly)
{
    Start(
        []
        {
            HostFaults faults;
            faults.componentDescriptorV2 = false;
            return faults;
        }());
    AAX_IPropertyMap* map = NativeMap();
    AAX_CSelector ids[3] = {99, 99, 99};
    ASSERT_EQ(mComponent->AddProcessProc(map, ids, 3), AAX_SUCCESS);

    const ComponentRecord component = Recorded();
    ASSERT_EQ(component.processProcs.size(), 1u);
    const ProcessProcRecord& proc = component.processProcs[0];
    EXPECT_EQ(reinterpret_cast<void*>(proc.processProc), reinterpret_cast<void*>(&FakeProcess));
    EXPECT_FALSE(proc.properties.Find(AAX_eProperty_DSP_AudioBufferLength));
    EXPECT_EQ(proc.properties.Value(AAX_eProperty_PlugInID_Native), AAX_FourCC("DARm"));
    ASSERT_TRUE(proc.properties.Find(AAX_eProperty_NativeProcessProc));
    EXPECT_TRUE(proc.properties.Find(AAX_eProperty_NativeProcessProc)->isPointer);
    AAX_CPropertyValue length = 0;
    EXPECT_TRUE(map->GetProperty(AAX_eProperty_DSP_AudioBufferLength, &length));
    EXPECT_EQ(length, 2);

    EXPECT_EQ(ids[0], proc.id);
    EXPECT_EQ(ids[1], 0u);
    EXPECT_EQ(ids[2], 99u);
    EXPECT_TRUE(mRoot->Services().Assertions().empty());
}

TEST_F(DescriptionWrapperTest, ManualRegistrationReportsAMissingProcedureAndAFullIDArray)
{
    Start(
        []
        {
            HostFaults faults;
            faults.componentDescriptorV2 = false;
            return faults;
        }());
    AAX_IPropertyMap* map = mComponent->NewPropertyMap();
    map->AddProperty(AAX_eProperty_PlugInID_AudioSuite, AAX_FourCC("DAAm"));
    AAX_CSelector ids[1] = {};
    // No procedure pointer: traced, and the host refuses the null procedure.
    EXPECT_EQ(mComponent->AddProcessProc(map, ids, 1), AAX_ERROR_NULL_ARGUMENT);
    ASSERT_EQ(mRoot->Services().Traces().size(), 1u);
    EXPECT_EQ(mRoot->Services().Traces()[0].text,
              "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for "
              "AAX_eProperty_NativeProcessProc");
    EXPECT_EQ(mRoot->Services().Traces()[0].priority, 0x08000000);

    map->AddPointerProperty(AAX_eProperty_NativeProcessProc,
                            reinterpret_cast<const void*>(&FakeProcess));
    // One ID and its terminator do not fit in one slot.
    EXPECT_EQ(mComponent->AddProcessProc(map, ids, 1), AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW);
    EXPECT_EQ(mComponent->AddProcessProc(nullptr, ids, 1), AAX_ERROR_NULL_OBJECT);
}

TEST_F(DescriptionWrapperTest, ManualRegistrationAddsTheDSPFormWhenItsIDIsPresent)
{
    Start(
        []
        {
            HostFaults faults;
            faults.componentDescriptorV2 = false;
            return faults;
        }());
    AAX_IPropertyMap* map = NativeMap();
    map->AddProperty(AAX_eProperty_PlugInID_TI, AAX_FourCC("DATm"));
    map->AddPointerProperty(AAX_eProperty_TIDLLFileName, "Tavelo1.dll");
    AAX_CSelector ids[3] = {};
    // The DSP process symbol is missing: traced, and the host refuses the registration.
    EXPECT_EQ(mComponent->AddProcessProc(map, ids, 3), AAX_ERROR_NULL_ARGUMENT);
    ASSERT_FALSE(mRoot->Services().Traces().empty());
    EXPECT_EQ(mRoot->Services().Traces().back().text,
              "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for "
              "AAX_eProperty_TIProcessProc");

    map->AddPointerProperty(AAX_eProperty_TIProcessProc, "AlgEntry");
    ASSERT_EQ(mComponent->AddProcessProc(map, ids, 3), AAX_SUCCESS);
    const ComponentRecord component = Recorded();
    // A native registration from each call, then the DSP one.
    ASSERT_EQ(component.processProcs.size(), 3u);
    EXPECT_FALSE(component.processProcs.back().native);
    EXPECT_EQ(component.processProcs.back().dllFileName, "Tavelo1.dll");
    EXPECT_EQ(component.processProcs.back().processSymbol, "AlgEntry");
    EXPECT_NE(ids[0], 0u);
    EXPECT_EQ(ids[1], component.processProcs.back().id);
    EXPECT_EQ(ids[2], 0u);
}

TEST_F(DescriptionWrapperTest, NewerHostRegistersFromTheMapItself)
{
    AAX_IPropertyMap* map = NativeMap();
    AAX_CSelector ids[2] = {};
    ASSERT_EQ(mComponent->AddProcessProc(map, ids, 2), AAX_SUCCESS);
    const ComponentRecord component = Recorded();
    ASSERT_EQ(component.processProcs.size(), 1u);
    // The host keeps the map as given, buffer length included.
    EXPECT_TRUE(component.processProcs[0].properties.Find(AAX_eProperty_DSP_AudioBufferLength));
    EXPECT_EQ(ids[0], component.processProcs[0].id);
    EXPECT_EQ(ids[1], 0u);
}

TEST_F(DescriptionWrapperTest, DuplicateMapCopiesEveryPropertyPreferringIntegers)
{
    AAX_IPropertyMap* map = mComponent->NewPropertyMap();
    map->AddProperty(AAX_eProperty_MinProp, 10);
    map->AddProperty(AAX_eProperty_MaxProp, 401);
    map->AddPointerProperty(AAX_eProperty_NativeProcessProc,
                            reinterpret_cast<const void*>(&FakeOtherProcess));
    AAX_IPropertyMap* copy = mComponent->DuplicatePropertyMap(map);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, map);
    AAX_CPropertyValue value = 0;
    EXPECT_TRUE(copy->GetProperty(AAX_eProperty_MinProp, &value));
    EXPECT_EQ(value, 10);
    EXPECT_TRUE(copy->GetProperty(AAX_eProperty_MaxProp, &value));
    EXPECT_EQ(value, 401);
    const void* pointer = nullptr;
    EXPECT_TRUE(copy->GetPointerProperty(AAX_eProperty_NativeProcessProc, &pointer));
    EXPECT_EQ(pointer, reinterpret_cast<const void*>(&FakeOtherProcess));
    EXPECT_EQ(mComponent->DuplicatePropertyMap(nullptr), nullptr);
}

TEST_F(DescriptionWrapperTest, MissingPropertyMapLeavesTheWrapperWithNothingToHandOut)
{
    Start(
        []
        {
            HostFaults faults;
            faults.noPropertyMap = true;
            return faults;
        }());
    EXPECT_EQ(mComponent->NewPropertyMap(), nullptr);
    EXPECT_EQ(mComponent->AddProcessProc_Native(&FakeProcess, nullptr, nullptr, nullptr, nullptr),
              AAX_SUCCESS);
    EXPECT_EQ(Recorded().processProcs.size(), 1u);
}
