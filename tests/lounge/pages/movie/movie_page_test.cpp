// The Movie page on the headless display with the default skin and a
// recording frame: the parental-lock PIN flows, the drive selector, the
// pages by id, the video rectangle, the option texts and the actions it
// sends.
#include <gtest/gtest.h>

#include "corebridge/core/movie_config.h"
#include "lounge/pages/movie/movie_page.h"
#include "lounge/skin/page_element_index.h"
#include "tests/lounge/pages/setting/setting_pages_fixture.h"

namespace settingpages {
namespace {

class MoviePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(env.started);
    page = std::make_unique<CMoviePage>(env.frame);
    page->AttachWindow(env.frame.window);
    page->Create();
  }
  void TearDown() override {
    env.frame.active = nullptr;
    page->Destroy();
    page.reset();
  }
  CMovieConfig& Movie() { return *env.config->m_pMovie; }

  // Shows the page of `id` as the system core does.
  void Show(int id) {
    Movie().m_nMoviePageState = id;
    page->ShowPage();
  }
  // Types `text` into a PIN box, each character reported as the frame does.
  void Type(plat::HWND box, const std::string& text) {
    for (char c : text) {
      const std::string now = plat::GetWindowTextString(box) + c;
      plat::SetWindowText(box, now.c_str());
      page->OnRenameEditKey(box, c);
    }
  }
  std::vector<std::string> ExecutedNames() const {
    std::vector<std::string> names;
    for (const auto& e : env.frame.executed) names.push_back(e.name);
    return names;
  }
  int DriveList() {
    int list = -1;
    page->Layout()->FindList("Movie Multi Drive Selector List", list);
    return list;
  }
  bool RowValid(int row) {
    int shown = -1, enabled = -1, checked = 0;
    page->QueryListItemState(DriveList(), row, &shown, &enabled, &checked);
    return shown == 1 && enabled == 1;
  }

  PageEnvironment env;
  std::unique_ptr<CMoviePage> page;
};

TEST_F(MoviePageTest, PagesByIdAndTheVideoRectangle) {
  for (int id = 0; id <= 21; ++id) {
    if (id == 1) continue;
    Show(id);
    EXPECT_EQ(page->CurrentPath(), MoviePagePath(id)) << id;
    EXPECT_TRUE(page->IsLoaded()) << id << ": " << page->LayoutError();
    page->Redraw(1);
  }
  Show(3);
  plat::HWND owner = nullptr;
  plat::RECT rect{};
  ASSERT_EQ(page->GetVideoWindow(&owner, &rect), 1);
  EXPECT_EQ(owner, env.frame.window);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, kWidth);
  EXPECT_EQ(rect.bottom, kHeight);

  // Id 1 and ids past the table leave the page as it is.
  Show(1);
  EXPECT_EQ(page->CurrentPath(), "Movie\\MAIN");
  Show(22);
  EXPECT_EQ(page->CurrentPath(), "Movie\\MAIN");

  Show(4);
  EXPECT_EQ(page->GetVideoWindow(&owner, &rect), 0) << "the pop-up menu has no video area";
}

TEST_F(MoviePageTest, NewPinAndADifferentConfirmationStoresNothing) {
  page->ShowPinEntry();
  EXPECT_EQ(Movie().m_nMoviePageState, 10);
  ASSERT_TRUE(page->PinBox() && page->ConfirmBox());
  EXPECT_TRUE(plat::IsWindowEnabled(page->PinBox()));
  EXPECT_FALSE(plat::IsWindowEnabled(page->ConfirmBox()));

  Type(page->PinBox(), "123");
  EXPECT_TRUE(plat::IsWindowEnabled(page->PinBox())) << "three characters wait for more";
  Type(page->PinBox(), "4");
  EXPECT_FALSE(plat::IsWindowEnabled(page->PinBox()));
  EXPECT_TRUE(plat::IsWindowEnabled(page->ConfirmBox()));

  Type(page->ConfirmBox(), "1235");
  EXPECT_EQ(Movie().m_nMoviePageState, 14);
  EXPECT_EQ(Movie().m_nPreviousPageState, 10);
  EXPECT_EQ(Movie().m_nPinPageOrigin, 10);
  EXPECT_EQ(page->CurrentPath(), "Movie\\SETTING\\PLCSETTING\\PLCErrorPINMsg");
  EXPECT_TRUE(Movie().m_strParentalPassword.empty());
  EXPECT_EQ(plat::GetWindowTextString(page->PinBox()), "");
  EXPECT_EQ(plat::GetWindowTextString(page->ConfirmBox()), "");

  // The same again, confirmed: stored, and the level page follows.
  page->ShowPinEntry();
  Type(page->PinBox(), "2468");
  Type(page->ConfirmBox(), "2468");
  EXPECT_EQ(Movie().m_strParentalPassword, "2468");
  EXPECT_EQ(Movie().m_nMoviePageState, 11);
  EXPECT_EQ(page->CurrentPath(), "Movie\\SETTING\\PLCSETTING\\PLCSelLevel");
  EXPECT_TRUE(env.frame.executed.empty()) << "PIN entry sends no action";
}

