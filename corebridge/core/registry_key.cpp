#include "corebridge/core/registry_key.h"

#include <cstring>

#include "platform/registry/registry.h"

using namespace plat;

namespace {

// QueryString reads into a buffer of this size; longer strings fail with
// ERROR_MORE_DATA.
constexpr DWORD kStringBufferSize = 200;
// Key names are at most 255 characters.
constexpr DWORD kKeyNameBufferSize = 256;
constexpr REGSAM kDeleteTreeAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

}  // namespace

// The root is kept as the handle so that the first Close hands it to
// RegCloseKey, which accepts the root keys.
CRegistryKey::CRegistryKey(HKEY root) : m_hKey(root) {}

CRegistryKey::~CRegistryKey() { Close(); }

LONG CRegistryKey::Close() {
  if (!m_hKey) return ERROR_SUCCESS;
  LONG result = RegCloseKey(m_hKey);
  m_hKey = nullptr;
  return result;
}

int CRegistryKey::Open(HKEY root, const std::string& subKey, bool readOnly) {
  Close();
  m_strSubKey = subKey;
  m_lLastError = RegOpenKeyExA(root, subKey.c_str(), 0, readOnly ? KEY_READ : KEY_ALL_ACCESS, &m_hKey);
  m_dwLastType = 0;
  m_dwLastSize = 0;
  return m_lLastError == ERROR_SUCCESS && m_hKey != nullptr;
}

int CRegistryKey::OpenAllAccess(HKEY root, const std::string& subKey) {
  // Release a key held from before; overwriting the handle would leak it.
  Close();
  LONG result = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS, &m_hKey);
  if (result != ERROR_SUCCESS) {
    m_lLastError = result;
    m_dwLastType = 0;
    m_dwLastSize = 0;
    return 0;
  }
  return m_hKey != nullptr;
}

int CRegistryKey::Create(HKEY root, const std::string& subKey) {
  Close();
  DWORD disposition = 0;
  m_lLastError = RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                 &m_hKey, &disposition);
  m_dwLastType = 0;
  m_dwLastSize = 0;
  return m_lLastError == ERROR_SUCCESS && m_hKey != nullptr;
}

int CRegistryKey::SetDword(const std::string& name, DWORD value) {
  return RegSetValueExA(m_hKey, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

int CRegistryKey::SetDwordRecorded(const std::string& name, DWORD value) {
  m_lLastError = RegSetValueExA(m_hKey, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  m_dwLastType = REG_DWORD;
  m_dwLastSize = sizeof value;
  return m_lLastError == ERROR_SUCCESS;
}

int CRegistryKey::QueryDword(const std::string& name, DWORD& value) {
  DWORD buffer = 0;
  DWORD type = 0;
  DWORD size = sizeof buffer;
  m_lLastError = RegQueryValueExA(m_hKey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer), &size);
  m_dwLastType = type;
  m_dwLastSize = size;
  if (m_lLastError != ERROR_SUCCESS) return 0;
  value = buffer;
  return 1;
}

int CRegistryKey::QueryString(const std::string& name, std::string& value) {
  char buffer[kStringBufferSize] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer;
  m_lLastError = RegQueryValueExA(m_hKey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  m_dwLastType = type;
  m_dwLastSize = size;
  if (m_lLastError != ERROR_SUCCESS) return 0;
  // Stored data need not end in a zero; never read past what was returned.
  value.assign(buffer, strnlen(buffer, size));
  return 1;
}

int CRegistryKey::DeleteValue(const std::string& name) {
  m_lLastError = RegDeleteValueA(m_hKey, name.c_str());
  m_dwLastType = 0;
  m_dwLastSize = 0;
  return m_lLastError == ERROR_SUCCESS;
}

int CRegistryKey::DeleteTree(HKEY root, const std::string& subKey) {
  HKEY key = nullptr;
  m_lLastError = RegOpenKeyExA(root, subKey.c_str(), 0, kDeleteTreeAccess, &key);
  if (m_lLastError != ERROR_SUCCESS) return 0;
  // Deleting a sub-key shifts the others down, so index 0 is always next.
  while (true) {
    char name[kKeyNameBufferSize];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (!DeleteTree(key, name)) {
      RegCloseKey(key);
      return 0;
    }
  }
  RegCloseKey(key);
  m_lLastError = RegDeleteKeyA(root, subKey.c_str());
  return m_lLastError == ERROR_SUCCESS;
}
