// The Music page on the headless display with the default skin and a fake
// frame that records the actions it executes.
#include "lounge/pages/music/music_page.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/pages/music/music_file_delete.h"
#include "lounge/pages/music/music_page_paths.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/png_codec.h"
#include "platform/registry/registry.h"
#include "platform/sys/clock.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

namespace fs = std::filesystem;

CMusicPage* g_page = nullptr;

plat::LRESULT FrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  switch (msg) {
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_PAINT:
      if (g_page) return g_page->OnPaint();
      {
        plat::PAINTSTRUCT ps;
        plat::BeginPaint(h, &ps);
        plat::EndPaint(h, &ps);
      }
      return 0;
    case plat::WM_TIMER:
      if (g_page) g_page->OnTimer(w);
      return 0;
    default:
      return plat::DefWindowProc(h, msg, w, l);
  }
}

void Pump() {
  plat::MSG m;
  for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
}

// The fake frame, with a hook that stands for the Music controller.
class MusicFrame : public pages::FakeShellFrame {
 public:
  std::function<void(const std::string&)> controller;
  int ExecuteAction(const std::string& name, long a, long b) override {
    const int result = FakeShellFrame::ExecuteAction(name, a, b);
    if (controller) controller(name);
    return result;
  }
};

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "marivel-music-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp";
    root_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    fs::remove_all(root_, ec);
  }
  fs::path File(const std::string& relative) const {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << relative;
    return path;
  }
  fs::path Folder(const std::string& relative) const {
    fs::create_directories(root_ / relative);
    return root_ / relative;
  }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

MusicRecord Track(const std::string& title, const std::string& url) {
  MusicRecord record;
  record.strTexts[0] = title;
  record.strTexts[1] = "Artist";
  record.strTexts[2] = "Album";
  record.strTexts[CMusicConfig::kTrackUrlText] = url;
  record.strTexts[4] = "03:00";
  return record;
}

class MusicPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_ = std::make_shared<plat::ManualClock>();
    plat::SetClock(clock_);
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    std::string error;
    started_ = plat::display::StartDisplay(options, &error);
    ASSERT_TRUE(started_) << error;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "MusicPageTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "MusicPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_MUSIC;
    frame.window = window_;
    frame.config = config_.get();
  }
  void MakePage() {
    page = std::make_unique<CMusicPage>(frame);
    page->AttachWindow(window_);
    page->Create();
    g_page = page.get();
    Pump();
  }
  void TearDown() override {
    g_page = nullptr;
    page.reset();
    UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(window_)) plat::DestroyWindow(window_);
    Pump();
    if (started_) plat::display::StopDisplay();
    plat::SetClock(std::make_shared<plat::SystemClock>());
  }

  CMusicConfig& Music() { return *config_->m_pMusic; }
  void ShowMusicPage(int id) {
    Music().m_arrPageHistory.clear();
    Music().PushMusicPage(id);
    ASSERT_EQ(page->ShowPage(), 1) << page->LayoutError();
    page->RefreshListPanel();
  }
  int Panel() {
    int list = -1;
    page->Layout()->FindList("Music List Panel", list);
    return list;
  }
  std::string FocusedActionName() {
    int kind = 0, index = 0;
    std::string name;
    if (page->SplitEntry(page->FocusedList(), page->FocusedEntry(), &kind, &index) && kind == ENTRY_ACTION)
      page->Layout()->GetListActionName(name, index, page->FocusedList());
    return name;
  }
  int ClickLists() {
    int n = 0;
    for (const auto& e : frame.executed) n += e.name == "Music ClickList";
    return n;
  }

  marivel_test::TempRegistry registry_;
  std::shared_ptr<plat::ManualClock> clock_;
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;
  MusicFrame frame;
  std::unique_ptr<CMusicPage> page;
};

