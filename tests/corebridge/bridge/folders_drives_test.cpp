#include <algorithm>
#include <filesystem>

#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/registry_key.h"
#include "corebridge/core/video_config.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

namespace fs = std::filesystem;

using FoldersTest = BridgeTest;

TEST_F(FoldersTest, ModuleFoldersBelowTheUserFolders) {
  Config().m_aFeatureWords[FEATURE_RADIO] = 1;
  Config().m_aFeatureWords[FEATURE_MOVIE] = 1;
  Start();
  const std::string docs = Config().m_strDocumentsFolder;
  EXPECT_EQ(Config().m_strVideoFolder, docs + "/My Videos");
  EXPECT_EQ(Config().m_strRadioFolder, docs + "/My Radio");
  EXPECT_EQ(Config().m_strSnapshotFolder, Config().m_strPicturesFolder + "/Snapshot");
  EXPECT_TRUE(fs::is_directory(Config().m_strVideoFolder));
  EXPECT_TRUE(fs::is_directory(Config().m_strRadioFolder));
  EXPECT_TRUE(fs::is_directory(Config().m_strSnapshotFolder + "/Movie Snapshot"));
  EXPECT_EQ(docs.rfind(env_.dir(), 0), 0u) << docs;  // all inside the temporary home
  // The sections take their folders from these.
  EXPECT_EQ(Config().m_pVideo->m_strSnapshotFolder, Config().m_strSnapshotFolder + "/Video Snapshot");
  EXPECT_FALSE(fs::exists(Config().m_pVideo->m_strSnapshotFolder));  // not made here
  EXPECT_EQ(Config().m_pVideo->m_strCapturedFolder, Config().m_strVideoFolder);
  EXPECT_EQ(Config().m_pRadio->m_strRecordFolder, Config().m_strRadioFolder);
  EXPECT_EQ(Config().m_pMusic->m_strBrowseFolder, Config().m_strMusicFolder);
  EXPECT_EQ(Config().m_pPhoto->m_strAcquiredImageFolder, Config().m_strPicturesFolder);
  EXPECT_EQ(Config().m_pMovie->m_strSnapshotFolder, Config().m_strSnapshotFolder + "/Movie Snapshot");
}

TEST_F(FoldersTest, FeatureBitsAndVendorDecideWhatIsCreatedAndWhere) {
  Config().m_aFeatureWords[FEATURE_RADIO] = 0;
  Config().m_aFeatureWords[FEATURE_MOVIE] = 2;
  frame_.vendor = 4;
  frame_.strings["MYRADIO"] = "Radio Shows";
  Start();
  EXPECT_EQ(Config().m_strRadioFolder, Config().m_strMusicFolder + "/Radio Shows");
  EXPECT_FALSE(fs::exists(Config().m_strRadioFolder));
  EXPECT_FALSE(fs::exists(Config().m_strSnapshotFolder));
  EXPECT_TRUE(fs::is_directory(Config().m_strVideoFolder));  // always made
}

TEST_F(FoldersTest, DriveListsFromTheEnumerator) {
  const std::string data = env_.path("data");
  const std::string stick = env_.path("stick");
  fs::create_directories(data);
  fs::create_directories(stick);
  volumes_->volumes = {
      {'C', DRIVE_FIXED, "/", {}, "/dev/sda1", {}, false},
      {'D', DRIVE_FIXED, data, "DATA", "/dev/sda2", {}, false},
      {'E', DRIVE_CDROM, {}, {}, "/dev/sr0", {}, false},
      {'F', DRIVE_REMOVABLE, stick, "STICK", "/dev/sdb1", {}, false},
  };
  frame_.flags = 8 | 0x10 | 4 | 0x20;
  Start();
  const auto& all = Config().m_vecOpticalDrives;
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].strDisplayName, "/");
  EXPECT_EQ(all[0].nKind, DRIVE_KIND_FIXED);
  EXPECT_EQ(all[1].strDisplayName, data + " ( DATA )");
  EXPECT_EQ(all[2].strRoot, "E:\\");  // no medium: the drive's letter root
  EXPECT_EQ(all[2].nKind, DRIVE_KIND_OPTICAL);
  EXPECT_EQ(all[3].nKind, DRIVE_KIND_REMOVABLE);
  ASSERT_EQ(Config().m_vecDriveList2.size(), 1u);
  EXPECT_EQ(Config().m_vecDriveList2[0].strFirst, stick);
  // Lists 3 to 5 keep the enumerator's second text first: the root that the
  // modules open, then the name the pages show.
  ASSERT_EQ(Config().m_vecDriveList3.size(), 1u);
  EXPECT_EQ(Config().m_vecDriveList3[0].strFirst, stick);
  EXPECT_EQ(Config().m_vecDriveList3[0].strSecond, "STICK (F:)");
  EXPECT_EQ(Config().m_vecDriveList4.size(), 1u);
  EXPECT_EQ(Config().m_vecDriveList5.size(), 2u);
  EXPECT_EQ(Config().CountDrivesOfKind8(), 1);
}

