// The Photo page on the headless display with the default skin, a recording
// frame and a UI system whose photo drawing the tests script: the vendor
// table, the bars, the browsers' sink, opening photos, the drive selector and
// reader texts, and the lazily made thumbnails.
#include "lounge/pages/photo/photo_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/win/display_link.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/gdi/objects.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/pages/common/file_tree.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/support/null_ui_system.h"

namespace {

CPhotoPage* g_page = nullptr;
int g_highlightPosts = 0;
int g_archivePosts = 0;

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
    case kPhotoDrawArchiveItem:
      ++g_archivePosts;
      if (g_page) g_page->DrawArchiveItem(static_cast<int>(w), static_cast<int>(l));
      return 0;
    case kPhotoDrawHighlightItem:
      ++g_highlightPosts;
      if (g_page) g_page->DrawHighlightItem(static_cast<int>(w), static_cast<int>(l));
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

// Photo drawing the test scripts: thumbnails are bitmaps of one colour, or
// the calls fail as an unreadable picture does (after the bitmap was made,
// as the real service does).
class ScriptedUISystem : public test_support::NullUISystem {
 public:
  CConfig* config = nullptr;
  bool failRender = false;
  int renders = 0;
  int previews = 0;
  std::weak_ptr<plat::Surface> halfMadePixels;

  plat::HRESULT RenderPhotoToBitmap(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                    std::int32_t right, std::int32_t bottom, plat::HBITMAP) override {
    ++renders;
    PhotoRecord& record = config->m_pPhoto->m_vecPhotos.at(static_cast<std::size_t>(index));
    if (record.hThumbnail) plat::DeleteObject(record.hThumbnail);
    record.hThumbnail = plat::CreateCompatibleBitmap(hdc, right - left, bottom - top);
    if (failRender) {
      halfMadePixels = plat::GetBitmapSurface(record.hThumbnail);
      return plat::E_FAIL;
    }
    return plat::S_OK;
  }
  plat::HRESULT DrawFolderPreview(std::int32_t index, plat::HDC hdc, std::int32_t, std::int32_t, std::int32_t right,
                                  std::int32_t bottom, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t, std::int32_t, std::int32_t, plat::HBITMAP) override {
    ++previews;
    PhotoRecord& record = config->m_pPhoto->m_vecFolders.at(static_cast<std::size_t>(index));
    if (record.hThumbnail) plat::DeleteObject(record.hThumbnail);
    record.hThumbnail = plat::CreateCompatibleBitmap(hdc, right, bottom);
    return plat::S_OK;
  }
};

// The frame; the kill actions empty the photo and music lists as the
// controller does.
class PhotoFrame : public pages::FakeShellFrame {
 public:
  IUISystem* system = nullptr;
  IUISystem* UISystem() override { return system; }
  int ExecuteAction(const std::string& name, long a, long b) override {
    if (config && config->m_pPhoto && name == "Photo Kill Photo Files") {
      for (PhotoRecord& r : config->m_pPhoto->m_vecPhotos)
        if (r.hThumbnail) plat::DeleteObject(r.hThumbnail);
      config->m_pPhoto->m_vecPhotos.clear();
    }
    if (config && config->m_pPhoto && name == "Photo Kill BGMusic Files") config->m_pPhoto->m_vecMusic.clear();
    return FakeShellFrame::ExecuteAction(name, a, b);
  }
};

bool Queued(plat::HWND window, plat::UINT message) {
  plat::MSG m;
  return plat::PeekMessage(&m, window, message, message, plat::PM_NOREMOVE) != plat::FALSE;
}

class PhotoPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    std::string error;
    started_ = plat::display::StartDisplay(options, &error);
    ASSERT_TRUE(started_) << error;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "PhotoPageTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "PhotoPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_PHOTO;
    system.config = config_.get();
    frame.window = window_;
    frame.config = config_.get();
    frame.system = &system;
    g_highlightPosts = g_archivePosts = 0;
    MakePage();
  }
  void MakePage() {
    g_page = nullptr;
    page.reset();
    page = std::make_unique<CPhotoPage>(frame);
    page->AttachWindow(window_);
    page->Create();
    g_page = page.get();
    Pump();
  }
  void TearDown() override {
    g_page = nullptr;
    page.reset();
    if (config_ && config_->m_pPhoto) {
      for (auto* list : {&Photo().m_vecPhotos, &Photo().m_vecFolders})
        for (PhotoRecord& r : *list)
          if (r.hThumbnail) plat::DeleteObject(r.hThumbnail);
    }
    UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(window_)) plat::DestroyWindow(window_);
    Pump();
    if (started_) plat::display::StopDisplay();
  }
  CPhotoConfig& Photo() { return *config_->m_pPhoto; }
  CConfig& Config() { return *config_; }
  int ListIndex(const std::string& name) {
    int list = -1;
    return page->Layout() && page->Layout()->FindList(name, list) ? list : -1;
  }
  // The browser on a folder with `folders` sub-folders and `files` pictures.
  void BrowseFolder(int folders, int files) {
    for (int i = 0; i < folders; ++i) tree.Folder("pictures/sub" + std::to_string(i));
    for (int i = 0; i < files; ++i) tree.File("pictures/p" + std::to_string(i) + ".jpg");
    Photo().m_nPhotoState = 0;
    page->ShowPage("Photo\\PhotoBrowser");
    page->OpenPhotoFolder((tree / "pictures").c_str(), (tree / "pictures").c_str());
    page->RefreshBrowserList(0, 1);
  }
  bool Sent(const std::string& name) const { return frame.Executed(name); }

  FileTree tree;
  PhotoFrame frame;
  ScriptedUISystem system;
  std::unique_ptr<CPhotoPage> page;

 private:
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;
};

}  // namespace

