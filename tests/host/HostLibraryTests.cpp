// The stand-in host's own rules: the strict description check, sample-rate refusal and the
// property map's bookkeeping.
#include "DescriptionValidator.h"
#include "HostError.h"
#include "HostPropertyMap.h"
#include "HostSampleRate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tavelo::host;

namespace
{
void FakeProcess(void* const[], const void*) {}
int gFactoryTarget = 0;

ComponentRecord GoodComponent(AAX_EStemFormat inStem)
{
    ComponentRecord component;
    for (const ExpectedField& expected : ExpectedContextFields())
    {
        FieldRecord field;
        field.index = expected.index;
        field.kind = expected.kind;
        field.size = expected.size;
        component.fields.push_back(field);
    }
    ProcessProcRecord proc;
    proc.processProc = &FakeProcess;
    proc.properties.entries = {{AAX_eProperty_InputStemFormat, false, inStem, nullptr},
                               {AAX_eProperty_OutputStemFormat, false, inStem, nullptr}};
    component.processProcs.push_back(proc);
    return component;
}

CollectionRecord GoodDescription()
{
    EffectRecord effect;
    effect.effectID = "com.example.aax.Test";
    effect.names = {"Test"};
    effect.components = {GoodComponent(AAX_eStemFormat_Mono),
                         GoodComponent(AAX_eStemFormat_Stereo)};
    effect.procPtrs = {{0, &gFactoryTarget}, {1, &gFactoryTarget}};
    CollectionRecord description;
    description.effects.push_back(effect);
    return description;
}

std::string Joined(const std::vector<std::string>& inLines)
{
    std::string text;
    for (const std::string& line : inLines)
        text += line + "\n";
    return text;
}
} // namespace

TEST(DescriptionValidatorTest, AcceptsACompleteDescription)
{
    EXPECT_EQ(Joined(ValidateDescription(GoodDescription())), "");
}

TEST(DescriptionValidatorTest, NamesEveryFieldThatIsMissingDuplicatedMistypedOrMissized)
{
    CollectionRecord description = GoodDescription();
    std::vector<FieldRecord>& mono = description.effects[0].components[0].fields;
    mono[14].kind = AAX_eFieldKind_DataInPort; // model state as a port
    mono[7].size = 1600;                       // voicing port too small
    mono.erase(mono.begin() + 13);             // no MIDI node
    mono.push_back(mono[0]);                   // bypass port twice
    FieldRecord stray;
    stray.index = 15;
    stray.kind = AAX_eFieldKind_Clock;
    mono.push_back(stray);

    const std::string problems = Joined(ValidateDescription(description));
    EXPECT_NE(problems.find("component 0 (mono): field 13 (MIDI node) is not declared"),
              std::string::npos)
        << problems;
    EXPECT_NE(problems.find("field 7 is declared with 1600 bytes, expected 1616"),
              std::string::npos)
        << problems;
    EXPECT_NE(problems.find("field 14 is declared as data port, expected private data"),
              std::string::npos)
        << problems;
    EXPECT_NE(problems.find("field 0 is declared 2 times"), std::string::npos) << problems;
    EXPECT_NE(problems.find("field 15 is outside the render context"), std::string::npos)
        << problems;
    EXPECT_EQ(problems.find("component 1"), std::string::npos) << problems;
}

TEST(DescriptionValidatorTest, RequiresBothStemFormatsACallbackEachAndBothFactories)
{
    CollectionRecord description = GoodDescription();
    EffectRecord& effect = description.effects[0];
    effect.components[1].processProcs[0].processProc = nullptr;
    effect.procPtrs.pop_back();
    std::string problems = Joined(ValidateDescription(description));
    EXPECT_NE(problems.find("component 1 (stereo): no native render callback"), std::string::npos)
        << problems;
    EXPECT_NE(problems.find("no editor factory (procedure pointer 1)"), std::string::npos)
        << problems;

    description = GoodDescription();
    description.effects[0].components[1] = GoodComponent(AAX_eStemFormat_Mono);
    problems = Joined(ValidateDescription(description));
    EXPECT_NE(problems.find("no component for the stereo stem format"), std::string::npos)
        << problems;
    EXPECT_NE(problems.find("2 components for the mono stem format"), std::string::npos)
        << problems;

    description.effects.clear();
    EXPECT_EQ(Joined(ValidateDescription(description)),
              "the bundle describes 0 effects, expected exactly one\n");
}

TEST(SampleRateTest, AcceptsSixteenToOneNinetyTwoKilohertzOnly)
{
    for (double rate : {16000.0, 44100.0, 48000.0, 96000.0, 192000.0})
        EXPECT_NO_THROW(validateSampleRate(rate)) << rate;
    for (double rate :
         {15999.0, 8000.0, 0.0, -48000.0, 192001.0, 384000.0,
          std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_THROW(validateSampleRate(rate), HostError) << rate;
    try
    {
        validateSampleRate(8000.0);
    }
    catch (const HostError& error)
    {
        EXPECT_STREQ(error.what(),
                     "unsupported sample rate 8000 Hz: the plug-in runs at 16000 to 192000 Hz");
    }
}

TEST(HostPropertyMapTest, KeepsFirstAddedOrderAndSeparatesIntegerFromPointerValues)
{
    auto map = Ref<HostPropertyMap>::Adopt(HostPropertyMap::Create());
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ProductID, 1), AAX_SUCCESS);
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ManufacturerID, 2), AAX_SUCCESS);
    EXPECT_EQ(map->AddProperty(AAX_eProperty_ProductID, 3), AAX_SUCCESS);
    EXPECT_EQ(map->AddProperty(static_cast<AAX_EProperty>(9), 1), AAX_ERROR_PROPERTY_UNDEFINED);
    EXPECT_EQ(map->AddProperty(static_cast<AAX_EProperty>(402), 1), AAX_ERROR_PROPERTY_UNDEFINED);
    ASSERT_EQ(map->Properties().entries.size(), 2u);
    EXPECT_EQ(map->Properties().entries[0].number, AAX_eProperty_ProductID);
    EXPECT_EQ(map->Properties().entries[0].value, 3);

    EXPECT_EQ(map->AddPointerProperty(AAX_eProperty_NativeProcessProc, &gFactoryTarget),
              AAX_SUCCESS);
    AAX_CPropertyValue value = 0;
    EXPECT_FALSE(map->GetProperty(AAX_eProperty_NativeProcessProc, &value));
    EXPECT_EQ(map->RemoveProperty(AAX_eProperty_NativeProcessProc), AAX_ERROR_PROPERTY_UNDEFINED);
    EXPECT_EQ(map->RemovePointerProperty(AAX_eProperty_NativeProcessProc), AAX_SUCCESS);
    EXPECT_EQ(map->RemoveProperty(AAX_eProperty_ManufacturerID), AAX_SUCCESS);
    EXPECT_EQ(map->Properties().entries.size(), 1u);
}
