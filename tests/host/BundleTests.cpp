// The built bundle through the stand-in host: what it describes, how it fails when the host
// misbehaves, its reference counting across the boundary, and what it exports.
#include "AAX_UIDs.h"
#include "HostError.h"
#include "PluginBundle.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

using namespace tavelo::host;

namespace
{
const std::string kBundle = TAVELO_DEFAULT_BUNDLE;
const acfResult kUnexpected = static_cast<acfResult>(0x8000FFFFu);
// First character in the most significant byte.
static_assert(AAX_FourCC("DudE") == 0x44756445u);

struct ExpectedProperty
{
    int32_t number;
    AAX_CPropertyValue value;
};

std::vector<ExpectedProperty> ExpectedProperties(AAX_EStemFormat inStem)
{
    const bool mono = inStem == AAX_eStemFormat_Mono;
    return {{11, AAX_CPropertyValue(AAX_FourCC("Quor"))},
            {12, AAX_CPropertyValue(AAX_FourCC("DudE"))},
            {60, 1},
            {56, 0},
            {51, inStem},
            {52, inStem},
            {13, AAX_CPropertyValue(AAX_FourCC(mono ? "DARm" : "DARs"))},
            {14, AAX_CPropertyValue(AAX_FourCC(mono ? "DAAm" : "DAAs"))},
            {63, mono ? 1453 : 1507},
            {62, mono ? 250 : 322},
            {15, AAX_CPropertyValue(AAX_FourCC(mono ? "DATm" : "DATs"))},
            {54, 2}};
}

// The loaded binary that holds an address.
std::string ImageOf(const void* inAddress)
{
    Dl_info info{};
    if (!inAddress || !dladdr(inAddress, &info) || !info.dli_fname) return "";
    return info.dli_fname;
}

std::vector<std::string> TraceTexts(HostServices& inServices)
{
    std::vector<std::string> texts;
    for (const TraceMessage& trace : inServices.Traces())
        texts.push_back(trace.text);
    return texts;
}

// Opens and starts the bundle over a host with the given faults, then registers it.
struct Registration
{
    std::unique_ptr<PluginBundle> bundle;
    acfResult result = 0;
};

Registration RegisterWith(const HostFaults& inFaults)
{
    BundleOptions options;
    options.faults = inFaults;
    Registration registration;
    registration.bundle = PluginBundle::Open(kBundle, options);
    EXPECT_EQ(registration.bundle->Startup(), ACF_OK);
    registration.result = registration.bundle->Register();
    return registration;
}
} // namespace

