// The picture component server: one class, created through the shared COM
// server scheme (class factory, aggregation, registration).
#include "engines/picture/imagefx/image_fx.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_ImageFx, "Kestrovia LT Image Controller", &plat::CreateComObject<CImageFx>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
