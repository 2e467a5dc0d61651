// The Video page on the headless display with the default skin and a
// recording frame: the state pages, the hand-off record of state 17, the
// device list and the folder preview cells.
#include "lounge/pages/video/video_page.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>
#include <iterator>
#include <memory>
#include <thread>

#include "corebridge/core/config.h"
#include "corebridge/core/video_config.h"
#include "interfaces/chosen_files.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/video/video_lists.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/display/display.h"
#include "platform/win/keys.h"
#include "platform/win/display_link.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/pages/common/file_tree.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/platform/registry/temp_registry.h"
#include "platform/registry/registry.h"

namespace {

CVideoPage* g_page = nullptr;
// The hand-off record seen during the state-17 action.
ChosenFiles g_handed;
bool g_handedSeen = false;

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

// The remote-control window: the mode notices (WM_USER + 1000) it was sent.
std::vector<plat::LPARAM> g_remoteModes;
plat::LRESULT RemoteKeyProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  if (msg == plat::WM_USER + 1000 && w == 0) g_remoteModes.push_back(l);
  return plat::DefWindowProc(h, msg, w, l);
}
struct RemoteKeyWindow {
  RemoteKeyWindow() {
    plat::WNDCLASS wc;
    wc.lpfnWndProc = RemoteKeyProc;
    wc.lpszClassName = "RemoteKeyWndClass";
    plat::RegisterClass(&wc);
    hwnd = plat::CreateWindowEx(0, "RemoteKeyWndClass", "RemoteKeyWnd", plat::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    g_remoteModes.clear();
  }
  ~RemoteKeyWindow() {
    if (plat::IsWindow(hwnd)) plat::DestroyWindow(hwnd);
  }
  plat::HWND hwnd = nullptr;
};

// A frame that also looks at the record of the hand-off while it is alive.
class RecordingFrame : public pages::FakeShellFrame {
 public:
  int ExecuteAction(const std::string& name, long a, long b) override {
    if (name == "Record Go Back Door" && b) {
      g_handed = *reinterpret_cast<const ChosenFiles*>(b);
      g_handedSeen = true;
    }
    return FakeShellFrame::ExecuteAction(name, a, b);
  }
};

class VideoPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The machine's own drives stay out of the device lists.
    plat::SetVolumeSource(drives);
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    std::string error;
    started_ = plat::display::StartDisplay(options, &error);
    ASSERT_TRUE(started_) << error;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "VideoPageTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "VideoPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_VIDEO;
    frame.window = window_;
    frame.config = config_.get();
    page = std::make_unique<CVideoPage>(frame);
    page->AttachWindow(window_);
    page->Create();
    page->SetThumbnailCache(CVideoThumbnailCache(tree.root() + "/cache"));
    g_page = page.get();
    g_handedSeen = false;
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
    plat::SetVolumeSource(nullptr);
  }
  CVideoConfig& Video() { return *config_->m_pVideo; }

  FileTree tree;
  std::shared_ptr<plat::FakeVolumeSource> drives = std::make_shared<plat::FakeVolumeSource>();
  RecordingFrame frame;
  std::unique_ptr<CVideoPage> page;

 private:
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;
};

}  // namespace

TEST_F(VideoPageTest, EveryStateLoadsItsPage) {
  for (int state = 0; state <= 18; ++state) {
    if (state == VIDEO_VIEW_DEVICE_RETURN) continue;
    SCOPED_TRACE(state);
    Video().m_nView = state;
    EXPECT_EQ(page->ShowStatePage(), 1) << page->LayoutError();
    EXPECT_EQ(page->CurrentPath(), VideoStatePagePath(state));
    Pump();
  }
}

TEST_F(VideoPageTest, StateSeventeenHandsTheSelectionBackOnlyInModeOne) {
  Video().m_selectedFiles = {"/v/a.avi", "/v/b.avi"};
  Video().m_strCapturedFolder = "/v/captured";
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode);
    g_handedSeen = false;
    Video().m_strPendingAction = "Record Go Back Door";
    Video().m_nPendingActionMode = mode;
    Video().m_nView = VIDEO_VIEW_DEVICE_RETURN;
    page->ShowStatePage();
    ASSERT_TRUE(g_handedSeen);
    EXPECT_EQ(frame.executed.back().a, mode);
    if (mode == 1) {
      EXPECT_EQ(g_handed.files, Video().m_selectedFiles);
      EXPECT_EQ(g_handed.folder, "/v/captured");
      EXPECT_EQ(g_handed.filter, kVideoFilter);
    } else {
      EXPECT_TRUE(g_handed.files.empty() && g_handed.folder.empty() && g_handed.filter.empty());
    }
    EXPECT_TRUE(Video().m_strPendingAction.empty());
  }
}

