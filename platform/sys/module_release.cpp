#include "platform/sys/module_release.h"

#include <dlfcn.h>
#include <link.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace plat {
namespace {

struct Releasers {
  std::mutex mutex;
  ModuleReleaserId next = 1;
  std::map<ModuleReleaserId, ModuleReleaser> byId;
};

Releasers& Table() {
  // Never destroyed: libraries unload (and deregister) during exit too.
  static Releasers* table = new Releasers;
  return *table;
}

}  // namespace

ModuleId ModuleOfAddress(const void* address) {
  if (!address) return nullptr;
  Dl_info info{};
  link_map* map = nullptr;
  if (!dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP)) return nullptr;
  return map;
}

ModuleId ModuleOfHandle(void* dlHandle) {
  if (!dlHandle) return nullptr;
  link_map* map = nullptr;
  if (dlinfo(dlHandle, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
  return map;
}

ModuleReleaserId AddModuleReleaser(ModuleReleaser releaser) {
  Releasers& table = Table();
  std::lock_guard lock(table.mutex);
  const ModuleReleaserId id = table.next++;
  table.byId.emplace(id, std::move(releaser));
  return id;
}

void RemoveModuleReleaser(ModuleReleaserId id) {
  Releasers& table = Table();
  std::lock_guard lock(table.mutex);
  table.byId.erase(id);
}

bool ReleaseModule(ModuleId module) {
  if (!module) return true;
  std::vector<ModuleReleaser> releasers;
  {
    Releasers& table = Table();
    std::lock_guard lock(table.mutex);
    for (const auto& [id, releaser] : table.byId) releasers.push_back(releaser);
  }
  // Outside the lock: releasing destroys windows, whose procedures may load
  // or release other libraries.
  bool released = true;
  for (const ModuleReleaser& releaser : releasers) released = releaser(module) && released;
  return released;
}

}  // namespace plat
