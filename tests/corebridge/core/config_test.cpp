// The configuration root: defaults, folders, version text, registry
// defaults, the "CONFIGURATION" values of Config.xml and the drive lists.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/config.h"
#include "corebridge/core/user_folders.h"
#include "corebridge/core/version_text.h"
#include "corebridge/core/xml_settings.h"
#include "platform/registry/registry.h"
#include "settings_test_support.h"

namespace {

using settings_test::ExpectMatchesGolden;
using settings_test::TempEnvironment;
using settings_test::WriteFile;

bool IsFolder(const std::string& path) { return std::filesystem::is_directory(path); }

void SetMachineDword(const char* name, plat::DWORD value) {
  plat::HKEY key = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, 0, nullptr, 0,
                                  plat::KEY_ALL_ACCESS, nullptr, &key, nullptr),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExA(key, name, 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&value),
                                 sizeof value),
            plat::ERROR_SUCCESS);
  plat::RegCloseKey(key);
}

class ConfigTest : public ::testing::Test {
 protected:
  // Loads Config.xml text through a fresh settings document into `config`.
  void LoadConfigText(CConfig& config, const std::string& text) {
    WriteFile(config.ConfigFilePath(), text);
    CXmlSettings xml;
    ASSERT_EQ(xml.XmlSettingsLoadFile(config.ConfigFilePath()), 1) << xml.LastError();
    EXPECT_EQ(config.ConfigLoad(xml), 1);
  }

  TempEnvironment env_;
};

TEST_F(ConfigTest, ConstructorDefaults) {
  CConfig config;
  EXPECT_NE(config.m_pMovie, nullptr);
  EXPECT_NE(config.m_pRecord, nullptr);
  EXPECT_NE(config.m_pGeneral, nullptr);
  EXPECT_EQ(config.m_nActiveModule, 0);
  EXPECT_EQ(config.m_nScreenRatio, 1);
  EXPECT_EQ(config.m_nWideScreenMode, 1);
  EXPECT_EQ(config.m_nAudioProfile, 8);
  EXPECT_EQ(config.m_nOsdDuration, 2);
  EXPECT_EQ(config.m_bSoundEffect, 0);
  EXPECT_EQ(config.m_bSubwoofer, 0);
  EXPECT_EQ(config.m_bPowerSave, 0);
  EXPECT_EQ(config.m_fScaleFactor, 1.0f);
  EXPECT_EQ(config.m_aFeatureWords[FEATURE_MOVIE], -1);
  EXPECT_EQ(config.m_szDriveRoots[0], "C:\\");
  EXPECT_EQ(config.m_szDriveRoots[6], "I:\\");
  EXPECT_EQ(config.m_strWindowsFolder, "/");
  EXPECT_FALSE(config.m_strUserName.empty());
  EXPECT_EQ(config.m_strVersion.rfind("3.0.", 0), 0u) << config.m_strVersion;
  EXPECT_EQ(config.m_strVersion.size(), 8u);
}

TEST_F(ConfigTest, DefaultsSaveAsGolden) {
  CConfig config;
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  EXPECT_EQ(config.ConfigSave(xml), 1);
  ASSERT_EQ(xml.XmlSettingsSave(config.ConfigFilePath()), 1) << xml.LastError();
  ExpectMatchesGolden(config.ConfigFilePath(), "config_defaults.xml");
}

TEST_F(ConfigTest, SavedValuesLoadIntoAFreshRoot) {
  CConfig config;
  config.m_bSoundEffect = 1;
  config.m_nOsdDuration = 10;
  config.m_bSubwoofer = 1;
  config.m_nAudioProfile = 3;
  config.m_nScreenRatio = 2;
  CXmlSettings writer;
  writer.XmlSettingsOpen();
  config.ConfigSave(writer);
  ASSERT_EQ(writer.XmlSettingsSave(config.ConfigFilePath()), 1);

  CConfig loaded;
  CXmlSettings reader;
  ASSERT_EQ(reader.XmlSettingsLoadFile(loaded.ConfigFilePath()), 1);
  loaded.ConfigLoad(reader);
  EXPECT_EQ(loaded.m_bSoundEffect, 1);
  EXPECT_EQ(loaded.m_nOsdDuration, 10);
  EXPECT_EQ(loaded.m_bSubwoofer, 1);
  EXPECT_EQ(loaded.m_nAudioProfile, 3);
  EXPECT_EQ(loaded.m_nScreenRatio, 2);
}

TEST_F(ConfigTest, MissingConfigurationSectionReadsZerosNotDefaults) {
  CConfig config;
  LoadConfigText(config, "<MRVConfig><MOVIECONFIG/></MRVConfig>");
  EXPECT_EQ(config.m_bSoundEffect, 0);
  EXPECT_EQ(config.m_bSubwoofer, 0);
  EXPECT_EQ(config.m_nOsdDuration, 0);
  EXPECT_EQ(config.m_nScreenRatio, 0);
  EXPECT_EQ(config.m_nAudioProfile, 1);
}

