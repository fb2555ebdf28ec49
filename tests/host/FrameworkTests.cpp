// The framework's shell towards the host, in-process: reference counting, the host-services
// facade, result checking and names, and registration's exception handling. The effect
// description is replaced by a stub whose behaviour each test chooses.
#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_Exception.h"
#include "AAX_ICollection.h"
#include "AAX_Init.h"
#include "AAX_UIDs.h"
#include "CACFUnknown.h"
#include "HostRoot.h"
#include "acfentrypoints.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tavelo::host;

// What the stubbed description does; reset by every test that uses it.
static std::function<AAX_Result(AAX_ICollection*)> gDescribe = [](AAX_ICollection*)
{ return AAX_SUCCESS; };

AAX_Result GetEffectDescriptions(AAX_ICollection* outCollection)
{
    return gDescribe(outCollection);
}

namespace
{
// Starts the framework's host services over a fresh host and stops them again.
class HostServicesScope
{
public:
    explicit HostServicesScope(const HostFaults& inFaults = {})
        : mRoot(Ref<HostRoot>::Adopt(HostRoot::Create(inFaults)))
    {
        AAX_CHostServices::Set(Host());
    }
    ~HostServicesScope() { AAX_CHostServices::Set(nullptr); }
    IACFUnknown* Host() const { return static_cast<IACFComponentFactory*>(mRoot.Get()); }
    HostServices& Services() { return mRoot->Services(); }
    HostRoot& Root() { return *mRoot.Get(); }

private:
    Ref<HostRoot> mRoot;
};

class CountedObject : public CACFUnknown
{
public:
    explicit CountedObject(std::vector<std::string>& ioLog) : mLog(ioLog) {}
    ~CountedObject() override { mLog.push_back("destroyed"); }
    void FinalRelease() override { mLog.push_back("FinalRelease"); }
    void ReclaimMemory() override
    {
        mLog.push_back("ReclaimMemory");
        CACFUnknown::ReclaimMemory();
    }

private:
    std::vector<std::string>& mLog;
};
} // namespace

// ---- Reference counting ---------------------------------------------------------------------

TEST(CACFUnknownTest, LastReleaseFinalisesBeforeReclaimingAndCountsLiveObjects)
{
    const int32_t before = CACFUnknown::GetActiveObjectCount();
    std::vector<std::string> log;
    auto* object = new CountedObject(log);
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);
    EXPECT_EQ(AAXCanUnloadNow(nullptr), before + 1);

    IACFUnknown* inner = object->GetPrivateUnknown();
    EXPECT_EQ(inner->AddRef(), 1u);
    EXPECT_EQ(inner->AddRef(), 2u);
    EXPECT_EQ(inner->Release(), 1u);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(inner->Release(), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"FinalRelease", "ReclaimMemory", "destroyed"}));
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(CACFUnknownTest, AnswersOnlyTheRootIdentifierWithTheInnerInterface)
{
    std::vector<std::string> log;
    auto* object = new CountedObject(log);
    IACFUnknown* inner = object->GetPrivateUnknown();
    EXPECT_EQ(object->GetOuterUnknown(), inner);

    void* found = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(inner->QueryInterface(IID_IAAXEffectGUIV1, &found), ACF_E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(static_cast<uint32_t>(ACF_E_NOINTERFACE), 0x80000004u);

    // One byte off is a different identifier.
    acfUID almost = IID_IACFUnknown;
    almost.Data4[7] ^= 1;
    EXPECT_EQ(inner->QueryInterface(almost, &found), ACF_E_NOINTERFACE);

    ASSERT_EQ(inner->QueryInterface(IID_IACFUnknown, &found), ACF_OK);
    EXPECT_EQ(found, inner);
    EXPECT_EQ(object->GetRefCount(), 1u);
    EXPECT_EQ(static_cast<IACFUnknown*>(found)->Release(), 0u);
    EXPECT_EQ(log.back(), "destroyed");
}

TEST(CACFUnknownTest, AggregatedObjectSendsPublicCallsToItsOuterObject)
{
    std::vector<std::string> outerLog;
    auto* outer = new CountedObject(outerLog);
    struct Aggregated : CACFUnknown
    {
        explicit Aggregated(IACFUnknown* o) : CACFUnknown(o) {}
    };
    auto* aggregated = new Aggregated(outer->GetPrivateUnknown());
    EXPECT_EQ(aggregated->GetOuterUnknown(), outer->GetPrivateUnknown());
    outer->GetPrivateUnknown()->AddRef();
    aggregated->GetOuterUnknown()->AddRef();
    EXPECT_EQ(outer->GetRefCount(), 2u);
    EXPECT_EQ(aggregated->GetRefCount(), 0u);
    delete aggregated;
    outer->GetPrivateUnknown()->Release();
    outer->GetPrivateUnknown()->Release();
    EXPECT_EQ(outerLog.back(), "destroyed");
}

// ---- Host services facade ---------------------------------------------------------------------

TEST(HostServicesFacadeTest, DoesNothingWithoutAHost)
{
    AAX_CHostServices::Set(nullptr);
    EXPECT_EQ(AAX_CHostServices::Get(), nullptr);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "lost %d", 1), AAX_SUCCESS);
    EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("Source/X", 1, "x", 1), AAX_SUCCESS);
}

