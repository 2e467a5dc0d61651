// The registry API over the hive files. Handles are numbers from a table
// (never pointers, never reused), so a bogus or closed handle is recognised
// and refused. A handle names its key by path, so a key deleted meanwhile (by
// this or another process) is noticed on the next call.
#include "platform/registry/registry.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/registry/hive_file.h"
#include "platform/registry/hive_location.h"

namespace plat {
namespace {

using reg::HiveKind;
using reg::Key;

// Longest key name; longer names are refused so that a 256-character buffer
// always enumerates.
constexpr std::size_t kMaxKeyName = 255;

struct OpenKey {
  HiveKind hive = HiveKind::Machine;
  std::vector<std::string> path;
  REGSAM access = 0;
  // A root key: always there, cannot be deleted, closing it is a no-op.
  bool predefined = false;
};

class Registry {
 public:
  static Registry& Instance() {
    static Registry registry;
    return registry;
  }

  std::mutex mutex;

  std::optional<OpenKey> Resolve(HKEY key) const {
    if (key == HKEY_LOCAL_MACHINE) return OpenKey{HiveKind::Machine, {}, KEY_ALL_ACCESS, true};
    if (key == HKEY_CURRENT_USER) return OpenKey{HiveKind::User, {}, KEY_ALL_ACCESS, true};
    if (key == HKEY_CLASSES_ROOT) return OpenKey{HiveKind::Machine, {"Software", "Classes"}, KEY_ALL_ACCESS, true};
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == handles_.end()) return std::nullopt;
    return it->second;
  }

  HKEY Add(OpenKey key) {
    std::uintptr_t id = next_;
    next_ += 4;
    handles_.emplace(id, std::move(key));
    return reinterpret_cast<HKEY>(id);
  }

  bool Remove(HKEY key) { return handles_.erase(reinterpret_cast<std::uintptr_t>(key)) == 1; }

  reg::HiveFile& Hive(HiveKind kind) {
    std::string path = reg::HivePath(kind);
    auto it = hives_.find(path);
    if (it == hives_.end()) {
      std::vector<reg::HiveRoot> roots;
      if (kind == HiveKind::Machine) {
        roots = {{"HKEY_LOCAL_MACHINE", {}}, {"HKEY_CLASSES_ROOT", {"Software", "Classes"}}};
      } else {
        roots = {{"HKEY_CURRENT_USER", {}}};
      }
      it = hives_.emplace(path, std::make_unique<reg::HiveFile>(path, std::move(roots))).first;
    }
    return *it->second;
  }

  // The hive of `key`, brought up to date with its file.
  reg::HiveFile& FreshHive(const OpenKey& key) {
    reg::HiveFile& hive = Hive(key.hive);
    hive.Refresh();
    return hive;
  }

 private:
  Registry() = default;