TEST_F(PhotoPageTest, TheVendorTableSetsTheMosaicAndTheUpLevelEntries) {
  struct Case {
    int vendor;
    int upLevel, rows, columns, percent, x, y, width;
  };
  const Case cases[] = {{0, 1, 2, 2, 90, 10, 12, 320}, {3, 1, 2, 2, 90, 10, 12, 320}, {7, 1, 2, 2, 90, 10, 12, 320},
                        {1, 0, 2, 2, 90, 8, 5, 320},   {2, 1, 2, 2, 90, 15, 15, 320}, {4, 0, 3, 3, 90, 50, 30, 800}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vendor);
    frame.options.vendorId = c.vendor;
    MakePage();
    const PhotoLayoutParams& p = page->Params();
    EXPECT_EQ(p.mosaicRows, c.rows);
    EXPECT_EQ(p.mosaicColumns, c.columns);
    EXPECT_EQ(p.mosaicImagePercent, c.percent);
    EXPECT_EQ(p.frameMarginXDivisor, c.x);
    EXPECT_EQ(p.frameMarginYDivisor, c.y);
    EXPECT_EQ(p.folderThumbWidth, c.width);
    for (CFileListSource* b : {&page->PhotoBrowser(), &page->MusicBrowser(), &page->AcquireBrowser(),
                               &page->FolderBrowser()})
      EXPECT_EQ(b->GetShowUpLevel(), c.upLevel);
  }
  // The mosaic area inside a 320 x 240 frame picture.
  const auto area = [](int vendor, int x, int y) { return PhotoMosaicArea(vendor, 320, 240, x, y); };
  EXPECT_EQ(area(0, 10, 12).left, 32);
  EXPECT_EQ(area(0, 10, 12).top, 60);
  EXPECT_EQ(area(0, 10, 12).right, 288);
  EXPECT_EQ(area(0, 10, 12).bottom, 220);
  EXPECT_EQ(area(2, 15, 15).left, 42);
  EXPECT_EQ(area(2, 15, 15).top, 16);
  EXPECT_EQ(area(4, 50, 30).left, 6);
  EXPECT_EQ(area(4, 50, 30).top, 8);
}

TEST_F(PhotoPageTest, VendorFourShowsNoBarAndTheSelectKeyMarksAPhoto) {
  frame.options.vendorId = 4;
  MakePage();
  BrowseFolder(0, 3);
  page->EnterModule("Photo\\PhotoBrowser");
  page->OpenPhotoFolder((tree / "pictures").c_str(), (tree / "pictures").c_str());
  page->RefreshBrowserList(0, 1);
  Photo().m_nFullScreen = 1;
  page->OnResize();
  page->OnLeave();
  for (const std::string& call : frame.calls) {
    EXPECT_EQ(call.find("CaptionBarVisible"), std::string::npos) << call;
    EXPECT_EQ(call.find("PlaybackBar"), std::string::npos) << call;
  }
  EXPECT_EQ(page->OnMouseMove(100, 100), 0);
  EXPECT_EQ(page->OnButtonUp(100, 100), 0);
  // Select on the first photo toggles its mark, and back.
  page->ShowPage("Photo\\PhotoBrowser");
  page->RefreshBrowserList(0, 1);
  const int list = ListIndex("Photo Thumbnail Browser");
  ASSERT_GE(list, 0);
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, 0));
  ASSERT_EQ(Photo().m_vecPhotos.size(), 3u);
  const int before = Photo().m_vecPhotos[0].bChecked;
  EXPECT_EQ(page->PressFocusedEntry(), 1);
  EXPECT_NE(Photo().m_vecPhotos[0].bChecked, before);
  EXPECT_EQ(page->PressFocusedEntry(), 1);
  EXPECT_EQ(Photo().m_vecPhotos[0].bChecked, before);
  EXPECT_TRUE(frame.executed.empty() || !Sent("Photo Fullscreen"));
}

