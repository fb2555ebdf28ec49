#pragma once
// The toolkit's bundle reference on Linux.
//
// gBundleRef points to the BundleInfo of the plug-in bundle whose `Contents/Resources` folder
// named resources (bitmaps) are loaded from. It is a plain pointer that the toolkit never owns
// or frees; null means "not bound", and then only absolute resource paths load.
// bundleOfAddress() finds the bundle of the module (shared object) containing an address with
// dladdr: `<bundle>/Contents/<arch>/<name>.so` gives `<bundle>/Contents/Resources`. The
// BundleInfo it returns lives until the process ends.

#include "vstgui/lib/vstguibase.h"

#include <string>

namespace VSTGUI
{

struct BundleInfo
{
    std::string bundlePath;    // the bundle folder, e.g. ".../Tavelo1.aaxplugin"
    std::string resourcesPath; // its "Contents/Resources" folder
};

extern const BundleInfo* gBundleRef;

// Bundle of the module that contains `addressInModule`; null when the module cannot be found
// or has no `Contents/Resources` folder beside its binary folder. Not thread-safe against
// itself; call it from the editor thread.
const BundleInfo* bundleOfAddress(const void* addressInModule);

// A BundleInfo for an explicit Resources folder (tests, tools); lives until the process ends.
// Null when the folder does not exist.
const BundleInfo* bundleForResourcesPath(UTF8StringPtr resourcesPath);

} // namespace VSTGUI
