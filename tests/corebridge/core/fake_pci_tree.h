// A fake PCI device folder in the layout of /sys/bus/pci/devices, made in a
// temporary folder and removed with the object.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/core/types.h"

class FakePciTree {
 public:
  FakePciTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pci-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
  }
  ~FakePciTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  FakePciTree(const FakePciTree&) = delete;
  FakePciTree& operator=(const FakePciTree&) = delete;

  const std::filesystem::path& root() const { return root_; }

  // Adds the next device, at the next function address; `pciClass` is the
  // 24-bit class (0x030000 for a VGA controller).
  void Add(plat::WORD vendor, plat::WORD device, plat::DWORD pciClass = 0x030000, plat::WORD subsystemVendor = 0,
           plat::WORD subsystemDevice = 0, plat::BYTE revision = 0) {
    char name[32];
    std::snprintf(name, sizeof name, "0000:%02x:%02x.%x", next_ / 256, (next_ / 8) % 32, next_ % 8);
    ++next_;
    const auto dir = root_ / name;
    std::filesystem::create_directories(dir);
    Write(dir / "vendor", "0x%04x", vendor);
    Write(dir / "device", "0x%04x", device);
    Write(dir / "class", "0x%06x", pciClass);
    Write(dir / "subsystem_vendor", "0x%04x", subsystemVendor);
    Write(dir / "subsystem_device", "0x%04x", subsystemDevice);
    Write(dir / "revision", "0x%02x", revision);
    last_ = dir;
  }
  // The folder of the device added last.
  const std::filesystem::path& last() const { return last_; }

 private:
  static void Write(const std::filesystem::path& file, const char* format, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    std::ofstream(file) << text << "\n";
  }

  std::filesystem::path root_;
  std::filesystem::path last_;
  unsigned next_ = 0;
};
