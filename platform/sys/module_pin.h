// Keeps a loaded module (a component server or engine library) mapped for the
// rest of the process. Libraries such as GStreamer and the disc libraries
// start threads and keep process-wide state from their first use on;
// unloading the module that started them would unmap code and thread-local
// data those threads still use.
#pragma once

#include <dlfcn.h>

namespace plat {

// `codeInModule`: the address of any function of the module to keep. Harmless
// where that code lies in the program itself rather than a loaded module.
inline bool KeepModuleLoaded(const void* codeInModule) {
  Dl_info info{};
  if (!dladdr(codeInModule, &info) || !info.dli_fname) return false;
  // RTLD_NOLOAD: only the module already loaded; RTLD_NODELETE: never
  // unmapped, whatever its reference count says later.
  return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}

}  // namespace plat