TEST(HostServicesFacadeTest, ForwardsFormattedTracesAndAssertionsToTheHost)
{
    HostServicesScope scope;
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "value %d of %s", 3, "x"),
              AAX_SUCCESS);
    EXPECT_EQ(
        AAX_CHostServices::HandleAssertFailure("Source/RovuRiza_Describe", 95, "properties", 1),
        AAX_SUCCESS);
    const auto traces = scope.Services().Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, 0x04000000);
    EXPECT_EQ(traces[0].text, "value 3 of x");
    const auto reports = scope.Services().Assertions();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].file, "Source/RovuRiza_Describe");
    EXPECT_EQ(reports[0].line, 95);
    EXPECT_EQ(reports[0].note, "properties");
    EXPECT_EQ(reports[0].flags, 1);
}

TEST(HostServicesFacadeTest, CutsLongTracesAndRefusesUnformattableOnes)
{
    HostServicesScope scope;
    const std::string longText(700, 'a');
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s", longText.c_str()),
              AAX_SUCCESS);
    ASSERT_EQ(scope.Services().Traces().size(), 1u);
    EXPECT_EQ(scope.Services().Traces()[0].text, std::string(511, 'a'));

    // A wide character the C locale cannot convert makes formatting fail.
    const wchar_t unconvertible[] = {wchar_t(0xD800), 0};
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%ls", unconvertible), -20051);
    EXPECT_EQ(scope.Services().Traces().size(), 1u);
}

TEST(HostServicesFacadeTest, SecondStartKeepsTheFirstHostAndShutdownSilencesEverything)
{
    HostServicesScope first;
    AAX_VHostServices* wrapper = AAX_CHostServices::Get();
    ASSERT_NE(wrapper, nullptr);
    auto second = Ref<HostRoot>::Adopt(HostRoot::Create());
    EXPECT_EQ(AAXStartup(static_cast<IACFComponentFactory*>(second.Get())), AAX_SUCCESS);
    EXPECT_EQ(AAX_CHostServices::Get(), wrapper);
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "to the first");
    EXPECT_EQ(first.Services().Traces().size(), 1u);
    EXPECT_TRUE(second->Services().Traces().empty());

    EXPECT_EQ(AAXShutdown(reinterpret_cast<IACFUnknown*>(0x1234)), AAX_SUCCESS);
    EXPECT_EQ(AAX_CHostServices::Get(), nullptr);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "after shutdown"), AAX_SUCCESS);
    EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("Source/X", 2, "y", 1), AAX_SUCCESS);
    EXPECT_EQ(first.Services().Traces().size(), 1u);
    EXPECT_TRUE(first.Services().Assertions().empty());
}

TEST(HostServicesFacadeTest, AnOlderHostTakesTracesButNotAssertionReports)
{
    HostFaults faults;
    faults.hostServicesVersion = 1;
    HostServicesScope scope(faults);
    EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("Source/X", 1, "x", 1), -20009);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "still traced"), AAX_SUCCESS);
    EXPECT_EQ(scope.Services().Traces().size(), 1u);
}

