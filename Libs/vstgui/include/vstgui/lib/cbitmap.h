#pragma once
// A bitmap loaded as PNG from the bound bundle's resources, or created blank.

#include "vstgui/lib/cresourcedescription.h"
#include "vstgui/lib/crect.h"

#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI
{

// Called on the editor thread only.
class CBitmap : public CBaseObject
{
public:
    // Loads "<gBundleRef->resourcesPath>/<name>" (or the name itself when it is an absolute
    // path). A bitmap that fails to load has size 0 x 0, isLoaded() false and draws nothing.
    CBitmap(const CResourceDescription& desc);
    // A blank (transparent) bitmap of the given size.
    CBitmap(CCoord width, CCoord height);
    ~CBitmap() override;

    // Draws the part of the bitmap starting at `offset` into `rect`.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0),
                      float alpha = 1.f);

    virtual CCoord getWidth() const { return width; }
    virtual CCoord getHeight() const { return height; }
    bool isLoaded() const { return surface != nullptr; }
    const CResourceDescription& getResourceDescription() const { return resourceDesc; }
    // The path the bitmap was loaded from (empty for a blank bitmap).
    const std::string& getPath() const { return path; }

    cairo_surface_t* getCairoSurface() const { return surface; }

    // Number of PNG files read by all bitmaps of the process so far.
    static int32_t getLoadCount();

private:
    CResourceDescription resourceDesc;
    std::string path;
    cairo_surface_t* surface{nullptr};
    CCoord width{0};
    CCoord height{0};
};

} // namespace VSTGUI
