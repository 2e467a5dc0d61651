#include "corebridge/core/leftover_files.h"

#include <algorithm>
#include <filesystem>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/video_config.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/drive_table.h"

std::vector<std::string> FoldersWrittenTo(const CConfig& config) {
  std::vector<std::string> folders{config.m_strSettingsFolder, config.m_strPicturesFolder, config.m_strMusicFolder,
                                   config.m_strVideoFolder,    config.m_strRadioFolder,    config.m_strSnapshotFolder};
  if (config.m_pMovie) folders.push_back(config.m_pMovie->m_strSnapshotFolder);
  if (config.m_pMusic) {
    folders.push_back(config.m_pMusic->m_strDefaultFolder);
    folders.push_back(config.m_pMusic->m_strBrowseFolder);
  }
  if (config.m_pPhoto) {
    folders.push_back(config.m_pPhoto->m_strBrowseFolder);
    folders.push_back(config.m_pPhoto->m_strCurrentFolder);
    folders.push_back(config.m_pPhoto->m_strAcquiredImageFolder);
  }
  if (config.m_pRadio) folders.push_back(config.m_pRadio->m_strRecordFolder);
  if (config.m_pTV) {
    folders.push_back(config.m_pTV->m_strWorkingFolder);
    folders.push_back(config.m_pTV->m_strSnapshotFolder);
  }
  if (config.m_pVideo) {
    folders.push_back(config.m_pVideo->m_strCapturedFolder);
    folders.push_back(config.m_pVideo->m_strSnapshotFolder);
    folders.push_back(config.m_pVideo->m_strCurrentFolder);
  }
  for (const plat::VirtualWriter& writer : plat::ReadVirtualWriters()) {
    if (!writer.path.empty()) folders.push_back(std::filesystem::path(writer.path).parent_path().string());
  }
  std::erase_if(folders, [](const std::string& folder) { return folder.empty(); });
  for (std::string& folder : folders) folder = std::filesystem::path(folder).lexically_normal().string();
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  return folders;
}

int RemoveLeftoversOfKilledWriters(const CConfig& config) {
  int removed = 0;
  for (const std::string& folder : FoldersWrittenTo(config)) removed += plat::RemoveStaleTemporaryFilesIn(folder);
  return removed;
}