// ---- Result checking and names ------------------------------------------------------------------

TEST(ResultNamesTest, NamesEveryFrameworkCodeAndTheTwoRanges)
{
    EXPECT_STREQ(AAX::AsStringResult(0), "AAX_SUCCESS");
    EXPECT_STREQ(AAX::AsStringResult(-20004), "AAX_ERROR_NULL_OBJECT");
    EXPECT_STREQ(AAX::AsStringResult(-20017),
                 "AAX_ERROR_FIELD_TYPE_DOES_NOT_SUPPORT_DIRECT_ACCESS");
    EXPECT_STREQ(AAX::AsStringResult(-20028), "AAX_RESULT_NEW_PACKET_POSTED");
    EXPECT_STREQ(AAX::AsStringResult(-20046), "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW");
    // Every code from -20001 to -20046 has its own name.
    std::set<std::string> names;
    for (AAX_Result code = -20046; code <= -20001; ++code)
    {
        const std::string name = AAX::AsStringResult(code);
        EXPECT_EQ(name.rfind("AAX_", 0), 0u) << code;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 46u);

    for (AAX_Result code : {-20600, -20800, -21000})
        EXPECT_STREQ(AAX::AsStringResult(code), "plug-in defined error") << code;
    for (AAX_Result code : {-20599, -20047, -20051, -21001, 1, int32_t(0x8000FFFF)})
        EXPECT_STREQ(AAX::AsStringResult(code), "<unknown error code>") << code;
}

TEST(CheckedResultTest, AcceptsSuccessAndThrowsATracedResultErrorOtherwise)
{
    HostServicesScope scope;
    EXPECT_NO_THROW(AAX_CheckedResult(0));
    EXPECT_TRUE(scope.Services().Traces().empty());

    try
    {
        AAX_CheckedResult checked(AAX_ERROR_NOT_INITIALIZED);
        FAIL() << "no exception";
    }
    catch (const AAX::Exception::ResultError& error)
    {
        EXPECT_EQ(error.Result(), -20011);
        EXPECT_EQ(error.What(), "AAX_ERROR_NOT_INITIALIZED (-20011)");
    }
    const auto traces = scope.Services().Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].priority, 0x04000000);
    EXPECT_EQ(traces[0].text, "AAX_CheckedResult - throwing AAX_ERROR_NOT_INITIALIZED (-20011)");
}

TEST(CheckedResultTest, KeepsTheLastErrorAndHonoursAcceptedResults)
{
    AAX_CheckedResult checked;
    checked.AddAcceptedResult(AAX_RESULT_NEW_PACKET_POSTED);
    EXPECT_NO_THROW(checked = AAX_RESULT_NEW_PACKET_POSTED);
    EXPECT_EQ(AAX_Result(checked), AAX_RESULT_NEW_PACKET_POSTED);
    EXPECT_THROW(checked = AAX_ERROR_NULL_OBJECT, AAX::Exception::ResultError);
    EXPECT_EQ(checked.LastError(), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(AAX_Result(checked), AAX_SUCCESS);
    checked.ResetAcceptedResults();
    EXPECT_THROW(checked = AAX_RESULT_NEW_PACKET_POSTED, AAX::Exception::ResultError);
}

TEST(ExceptionTest, ComposesItsMessageFromTheFieldsThatAreSet)
{
    EXPECT_EQ(AAX::Exception::Any("plain").What(), "plain");
    EXPECT_EQ(AAX::Exception::Any("d", "f", "").What(), "d func:f");
    EXPECT_EQ(AAX::Exception::Any("d", "", "12").What(), "d line:12");
    EXPECT_EQ(AAX::Exception::Any("d", "f", "12").What(), "d func:f line:12");
    EXPECT_EQ(AAX::Exception::ResultError(-20700).What(), "plug-in defined error (-20700)");
}

// ---- Registration and the other entry points -----------------------------------------------

class RegistrationTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        gDescribe = [](AAX_ICollection*) { return AAX_SUCCESS; };
    }
    std::vector<std::string> TraceTexts(HostServices& inServices)
    {
        std::vector<std::string> texts;
        for (const TraceMessage& trace : inServices.Traces())
            texts.push_back(trace.text);
        return texts;
    }
};

