#include "platform/com/registry_keys.h"

#include <utility>
#include <vector>

namespace plat::com_detail {

RegKey::~RegKey() { Close(); }

RegKey::RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

void RegKey::Close() {
  if (key_) RegCloseKey(std::exchange(key_, nullptr));
}

LONG RegKey::Open(HKEY parent, const std::string& subKey, REGSAM access) {
  Close();
  return RegOpenKeyExA(parent, subKey.c_str(), 0, access, &key_);
}

LONG RegKey::Create(HKEY parent, const std::string& subKey) {
  Close();
  return RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         &key_, nullptr);
}

std::optional<std::string> RegKey::QueryString(const std::string& name) const {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return std::nullopt;
  }
  std::vector<BYTE> data(size + 1, 0);
  DWORD read = size;
  if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &read) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored text may or may not carry its terminating zero.
  std::string text(reinterpret_cast<const char*>(data.data()), read);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

LONG RegKey::SetString(const std::string& name, const std::string& value) {
  return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
}

LONG DeleteKeyTree(HKEY parent, const std::string& subKey) {
  RegKey key;
  LONG result = key.Open(parent, subKey, KEY_ALL_ACCESS);
  if (result == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (result != ERROR_SUCCESS) return result;
  // Collect the children first: deleting while enumerating shifts the indices.
  std::vector<std::string> children;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof name;
    result = RegEnumKeyExA(key.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) return result;
    children.emplace_back(name, size);
  }
  for (const std::string& child : children) {
    result = DeleteKeyTree(key.Get(), child);
    if (result != ERROR_SUCCESS) return result;
  }
  key = RegKey();
  result = RegDeleteKeyA(parent, subKey.c_str());
  return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

}  // namespace plat::com_detail
