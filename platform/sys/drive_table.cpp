#include "platform/sys/drive_table.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/registry/registry.h"

namespace plat {
namespace {

constexpr const char* kVirtualDrivesKey = "SoftWare\\Kestrovia\\Marivel\\VirtualDrives";

std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        std::isdigit(static_cast<unsigned char>(field[i + 1])) && std::isdigit(static_cast<unsigned char>(field[i + 2])) &&
        std::isdigit(static_cast<unsigned char>(field[i + 3]))) {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::string ReadFirstLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string QueryString(HKEY key, const char* name) {
  char buffer[1024] = {};
  DWORD size = sizeof(buffer);
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  buffer[sizeof(buffer) - 1] = 0;
  return buffer;
}

DWORD QueryDword(HKEY key, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0;
  }
  return value;
}

bool IsOpticalDevice(const std::string& device) { return device.rfind("/dev/sr", 0) == 0; }

bool IsUserMount(const MountEntry& m) {
  if (m.device.rfind("/dev/", 0) != 0) return false;
  if (m.device.rfind("/dev/loop", 0) == 0) return false;
  return m.mountPoint == "/" || m.mountPoint.rfind("/media/", 0) == 0 || m.mountPoint.rfind("/run/media/", 0) == 0 ||
         m.mountPoint.rfind("/mnt/", 0) == 0 || m.mountPoint == "/mnt";
}

// A network file system mounted where users mount things: a network drive.
bool IsNetworkMount(const MountEntry& m) {
  static constexpr const char* kNetworkTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "davfs",
                                                  "fuse.davfs2", "9p", "afs", "ceph", "glusterfs", "fuse.glusterfs"};
  if (std::none_of(std::begin(kNetworkTypes), std::end(kNetworkTypes), [&](const char* t) { return m.fsType == t; }))
    return false;
  return m.mountPoint.rfind("/media/", 0) == 0 || m.mountPoint.rfind("/run/media/", 0) == 0 ||
         m.mountPoint.rfind("/mnt/", 0) == 0 || m.mountPoint == "/mnt";
}

bool IsRemovableBlock(const std::string& sysBlock, const std::string& device) {
  // /dev/sdb1 -> /sys/block/sdb/removable
  std::string name = device.substr(5);
  while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back()))) name.pop_back();
  if (name.size() > 1 && name.back() == 'p' && name.rfind("nvme", 0) == 0) name.pop_back();
  return ReadFirstLine(std::filesystem::path(sysBlock) / name / "removable") == "1";
}

std::mutex g_mutex;
std::shared_ptr<VolumeSource> g_source;

char NextFreeLetter(const std::vector<VolumeInfo>& used, char from) {
  for (char c = from; c <= 'Z'; ++c) {
    if (std::none_of(used.begin(), used.end(), [c](const VolumeInfo& v) { return v.letter == c; })) return c;
  }
  return 0;
}

}  // namespace

std::vector<MountEntry> ParseMounts(const std::string& text) {
  std::vector<MountEntry> entries;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    MountEntry entry;
    if (fields >> entry.device >> entry.mountPoint >> entry.fsType) {
      entry.device = Unescape(entry.device);
      entry.mountPoint = Unescape(entry.mountPoint);
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

std::vector<VolumeInfo> ReadVirtualDrives() {
  std::vector<VolumeInfo> drives;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVirtualDrivesKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return drives;
  for (DWORD index = 0;; ++index) {
    char name[64] = {};
    DWORD nameSize = sizeof(name);
    if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'Z' || name[1] != 0) continue;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    VolumeInfo v;
    v.letter = letter;
    v.isVirtual = true;
    const std::string path = QueryString(sub, "Path");
    const std::string type = QueryString(sub, "Type");
    v.label = QueryString(sub, "Label");
    const bool writer = QueryDword(sub, "Writer") != 0;
    RegCloseKey(sub);
    v.type = type == "cdrom" ? DRIVE_CDROM : type == "removable" ? DRIVE_REMOVABLE : DRIVE_FIXED;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
      v.image = path;  // a disc image: no browsable root of its own
    } else if (writer && v.type == DRIVE_CDROM) {
      // A writer's path is the image it writes: none yet is a blank disc.
    } else if (std::filesystem::is_directory(path, ec)) {
      v.root = path;
    }
    // A folder that is not there (yet) is a drive without a medium, as an
    // empty card slot: it arrives when the folder appears.
    drives.push_back(std::move(v));
  }
  RegCloseKey(key);
  return drives;
}

std::vector<VirtualWriter> ReadVirtualWriters() {
  std::vector<VirtualWriter> writers;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVirtualDrivesKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return writers;
  for (DWORD index = 0;; ++index) {
    char name[64] = {};
    DWORD nameSize = sizeof(name);
    if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'Z' || name[1] != 0) continue;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    VirtualWriter w;
    w.letter = letter;
    w.path = QueryString(sub, "Path");
    w.label = QueryString(sub, "Label");
    w.capacityMB = QueryDword(sub, "Capacity");
    const bool writer = QueryDword(sub, "Writer") != 0 && QueryString(sub, "Type") == "cdrom";
    RegCloseKey(sub);
    if (writer && !w.path.empty()) writers.push_back(std::move(w));
  }
  RegCloseKey(key);
  std::sort(writers.begin(), writers.end(), [](const VirtualWriter& a, const VirtualWriter& b) { return a.letter < b.letter; });
  return writers;
}

SystemVolumeSource::SystemVolumeSource(std::string mounts, std::string sysBlock)
    : mounts_(std::move(mounts)), sysBlock_(std::move(sysBlock)) {}

