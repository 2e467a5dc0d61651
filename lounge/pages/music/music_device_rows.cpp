#include "lounge/pages/music/music_device_rows.h"

#include "corebridge/core/config.h"
#include "corebridge/core/music_sources.h"
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

}  // namespace

std::vector<MusicDeviceRow> MusicDeviceRows(const CConfig& config, int appFlags, int vendorId) {
  const bool musicIcons = vendorId == 2;
  auto icon = [&](const char* own) { return std::string(musicIcons ? kMusicFolderIcon : own); };
  std::vector<MusicDeviceRow> rows;
  for (const MusicSource& source : MusicSources(config, appFlags)) {
    MusicDeviceRow row{source.kind, source.path, {}, icon(kFolderIcon)};
    const std::string label = source.label.empty() ? DisplayNameOf(source.path) : source.label;
    switch (source.kind) {
      case MusicSource::DefaultFolder: row.name = NameOr(DisplayNameOf(source.path)); break;
      case MusicSource::MediaLibrary: row.name = NameOr(UIStringOrEmpty("MUSIC_MEDIA_LIBRARY")); break;
      case MusicSource::Folder:
        row.name = NameOr(label);
        row.icon = icon("Layout\\Img\\Common\\hard_disk.bmp");
        break;
      case MusicSource::AudioCd:
        row.name = NameOr(label);
        row.icon = "Layout\\Img\\Common\\sub-cdromaudio.BMP";
        break;
      case MusicSource::Removable: row.name = NameOr(label); break;
      case MusicSource::CardReader:
        row.name = NameOr(label);
        row.icon = "Layout\\Img\\Common\\sub-cardreader.BMP";
        break;
      case MusicSource::Network:
        row.name = NameOr(label);
        row.icon = icon("Layout\\Img\\Common\\remote_drive.bmp");
        break;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}
