// CPhotoPage: the drive selector. Entry 0 is the photo browse folder; then
// the hard disks, the optical drives, the removable drives and the network
// drives the configuration knows, then the acquisition devices.
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/photo/photo_page.h"
#include "lounge/shell/app_services.h"
#include "platform/sys/drive_table.h"

namespace {

constexpr const char* kFolderIcon = "Layout\\Img\\Common\\sub-files.bmp";
constexpr const char* kReaderIcon = "Layout\\Img\\Common\\sub-cardreader.BMP";
constexpr const char* kDiscIcon = "Layout\\Img\\Common\\sub-cdromdata.BMP";
constexpr const char* kHardDiskIcon = "Layout\\Img\\Common\\hard_disk.bmp";
constexpr const char* kNetworkIcon = "Layout\\Img\\Common\\remote_drive.bmp";

// The picture of a drive by what the drive is: a list may hold drives of
// other kinds (the drive scan lists every volume with the optical drives),
// and a fixed disk drawn as a disc misleads. `listed` is the list's own
// picture, kept for a root the drive table does not know.
const char* DriveIcon(const std::string& root, const char* listed) {
  switch (plat::GetDriveTypeA(root.c_str())) {
    case plat::DRIVE_CDROM: return kDiscIcon;
    case plat::DRIVE_REMOVABLE: return kReaderIcon;
    case plat::DRIVE_FIXED: return kHardDiskIcon;
    case plat::DRIVE_REMOTE: return kNetworkIcon;
    default: return listed;
  }
}

}  // namespace

std::string CPhotoPage::DriveText(const std::string& root, const std::string& label) {
  if (!label.empty()) return label;
  std::string shown;
  GetShellDisplayName(root, shown);
  return shown.empty() ? root : shown;
}

std::vector<PhotoDriveEntry> CPhotoPage::DriveEntries() {
  std::vector<PhotoDriveEntry> entries;
  const CConfig* config = Config();
  const CPhotoConfig* photo = Photo();
  std::string browse;
  if (photo) GetShellDisplayName(photo->m_strBrowseFolder, browse);
  entries.push_back({3, 0, browse, Vendor() == 2 ? "Layout\\Img\\Common\\sub-files-1.bmp" : kFolderIcon});
  if (!config) return entries;
  const auto addTexts = [&entries, this](const std::vector<CDriveTexts>& list, int kind, const char* icon) {
    for (std::size_t i = 0; i < list.size(); ++i)
      entries.push_back(
          {kind, static_cast<int>(i), DriveText(list[i].strFirst, list[i].strSecond), DriveIcon(list[i].strFirst, icon)});
  };
  addTexts(config->m_vecDriveList3, 4, kHardDiskIcon);
  for (std::size_t i = 0; i < config->m_vecOpticalDrives.size(); ++i) {
    // An optical drive shows what the shell calls its root (the disc's
    // label when one is in).
    const std::string& root = config->m_vecOpticalDrives[i].strRoot;
    std::string shown;
    GetShellDisplayName(root, shown);
    entries.push_back({0, static_cast<int>(i), shown.empty() ? root : shown, DriveIcon(root, kDiscIcon)});
  }
  addTexts(config->m_vecDriveList2, 1, kReaderIcon);
  addTexts(config->m_vecDriveList4, 5, kNetworkIcon);
  if (photo) {
    for (std::size_t i = 0; i < photo->m_vecDevices.size(); ++i) {
      const PhotoDevice& device = photo->m_vecDevices[i];
      entries.push_back({2, static_cast<int>(i), device.strName,
                         device.nType == 2 || device.nType == 3 ? kReaderIcon : kFolderIcon});
    }
  }
  return entries;
}

int CPhotoPage::OpenDriveEntry(int index) {
  const std::vector<PhotoDriveEntry> entries = DriveEntries();
  if (index < 0 || index >= static_cast<int>(entries.size())) return 0;
  const PhotoDriveEntry& entry = entries[static_cast<std::size_t>(index)];
  if (entry.kind == 2) {
    LoadLayout("Photo\\PhotoImageAcquisitionBrowser");
    return Send("Photo ImageAcquisition Browser", entry.index, 0) ? 1 : 0;
  }
  LoadLayout("Photo\\PhotoBrowser");
  // What the controller answered: a drive that cannot be opened is a failure.
  return Send("Photo Browser", entry.index, entry.kind) ? 1 : 0;
}

std::string CPhotoPage::ReaderSlotText(int slot) {
  const CConfig* config = Config();
  if (!config || slot < 0 || slot >= static_cast<int>(config->m_szDriveRoots.size())) return {};
  const std::string& root = config->m_szDriveRoots[static_cast<std::size_t>(slot)];
  if (root.empty()) return UIStringOrEmpty("NOMEDIA");
  const plat::UINT type = plat::GetDriveTypeA(root.c_str());
  plat::ULONGLONG available = 0, total = 0, free = 0;
  if (type == plat::DRIVE_UNKNOWN || type == plat::DRIVE_NO_ROOT_DIR ||
      !plat::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free) || total == 0)
    return UIStringOrEmpty("NOMEDIA");
  std::string shown;
  GetShellDisplayName(root, shown);
  return shown.empty() ? root : shown;
}
