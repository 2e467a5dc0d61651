#include "corebridge/core/config.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>

#include "corebridge/core/authoring_config.h"
#include "corebridge/core/general_config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/registry_key.h"
#include "corebridge/core/settings_fields.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/user_folders.h"
#include "corebridge/core/version_text.h"
#include "corebridge/core/video_config.h"
#include "corebridge/core/xml_settings.h"
#include "platform/registry/registry.h"

namespace {

std::string LoginName() {
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
  return {};
}

int CountOfKind(const std::vector<CDriveEntry>& drives, int kind) {
  return static_cast<int>(
      std::count_if(drives.begin(), drives.end(), [&](const CDriveEntry& d) { return d.nKind == kind; }));
}

int NameOfKind(const std::vector<CDriveEntry>& drives, int kind, int n, std::string& root) {
  if (n < 0) return 0;
  for (const CDriveEntry& d : drives) {
    if (d.nKind != kind) continue;
    if (n-- == 0) {
      root = d.strRoot;
      return 1;
    }
  }
  return 0;
}

}  // namespace

CConfig::CConfig()
    : m_pMovie(std::make_unique<CMovieConfig>(this)),
      m_pVideo(std::make_unique<CVideoConfig>(this)),
      m_pPhoto(std::make_unique<CPhotoConfig>(this)),
      m_pMusic(std::make_unique<CMusicConfig>(this)),
      m_pTV(std::make_unique<CTVConfig>(this)),
      m_pRadio(std::make_unique<CRadioConfig>(this)),
      m_pRecord(std::make_unique<CRecordConfig>(this)),
      m_pGeneral(std::make_unique<CGeneralConfig>(this)),
      m_pAuthoring(std::make_unique<CAuthoringConfig>(this)) {
  FindFolders();
  m_strVersion = VersionTextOfExecutable();
  ReadRegistryDefaults();
}

CConfig::~CConfig() {
  // Sections go in this order; the record hub last.
  m_pMovie.reset();
  m_pVideo.reset();
  m_pPhoto.reset();
  m_pMusic.reset();
  m_pTV.reset();
  m_pRadio.reset();
  m_pGeneral.reset();
  m_pRecord.reset();
}

void CConfig::FindFolders() {
  const UserFolders folders = FindUserFolders();
  m_strSettingsFolder = folders.settings;
  m_strPicturesFolder = folders.pictures;
  m_strMusicFolder = folders.music;
  m_strUserVideosFolder = folders.videos;
  m_strDocumentsFolder = folders.documents;
  m_strUserName = LoginName();
}

void CConfig::ReadRegistryDefaults() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, kRegistryKey, true)) return;
  plat::DWORD value = 0;
  if (key.QueryDword("DefaultWideScreenMode", value)) m_nWideScreenMode = static_cast<int>(value);
  value = 0;
  if (key.QueryDword("PowerSave", value)) m_bPowerSave = value != 0 ? 1 : 0;
  std::string windowsFolder;
  if (key.QueryString("WindowsFolder", windowsFolder) && !windowsFolder.empty()) m_strWindowsFolder = windowsFolder;
  key.Close();
}

std::string CConfig::ConfigFilePath() const { return m_strSettingsFolder + "/" + kFileName; }

int CConfig::ConfigLoad(CXmlSettings& xml) {
  m_pMovie->MovieConfigLoad(xml);
  m_pVideo->VideoConfigLoad(xml);
  m_pPhoto->PhotoConfigLoad(xml);
  m_pMusic->MusicConfigLoad(xml);
  m_pTV->TVConfigLoad(xml);
  m_pRadio->RadioConfigLoad(xml);
  m_pGeneral->GeneralConfigLoad(xml);

  // A missing key reads as 0 (the audio profile as 1) and is then kept like
  // a read value, when in range.
  using namespace settings_fields;
  ReadIntOr(xml, "SOUNDEFFECTCONFIG", m_bSoundEffect, kSection, 0, Between(0, 1));
  ReadIntOr(xml, "OSDDURATIONCONFIG", m_nOsdDuration, kSection, 0, Between(0, 10));
  ReadIntOr(xml, "SUBWOOFERCONFIG", m_bSubwoofer, kSection, 0, Between(0, 1));
  ReadIntOr(xml, "AUDIOPROFILECONFIG", m_nAudioProfile, kSection, 1, Between(1, 9));
  // 1 a 4:3 screen, 2 a wide one; 0 is what a missing key gives.
  ReadUIntAsIntOr(xml, "SCREENRATIOCONFIG", m_nScreenRatio, kSection, 0, Between(0, 2));
  // The language chosen on the Setting page; a file without it keeps the
  // language of the texts.
  ReadIntOr(xml, "LANGUAGECONFIG", m_nLanguage, kSection, m_nLanguage, Between(1, 2));
  return 1;
}

int CConfig::ConfigSave(CXmlSettings& xml) {
  m_pMovie->MovieConfigSave(xml);
  m_pVideo->VideoConfigSave(xml);
  m_pPhoto->PhotoConfigSave(xml);
  m_pMusic->MusicConfigSave(xml);
  m_pTV->TVConfigSave(xml);
  m_pRadio->RadioConfigSave(xml);
  m_pGeneral->GeneralConfigSave(xml);

  xml.XmlSetInt("SOUNDEFFECTCONFIG", m_bSoundEffect, kSection);
  xml.XmlSetInt("OSDDURATIONCONFIG", m_nOsdDuration, kSection);
  xml.XmlSetInt("SUBWOOFERCONFIG", m_bSubwoofer, kSection);
  xml.XmlSetInt("AUDIOPROFILECONFIG", m_nAudioProfile, kSection);
  xml.XmlSetUInt("SCREENRATIOCONFIG", static_cast<std::uint32_t>(m_nScreenRatio), kSection);
  xml.XmlSetInt("LANGUAGECONFIG", m_nLanguage, kSection);
  return 1;
}

int CConfig::CountDrivesOfKind1() const { return CountOfKind(m_vecOpticalDrives, 1); }
int CConfig::CountDrivesOfKind8() const { return CountOfKind(m_vecOpticalDrives, 8); }
int CConfig::GetDriveList3Count() const { return static_cast<int>(m_vecDriveList3.size()); }
int CConfig::GetDriveList4Count() const { return static_cast<int>(m_vecDriveList4.size()); }
int CConfig::GetDriveList5Count() const { return static_cast<int>(m_vecDriveList5.size()); }

int CConfig::GetDriveNameOfKind1(int n, std::string& root) const {
  return NameOfKind(m_vecOpticalDrives, 1, n, root);
}

int CConfig::GetDriveNameOfKind8(int n, std::string& root) const {
  return NameOfKind(m_vecOpticalDrives, 8, n, root);
}
