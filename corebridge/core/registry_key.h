// CRegistryKey: the small registry-key class both the program and the system
// core use. One object holds at most one open key; every operation records the
// result code of its last registry call, the value type and the data size.
#pragma once

#include <string>

#include "platform/core/types.h"

class CRegistryKey {
 public:
  explicit CRegistryKey(plat::HKEY root);
  virtual ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // Results: 1 for success, 0 for failure.
  int Open(plat::HKEY root, const std::string& subKey, bool readOnly);
  // Opens with all access, closing any key held before; keeps the remembered
  // path, and records the result only when it fails.
  int OpenAllAccess(plat::HKEY root, const std::string& subKey);
  int Create(plat::HKEY root, const std::string& subKey);
  // Result of the underlying close (0 when no key was open).
  plat::LONG Close();
  int SetDword(const std::string& name, plat::DWORD value);
  // Like SetDword, and records the result with type REG_DWORD and size 4.
  int SetDwordRecorded(const std::string& name, plat::DWORD value);
  int QueryDword(const std::string& name, plat::DWORD& value);
  int QueryString(const std::string& name, std::string& value);
  int DeleteValue(const std::string& name);
  int DeleteTree(plat::HKEY root, const std::string& subKey);

  plat::LONG m_lLastError = 0;
  plat::DWORD m_dwLastType = 0;
  plat::DWORD m_dwLastSize = 0;
  plat::HKEY m_hKey = nullptr;
  std::string m_strSubKey;
};
