#pragma once
// Names a resource of the bundle that gBundleRef points to.

#include "vstgui/lib/vstguibase.h"

namespace VSTGUI
{

class CResourceDescription
{
public:
    enum
    {
        kIntegerType,
        kStringType,
        kUnknownType
    };

    CResourceDescription() : type(kUnknownType) { u.name = nullptr; }
    CResourceDescription(int32_t id) : type(kIntegerType) { u.id = id; }
    // The name is not copied: it must outlive the description (string literals do).
    CResourceDescription(UTF8StringPtr name) : type(kStringType) { u.name = name; }

    int32_t type;
    union
    {
        int32_t id;
        UTF8StringPtr name;
    } u;
};

} // namespace VSTGUI
