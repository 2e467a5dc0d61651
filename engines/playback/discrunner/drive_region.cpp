#include "engines/playback/discrunner/drive_region.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>

#include "platform/registry/registry.h"

namespace discrunner {
namespace {

constexpr const char* kVirtualDrivesKey = "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\";
constexpr plat::DWORD kDefaultChanges = 5;

std::mutex g_mutex;
std::shared_ptr<RegionDevice> g_device;

std::shared_ptr<RegionDevice> Device() {
  std::lock_guard lock(g_mutex);
  if (!g_device) g_device = std::make_shared<KernelRegionDevice>();
  return g_device;
}

// A file descriptor closed on every path.
class Fd {
 public:
  explicit Fd(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool ReadDword(plat::HKEY key, const char* name, plat::DWORD& value) {
  plat::DWORD type = 0;
  plat::DWORD data = 0;
  plat::DWORD size = sizeof data;
  if (plat::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<plat::BYTE*>(&data), &size) !=
          plat::ERROR_SUCCESS ||
      type != plat::REG_DWORD) {
    return false;
  }
  value = data;
  return true;
}

bool WriteDword(plat::HKEY key, const char* name, plat::DWORD value) {
  return plat::RegSetValueExA(key, name, 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&value),
                              sizeof value) == plat::ERROR_SUCCESS;
}

std::string VirtualKey(char letter) { return std::string(kVirtualDrivesKey) + letter; }

std::optional<DriveRegion> ReadVirtual(char letter) {
  plat::HKEY key = nullptr;
  if (plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, VirtualKey(letter).c_str(), 0, plat::KEY_READ, &key) !=
      plat::ERROR_SUCCESS) {
    return std::nullopt;
  }
  plat::DWORD region = 0;
  plat::DWORD changes = kDefaultChanges;
  if (!ReadDword(key, "Region", region) || region > 8) region = 0;
  ReadDword(key, "RegionChanges", changes);
  plat::RegCloseKey(key);
  return DriveRegion{static_cast<int>(region), static_cast<int>(std::min<plat::DWORD>(changes, 255))};
}

bool WriteVirtual(char letter, int region, int changesLeft) {
  plat::HKEY key = nullptr;
  if (plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, VirtualKey(letter).c_str(), 0, plat::KEY_ALL_ACCESS, &key) !=
      plat::ERROR_SUCCESS) {
    return false;
  }
  // The change is spent first: a drive whose count cannot be lowered keeps
  // its region.
  const bool ok = WriteDword(key, "RegionChanges", static_cast<plat::DWORD>(changesLeft)) &&
                  WriteDword(key, "Region", static_cast<plat::DWORD>(region));
  plat::RegCloseKey(key);
  return ok;
}

}  // namespace

int RegionFromRefusedMask(unsigned mask) {
  int found = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (mask & (1u << bit)) continue;
    if (found) return 0;
    found = bit + 1;
  }
  return found;
}

std::optional<DriveRegion> KernelRegionDevice::Read(const std::string& device) {
  Fd fd(device);
  if (fd.get() < 0) return std::nullopt;
  dvd_authinfo info{};
  info.type = DVD_LU_SEND_RPC_STATE;
  if (::ioctl(fd.get(), DVD_AUTH, &info) != 0) return std::nullopt;
  return DriveRegion{RegionFromRefusedMask(info.lrpcs.region_mask), info.lrpcs.ucca};
}

bool KernelRegionDevice::Write(const std::string& device, int region) {
  if (region < 1 || region > 8) return false;
  Fd fd(device);
  if (fd.get() < 0) return false;
  dvd_authinfo info{};
  info.type = DVD_HOST_SEND_RPC_STATE;
  info.hrpcs.pdrc = static_cast<__u8>(~(1u << (region - 1)) & 0xFF);
  return ::ioctl(fd.get(), DVD_AUTH, &info) == 0;
}

void SetRegionDevice(std::shared_ptr<RegionDevice> device) {
  std::lock_guard lock(g_mutex);
  g_device = std::move(device);
}

std::optional<DriveRegion> ReadDriveRegion(const plat::VolumeInfo& volume) {
  if (volume.isVirtual) return ReadVirtual(volume.letter);
  if (volume.device.empty()) return std::nullopt;
  return Device()->Read(volume.device);
}

bool WriteDriveRegion(const plat::VolumeInfo& volume, int region) {
  if (region < 1 || region > 8) return false;
  const auto current = ReadDriveRegion(volume);
  if (!current) return false;
  if (current->region == region) return true;
  if (current->changesLeft <= 0) return false;
  if (volume.isVirtual) return WriteVirtual(volume.letter, region, current->changesLeft - 1);
  return Device()->Write(volume.device, region);
}

}  // namespace discrunner