TEST_F(FoldersTest, AppFlagsSelectTheListsAndMissingEnumeratorEmptiesThem) {
  volumes_->volumes = {{'D', DRIVE_CDROM, {}, {}, "/dev/sr0", {}, false}};
  frame_.flags = 4;
  Start();
  EXPECT_TRUE(Config().m_vecOpticalDrives.empty());
  EXPECT_EQ(Config().m_vecDriveList4.size(), 1u);
  core_->drives.Reset();
  EXPECT_EQ(system_->BuildDriveLists(), 0);
  EXPECT_TRUE(Config().m_vecDriveList4.empty());
}

TEST_F(FoldersTest, VendorFourDriveNamesFromTheRegistry) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey));
  ASSERT_TRUE(plat::RegSetValueExA(key.m_hKey, "RoridoUSBDrive", 0, REG_SZ, reinterpret_cast<const BYTE*>("U:\\"), 4) ==
              ERROR_SUCCESS);
  key.Close();
  frame_.vendor = 4;
  Start();
  EXPECT_EQ(Config().m_szDriveRoots[2], "U:\\");
  EXPECT_EQ(Config().m_szDriveRoots[1], "D:\\");  // a missing value leaves its text
}

TEST(DesktopState, ShowSavesOnceAndRestoreBringsBackTheFirstState) {
  CMemoryDesktop desktop;
  desktop.wallpaper = "/home/u/beach.png";
  desktop.colour = 0x123456;
  CDesktopState state(desktop, "/opt/marivel");
  EXPECT_EQ(state.DesktopRestore(nullptr), 0);  // nothing shown
  EXPECT_TRUE(desktop.log.empty());
  EXPECT_EQ(state.DesktopShow(0x00FF00FF), 1);
  EXPECT_EQ(desktop.colour, 0x00FF00FFu);
  EXPECT_EQ(desktop.wallpaper, "");
  EXPECT_EQ(desktop.log.front(), "open /opt/marivel/ShowDesktop.scf");
  state.DesktopShow(0x00000001);  // saved already: no second save
  COLORREF wanted = 0;
  state.DesktopGetState(wanted);
  EXPECT_EQ(wanted, 0x00000001u);
  desktop.minimised = true;
  EXPECT_EQ(state.DesktopRestore(reinterpret_cast<HWND>(1)), 1);
  EXPECT_EQ(desktop.colour, 0x123456u);
  EXPECT_EQ(desktop.wallpaper, "/home/u/beach.png");
  EXPECT_FALSE(desktop.minimised);
  EXPECT_EQ(state.DesktopRestore(nullptr), 0);
}

TEST(DesktopState, ABackgroundAlreadyInTheWantedColourIsNotWritten) {
  CMemoryDesktop desktop;
  desktop.colour = CDesktopState::kDefaultColour;
  CDesktopState state(desktop);
  state.DesktopShow(CDesktopState::kDefaultColour);
  EXPECT_EQ(std::count(desktop.log.begin(), desktop.log.end(), "colour"), 0);
}

TEST_F(FoldersTest, DestroyingTheObjectRestoresTheDesktop) {
  desktop_->wallpaper = "/w.png";
  system_->Desktop().DesktopShow(0x10);
  EXPECT_EQ(desktop_->wallpaper, "");
  system_.Reset();
  EXPECT_EQ(desktop_->wallpaper, "/w.png");
}

}  // namespace
}  // namespace bridge_test
