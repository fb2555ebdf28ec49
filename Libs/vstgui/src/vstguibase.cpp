#include "vstgui/lib/vstguibase.h"

namespace VSTGUI
{

void CBaseObject::forget()
{
    if (nbReference <= 0) return; // already gone through forget(); never delete twice
    if (--nbReference == 0)
    {
        beforeDelete();
        delete this;
    }
}

} // namespace VSTGUI
