#include "platform/sys/handles.h"

#include <mutex>
#include <unordered_map>

#include "platform/sys/last_error.h"

namespace plat {

namespace {

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
  // Handle values are never reused, so a stale handle cannot reach a new
  // object. They are multiples of 4, as code comparing handles expects.
  std::uintptr_t next = 0x1000;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object) {
  if (!object) return nullptr;
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  std::uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == table.objects.end() ? nullptr : it->second;
}

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<KernelObject> doomed;  // destroyed outside the lock
  {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table.objects.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    doomed = std::move(it->second);
    table.objects.erase(it);
  }
  return TRUE;
}

}  // namespace plat
