// Start-up options from a temporary registry: every value of the product key,
// defaults when values or the key are missing, the web-link status and query,
// and the sound and display flags that go into the configuration root.
#include "lounge/shell/app_options_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/web_link_query.h"
#include "tests/lounge/app/app_environment.h"
#include "tests/platform/net/loopback_http_server.h"
#include "tests/platform/registry/registry_helpers.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

using namespace marivel_test;
constexpr const char* kProduct = "SoftWare\\Kestrovia\\Marivel";

class AppOptionsTest : public ::testing::Test {
 protected:
  HKEY Machine(const char* path = kProduct) { return keys_.emplace_back(CreateKey(HKEY_LOCAL_MACHINE, path)); }
  HKEY User() { return keys_.emplace_back(CreateKey(HKEY_CURRENT_USER, kProduct)); }
  void TearDown() override {
    for (HKEY key : keys_) RegCloseKey(key);
  }

  std::vector<HKEY> keys_;
};

TEST_F(AppOptionsTest, MissingProductKeyKeepsEveryDefault) {
  TempRegistry registry;
  const AppOptions options = LoadFeatureOptions();
  const AppOptions defaults;
  EXPECT_EQ(options.rootFeatures, -1);
  EXPECT_EQ(options.generalFeatures, -1);
  EXPECT_EQ(options.movieFeatures, -1);
  EXPECT_EQ(options.editorKeyPath, "");
  EXPECT_EQ(options.videoProgramPath, "");
  EXPECT_FALSE(options.openFolderUpperbound);
  EXPECT_EQ(options.playbackTooltipHeight, 0);
  EXPECT_EQ(options.webLinkStatus, -1);
  // No query format in the registry: the query fails and says so.
  EXPECT_EQ(options.webLinkResult, -1);
  EXPECT_EQ(options.webLinkBuild, "");
}

TEST_F(AppOptionsTest, ReadsEveryValueOfTheProductKey) {
  TempRegistry registry;
  HKEY product = Machine();
  SetString(product, "Vendor", "DEZAD");
  const char* words[] = {"RootFeatureset",  "TVFeatureset",    "RadioFeatureset", "PhotoFeatureset",
                         "MusicFeatureset", "VideoFeatureset", "MovieFeatureset", "GeneralFeatureset"};
  for (DWORD i = 0; i < 8; ++i) SetDword(product, words[i], 0x10 + i);
  SetString(product, "MRVRegPathName", "Marivel3");
  SetString(product, "BrevaneKeyPath", "SoftWare\\Editor");
  SetString(product, "BrevaneInstall", "InstallDir");
  SetString(product, "BrevaneEXE", "editor");
  SetString(product, "BurnerKeyPath", "SoftWare\\Burner");
  SetString(product, "BurnerDirectory", "Dir");
  SetString(product, "BurnerEXE", "burn");
  SetString(product, "BurnerParam", "-x");
  SetString(product, "Video", "SoftWare\\VideoProgram");
  SetString(product, "Photo", "SoftWare\\PhotoProgram");
  SetDword(product, "OpenFolderUpperbound", 7);
  SetDword(product, "PlaybackTooltipHeight", 42);
  SetString(Machine("SoftWare\\VideoProgram"), "", "/opt/video/bin/video");
  // A leading '%' is not expanded: the path is used as stored.
  SetString(Machine("SoftWare\\PhotoProgram"), "", "%SystemRoot%\\photo");
  SetDword(User(), "WebLinkStatus", 3);

  DetectVendor();
  const AppOptions o = LoadFeatureOptions();
  EXPECT_EQ(o.vendorId, VENDOR_DEZAD);
  EXPECT_EQ(o.rootFeatures, 0x10);
  EXPECT_EQ(o.tvFeatures, 0x11);
  EXPECT_EQ(o.radioFeatures, 0x12);
  EXPECT_EQ(o.photoFeatures, 0x13);
  EXPECT_EQ(o.musicFeatures, 0x14);
  EXPECT_EQ(o.videoFeatures, 0x15);
  EXPECT_EQ(o.movieFeatures, 0x16);
  EXPECT_EQ(o.generalFeatures, 0x17);
  EXPECT_EQ(o.regPathName, "Marivel3");
  EXPECT_EQ(o.editorKeyPath, "SoftWare\\Editor");
  EXPECT_EQ(o.editorValue, "InstallDir");
  EXPECT_EQ(o.editorExe, "editor");
  EXPECT_EQ(o.burnerKeyPath, "SoftWare\\Burner");
  EXPECT_EQ(o.burnerDirValue, "Dir");
  EXPECT_EQ(o.burnerExe, "burn");
  EXPECT_EQ(o.burnerParam, "-x");
  EXPECT_EQ(o.videoProgramPath, "/opt/video/bin/video");
  EXPECT_EQ(o.photoProgramPath, "%SystemRoot%\\photo");
  EXPECT_TRUE(o.openFolderUpperbound);
  EXPECT_EQ(o.playbackTooltipHeight, 42);
  EXPECT_EQ(o.webLinkStatus, 3);
}

