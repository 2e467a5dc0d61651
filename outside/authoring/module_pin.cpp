#include "outside/authoring/module_pin.h"

#include "platform/sys/module_pin.h"

namespace authoring {

void KeepThisModuleLoaded() {
  static const bool pinned = plat::KeepModuleLoaded(reinterpret_cast<const void*>(&KeepThisModuleLoaded));
  (void)pinned;
}

}  // namespace authoring
