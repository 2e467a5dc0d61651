#include "lounge/pages/setting/setting_page_boot.h"

#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"

std::optional<int> ReadBootSelection() {
  CRegistryKey key(plat::HKEY_CURRENT_USER);
  if (!key.Create(plat::HKEY_CURRENT_USER, kBootSelectionKey)) return std::nullopt;
  plat::DWORD value = 0;
  if (!key.QueryDword(kAlwaysPcModeValue, value)) {
    value = 0;
    key.SetDword(kAlwaysPcModeValue, value);
  }
  key.Close();
  return value != 0 ? 2 : 1;
}

bool WriteAlwaysPcMode(plat::DWORD value) {
  CRegistryKey key(plat::HKEY_CURRENT_USER);
  if (!key.Create(plat::HKEY_CURRENT_USER, kBootSelectionKey)) return false;
  const bool written = key.SetDword(kAlwaysPcModeValue, value) != 0;
  key.Close();
  return written;
}