TEST_F(AppOptionsTest, ProgramKeysThatAreMissingOrEmptyGiveNoPath) {
  TempRegistry registry;
  HKEY product = Machine();
  SetString(product, "Video", "SoftWare\\Nowhere");
  SetString(product, "Photo", "");
  const AppOptions o = LoadFeatureOptions();
  EXPECT_EQ(o.videoProgramPath, "");
  EXPECT_EQ(o.photoProgramPath, "");
}

TEST_F(AppOptionsTest, NegativeWebLinkStatusIsNotKept) {
  TempRegistry registry;
  SetDword(User(), "WebLinkStatus", 0xFFFFFFFF);
  EXPECT_EQ(LoadFeatureOptions().webLinkStatus, -1);
  SetDword(keys_.back(), "WebLinkStatus", 0);
  EXPECT_EQ(LoadFeatureOptions().webLinkStatus, 0);
}

TEST_F(AppOptionsTest, WebLinkQueryResultIsKeptAndItsStatusNotStored) {
  TempRegistry registry;
  net_test::LoopbackHttpServer server([](const std::string&) {
    return net_test::Reply{net_test::HttpReply(200, "CONTENT=5&BUILD=3.0.2001&")};
  });
  SetString(Machine(), kWebLinkQueryValue, server.Url("/q?p=%s&v=%s"));
  SetString(Machine(kWebLinkBuildInfoKey), kWebLinkVersionValue, "3.0.1210");
  const AppOptions o = LoadFeatureOptions();
  EXPECT_EQ(o.webLinkResult, 5);
  EXPECT_EQ(o.webLinkBuild, "3.0.2001");
  EXPECT_EQ(o.webLinkStatus, -1);
  HKEY user = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kProduct, 0, KEY_READ, &user) == ERROR_SUCCESS) {
    EXPECT_FALSE(Query(user, "WebLinkStatus").has_value());
    RegCloseKey(user);
  }
}

class SoundAndOsdTest : public AppOptionsTest {
 protected:
  void SetUp() override { config_ = std::make_unique<CConfig>(); }
  app_test::TempEnvironment env_;  // home, settings folder and hives of its own
  std::unique_ptr<CConfig> config_;
};

TEST_F(SoundAndOsdTest, SoundFilesAreReadOnlyForTheirFeatureBits) {
  HKEY product = Machine();
  SetString(product, "HighlightSound", "hi.wav");
  SetString(product, "PressedSound", "press.wav");
  SetString(product, "SnapshotSound", "snap.wav");
  AppOptions options;
  options.generalFeatures = 0x2 | 0x100;
  LoadSoundAndOsdOptions(options, *config_);
  EXPECT_EQ(config_->m_strHighlightSound, "");
  EXPECT_EQ(config_->m_bHighlightSoundOn, 0);
  EXPECT_EQ(config_->m_strPressedSound, "press.wav");
  EXPECT_EQ(config_->m_bPressedSoundOn, 1);
  EXPECT_EQ(config_->m_strSnapshotSound, "snap.wav");
  EXPECT_EQ(config_->m_bSnapshotSoundOn, 1);
}

TEST_F(SoundAndOsdTest, FlagsFollowTheirValuesOnlyWhenPresent) {
  struct Case {
    const char* name;
    DWORD value;
    int CConfig::*field;
    int before;
    int expected;
  };
  const Case cases[] = {
      {"DisableVolumnOSD", 0, &CConfig::m_bVolumeOsd, 0, 1},
      {"DisableVolumnOSD", 1, &CConfig::m_bVolumeOsd, 1, 0},
      {"UnmuteWhenVolAdjusted", 1, &CConfig::m_bUnmuteWhenVolAdjusted, 0, 1},
      {"UnmuteWhenVolAdjusted", 2, &CConfig::m_bUnmuteWhenVolAdjusted, 1, 0},
      {"KeepMuteOsd", 1, &CConfig::m_bKeepMuteOsd, 0, 1},
      {"KeepPauseOsd", 1, &CConfig::m_bPauseNoticeText, 0, 1},
      {"KeepScanOsd", 0, &CConfig::m_bKeepScanOsd, 1, 0},
      {"EnableRemoteKeyDebugger", 1, &CConfig::m_bDebugNotices, 0, 1},
  };
  for (const Case& c : cases) {
    HKEY product = Machine();
    RegDeleteValueA(product, c.name);
    (*config_).*c.field = c.before;
    LoadSoundAndOsdOptions(AppOptions{}, *config_);
    EXPECT_EQ((*config_).*c.field, c.before) << c.name << " absent";
    SetDword(product, c.name, c.value);
    LoadSoundAndOsdOptions(AppOptions{}, *config_);
    EXPECT_EQ((*config_).*c.field, c.expected) << c.name << "=" << c.value;
    RegDeleteValueA(product, c.name);
  }
}

}  // namespace
