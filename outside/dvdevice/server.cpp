// The DV component's server: one class under the component's class id.
#include "outside/dvdevice/dv_device.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_DvDevice, "Kestrovia DV device", &plat::CreateComObject<CDvDevice>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