TEST_F(PhotoPageTest, TheAcquisitionPercentageShowsOnlyWhileAcquiring) {
  Photo().m_nPhotoState = 5;
  page->ShowPage("Photo\\PhotoImageAcquisitionBrowser");
  const struct {
    int percent;
    std::string text;
  } cases[] = {{0, "0  %"},
               {100, "100  %"},
               {101, ""},
               {-1, UIStringOrEmpty("PREPARING")},
               {-2, UIStringOrEmpty("FAILED")},
               {-3, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(page->ShowAcquireProgress(c.percent), 1);
    EXPECT_EQ(page->LastAcquireText(), c.text);
  }
  EXPECT_FALSE(UIStringOrEmpty("PREPARING").empty());
  EXPECT_FALSE(UIStringOrEmpty("FAILED").empty());
  Photo().m_nPhotoState = 0;
  EXPECT_EQ(page->ShowAcquireProgress(50), 0);
  EXPECT_EQ(page->LastAcquireText(), "") << "unchanged outside the acquisition view";
}

TEST_F(PhotoPageTest, AnEntryWithoutAWidthIsNeitherDrawnNorAskedFor) {
  // Before any paint: no thumbnail exists yet.
  BrowseFolder(1, 1);
  const plat::HDC dc = plat::GetDC(frame.window);
  EXPECT_EQ(page->DrawFolderIcon(0, 0, plat::RECT{10, 10, 10, 80}, dc, 0), 0);
  EXPECT_EQ(page->DrawFileIcon(0, 0, plat::RECT{10, 10, 5, 80}, dc, 0), 0);
  plat::ReleaseDC(frame.window, dc);
  EXPECT_FALSE(Queued(frame.window, kPhotoDrawArchiveItem));
  // A pending rectangle without a width makes no thumbnail either.
  Photo().m_vecFolders[0].rcPending = plat::RECT{40, 40, 40, 90};
  EXPECT_EQ(page->DrawArchiveItem(0, 0), 0);
  EXPECT_FALSE(Photo().m_vecFolders[0].hThumbnail);
  // Indices outside the lists draw and post nothing.
  EXPECT_EQ(page->DrawArchiveItem(5, 0), 0);
  EXPECT_EQ(page->DrawArchiveItem(-1, 1), 0);
  EXPECT_EQ(page->DrawArchiveItem(0, 2), 0);
  EXPECT_EQ(page->DrawHighlightItem(99, 0), 0);
  EXPECT_EQ(page->DrawHighlightItem(ListIndex("Photo Thumbnail Browser"), 999), 0);
  EXPECT_FALSE(Queued(frame.window, kPhotoDrawArchiveItem));
  EXPECT_FALSE(Queued(frame.window, kPhotoDrawHighlightItem));
  EXPECT_EQ(system.renders + system.previews, 0);
}

TEST_F(PhotoPageTest, SettingTextsFollowTheSlideShowSettings) {
  const struct {
    int effect;
    std::string key;
  } effects[] = {{0, "WIPE"}, {1, "SLIDE"}, {2, "PAGE"}, {3, "FADE"}, {4, "RANDOM"}, {5, "NONE"}, {6, ""}, {-1, ""}};
  for (const auto& e : effects) {
    SCOPED_TRACE(e.effect);
    Photo().m_nTransition = e.effect;
    EXPECT_EQ(page->ListTextFor("Photo Text Effect Type"), e.key.empty() ? "" : UIStringOrEmpty(e.key));
  }
  Photo().m_nSlideDuration = 7;
  EXPECT_EQ(page->ListTextFor("Photo PictureDuration"), "7 " + UIStringOrEmpty("SEC"));
  Photo().m_bPlayBgMusic = 0;
  EXPECT_EQ(page->ListTextFor("Photo Is Play Music"), UIStringOrEmpty("NO"));
  Photo().m_nBgMusicType = 0;
  EXPECT_EQ(page->ListTextFor("Photo Text BG Music"), UIStringOrEmpty("NOBGMUSIC"));
  Photo().m_nBgMusicType = 5;
  EXPECT_EQ(page->ListTextFor("Photo Text BG Music"), "");
  Photo().m_nBgMusicType = 7;
  Photo().m_szBgMusicPath = tree.Folder("tunes");
  EXPECT_EQ(page->ListTextFor("Photo Text BG Music"), "tunes");
}

TEST_F(PhotoPageTest, TheDriveSelectorAndTheReaderSlots) {
  // No drives: the browse folder alone.
  tree.Volumes({});
  Photo().m_strBrowseFolder = tree.Folder("Pictures");
  std::vector<PhotoDriveEntry> entries = page->DriveEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].kind, 3);
  EXPECT_EQ(entries[0].text, "Pictures");
  EXPECT_EQ(entries[0].icon, "Layout\\Img\\Common\\sub-files.bmp");
  // The kinds in their order: hard disks, optical, removable, network, devices.
  Config().m_vecDriveList3 = {{"/mnt/disk", "Disk"}};
  Config().m_vecOpticalDrives = {{"/media/cdrom", "", 8}};
  Config().m_vecDriveList2 = {{"/media/card", "Card"}};
  Config().m_vecDriveList4 = {{"/net/share", "Share"}};
  Photo().m_vecDevices = {{"Camera", 2}, {"Scanner", 1}};
  entries = page->DriveEntries();
  ASSERT_EQ(entries.size(), 7u);
  const int kinds[] = {3, 4, 0, 1, 5, 2, 2};
  for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].kind, kinds[i]) << i;
  EXPECT_EQ(entries[1].text, "Disk");
  EXPECT_EQ(entries[2].text, "cdrom");
  EXPECT_EQ(entries[5].icon, "Layout\\Img\\Common\\sub-cardreader.BMP");
  EXPECT_EQ(entries[6].icon, "Layout\\Img\\Common\\sub-files.bmp");
  page->ShowPage("Photo\\PhotoDriveSelector");
  Photo().m_nPhotoState = 20;
  EXPECT_EQ(page->RefreshBrowserList(2, 1), 1);
  int count = 0;
  page->ElementIndex().GetItemCountByName("Photo Multi Drive Selector", &count);
  EXPECT_EQ(count, 7);

  // Each drive is drawn as what it is, whichever list holds it: the drive
  // scan lists the system disk among the optical drives.
  plat::VolumeInfo system = Volume('C', "/");
  plat::VolumeInfo disc = Volume('D', tree.Folder("disc"), "DISC");
  disc.type = plat::DRIVE_CDROM;
  plat::VolumeInfo stick = Volume('E', tree.Folder("stick"), "STICK");
  stick.type = plat::DRIVE_REMOVABLE;
  tree.Volumes({system, disc, stick});
  Config().m_vecDriveList3 = {{"E:\\", "STICK"}};
  Config().m_vecOpticalDrives = {{"C:\\", "", 2}, {"D:\\", "", 1}};
  Config().m_vecDriveList2 = {};
  Config().m_vecDriveList4 = {};
  Photo().m_vecDevices = {};
  entries = page->DriveEntries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[1].icon, "Layout\\Img\\Common\\sub-cardreader.BMP") << "a removable drive";
  EXPECT_EQ(entries[2].icon, "Layout\\Img\\Common\\hard_disk.bmp") << "the system disk";
  EXPECT_EQ(entries[3].icon, "Layout\\Img\\Common\\sub-cdromdata.BMP") << "the disc";

  // A reader slot: a volume whose total size is 0 is a slot without media.
  // (/proc is a file system whose size is 0.)
  plat::VolumeInfo card = Volume('K', "/proc", "CARD");
  card.type = plat::DRIVE_REMOVABLE;
  tree.Volumes({card});
  Config().m_szDriveRoots[2] = "K:\\";
  EXPECT_EQ(page->ListTextFor("Photo USB Device Title Text"), UIStringOrEmpty("NOMEDIA"));
  Config().m_szDriveRoots[3] = "";
  EXPECT_EQ(page->ListTextFor("Photo Smart Media Title Text"), UIStringOrEmpty("NOMEDIA"));
  tree.Volumes({});
}

