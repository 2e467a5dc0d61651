// The core object's component server.
#include "outside/coreobject/core_object.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_CoreObject, "Marivel Core Object", &plat::CreateComObject<CCoreObject>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
