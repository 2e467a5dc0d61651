// The mixer component server: one class, created through the shared COM
// server scheme (class factory, aggregation, registration).
#include "engines/playback/mixhost/mix_host.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_MixHost, "Kestrovia Mixer Wrapper", &plat::CreateComObject<CMixHost>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
