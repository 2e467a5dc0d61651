// The Video page on the headless display with the default skin and a
// recording frame: the state pages, the hand-off record of state 17, the
// device list and the folder preview cells.
#include "lounge/pages/video/video_page.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "corebridge/core/config.h"
#include "corebridge/core/video_config.h"
#include "interfaces/chosen_files.h"
#include "lounge/pages/video/video_lists.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/bitmap.h"
#include "platform/display/display.h"
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
  }
  CVideoConfig& Video() { return *config_->m_pVideo; }

  FileTree tree;
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
  // Vendor 1 without the editor installed: the device selector as well.
  frame.options.vendorId = 1;
  frame.options.editorKeyPath = "Software\\NoSuchEditor";
  frame.options.editorValue = "Install";
  EXPECT_EQ(page->EnterModule(), 1);
  EXPECT_EQ(page->CurrentPath(), "Video\\SelectDevice");
}

TEST_F(VideoPageTest, DeviceListLeavesOutOpticalDrivesWithoutDataDiscs) {
  Video().m_strCapturedFolder = tree.Folder("captured");
  CConfig& config = *frame.config;
  config.m_vecOpticalDrives = {{"/media/dvd", "Film", 6}, {"/media/data", "Data", 8}, {"/media/cd", "Audio", 1}};
  page->ResetDeviceList();
  ASSERT_EQ(page->Devices().size(), 2u);
  EXPECT_EQ(page->Devices()[0].folder, Video().m_strCapturedFolder);
  EXPECT_EQ(page->Devices()[0].icon, "Layout\\Img\\Common\\sub-files.bmp");
  EXPECT_EQ(page->Devices()[1].folder, "/media/data");
  EXPECT_EQ(page->Devices()[1].icon, "Layout\\Img\\Common\\sub-cdromdata.BMP");
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
  Video().m_bThumbnailsInvalid = 0;
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
  frame.config->m_nScreenRatio = 1;
  Video().m_nScreenMode4x3 = 2;
  EXPECT_EQ(page->ListTextFor("Video ScreenMode Option"), UIStringOrEmpty("PANSCAN"));
  frame.config->m_nScreenRatio = 2;
  Video().m_nScreenMode16x9 = 1;
  EXPECT_EQ(page->ListTextFor("Video ScreenMode Option"), UIStringOrEmpty("ORIGINAL"));
  EXPECT_EQ(page->ListTextFor("Video Screen Mode"), UIStringOrEmpty("DISPLAY_TYPE_4X3"));
  Video().m_nCaptureTarget = 5;
  EXPECT_EQ(page->ListTextFor("Video Capturing Disc Type Option"), "");
  Video().m_nCaptureTarget = 0;
  EXPECT_EQ(page->ListTextFor("Video Capturing Disc Type Option"), UIStringOrEmpty("HARDDISK"));
  EXPECT_FALSE(UIStringOrEmpty("HARDDISK").empty());
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
  EXPECT_EQ(page->EnterModule(), 1);
  EXPECT_EQ(page->CurrentPath(), "Video\\VideoApplication");
  EXPECT_EQ(Video().m_nView, 0);
  EXPECT_EQ(VideoEditorCommand(frame.options, folder + "/"), (std::vector<std::string>{folder + "/edit.sh"}));
  EXPECT_TRUE(VideoEditorCommand(frame.options, "").empty());
  // Play: the device selector.
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList("Video Application", list));
  page->OnListItemAction(list, 0);
  EXPECT_EQ(page->CurrentPath(), "Video\\SelectDevice");
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