TEST_F(MoviePageTest, CheckingThePin) {
  Movie().m_strParentalPassword = "1357";

  // A wrong PIN on the change check shows the error page and remembers 12.
  Show(12);
  EXPECT_TRUE(plat::IsWindowEnabled(page->PinBox()));
  Type(page->PinBox(), "1358");
  EXPECT_EQ(Movie().m_nMoviePageState, 14);
  EXPECT_EQ(Movie().m_nPreviousPageState, 12);
  EXPECT_EQ(Movie().m_nPinPageOrigin, 12) << "the error page's OK comes back here";
  EXPECT_EQ(Movie().m_strParentalPassword, "1357");

  // The right one opens the level page.
  Show(12);
  Type(page->PinBox(), "1357");
  EXPECT_EQ(Movie().m_nMoviePageState, 11);
  EXPECT_TRUE(env.frame.executed.empty());

  // A disc waiting for permission while it plays: the change is accepted.
  struct Case {
    int playState;
    const char* action;
  };
  for (const Case& c : {Case{MOVIE_PLAYING, "Movie AcceptPLCChange"}, Case{MOVIE_STOPPED, "Movie Play"}}) {
    env.frame.executed.clear();
    Movie().m_bLevelRequestPending = 1;
    Movie().m_nPlayState = c.playState;
    Movie().m_nRating = 3;
    Movie().m_nDiscRating = 5;
    Show(13);
    Type(page->PinBox(), "1357");
    ASSERT_EQ(ExecutedNames(), std::vector<std::string>{c.action}) << c.playState;
    EXPECT_EQ(env.frame.executed[0].a, 0);
    EXPECT_EQ(Movie().m_nMoviePageState, 3);
    EXPECT_EQ(page->CurrentPath(), "Movie\\MAIN");
    EXPECT_EQ(Movie().m_nRating, 3) << "the level is back after the start";
    EXPECT_EQ(Movie().m_nDiscRating, CMovieConfig::kNoRating);
  }
}

TEST_F(MoviePageTest, StoredPinIsShownDisabledOnTheNewPinPage) {
  Movie().m_strParentalPassword = "9090";
  Show(10);
  EXPECT_FALSE(plat::IsWindowEnabled(page->PinBox()));
  EXPECT_EQ(plat::GetWindowTextString(page->PinBox()), "9090");
  EXPECT_FALSE(plat::IsWindowEnabled(page->ConfirmBox()));
  // Off the parental-lock pages the boxes are hidden.
  Show(3);
  EXPECT_FALSE(plat::IsWindowVisible(page->PinBox()));
  EXPECT_FALSE(plat::IsWindowVisible(page->ConfirmBox()));
}

