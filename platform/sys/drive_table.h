// The drive table: up to 26 volumes lettered A to Z, as the system indexes
// drives and builds unit masks. A volume's root text is its mount point.
// Volumes come from the mounted file systems, the optical drives in sysfs
// and the virtual drives declared in the registry below
// HKEY_LOCAL_MACHINE\SoftWare\Kestrovia\Marivel\VirtualDrives\<letter>
// (values "Path": a folder, a disc image or a VIDEO_TS folder; "Type":
// "cdrom", "removable" or "fixed"; "Label"); a declared folder that does not
// exist is a drive without a medium. Tests install a fake source.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/types.h"

namespace plat {

inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;
inline constexpr UINT DRIVE_REMOTE = 4;
inline constexpr UINT DRIVE_CDROM = 5;
inline constexpr UINT DRIVE_RAMDISK = 6;

struct VolumeInfo {
  char letter = 0;       // 'A'..'Z'
  UINT type = DRIVE_UNKNOWN;
  std::string root;      // mount point (or the virtual drive's folder); empty: no medium
  std::string label;     // volume label, may be empty
  std::string device;    // block device ("/dev/sr0"), empty for virtual drives
  std::string image;     // a virtual drive's disc image, if it is one
  bool isVirtual = false;
};

class VolumeSource {
 public:
  virtual ~VolumeSource() = default;
  virtual std::vector<VolumeInfo> Scan() const = 0;
};

// Mounted file systems ("/" becomes C:), optical drives from sysfs, network
// file systems mounted below /media, /run/media or /mnt (DRIVE_REMOTE) and
// the registry's virtual drives (which keep their declared letters).
class SystemVolumeSource final : public VolumeSource {
 public:
  explicit SystemVolumeSource(std::string mounts = "/proc/self/mounts", std::string sysBlock = "/sys/block");
  std::vector<VolumeInfo> Scan() const override;

 private:
  std::string mounts_;
  std::string sysBlock_;
};

class FakeVolumeSource final : public VolumeSource {
 public:
  std::vector<VolumeInfo> Scan() const override { return volumes; }
  std::vector<VolumeInfo> volumes;
};

// Parses the text of a mounts table into (device, mount point, fs type);
// octal escapes ("\040") are decoded.
struct MountEntry {
  std::string device;
  std::string mountPoint;
  std::string fsType;
};
std::vector<MountEntry> ParseMounts(const std::string& text);

// Reads the registry's virtual drives.
std::vector<VolumeInfo> ReadVirtualDrives();

// A virtual CD/DVD drive declared with "Writer"=1 (DWORD): a writer whose
// disc is the image file at "Path" (absent: a blank disc), of "Capacity" MiB
// (DWORD; 0 when absent: the standard size of the disc a job needs).
struct VirtualWriter {
  char letter = 0;
  std::string path;
  std::string label;
  DWORD capacityMB = 0;
};
std::vector<VirtualWriter> ReadVirtualWriters();

void SetVolumeSource(std::shared_ptr<VolumeSource> source);
std::vector<VolumeInfo> GetVolumes();
// The volume of a root given as "D:", "D:\", a letter alone, or a mount path.
std::optional<VolumeInfo> FindVolume(const std::string& root);
// Bit n set for each lettered volume n (A = bit 0).
DWORD GetLogicalDrives();

UINT GetDriveTypeA(const char* root);
// The volume label of the root; FALSE when there is no such volume.
BOOL GetVolumeInformationA(const char* root, char* label, DWORD labelSize);
// Free and total space of the file system holding `path` (a root of the
// drive table is resolved to its mount point). FALSE when it cannot be read.
BOOL GetDiskFreeSpaceExA(const char* path, ULONGLONG* freeToCaller, ULONGLONG* total, ULONGLONG* totalFree);

}  // namespace plat