TEST_F(ConfigTest, OutOfRangeValuesKeepTheCurrentValue) {
  struct Case {
    const char* key;
    const char* value;
    int CConfig::*field;
    int expected;
  } cases[] = {
      {"OSDDURATIONCONFIG", "11", &CConfig::m_nOsdDuration, 2},
      {"OSDDURATIONCONFIG", "-1", &CConfig::m_nOsdDuration, 2},
      {"OSDDURATIONCONFIG", "10", &CConfig::m_nOsdDuration, 10},
      {"OSDDURATIONCONFIG", "0", &CConfig::m_nOsdDuration, 0},
      {"AUDIOPROFILECONFIG", "0", &CConfig::m_nAudioProfile, 8},
      {"AUDIOPROFILECONFIG", "10", &CConfig::m_nAudioProfile, 8},
      {"AUDIOPROFILECONFIG", "9", &CConfig::m_nAudioProfile, 9},
      {"SOUNDEFFECTCONFIG", "2", &CConfig::m_bSoundEffect, 0},
      {"SOUNDEFFECTCONFIG", "1", &CConfig::m_bSoundEffect, 1},
      {"SUBWOOFERCONFIG", "-1", &CConfig::m_bSubwoofer, 0},
      {"SCREENRATIOCONFIG", "2", &CConfig::m_nScreenRatio, 2},
      {"SCREENRATIOCONFIG", "7", &CConfig::m_nScreenRatio, 1},
      {"SCREENRATIOCONFIG", "-1", &CConfig::m_nScreenRatio, 1},       // unsigned 4294967295
      {"OSDDURATIONCONFIG", "99999999999", &CConfig::m_nOsdDuration, 2},  // saturates out of range
      // Text that is no number keeps the default; it once read as 0 ("Off").
      {"OSDDURATIONCONFIG", "abc", &CConfig::m_nOsdDuration, 2},
      {"OSDDURATIONCONFIG", "", &CConfig::m_nOsdDuration, 2},
      {"AUDIOPROFILECONFIG", "x", &CConfig::m_nAudioProfile, 8},
      {"SCREENRATIOCONFIG", "wide", &CConfig::m_nScreenRatio, 1},
      // The language chosen is kept; anything else keeps the texts' language.
      {"LANGUAGECONFIG", "1", &CConfig::m_nLanguage, 1},
      {"LANGUAGECONFIG", "2", &CConfig::m_nLanguage, 2},
      {"LANGUAGECONFIG", "3", &CConfig::m_nLanguage, 2},
      {"LANGUAGECONFIG", "", &CConfig::m_nLanguage, 2},
  };
  for (const Case& c : cases) {
    CConfig config;
    // The other keys are present and in range, so only `key` is under test.
    std::string text = "<MRVConfig><CONFIGURATION>";
    for (const char* key : {"OSDDURATIONCONFIG", "AUDIOPROFILECONFIG", "SOUNDEFFECTCONFIG", "SUBWOOFERCONFIG",
                            "SCREENRATIOCONFIG", "LANGUAGECONFIG"}) {
      const std::string value = key == std::string(c.key) ? c.value
                                : key == std::string("AUDIOPROFILECONFIG") ? "8"
                                : key == std::string("OSDDURATIONCONFIG")  ? "2"
                                : key == std::string("SCREENRATIOCONFIG")  ? "1"
                                : key == std::string("LANGUAGECONFIG")     ? "2"
                                                                           : "0";
      text += std::string("<") + key + " value=\"" + value + "\"/>";
    }
    text += "</CONFIGURATION></MRVConfig>";
    LoadConfigText(config, text);
    EXPECT_EQ(config.*c.field, c.expected) << c.key << "=" << c.value;
  }
}

TEST_F(ConfigTest, RegistryDefaults) {
  SetMachineDword("DefaultWideScreenMode", 3);
  SetMachineDword("PowerSave", 5);
  CConfig config;
  EXPECT_EQ(config.m_nWideScreenMode, 3);
  EXPECT_EQ(config.m_bPowerSave, 1);
}