TEST_F(VideoPageTest, EnterModuleStartsAtTheDeviceSelectorOrTheApplicationChoice) {
  EXPECT_EQ(page->EnterModule(), 1);
  EXPECT_EQ(page->CurrentPath(), "Video\\SelectDevice");
  EXPECT_EQ(Video().m_nEntryState, VIDEO_VIEW_DEVICES);
  EXPECT_EQ(page->OnModuleExit(), 1);
  // Vendor 1 without the editor installed: the device selector as well, and
  // the remote control is told the video play mode.
  RemoteKeyWindow remote;
  ASSERT_NE(remote.hwnd, nullptr);
  frame.options.vendorId = 1;
  frame.options.editorKeyPath = "Software\\NoSuchEditor";
  frame.options.editorValue = "Install";
  EXPECT_EQ(page->EnterModule(), 1);
  EXPECT_EQ(page->CurrentPath(), "Video\\SelectDevice");
  Pump();
  EXPECT_EQ(g_remoteModes, std::vector<plat::LPARAM>{10});
}

TEST_F(VideoPageTest, DeviceListLeavesOutOpticalDrivesWithoutDataDiscs) {
  Video().m_strCapturedFolder = tree.Folder("captured");
  CConfig& config = *frame.config;
  config.m_vecOpticalDrives = {{"/media/dvd", "Film", 6}, {"/media/data", "Data", 8}, {"/media/cd", "Audio", 1}};
  // The drive table: a hard disk and a network drive.
  drives->volumes = {Volume('C', tree.Folder("disk")), Volume('F', tree.Folder("net"), "net")};
  drives->volumes[1].type = plat::DRIVE_REMOTE;
  page->ResetDeviceList();
  ASSERT_EQ(page->Devices().size(), 4u);
  EXPECT_EQ(page->Devices()[0].folder, Video().m_strCapturedFolder);
  EXPECT_EQ(page->Devices()[0].icon, "Layout\\Img\\Common\\sub-files.bmp");
  EXPECT_EQ(page->Devices()[1].folder, tree.root() + "/disk");
  EXPECT_EQ(page->Devices()[2].folder, "/media/data");
  EXPECT_EQ(page->Devices()[2].icon, "Layout\\Img\\Common\\sub-cdromdata.BMP");
  EXPECT_EQ(page->Devices()[3].icon, "Layout\\Img\\Common\\remote_drive.bmp");
}

TEST_F(VideoPageTest, ChoosingADeviceOpensItsFolderWithoutATrailingSlash) {
  const std::string folder = tree.Folder("clips");
  tree.File("clips/a.avi");
  frame.config->m_vecOpticalDrives = {{folder + "/", "Clips", 8}};
  Video().m_nView = VIDEO_VIEW_DEVICES;
  page->ShowStatePage();
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Device Browser", list));
  page->OnListItemAction(list, 0);
  EXPECT_EQ(Video().m_strOpenFolderPath, folder);
  EXPECT_EQ(Video().m_bOpenFolderPending, 1);
  EXPECT_TRUE(frame.Executed("Video My Videos"));
  // The controller then shows the folder: the browser opens it.
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  EXPECT_EQ(page->Browser().GetCurrentFolder(), folder);
  EXPECT_EQ(Video().m_folderFiles, (std::vector<std::string>{folder + "/a.avi"}));
  EXPECT_EQ(Video().m_bOpenFolderPending, 0);
}

TEST(VideoFolderPreviewCells, FollowTheMarginsAndGaps) {
  // 280 x 200 at (100, 50), margins of the default vendor: top 40, bottom 13, sides 14.
  const plat::RECT rect{100, 50, 380, 250};
  const auto cells = video_lists::FolderPreviewCells(rect, 200 / 5, 200 / 15, 280 / 20);
  // W/40 = 7, H/40 = 5; inner area 114..366 x 90..237, middles 240 and 163.
  const plat::RECT expected[4] = {{121, 95, 233, 158}, {247, 95, 359, 158}, {121, 173, 233, 232}, {247, 173, 359, 232}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cells[i].left, expected[i].left);
    EXPECT_EQ(cells[i].top, expected[i].top);
    EXPECT_EQ(cells[i].right, expected[i].right);
    EXPECT_EQ(cells[i].bottom, expected[i].bottom);
  }
}