TEST(BundleDescriptionTest, LoadedBundleDescribesTheEffectExactly)
{
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Load(kBundle);
    EXPECT_EQ(bundle->SDKVersion(), 0x00000204013449EAull);
    const CollectionRecord& description = bundle->Description();
    EXPECT_EQ(description.manufacturerName, "Quorva");
    EXPECT_EQ(description.packageNames,
              (std::vector<std::string>{"Tavelo1 AAX Plug-In", "Tavelo1 Plug-In", "Tav1", "Tav1"}));
    EXPECT_EQ(description.packageVersion, 1u);

    const EffectRecord& effect = bundle->Effect();
    EXPECT_EQ(effect.effectID, "com.quorva.aax.Tavelo1");
    EXPECT_EQ(effect.names, (std::vector<std::string>{"Tavelo1", "Tavelo1", "Tav1", "Tav1", "T1"}));
    EXPECT_EQ(effect.categories, std::vector<uint32_t>{2});
    ASSERT_EQ(effect.resources.size(), 1u);
    EXPECT_EQ(effect.resources[0].type, 1);
    EXPECT_EQ(effect.resources[0].info, "DudE.xml");
    ASSERT_EQ(effect.procPtrs.size(), 2u);
    EXPECT_EQ(effect.procPtrs[0].first, 0u);
    EXPECT_EQ(effect.procPtrs[1].first, 1u);
    EXPECT_EQ(ImageOf(effect.procPtrs[0].second), bundle->BinaryPath());
    EXPECT_EQ(ImageOf(effect.procPtrs[1].second), bundle->BinaryPath());

    ASSERT_EQ(effect.components.size(), 2u);
    const AAX_EStemFormat stems[] = {AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo};
    for (int c = 0; c < 2; ++c)
    {
        SCOPED_TRACE(c == 0 ? "mono" : "stereo");
        const ComponentRecord& component = effect.components[c];
        EXPECT_EQ(component.StemFormat(), stems[c]);

        struct
        {
            AAX_CFieldIndex index;
            AAX_EFieldKind kind;
            int64_t size;
        } const fields[] = {{9, AAX_eFieldKind_AudioIn, 0},
                            {10, AAX_eFieldKind_AudioOut, 0},
                            {11, AAX_eFieldKind_AudioBufferLength, 0},
                            {12, AAX_eFieldKind_SampleRate, 0},
                            {0, AAX_eFieldKind_DataInPort, 4},
                            {1, AAX_eFieldKind_DataInPort, 8},
                            {2, AAX_eFieldKind_DataInPort, 4},
                            {3, AAX_eFieldKind_DataInPort, 4},
                            {4, AAX_eFieldKind_DataInPort, 4},
                            {5, AAX_eFieldKind_DataInPort, 4},
                            {6, AAX_eFieldKind_DataInPort, 4},
                            {7, AAX_eFieldKind_DataInPort, 1616},
                            {13, AAX_eFieldKind_MIDINode, 0},
                            {14, AAX_eFieldKind_PrivateData, 17644544},
                            {8, AAX_eFieldKind_PrivateData, 816}};
        ASSERT_EQ(component.fields.size(), 15u);
        for (size_t i = 0; i < 15; ++i)
        {
            const FieldRecord& field = component.fields[i];
            EXPECT_EQ(field.index, fields[i].index) << "order " << i;
            EXPECT_EQ(field.kind, fields[i].kind) << "order " << i;
            EXPECT_EQ(field.size, fields[i].size) << "order " << i;
            if (field.kind == AAX_eFieldKind_DataInPort)
            {
                EXPECT_EQ(field.portType, 1);
            }
            if (field.kind == AAX_eFieldKind_PrivateData)
            {
                EXPECT_EQ(field.options, 0u);
            }
        }
        const FieldRecord& midi = component.fields[12];
        EXPECT_EQ(midi.name, "Tavelo1MIDI");
        EXPECT_EQ(midi.channelMask, 0xFFFFu);
        EXPECT_EQ(midi.nodeType, 0);

        ASSERT_EQ(component.processProcs.size(), 1u);
        const ProcessProcRecord& proc = component.processProcs[0];
        EXPECT_TRUE(proc.native);
        EXPECT_EQ(ImageOf(reinterpret_cast<void*>(proc.processProc)), bundle->BinaryPath());
        EXPECT_EQ(proc.instanceInitProc, nullptr);
        EXPECT_EQ(proc.backgroundProc, nullptr);
        const std::vector<ExpectedProperty> expected = ExpectedProperties(stems[c]);
        ASSERT_EQ(proc.properties.entries.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
        {
            EXPECT_EQ(proc.properties.entries[i].number, expected[i].number) << "order " << i;
            EXPECT_EQ(proc.properties.entries[i].value, expected[i].value) << "order " << i;
            EXPECT_FALSE(proc.properties.entries[i].isPointer);
        }
    }
    EXPECT_NE(bundle->RenderCallback(AAX_eStemFormat_Mono),
              bundle->RenderCallback(AAX_eStemFormat_Stereo));
    EXPECT_TRUE(bundle->Services().Assertions().empty());
    EXPECT_TRUE(bundle->Services().Traces().empty());
    EXPECT_EQ(bundle->Unload(), ACF_OK);
}

TEST(BundleDescriptionTest, AnOlderComponentDescriptorStillGetsTheFullDescription)
{
    HostFaults faults;
    faults.componentDescriptorV2 = false;
    BundleOptions options;
    options.faults = faults;
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Load(kBundle, options);
    EXPECT_EQ(bundle->Effect().components.size(), 2u);
    EXPECT_TRUE(bundle->Services().Assertions().empty());
}

TEST(BundleExportsTest, ExportsExactlyTheSevenEntryPoints)
{
    const std::string command =
        "nm -D --defined-only '" + PluginBundle::BinaryPathFor(kBundle) + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
    {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3)
        {
            const std::string symbol = name;
            // Type information may be exported for exceptions crossing the boundary.
            if (symbol.rfind("_ZTI", 0) != 0 && symbol.rfind("_ZTS", 0) != 0)
                symbols.insert(symbol);
        }
    }
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(symbols, (std::set<std::string>{"ACFCanUnloadNow", "ACFGetClassFactory",
                                              "ACFGetSDKVersion", "ACFRegisterComponent",
                                              "ACFRegisterPlugin", "ACFShutdown", "ACFStartup"}));
}

