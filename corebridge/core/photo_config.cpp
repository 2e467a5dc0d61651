#include "corebridge/core/photo_config.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/section_text.h"
#include "corebridge/core/settings_fields.h"
#include "corebridge/core/xml_settings.h"

namespace {

constexpr const char* kBgMusic = "PHOTO_BGMUSIC";
constexpr const char* kBgAlbum = "PHOTO_BGMUSICALBUM";
constexpr const char* kBgPlaylist = "PHOTO_BGMUSICPLAYLIST";
constexpr const char* kBgCd = "PHOTO_BGMUSICCD";
constexpr const char* kBgTrack = "PHOTO_BGMUSICTRACK";
constexpr std::size_t kCdDriveChars = 7;
// A slide shown longer than a day is no slide show anyone set up.
constexpr int kMaxSlideSeconds = 24 * 60 * 60;

}  // namespace

CPhotoConfig::CPhotoConfig(CConfig* root) : m_pRoot(root) {}

CPhotoConfig::~CPhotoConfig() = default;

int CPhotoConfig::PhotoConfigLoad(CXmlSettings& xml) {
  if (!xml.Root()) return 0;
  using namespace settings_fields;
  ReadInt(xml, "PHOTO_DURATION", m_nSlideDuration, kSection, Between(1, kMaxSlideSeconds));
  ReadInt(xml, "PHOTO_TRANSITION", m_nTransition, kSection, Between(0, 5));
  ReadInt(xml, "PHOTO_ISPLAYBGMUSIC", m_bPlayBgMusic, kSection, Between(0, 1));
  ReadIntOr(xml, "PHOTO_BGMUSICTYPE", m_nBgMusicType, kBgMusic, 0, Between(0, 7));  // a missing key reads as 0

  xml.XmlGetWString("PHOTO_BGMUSICALBUMNAME", m_wszBgAlbumName, kBgAlbum);
  xml.XmlGetWString("PHOTO_BGMUSICALBUMID", m_wszBgAlbumId, kBgAlbum);
  xml.XmlGetWString("PHOTO_BGMUSICARTIST", m_wszBgArtist, kBgMusic);
  xml.XmlGetWString("PHOTO_BGMUSICPLAYLISTNAME", m_wszBgPlaylistName, kBgPlaylist);
  xml.XmlGetWString("PHOTO_BGMUSICPLAYLISTURL", m_wszBgPlaylistUrl, kBgPlaylist);
  ReadIntOr(xml, "PHOTO_BGMUSICPLAYLISTORDER", m_nBgPlaylistOrder, kBgPlaylist, 0, kAny);
  xml.XmlGetWString("PHOTO_BGMUSICCDNAME", m_wszBgCdName, kBgCd);
  std::string drive;
  if (xml.XmlGetString("PHOTO_BGMUSICCDDRIVE", drive, kBgCd)) {
    m_szBgCdDrive = section_text::TruncateUtf8(drive, kCdDriveChars);
  }
  xml.XmlGetWString("PHOTO_BGMUSICTRACKNAME", m_wszBgTrackName, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKALBUM", m_wszBgTrackAlbum, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKARTIST", m_wszBgTrackArtist, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKGENDRE", m_wszBgTrackGenre, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKPATH", m_wszBgTrackPath, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKEXT", m_wszBgTrackExt, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKCOLLECTID", m_wszBgTrackCollectionId, kBgTrack);
  xml.XmlGetWString("PHOTO_BGMUSICTRACKTDURA", m_wszBgTrackDurationText, kBgTrack);

  // Seconds; -1 (what a missing key gives) when unknown.
  double duration = -1.0;
  if (xml.XmlReadDouble("PHOTO_BGMUSICTRACKDDURA", duration, kBgMusic) != XmlNumber::kNotANumber &&
      (duration >= 0.0 || duration == -1.0)) {
    m_dBgTrackDuration = duration;
  }
  std::string musicPath;
  xml.XmlGetString("PHOTO_BGMUSICPATH", musicPath, kBgMusic);
  m_szBgMusicPath = musicPath;

  xml.XmlGetString("PHOTO_ACQUIREDIMAGEFOLDER", m_strAcquiredImageFolder, kSection);
  xml.XmlGetString("PHOTO_BROWSEFOLDER", m_strBrowseFolder, kSection);
  if (!section_text::FolderExists(m_strBrowseFolder) && m_pRoot) m_strBrowseFolder = m_pRoot->m_strPicturesFolder;
  return 1;
}

