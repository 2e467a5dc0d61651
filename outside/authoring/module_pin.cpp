#include "outside/authoring/module_pin.h"

#include <dlfcn.h>

namespace authoring {

void KeepThisModuleLoaded() {
  static const bool pinned = [] {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&KeepThisModuleLoaded), &info) || !info.dli_fname) return false;
    // RTLD_NOLOAD: only the module already loaded; RTLD_NODELETE: never
    // unmapped, whatever its reference count says later.
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
  }();
  (void)pinned;
}

}  // namespace authoring
