// The slide-show renderer server: one class through the shared COM server scheme.
#include "engines/picture/slidedraw/slide_draw.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_SlideDraw, "Kestrovia Slide Show LT Renderer", &plat::CreateComObject<CSlideDraw>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