TEST_F(MoviePageTest, DriveRowsByCountAndVendor) {
  Movie().m_arrDrives = {{"D:\\", 6}};
  struct Case {
    int vendor;
    bool valid;
  };
  for (const Case& c : {Case{0, false}, Case{2, true}}) {
    env.frame.options.vendorId = c.vendor;
    Show(0);
    page->RefreshDriveList();
    int count = -1;
    page->ElementIndex().GetItemCount(DriveList(), &count);
    EXPECT_EQ(count, c.valid ? 1 : 0) << c.vendor;
    EXPECT_EQ(RowValid(0), c.valid) << c.vendor;
    EXPECT_FALSE(RowValid(1));
  }
  env.frame.options.vendorId = 0;
  Movie().m_arrDrives = {{"D:\\", 6}, {"E:\\", 3}};
  Show(0);
  page->RefreshDriveList();
  EXPECT_TRUE(RowValid(0));
  EXPECT_TRUE(RowValid(1));
  page->Redraw(1);
}

TEST_F(MoviePageTest, ChoosingADrive) {
  Movie().m_arrDrives = {{"D:\\", 1}, {"E:\\", 7}, {"F:\\", 4}};
  Show(0);
  page->RefreshDriveList();
  const int list = DriveList();

  // A drive without a playable disc is recorded and nothing is sent.
  page->OnListItemAction(list, 0);
  EXPECT_EQ(Movie().m_nDriveIndex, 0);
  EXPECT_EQ(Movie().m_nPendingDriveIndex, 0);
  EXPECT_TRUE(env.frame.executed.empty());

  page->OnListItemAction(list, 1);
  EXPECT_EQ(Movie().m_nDriveIndex, 1);
  EXPECT_EQ(Movie().m_strDriveRoot, "E:\\");
  EXPECT_EQ(Movie().m_nDriveLetterIndex, 4);
  // What the controller opens from: the pending letter and the list position.
  EXPECT_EQ(Movie().m_nPendingDriveIndex, 4);
  EXPECT_EQ(Movie().m_nDriveListPos, 1);
  ASSERT_EQ(ExecutedNames(), std::vector<std::string>{"Movie Play"});
  EXPECT_EQ(env.frame.executed[0].a, 1);
  EXPECT_EQ(env.frame.executed[0].b, 0);

  // A row past the table is ignored.
  env.frame.executed.clear();
  page->OnListItemAction(list, 3);
  EXPECT_EQ(Movie().m_nDriveIndex, 1);
  EXPECT_TRUE(env.frame.executed.empty());
}

TEST_F(MoviePageTest, CloseQuitsAndIsForwarded) {
  Show(3);
  EXPECT_EQ(page->OnAction("Close"), env.frame.actionResult);
  EXPECT_EQ(env.frame.Count("QuitApplication"), 1);
  ASSERT_EQ(ExecutedNames(), std::vector<std::string>{"Close"});
  EXPECT_EQ(env.frame.executed[0].a, 0);
  page->OnAction("Movie Resume");
  EXPECT_EQ(env.frame.Count("QuitApplication"), 1);
  EXPECT_EQ(ExecutedNames().back(), "Movie Resume");
}

TEST_F(MoviePageTest, OptionTexts) {
  env.config->m_nScreenRatio = 2;
  env.config->m_nWideScreenMode = 3;
  Movie().m_nColorProfile = 4;
  Movie().m_bUseDxva = 1;
  Movie().m_arrSpeakers = {1, 4, 5};
  Movie().m_nAudioSpeakerIdx = 1;
  Movie().m_arrAudioProfiles = {1, 9};
  Movie().m_nAudioProfileIdx = 1;
  Movie().m_nAudioChannelExpanderIdx = 0;
  Movie().m_bClosedCaptionOn = 3;
  Movie().m_nRegionChangesLeft = 4;
  Movie().m_nSystemRegion = 1;
  Movie().m_nDiscRegion = 2;
  Movie().m_nRating = 4;
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"Widescreen Video To", env.Text("WIDESCREENVIDEOTO")},
      {"Movie ScreenRatio Option", env.Text("WIDESCREEN")},
      {"Movie WideScreenMode Option", env.Text("WIDEFILL")},
      {"Movie ColorProfile Option", env.Text("BRIGHT")},
      {"Movie EnableDXVA Option", env.Text("YES")},
      {"Movie AudioOutput Option", "6 " + env.Text("SPK")},
      {"Movie AudioProfile Option", env.Text("NONE")},
      {"Movie AudioChannelExpander Option", env.Text("ROOMSIM")},
      {"Movie ClosedCaption Option", env.Text("REVERSE")},
      {"Movie ParentalControl Level Option", ""},  // no PIN stored
      {"Movie Region RemainTimes", "4"},
      {"Movie Current RegionCode", "1"},
      {"Movie New RegionCode", "2"},
  };
  for (const Case& c : cases) EXPECT_EQ(page->OptionText(c.name), c.text) << c.name;
  Movie().m_strParentalPassword = "1111";
  EXPECT_EQ(page->OptionText("Movie ParentalControl Level Option"), env.Text("MOVIERATE_PG13"));
  EXPECT_EQ(page->OptionText("Movie Setting"), std::nullopt);
  // Values outside the tables show nothing rather than a neighbour's text.
  Movie().m_nColorProfile = 9;
  Movie().m_nAudioSpeakerIdx = 7;
  EXPECT_EQ(page->OptionText("Movie ColorProfile Option"), "");
  EXPECT_EQ(page->OptionText("Movie AudioOutput Option"), "");
}

