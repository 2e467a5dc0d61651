#include "corebridge/core/music_sources.h"

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "interfaces/core_object.h"

std::vector<MusicSource> MusicSources(const CConfig& config, int appFlags) {
  std::vector<MusicSource> sources;
  sources.push_back({MusicSource::DefaultFolder, config.m_pMusic ? config.m_pMusic->m_strDefaultFolder : "", {}});
  if (appFlags & 0x80) sources.push_back({MusicSource::MediaLibrary, {}, {}});
  if (appFlags & 0x4)
    for (const CDriveTexts& entry : config.m_vecDriveList4)
      sources.push_back({MusicSource::Folder, entry.strFirst, entry.strSecond});
  for (const CDriveEntry& drive : config.m_vecOpticalDrives)
    if (drive.nKind == DRIVE_KIND_OPTICAL) sources.push_back({MusicSource::AudioCd, drive.strRoot, drive.strDisplayName});
  for (auto it = config.m_vecDriveList2.rbegin(); it != config.m_vecDriveList2.rend(); ++it)
    sources.push_back({MusicSource::Removable, it->strFirst, it->strSecond});
  for (const CDriveTexts& entry : config.m_vecDriveList3)
    sources.push_back({MusicSource::CardReader, entry.strFirst, entry.strSecond});
  if (appFlags & 0x20)
    for (const CDriveTexts& entry : config.m_vecDriveList5)
      sources.push_back({MusicSource::Network, entry.strFirst, entry.strSecond});
  return sources;
}
