// The effect description in-process, for what the bundle cannot show from outside: which
// render callback each configuration registers, and a configuration nobody supports.
#include "AAX_CHostServices.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_VCollection.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "GUI/RovuRiza_GUI_VST.h"
#include "HostComponentDescriptor.h"
#include "HostRoot.h"
#include "RovuRiza_Describe.h"
#include "RovuRiza_Parameters.h"

#include <gtest/gtest.h>

// The factories are only registered here, never called.
AAX_CEffectParameters* AAX_CALLBACK RovuRiza_Parameters::Create()
{
    return nullptr;
}
AAX_IEffectGUI* AAX_CALLBACK RovuRiza_GUI::Create()
{
    return nullptr;
}

using namespace tavelo::host;

class DescribeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mRoot = Ref<HostRoot>::Adopt(HostRoot::Create());
        AAX_CHostServices::Set(static_cast<IACFComponentFactory*>(mRoot.Get()));
        mCollection =
            std::make_unique<AAX_VCollection>(static_cast<IACFComponentFactory*>(mRoot.Get()));
        mComponent = mCollection->NewDescriptor()->NewComponentDescriptor();
        ASSERT_NE(mComponent, nullptr);
    }
    void TearDown() override { AAX_CHostServices::Set(nullptr); }
    ComponentRecord Recorded() const
    {
        return HostComponentDescriptor::FromUnknown(mComponent->GetIUnknown())->Snapshot();
    }

    Ref<HostRoot> mRoot;
    std::unique_ptr<AAX_VCollection> mCollection;
    AAX_IComponentDescriptor* mComponent = nullptr;
};

TEST_F(DescribeTest, EachConfigurationRegistersItsOwnRenderCallback)
{
    DescribeAlgorithmComponent(AAX_eStemFormat_Mono, mComponent);
    ComponentRecord mono = Recorded();
    ASSERT_EQ(mono.processProcs.size(), 1u);
    EXPECT_EQ(reinterpret_cast<void*>(mono.processProcs[0].processProc),
              reinterpret_cast<void*>(&RovuRiza_AlgorithmProcessFunction<1, 1>));

    mComponent->Clear();
    DescribeAlgorithmComponent(AAX_eStemFormat_Stereo, mComponent);
    ComponentRecord stereo = Recorded();
    ASSERT_EQ(stereo.processProcs.size(), 1u);
    EXPECT_EQ(reinterpret_cast<void*>(stereo.processProcs[0].processProc),
              reinterpret_cast<void*>(&RovuRiza_AlgorithmProcessFunction<2, 2>));
    EXPECT_EQ(stereo.fields.size(), 15u);
    EXPECT_TRUE(mRoot->Services().Assertions().empty());
}

TEST_F(DescribeTest, UnsupportedStemFormatIsReportedAndGetsFieldsButNoCallback)
{
    DescribeAlgorithmComponent(static_cast<AAX_EStemFormat>(0x00020003), mComponent);
    const auto reports = mRoot->Services().Assertions();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].file, "Source/RovuRiza_Describe");
    EXPECT_EQ(reports[0].line, 43);
    EXPECT_EQ(reports[0].note, "inStemFormat == AAX_eStemFormat_Mono || inStemFormat == "
                               "AAX_eStemFormat_Stereo");
    const ComponentRecord component = Recorded();
    EXPECT_EQ(component.fields.size(), 15u);
    EXPECT_TRUE(component.processProcs.empty());
}

TEST_F(DescribeTest, MissingDescriptorsGiveNullObjectWithoutACrash)
{
    DescribeAlgorithmComponent(AAX_eStemFormat_Mono, nullptr);
    EXPECT_TRUE(mRoot->Services().Assertions().empty());
    EXPECT_EQ(GetEffectDescriptions(nullptr), AAX_ERROR_NULL_OBJECT);
}
