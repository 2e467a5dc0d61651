// Loaded libraries and the services that hold addresses inside them.
//
// A service that keeps code addresses supplied by a library (a window class's
// procedure, a window's procedure) registers a releaser. Before a library is
// unloaded its loader asks every releaser to let go of what belongs to that
// library; a releaser that cannot (a window of another thread still uses the
// library) answers false and the library stays loaded.
#pragma once

#include <cstdint>
#include <functional>

namespace plat {

// A loaded module (the executable or a shared library): an opaque identity,
// the same for every address inside it. Null for an address in no module.
using ModuleId = const void*;

ModuleId ModuleOfAddress(const void* address);
// The module of a handle from dlopen.
ModuleId ModuleOfHandle(void* dlHandle);

using ModuleReleaser = std::function<bool(ModuleId module)>;
using ModuleReleaserId = std::uint64_t;

ModuleReleaserId AddModuleReleaser(ModuleReleaser releaser);
void RemoveModuleReleaser(ModuleReleaserId id);

// Runs every releaser for `module` (each one, even after a refusal); true
// when all of them let go and the library may be unloaded.
bool ReleaseModule(ModuleId module);

}  // namespace plat
