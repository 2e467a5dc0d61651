// The camcorder engine's component server: one class, created through the
// shared COM server scheme (class factory, aggregation, registration).
#include "engines/capture/dvgrab/dv_grab.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_DvGrab, "Kestrovia DV grabber", &plat::CreateComObject<CDvGrab>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