TEST_F(PhotoPageTest, TheBrowsersTellTheControllerWhatChanged) {
  // List resets send the kill actions of their source.
  const struct {
    int source;
    const char* action;
  } resets[] = {{0, "Photo Kill Photo Files"}, {3, "Photo Kill Photo Files"}, {1, "Photo Kill BGMusic Files"},
                {4, nullptr}, {2, nullptr}};
  for (const auto& r : resets) {
    SCOPED_TRACE(r.source);
    frame.executed.clear();
    page->OnListReset(r.source);
    if (r.action) {
      ASSERT_EQ(frame.executed.size(), 1u);
      EXPECT_EQ(frame.executed[0].name, r.action);
    } else {
      EXPECT_TRUE(frame.executed.empty());
    }
  }
  // A folder opened: the sort the section asks for, and the folder kept.
  tree.File("pictures/a.jpg");
  const struct {
    int sort;
    const char* action;
  } sorts[] = {{1, "Photo Sort By Name"}, {2, "Photo Sort By Date"}, {0, nullptr}};
  for (const auto& s : sorts) {
    SCOPED_TRACE(s.sort);
    frame.executed.clear();
    Photo().m_nPhotoSortKind = s.sort;
    Photo().m_strCurrentFolder.clear();
    page->OpenPhotoFolder((tree / "pictures").c_str(), (tree / "pictures").c_str());
    EXPECT_EQ(Sent("Photo Sort By Name"), s.action && std::string(s.action) == "Photo Sort By Name");
    EXPECT_EQ(Sent("Photo Sort By Date"), s.action && std::string(s.action) == "Photo Sort By Date");
    EXPECT_EQ(Photo().m_strCurrentFolder, tree / "pictures");
  }
  // The folder asked for; an empty browser has none when files are required.
  std::string folder;
  EXPECT_EQ(page->GetBrowserFolder(folder, 0, 1), 1);
  EXPECT_EQ(folder, tree / "pictures");
  EXPECT_EQ(page->GetBrowserFolder(folder, 2, 0), 0);
  EXPECT_EQ(page->GetBrowserFolder(folder, 1, 0), 0);
}

