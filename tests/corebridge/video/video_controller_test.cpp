// The Video controller's pages and settings, the way back, and the module's
// stop.
#include "tests/corebridge/video/video_test_support.h"

namespace video_test {
namespace {

using ControllerTest = VideoTest;

TEST_F(ControllerTest, SortingResortsTheListAndRedraws) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  Video().m_folderFiles = {"/v/charlie.wmv", "/v/Alpha.mpg", "/v/bravo.avi"};
  page_.calls.clear();
  ASSERT_EQ(Act("Video Sort By Name"), S_OK);
  EXPECT_EQ(Video().m_folderFiles, (std::vector<std::string>{"/v/Alpha.mpg", "/v/bravo.avi", "/v/charlie.wmv"}));
  EXPECT_EQ(Video().m_nSortMode, 0);
  EXPECT_EQ(page_.calls, std::vector<std::string>{"Redraw 1"});
  ASSERT_EQ(Act("Video Sort By Date"), S_OK);
  EXPECT_EQ(Video().m_nSortMode, 1);
}

TEST_F(ControllerTest, ScreenModeTogglesTheModeOfTheCurrentDisplay) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  struct Case {
    int display;
    const char* action;
    int mode4x3, mode16x9;
  } cases[] = {
      {1, "Video ScreenMode Left", 2, 1},
      {1, "Video ScreenMode Right", 1, 1},
      {2, "Video ScreenMode Right", 1, 2},
      {2, "Video ScreenMode Left", 1, 1},
  };
  for (const Case& c : cases) {
    Config().m_nDisplayMode = c.display;
    page_.calls.clear();
    ASSERT_EQ(Act(c.action), S_OK);
    EXPECT_EQ(Video().m_nScreenMode4x3, c.mode4x3) << c.display << c.action;
    EXPECT_EQ(Video().m_nScreenMode16x9, c.mode16x9) << c.display << c.action;
    EXPECT_EQ(page_.calls, std::vector<std::string>{"Redraw 1"});
  }
  // The screen size flips the display mode.
  Config().m_nDisplayMode = 1;
  ASSERT_EQ(Act("Video ScreenSize Right"), S_OK);
  EXPECT_EQ(Config().m_nDisplayMode, 2);
}

TEST_F(ControllerTest, FolderSelectionStoresTheChoiceInItsTarget) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  struct Case {
    const char* set;
    int vendor;
    std::string CVideoConfig::*field;
    int pageAfter;
  } cases[] = {
      {"Video Set Snapshot Folder", 0, &CVideoConfig::m_strSnapshotFolder, 7},
      {"Video Set Default Folder", 0, &CVideoConfig::m_strDefaultFolder, 7},
      {"Video Set Captured Folder", 0, &CVideoConfig::m_strCapturedFolder, 8},
      {"Video Set Captured Folder", 2, &CVideoConfig::m_strArchiveFolder, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.set) + " vendor " + std::to_string(c.vendor));
    frame_.vendor = c.vendor;
    ASSERT_EQ(Act(c.set), S_OK);
    EXPECT_EQ(Video().m_nView, 9);
    EXPECT_EQ(page_.Last(), "ShowStatePage 9");
    // An empty selection keeps the folder.
    const std::string before = Video().*c.field;
    Video().m_strSelectedFolder.clear();
    ASSERT_EQ(Act("Video Select Folder"), S_OK);
    EXPECT_EQ(Video().*c.field, before);
    ASSERT_EQ(Act(c.set), S_OK);
    Video().m_strSelectedFolder = "/chosen/" + std::to_string(c.vendor);
    ASSERT_EQ(Act("Video Select Folder"), S_OK);
    EXPECT_EQ(Video().*c.field, "/chosen/" + std::to_string(c.vendor));
    EXPECT_TRUE(Video().m_strSelectedFolder.empty());
    EXPECT_EQ(Video().m_nView, c.pageAfter);
  }
  // Back from the folder selection cancels it.
  ASSERT_EQ(Act("Video Set Snapshot Folder"), S_OK);
  Video().m_strSelectedFolder = "/not/taken";
  ASSERT_EQ(Act("Back"), S_OK);
  EXPECT_EQ(Video().m_nView, 7);
  EXPECT_NE(Video().m_strSnapshotFolder, "/not/taken");
}

