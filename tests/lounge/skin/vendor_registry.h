// Points the registry at a test folder and sets the machine's vendor name, so
// that tests can run with any vendor's colour scheme.
#pragma once

#include <cstdlib>
#include <string>

#include "lounge/shell/app_services.h"
#include "platform/registry/registry.h"
#include "temp_folder.h"

class VendorRegistry {
 public:
  VendorRegistry() { setenv("MARIVEL_REGISTRY_DIR", folder_.path().c_str(), 1); }
  ~VendorRegistry() {
    unsetenv("MARIVEL_REGISTRY_DIR");
    Clear();
  }
  VendorRegistry(const VendorRegistry&) = delete;
  VendorRegistry& operator=(const VendorRegistry&) = delete;

  // Writes the vendor name and detects it; returns the vendor id.
  int Set(const std::string& name) {
    plat::HKEY key = nullptr;
    if (plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel", 0, nullptr, 0,
                              plat::KEY_ALL_ACCESS, nullptr, &key, nullptr) == plat::ERROR_SUCCESS) {
      plat::RegSetValueExA(key, "Vendor", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(name.c_str()),
                           static_cast<plat::DWORD>(name.size() + 1));
      plat::RegCloseKey(key);
    }
    return DetectVendor();
  }

  // Removes the value and detects again (vendor id 0).
  int Clear() {
    plat::HKEY key = nullptr;
    if (plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel", 0, plat::KEY_ALL_ACCESS, &key) ==
        plat::ERROR_SUCCESS) {
      plat::RegDeleteValueA(key, "Vendor");
      plat::RegCloseKey(key);
    }
    return DetectVendor();
  }

  const TempFolder& folder() const { return folder_; }

 private:
  TempFolder folder_;
};