int CPhotoConfig::PhotoConfigSave(CXmlSettings& xml) {
  xml.XmlSetInt("PHOTO_DURATION", m_nSlideDuration, kSection);
  xml.XmlSetInt("PHOTO_TRANSITION", m_nTransition, kSection);
  xml.XmlSetInt("PHOTO_ISPLAYBGMUSIC", m_bPlayBgMusic, kSection);

  // Groups are keys with an empty value that later keys name as their
  // section; each is written just before its keys so that it exists when
  // they are appended.
  xml.XmlSetString(kBgMusic, "", kSection);
  xml.XmlSetInt("PHOTO_BGMUSICTYPE", m_nBgMusicType, kBgMusic);
  xml.XmlSetString(kBgAlbum, "", kBgMusic);
  xml.XmlSetWString("PHOTO_BGMUSICALBUMNAME", m_wszBgAlbumName, kBgAlbum);
  xml.XmlSetWString("PHOTO_BGMUSICALBUMID", m_wszBgAlbumId, kBgAlbum);
  xml.XmlSetWString("PHOTO_BGMUSICARTIST", m_wszBgArtist, kBgMusic);
  xml.XmlSetString(kBgPlaylist, "", kBgMusic);
  xml.XmlSetWString("PHOTO_BGMUSICPLAYLISTNAME", m_wszBgPlaylistName, kBgPlaylist);
  xml.XmlSetWString("PHOTO_BGMUSICPLAYLISTURL", m_wszBgPlaylistUrl, kBgPlaylist);
  xml.XmlSetInt("PHOTO_BGMUSICPLAYLISTORDER", m_nBgPlaylistOrder, kBgPlaylist);
  xml.XmlSetString(kBgCd, "", kBgMusic);
  xml.XmlSetWString("PHOTO_BGMUSICCDNAME", m_wszBgCdName, kBgCd);
  xml.XmlSetString("PHOTO_BGMUSICCDDRIVE", section_text::TruncateUtf8(m_szBgCdDrive, kCdDriveChars), kBgCd);
  xml.XmlSetString(kBgTrack, "", kBgMusic);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKNAME", m_wszBgTrackName, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKALBUM", m_wszBgTrackAlbum, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKARTIST", m_wszBgTrackArtist, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKGENDRE", m_wszBgTrackGenre, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKPATH", m_wszBgTrackPath, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKEXT", m_wszBgTrackExt, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKCOLLECTID", m_wszBgTrackCollectionId, kBgTrack);
  xml.XmlSetWString("PHOTO_BGMUSICTRACKTDURA", m_wszBgTrackDurationText, kBgTrack);
  xml.XmlSetDouble("PHOTO_BGMUSICTRACKDDURA", m_dBgTrackDuration, kBgMusic);
  xml.XmlSetString("PHOTO_BGMUSICPATH", m_szBgMusicPath, kBgMusic);

  xml.XmlSetString("PHOTO_ACQUIREDIMAGEFOLDER", m_strAcquiredImageFolder, kSection);
  xml.XmlSetString("PHOTO_BROWSEFOLDER", m_strBrowseFolder, kSection);
  return 1;
}

int CPhotoConfig::CountCheckedPhotos() const {
  return static_cast<int>(
      std::count_if(m_vecPhotos.begin(), m_vecPhotos.end(), [](const PhotoRecord& r) { return r.bChecked != 0; }));
}

int CPhotoConfig::CountCheckedRecordPhotos() const {
  return static_cast<int>(std::count_if(m_vecRecordPhotos.begin(), m_vecRecordPhotos.end(),
                                        [](const PhotoRecord& r) { return r.bChecked != 0; }));
}

std::optional<std::uint64_t> CPhotoConfig::SystemFreeSpace(const std::string& path) {
  struct statvfs fs {};
  if (path.empty() || ::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

void CPhotoConfig::CheckPhotoDiskSpace(const FreeSpaceQuery& query) {
  if (!m_pRoot || !query) return;
  const std::optional<std::uint64_t> free = query(m_pRoot->m_strSettingsFolder);
  if (free && *free <= kLowDiskSpace) DeleteTempFiles();
}

void CPhotoConfig::DeleteTempFiles() {
  for (const auto& [name, path] : m_mapTempFiles) {
    // unlink removes a symbolic link itself and refuses folders.
    if (section_text::PathExists(path)) ::unlink(path.c_str());
  }
  m_mapTempFiles.clear();
}

bool CPhotoConfig::CurrentPhotoValid() const {
  return m_nCurrentPhoto >= 0 && static_cast<std::size_t>(m_nCurrentPhoto) < m_vecPhotos.size();
}

bool CPhotoConfig::HasCheckedPhotoBefore(int index) const {
  return std::any_of(m_vecPhotos.begin(), m_vecPhotos.begin() + index,
                     [](const PhotoRecord& r) { return r.bChecked != 0; });
}

bool CPhotoConfig::HasCheckedPhotoAfter(int index) const {
  return std::any_of(m_vecPhotos.begin() + index + 1, m_vecPhotos.end(),
                     [](const PhotoRecord& r) { return r.bChecked != 0; });
}

int CPhotoConfig::PhotoCanGoPrevious(int& answer) const {
  answer = (CountCheckedPhotos() >= 2 && m_nPhotoPageState == 0 && CurrentPhotoValid() &&
            HasCheckedPhotoBefore(m_nCurrentPhoto))
               ? 1
               : 0;
  return 1;
}

int CPhotoConfig::PhotoCanGoNext(int& answer) const {
  answer = (CountCheckedPhotos() >= 2 && m_nPhotoPageState == 0 && CurrentPhotoValid() &&
            HasCheckedPhotoAfter(m_nCurrentPhoto))
               ? 1
               : 0;
  return 1;
}

int CPhotoConfig::PhotoCurrentValid(int& answer) const {
  answer = (m_nPhotoPageState == 0 && CurrentPhotoValid()) ? 1 : 0;
  return 1;
}

int CPhotoConfig::PhotoQuery4(int& answer) const {
  answer = (m_nPhotoPageState != 0 || m_nPhotoState == 2) ? 1 : 0;
  return 1;
}

int CPhotoConfig::PhotoQuery5(int& answer) const {
  answer = (m_nPhotoState == 1 && m_nPhotoPageState != 0 && m_nPhotoPageState != 3 && m_nPhotoPageState != 4) ? 1 : 0;
  return 1;
}

int CPhotoConfig::PhotoQuery6(int& answer) const {
  answer = (m_nPhotoState == 1 && m_nPhotoPageState != 0 && m_nPhotoPageState != 3) ? 1 : 0;
  return 1;
}

int CPhotoConfig::PhotoQuery7(int& answer) const {
  answer = (m_nPhotoState == 1 && m_nPhotoPageState != 0 && m_nPhotoPageState != 4) ? 1 : 0;
  return 1;
}
