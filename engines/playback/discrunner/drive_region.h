// The region of a DVD drive and the region changes it has left. A real
// drive answers through its region-protection ioctls; a virtual drive keeps
// both in its registry key, as the values "Region" (1..8, absent: none) and
// "RegionChanges" (absent: 5).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/sys/drive_table.h"

namespace discrunner {

struct DriveRegion {
  int region = 0;  // 1..8; 0 when the drive has none
  int changesLeft = 0;
};

// The region-protection state of a real drive's device; tests install a fake.
class RegionDevice {
 public:
  virtual ~RegionDevice() = default;
  virtual std::optional<DriveRegion> Read(const std::string& device) = 0;
  virtual bool Write(const std::string& device, int region) = 0;
};

// The ioctls of the kernel's CD-ROM driver.
class KernelRegionDevice final : public RegionDevice {
 public:
  std::optional<DriveRegion> Read(const std::string& device) override;
  bool Write(const std::string& device, int region) override;
};

// Installs the device seam (null: the kernel's).
void SetRegionDevice(std::shared_ptr<RegionDevice> device);

// The volume's region; nullopt when it cannot be read.
std::optional<DriveRegion> ReadDriveRegion(const plat::VolumeInfo& volume);
// Sets the volume's region, spending one change; false when none is left,
// the region is out of range or the drive refuses. Setting the region the
// drive already has spends nothing.
bool WriteDriveRegion(const plat::VolumeInfo& volume, int region);

// The region a drive's mask of refused regions leaves playable: the one
// clear bit of the low eight; 0 when none or several are clear.
int RegionFromRefusedMask(unsigned mask);

}  // namespace discrunner
