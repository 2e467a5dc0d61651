#include "lounge/shell/app_services.h"

#include <array>
#include <string_view>

#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"

namespace {

int g_vendorId = VENDOR_NONE;
const IUIStringLookup* g_stringTable = nullptr;

constexpr const char* kProductKey = "SoftWare\\Kestrovia\\Marivel";
constexpr const char* kVendorValue = "Vendor";

struct VendorName {
  std::string_view name;
  int id;
};
constexpr std::array<VendorName, 4> kVendors{{
    {"Vadu", VENDOR_VADU},
    {"DEZAD", VENDOR_DEZAD},
    {"RuvE", VENDOR_RUVE},
    {"Rorido", VENDOR_RORIDO},
}};

// Rows: state codes 0..3; columns: vendor ids 0..4.
constexpr std::array<std::array<plat::COLORREF, 5>, 4> kSchemeColors{{
    {0xFFFFFF, 0x585C1C, 0xFFFFFF, 0xFFFFFF, 0x333333},
    {0xA03D1F, 0x585C1C, 0x902878, 0xA03D1F, 0x993333},
    {0xFFFFFF, 0x585C1C, 0x770005, 0xFFFFFF, 0x993333},
    {0xFF8635, 0xB6B66C, 0xC384B6, 0x5A1637, 0x999999},
}};
constexpr plat::COLORREF kWhite = 0xFFFFFF;

}  // namespace

int DetectVendor() {
  g_vendorId = VENDOR_NONE;
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  std::string name;
  if (key.Open(plat::HKEY_LOCAL_MACHINE, kProductKey, true) && key.QueryString(kVendorValue, name)) {
    for (const VendorName& vendor : kVendors) {
      if (name == vendor.name) g_vendorId = vendor.id;
    }
  }
  key.Close();
  return g_vendorId;
}

int GetVendorId() { return g_vendorId; }

plat::COLORREF GetSchemeColor(int kind) {
  if (kind < 0 || kind >= static_cast<int>(kSchemeColors.size())) return kWhite;
  int vendor = g_vendorId;
  if (vendor < 0 || vendor >= static_cast<int>(kSchemeColors[0].size())) vendor = VENDOR_NONE;
  return kSchemeColors[static_cast<std::size_t>(kind)][static_cast<std::size_t>(vendor)];
}

void SetUIStringTable(const IUIStringLookup* table) { g_stringTable = table; }

void UnregisterUIStringTable(const IUIStringLookup* table) {
  if (g_stringTable == table) g_stringTable = nullptr;
}

bool LookupUIString(const std::string& key, std::string& text) {
  return g_stringTable != nullptr && g_stringTable->Lookup(key, text) != 0;
}

std::string UIStringOrEmpty(const std::string& key) {
  std::string text;
  LookupUIString(key, text);
  return text;
}