TEST_F(PhotoPageTest, EveryPictureFormatTheEngineReadsIsListed) {
  for (const char* name : {"a.jpg", "b.JPEG", "c.bmp", "d.png", "e.gif", "f.GIF", "g.txt", "h.mp3", "gif"})
    tree.File(std::string("pictures/") + name);
  BrowseFolder(0, 0);
  std::set<std::string> listed;
  for (int i = 0; i < page->PhotoBrowser().GetFileCount(); ++i) listed.insert(page->PhotoBrowser().GetFileEntry(i)->name);
  EXPECT_EQ(listed, (std::set<std::string>{"a.jpg", "b.JPEG", "c.bmp", "d.png", "e.gif", "f.GIF"}));
}

TEST_F(PhotoPageTest, OpeningAPhotoDependsOnTheView) {
  BrowseFolder(0, 3);
  const struct {
    int state;
    const char* path;
    const char* action;
  } cases[] = {{0, "Photo\\PhotoFullScreenDisplay", "Photo Fullscreen"},
               {23, "Photo\\PhotoFullScreenDisplay", "Photo Fullscreen"},
               {3, "Photo\\PhotoEditingView", "Photo Edit View"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    page->ShowPage("Photo\\PhotoBrowser");
    frame.executed.clear();
    Photo().m_nPhotoState = c.state;
    Photo().m_nCurrentPhoto = -1;
    EXPECT_EQ(page->OnFileActivated(0, 2), 1);
    EXPECT_EQ(Photo().m_nCurrentPhoto, 2);
    EXPECT_EQ(page->CurrentPath(), c.path);
    EXPECT_TRUE(Sent(c.action));
  }
  // Marking for burning toggles the mark and sends nothing.
  page->ShowPage("Photo\\PhotoBrowser");
  frame.executed.clear();
  Photo().m_nPhotoState = 17;
  const int before = Photo().m_vecPhotos[1].bChecked;
  EXPECT_EQ(page->OnFileActivated(0, 1), 1);
  EXPECT_NE(Photo().m_vecPhotos[1].bChecked, before);
  EXPECT_TRUE(frame.executed.empty());
  // Outside the list: nothing.
  Photo().m_nPhotoState = 0;
  EXPECT_EQ(page->OnFileActivated(0, 3), 0);
  EXPECT_EQ(page->OnFileActivated(0, -1), 0);
  EXPECT_EQ(page->CurrentPath(), "Photo\\PhotoBrowser");
  // The wheel over the full-screen display steps through the photos.
  Photo().m_nPhotoState = 2;
  page->ShowPage("Photo\\PhotoFullScreenDisplay");
  frame.executed.clear();
  EXPECT_EQ(page->OnMouseWheel(0, -120, 10, 10), 1);
  EXPECT_EQ(page->OnMouseWheel(0, 120, 10, 10), 1);
  ASSERT_EQ(frame.executed.size(), 2u);
  EXPECT_EQ(frame.executed[0].name, "Photo NextImage");
  EXPECT_EQ(frame.executed[1].name, "Photo PreviousImage");
  // A second module exit sends nothing more.
  frame.executed.clear();
  page->OnModuleExit();
  page->OnModuleExit();
  EXPECT_EQ(frame.executed.size(), 1u);
}

TEST_F(PhotoPageTest, AHighlightWaitsForItsThumbnailOnlyAWhile) {
  BrowseFolder(0, 2);
  const int list = ListIndex("Photo Thumbnail Browser");
  ASSERT_GE(list, 0);
  // At the browse root there is no up-level entry: slot 1 is the second
  // photo. It is highlighted, but its row is never drawn (no paint comes),
  // so its thumbnail never comes.
  plat::ValidateRect(frame.window, nullptr);
  const int entry = page->EntryOf(list, ENTRY_ITEM, 1);
  page->SetFocus(list, entry);
  g_highlightPosts = 0;
  EXPECT_EQ(page->DrawHighlightItem(list, entry), 0);
  Pump();
  EXPECT_EQ(g_highlightPosts, kPhotoHighlightRetries);
  // A highlight that moved away is not waited for.
  g_highlightPosts = 0;
  const int other = page->EntryOf(list, ENTRY_ITEM, 0);
  EXPECT_EQ(page->DrawHighlightItem(list, other), 0);
  Pump();
  EXPECT_EQ(g_highlightPosts, 0);
  // Once the thumbnail exists it is drawn at once.
  PhotoRecord& first = Photo().m_vecPhotos[0];
  if (first.hThumbnail) plat::DeleteObject(first.hThumbnail);
  const plat::HDC dc = plat::GetDC(frame.window);
  first.hThumbnail = plat::CreateCompatibleBitmap(dc, 32, 24);
  plat::ReleaseDC(frame.window, dc);
  page->SetFocus(list, other);
  EXPECT_EQ(page->DrawHighlightItem(list, other), 1);
}

TEST_F(PhotoPageTest, ThumbnailsAreMadeOnceAndFreedWhenReplacedOrDropped) {
  BrowseFolder(1, 2);
  ASSERT_EQ(Photo().m_vecFolders.size(), 1u);
  ASSERT_EQ(Photo().m_vecPhotos.size(), 2u);
  // Drawing the page asks for every visible thumbnail; the frame makes them.
  page->Redraw(1);
  Pump();
  EXPECT_EQ(system.previews, 1);
  EXPECT_EQ(system.renders, 2);
  ASSERT_TRUE(Photo().m_vecFolders[0].hThumbnail);
  ASSERT_TRUE(Photo().m_vecPhotos[0].hThumbnail);
  // Drawn again: nothing new is made.
  page->Redraw(1);
  Pump();
  EXPECT_EQ(system.renders, 2);
  // A picture that cannot be read: the half-made bitmap goes (its pixels
  // with it), the stand-in takes its place.
  PhotoRecord& second = Photo().m_vecPhotos[1];
  plat::DeleteObject(second.hThumbnail);
  second.hThumbnail = nullptr;
  system.failRender = true;
  EXPECT_EQ(page->DrawArchiveItem(1, 1), 1);
  ASSERT_TRUE(second.hThumbnail);
  EXPECT_TRUE(system.halfMadePixels.expired());
  const plat::SurfacePtr standIn = plat::GetBitmapSurface(second.hThumbnail);
  ASSERT_TRUE(standIn);
  bool drawn = false;
  for (int y = 0; y < standIn->height() && !drawn; ++y)
    for (int x = 0; x < standIn->width() && !drawn; ++x) drawn = (standIn->pixel(x, y) & 0xFFFFFFu) != 0;
  EXPECT_TRUE(drawn) << "the stand-in picture, not a blank bitmap";
  // The folder list is dropped with its thumbnails when the browser resets.
  std::weak_ptr<plat::Surface> folderPixels = plat::GetBitmapSurface(Photo().m_vecFolders[0].hThumbnail);
  ASSERT_FALSE(folderPixels.expired());
  page->OnListReset(0);
  EXPECT_TRUE(Photo().m_vecFolders.empty());
  EXPECT_TRUE(folderPixels.expired());
}

TEST_F(PhotoPageTest, GoingBackShowsThePageOfTheViewWithItsFocus) {
  Photo().m_nPhotoState = 20;
  page->ShowPage("Photo\\PhotoDriveSelector");
  page->ShowPage("Photo\\PhotoBrowser");
  const int list = ListIndex("Photo Thumbnail Browser");
  page->SetFocus(list, 3);
  page->ShowPage("Photo\\PhotoFullScreenDisplay");
  // Back from the full-screen photo to the browser: the full-screen page is
  // forgotten, the browser's focus comes back.
  Photo().m_nPhotoState = 0;
  page->ReloadPage();
  EXPECT_EQ(page->CurrentPath(), "Photo\\PhotoBrowser");
  EXPECT_EQ(page->History(), std::vector<std::string>{"Photo\\PhotoDriveSelector"});
  EXPECT_EQ(page->FocusedList(), list);
  EXPECT_EQ(page->FocusedEntry(), 3);
  // A slide show plays over the page it started from: that page stays.
  Photo().m_nPhotoState = 1;
  page->ReloadPage();
  EXPECT_EQ(page->CurrentPath(), "Photo\\PhotoBrowser");
  EXPECT_EQ(page->History().size(), 1u);
  // Back to the drive selector, with the focus on its first entry.
  Photo().m_nPhotoState = 20;
  page->ReloadPage();
  EXPECT_EQ(page->CurrentPath(), "Photo\\PhotoDriveSelector");
  EXPECT_TRUE(page->History().empty());
  EXPECT_EQ(page->FocusedList(), 0);
  EXPECT_EQ(page->FocusedEntry(), 0);
  page->PopHistory(3);
  EXPECT_TRUE(page->History().empty());
}

TEST_F(PhotoPageTest, TheMusicBrowserShowsTheHighlightedTracksTagsAndEachLength) {
  tree.File("tunes/a.mp3");
  tree.File("tunes/b.mp3");
  tree.Folder("tunes/older");
  Photo().m_nPhotoState = 0;
  page->ShowPage("Photo\\PhotoBGMusicBrowser");
  page->OpenMusicFolder((tree / "tunes").c_str());
  page->RefreshBrowserList(1, 1);
  Pump();
  ASSERT_EQ(Photo().m_vecMusic.size(), 2u);
  // What the controller reads from the tags when the list is built.
  Photo().m_vecMusic[0].strArtist = "Ada Sine";
  Photo().m_vecMusic[0].strAlbum = "Test Signals";
  Photo().m_vecMusic[0].dDuration = 3725;

  const int list = ListIndex("Photo BG Music Browser");
  ASSERT_GE(list, 0);
  int total = 0;
  page->ElementIndex().GetItemCount(list, &total);
  int fileRow = -1, folderRow = -1;
  for (int item = 0; item < total; ++item) {
    int kind = 0, index = 0;
    if (!page->MusicBrowser().GetEntryByIndex(item, kind, index)) continue;
    if (kind == FILE_LIST_FILE && index == 0) fileRow = item;
    if (kind == FILE_LIST_FOLDER) folderRow = item;
  }
  ASSERT_GE(fileRow, 0);
  ASSERT_GE(folderRow, 0);
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, fileRow));
  EXPECT_EQ(page->TextFor("Photo Track Artist"), "Ada Sine");
  EXPECT_EQ(page->TextFor("Photo Track Album"), "Test Signals");
  EXPECT_EQ(page->TextFor("Photo BGMusic Folder"), "") << "a file shows its artist and album instead";
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, folderRow));
  EXPECT_EQ(page->TextFor("Photo BGMusic Folder"), "older");
  EXPECT_EQ(page->TextFor("Photo Track Artist"), "");
  EXPECT_EQ(page->TextFor("Photo Track Album"), "");

  // Each row draws its length right of its name, only once it is known.
  const auto litRightOf = [&](int fileIndex, int nameRight) {
    auto surface = std::make_shared<plat::Surface>(1280, 720, 0xFF000000u);
    plat::HBITMAP bitmap = plat::CreateBitmapFromSurface(surface);
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    plat::HGDIOBJ old = plat::SelectObject(dc, bitmap);
    page->DrawFileText(1, fileIndex, plat::RECT{100, 100, nameRight, 130}, dc, 0xFFFFFF);
    const plat::SurfacePtr drawn = plat::GetBitmapSurface(bitmap);
    int lit = 0;
    for (int y = 80; y < 160; ++y)
      for (int x = nameRight; x < 1280; ++x) lit += (drawn->pixel(x, y) & 0xFFFFFF) != 0;
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    plat::DeleteObject(bitmap);
    return lit;
  };
  EXPECT_GT(litRightOf(0, 300), 0);
  EXPECT_EQ(litRightOf(1, 300), 0) << "no length read: no length drawn";

  // Choosing a track keeps its tags as the chosen music's; the next choice
  // replaces them all.
  EXPECT_EQ(page->OnFileActivated(1, 0), 1);
  EXPECT_EQ(Photo().m_nBgMusicType, 6);
  EXPECT_EQ(Photo().m_wszBgTrackArtist, "Ada Sine");
  EXPECT_EQ(Photo().m_wszBgTrackAlbum, "Test Signals");
  EXPECT_EQ(Photo().m_dBgTrackDuration, 3725);
  EXPECT_EQ(page->OnFileActivated(1, 1), 1);
  EXPECT_EQ(Photo().m_wszBgTrackName, "b.mp3");
  EXPECT_EQ(Photo().m_wszBgTrackArtist, "");
  EXPECT_EQ(Photo().m_wszBgTrackAlbum, "");
  EXPECT_EQ(Photo().m_dBgTrackDuration, -1);
}