  std::map<std::string, std::unique_ptr<reg::HiveFile>> hives_;
  std::unordered_map<std::uintptr_t, OpenKey> handles_;
  // Away from null, small integers and the root handles (0x80000000 and up).
  std::uintptr_t next_ = 0x10000;
};

// Splits "A\B\C" into its names; empty names (doubled or outer backslashes)
// are skipped. Names that are too long or hold a line break (which the hive
// text cannot carry) are refused.
LONG SplitPath(const char* subKey, std::vector<std::string>& out) {
  if (!subKey) return ERROR_SUCCESS;
  std::string_view rest(subKey);
  while (!rest.empty()) {
    std::size_t slash = rest.find('\\');
    std::string_view name = rest.substr(0, slash);
    if (name.size() > kMaxKeyName || name.find_first_of("\r\n") != std::string_view::npos)
      return ERROR_INVALID_PARAMETER;
    if (!name.empty()) out.emplace_back(name);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return ERROR_SUCCESS;
}

std::vector<std::string> Join(const std::vector<std::string>& base, const std::vector<std::string>& more) {
  std::vector<std::string> full = base;
  full.insert(full.end(), more.begin(), more.end());
  return full;
}

// The key behind an open handle, or the error for a key that is gone: a root
// stands for an empty key when its path is missing (`missingRoot`), any other
// key was deleted.
const Key* Locate(const Key& root, const OpenKey& key) { return root.Find(key.path); }
LONG GoneError(const OpenKey& key, LONG missingRoot) { return key.predefined ? missingRoot : ERROR_KEY_DELETED; }

bool CanWrite(REGSAM access) { return (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0; }

const char* NameOrDefault(const char* name) { return name ? name : ""; }

}  // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto parent = registry.Resolve(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  std::vector<std::string> steps;
  if (LONG error = SplitPath(subKey, steps)) return error;
  const Key& root = registry.FreshHive(*parent).root();
  if (!Locate(root, *parent)) return GoneError(*parent, ERROR_FILE_NOT_FOUND);
  OpenKey opened{parent->hive, Join(parent->path, steps), access, false};
  if (!root.Find(opened.path)) return ERROR_FILE_NOT_FOUND;
  *result = registry.Add(std::move(opened));
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char* keyClass, DWORD options,
                     REGSAM access, const void* security, HKEY* result, DWORD* disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto parent = registry.Resolve(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  if (!(parent->access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
  std::vector<std::string> steps;
  if (LONG error = SplitPath(subKey, steps)) return error;
  OpenKey opened{parent->hive, Join(parent->path, steps), access, false};

  reg::HiveFile& hive = registry.FreshHive(*parent);
  if (!parent->predefined && !Locate(hive.root(), *parent)) return ERROR_KEY_DELETED;
  bool created = false;
  if (!hive.root().Find(opened.path)) {
    LONG error = hive.Modify([&](Key& root) {
      if (!parent->predefined && !Locate(root, *parent)) return ERROR_KEY_DELETED;
      created = root.Find(opened.path) == nullptr;
      root.Make(opened.path);
      return ERROR_SUCCESS;
    });
    if (error) return error;
  }
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = registry.Add(std::move(opened));
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT) return ERROR_SUCCESS;
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  return registry.Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto open = registry.Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  const Key* found = Locate(registry.FreshHive(*open).root(), *open);
  if (!found) return GoneError(*open, ERROR_FILE_NOT_FOUND);
  const reg::Value* value = found->FindValue(NameOrDefault(valueName));
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value->type;
  if (!dataSize) return ERROR_SUCCESS;
  const auto needed = static_cast<DWORD>(value->data.size());
  if (data) {
    if (*dataSize < needed) {
      *dataSize = needed;
      return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, value->data.data(), needed);
  }
  *dataSize = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto open = registry.Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string_view name = NameOrDefault(valueName);
  if (name.find_first_of("\r\n") != std::string_view::npos) return ERROR_INVALID_PARAMETER;
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  std::span<const BYTE> bytes(data, data ? dataSize : 0);
  return registry.Hive(open->hive).Modify([&](Key& root) {
    // A root's key is made on its first value; any other key must still exist.
    Key* target = open->predefined ? &root.Make(open->path) : root.Find(open->path);
    if (!target) return ERROR_KEY_DELETED;
    target->SetValue(name, type, bytes);
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto open = registry.Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string_view name = NameOrDefault(valueName);
  reg::HiveFile& hive = registry.FreshHive(*open);
  const Key* found = Locate(hive.root(), *open);
  if (!found) return GoneError(*open, ERROR_FILE_NOT_FOUND);
  if (!found->FindValue(name)) return ERROR_FILE_NOT_FOUND;
  return hive.Modify([&](Key& root) {
    Key* target = root.Find(open->path);
    if (!target) return GoneError(*open, ERROR_FILE_NOT_FOUND);
    return target->RemoveValue(name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

LONG RegDeleteKeyA(HKEY key, const char* subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto open = registry.Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!CanWrite(open->access)) return ERROR_ACCESS_DENIED;
  std::vector<std::string> steps;
  if (LONG error = SplitPath(subKey, steps)) return error;
  std::vector<std::string> target = Join(open->path, steps);
  // An empty path names the handle's own key; a root key stays.
  if (steps.empty() && open->predefined) return ERROR_ACCESS_DENIED;
  if (target.empty()) return ERROR_ACCESS_DENIED;

  reg::HiveFile& hive = registry.FreshHive(*open);
  if (!Locate(hive.root(), *open)) return GoneError(*open, ERROR_FILE_NOT_FOUND);
  auto check = [&](const Key& root) {
    const Key* victim = root.Find(target);
    if (!victim) return ERROR_FILE_NOT_FOUND;
    // As on the platform: only a key without sub-keys can be deleted.
    if (!victim->subKeys().empty()) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
  };
  if (LONG error = check(hive.root())) return error;
  return hive.Modify([&](Key& root) {
    if (LONG error = check(root)) return error;
    std::span<const std::string> parentPath(target.data(), target.size() - 1);
    root.Find(parentPath)->RemoveSubKey(target.back());
    return ERROR_SUCCESS;
  });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* keyClass,
                   DWORD* classSize, void* lastWriteTime) {
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto open = registry.Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
  const Key* found = Locate(registry.FreshHive(*open).root(), *open);
  if (!found) return GoneError(*open, ERROR_NO_MORE_ITEMS);
  if (index >= found->subKeys().size()) return ERROR_NO_MORE_ITEMS;
  const std::string& text = found->subKeys()[index].name();
  if (text.size() + 1 > *nameSize) {
    *nameSize = static_cast<DWORD>(text.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, text.c_str(), text.size() + 1);
  *nameSize = static_cast<DWORD>(text.size());
  // Keys carry no class text.
  if (keyClass && classSize && *classSize > 0) keyClass[0] = '\0';
  if (classSize) *classSize = 0;
  return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* reserved, DWORD* type,
                   BYTE* data, DWORD* dataSize) {
  Registry& registry = Registry::Instance();
  std::lock_guard lock(registry.mutex);
  auto open = registry.Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (!valueName || !valueNameSize || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  const Key* found = Locate(registry.FreshHive(*open).root(), *open);
  if (!found) return GoneError(*open, ERROR_NO_MORE_ITEMS);
  if (index >= found->values().size()) return ERROR_NO_MORE_ITEMS;
  const reg::Value& value = found->values()[index];
  if (value.name.size() + 1 > *valueNameSize) {
    *valueNameSize = static_cast<DWORD>(value.name.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(valueName, value.name.c_str(), value.name.size() + 1);
  *valueNameSize = static_cast<DWORD>(value.name.size());
  if (type) *type = value.type;
  if (!dataSize) return ERROR_SUCCESS;
  const auto needed = static_cast<DWORD>(value.data.size());
  if (data) {
    if (*dataSize < needed) {
      *dataSize = needed;
      return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, value.data.data(), needed);
  }
  *dataSize = needed;
  return ERROR_SUCCESS;
}

}  // namespace plat
