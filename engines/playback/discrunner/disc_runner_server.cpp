// The DVD engine's component server: one class, created through the shared
// COM server scheme (class factory, aggregation, registration).
#include "engines/playback/discrunner/disc_runner.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_DiscRunner, "Kestrovia DVD Engine", &plat::CreateComObject<CDiscRunner>, "Apartment"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
