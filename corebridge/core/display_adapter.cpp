#include "corebridge/core/display_adapter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <system_error>
#include <vector>

using plat::BYTE;
using plat::WORD;

namespace {

// A sysfs attribute such as "0x8086\n"; 0 when it is missing or not a number.
unsigned long ReadHexAttribute(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string text;
  if (!in || !std::getline(in, text)) return 0;
  errno = 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 16);
  if (errno != 0 || end == text.c_str()) return 0;
  return value;
}

PciDeviceEntry ReadEntry(const std::filesystem::path& dir) {
  PciDeviceEntry entry;
  entry.vendorId = static_cast<WORD>(ReadHexAttribute(dir / "vendor"));
  entry.deviceId = static_cast<WORD>(ReadHexAttribute(dir / "device"));
  entry.subsystemId = static_cast<WORD>(ReadHexAttribute(dir / "subsystem_device"));
  entry.subsystemVendorId = static_cast<WORD>(ReadHexAttribute(dir / "subsystem_vendor"));
  entry.revisionId = static_cast<BYTE>(ReadHexAttribute(dir / "revision"));
  // "class" is base class, sub-class and programming interface in 24 bits.
  entry.classCode = static_cast<BYTE>(ReadHexAttribute(dir / "class") >> 16);
  return entry;
}

struct Variant {
  std::initializer_list<WORD> deviceIds;
  int code;
};

// The first listed group with a device of `vendor` gives its code.
int NarrowByDevice(CDisplayAdapterList& list, WORD vendor, int base, std::initializer_list<Variant> variants) {
  for (const Variant& variant : variants) {
    for (WORD id : variant.deviceIds) {
      if (list.FindPciDevice(id, vendor)) return variant.code;
    }
  }
  return base;
}

std::vector<WORD> Family21978VariantIds() {
  std::vector<WORD> ids = {0x524B, 0x524C, 0x5245, 0x5246, 0x5446, 0x544C};
  for (WORD id = 0x5345; id <= 0x5348; ++id) ids.push_back(id);
  for (WORD id = 0x534B; id <= 0x534E; ++id) ids.push_back(id);
  for (WORD id = 0x5041; id <= 0x5058; ++id) ids.push_back(id);
  for (WORD id = 0x5452; id <= 0x5455; ++id) ids.push_back(id);
  return ids;
}

}  // namespace

CDisplayAdapterList::CDisplayAdapterList(const std::filesystem::path& pciDevicesDir) {
  std::error_code ec;
  std::vector<std::filesystem::path> devices;
  for (std::filesystem::directory_iterator it(pciDevicesDir, ec), end; !ec && it != end; it.increment(ec)) {
    devices.push_back(it->path());
  }
  // Folder names are PCI addresses: sorted, they give bus order.
  std::sort(devices.begin(), devices.end());
  for (const auto& dir : devices) {
    if (m_nCount == kMaxEntries) break;
    m_entries[static_cast<std::size_t>(m_nCount++)] = ReadEntry(dir);
  }
}

int CDisplayAdapterList::FindPciDevice(WORD deviceId, WORD vendorId) {
  for (int i = 0; i < m_nCount; ++i) {
    const PciDeviceEntry& e = m_entries[static_cast<std::size_t>(i)];
    if (e.deviceId == deviceId && e.vendorId == vendorId) {
      m_nCurrent = i;
      return 1;
    }
  }
  return 0;
}

int CDisplayAdapterList::FindPciVendorOfClass(WORD vendorId, BYTE classCode) {
  for (int i = 0; i < m_nCount; ++i) {
    const PciDeviceEntry& e = m_entries[static_cast<std::size_t>(i)];
    if (e.vendorId == vendorId && e.classCode == classCode) {
      m_nCurrent = i;
      return 1;
    }
  }
  return 0;
}

int IdentifyDisplayAdapter(CDisplayAdapterList& list) {
  auto display = [&](WORD vendor) { return list.FindPciVendorOfClass(vendor, kPciDisplayClass) != 0; };

  if (display(0x8086)) {
    return NarrowByDevice(list, 0x8086, 21946,
                          {{{0x7121, 0x7123, 0x7125, 0x7127}, 21947},
                           {{0x1102, 0x1112, 0x1132}, 21948},
                           {{0x3577}, 21949},
                           {{0x2562}, 21950}});
  }
  if (display(0x12D2) || display(0x10DE)) {
    return NarrowByDevice(list, 0x10DE, 21962,
                          {{{0x0100, 0x0101, 0x0103, 0x0150, 0x0151, 0x0152, 0x0153, 0x0110, 0x0111, 0x0113}, 21963},
                           {{0x0200}, 21964},
                           {{0x0170, 0x0171, 0x0172, 0x0173, 0x0178, 0x017A, 0x017B}, 21965}});
  }
  if (display(0x104C) || display(0x3D3D) || list.FindPciVendorOfClass(0x104C, 0) ||
      list.FindPciVendorOfClass(0x3D3D, 0)) {
    return 21994;
  }
  if (display(0x1039)) {
    return NarrowByDevice(list, 0x1039, 21930, {{{0x0300}, 21931}, {{0x6300}, 21932}, {{0x0325}, 21933}});
  }
  if (display(0x5333)) {
    return NarrowByDevice(list, 0x5333, 22026,
                          {{{0x9102}, 22030},
                           {{0x8A25, 0x8A26}, 22029},
                           {{0x8A22}, 22027},
                           {{0x8C10}, 22028},
                           {{0x8D01, 0x8D02, 0x8D04}, 22031}});
  }
  if (display(0x1023)) return 22010;
  if (display(0x1002)) {
    for (WORD id : Family21978VariantIds()) {
      if (list.FindPciDevice(id, 0x1002)) return 21979;
    }
    return list.FindPciDevice(0x5144, 0x1002) ? 21980 : 21978;
  }
  const std::pair<WORD, int> others[] = {{0x121A, 22058}, {0x102B, 22042}, {0x10C8, 22074},
                                         {0x126F, 22090}, {0x104A, 22106}, {0x16A9, 22122}};
  for (auto [vendor, code] : others) {
    if (display(vendor)) return code;
  }
  return 0;
}
