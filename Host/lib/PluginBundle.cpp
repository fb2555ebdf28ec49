#include "PluginBundle.h"

#include "DescriptionValidator.h"
#include "HostError.h"

#include <dlfcn.h>

#include <filesystem>

namespace tavelo::host
{

namespace
{
template <class Proc> Proc LookUp(void* inLibrary, const char* inName, const std::string& inPath)
{
    void* symbol = dlsym(inLibrary, inName);
    if (!symbol) throw HostError("bundle " + inPath + " does not export " + inName);
    return reinterpret_cast<Proc>(symbol);
}
} // namespace

std::string DescribeResult(int32_t inResult)
{
    char text[48];
    std::snprintf(text, sizeof text, "%d (0x%08x)", int(inResult), unsigned(inResult));
    return text;
}

std::string PluginBundle::DefaultBundlePath()
{
#ifdef TAVELO_DEFAULT_BUNDLE
    return TAVELO_DEFAULT_BUNDLE;
#else
    return "Tavelo1.aaxplugin";
#endif
}

std::string PluginBundle::BinaryPathFor(const std::string& inPath)
{
    namespace fs = std::filesystem;
    const fs::path path(inPath);
    std::error_code error;
    if (!fs::is_directory(path, error)) return inPath;
    fs::path bundle = path;
    if (!bundle.has_filename()) bundle = bundle.parent_path();
    return (bundle / "Contents" / "x86_64-linux" / (bundle.stem().string() + ".so")).string();
}

std::unique_ptr<PluginBundle> PluginBundle::Open(const std::string& inPath,
                                                 const BundleOptions& inOptions)
{
    std::unique_ptr<PluginBundle> bundle(new PluginBundle());
    bundle->mBundlePath = inPath;
    bundle->mBinaryPath = BinaryPathFor(inPath);
    if (!std::filesystem::exists(bundle->mBinaryPath))
        throw HostError("no plug-in binary at " + bundle->mBinaryPath);

    bundle->mLibrary = dlopen(bundle->mBinaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!bundle->mLibrary)
    {
        const char* reason = dlerror();
        throw HostError("cannot load " + bundle->mBinaryPath + ": " + (reason ? reason : "?"));
    }
    try
    {
        void* lib = bundle->mLibrary;
        const std::string& path = bundle->mBinaryPath;
        EntryPoints& entries = bundle->mEntries;
        entries.registerPlugin = LookUp<ACFRegisterPluginProc>(lib, "ACFRegisterPlugin", path);
        entries.registerComponent =
            LookUp<ACFRegisterComponentProc>(lib, "ACFRegisterComponent", path);
        entries.getClassFactory = LookUp<ACFGetClassFactoryProc>(lib, "ACFGetClassFactory", path);
        entries.canUnloadNow = LookUp<ACFCanUnloadNowProc>(lib, "ACFCanUnloadNow", path);
        entries.startup = LookUp<ACFStartupProc>(lib, "ACFStartup", path);
        entries.shutdown = LookUp<ACFShutdownProc>(lib, "ACFShutdown", path);
        entries.getSDKVersion = LookUp<ACFGetSDKVersionProc>(lib, "ACFGetSDKVersion", path);
    }
    catch (...)
    {
        dlclose(bundle->mLibrary);
        bundle->mLibrary = nullptr;
        throw;
    }
    bundle->mRoot = Ref<HostRoot>::Adopt(HostRoot::Create(inOptions.faults));
    bundle->mRoot->Services().SetEcho(inOptions.echo);
    return bundle;
}

std::unique_ptr<PluginBundle> PluginBundle::Load(const std::string& inPath,
                                                 const BundleOptions& inOptions)
{
    std::unique_ptr<PluginBundle> bundle = Open(inPath, inOptions);
    acfResult result = bundle->mEntries.getSDKVersion(&bundle->mSDKVersion);
    if (result != ACF_OK) throw HostError("ACFGetSDKVersion failed with " + DescribeResult(result));
    result = bundle->Startup();
    if (result != ACF_OK) throw HostError("ACFStartup failed with " + DescribeResult(result));
    result = bundle->Register();
    if (result != ACF_OK)
        throw HostError("ACFRegisterPlugin failed with " + DescribeResult(result));
    const std::vector<std::string> problems = bundle->Validate();
    if (!problems.empty())
    {
        std::string message = "bundle " + bundle->mBundlePath + " refused:";
        for (const std::string& problem : problems)
            message += "\n  " + problem;
        throw HostError(message);
    }
    return bundle;
}

PluginBundle::~PluginBundle()
{
    Unload();
}

acfResult PluginBundle::Startup()
{
    const acfResult result = mEntries.startup(HostObject());
    mStarted = true;
    return result;
}

acfResult PluginBundle::Register()
{
    if (mPluginDefinition)
    {
        mPluginDefinition->Release();
        mPluginDefinition = nullptr;
    }
    return mEntries.registerPlugin(HostObject(), &mPluginDefinition);
}

std::vector<std::string> PluginBundle::Validate() const
{
    return ValidateDescription(Description());
}

acfResult PluginBundle::Unload()
{
    if (!mLibrary) return ACF_OK;
    if (mPluginDefinition)
    {
        mPluginDefinition->Release();
        mPluginDefinition = nullptr;
    }
    const acfResult alive = mEntries.canUnloadNow(HostObject());
    if (mStarted) mEntries.shutdown(HostObject());
    mStarted = false;
    if (alive != 0)
    {
        // Objects of the bundle are still alive: their code must stay mapped.
        std::fprintf(stderr, "tavelo host: %d plug-in object(s) still alive; %s stays loaded\n",
                     int(alive), mBinaryPath.c_str());
        mLibrary = nullptr;
        return alive;
    }
    dlclose(mLibrary);
    mLibrary = nullptr;
    return ACF_OK;
}

const CollectionRecord& PluginBundle::Description() const
{
    static const CollectionRecord kEmpty;
    HostCollection* collection = mRoot ? mRoot->LastCollection() : nullptr;
    return collection ? collection->Record() : kEmpty;
}

const EffectRecord& PluginBundle::Effect() const
{
    const CollectionRecord& description = Description();
    if (description.effects.empty())
        throw HostError("bundle " + mBundlePath + " registered no effect");
    return description.effects.front();
}

const ComponentRecord* PluginBundle::Component(AAX_EStemFormat inStemFormat) const
{
    const CollectionRecord& description = Description();
    return description.effects.empty() ? nullptr
                                       : description.effects.front().Component(inStemFormat);
}

AAX_CProcessProc PluginBundle::RenderCallback(AAX_EStemFormat inStemFormat) const
{
    const ComponentRecord* component = Component(inStemFormat);
    const ProcessProcRecord* proc = component ? component->NativeProcessProc() : nullptr;
    return proc ? proc->processProc : nullptr;
}

AAX_CCreateObjectProc PluginBundle::DataModelFactory() const
{
    return reinterpret_cast<AAX_CCreateObjectProc>(
        Effect().ProcPtr(AAX_eProcPtrID_Create_EffectParameters));
}

AAX_CCreateObjectProc PluginBundle::EditorFactory() const
{
    return reinterpret_cast<AAX_CCreateObjectProc>(
        Effect().ProcPtr(AAX_eProcPtrID_Create_EffectGUI));
}

IACFUnknown* PluginBundle::HostObject() const
{
    return static_cast<IACFComponentFactory*>(mRoot.Get());
}

std::string PluginBundle::ResourcesPath() const
{
    namespace fs = std::filesystem;
    return (fs::path(mBinaryPath).parent_path().parent_path() / "Resources").string();
}

} // namespace tavelo::host