std::vector<VolumeInfo> SystemVolumeSource::Scan() const {
  std::vector<VolumeInfo> volumes = ReadVirtualDrives();
  std::ifstream in(mounts_);
  std::stringstream text;
  text << in.rdbuf();
  const std::vector<MountEntry> mounts = ParseMounts(text.str());
  auto mountOf = [&](const std::string& device) -> const MountEntry* {
    for (const auto& m : mounts) {
      if (m.device == device) return &m;
    }
    return nullptr;
  };
  // The root file system is C:.
  for (const auto& m : mounts) {
    if (m.mountPoint == "/" && IsUserMount(m)) {
      if (std::none_of(volumes.begin(), volumes.end(), [](const VolumeInfo& v) { return v.letter == 'C'; })) {
        volumes.push_back({'C', DRIVE_FIXED, "/", {}, m.device, {}, false});
      }
      break;
    }
  }
  // Optical drives from D: on, with or without a medium.
  std::error_code ec;
  std::vector<std::string> optical;
  for (const auto& entry : std::filesystem::directory_iterator(sysBlock_, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("sr", 0) == 0) optical.push_back("/dev/" + name);
  }
  std::sort(optical.begin(), optical.end());
  for (const auto& device : optical) {
    const char letter = NextFreeLetter(volumes, 'D');
    if (!letter) break;
    const MountEntry* m = mountOf(device);
    volumes.push_back({letter, DRIVE_CDROM, m ? m->mountPoint : std::string{}, {}, device, {}, false});
  }
  // Other mounted block devices.
  for (const auto& m : mounts) {
    if (!IsUserMount(m) || m.mountPoint == "/" || IsOpticalDevice(m.device)) continue;
    if (std::any_of(volumes.begin(), volumes.end(), [&](const VolumeInfo& v) { return v.root == m.mountPoint; })) continue;
    const char letter = NextFreeLetter(volumes, 'D');
    if (!letter) break;
    const UINT type = IsRemovableBlock(sysBlock_, m.device) ? DRIVE_REMOVABLE : DRIVE_FIXED;
    std::string label = std::filesystem::path(m.mountPoint).filename().string();
    volumes.push_back({letter, type, m.mountPoint, label, m.device, {}, false});
  }
  // Network drives.
  for (const auto& m : mounts) {
    if (!IsNetworkMount(m)) continue;
    if (std::any_of(volumes.begin(), volumes.end(), [&](const VolumeInfo& v) { return v.root == m.mountPoint; })) continue;
    const char letter = NextFreeLetter(volumes, 'D');
    if (!letter) break;
    std::string label = std::filesystem::path(m.mountPoint).filename().string();
    volumes.push_back({letter, DRIVE_REMOTE, m.mountPoint, label, {}, {}, false});
  }
  std::sort(volumes.begin(), volumes.end(), [](const VolumeInfo& a, const VolumeInfo& b) { return a.letter < b.letter; });
  return volumes;
}

void SetVolumeSource(std::shared_ptr<VolumeSource> source) {
  std::lock_guard lock(g_mutex);
  g_source = std::move(source);
}

std::vector<VolumeInfo> GetVolumes() {
  std::shared_ptr<VolumeSource> source;
  {
    std::lock_guard lock(g_mutex);
    if (!g_source) g_source = std::make_shared<SystemVolumeSource>();
    source = g_source;
  }
  return source->Scan();
}

std::optional<VolumeInfo> FindVolume(const std::string& root) {
  if (root.empty()) return std::nullopt;
  const std::vector<VolumeInfo> volumes = GetVolumes();
  const bool letterForm = std::isalpha(static_cast<unsigned char>(root[0])) &&
                          (root.size() == 1 || (root[1] == ':' && (root.size() == 2 || (root.size() == 3 && root[2] == '\\'))));
  for (const auto& v : volumes) {
    if (letterForm) {
      if (v.letter == std::toupper(static_cast<unsigned char>(root[0]))) return v;
    } else if (!v.root.empty() && (v.root == root || v.root + "/" == root)) {
      return v;
    }
  }
  return std::nullopt;
}

DWORD GetLogicalDrives() {
  DWORD mask = 0;
  for (const auto& v : GetVolumes()) {
    if (v.letter >= 'A' && v.letter <= 'Z') mask |= 1u << (v.letter - 'A');
  }
  return mask;
}

UINT GetDriveTypeA(const char* root) {
  if (!root) return DRIVE_NO_ROOT_DIR;
  const auto v = FindVolume(root);
  return v ? v->type : DRIVE_NO_ROOT_DIR;
}

BOOL GetVolumeInformationA(const char* root, char* label, DWORD labelSize) {
  if (!root) return FALSE;
  const auto v = FindVolume(root);
  if (!v) return FALSE;
  if (label && labelSize > 0) {
    const size_t n = std::min<size_t>(v->label.size(), labelSize - 1);
    std::memcpy(label, v->label.data(), n);
    label[n] = 0;
  }
  return TRUE;
}

BOOL GetDiskFreeSpaceExA(const char* path, ULONGLONG* freeToCaller, ULONGLONG* total, ULONGLONG* totalFree) {
  if (!path) return FALSE;
  std::string where = path;
  if (const auto v = FindVolume(where); v && !v->root.empty() && where.size() <= 3) where = v->root;
  struct statvfs st {};
  if (::statvfs(where.c_str(), &st) != 0) return FALSE;
  if (freeToCaller) *freeToCaller = static_cast<ULONGLONG>(st.f_bavail) * st.f_frsize;
  if (total) *total = static_cast<ULONGLONG>(st.f_blocks) * st.f_frsize;
  if (totalFree) *totalFree = static_cast<ULONGLONG>(st.f_bfree) * st.f_frsize;
  return TRUE;
}

}  // namespace plat
