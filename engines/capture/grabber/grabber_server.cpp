// The TV engine's component server: one class, created through the shared
// COM server scheme (class factory, aggregation, registration).
#include "engines/capture/grabber/grabber.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_Grabber, "Kestrovia grabber", &plat::CreateComObject<CGrabber>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