TEST_F(RegistrationTest, HandsBackThePluginDefinitionOfTheHostsCollection)
{
    HostServicesScope scope;
    AAX_ICollection* seen = nullptr;
    gDescribe = [&](AAX_ICollection* collection)
    {
        seen = collection;
        return AAX_SUCCESS;
    };
    IACFPluginDefinition* definition = nullptr;
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), &definition), 0);
    ASSERT_NE(seen, nullptr);
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(static_cast<IACFUnknown*>(definition),
              static_cast<IACFUnknown*>(
                  static_cast<IACFPluginDefinition*>(scope.Root().LastCollection())));
    definition->Release();
    EXPECT_TRUE(scope.Services().Traces().empty());
}

TEST_F(RegistrationTest, FailingDescriptionReachesTheHostAsItsCodeAfterTwoTraces)
{
    HostServicesScope scope;
    gDescribe = [](AAX_ICollection*) { return AAX_ERROR_MALFORMED_CHUNK; };
    IACFPluginDefinition* definition = reinterpret_cast<IACFPluginDefinition*>(0x1);
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), &definition), -20026);
    EXPECT_EQ(TraceTexts(scope.Services()),
              (std::vector<std::string>{
                  "AAX_CheckedResult - throwing AAX_ERROR_MALFORMED_CHUNK (-20026)",
                  "AAXRegisterPlugin exception caught: AAX_ERROR_MALFORMED_CHUNK (-20026)"}));
    EXPECT_EQ(scope.Services().Traces()[1].priority, 0x08000000);
}

TEST_F(RegistrationTest, EveryKindOfExceptionBecomesUnknownException)
{
    HostServicesScope scope;
    IACFPluginDefinition* definition = nullptr;
    gDescribe = [](AAX_ICollection*) -> AAX_Result { throw AAX::Exception::Any("broken"); };
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), &definition), -20042);
    gDescribe = [](AAX_ICollection*) -> AAX_Result { throw std::length_error("too long"); };
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), &definition), -20042);
    gDescribe = [](AAX_ICollection*) -> AAX_Result { throw 42; };
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), &definition), -20042);
    EXPECT_EQ(TraceTexts(scope.Services()),
              (std::vector<std::string>{"AAXRegisterPlugin exception caught: broken",
                                        "AAXRegisterPlugin exception caught: too long",
                                        "AAXRegisterPlugin exception caught: unknown"}));
}

TEST_F(RegistrationTest, NullOutPointerIsRefusedInsteadOfWrittenThrough)
{
    HostServicesScope scope;
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), nullptr), AAX_ERROR_NULL_ARGUMENT);
    acfUInt64 version = 0;
    EXPECT_EQ(ACFGetSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(ACFGetSDKVersion(&version), 0);
    EXPECT_EQ(version, 0x00000204013449EAull);
    EXPECT_EQ(ACFGetClassFactory(scope.Host(), IID_IACFUnknown, IID_IACFUnknown, nullptr), -20009);
    EXPECT_EQ(ACFRegisterComponent(scope.Host(), 0, nullptr), 0);
}

TEST_F(RegistrationTest, AnExceptionFromTheHostNeverUnwindsThroughAnEntryPoint)
{
    // The trace service throws while registration reports its own failure.
    HostFaults faults;
    faults.throwFromTrace = true;
    HostServicesScope scope(faults);
    gDescribe = [](AAX_ICollection*) { return AAX_ERROR_NULL_OBJECT; };
    IACFPluginDefinition* definition = nullptr;
    EXPECT_EQ(ACFRegisterPlugin(scope.Host(), &definition), static_cast<acfResult>(0x8000FFFF));

    // The host object throws when asked for its host services at start-up.
    AAX_CHostServices::Set(nullptr);
    HostFaults throwing;
    throwing.throwFromQueryInterface = true;
    auto root = Ref<HostRoot>::Adopt(HostRoot::Create(throwing));
    EXPECT_EQ(ACFStartup(static_cast<IACFComponentFactory*>(root.Get())),
              static_cast<acfResult>(0x8000FFFF));
    EXPECT_EQ(AAX_CHostServices::Get(), nullptr);
}