TEST_F(ControllerTest, DefaultSettingRestoresTheVideoDefaults) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  Video().m_nSortMode = 1;
  Video().m_nScreenMode4x3 = 2;
  Video().m_nScreenMode16x9 = 2;
  Video().m_nView = 7;
  page_.calls.clear();
  ASSERT_EQ(Act("Video DefaultSetting Enter"), S_OK);
  EXPECT_EQ(Video().m_nSortMode, 0);
  EXPECT_EQ(Video().m_nScreenMode4x3, 1);
  EXPECT_EQ(Video().m_nScreenMode16x9, 1);
  EXPECT_EQ(page_.calls, std::vector<std::string>{"Redraw 1"});
  // Vendor 2 also resets the disc format and the browse folder.
  frame_.vendor = 2;
  Video().m_arrDiscFormats = {"DVD", "VCD"};
  Video().m_strDiscFormat = "VCD";
  Video().m_strBrowseFolder = "/elsewhere";
  ASSERT_EQ(Act("Video DefaultSetting Enter"), S_OK);
  EXPECT_EQ(Video().m_strDiscFormat, "DVD");
  EXPECT_EQ(Video().m_strBrowseFolder, Config().m_strVideoFolder);
}

// Vendor 2's disc formats are there from the entry on, before the capture
// page was ever opened, so the defaults can pick the first.
TEST_F(ControllerTest, VendorTwoDiscFormatsAreBuiltAtTheEntry) {
  frame_.vendor = 2;
  Video().m_nDiscTypeIndex = 9;
  ASSERT_EQ(Act("Video Entry"), S_OK);
  EXPECT_EQ(Video().m_arrDiscFormats, (std::vector<std::string>{"DVD HQ", "DVD SP", "DVD LP", "SVCD", "VCD"}));
  EXPECT_EQ(Video().m_strDiscFormat, "DVD HQ") << "an index outside the list becomes 0";
  Video().m_strDiscFormat = "VCD";
  ASSERT_EQ(Act("Video DefaultSetting Enter"), S_OK);
  EXPECT_EQ(Video().m_strDiscFormat, "DVD HQ");
}

TEST_F(ControllerTest, DeleteRemovesFilesAndLinksButKeepsFolders) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  const fs::path dir = env_.path("edit");
  fs::create_directories(dir / "folder.avi");
  test_support::WriteFile((dir / "one.avi").string(), "x");
  fs::create_symlink(dir / "one.avi", dir / "link.avi");
  Video().m_arrEditList = {(dir / "link.avi").string(), (dir / "folder.avi").string(), (dir / "one.avi").string()};
  page_.calls.clear();
  EXPECT_EQ(Act("Video Delete"), E_FAIL);  // the folder was refused
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "link.avi")));
  EXPECT_FALSE(fs::exists(dir / "one.avi"));
  EXPECT_TRUE(fs::is_directory(dir / "folder.avi"));
  EXPECT_TRUE(Video().m_arrEditList.empty());
  EXPECT_EQ(page_.calls, std::vector<std::string>{"Redraw 0"});
}

TEST_F(ControllerTest, BackFollowsThePageState) {
  ASSERT_EQ(Act("Video Entry"), S_OK);
  struct Case {
    int state, previous;
    int after;  // page state afterwards; -1: the module was left for Home
  } cases[] = {
      {2, 2, 1},   // my videos: the device selection
      {8, 7, 7},   // capture settings: the previous page
      {9, 7, 7},   // folder selection: cancelled
      {10, 10, 10},  // browse without a pending action: stays
      {1, 1, -1},  // device selection: Home
  };
  for (const Case& c : cases) {
    Config().m_nActiveModule = MODULE_VIDEO;
    Video().m_nView = c.state;
    Video().m_nPreviousView = c.previous;
    Video().m_nFolderKind = 0;
    ASSERT_EQ(Act("Back"), S_OK);
    if (c.after < 0) {
      EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE) << c.state;
    } else {
      EXPECT_EQ(Video().m_nView, c.after) << c.state;
    }
  }
}

TEST_F(ControllerTest, HomeStopsPlaybackAndLeavesTheModule) {
  EnterWithFiles({"alpha.mpg"});
  ASSERT_EQ(Act("Video Play"), S_OK);
  ASSERT_EQ(Act("Home"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_EQ(EngineState(), kDiscClosed);
  EXPECT_FALSE(frame_.powerHeld);
  EXPECT_EQ(Video().m_nView, 2);
  EXPECT_EQ(Video().m_nPreviousView, 2);
  EXPECT_TRUE(frame_.Saw("SetCaptionBarVisible 0 0"));
}

TEST_F(ControllerTest, SuspendStopsPlayback) {
  EnterWithFiles({"alpha.mpg"});
  ASSERT_EQ(Act("Video Play"), S_OK);
  ASSERT_EQ(Video().m_nPlayState, 2);  // normal playback, not rewinding
  system_->OnSystemMessage(nullptr, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  EXPECT_EQ(EngineState(), kDiscClosed);
  EXPECT_EQ(Video().m_nView, 2);
}

}  // namespace
}  // namespace video_test