TEST_F(PhotoPageTest, PressesReachTheControllerAndTheBarsHideOnTheTimer) {
  // Entering the drive selector presses "Photo Archive", so the controller
  // browses the archive from there.
  tree.Volumes({});
  Photo().m_strBrowseFolder = tree.Folder("Pictures");
  Photo().m_nPhotoState = 20;
  page->ShowPage("Photo\\PhotoDriveSelector");
  EXPECT_TRUE(Sent("Photo Archive"));
  // Opening a drive entry answers what the controller answered.
  const int drives = ListIndex("Photo Multi Drive Selector");
  ASSERT_GE(drives, 0);
  EXPECT_EQ(page->RefreshBrowserList(2, 1), 1);
  frame.actionResult = 0;
  EXPECT_EQ(page->OnListItemAction(drives, 0), 0);
  EXPECT_TRUE(Sent("Photo Browser"));
  frame.actionResult = 1;
  page->ShowPage("Photo\\PhotoDriveSelector");
  EXPECT_EQ(page->RefreshBrowserList(2, 1), 1);
  EXPECT_EQ(page->OnListItemAction(drives, 0), 1);

  // Vendor 1: Left on a settings arrow presses "Photo Return" as a click
  // does, with its sound.
  frame.options.vendorId = 1;
  MakePage();
  Config().m_bSoundEffect = Config().m_bPressedSoundOn = 1;
  Config().m_strPressedSound = "press.wav";
  page->ShowPage("Photo\\PhotoSetting");
  const int settings = ListIndex("Photo Setting View");
  int arrow = -1;
  ASSERT_TRUE(settings >= 0 && page->Layout()->FindListAction("Photo PictureDurationRight", arrow, settings));
  page->SetFocus(settings, page->EntryOf(settings, ENTRY_ACTION, arrow));
  frame.executed.clear();
  frame.sounds.clear();
  page->OnKeyLeft(0);
  EXPECT_TRUE(Sent("Photo Return"));
  EXPECT_EQ(frame.sounds, std::vector<std::string>{"press.wav"});

  // The bars' timer hides them wherever the cursor is; the cursor itself
  // only when it is over the window.
  plat::MoveWindow(frame.window, 0, 0, 640, 360, 1);
  plat::SetCursorPos(1000, 600);
  frame.calls.clear();
  page->OnTimer(kPhotoCursorTimer);
  const auto called = [&](const char* call) {
    return std::find(frame.calls.begin(), frame.calls.end(), call) != frame.calls.end();
  };
  EXPECT_TRUE(called("SetCaptionBarVisible 0 1"));
  EXPECT_TRUE(called("SetPlaybackBarVisible 0 1"));
  EXPECT_FALSE(called("HideCursor"));
}

