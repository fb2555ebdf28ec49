// A plug-in bundle loaded by the stand-in host: dlopen, start-up, registration, the recorded
// and validated description, and unloading. Host non-real-time thread (the caller's); the
// factories and render callbacks it exposes are what the instance and renderer use.
#pragma once

#include "AAX.h"
#include "HostDescription.h"
#include "HostFaults.h"
#include "HostObject.h"
#include "HostRoot.h"
#include "acfentrypoints.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tavelo::host
{

struct BundleOptions
{
    HostFaults faults;
    std::FILE* echo = nullptr; // echo assertion reports and traces as they arrive
};

class PluginBundle
{
public:
    // Loads the bundle at inPath (the .aaxplugin folder, or its binary), starts it, registers
    // it and validates the description. Throws HostError naming what failed; a refused bundle
    // is shut down and closed again.
    static std::unique_ptr<PluginBundle> Load(const std::string& inPath,
                                              const BundleOptions& inOptions = {});
    // The first step alone: dlopen and look up the seven entry points (throws HostError).
    static std::unique_ptr<PluginBundle> Open(const std::string& inPath,
                                              const BundleOptions& inOptions = {});
    // The bundle this build produced.
    static std::string DefaultBundlePath();
    // Contents/x86_64-linux/<name>.so under a bundle folder; a file path is returned as given.
    static std::string BinaryPathFor(const std::string& inPath);

    ~PluginBundle();
    PluginBundle(const PluginBundle&) = delete;
    PluginBundle& operator=(const PluginBundle&) = delete;

    // Steps after Open, each returning the entry point's result.
    acfResult Startup();
    acfResult Register();
    std::vector<std::string> Validate() const;
    // ACFCanUnloadNow, ACFShutdown, then dlclose, but only when no plug-in object is alive
    // (otherwise the code stays mapped and the count is returned). Runs once.
    acfResult Unload();

    const CollectionRecord& Description() const;
    // The single effect; throws HostError when registration recorded none.
    const EffectRecord& Effect() const;
    // The component running inStemFormat, or null.
    const ComponentRecord* Component(AAX_EStemFormat inStemFormat) const;
    AAX_CProcessProc RenderCallback(AAX_EStemFormat inStemFormat) const;
    // Factories 0 (data model) and 1 (editor); each returns an object with no reference
    // counted yet: AddRef it on receipt and Release it when done.
    AAX_CCreateObjectProc DataModelFactory() const;
    AAX_CCreateObjectProc EditorFactory() const;

    HostServices& Services() { return mRoot->Services(); }
    // The host object given to start-up and registration.
    IACFUnknown* HostObject() const;
    IACFPluginDefinition* PluginDefinition() const { return mPluginDefinition; }

    const std::string& BundlePath() const { return mBundlePath; }
    const std::string& BinaryPath() const { return mBinaryPath; }
    std::string ResourcesPath() const;
    acfUInt64 SDKVersion() const { return mSDKVersion; }
    bool IsLoaded() const { return mLibrary != nullptr; }

    struct EntryPoints
    {
        ACFRegisterPluginProc registerPlugin = nullptr;
        ACFRegisterComponentProc registerComponent = nullptr;
        ACFGetClassFactoryProc getClassFactory = nullptr;
        ACFCanUnloadNowProc canUnloadNow = nullptr;
        ACFStartupProc startup = nullptr;
        ACFShutdownProc shutdown = nullptr;
        ACFGetSDKVersionProc getSDKVersion = nullptr;
    };
    const EntryPoints& Entries() const { return mEntries; }

private:
    PluginBundle() = default;

    std::string mBundlePath;
    std::string mBinaryPath;
    void* mLibrary = nullptr;
    EntryPoints mEntries;
    Ref<HostRoot> mRoot;
    IACFPluginDefinition* mPluginDefinition = nullptr;
    acfUInt64 mSDKVersion = 0;
    bool mStarted = false;
};

// A readable form of a result code for host messages: "-20004 (0xffffb1e4)".
std::string DescribeResult(int32_t inResult);

} // namespace tavelo::host