TEST(MusicPagePaths, PageIdsLoadTheirLayoutsByVendor) {
  struct Case {
    int id, vendor, module;
    const char* path;
  } const cases[] = {
      {1, 0, MODULE_MUSIC, "Music\\Tracks"},          {6, 0, MODULE_MUSIC, "Music\\Tracks"},
      {18, 4, MODULE_MUSIC, "Music\\Tracks"},         {2, 0, MODULE_MUSIC, "Music\\AudioCD\\Tracks"},
      {19, 4, MODULE_MUSIC, "Music\\MusicAudioCD"},   {2, 4, MODULE_RADIO, "Music\\MusicRecordList"},
      {3, 0, MODULE_MUSIC, "Music\\MusicFileEditing"}, {4, 4, MODULE_MUSIC, "Music\\MusicDevice"},
      {8, 0, MODULE_MUSIC, "Music\\MusicCapture"},    {9, 0, MODULE_MUSIC, "Music\\SourceType"},
      {12, 4, MODULE_MUSIC, "Music\\Tracks"},         {14, 0, MODULE_MUSIC, "Music\\Settings\\MusicSetting"},
      {20, 0, MODULE_MUSIC, "Music\\Settings\\VisualizationSetting"},
      {21, 0, MODULE_MUSIC, "Music\\MediaSearch"},    {22, 0, MODULE_MUSIC, "Music\\MusicFolderSelector"},
      {23, 0, MODULE_MUSIC, "Music\\AudioCD\\RipCDTrackSel"}, {23, 4, MODULE_MUSIC, "Music\\MusicRipping"},
      {24, 0, MODULE_MUSIC, "Music\\VisualizationDisplay"}, {25, 0, MODULE_MUSIC, "Music\\AudioCD\\RipCDNow"},
      {26, 4, MODULE_MUSIC, "Music\\MusicRipping"},   {27, 0, MODULE_MUSIC, "Music\\Burnning\\SelectSourceType"},
      {28, 0, MODULE_MUSIC, "Music\\Burnning\\SelectTracks"}, {29, 0, MODULE_MUSIC, "Music\\Burnning\\Preview"},
      {0, 0, MODULE_MUSIC, ""}, {5, 0, MODULE_MUSIC, ""}, {7, 4, MODULE_MUSIC, ""}, {30, 0, MODULE_MUSIC, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MusicPagePath(c.id, c.vendor, c.module), c.path) << c.id << " vendor " << c.vendor;
}

TEST_F(MusicPageTest, EveryPageIdWithAPathLoadsItsLayout) {
  MakePage();
  for (int vendor : {0, 4}) {
    frame.options.vendorId = vendor;
    for (int id = 1; id <= 29; ++id) {
      if (MusicPagePath(id, vendor, MODULE_MUSIC).empty()) continue;
      Music().m_arrPageHistory.clear();
      Music().PushMusicPage(id);
      EXPECT_EQ(page->ShowPage(), 1) << id << ": " << page->LayoutError();
      EXPECT_EQ(page->CurrentPath(), MusicPagePath(id, vendor, MODULE_MUSIC));
    }
  }
}

TEST_F(MusicPageTest, ListCountsFollowThePage) {
  MakePage();
  Music().m_vecLibraryTracks = {Track("a", "u1"), Track("b", "u2"), Track("c", "u3")};
  Music().m_vecAlbums.resize(2);
  Music().m_vecRipJobs.resize(4);
  Music().m_arrDeletedFiles = {"/x", "/y"};
  struct Case {
    int id, count;
  } const cases[] = {{15, 3}, {13, 3}, {23, 3}, {9, 2}, {10, 0}, {25, 4}, {3, 2}, {21, 0}};
  for (const Case& c : cases) {
    ShowMusicPage(c.id);
    int count = -1;
    page->ElementIndex().GetItemCountByName("Music List Panel", &count);
    EXPECT_EQ(count, c.id == 21 ? -1 : c.count) << c.id;  // the search page has no list
    EXPECT_EQ(page->ListItemCount(), c.count) << c.id;
  }
}

TEST_F(MusicPageTest, UpOneLevelAtTheLibraryRootSendsNothing) {
  TempFolder folder;
  folder.File("song.mp3");
  MakePage();
  Music().m_strCurrentDrive = folder.root().string();
  Music().m_strBrowseFolder = folder.root().string();
  ShowMusicPage(6);
  ASSERT_EQ(page->OpenBrowserFolder(), 1);
  frame.executed.clear();
  EXPECT_EQ(page->OnAction("UpOneLevel"), 0);
  EXPECT_TRUE(frame.executed.empty());
  EXPECT_EQ(page->MusicBrowser().GetCurrentFolder(), folder.root().string());
  // The browsing copied the file into the music state, with no up-level row.
  ASSERT_EQ(Music().m_vecPlayList.size(), 1u);
  EXPECT_EQ(page->ListItemCount(), 1);
}

TEST_F(MusicPageTest, ToggleButtonsSwapToTheirTwinOnlyWhenTheControllerAccepts) {
  MakePage();
  frame.controller = [this](const std::string& name) {
    if (name == "Music Shuffle" && frame.actionResult > 0) Music().m_bShuffle = 1;
  };
  ShowMusicPage(15);
  page->Redraw(0);
  ASSERT_TRUE(page->SetFocusButton("Music Shuffle"));
  ASSERT_EQ(FocusedActionName(), "Music Shuffle");

  frame.actionResult = -1;  // refused
  page->OnAction("Music Shuffle");
  EXPECT_EQ(FocusedActionName(), "Music Shuffle");

  frame.actionResult = 1;
  EXPECT_EQ(page->OnAction("Music Shuffle"), 1);
  EXPECT_EQ(FocusedActionName(), "Music Shuffle Focus");
}

TEST_F(MusicPageTest, DeviceRowKSelectsTheEntryDrawnAtRowK) {
  TempFolder folder;
  MakePage();
  frame.options.generalFeatures = 0x80 | 0x4;
  Music().m_strDefaultFolder = folder.Folder("Captured").string();
  config_->m_vecDriveList4 = {{"/srv/music", "Music share"}};
  // The drive enumerator lists every volume; only the optical drives and
  // (through their own list) the removable ones are rows.
  config_->m_vecOpticalDrives = {
      {"C:", "C:", 2}, {"D:", "Audio CD (D:)", 1}, {"E:", "Stick one", 8}, {"F:", "Stick two", 8}};
  config_->m_vecDriveList2 = {{"E:", "Stick one"}, {"F:", "Stick two"}};
  config_->m_vecDriveList3 = {{"G:", ""}};
  const std::vector<MusicDeviceRow> rows = page->DeviceRows();
  std::vector<std::string> names;
  for (const MusicDeviceRow& row : rows) names.push_back(row.name);
  const std::vector<std::string> expected = {"Captured", "Media Library", "Music share", "Audio CD (D:)",
                                             "Stick two", "Stick one", "G:"};
  EXPECT_EQ(names, expected);
  // The controller opens row k of the same list.
  const std::vector<MusicSource> sources = MusicSources(*config_, frame.options.generalFeatures);
  ASSERT_EQ(sources.size(), rows.size());
  for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(sources[k].path, rows[k].path) << k;

  ShowMusicPage(4);
  page->Redraw(0);
  EXPECT_EQ(page->ListItemCount(), static_cast<int>(rows.size()));
  const int list = Panel();
  ASSERT_GE(list, 0);
  for (int k = 0; k < static_cast<int>(rows.size()) && k < 7; ++k) {
    frame.executed.clear();
    ASSERT_TRUE(page->HighlightListItem(k, list)) << k;
    page->OnListEntryHook();
    EXPECT_EQ(page->HighlightName(), rows[static_cast<std::size_t>(k)].name);
    page->OnListItemAction(list, k);
    ASSERT_EQ(ClickLists(), 1);
    EXPECT_EQ(frame.executed.back().a, k);
  }
}

TEST(MusicFileDelete, AFolderTreeGoesWithoutFollowingLinksAndReadOnlyFilesGoToo) {
  TempFolder tree;
  const fs::path outside = tree.Folder("outside");
  tree.File("outside/keep.mp3");
  const fs::path doomed = tree.Folder("doomed");
  tree.File("doomed/a.mp3");
  tree.File("doomed/sub/b.mp3");
  fs::create_directory_symlink(outside, doomed / "sub" / "link");
  const fs::path readOnly = tree.File("doomed/sub/ro.mp3");
  ::chmod(readOnly.c_str(), 0444);
  ::chmod((doomed / "sub").c_str(), 0555);  // a folder that refuses changes
  const fs::path single = tree.File("single.mp3");
  ::chmod(single.c_str(), 0444);

  DeleteChosenMusicPaths({doomed.string(), single.string()});
  EXPECT_FALSE(fs::exists(fs::symlink_status(doomed)));
  EXPECT_FALSE(fs::exists(single));
  EXPECT_TRUE(fs::exists(outside / "keep.mp3"));
}

TEST_F(MusicPageTest, DeleteFilesReportsBackToTheController) {
  TempFolder tree;
  MakePage();
  const fs::path file = tree.File("gone.mp3");
  Music().m_arrDeletedFiles = {file.string()};
  ShowMusicPage(3);
  frame.executed.clear();
  page->OnAction("Music Delete Files");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(Music().m_bFilesDeleted, 1);
  ASSERT_EQ(frame.executed.size(), 1u);
  EXPECT_EQ(frame.executed[0].name, "Music Back");
}

TEST_F(MusicPageTest, TheListRollsBackToThePlayingItemAfterTheConfiguredPeriod) {
  {
    CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(key.Create(plat::HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrovia\\Marivel\\Music"));
    ASSERT_TRUE(key.SetDword("RollbackTimerElapse", 10000));
  }
  MakePage();
  EXPECT_EQ(page->RollbackPeriod(), 10000u);
  for (int i = 0; i < 20; ++i) Music().m_vecLibraryTracks.push_back(Track("t" + std::to_string(i), "u" + std::to_string(i)));
  Music().m_wstrMediaUrl = "u15";
  Music().m_nMusicState = MUSIC_PLAYING;
  ShowMusicPage(15);
  page->Redraw(0);
  Pump();
  const int list = Panel();
  int top = -1;
  page->ElementIndex().GetTopIndex(list, &top);
  ASSERT_EQ(top, 0);

  page->OnKeyDown(plat::VK_DOWN, 1, 0);
  EXPECT_NE(page->RollbackTimer(), 0u);
  clock_->advance(9990);
  Pump();
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_EQ(top, 0);
  clock_->advance(20);
  Pump();
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_GT(top, 0);
  int row = -1;
  ASSERT_TRUE(page->ElementIndex().ItemToRow(list, 15, &row));
  EXPECT_GE(row, 0);
  EXPECT_EQ(Music().m_nCurrentItem, 15);
  EXPECT_EQ(page->RollbackTimer(), 0u);
}

TEST_F(MusicPageTest, NoRollbackWhileStopped) {
  MakePage();
  Music().m_vecLibraryTracks = {Track("a", "u1")};
  Music().m_wstrMediaUrl = "u1";
  Music().m_nMusicState = MUSIC_STOPPED;
  ShowMusicPage(15);
  page->OnKeyDown(plat::VK_DOWN, 1, 0);
  EXPECT_EQ(page->RollbackTimer(), 0u);
}

TEST_F(MusicPageTest, TrackRowsDrawTheirTitles) {
  MakePage();
  Music().m_vecLibraryTracks = {Track("I", "u1")};
  ShowMusicPage(15);
  page->Redraw(0);
  Pump();
  const int list = Panel();
  plat::RECT row0{};
  ASSERT_TRUE(page->GetListItemScreenRect(0, list, &row0));
  // The page's back buffer holds what it drew.
  auto rowPixels = [&] {
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    plat::HGDIOBJ old = plat::SelectObject(dc, page->BackBuffer());
    std::vector<plat::COLORREF> pixels;
    for (int y = row0.top; y < row0.bottom; y += 2)
      for (int x = row0.left; x < row0.right; x += 2) pixels.push_back(plat::GetPixel(dc, x, y));
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    return pixels;
  };
  const auto empty = rowPixels();
  Music().m_vecLibraryTracks = {Track("A rather long title WWW", "u1")};
  page->RefreshListPanel();
  page->Redraw(0);
  Pump();
  const auto filled = rowPixels();
  ASSERT_EQ(empty.size(), filled.size());
  int differing = 0;
  for (std::size_t i = 0; i < empty.size(); ++i) differing += empty[i] != filled[i];
  EXPECT_GT(differing, 50);
}

TEST_F(MusicPageTest, ABrowsingResetStopsPlaybackAndEmptiesTheRecords) {
  TempFolder folder;
  folder.File("one.mp3");
  folder.Folder("sub");
  MakePage();
  Music().m_strCurrentDrive = folder.root().string();
  Music().m_strBrowseFolder = folder.root().string();
  Music().m_nMusicState = MUSIC_PLAYING;
  Music().m_arrDeletedFiles = {"/stale"};
  ShowMusicPage(6);
  frame.executed.clear();
  ASSERT_EQ(page->OpenBrowserFolder(), 1);
  EXPECT_TRUE(frame.Executed("Music Stop"));
  EXPECT_TRUE(frame.Executed("Music_Filebrowsing_Complete"));
  EXPECT_TRUE(Music().m_arrDeletedFiles.empty());
  EXPECT_EQ(Music().m_vecCurrentList.size(), 1u);
  EXPECT_EQ(Music().m_vecPlayList.size(), 1u);
}

TEST_F(MusicPageTest, VendorFourKeysWalkAndTagTheFolderPage) {
  TempFolder folder;
  folder.File("sub/inner.mp3");
  folder.File("top.mp3");
  frame.options.vendorId = 4;
  MakePage();
  Music().m_strCurrentDrive = folder.root().string();
  Music().m_strBrowseFolder = folder.root().string();
  ShowMusicPage(6);
  ASSERT_EQ(page->OpenBrowserFolder(), 1);
  page->RefreshListPanel();  // as the controller does after opening
  page->Redraw(0);
  const int list = Panel();
  // No up-level row for vendor 4: row 0 is the folder, row 1 the file.
  ASSERT_TRUE(page->HighlightListItem(0, list));
  frame.executed.clear();
  page->PressFocusedEntry();
  ASSERT_EQ(frame.executed.size(), 1u);
  EXPECT_EQ(frame.executed[0].name, "Music TagFolders");
  ASSERT_TRUE(page->HighlightListItem(1, list));
  page->PressFocusedEntry();
  EXPECT_EQ(frame.executed.back().name, "Music TagFiles");
  EXPECT_EQ(frame.executed.back().a, 0);

  ASSERT_TRUE(page->HighlightListItem(0, list));
  page->OnKeyRight(0);
  EXPECT_EQ(page->MusicBrowser().GetCurrentFolder(), (folder.root() / "sub").string());
  page->OnKeyLeft(0);
  EXPECT_EQ(page->MusicBrowser().GetCurrentFolder(), folder.root().string());
}

TEST_F(MusicPageTest, TheWheelOverTheListMovesItOneRow) {
  MakePage();
  for (int i = 0; i < 20; ++i) Music().m_vecLibraryTracks.push_back(Track("t", "u" + std::to_string(i)));
  ShowMusicPage(15);
  page->Redraw(0);
  const int list = Panel();
  plat::RECT rect{};
  ASSERT_TRUE(page->GetListScreenRect(list, &rect));
  const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
  int top = -1;
  EXPECT_EQ(page->OnMouseWheel(0, 120, x, y), 0);  // already at the top
  EXPECT_EQ(page->OnMouseWheel(0, -120, x, y), 1);
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_EQ(top, 1);
  EXPECT_EQ(page->OnMouseWheel(0, -120, 5, 5), 0);  // away from the list
  EXPECT_EQ(page->OnMouseWheel(0, 120, x, y), 1);
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_EQ(top, 0);
}

}  // namespace

namespace {

TEST_F(MusicPageTest, AShownPageFocusesTheFirstRowOfItsList) {
  MakePage();
  Music().m_strDefaultFolder = "/srv/music";
  ShowMusicPage(MUSIC_PAGE_DEVICES);
  int kind = 0, slot = -1;
  EXPECT_EQ(page->FocusedList(), Panel());
  ASSERT_TRUE(page->SplitEntry(page->FocusedList(), page->FocusedEntry(), &kind, &slot));
  EXPECT_EQ(kind, ENTRY_ITEM);
  EXPECT_EQ(slot, 0);
  // The controller's own recount changes nothing.
  page->RefreshListPanel();
  EXPECT_EQ(page->FocusedList(), Panel());
  // An empty track list leaves the focus on the control panel.
  Music().m_vecLibraryTracks.clear();
  ShowMusicPage(MUSIC_PAGE_ALBUM_TRACKS);
  EXPECT_NE(page->FocusedList(), Panel());
  EXPECT_GE(page->FocusedList(), 0);
}

TEST_F(MusicPageTest, TheAlbumCoverShowsThePictureOfTheArtPath) {
  MakePage();
  TempFolder folder;
  const std::string picture = (folder.root() / "cover.png").string();
  {
    const std::vector<std::uint8_t> png = plat::gdi::EncodePng(plat::Surface(40, 40, 0xFFFF0000u));
    std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                    static_cast<std::streamsize>(png.size()));
  }
  const std::string notAPicture = folder.File("cover.jpg").string();
  Music().m_vecLibraryTracks = {Track("I", "u1")};
  ShowMusicPage(MUSIC_PAGE_ALBUM_TRACKS);
  plat::RECT cover{};
  ASSERT_TRUE(page->GetStillImageScreenRectByName("Music Album Cover", &cover));
  // The share of clearly red pixels in the cover on the page's back buffer.
  auto redShare = [&] {
    page->Redraw(0);
    Pump();
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    plat::HGDIOBJ old = plat::SelectObject(dc, page->BackBuffer());
    int red = 0, all = 0;
    for (int y = cover.top + 2; y < cover.bottom - 2; y += 4)
      for (int x = cover.left + 2; x < cover.right - 2; x += 4, ++all) {
        const plat::COLORREF c = plat::GetPixel(dc, x, y);
        red += (c & 0xFF) > 200 && ((c >> 8) & 0xFF) < 60 && ((c >> 16) & 0xFF) < 60;
      }
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    return all ? static_cast<double>(red) / all : 0.0;
  };
  EXPECT_LT(redShare(), 0.01);  // the skin's own cover
  Music().m_strAlbumArtPath = picture;
  EXPECT_GT(redShare(), 0.95);
  // A file that is no picture, or none at all, leaves the skin's cover.
  for (const std::string& path : {notAPicture, (folder.root() / "gone.png").string()}) {
    Music().m_strAlbumArtPath = path;
    EXPECT_LT(redShare(), 0.01) << path;
  }
  // Radio shows no album picture.
  Music().m_strAlbumArtPath = picture;
  config_->m_nActiveModule = MODULE_RADIO;
  EXPECT_LT(redShare(), 0.01);
}

TEST_F(MusicPageTest, MixerTextsNameTheSelectedDeviceAndLine) {
  MakePage();
  struct Case {
    std::vector<std::string> devices, sources;
    int device, source;
    const char* deviceText;
    const char* sourceText;
  } const cases[] = {
      {{"Card"}, {"Line In", "Microphone"}, 0, 1, "Card", "Microphone"},
      {{"Card"}, {}, 0, -1, "Card", "No Input Source"},
      {{"Card"}, {"Line In"}, 0, 3, "Card", "No Input Source"},
      {{}, {}, -1, -1, "No Device", "No Source"},
      {{"Card"}, {"Line In"}, 2, 0, "No Device", "No Source"},
  };
  for (const Case& c : cases) {
    Music().m_arrMixerDevices = c.devices;
    Music().m_arrMixerSources = c.sources;
    Music().m_nMixerDeviceIndex = c.device;
    Music().m_nMixerSourceIndex = c.source;
    EXPECT_EQ(page->TextFor("Music Mixer Device"), c.deviceText);
    EXPECT_EQ(page->TextFor("Music Mixer Source"), c.sourceText) << c.device << " " << c.source;
  }
}

TEST_F(MusicPageTest, SettingsRowsDrawTheirValues) {
  MakePage();
  ShowMusicPage(14);
  int list = -1, text = -1;
  ASSERT_TRUE(page->Layout()->FindList("Music Setting Options", list));
  ASSERT_TRUE(page->Layout()->FindListText("Music Ripping Format", text, list));
  plat::RECT rect{};
  auto pixels = [&] {
    page->Redraw(0);
    Pump();
    // The rectangle is known once the page has a back buffer.
    EXPECT_TRUE(page->GetListTextScreenRect(text, list, &rect));
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    plat::HGDIOBJ old = plat::SelectObject(dc, page->BackBuffer());
    std::vector<plat::COLORREF> values;
    for (int y = rect.top; y < rect.bottom; y += 2)
      for (int x = rect.left; x < rect.right; x += 2) values.push_back(plat::GetPixel(dc, x, y));
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    return values;
  };
  Music().m_nRippingFormat = 1;
  const auto mp3 = pixels();
  Music().m_nRippingFormat = 2;
  const auto wma = pixels();
  Music().m_nRippingFormat = 7;  // no format: nothing written
  const auto none = pixels();
  int differing = 0, written = 0;
  for (std::size_t i = 0; i < mp3.size(); ++i) {
    differing += mp3[i] != wma[i];
    written += mp3[i] != none[i];
  }
  EXPECT_GT(differing, 20);
  EXPECT_GT(written, 20);
}

TEST_F(MusicPageTest, GoingUpKeepsTheScrollAndFocusesTheFolderLeft) {
  MakePage();
  TempFolder folder;
  for (int i = 0; i < 12; ++i) folder.Folder("f" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  // The controller shows the page again when the browsed folder changed.
  frame.controller = [&](const std::string& name) {
    if (name == "Music_Filebrowsing_Complete") page->ShowPage();
  };
  Music().m_strCurrentDrive = folder.root().string();
  Music().m_strBrowseFolder = folder.root().string();
  ShowMusicPage(6);
  ASSERT_EQ(page->OpenBrowserFolder(), 1);
  const int list = Panel();
  ASSERT_EQ(page->ListItemCount(), 12);
  // Scrolled down by four, the last folder (row 11, slot 7) is entered.
  page->ElementIndex().SetTopIndexByName("Music List Panel", 4);
  page->OnListItemAction(list, 7);
  EXPECT_EQ(Music().m_strBrowseFolder, (folder.root() / "f11").string());
  ASSERT_EQ(page->OnAction("UpOneLevel"), 1);
  EXPECT_EQ(Music().m_strBrowseFolder, folder.root().string());
  int top = -1;
  page->ElementIndex().GetTopIndexByName("Music List Panel", &top);
  EXPECT_EQ(top, 4);
  int kind = 0, slot = -1;
  ASSERT_EQ(page->FocusedList(), list);
  ASSERT_TRUE(page->SplitEntry(list, page->FocusedEntry(), &kind, &slot));
  EXPECT_EQ(kind, ENTRY_ITEM);
  EXPECT_EQ(slot, 7);
}

}  // namespace
