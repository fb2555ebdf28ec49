// Strings, tapers, display delegates and parameter objects.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "HostAutomation.h"
#include "TestHost.h"

namespace
{
using FloatParameter = AAX_CParameter<float>;
using BoolParameter = AAX_CParameter<bool>;

FloatParameter* MakeFloat(const char* id = "Gain", float def = 0.2f)
{
    return new FloatParameter(id, AAX_CString("Gain"), def,
                              AAX_CLinearTaperDelegate<float, 0>(0.0f, 1.0f),
                              AAX_CNumberDisplayDelegate<float, 2u, 0u>(), true);
}

BoolParameter* MakeBool()
{
    return new BoolParameter("MasterBypassID", AAX_CString("Master Bypass"), false,
                             AAX_CBinaryTaperDelegate<bool>(),
                             AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
}

// An automation delegate that forwards to the host's recorder.
class RecordingDelegate final : public AAX_IAutomationDelegate
{
public:
    AAX_Result RegisterParameter(AAX_CParamID id) override { return rec.RegisterParameter(id); }
    AAX_Result UnregisterParameter(AAX_CParamID id) override { return rec.UnregisterParameter(id); }
    AAX_Result PostSetValueRequest(AAX_CParamID id, double v) const override
    {
        return rec.PostSetValueRequest(id, v);
    }
    AAX_Result PostCurrentValue(AAX_CParamID id, double v) const override
    {
        return rec.PostCurrentValue(id, v);
    }
    AAX_Result PostTouchRequest(AAX_CParamID id) override { return rec.PostTouchRequest(id); }
    AAX_Result PostReleaseRequest(AAX_CParamID id) override { return rec.PostReleaseRequest(id); }
    AAX_Result GetTouchState(AAX_CParamID id, AAX_CBoolean* t) override
    {
        return rec.GetTouchState(id, t);
    }
    mutable tavelo::host::HostAutomation rec;
};
} // namespace

TEST(CString, NumbersConversionsAndBounds)
{
    AAX_CString text;
    text.AppendNumber(0.805, 2);
    EXPECT_STREQ(text.Get(), "0.81"); // 0.805 is stored just above: correctly rounded
    text.Clear();
    text.AppendNumber(double(0.2f), 2);
    EXPECT_STREQ(text.Get(), "0.20");
    EXPECT_EQ(AAX_CString(static_cast<const char*>(nullptr)).Length(), 0u);
    EXPECT_EQ(text.MaxLength(), 4294967294u);

    double value = -1.0;
    EXPECT_TRUE(AAX_CString(" 0.75").ToDouble(&value));
    EXPECT_DOUBLE_EQ(value, 0.75);
    EXPECT_FALSE(AAX_CString("abc").ToDouble(&value));
    EXPECT_EQ(value, 0.0);
    // Only decimal numbers: no NaN, infinity or hexadecimal sneaks in as a value.
    EXPECT_FALSE(AAX_CString("nan").ToDouble(&value));
    EXPECT_FALSE(AAX_CString("inf").ToDouble(&value));
    EXPECT_FALSE(AAX_CString("0x10").ToDouble(&value));

    AAX_CString word("Master");
    AAX_CString part;
    word.SubString(2, 100, &part);
    EXPECT_STREQ(part.Get(), "ster");
    word.Erase(3, 100);
    EXPECT_STREQ(word.Get(), "Mas");
    EXPECT_THROW(word.Erase(4, 1), std::out_of_range);
    EXPECT_THROW(word.SubString(4, 1, &part), std::out_of_range);
    EXPECT_TRUE(AAX_CString("a") != AAX_CString("b"));
}

TEST(Tapers, LinearAndBinaryMapping)
{
    const AAX_CLinearTaperDelegate<float, 0> linear(0.0f, 1.0f);
    EXPECT_EQ(linear.NormalizedToReal(1.7), 1.0f);
    EXPECT_EQ(linear.NormalizedToReal(-0.5), 0.0f);
    EXPECT_DOUBLE_EQ(linear.RealToNormalized(0.2f), double(0.2f));
    const AAX_CLinearTaperDelegate<float, 0> reversed(10.0f, -10.0f);
    EXPECT_EQ(reversed.ConstrainRealValue(20.0f), 10.0f);
    EXPECT_EQ(reversed.NormalizedToReal(0.25), 5.0f);
    const AAX_CLinearTaperDelegate<float, 0> flat(3.0f, 3.0f);
    EXPECT_EQ(flat.RealToNormalized(7.0f), 0.5);
    EXPECT_EQ(flat.ConstrainRealValue(7.0f), 3.0f);
    // A NaN never becomes a stored value.
    EXPECT_EQ(linear.ConstrainRealValue(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(linear.NormalizedToReal(std::nan("")), 0.0f);

    const AAX_CBinaryTaperDelegate<bool> binary;
    EXPECT_TRUE(binary.NormalizedToReal(0.3));
    EXPECT_FALSE(binary.NormalizedToReal(0.0));
    EXPECT_EQ(binary.RealToNormalized(true), 1.0);
}

TEST(DisplayDelegates, NumberTruncationAndBinaryForms)
{
    const AAX_CNumberDisplayDelegate<float, 2u, 0u> number;
    AAX_CString out;
    const struct
    {
        int32_t max;
        const char* text;
    } cases[] = {{8, "0.80"}, {4, "0.80"}, {3, "0.8"}, {2, "0"}, {1, "0"}, {0, ""}, {-3, ""}};
    for (const auto& c : cases)
    {
        EXPECT_TRUE(number.ValueToString(0.8f, c.max, &out));
        EXPECT_STREQ(out.Get(), c.text) << "max " << c.max;
    }
    float value = 1.0f;
    EXPECT_FALSE(number.StringToValue(AAX_CString("loud"), &value));
    EXPECT_EQ(value, 0.0f);

    AAX_CBinaryDisplayDelegate<bool> binary("bypass", "on");
    for (int32_t max : {-1, 0, 2, 6, 20})
    {
        EXPECT_TRUE(binary.ValueToString(false, max, &out));
        EXPECT_STREQ(out.Get(), "bypass");
    }
    bool flag = false;
    EXPECT_TRUE(binary.StringToValue(AAX_CString("on"), &flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(binary.StringToValue(AAX_CString("bypass"), &flag));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(binary.StringToValue(AAX_CString("On"), &flag));

    binary.AddShortenedStrings("byp", "on", 3);
    binary.AddShortenedStrings("b", "1", 1);
    binary.ValueToString(false, 4, &out);
    EXPECT_STREQ(out.Get(), "byp");
    binary.ValueToString(false, 2, &out);
    EXPECT_STREQ(out.Get(), "b");
    binary.ValueToString(true, 0, &out); // none fits: the shortest form
    EXPECT_STREQ(out.Get(), "1");
    binary.ValueToString(false, 6, &out);
    EXPECT_STREQ(out.Get(), "bypass");
}

TEST(Parameter, FreshFloatParameterWithoutHost)
{
    std::unique_ptr<FloatParameter> p(MakeFloat());
    EXPECT_EQ(p->GetNumberOfSteps(), 128u);
    EXPECT_EQ(p->GetType(), AAX_eParameterType_Continuous);
    EXPECT_EQ(p->GetNormalizedValue(), double(0.2f));
    AAX_CString text;
    p->GetValueString(&text);
    EXPECT_STREQ(text.Get(), "0.20");

    p->SetNormalizedValue(1.7);
    EXPECT_EQ(p->GetNormalizedValue(), 1.0);

    // Only the parameter's own type converts.
    bool b = false;
    int32_t i = 5;
    double d = 0.0;
    EXPECT_FALSE(p->GetValueAsBool(&b));
    EXPECT_FALSE(p->GetValueAsInt32(&i));
    EXPECT_EQ(i, 5);
    EXPECT_FALSE(p->SetValueWithBool(true));
    EXPECT_FALSE(p->GetNormalizedValueFromDouble(0.5, &d));
    EXPECT_TRUE(p->SetValueWithFloat(0.4f));
    float f = 0.0f;
    EXPECT_TRUE(p->GetValueAsFloat(&f));
    EXPECT_EQ(f, 0.4f);

    double n = 0.0;
    EXPECT_TRUE(p->GetNormalizedValueFromString(AAX_CString(" 0.75"), &n));
    EXPECT_DOUBLE_EQ(n, 0.75);
    EXPECT_FALSE(p->GetNormalizedValueFromString(AAX_CString("loud"), &n));
    EXPECT_FALSE(p->SetValueFromString(AAX_CString("loud")));
    EXPECT_TRUE(p->GetValueAsFloat(&f));
    EXPECT_EQ(f, 0.4f);

    EXPECT_TRUE(p->GetStringFromNormalizedValue(1.5, text));
    EXPECT_STREQ(text.Get(), "1.00");

    AAX_CString asString;
    EXPECT_FALSE(p->GetValueAsString(nullptr));
    EXPECT_TRUE(p->GetValueAsString(&asString));
    EXPECT_STREQ(asString.Get(), "0.40");

    std::unique_ptr<AAX_IParameterValue> snapshot(p->CloneValue());
    EXPECT_STREQ(snapshot->Identifier(), "Gain");
    EXPECT_TRUE(snapshot->GetValueAsFloat(&f));
    EXPECT_EQ(f, 0.4f);
    EXPECT_FALSE(snapshot->GetValueAsString(&asString));
}

TEST(Parameter, StepsAndBool)
{
    std::unique_ptr<FloatParameter> p(MakeFloat());
    p->SetNumberOfSteps(131);
    EXPECT_EQ(p->GetStepValueFromNormalizedValue(0.5), 65u);
    EXPECT_EQ(p->GetNormalizedValueFromStep(130), 1.0);
    EXPECT_EQ(p->GetNormalizedValueFromStep(500), 1.0);
    EXPECT_EQ(p->GetStepValueFromNormalizedValue(7.0), 130u);
    EXPECT_EQ(p->GetStepValueFromNormalizedValue(-1.0), 0u);
    EXPECT_EQ(p->GetStepValueFromNormalizedValue(std::nan("")), 0u);
    p->SetNumberOfSteps(100);
    EXPECT_DOUBLE_EQ(p->GetNormalizedValueFromStep(27), 27.0 / 99.0);
    p->SetStepValue(27);
    EXPECT_EQ(p->GetStepValue(), 27u);
    p->SetNumberOfSteps(1);
    EXPECT_EQ(p->GetNormalizedValueFromStep(5), 0.0);

    std::unique_ptr<BoolParameter> b(MakeBool());
    b->SetNormalizedValue(0.3);
    bool value = false;
    EXPECT_TRUE(b->GetValueAsBool(&value));
    EXPECT_TRUE(value);
    EXPECT_EQ(b->GetNormalizedValue(), 1.0);
    AAX_CString text;
    b->GetValueString(&text);
    EXPECT_STREQ(text.Get(), "on");
}

TEST(Parameter, AssertionsForBadIdentifierAndZeroSteps)
{
    test::ScopedHostServices services;
    const std::string exact31(31, 'x');
    std::unique_ptr<FloatParameter> ok(MakeFloat(exact31.c_str()));
    EXPECT_EQ(std::string(ok->Identifier()), exact31);
    EXPECT_TRUE(services->reports.empty());

    const std::string long40(40, 'y');
    std::unique_ptr<FloatParameter> cut(MakeFloat(long40.c_str()));
    EXPECT_EQ(std::string(cut->Identifier()), std::string(31, 'y'));
    ASSERT_EQ(services->reports.size(), 1u);
    EXPECT_EQ(services->reports[0].file, "Interfaces/AAX_CParameter");
    EXPECT_EQ(services->reports[0].line, 194);
    EXPECT_EQ(services->reports[0].note, "len < eParemeterDefaultMaxIdentifierSize");

    ok->SetNumberOfSteps(0);
    EXPECT_EQ(ok->GetNumberOfSteps(), 128u);
    ASSERT_EQ(services->reports.size(), 2u);
    EXPECT_EQ(services->reports[1].line, 834);
    EXPECT_EQ(services->reports[1].note, "0 < numSteps");
}

TEST(Parameter, HostConfirmsRequestedValues)
{
    using tavelo::host::AutomationEvent;
    RecordingDelegate delegate;
    std::unique_ptr<FloatParameter> p(MakeFloat());
    p->SetAutomationDelegate(&delegate);
    EXPECT_TRUE(delegate.rec.IsRegistered("Gain"));

    p->SetNormalizedValue(1.7);
    EXPECT_EQ(p->GetNormalizedValue(), double(0.2f)); // unchanged until the host confirms
    const auto events = delegate.rec.Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].kind, AutomationEvent::Touch);
    EXPECT_EQ(events[2].kind, AutomationEvent::SetValueRequest);
    EXPECT_EQ(events[2].value, 1.0);
    EXPECT_EQ(events[3].kind, AutomationEvent::Release);

    delegate.rec.ClearEvents();
    p->UpdateNormalizedValue(1.0);
    EXPECT_EQ(p->GetNormalizedValue(), 1.0);
    EXPECT_EQ(delegate.rec.EventsOfKind(AutomationEvent::CurrentValue).size(), 1u);
    // The same value again is not reported; a taper change forces the next report.
    p->UpdateNormalizedValue(1.0);
    EXPECT_EQ(delegate.rec.EventsOfKind(AutomationEvent::CurrentValue).size(), 1u);

    // Keep the normalized position: the real value follows the new taper.
    p->SetTaperDelegate(AAX_CLinearTaperDelegate<float, 0>(0.0f, 10.0f), false);
    float f = 0.0f;
    p->GetValueAsFloat(&f);
    EXPECT_EQ(f, 10.0f);
    EXPECT_EQ(delegate.rec.EventsOfKind(AutomationEvent::CurrentValue).size(), 2u);
    // Keep the real value: the host is asked for the new normalized position.
    p->SetTaperDelegate(AAX_CLinearTaperDelegate<float, 0>(0.0f, 20.0f), true);
    EXPECT_EQ(delegate.rec.TakePendingRequests().back().value, 0.5);

    p.reset();
    EXPECT_FALSE(delegate.rec.IsRegistered("Gain"));
}

TEST(Parameter, ShortenedNames)
{
    std::unique_ptr<FloatParameter> p(MakeFloat());
    p->AddShortenedName(AAX_CString("Gn"));
    p->AddShortenedName(AAX_CString("Ga"));
    p->AddShortenedName(AAX_CString("Gai"));
    EXPECT_STREQ(p->ShortenedName(2).Get(), "Ga");
    EXPECT_STREQ(p->ShortenedName(1).Get(), "Ga");
    EXPECT_STREQ(p->ShortenedName(3).Get(), "Gai");
    EXPECT_STREQ(p->ShortenedName(5).Get(), "Gain");
    EXPECT_STREQ(p->ShortenedName(-1).Get(), "Gain");
    p->ClearShortenedNames();
    EXPECT_STREQ(p->ShortenedName(2).Get(), "Gain");
}
