#include "lounge/pages/music/music_device_rows.h"

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/shell/app_services.h"

namespace {

constexpr const char* kFolderIcon = "Layout\\Img\\Common\\sub-files.bmp";
constexpr const char* kMusicFolderIcon = "Layout\\Img\\Common\\sub-files-music.bmp";

std::string NameOr(const std::string& name) { return name.empty() ? "???" : name; }

std::string DisplayNameOf(const std::string& path) {
  if (path.empty()) return {};
  std::string name;
  GetShellDisplayName(path, name);
  return name;
}

// A drive-list entry: its display text, or the shell name of its root.
std::string EntryName(const CDriveTexts& entry) {
  return entry.strSecond.empty() ? DisplayNameOf(entry.strFirst) : entry.strSecond;
}

}  // namespace

std::vector<MusicDeviceRow> MusicDeviceRows(const CConfig& config, int appFlags, int vendorId) {
  std::vector<MusicDeviceRow> rows;
  const bool musicIcons = vendorId == 2;
  auto icon = [&](const char* own) { return std::string(musicIcons ? kMusicFolderIcon : own); };
  const std::string defaultFolder = config.m_pMusic ? config.m_pMusic->m_strDefaultFolder : std::string();
  rows.push_back({MusicDeviceRow::DefaultFolder, defaultFolder, NameOr(DisplayNameOf(defaultFolder)), icon(kFolderIcon)});
  if (appFlags & 0x80)
    rows.push_back({MusicDeviceRow::MediaLibrary, {}, NameOr(UIStringOrEmpty("MUSIC_MEDIA_LIBRARY")), icon(kFolderIcon)});
  if (appFlags & 0x4)
    for (const CDriveTexts& entry : config.m_vecDriveList4)
      rows.push_back({MusicDeviceRow::Folder, entry.strFirst, NameOr(EntryName(entry)),
                      icon("Layout\\Img\\Common\\hard_disk.bmp")});
  // The drive list holds every volume; the controller opens its optical
  // drives here and its removable ones (the second list) below.
  for (const CDriveEntry& drive : config.m_vecOpticalDrives) {
    if (drive.nKind != 1) continue;
    const std::string name = drive.strDisplayName.empty() ? DisplayNameOf(drive.strRoot) : drive.strDisplayName;
    rows.push_back({MusicDeviceRow::Optical, drive.strRoot, NameOr(name), "Layout\\Img\\Common\\sub-cdromaudio.BMP"});
  }
  for (auto it = config.m_vecDriveList2.rbegin(); it != config.m_vecDriveList2.rend(); ++it)
    rows.push_back({MusicDeviceRow::Removable, it->strFirst, NameOr(EntryName(*it)), icon(kFolderIcon)});
  for (const CDriveTexts& entry : config.m_vecDriveList3)
    rows.push_back({MusicDeviceRow::CardReader, entry.strFirst, NameOr(EntryName(entry)),
                    "Layout\\Img\\Common\\sub-cardreader.BMP"});
  if (appFlags & 0x20)
    for (const CDriveTexts& entry : config.m_vecDriveList5)
      rows.push_back({MusicDeviceRow::Network, entry.strFirst, NameOr(EntryName(entry)),
                      icon("Layout\\Img\\Common\\remote_drive.bmp")});
  return rows;
}
