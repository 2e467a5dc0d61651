// Display adapter identification: lists the computer's PCI devices and turns
// the display adapter's vendor and device ids into a chip-family code. A
// family's base code is 21930 + 16 × n; its known variants add 1 to 5; 0 means
// no known display adapter.
#pragma once

#include <array>
#include <filesystem>

#include "platform/core/types.h"

struct PciDeviceEntry {
  plat::WORD vendorId = 0;
  plat::WORD deviceId = 0;
  plat::WORD subsystemId = 0;
  plat::WORD subsystemVendorId = 0;
  plat::BYTE revisionId = 0;
  plat::BYTE classCode = 0;  // PCI base class; 3 is a display controller
};

inline constexpr int kPciDisplayClass = 3;
inline constexpr const char* kPciDevicesDir = "/sys/bus/pci/devices";

// The PCI devices, read once when the list is made. At most 32 are kept.
class CDisplayAdapterList {
 public:
  static constexpr int kMaxEntries = 32;

  // `pciDevicesDir` holds one folder per PCI function, named by its address,
  // with the files "vendor", "device", "subsystem_device",
  // "subsystem_vendor", "revision" and "class". A missing folder gives an
  // empty list; an unreadable file leaves that field 0.
  explicit CDisplayAdapterList(const std::filesystem::path& pciDevicesDir = kPciDevicesDir);

  // 1 when an entry has both ids, and the current index becomes the first
  // such entry's; else 0.
  int FindPciDevice(plat::WORD deviceId, plat::WORD vendorId);
  // The same for an entry with the vendor id and class code.
  int FindPciVendorOfClass(plat::WORD vendorId, plat::BYTE classCode);

  int Count() const { return m_nCount; }
  int CurrentIndex() const { return m_nCurrent; }
  const PciDeviceEntry& Entry(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }

 private:
  int m_nCount = 0;
  int m_nCurrent = -1;
  std::array<PciDeviceEntry, kMaxEntries> m_entries{};
};

// The chip-family code of the display adapter in `list`.
int IdentifyDisplayAdapter(CDisplayAdapterList& list);