TEST_F(VideoPageTest, GridThumbnailsAreMadeFiledByPathAndThenReadFromTheCache) {
  ASSERT_EQ(std::system((std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + MARIVEL_VIDEO_CLIPS_DIR).c_str()), 0);
  const std::string folder = tree.Folder("My Videos");
  for (const char* clip : {"red.mpg", "green.avi", "blue.wmv"}) {
    std::filesystem::copy_file(std::string(MARIVEL_VIDEO_CLIPS_DIR) + "/" + clip, folder + "/" + clip);
  }
  const auto showFolder = [&] {
    Video().m_strOpenFolderPath = folder;
    Video().m_bOpenFolderPending = 1;
    Video().m_nView = VIDEO_VIEW_FOLDER;
    page->ShowStatePage();
  };
  const auto allThree = [&] {
    const auto& t = Video().m_videoThumbnails;
    return t.size() == 3 && t[0] && t[1] && t[2];
  };
  showFolder();
  // Names in order: blue, green, red.
  ASSERT_EQ(Video().m_folderFiles,
            (std::vector<std::string>{folder + "/blue.wmv", folder + "/green.avi", folder + "/red.mpg"}));
  for (int i = 0; i < 6000 && !allThree(); ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(allThree());
  const std::uint32_t expected[3] = {0x0000FF, 0x00FF00, 0xFF0000};
  for (int i = 0; i < 3; ++i) {
    const plat::SurfacePtr s = plat::GetBitmapSurface(Video().m_videoThumbnails[i]);
    ASSERT_TRUE(s);
    const std::uint32_t centre = s->row(s->height() / 2)[s->width() / 2] & 0xFFFFFF;
    for (int shift : {0, 8, 16}) {
      const int got = int((centre >> shift) & 0xFF);
      const int want = int((expected[i] >> shift) & 0xFF);
      EXPECT_NEAR(got, want, 40) << i;
    }
  }
  ASSERT_NE(page->Worker(), nullptr);
  EXPECT_EQ(page->Worker()->ExtractionCount(), 3);

  // A fresh page over the same cache reads every picture and extracts none.
  page.reset();
  g_page = nullptr;
  page = std::make_unique<CVideoPage>(frame);
  page->AttachWindow(frame.window);
  page->Create();
  page->SetThumbnailCache(CVideoThumbnailCache(tree.root() + "/cache"));
  g_page = page.get();
  showFolder();
  Pump();
  EXPECT_TRUE(allThree());
  EXPECT_TRUE(page->Worker() == nullptr || page->Worker()->ExtractionCount() == 0);
}


TEST_F(VideoPageTest, TheFirstPicturesOfARunAreKept) {
  // Without a cache to fall back on, a picture thrown away is decoded again.
  page->SetThumbnailCache(CVideoThumbnailCache("/proc/no-cache-here"));
  ASSERT_EQ(std::system((std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + MARIVEL_VIDEO_CLIPS_DIR).c_str()), 0);
  const std::string folder = tree.Folder("Clips");
  for (const char* clip : {"red.mpg", "green.avi", "blue.wmv"})
    std::filesystem::copy_file(std::string(MARIVEL_VIDEO_CLIPS_DIR) + "/" + clip, folder + "/" + clip);
  Video().m_strOpenFolderPath = folder;
  Video().m_bOpenFolderPending = 1;
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  const auto allThree = [&] {
    const auto& t = Video().m_videoThumbnails;
    return t.size() == 3 && t[0] && t[1] && t[2];
  };
  for (int i = 0; i < 6000 && !allThree(); ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(allThree());
  ASSERT_NE(page->Worker(), nullptr);
  EXPECT_EQ(page->Worker()->ExtractionCount(), 3);
}
TEST_F(VideoPageTest, SettingTextsFollowTheScreenAndTheCaptureChoices) {
  const struct {
    const char* format;
    const char* key;
  } formats[] = {{"VCD", "VCD"},       {"SVCD", "SVCD"},     {"DVD Normal", "DVD_NORMAL"}, {"DVD Best", "DVD_BEST"},
                 {"DVD HQ", "DVD_HQ"}, {"DVD SP", "DVD_SP"}, {"DVD LP", "DVD_LP"},         {"", nullptr},
                 {"dvd sp", nullptr}};
  for (const auto& f : formats) {
    Video().m_strDiscFormat = f.format;
    EXPECT_EQ(page->ListTextFor("Video Capturing Disc Format Option"), f.key ? UIStringOrEmpty(f.key) : "")
        << f.format;
  }
  // The texts follow the display type the arrows step, whatever the
  // window's own shape.
  frame.config->m_nScreenRatio = 2;
  frame.config->m_nDisplayMode = 1;
  Video().m_nScreenMode4x3 = 2;
  EXPECT_EQ(page->ListTextFor("Video ScreenMode Option"), UIStringOrEmpty("PANSCAN"));
  frame.config->m_nScreenRatio = 1;
  frame.config->m_nDisplayMode = 2;
  Video().m_nScreenMode16x9 = 1;
  EXPECT_EQ(page->ListTextFor("Video ScreenMode Option"), UIStringOrEmpty("ORIGINAL"));
  EXPECT_EQ(page->ListTextFor("Video Screen Mode"), UIStringOrEmpty("DISPLAY_TYPE_4X3"));
  Video().m_nCaptureTarget = 5;
  EXPECT_EQ(page->ListTextFor("Video Capturing Disc Type Option"), "");
  Video().m_nCaptureTarget = 0;
  EXPECT_EQ(page->ListTextFor("Video Capturing Disc Type Option"), UIStringOrEmpty("HARDDISK"));
  EXPECT_FALSE(UIStringOrEmpty("HARDDISK").empty());
  // The capture targets' texts show only while capturing to them.
  int shown = 1;
  Video().m_bCapturing = 1;
  Video().m_nCaptureTarget = 1;
  page->QueryTextShown("Video Capture To HD", &shown);
  EXPECT_EQ(shown, 0);
  page->QueryTextShown("Video Capture To DVD", &shown);
  EXPECT_EQ(shown, 1);
  Video().m_bCapturing = 0;
  page->QueryTextShown("Video Capture To DVD", &shown);
  EXPECT_EQ(shown, 0);
}

TEST_F(VideoPageTest, CaptureNoticeCarriesTheRunningTime) {
  Video().m_bCapturing = 1;
  Video().m_nCaptureTarget = 0;
  const std::string notice = UIStringOrEmpty("CAPTURING_TO_HD");
  EXPECT_EQ(page->TextFor("Video Capture To HD"), notice) << "before the first tick";
  page->ShowCaptureToHD(1, 2, 5);
  EXPECT_EQ(page->TextFor("Video Capture To HD"), notice + " 01:02:05");
  EXPECT_EQ(page->TextFor("Video Capture To DVD"), "") << "not a disc capture";
  Video().m_nCaptureTarget = 1;
  page->ShowCaptureToDVD(0, 0, 7);
  EXPECT_EQ(page->TextFor("Video Capture To DVD"), UIStringOrEmpty("CAPTURING_TO_DVD") + " 00:00:07");
  Video().m_bCapturing = 0;
  EXPECT_EQ(page->TextFor("Video Capture To DVD"), "");
}

TEST_F(VideoPageTest, SortingChecksItsTagAndPlaybackShowsTheBarsOnMouseMoves) {
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  int menu = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Main Menu", menu));
  page->SetFocus(menu, 0);
  EXPECT_EQ(page->OnAction("Video Sort By Date"), 1);
  int name = -1, date = -1;
  ASSERT_TRUE(page->Layout()->FindListAction("Video Sort By Name Tag", name, menu));
  ASSERT_TRUE(page->Layout()->FindListAction("Video Sort By Date Tag", date, menu));
  const auto checked = [&](int action) {
    return page->ListState(menu)->listActionStates[static_cast<std::size_t>(action)].checked;
  };
  EXPECT_EQ(checked(date), 1);
  EXPECT_EQ(checked(name), 0);
  // A refused action checks nothing.
  frame.actionResult = 0;
  EXPECT_EQ(page->OnAction("Video Sort By Name"), 0);
  EXPECT_EQ(checked(name), 0);

  frame.actionResult = 1;
  Video().m_nView = VIDEO_VIEW_PLAYING;
  page->ShowStatePage();
  frame.calls.clear();
  page->OnMouseMove(10, 10);
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 1 0"), 1);
  EXPECT_EQ(frame.Count("SetPlaybackBarVisible 1 0"), 1);
  // Four seconds later the bars slide away, unless the pointer is on one.
  frame.cursorOverBars = true;
  page->OnTimer(kVideoCursorTimer);
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 0 1"), 0);
  frame.cursorOverBars = false;
  page->OnTimer(kVideoCursorTimer);
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 0 1"), 1);
  EXPECT_EQ(frame.Count("SetPlaybackBarVisible 0 1"), 1);
  EXPECT_EQ(frame.Count("HideCursor"), 1);
  page->OnResize();
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 0 0"), 1);
  EXPECT_TRUE(frame.Executed("Video Change Video Size"));
}

TEST_F(VideoPageTest, VendorOneWithTheEditorInstalledStartsAtTheApplicationChoice) {
  marivel_test::TempRegistry registry;
  plat::HKEY key = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, "Software\\Editor", 0, nullptr, 0, plat::KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
            0);
  const std::string folder = tree.Folder("editor");
  ASSERT_EQ(plat::RegSetValueExA(key, "Install", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(folder.c_str()),
                                 static_cast<plat::DWORD>(folder.size() + 1)),
            0);
  plat::RegCloseKey(key);
  frame.options.vendorId = 1;
  frame.options.editorKeyPath = "Software\\Editor";
  frame.options.editorValue = "Install";
  frame.options.editorExe = "edit.sh";
  RemoteKeyWindow remote;
  EXPECT_EQ(page->EnterModule(), 1);
  Pump();
  EXPECT_TRUE(g_remoteModes.empty()) << "with the editor there is nothing to tell yet";
  EXPECT_EQ(frame.Count("SetPlaybackBarPath FloatingBar\\PlaybackBar\\VideoPlaybackBar"), 1);
  EXPECT_EQ(page->CurrentPath(), "Video\\VideoApplication");
  EXPECT_EQ(Video().m_nView, 0);
  EXPECT_EQ(VideoEditorCommand(frame.options, folder + "/"), (std::vector<std::string>{folder + "/edit.sh"}));
  EXPECT_TRUE(VideoEditorCommand(frame.options, "").empty());
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Application", list));
  // Edit: the editor is started by its path alone (the options give it no
  // arguments), never through a shell, and the frame is minimized. The
  // stand-in editor writes down what it was given.
  const std::string log = tree.root() + "/editor-args.txt";
  std::ofstream(folder + "/edit.sh") << "#!/bin/sh\nprintf '%s|' \"$#\" \"$0\" \"$@\" > '" << log << "'\n";
  std::filesystem::permissions(folder + "/edit.sh", std::filesystem::perms::owner_all);
  page->OnListItemAction(list, 1);
  for (int i = 0; i < 500 && !std::filesystem::exists(log); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream in(log);
  std::string args((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(args, "0|" + folder + "/edit.sh|");
  EXPECT_EQ(frame.Count("MinimizeFrame"), 1);
  // Play: the device selector. The remote control hears edit (9), then play (10).
  page->OnListItemAction(list, 0);
  EXPECT_EQ(page->CurrentPath(), "Video\\SelectDevice");
  Pump();
  EXPECT_EQ(g_remoteModes, (std::vector<plat::LPARAM>{9, 10}));
}

TEST(VideoHighlightGrid, CellsAreThirdsInsetBySixtieths) {
  const plat::RECT image{640, 220, 1600, 940};  // 960 x 720: insets 16 and 12
  const struct {
    int column, row;
    plat::RECT cell;
  } cases[] = {{0, 0, {656, 232, 944, 448}}, {1, 0, {976, 232, 1264, 448}}, {2, 2, {1296, 712, 1584, 928}},
               {0, 1, {656, 472, 944, 688}}};
  for (const auto& c : cases) {
    const plat::RECT got = video_lists::HighlightGridCell(image, c.column, c.row);
    EXPECT_EQ(got.left, c.cell.left) << c.column << "," << c.row;
    EXPECT_EQ(got.top, c.cell.top) << c.column << "," << c.row;
    EXPECT_EQ(got.right, c.cell.right) << c.column << "," << c.row;
    EXPECT_EQ(got.bottom, c.cell.bottom) << c.column << "," << c.row;
  }
}

TEST_F(VideoPageTest, TheGridScrollsByARowAtItsEdgesAndWithTheWheel) {
  const std::string folder = tree.Folder("many");
  for (int i = 0; i < 20; ++i) tree.File("many/a" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".avi");
  Video().m_strOpenFolderPath = folder;
  Video().m_bOpenFolderPending = 1;
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  ASSERT_EQ(page->ItemCount(), 20);
  int grid = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Thumbnail Browser", grid));
  // The focus on the first cell of the last row (4 columns, 3 rows).
  page->SetFocus(grid, 8);
  page->HighlightListItem(8, grid);
  EXPECT_EQ(page->TextFor("Video File Name"), "a08.avi");
  page->OnKeyDown(plat::VK_DOWN, 0, 0);
  EXPECT_EQ(page->ListTop(), 4);
  EXPECT_EQ(page->FocusedEntry(), 8);
  EXPECT_EQ(page->TextFor("Video File Name"), "a12.avi");
  EXPECT_EQ(page->TextFor("Video Browser Item Count"), "13 / 20");
  // Down again: the last row holds entries 16 to 19.
  page->OnKeyDown(plat::VK_DOWN, 0, 0);
  EXPECT_EQ(page->ListTop(), 8);
  page->OnKeyDown(plat::VK_DOWN, 0, 0);
  EXPECT_EQ(page->ListTop(), 8);
  // Up in the first row scrolls back.
  page->SetFocus(grid, 1);
  page->HighlightListItem(1, grid);
  page->OnKeyDown(plat::VK_UP, 0, 0);
  EXPECT_EQ(page->ListTop(), 4);
  EXPECT_EQ(page->TextFor("Video File Name"), "a05.avi");
  // The wheel over the grid: a row per notch, down for a negative delta.
  plat::RECT area{};
  ASSERT_TRUE(page->GetListItemScreenRect(0, grid, &area));
  EXPECT_EQ(page->OnMouseWheel(0, -120, area.left + 5, area.top + 5), 1);
  EXPECT_EQ(page->ListTop(), 8);
  EXPECT_EQ(page->OnMouseWheel(0, -120, area.left + 5, area.top + 5), 0);  // at the end
  EXPECT_EQ(page->OnMouseWheel(0, 120, area.left + 5, area.top + 5), 1);
  EXPECT_EQ(page->ListTop(), 4);
  // Elsewhere the wheel does nothing.
  EXPECT_EQ(page->OnMouseWheel(0, 120, 2, 2), 0);
  EXPECT_EQ(page->ListTop(), 4);
}

TEST_F(VideoPageTest, ListEntriesFollowTheBrowserTheSectionAndTheScreen) {
  const std::string folder = tree.Folder("lots");
  tree.Folder("lots/inner");
  for (int i = 0; i < 20; ++i) tree.File("lots/c" + std::to_string(100 + i) + ".avi");
  Video().m_strOpenFolderPath = folder;
  Video().m_bOpenFolderPending = 1;
  Video().m_nView = VIDEO_VIEW_FOLDER;
  Video().m_nSortMode = VIDEO_SORT_BY_DATE;
  page->ShowStatePage();
  const auto state = [&](const char* listName, const char* action) {
    int list = -1, j = -1;
    EXPECT_TRUE(page->Layout()->FindList(listName, list)) << listName;
    EXPECT_TRUE(page->Layout()->FindListAction(action, j, list)) << action;
    int shown = 1, enabled = 1, checked = 0;
    page->QueryListActionState(list, j, &shown, &enabled, &checked);
    return std::to_string(shown) + std::to_string(enabled) + std::to_string(checked);
  };
  // At the top of 21 entries (a folder and 20 files): no page up, a page
  // down; at the browser's root no "UpLevel".
  EXPECT_EQ(state("Video Thumbnail Browser", "pageup"), "100");
  EXPECT_EQ(state("Video Thumbnail Browser", "pagedown"), "110");
  EXPECT_EQ(state("Video Thumbnail Browser", "UpLevel"), "000");
  // The tag of the Video section's sort kind is the one shown.
  EXPECT_EQ(state("Video Main Menu", "Video Sort By Date Tag").front(), '1');
  EXPECT_EQ(state("Video Main Menu", "Video Sort By Name Tag").front(), '0');
  // A label goes with its entry: the burn entry is hidden here, so is its
  // label; the capture entry and its label are shown.
  int menu = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Main Menu", menu));
  const auto labelShown = [&](const char* key) {
    const auto& texts = page->Layout()->Lists()[static_cast<std::size_t>(menu)].texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (texts[i].name != key) continue;
      int shown = 1;
      page->QueryListTextShown(menu, static_cast<int>(i), &shown);
      return shown;
    }
    ADD_FAILURE() << key;
    return -1;
  };
  EXPECT_EQ(state("Video Main Menu", "Video Burn Video").front(), '1');
  EXPECT_EQ(labelShown("VIDEO_BURN"), 1);
  EXPECT_EQ(labelShown("VIDEO_CAPTURE"), 1);
  // Inside the subfolder the way up is offered.
  page->Browser().EnterFolder(0);
  EXPECT_EQ(state("Video Thumbnail Browser", "UpLevel"), "110");

  // The screen-mode previews of the general settings: only those of the
  // screen's shape, the one of its current mode.
  Video().m_nView = VIDEO_VIEW_GENERAL_SETTING;
  page->ShowStatePage();
  int adjust = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Setting Adjusting", adjust));
  const auto shownImage = [&](const char* name) {
    const auto& images = page->Layout()->Lists()[static_cast<std::size_t>(adjust)].images;
    for (std::size_t i = 0; i < images.size(); ++i) {
      if (images[i].name != name) continue;
      int shown = 1;
      page->QueryListImageShown(adjust, static_cast<int>(i), &shown);
      return shown;
    }
    ADD_FAILURE() << name;
    return -1;
  };
  const struct {
    int display, mode43, mode169;
    int panScan, letterBox, original, stretch;
  } cases[] = {{1, 2, 1, 1, 0, 0, 0}, {1, 1, 2, 0, 1, 0, 0}, {2, 1, 1, 0, 0, 1, 0}, {2, 2, 2, 0, 0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.display) + " " + std::to_string(c.mode43) + " " + std::to_string(c.mode169));
    frame.config->m_nDisplayMode = c.display;
    frame.config->m_nScreenRatio = 3 - c.display;  // the window's shape plays no part
    Video().m_nScreenMode4x3 = c.mode43;
    Video().m_nScreenMode16x9 = c.mode169;
    EXPECT_EQ(shownImage("Video 4X3 Srceen 16X9 Movie PanScan"), c.panScan);
    EXPECT_EQ(shownImage("Video 4X3 Srceen 16X9 Movie LetterBox"), c.letterBox);
    EXPECT_EQ(shownImage("Video 16X9 Srceen 4X3 Movie Original"), c.original);
    EXPECT_EQ(shownImage("Video 16X9 Srceen 4X3 Movie Stretch"), c.stretch);
  }
}

TEST_F(VideoPageTest, VendorTwoAcquireStartsTheAuthoringProgramAndQuits) {
  const std::string log = tree.root() + "/authoring-ran.txt";
  const std::string program = tree.root() + "/author.sh";
  std::ofstream(program) << "#!/bin/sh\nprintf '%s' \"$#\" > '" << log << "'\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  frame.options.videoProgramPath = program;
  // Other vendors send the action on like any other.
  EXPECT_EQ(page->OnAction("Video Acquire Tamsel"), 1);
  EXPECT_TRUE(frame.Executed("Video Acquire Tamsel"));
  EXPECT_EQ(frame.Count("QuitApplication"), 0);
  frame.executed.clear();
  frame.options.vendorId = 2;
  EXPECT_EQ(page->OnAction("Video Acquire Tamsel"), 1);
  EXPECT_EQ(frame.Count("QuitApplication"), 1);
  EXPECT_FALSE(frame.Executed("Video Acquire Tamsel"));
  for (int i = 0; i < 500 && !std::filesystem::exists(log); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream in(log);
  std::string args((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(args, "0");
}

TEST_F(VideoPageTest, ThePointedCellsTextsAndTheLargePreviewOfAFile) {
  const std::string folder = tree.Folder("two");
  tree.File("two/a.avi");
  tree.File("two/b.avi");
  Video().m_strOpenFolderPath = folder;
  Video().m_bOpenFolderPending = 1;
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  Pump();
  int grid = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Thumbnail Browser", grid));
  // The pointer over the second cell: its texts, no tooltip.
  plat::RECT cell{};
  ASSERT_TRUE(page->GetListItemScreenRect(1, grid, &cell));
  page->OnMouseMove(cell.left + 10, cell.top + 10);
  EXPECT_EQ(page->TextFor("Video File Name"), "b.avi");
  EXPECT_EQ(page->TextFor("Video Browser Item Count"), "2 / 2");
  EXPECT_EQ(page->ShowTooltipAt(plat::POINT{cell.left + 10, cell.top + 10}), 0);

  // The large preview of the second file, in the page of the chosen videos
  // (which has the preview image) with the same files chosen.
  Video().m_selectedFiles = Video().m_folderFiles;
  Video().m_nView = VIDEO_VIEW_EDIT;
  page->ShowStatePage();
  Pump();
  const plat::HBITMAP red = plat::CreateBitmap(200, 150, 1, 32, nullptr);
  {
    const plat::SurfacePtr s = plat::GetBitmapSurface(red);
    ASSERT_TRUE(s);
    for (int y = 0; y < s->height(); ++y)
      for (int x = 0; x < s->width(); ++x) s->set_pixel(x, y, 0xFFFF0000u);
  }
  Video().m_videoThumbnails.assign(2, nullptr);
  Video().m_videoThumbnails[1] = red;
  EXPECT_EQ(page->DrawHighlightPreview(grid, 1), 1);
  plat::RECT image{};
  ASSERT_TRUE(page->GetStillImageScreenRectByName("Video Highlight Item Image", &image));
  const plat::SurfacePtr screen = plat::GetWindowSurface(frame.window);
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->pixel((image.left + image.right) / 2, (image.top + image.bottom) / 2) & 0xFFFFFFu, 0xFF0000u);
  // Without the still image (the folder page) nothing is drawn.
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  EXPECT_EQ(page->DrawHighlightPreview(grid, 1), 0);
}

TEST(VideoPictureFit, KeepsTheShapeCentresAndCorrectsThePixelAspect) {
  const plat::RECT cell{100, 50, 356, 208};  // 256 x 158
  const struct {
    int w, h;
    float aspect;
    plat::RECT fitted;
  } cases[] = {
      {200, 150, 1.0f, {123, 50, 333, 208}},           // 4:3 by height: 210 x 158
      {320, 90, 1.0f, {100, 93, 356, 165}},            // wide by width: 256 x 72
      {200, 150, 4.0f / 3.0f, {100, 57, 356, 201}},    // 266 wide pixels: by width
      {200, 150, 0.75f, {149, 50, 307, 208}},          // 150 x 150: square, 158 x 158
      {200, 150, 1e30f, {123, 50, 333, 208}},          // a damaged factor counts as 1
      {0, 150, 1.0f, {100, 50, 100, 50}},              // nothing to draw
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " + std::to_string(c.aspect));
    const plat::RECT got = FitPicture(c.w, c.h, cell, c.aspect);
    EXPECT_EQ(got.left, c.fitted.left);
    EXPECT_EQ(got.top, c.fitted.top);
    EXPECT_EQ(got.right, c.fitted.right);
    EXPECT_EQ(got.bottom, c.fitted.bottom);
  }
}

TEST_F(VideoPageTest, GoingUpFocusesTheFolderLeftAndVendorTwoHasItsUpLevelPicture) {
  const std::string folder = tree.Folder("up");
  tree.Folder("up/a");
  tree.Folder("up/b");
  tree.File("up/b/clip.avi");
  Video().m_strOpenFolderPath = folder;
  Video().m_bOpenFolderPending = 1;
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  int grid = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Thumbnail Browser", grid));
  page->SetFocus(grid, 1);
  page->HighlightListItem(1, grid);
  ASSERT_EQ(page->Browser().EnterFolder(1), 1);  // "b"
  EXPECT_EQ(page->FocusedEntry(), 0);
  ASSERT_EQ(page->Browser().GoUp(), 1);
  EXPECT_EQ(page->FocusedList(), grid);
  EXPECT_EQ(page->FocusedEntry(), 1);  // "b" again
  std::string picture;
  EXPECT_EQ(page->GetUpLevelIcon(0, picture), 0);
  EXPECT_TRUE(picture.empty());
  frame.options.vendorId = 2;
  EXPECT_EQ(page->GetUpLevelIcon(0, picture), 1);
  EXPECT_EQ(picture, "Layout\\Img\\Common\\sub-film-up.bmp");
}

TEST_F(VideoPageTest, TheDiscTextNamesADvdVideoTheDiscOrNone) {
  Video().m_nView = 11;  // the disc page
  page->ShowStatePage();
  // D: is an optical drive with a disc labelled "FILMS".
  plat::VolumeInfo optical = Volume('D', tree.Folder("disc"), "FILMS");
  optical.type = plat::DRIVE_CDROM;
  drives->volumes = {optical};
  const struct {
    plat::HRESULT answer;
    int kind;
    std::string text;
  } cases[] = {{0, 6, UIStringOrEmpty("VIDEO_DVD_VIDEO") + ": FILMS (D:)"},
               {0, 8, "FILMS (D:)"},
               {plat::E_FAIL, 6, UIStringOrEmpty("NODISCS")}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    frame.driveResult = c.answer;
    frame.driveKind = c.kind;
    EXPECT_EQ(page->ListTextFor("Video CD/DVD Information"), c.text);
  }
  // Not an optical drive: no disc.
  drives->volumes[0].type = plat::DRIVE_FIXED;
  frame.driveResult = 0;
  EXPECT_EQ(page->ListTextFor("Video CD/DVD Information"), UIStringOrEmpty("NODISCS"));
}

namespace {
// The pixels one drawing leaves on a fresh 200 x 150 picture.
std::vector<std::uint32_t> VideoIconPixels(const std::function<void(plat::HDC, const plat::RECT&)>& draw) {
  const plat::RECT rect{0, 0, 200, 150};
  plat::HBITMAP bitmap = plat::CreateCompatibleBitmap(nullptr, rect.right, rect.bottom);
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HGDIOBJ old = plat::SelectObject(dc, bitmap);
  draw(dc, rect);
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < rect.bottom; ++y)
    for (int x = 0; x < rect.right; ++x) pixels.push_back(plat::GetPixel(dc, x, y));
  plat::SelectObject(dc, old);
  plat::DeleteDC(dc);
  plat::DeleteObject(bitmap);
  return pixels;
}
}  // namespace

TEST_F(VideoPageTest, ChoosingTheCapturedFolderOpensVendorTwosAuthoringFolder) {
  const std::string own = tree.Folder("captured");
  const std::string authoring = tree.Folder("authoring captures");
  tree.Folder("authoring captures/day one");
  Video().m_strCapturedFolder = own;
  Video().m_strAuthoringCapturedFolder = authoring;
  Video().m_nFolderKind = 2;
  for (int vendor : {0, 2}) {
    SCOPED_TRACE(vendor);
    frame.options.vendorId = vendor;
    Video().m_nView = VIDEO_VIEW_SELECT_FOLDER;
    page->ShowStatePage();
    EXPECT_EQ(Video().m_strSelectedFolder, vendor == 2 ? authoring : own);
  }
}

TEST_F(VideoPageTest, AVideoWithoutItsPictureShowsItsFileTypeAndAnEmptyFolderVendorTwosFilm) {
  const std::string folder = tree.Folder("clips");
  tree.Folder("clips/empty");
  // Not a video the extractor can read: its picture never comes.
  tree.File("clips/broken.avi");
  page->SetThumbnailCache(CVideoThumbnailCache("/proc/no-cache-here"));
  Video().m_strOpenFolderPath = folder;
  Video().m_bOpenFolderPending = 1;
  Video().m_nView = VIDEO_VIEW_FOLDER;
  page->ShowStatePage();
  ASSERT_EQ(Video().m_folderFiles.size(), 1u);
  const auto shellIcon = VideoIconPixels([&](plat::HDC dc, const plat::RECT& r) {
    DrawShellIcon(folder + "/broken.avi", dc, r.left, r.top, r.right, r.bottom, 0);
  });
  const auto drawn = VideoIconPixels([&](plat::HDC dc, const plat::RECT& r) { page->DrawFileIcon(0, 0, r, dc, 0); });
  EXPECT_EQ(drawn, shellIcon);

  // The empty folder: the browser's own folder icon, but vendor 2's film.
  ASSERT_EQ(page->Previews().size(), 1u);
  int answered = -1;
  VideoIconPixels([&](plat::HDC dc, const plat::RECT& r) { answered = page->DrawFolderIcon(0, 0, r, dc, 0); });
  EXPECT_EQ(answered, 0);
  frame.options.vendorId = 2;
  const auto film = VideoIconPixels([&](plat::HDC dc, const plat::RECT& r) {
    DrawBitmapFile(ResolveSkinPath(file_list::ApplicationFile("Layout\\Img\\Common\\sub-film-nofiles1.bmp")), dc, r);
  });
  const auto folderDrawn =
      VideoIconPixels([&](plat::HDC dc, const plat::RECT& r) { answered = page->DrawFolderIcon(0, 0, r, dc, 0); });
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(folderDrawn, film);
}