// ---- A host that misbehaves on purpose ---------------------------------------------------------

TEST(BundleFailureTest, NoEffectDescriptorStillSetsManufacturerAndPackage)
{
    HostFaults faults;
    faults.noEffectDescriptor = true;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, AAX_ERROR_NULL_OBJECT);
    const CollectionRecord& description = r.bundle->Description();
    EXPECT_TRUE(description.effects.empty());
    EXPECT_EQ(description.manufacturerName, "Quorva");
    EXPECT_EQ(description.packageNames.size(), 4u);
    EXPECT_EQ(description.packageVersion, 1u);
    EXPECT_TRUE(r.bundle->Services().Assertions().empty());
}

TEST(BundleFailureTest, NoComponentDescriptorReportsLine307)
{
    HostFaults faults;
    faults.noComponentDescriptor = true;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, AAX_ERROR_NULL_OBJECT);
    const auto reports = r.bundle->Services().Assertions();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].file, "Source/RovuRiza_Describe");
    EXPECT_EQ(reports[0].line, 307);
    EXPECT_EQ(reports[0].note, "result == AAX_SUCCESS");
    EXPECT_EQ(reports[0].flags, 1);
    EXPECT_EQ(r.bundle->Description().manufacturerName, "Quorva");
}

TEST(BundleFailureTest, FailingAddComponentReportsBothConfigurationsAndIsRefused)
{
    HostFaults faults;
    faults.addComponentResult = AAX_ERROR_NULL_COMPONENT;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, ACF_OK);
    const auto reports = r.bundle->Services().Assertions();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].line, 188);
    EXPECT_EQ(reports[1].line, 194);
    EXPECT_EQ(reports[0].note, "err == AAX_SUCCESS");

    BundleOptions options;
    options.faults = faults;
    try
    {
        PluginBundle::Load(kBundle, options);
        FAIL() << "the bundle was accepted";
    }
    catch (const HostError& error)
    {
        const std::string message = error.what();
        EXPECT_NE(message.find("no component for the mono stem format"), std::string::npos)
            << message;
        EXPECT_NE(message.find("no component for the stereo stem format"), std::string::npos)
            << message;
    }
}

TEST(BundleFailureTest, EveryRefusedFieldCallbackAndFactoryIsReportedWithItsLine)
{
    HostFaults faults;
    faults.addFieldResult = AAX_ERROR_INVALID_FIELD_INDEX;
    faults.addProcessProcResult = AAX_ERROR_NULL_COMPONENT;
    faults.addProcPtrResult = AAX_ERROR_INVALID_ARGUMENT;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, ACF_OK);
    std::vector<int32_t> lines;
    for (const AssertionReport& report : r.bundle->Services().Assertions())
    {
        EXPECT_EQ(report.file, "Source/RovuRiza_Describe");
        EXPECT_EQ(report.note, "err == AAX_SUCCESS");
        lines.push_back(report.line);
    }
    const std::vector<int32_t> fieldLines = {48, 49, 50, 54, 60, 62, 65, 66,
                                             67, 69, 71, 73, 76, 86, 89};
    std::vector<int32_t> expected = fieldLines;
    expected.push_back(120);
    expected.insert(expected.end(), fieldLines.begin(), fieldLines.end());
    expected.push_back(146);
    expected.push_back(199); // the editor factory's result is not checked
    EXPECT_EQ(lines, expected);
}

TEST(BundleFailureTest, NoPluginDefinitionGivesNullObjectAfterTwoTraces)
{
    HostFaults faults;
    faults.noPluginDefinition = true;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(r.bundle->PluginDefinition(), nullptr);
    EXPECT_EQ(TraceTexts(r.bundle->Services()),
              (std::vector<std::string>{
                  "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)",
                  "AAXRegisterPlugin exception caught: AAX_ERROR_NULL_OBJECT (-20004)"}));
    // The effect itself was described completely before the query failed.
    EXPECT_EQ(r.bundle->Effect().components.size(), 2u);
}

TEST(BundleFailureTest, NoPropertyMapReportsPropertiesAtLine95AndIsRefused)
{
    HostFaults faults;
    faults.noPropertyMap = true;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, ACF_OK);
    const auto reports = r.bundle->Services().Assertions();
    ASSERT_EQ(reports.size(), 2u);
    for (const AssertionReport& report : reports)
    {
        EXPECT_EQ(report.line, 95);
        EXPECT_EQ(report.note, "properties");
    }
    // Fields are declared; callbacks and properties are not.
    ASSERT_EQ(r.bundle->Effect().components.size(), 2u);
    EXPECT_EQ(r.bundle->Effect().components[0].fields.size(), 15u);
    EXPECT_TRUE(r.bundle->Effect().components[0].processProcs.empty());
    const std::vector<std::string> problems = r.bundle->Validate();
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0], "component 0 (stem format 0): no native render callback is registered");
}

