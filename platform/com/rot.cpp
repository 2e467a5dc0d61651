#include "platform/com/rot.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace plat {
namespace {

struct RotEntry {
  DWORD cookie;
  std::string displayName;
  IUnknown* object;  // one reference held by the table
};

struct RunningObjectTable {
  std::mutex mutex;
  std::vector<RotEntry> entries;  // in registration order
  DWORD nextCookie = 1;
};

RunningObjectTable& Table() {
  // Never destroyed: entries still registered at exit are not released into
  // libraries that may be gone by then.
  static RunningObjectTable* table = new RunningObjectTable;
  return *table;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

std::string ClassMonikerDisplayName(REFCLSID clsid) {
  const std::string braced = GuidToString(clsid);
  return "clsid:" + braced.substr(1, braced.size() - 2) + ":";
}

HRESULT RotRegister(IUnknown* object, std::string_view displayName, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!object || displayName.empty()) return E_INVALIDARG;
  object->AddRef();
  RunningObjectTable& table = Table();
  std::lock_guard lock(table.mutex);
  const bool taken = std::ranges::any_of(table.entries, [&](const RotEntry& e) { return SameName(e.displayName, displayName); });
  // Cookie 0 means "none"; skip it when the counter wraps.
  if (table.nextCookie == 0) table.nextCookie = 1;
  *cookie = table.nextCookie++;
  table.entries.push_back({*cookie, std::string(displayName), object});
  return taken ? MK_S_MONIKERALREADYREGISTERED : S_OK;
}

HRESULT RotRevoke(DWORD cookie) {
  IUnknown* released = nullptr;
  {
    RunningObjectTable& table = Table();
    std::lock_guard lock(table.mutex);
    const auto found = std::ranges::find(table.entries, cookie, &RotEntry::cookie);
    if (found == table.entries.end()) return E_INVALIDARG;
    released = found->object;
    table.entries.erase(found);
  }
  // Outside the lock: the object's destruction may revoke other entries.
  released->Release();
  return S_OK;
}

HRESULT RotGetObject(std::string_view displayName, IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  RunningObjectTable& table = Table();
  std::lock_guard lock(table.mutex);
  const auto found =
      std::ranges::find_if(table.entries, [&](const RotEntry& e) { return SameName(e.displayName, displayName); });
  if (found == table.entries.end()) return MK_E_UNAVAILABLE;
  found->object->AddRef();
  *object = found->object;
  return S_OK;
}

}  // namespace plat
