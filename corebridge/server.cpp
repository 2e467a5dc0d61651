// The corebridge component server: one class, the UI-system object.
#include "corebridge/core/ui_system_object.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_UISystem, "Kestrovia Marivel UI system", &CreateUISystem, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
