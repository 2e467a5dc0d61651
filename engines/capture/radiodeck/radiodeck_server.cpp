// The radio engine's component server: one class, created through the
// shared COM server scheme (class factory, aggregation, registration).
#include "engines/capture/radiodeck/radio_core.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_RadioCore, kRadioCoreName, &plat::CreateComObject<CRadioCore>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