TEST_F(MoviePageTest, VideoImageHiddenWhilePlaying) {
  Show(3);
  for (int state = MOVIE_NO_DISC; state <= MOVIE_SCANNING; ++state) {
    Movie().m_nPlayState = state;
    int shown = -1;
    ASSERT_EQ(page->QueryStillImageShown("Movie VideoWnd", &shown), 1);
    EXPECT_EQ(shown, state == MOVIE_NO_DISC || state == MOVIE_STOPPED ? 1 : 0) << state;
  }
}

TEST_F(MoviePageTest, ResizeTellsTheCoreAndAppliesWideFill) {
  struct Case {
    int wideMode;
    bool maximized;
    std::vector<std::string> actions;
    long fillFlag;
  };
  const Case cases[] = {
      {1, false, {"Movie Resize"}, 0},
      {3, false, {"Movie Resize", "Movie ApplyWIDEFILLSetting"}, 0},
      {3, true, {"Movie Resize", "Movie ApplyWIDEFILLSetting"}, 1},
  };
  Show(3);
  for (const Case& c : cases) {
    env.frame.executed.clear();
    env.config->m_nWideScreenMode = c.wideMode;
    env.frame.maximized = c.maximized;
    page->OnResize();
    EXPECT_EQ(ExecutedNames(), c.actions) << c.wideMode << " " << c.maximized;
    if (c.actions.size() == 2) {
      EXPECT_EQ(env.frame.executed[1].a, c.fillFlag);
    }
  }
  // While a disc plays the bars go with a resize; the DTS notice keeps them.
  Movie().m_nPlayState = MOVIE_PLAYING;
  env.frame.calls.clear();
  page->OnResize();
  EXPECT_EQ(env.frame.Count("SetCaptionBarVisible 0 0"), 1);
  EXPECT_EQ(env.frame.Count("SetPlaybackBarVisible 0 0"), 1);
  Show(5);
  env.frame.calls.clear();
  page->OnResize();
  EXPECT_EQ(env.frame.Count("SetCaptionBarVisible 0 0"), 0);
}

TEST_F(MoviePageTest, LeftKeyOnASettingsArrowReturnsForVendorOne) {
  Show(7);
  int list = -1, action = -1;
  ASSERT_TRUE(page->Layout()->FindList("Movie Setting", list));
  ASSERT_TRUE(page->Layout()->FindListAction("Movie WideScreenMode Right", action, list));
  struct Case {
    int vendor;
    int key;  // 0 left, 1 right
    std::vector<std::string> actions;
  };
  const Case cases[] = {
      {1, 0, {"Movie Setting Return"}},
      {1, 1, {"Movie WideScreenMode Right"}},
      {0, 0, {}},
  };
  for (const Case& c : cases) {
    env.frame.executed.clear();
    env.frame.options.vendorId = c.vendor;
    page->SetFocus(list, page->EntryOf(list, ENTRY_ACTION, action));
    if (c.key == 0) page->OnKeyLeft(0);
    else page->OnKeyRight(0);
    EXPECT_EQ(ExecutedNames(), c.actions) << c.vendor << " " << c.key;
  }
}

}  // namespace
}  // namespace settingpages