TEST(BundleFailureTest, RefusedEffectReportsLine307AndReturnsTheHostsCode)
{
    HostFaults faults;
    faults.addEffectResult = AAX_ERROR_DUPLICATE_EFFECT_ID;
    Registration r = RegisterWith(faults);
    EXPECT_EQ(r.result, AAX_ERROR_DUPLICATE_EFFECT_ID);
    const auto reports = r.bundle->Services().Assertions();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].line, 307);
}

TEST(BundleFailureTest, ExceptionsFromTheHostNeverUnwindIntoIt)
{
    HostFaults throwing;
    throwing.throwFromQueryInterface = true;
    BundleOptions options;
    options.faults = throwing;
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Open(kBundle, options);
    EXPECT_EQ(bundle->Startup(), kUnexpected);
    EXPECT_EQ(bundle->Register(), AAX_ERROR_UNKNOWN_EXCEPTION);
    bundle.reset();

    HostFaults tracing;
    tracing.throwFromTrace = true;
    tracing.noPluginDefinition = true;
    Registration r = RegisterWith(tracing);
    EXPECT_EQ(r.result, kUnexpected);
}

// ---- Life cycle across the boundary
// --------------------------------------------------------------

TEST(BundleLifecycleTest, CanUnloadOnlyWhenNoPluginObjectIsAlive)
{
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Load(kBundle);
    const auto& entries = bundle->Entries();
    EXPECT_EQ(entries.canUnloadNow(bundle->HostObject()), 0);
    IACFUnknown* editor = bundle->EditorFactory()();
    ASSERT_NE(editor, nullptr);
    editor->AddRef();
    EXPECT_EQ(entries.canUnloadNow(bundle->HostObject()), 1);
    editor->Release();
    EXPECT_EQ(entries.canUnloadNow(bundle->HostObject()), 0);
    EXPECT_EQ(bundle->Unload(), ACF_OK);
    EXPECT_FALSE(bundle->IsLoaded());
}

TEST(BundleLifecycleTest, SecondStartKeepsTheFirstHostAndShutdownSilencesTraces)
{
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Load(kBundle);
    const auto& entries = bundle->Entries();
    HostFaults faults;
    faults.noPluginDefinition = true;
    auto second = Ref<HostRoot>::Adopt(HostRoot::Create(faults));
    IACFUnknown* secondHost = static_cast<IACFComponentFactory*>(second.Get());

    EXPECT_EQ(entries.startup(secondHost), ACF_OK);
    IACFPluginDefinition* definition = nullptr;
    EXPECT_EQ(entries.registerPlugin(secondHost, &definition), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(bundle->Services().Traces().size(), 2u);
    EXPECT_TRUE(second->Services().Traces().empty());

    EXPECT_EQ(entries.shutdown(nullptr), ACF_OK);
    EXPECT_EQ(entries.registerPlugin(secondHost, &definition), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(bundle->Services().Traces().size(), 2u);
    EXPECT_TRUE(second->Services().Traces().empty());
}

TEST(BundleLifecycleTest, ClassFactoryAndComponentsAreNotOffered)
{
    std::unique_ptr<PluginBundle> bundle = PluginBundle::Load(kBundle);
    const auto& entries = bundle->Entries();
    void* factory = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(
        entries.getClassFactory(bundle->HostObject(), IID_IACFUnknown, IID_IACFUnknown, &factory),
        AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(factory, nullptr);
    IACFComponentDefinition* component = reinterpret_cast<IACFComponentDefinition*>(0x1);
    EXPECT_EQ(entries.registerComponent(bundle->HostObject(), 0, &component), ACF_OK);
    EXPECT_EQ(component, nullptr);
}

TEST(BundleLifecycleTest, MissingBundleIsRefusedWithItsPath)
{
    try
    {
        PluginBundle::Load("/nonexistent/Nothing.aaxplugin");
        FAIL() << "loaded a missing bundle";
    }
    catch (const HostError& error)
    {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/Nothing.aaxplugin"),
                  std::string::npos);
    }
}
