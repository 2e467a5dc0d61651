// Where each module keeps its files below the user's folders, and the
// configuration's drive lists from the core object's drive enumerator.
#include <array>
#include <cstring>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/video_config.h"
#include "corebridge/core/registry_key.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/core/user_folders.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"

using namespace plat;

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The reader slots (1 the optical drive, 2-6 the card and stick readers)
// from the drive table: the first optical drive, then the removable drives
// in letter order. A slot with no such drive is empty, so pressing it is
// refused rather than opening whatever volume wears the slot's old letter.
void FillReaderSlotsFromDriveTable(std::array<std::string, 7>& roots) {
  for (std::size_t slot = 1; slot < roots.size(); ++slot) roots[slot].clear();
  std::size_t nextRemovable = 2;
  for (const VolumeInfo& volume : GetVolumes()) {
    const std::string root = std::string(1, volume.letter) + ":\\";
    if (volume.type == DRIVE_CDROM && roots[1].empty()) {
      roots[1] = root;
    } else if (volume.type == DRIVE_REMOVABLE && nextRemovable < roots.size()) {
      roots[nextRemovable++] = root;
    }
  }
}

std::string LookupOr(IFrameServices* services, const char* key, const char* fallback) {
  std::string text;
  if (services && services->LookupString(key, text) && !text.empty()) return text;
  return fallback;
}

}  // namespace

int CUISystem::CreateMediaFolders() {
  if (!m_pConfig) return E_FAIL;
  CConfig& config = *m_pConfig;
  config.m_strVideoFolder = Join(config.m_strDocumentsFolder, LookupOr(m_pUICallback, "MYVIDEOS", "My Videos"));
  EnsureFolder(config.m_strVideoFolder);
  const std::string& radioBase = VendorId() == 4 ? config.m_strMusicFolder : config.m_strDocumentsFolder;
  config.m_strRadioFolder = Join(radioBase, LookupOr(m_pUICallback, "MYRADIO", "My Radio"));
  if (config.m_aFeatureWords[FEATURE_RADIO] & 1) EnsureFolder(config.m_strRadioFolder);
  // Defaults of the sections' folders; "Config.xml", read afterwards, may
  // name others.
  config.m_pPhoto->m_strBrowseFolder = config.m_strPicturesFolder;
  config.m_pPhoto->m_strAcquiredImageFolder = config.m_strPicturesFolder;
  config.m_pPhoto->m_strMusicFolder = config.m_strMusicFolder;
  config.m_strSnapshotFolder = Join(config.m_strPicturesFolder, "Snapshot");
  config.m_pMovie->m_strSnapshotFolder = Join(config.m_strSnapshotFolder, "Movie Snapshot");
  if (config.m_aFeatureWords[FEATURE_MOVIE] & 1) {
    EnsureFolder(config.m_strSnapshotFolder);
    EnsureFolder(config.m_pMovie->m_strSnapshotFolder);
  }
  config.m_pVideo->m_strBrowseFolder = config.m_strVideoFolder;
  config.m_pVideo->m_strDefaultFolder = config.m_strVideoFolder;
  config.m_pVideo->m_strCapturedFolder = config.m_strVideoFolder;
  config.m_pVideo->m_strSnapshotFolder = Join(config.m_strSnapshotFolder, "Video Snapshot");
  config.m_pRadio->m_strRecordFolder = config.m_strRadioFolder;
  config.m_pMusic->m_strDefaultFolder = config.m_strMusicFolder;
  config.m_pMusic->m_strBrowseFolder = config.m_strMusicFolder;
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return E_FAIL;
  BuildDriveLists();
  char buffer[kServiceNameBytes] = {};
  char* out = buffer;
  drives->GetCaptureDeviceName(0, &out);
  return 1;
}

int CUISystem::BuildDriveLists() {
  if (!m_pConfig) return 0;
  CConfig& config = *m_pConfig;
  config.m_vecOpticalDrives.clear();
  config.m_vecDriveList2.clear();
  config.m_vecDriveList3.clear();
  config.m_vecDriveList4.clear();
  config.m_vecDriveList5.clear();
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return 0;
  const int flags = AppFlags();
  if (flags & 8) {
    for (int index = 0;; ++index) {
      char root[kServiceNameBytes] = {};
      char* out = root;
      if (FAILED(drives->GetDriveRoot(index, &out))) break;
      char label[kServiceNameBytes] = {};
      CDriveEntry entry;
      entry.strRoot = root;
      if (GetVolumeInformationA(root, label, sizeof(label)) && label[0]) {
        entry.strDisplayName = std::string(root) + " ( " + label + " )";
      } else {
        entry.strDisplayName = root;
      }
      int drive = -1;
      if (SUCCEEDED(drives->GetDriveNumber(root, &drive))) drives->GetDriveKind(drive, &entry.nKind);
      if (entry.nKind == DRIVE_KIND_REMOVABLE) config.m_vecDriveList2.push_back({entry.strRoot, entry.strDisplayName});
      config.m_vecOpticalDrives.push_back(std::move(entry));
    }
  }
  const struct {
    int bit;
    HRESULT (IDriveEnumerator::*get)(int, char**, char**);
    std::vector<CDriveTexts>* list;
  } lists[] = {{0x10, &IDriveEnumerator::GetList3Entry, &config.m_vecDriveList3},
               {4, &IDriveEnumerator::GetList4Entry, &config.m_vecDriveList4},
               {0x20, &IDriveEnumerator::GetList5Entry, &config.m_vecDriveList5}};
  for (const auto& l : lists) {
    if (!(flags & l.bit)) continue;
    for (int index = 0;; ++index) {
      char first[kServiceNameBytes] = {};
      char second[kServiceNameBytes] = {};
      char* a = first;
      char* b = second;
      if (FAILED(((*drives).*(l.get))(index, &a, &b))) break;
      l.list->push_back({second, first});
    }
  }
  if (VendorId() == 4) {
    static constexpr std::array<const char*, 7> kNames = {"RoridoArchiveDrive",     "RoridoCDDrive",
                                                          "RoridoUSBDrive",         "RoridoSmartMediaDrive",
                                                          "RoridoMemoryStickDrive", "RoridoCompactFlash",
                                                          "RoridoSecureDigital"};
    CRegistryKey key(HKEY_LOCAL_MACHINE);
    if (key.Open(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true)) {
      for (size_t i = 0; i < kNames.size(); ++i) {
        std::string value;
        if (key.QueryString(kNames[i], value)) config.m_szDriveRoots[i] = value;
      }
    }
  } else {
    FillReaderSlotsFromDriveTable(config.m_szDriveRoots);
  }
  return 1;
}