TEST_F(ConfigTest, FoldersComeFromTheXdgDirectories) {
  const std::string home = env_.path("home");
  std::filesystem::create_directories(env_.path("config"));
  WriteFile(env_.path("config/user-dirs.dirs"),
            "# written by hand\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
            "XDG_PICTURES_DIR=\"$HOME/Pics\"\n"
            "XDG_VIDEOS_DIR=\"$HOME/\"\n"
            "XDG_MUSIC_DIR=\"" + env_.path("elsewhere/Tunes") + "\"\n");
  CConfig config;
  EXPECT_EQ(config.m_strSettingsFolder, env_.path("data/Marivel"));
  EXPECT_EQ(config.m_strDocumentsFolder, home + "/Docs");
  EXPECT_EQ(config.m_strPicturesFolder, home + "/Pics");
  EXPECT_EQ(config.m_strMusicFolder, env_.path("elsewhere/Tunes"));
  EXPECT_EQ(config.m_strUserVideosFolder, home + "/Docs");  // "$HOME" means unset
  for (const std::string& folder : {config.m_strSettingsFolder, config.m_strDocumentsFolder,
                                    config.m_strPicturesFolder, config.m_strMusicFolder})
    EXPECT_TRUE(IsFolder(folder)) << folder;
  EXPECT_EQ(config.ConfigFilePath(), env_.path("data/Marivel/Config.xml"));
}

TEST_F(ConfigTest, FoldersFallBackToDocumentsThenHome) {
  CConfig config;  // no user-dirs.dirs at all
  const std::string home = env_.path("home");
  EXPECT_EQ(config.m_strDocumentsFolder, home);
  EXPECT_EQ(config.m_strPicturesFolder, home);
  EXPECT_EQ(config.m_strMusicFolder, home);
  EXPECT_EQ(config.m_strUserVideosFolder, home);

  // XDG_DATA_HOME unset: the data folder lies below home.
  ::unsetenv("XDG_DATA_HOME");
  CConfig second;
  EXPECT_EQ(second.m_strSettingsFolder, home + "/.local/share/Marivel");
  EXPECT_TRUE(IsFolder(second.m_strSettingsFolder));
}

TEST(UserDirs, ParsesTheUserDirsFormat) {
  const auto dirs = ParseUserDirs(
      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
      "  XDG_MUSIC_DIR=\"/srv/music/\"  \n"
      "XDG_VIDEOS_DIR=\"$HOME\"\n"
      "XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"\n"
      "XDG_BROKEN_DIR=$HOME/NoQuotes\n"
      "XDG_RELATIVE_DIR=\"relative\"\n"
      "XDG_HOMEISH_DIR=\"$HOMEBOY\"\n",
      "/home/u");
  EXPECT_EQ(dirs.at("XDG_DESKTOP_DIR"), "/home/u/Desktop");
  EXPECT_EQ(dirs.at("XDG_MUSIC_DIR"), "/srv/music");
  EXPECT_EQ(dirs.at("XDG_PICTURES_DIR"), "/home/u/My \"Pics\"");
  EXPECT_EQ(dirs.count("XDG_VIDEOS_DIR"), 0u);
  EXPECT_EQ(dirs.count("XDG_BROKEN_DIR"), 0u);
  EXPECT_EQ(dirs.count("XDG_RELATIVE_DIR"), 0u);
  EXPECT_EQ(dirs.count("XDG_HOMEISH_DIR"), 0u);
}

TEST_F(ConfigTest, VersionTextFromTheFilesModificationDate) {
  const std::string file = env_.path("program");
  WriteFile(file, "x");
  std::tm local{};
  local.tm_year = 2025 - 1900;
  local.tm_mon = 2;  // March
  local.tm_mday = 7;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  const std::time_t when = std::mktime(&local);
  const struct timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(VersionTextOfFile(file), "3.0.0307");
  EXPECT_EQ(VersionTextOfFile(env_.path("no-such-file")), "");
}

TEST_F(ConfigTest, DriveListQueries) {
  CConfig config;
  EXPECT_EQ(config.CountDrivesOfKind1(), 0);
  EXPECT_EQ(config.GetDriveList3Count(), 0);
  config.m_vecOpticalDrives = {{"/media/cd", "CD", 1}, {"/media/data", "Data", 8}, {"/media/cd2", "CD 2", 1}};
  config.m_vecDriveList4 = {{"/media/usb", "USB"}};
  EXPECT_EQ(config.CountDrivesOfKind1(), 2);
  EXPECT_EQ(config.CountDrivesOfKind8(), 1);
  EXPECT_EQ(config.GetDriveList4Count(), 1);
  EXPECT_EQ(config.GetDriveList5Count(), 0);
  std::string root = "unchanged";
  EXPECT_EQ(config.GetDriveNameOfKind1(1, root), 1);
  EXPECT_EQ(root, "/media/cd2");
  EXPECT_EQ(config.GetDriveNameOfKind8(0, root), 1);
  EXPECT_EQ(root, "/media/data");
  root = "unchanged";
  EXPECT_EQ(config.GetDriveNameOfKind8(1, root), 0);
  EXPECT_EQ(config.GetDriveNameOfKind1(-1, root), 0);
  EXPECT_EQ(root, "unchanged");
}

}  // namespace