TEST_F(PhotoPageTest, MarkingAPictureForHandOverRedrawsItsTextsOnACleanPlace) {
  for (int i = 0; i < 3; ++i) tree.File("pictures/p" + std::to_string(i) + (i == 0 ? "_with_a_long_name.jpg" : ".jpg"));
  Photo().m_nPhotoState = 30;
  page->ShowPage("Photo\\PhotoRecordBrowser");
  page->OpenPhotoFolder((tree / "pictures").c_str(), (tree / "pictures").c_str());
  page->RefreshBrowserList(0, 1);
  const int list = ListIndex("Photo Thumbnail Browser");
  ASSERT_GE(list, 0);
  ASSERT_EQ(Photo().m_vecPhotos.size(), 3u);
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, 0));
  page->Redraw(1);
  page->OnKeyDown(plat::VK_RIGHT, 1, 0);
  Pump();
  page->OnKeyDown(plat::VK_RETURN, 1, 0);
  Pump();
  ASSERT_EQ(Photo().m_vecPhotos[1].bChecked, 1);
  // What the window shows where the count and the name stand.
  plat::RECT count{}, name{};
  ASSERT_TRUE(page->GetTextScreenRectByName("Photo Browser Item Count", &count));
  ASSERT_TRUE(page->GetTextScreenRectByName("Photo File Name", &name));
  auto shown = [&](const plat::RECT& r) {
    const plat::SurfacePtr screen = plat::GetWindowSurface(frame.window);
    std::vector<std::uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) pixels.push_back(screen->pixel(x, y) & 0xFFFFFFu);
    return pixels;
  };
  const auto countAfterMark = shown(count), nameAfterMark = shown(name);
  ASSERT_GT(std::set<std::uint32_t>(countAfterMark.begin(), countAfterMark.end()).size(), 1u);
  ASSERT_GT(std::set<std::uint32_t>(nameAfterMark.begin(), nameAfterMark.end()).size(), 1u);
  // A whole paint of the same state holds only the new texts.
  page->Redraw(1);
  Pump();
  EXPECT_EQ(countAfterMark, shown(count));
  EXPECT_EQ(nameAfterMark, shown(name));
}
