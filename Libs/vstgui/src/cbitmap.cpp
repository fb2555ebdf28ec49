#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cbundle.h"
#include "vstgui/lib/cdrawcontext.h"

#include <cairo.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <list>

namespace VSTGUI
{

const BundleInfo* gBundleRef = nullptr;

namespace
{

std::atomic<int32_t> pngLoads{0};

bool isDirectory(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentOf(const std::string& path)
{
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// BundleInfos live in a list so that their addresses never change; one per distinct folder.
std::list<BundleInfo>& knownBundles()
{
    static std::list<BundleInfo> bundles;
    return bundles;
}

const BundleInfo* rememberBundle(const std::string& bundlePath, const std::string& resourcesPath)
{
    for (const BundleInfo& b : knownBundles())
        if (b.resourcesPath == resourcesPath) return &b;
    knownBundles().push_back(BundleInfo{bundlePath, resourcesPath});
    return &knownBundles().back();
}

} // namespace

const BundleInfo* bundleOfAddress(const void* addressInModule)
{
    Dl_info info{};
    if (!addressInModule || dladdr(addressInModule, &info) == 0 || !info.dli_fname) return nullptr;
    char resolved[4096];
    std::string module = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    std::string binaryFolder = parentOf(module);         // <bundle>/Contents/<arch>
    std::string contentsFolder = parentOf(binaryFolder); // <bundle>/Contents
    std::string resources = contentsFolder + "/Resources";
    if (!isDirectory(resources)) return nullptr;
    return rememberBundle(parentOf(contentsFolder), resources);
}

const BundleInfo* bundleForResourcesPath(UTF8StringPtr resourcesPath)
{
    if (!resourcesPath || !isDirectory(resourcesPath)) return nullptr;
    std::string resources(resourcesPath);
    while (resources.size() > 1 && resources.back() == '/')
        resources.pop_back();
    return rememberBundle(parentOf(parentOf(resources)), resources);
}

CBitmap::CBitmap(const CResourceDescription& desc) : resourceDesc(desc)
{
    if (desc.type == CResourceDescription::kStringType && desc.u.name && *desc.u.name)
    {
        std::string name(desc.u.name);
        if (name[0] == '/')
            path = name;
        else if (gBundleRef)
            path = gBundleRef->resourcesPath + "/" + name;
    }
    else if (desc.type == CResourceDescription::kIntegerType && gBundleRef)
    {
        // Numbered resources are files named "bmpNNNNN.png", as on other platforms.
        char name[32];
        snprintf(name, sizeof name, "bmp%05d.png", static_cast<int>(desc.u.id));
        path = gBundleRef->resourcesPath + "/" + name;
    }
    if (path.empty()) return;
    ++pngLoads;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(s);
        return;
    }
    surface = s;
    width = cairo_image_surface_get_width(s);
    height = cairo_image_surface_get_height(s);
}

CBitmap::CBitmap(CCoord w, CCoord h)
{
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768) return;
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(s);
        return;
    }
    surface = s;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

CBitmap::~CBitmap()
{
    if (surface) cairo_surface_destroy(surface);
}

int32_t CBitmap::getLoadCount()
{
    return pngLoads.load();
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha)
{
    if (!surface || !context || rect.isEmpty()) return;
    cairo_t* cr = context->getCairo();
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, rect.left - offset.x, rect.top - offset.y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint_with_alpha(cr, alpha * context->getGlobalAlpha());
    cairo_restore(cr);
}

} // namespace VSTGUI
