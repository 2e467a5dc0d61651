// Views and their history: "Photo Back" in each view, going back to a
// folder that is gone, browsing drives, moving through photos and deleting.
#include "tests/corebridge/photo/photo_test_support.h"

namespace photo_test {
namespace {

TEST_F(PhotoTest, BackDependsOnTheView) {
  Enter();
  FillPhotos(2);
  const std::string music = env_.path("music");
  fs::create_directories(music);
  struct Case {
    int view;
    std::string chosen;  // the folder the page's browser offers
    int expectView;      // view after Back (-1: the module is left)
    const char* pageCall;
  } cases[] = {
      {1, "", 0, nullptr},         // stops the show, back to the browser
      {2, "", 0, "ReloadPage"},    // as "Photo Fullscreen" in view 2
      {4, "", 0, "ReloadPage"},    // applies the pending edit, goes back
      {7, music, 0, "GetBrowserFolder 1"},
      {20, "", -1, nullptr},       // Home
      {21, dir_, 0, "GetBrowserFolder 4"},
      {32, "", 0, "OpenPhotoFolder"},
      {6, "", 0, "ReloadPage"},    // any other view: back
  };
  for (const auto& c : cases) {
    Config().m_nActiveModule = MODULE_PHOTO;
    Photo().m_strCurrentFolder = dir_;
    Photo().m_vecViewHistory = {0};
    Photo().m_nPhotoState = c.view;
    page_.chosenFolder = c.chosen;
    page_.calls.clear();
    if (c.view == 1) {
      Photo().m_nPhotoState = 0;
      Photo().m_vecViewHistory.clear();
      ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
    }
    EXPECT_EQ(Act("Photo Back"), S_OK) << c.view;
    if (c.expectView < 0) {
      EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE) << c.view;
      EXPECT_EQ(home_.shown, 1);
      continue;
    }
    EXPECT_EQ(Photo().m_nPhotoState, c.expectView) << c.view;
    EXPECT_TRUE(Photo().m_vecViewHistory.empty()) << c.view;
    if (c.pageCall) {
      const bool seen = std::any_of(page_.calls.begin(), page_.calls.end(),
                                    [&](const std::string& call) { return call.rfind(c.pageCall, 0) == 0; });
      EXPECT_TRUE(seen) << c.view << " " << c.pageCall;
    }
  }
  EXPECT_EQ(system_->SlideShowState(), 0);
  EXPECT_EQ(Photo().m_nBgMusicType, 7) << "the music folder was chosen in view 7";
  EXPECT_EQ(Photo().m_szBgMusicPath, music);
  EXPECT_EQ(Photo().m_strAcquiredImageFolder, dir_) << "the folder chosen in view 21";
}

TEST_F(PhotoTest, BackFromTheRecordBrowserLeavesForTheRecordPage) {
  Enter();
  Config().m_pRecord->m_arrFiles = {"left over"};
  for (int view : {30, 31}) {
    Config().m_nActiveModule = MODULE_PHOTO;
    Photo().m_nPhotoState = view;
    EXPECT_EQ(Act("Photo Back"), S_OK);
    EXPECT_EQ(Config().m_nActiveModule, view == 30 ? MODULE_RECORD : MODULE_BURNING);
    EXPECT_TRUE(Config().m_pRecord->m_arrFiles.empty());
  }
}

// Sent by the record hub or by burning, Photo hands the chosen photos (or,
// on Back, nothing) to the side of the hub that sent it, through the action
// the hub left: burning must not come back as the record hub's copy mode.
TEST_F(PhotoTest, AHandOverGoesBackToTheHubSideThatSentIt) {
  frame_.vendor = 4;  // "Photo Record" is offered to that maker only
  constexpr int kHubVolumes = 1, kHubFiles = 2;
  struct Case {
    const char* backAction;
    int hubModule;
  } cases[] = {{"Record Go Back Door", MODULE_RECORD}, {"Burning Go Back Door", MODULE_BURNING}};
  for (const auto& c : cases) {
    for (const bool choose : {true, false}) {
      SCOPED_TRACE(std::string(c.backAction) + (choose ? " choosing" : " going back"));
      Config().m_pRecord->m_arrFiles = {"left over"};
      Config().m_nActiveModule = MODULE_NONE;
      ASSERT_EQ(system_->PhotoSendToRecord(dir_, c.backAction), 1);
      EXPECT_EQ(Config().m_nActiveModule, MODULE_PHOTO);
      Photo().m_vecPhotos.clear();
      FillPhotos(3);
      Photo().m_vecPhotos[1].bChecked = 0;
      ASSERT_EQ(Act(choose ? "Photo Record" : "Photo Back"), S_OK);
      EXPECT_EQ(Config().m_nActiveModule, c.hubModule);
      const CRecordConfig& hub = *Config().m_pRecord;
      if (choose) {
        EXPECT_EQ(hub.m_arrFiles, (std::vector<std::string>{dir_ + "/p0.jpg", dir_ + "/p2.jpg"}));
        EXPECT_EQ(hub.m_strFilter, Photo().m_strImageExtensions);
        EXPECT_EQ(hub.m_nState, kHubFiles);
      } else {
        EXPECT_EQ(hub.m_nState, kHubVolumes);
      }
      EXPECT_TRUE(Photo().m_strBackAction.empty()) << "the way back is used once";
    }
  }
  // Entered without a hand-over, the record views keep their own way back.
  ASSERT_EQ(system_->PhotoSendToRecord(dir_, "Burning Go Back Door"), 1);
  ASSERT_EQ(system_->PhotoSendToRecord(dir_), 1);
  ASSERT_EQ(Act("Photo Back"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RECORD);
}

TEST_F(PhotoTest, GoingBackToAFolderThatVanishedShowsTheDriveSelector) {
  Enter();
  const std::string gone = env_.path("gone");
  fs::create_directories(gone);
  Photo().m_strCurrentFolder = gone;
  Photo().m_nPhotoState = 0;
  ASSERT_EQ(Act("Photo Edit Browser"), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 3);
  fs::remove_all(gone);
  page_.calls.clear();
  ASSERT_EQ(Act("Photo Return"), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 20);
  EXPECT_TRUE(Photo().m_vecViewHistory.empty());
  EXPECT_TRUE(page_.Saw("ClearHistory"));
  EXPECT_TRUE(page_.Saw("ShowPage Photo\\PhotoDriveSelector"));
  // A device change while browsing a folder that is gone does the same.
  Photo().m_nPhotoState = 25;
  page_.calls.clear();
  EXPECT_EQ(system_->PhotoOnDeviceChange(0x8004, 7), 1);
  EXPECT_EQ(Photo().m_nPhotoState, 20);
  EXPECT_TRUE(page_.Saw("ShowPage Photo\\PhotoDriveSelector"));
}

TEST_F(PhotoTest, BrowsingADriveOpensItsFolderAndTheHistoryRemembersTheWay) {
  Enter();
  Config().m_vecDriveList2 = {{dir_ + "/", "Card"}};
  ASSERT_EQ(Act("Photo Browser", 0, 1), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 0);
  EXPECT_EQ(Photo().m_strCurrentFolder, dir_) << "without its trailing separator";
  EXPECT_TRUE(page_.Saw("OpenPhotoFolder " + dir_ + " " + dir_));
  EXPECT_EQ(Photo().m_vecViewHistory, std::vector<int>{20});
  EXPECT_EQ(Act("Photo Browser", 0, 1), E_FAIL) << "not again from the browser";
  EXPECT_EQ(Act("Photo Browser", 5, 1), E_FAIL);
  Photo().m_nPhotoState = 20;
  EXPECT_EQ(Act("Photo Browser", 5, 1), E_FAIL) << "no such entry";
}

TEST_F(PhotoTest, ReaderSlotsOpenTheirCardsMountPoint) {
  VolumeInfo card;
  card.letter = 'K';
  card.type = DRIVE_REMOVABLE;
  card.root = dir_;
  volumes_->volumes.push_back(card);
  Enter();
  Config().m_szDriveRoots[2] = "K:\\";   // USB
  Config().m_szDriveRoots[6] = "I:\\";   // Secure Digital: no such drive
  ASSERT_EQ(Act("Photo USB Device"), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 25);
  EXPECT_EQ(Photo().m_strCurrentFolder, dir_);
  EXPECT_EQ(Act("Photo USB Device"), E_FAIL) << "already there";
  page_.calls.clear();
  EXPECT_EQ(Act("Photo Secure Digital Device"), E_FAIL);
  EXPECT_TRUE(page_.Saw("ReloadPage"));
  EXPECT_EQ(Photo().m_nPhotoState, 25);
  // The archive is the browse folder.
  Photo().m_strBrowseFolder = env_.path("archive");
  ASSERT_EQ(Act("Photo Archive"), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 23);
  EXPECT_EQ(Photo().m_strCurrentFolder, Photo().m_strBrowseFolder);
  EXPECT_EQ(Photo().m_vecViewHistory, (std::vector<int>{20, 25}));
}

TEST_F(PhotoTest, NextAndPreviousImageSkipUncheckedAndStopAtTheEnds) {
  Enter();
  FillPhotos(4);
  Photo().m_vecPhotos[1].bChecked = 0;
  Photo().m_nCurrentPhoto = 0;
  Photo().m_nPhotoState = 2;
  ASSERT_EQ(Act("Photo NextImage"), S_OK);
  EXPECT_EQ(Photo().m_nCurrentPhoto, 2);
  ASSERT_EQ(Act("Photo NextImage"), S_OK);
  EXPECT_EQ(Photo().m_nCurrentPhoto, 3);
  EXPECT_EQ(Act("Photo NextImage"), E_FAIL) << "the last record";
  EXPECT_EQ(Photo().m_nCurrentPhoto, 3);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId NEXTPICTURE @2000"));
  ASSERT_EQ(Act("Photo PreviousImage"), S_OK);
  EXPECT_EQ(Photo().m_nCurrentPhoto, 2);
  EXPECT_EQ(Modes(), (std::vector<WPARAM>{7, 7, 6}));
  // Vendor 4: every record counts and the move wraps around.
  frame_.vendor = 4;
  Photo().m_nCurrentPhoto = 3;
  ASSERT_EQ(Act("Photo NextImage"), S_OK);
  EXPECT_EQ(Photo().m_nCurrentPhoto, 0);
  ASSERT_EQ(Act("Photo NextImage"), S_OK);
  EXPECT_EQ(Photo().m_nCurrentPhoto, 1);
}

TEST_F(PhotoTest, DeletingRemovesTheEntryNeverALinksTarget) {
  Enter();
  const std::string target = WriteJpeg(env_.path("target.jpg"), 0xFFFF0000u);
  const std::string link = dir_ + "/link.jpg";
  fs::create_symlink(target, link);
  const std::string plain = WriteJpeg(dir_ + "/plain.jpg", 0xFFFF0000u);
  PhotoRecord shortcut = Record(link);
  shortcut.bShortcut = 1;
  shortcut.strTargetPath = target;
  Photo().m_vecPhotos = {shortcut, Record(plain, 0)};
  Photo().m_strCurrentFolder = dir_;
  Photo().m_nPhotoState = 0;
  ASSERT_EQ(Act("Photo Delete All File"), S_OK);
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(target)) << "the link's target stays";
  EXPECT_TRUE(fs::exists(plain)) << "not checked";
  EXPECT_EQ(Act("Photo Delete File", 1), S_OK);
  EXPECT_FALSE(fs::exists(plain));
  EXPECT_EQ(Act("Photo Delete File", 7), E_FAIL);
  // Nothing checked: nothing to delete.
  for (auto& r : Photo().m_vecPhotos) r.bChecked = 0;
  EXPECT_EQ(Act("Photo Delete All File"), E_FAIL);
}

TEST_F(PhotoTest, MultiEditListsTheCheckedPhotos) {
  Enter();
  FillPhotos(3);
  Photo().m_vecPhotos[0].bChecked = 0;
  Photo().m_nPhotoState = 0;
  ASSERT_EQ(Act("Photo Menu Edit"), S_OK);
  EXPECT_EQ(Photo().m_nPhotoState, 32);
  EXPECT_EQ(Photo().m_arrMultiEdit.size(), 2u);
  EXPECT_TRUE(page_.Saw("ShowPage Photo\\PhotoEditMultiFile"));
  EXPECT_TRUE(page_.Saw("LoadPhotoFileList 2"));
  ASSERT_EQ(Act("Photo Clear Recent Picture"), S_OK);
  EXPECT_TRUE(Photo().m_arrMultiEdit.empty());
  EXPECT_TRUE(page_.Saw("LoadPhotoFileList 0"));
}

TEST_F(PhotoTest, SortByNameAndByDate) {
  Enter();
  PhotoRecord b = Record("/x/b.jpg"), a = Record("/x/A.jpg"), c = Record("/x/c.jpg");
  b.ftLastWrite = 1;
  a.ftLastWrite = 3;
  c.ftLastWrite = 2;
  Photo().m_vecPhotos = {b, c, a};
  ASSERT_EQ(Act("Photo Sort By Name"), S_OK);
  EXPECT_EQ(Photo().m_vecPhotos[0].strName, "A.jpg");
  EXPECT_EQ(Photo().m_vecPhotos[2].strName, "c.jpg");
  EXPECT_EQ(Photo().m_nPhotoSortKind, 1);
  ASSERT_EQ(Act("Photo Sort By Date"), S_OK);
  EXPECT_EQ(Photo().m_vecPhotos[0].strName, "b.jpg");
  EXPECT_EQ(Photo().m_vecPhotos[2].strName, "A.jpg");
  EXPECT_EQ(Photo().m_nPhotoSortKind, 2);
}

}  // namespace
}  // namespace photo_test
