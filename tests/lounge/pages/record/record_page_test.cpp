// The record page on the headless display with the default skin: its action
// table, sub-pages, texts, and the copy worker's lifetime seen from the page
// (a copy that ends navigates back to the device choice; leaving the page
// cancels the copy and no late end message navigates).
#include "lounge/pages/record/record_page.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "corebridge/core/config.h"
#include "corebridge/core/record_config.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/com/hresult.h"
#include "platform/display/display.h"
#include "platform/gdi/gdi.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/lounge/pages/record/record_test_support.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

using namespace record_test;
using namespace std::chrono_literals;

// The page the test frame routes its paint and timer messages to, and the
// copy-done timers that reached it.
CRecordPage* g_page = nullptr;
int g_doneTimers = 0;

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
      if (w == RECORD_COPY_DONE_TIMER) ++g_doneTimers;
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

class RecordPageTest : public ::testing::Test {
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
    wc.lpszClassName = "RecordPageTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "RecordPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());

    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_RECORD;
    frame.window = window_;
    frame.config = config_.get();
    page = std::make_unique<CRecordPage>(frame);
    page->AttachWindow(window_);
    page->Create();
    g_page = page.get();
    g_doneTimers = 0;
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

  CRecordConfig& Hub() { return *config_->m_pRecord; }
  // Pumps until `done` or the time is up.
  template <typename Done>
  bool PumpUntil(Done done, std::chrono::milliseconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      Pump();
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }
  // Starts the copy of `files` into `target` as the hub does.
  void StartCopy(std::vector<std::string> files, const std::string& target, const std::string& filter = "") {
    Hub().m_arrFiles = std::move(files);
    Hub().m_strTargetPath = target;
    Hub().m_strFilter = filter;
    Hub().m_nChosenKind = RECORD_MEDIA_PHOTO;
    Hub().m_nState = RECORD_SUBPAGE_RECORDING;
    ASSERT_EQ(page->ShowSubPage(), 1);
    ASSERT_EQ(page->CurrentPath(), "Record\\Recording");
  }

  marivel_test::TempRegistry registry_;
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;

 public:
  pages::FakeShellFrame frame;
  std::unique_ptr<CRecordPage> page;
};

TEST_F(RecordPageTest, ShowRecordPageActivatesThePageAndPutsTheTitleBelowTheProgramFolder) {
  Hub().m_strTitleImage = "Layout\\Img\\Common\\Title_Record.BMP";
  EXPECT_EQ(page->ShowRecordPage(), 1);
  EXPECT_EQ(frame.ActivePage(), page.get());
  EXPECT_EQ(page->CurrentPath(), "Record\\RecordMain");
  EXPECT_EQ(page->IsLoaded(), 1);
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 1 0"), 1);
  const std::string title = std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/Img/Common/Title_Record.BMP";
  EXPECT_EQ(Hub().m_strTitleImage, title);
  page->ShowRecordPage();  // shown again: not prefixed twice
  EXPECT_EQ(Hub().m_strTitleImage, title);

  // The hub's title image is what "Title Image" draws; one that does not
  // load draws nothing.
  int image = -1;
  ASSERT_TRUE(page->Layout()->FindStillImage("Title Image", image));
  BitmapPtr bitmap(plat::CreateCompatibleBitmap(nullptr, 64, 64));
  MemoryDC dc;
  ASSERT_TRUE(dc.SelectBitmap(bitmap.get()));
  EXPECT_NE(page->DrawStillImage(image, dc.get(), plat::RECT{0, 0, 64, 64}), 0);
  Hub().m_strTitleImage = "/nonexistent/title.bmp";
  EXPECT_EQ(page->DrawStillImage(image, dc.get(), plat::RECT{0, 0, 64, 64}), 0);

  // The event table's redraw also redraws the caption bar.
  IRecordPageEvents& events = *page;
  events.Redraw(1);
  EXPECT_EQ(frame.Count("NotifyCaptionBar 1"), 1);
}

TEST_F(RecordPageTest, TheMediaChoiceSetsTheKindAndShowsTheDevices) {
  const struct {
    const char* action;
    int kind;
  } cases[] = {{"Record Video", 6}, {"Record Audio", 2}, {"Record Photo", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.action);
    Hub().m_nChosenKind = 0;
    Hub().m_nState = 0;
    page->ShowRecordPage();
    EXPECT_EQ(page->OnAction(c.action), 1);
    EXPECT_EQ(Hub().m_nChosenKind, c.kind);
    EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
    EXPECT_EQ(page->CurrentPath(), "Record\\RecordDevice");
  }
  EXPECT_TRUE(frame.executed.empty());

  EXPECT_EQ(page->OnAction("Record Return To Main"), 1);
  EXPECT_EQ(Hub().m_nChosenKind, 0);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_MAIN);
  EXPECT_EQ(page->CurrentPath(), "Record\\RecordMain");

  EXPECT_EQ(page->OnAction("Record Return To Device Selection"), 1);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
  EXPECT_EQ(page->CurrentPath(), "Record\\RecordDevice");
  EXPECT_TRUE(frame.executed.empty());
}

TEST_F(RecordPageTest, DeviceActionsHandTheSystemCoreTheAddressOfTheDeviceRoot) {
  const struct {
    const char* action;
    int slot;
  } devices[] = {{"Record CDDVD", 1},       {"Record USB", 2},          {"Record SmartMedia", 3},
                 {"Record MemoryStick", 4}, {"Record CompactFlash", 5}, {"Record SecureDigital", 6}};
  const struct {
    int mode;
    const char* action;
  } modes[] = {{MODULE_RECORD, "Record Enter Other Module"}, {MODULE_BURNING, "Burning Enter Other Module"}, {0, ""}};
  frame.actionResult = 7;
  for (const auto& m : modes) {
    config_->m_nActiveModule = m.mode;
    for (const auto& d : devices) {
      SCOPED_TRACE(std::string(d.action) + " in mode " + std::to_string(m.mode));
      frame.executed.clear();
      EXPECT_EQ(page->OnAction(d.action), 7);
      ASSERT_EQ(frame.executed.size(), 1u);
      EXPECT_EQ(frame.executed[0].name, m.action);
      const char* root = reinterpret_cast<const char*>(frame.executed[0].a);
      EXPECT_EQ(root, config_->m_szDriveRoots[static_cast<std::size_t>(d.slot)].c_str());
      EXPECT_EQ(frame.executed[0].b, 0);
    }
  }
}

TEST_F(RecordPageTest, CloseQuitsAndOtherActionsGoToTheSystemCore) {
  EXPECT_EQ(page->OnAction("Close"), 1);
  EXPECT_EQ(frame.Count("QuitApplication"), 1);
  EXPECT_TRUE(frame.executed.empty());

  frame.actionResult = 5;
  EXPECT_EQ(page->OnAction("Home"), 5);
  ASSERT_EQ(frame.executed.size(), 1u);
  EXPECT_EQ(frame.executed[0].name, "Home");
  EXPECT_EQ(frame.executed[0].a, 0);
  EXPECT_EQ(frame.executed[0].b, 0);
}

TEST_F(RecordPageTest, TextsFollowTheHub) {
  const struct {
    int kind;
    const char* text;
  } kinds[] = {{1, "Photos"}, {2, "Music"}, {6, "Videos"}, {0, ""}, {3, ""}};
  for (const auto& k : kinds) {
    Hub().m_nChosenKind = k.kind;
    EXPECT_EQ(page->TextFor("Module Text"), k.text) << k.kind;
  }

  Hub().m_arrChoices = {"Copy videos", "Copy music", "Copy photos"};
  EXPECT_EQ(page->ListTextFor("LIST_ITEM1"), "Copy videos");
  EXPECT_EQ(page->ListTextFor("LIST_ITEM3"), "Copy photos");
  EXPECT_EQ(page->ListTextFor("LIST_ITEM4"), "");  // the base draws it
  EXPECT_EQ(page->ListTextFor("LIST_ITEM"), "");
  EXPECT_EQ(page->ListTextFor("LIST_ITEM99999999999"), "");

  const struct {
    int mode;
    const char* wait;
    const char* stop;
  } modes[] = {{MODULE_RECORD, "Copying to the hard disk, please wait...", "Stop copying"},
               {MODULE_BURNING, "Burning the disc, please wait...", "Stop burning"},
               {0, "", ""}};
  for (const auto& m : modes) {
    config_->m_nActiveModule = m.mode;
    EXPECT_EQ(page->ListTextFor("Record Wait Message"), m.wait) << m.mode;
    EXPECT_EQ(page->ListTextFor("Record Stop Button"), m.stop) << m.mode;
  }

  // Without a copy the progress shows nothing done.
  EXPECT_EQ(page->TextFor("Record File Percentage"), "0.0%");
  EXPECT_EQ(page->TextFor("Record Total Percentage"), "0.0%");
  EXPECT_EQ(page->TextFor("Total File Size"), "0K/0K");
  EXPECT_EQ(page->TextFor("Current Record File Name"), "");
}

TEST_F(RecordPageTest, DeviceTitlesNameTheVolumeOrSayThereIsNone) {
  TempTree tree;
  VolumeTable table({Volume('D', plat::DRIVE_CDROM, tree.Folder("cd"), "HOLIDAY"),
                     Volume('J', plat::DRIVE_REMOVABLE, tree.Folder("j"), ""),
                     Volume('K', plat::DRIVE_REMOVABLE, tree.Folder("k"), "CAMERA")});
  auto& roots = config_->m_szDriveRoots;
  roots = {"C:\\", "D:\\", "K:\\", "J:\\", "H:\\", "", tree.Path("k")};

  frame.driveResult = plat::S_OK;
  EXPECT_EQ(page->ListTextFor("Record CDDVD Title Text"), "HOLIDAY (D:)");
  EXPECT_EQ(frame.Count("GetDriveInfo 3"), 1);  // drive D
  EXPECT_EQ(page->ListTextFor("Record USB Device Title Text"), "CAMERA (K:)");
  EXPECT_EQ(page->ListTextFor("Record Smart Media Title Text"), "J:");
  EXPECT_EQ(page->ListTextFor("Record Memory Stick Title Text"), "No media");  // no drive H
  EXPECT_EQ(page->ListTextFor("Record Compact Flash Title Text"), "No media");  // no path
  EXPECT_EQ(page->ListTextFor("Record Secure Digital Title Text"), "CAMERA (K:)");  // by mount point

  // The optical drive needs the system core's answer, and must be optical.
  frame.driveResult = plat::E_FAIL;
  EXPECT_EQ(page->ListTextFor("Record CDDVD Title Text"), "No disc");
  frame.driveResult = plat::S_OK;
  roots[1] = "K:\\";
  EXPECT_EQ(page->ListTextFor("Record CDDVD Title Text"), "No disc");
}

TEST_F(RecordPageTest, AFinishedCopyShowsItsSizesThenReturnsToTheDeviceChoice) {
  TempTree tree;
  const std::string a = tree.File("card/Photos/a.jpg", 3000);
  const std::string b = tree.File("card/Photos/b.jpg", 5000);
  tree.File("card/Photos/c.txt", 9000);
  page->ShowRecordPage();
  StartCopy({a, b, tree.Path("card/Photos/c.txt")}, tree.Path("dest"), "|.jpg|");
  ASSERT_TRUE(page->IsCopying());

  // Read the finished state before the end message is handled.
  const auto end = std::chrono::steady_clock::now() + 60s;
  while (!page->Worker()->HasFinished() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(page->Worker()->HasFinished());
  EXPECT_EQ(page->TextFor("Total File Size"), "6K/6K");
  EXPECT_EQ(page->TextFor("Record Total Percentage"), "100.0%");
  EXPECT_EQ(page->TextFor("Record File Percentage"), "0.0%");
  EXPECT_EQ(page->TextFor("Current Record File Name"), b);
  // The painter sets the bars from the counters.
  page->OnPaint();
  int bar = -1;
  ASSERT_TRUE(page->Layout()->FindProgress("Copy Total Progress", bar));
  EXPECT_FLOAT_EQ(page->ProgressValue(bar), 1.0f);

  ASSERT_TRUE(PumpUntil([&] { return page->CurrentPath() == "Record\\RecordDevice"; }));
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
  EXPECT_FALSE(page->IsCopying());
  EXPECT_EQ(g_doneTimers, 1);
  EXPECT_EQ(ListTree(tree.Path("dest")), (std::vector<std::string>{"Photos/a.jpg", "Photos/b.jpg"}));
  EXPECT_TRUE(frame.executed.empty());
}

TEST_F(RecordPageTest, LeavingDuringACopyCancelsItAndItsEndNeverNavigates) {
  TempTree tree;
  const off_t size = 64 << 20;
  const std::string big = tree.SparseFile("card/Videos/big.mpg", size);
  page->ShowRecordPage();
  StartCopy({big}, tree.Path("dest"));
  ASSERT_TRUE(page->IsCopying());

  page->Deactivate();  // the frame activates another page
  EXPECT_FALSE(page->IsCopying());
  // Never a partial file: cancelled and removed, or (on a very fast machine)
  // already complete.
  const std::string copy = tree.Path("dest/Videos/big.mpg");
  EXPECT_TRUE(!fs::exists(copy) || fs::file_size(copy) == static_cast<std::uintmax_t>(size));

  ASSERT_TRUE(PumpUntil([] { return g_doneTimers == 1; }));
  Pump();
  EXPECT_EQ(page->CurrentPath(), "Record\\Recording");
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_RECORDING);
  EXPECT_TRUE(frame.executed.empty());
}

TEST_F(RecordPageTest, TheEndOfAStoppedCopyDoesNotStopTheNextOne) {
  TempTree tree;
  const std::string big = tree.SparseFile("card/Videos/big.mpg", 64 << 20);
  page->ShowRecordPage();
  StartCopy({big}, tree.Path("dest"));
  // Stopped from the page: its end message is on its way...
  EXPECT_EQ(page->OnAction("Record Return To Device Selection"), 1);
  EXPECT_EQ(page->CurrentPath(), "Record\\RecordDevice");
  // ...while the next copy starts.
  StartCopy({big}, tree.Path("dest"));

  // Handle messages up to the old end message.
  plat::MSG m;
  for (int i = 0; i < 1000 && g_doneTimers == 0 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i)
    plat::DispatchMessage(&m);
  ASSERT_EQ(g_doneTimers, 1);
  if (page->Worker() && page->Worker()->HasFinished()) GTEST_SKIP() << "the second copy ended at once";
  EXPECT_TRUE(page->IsCopying());
  EXPECT_EQ(page->CurrentPath(), "Record\\Recording");
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_RECORDING);
  page->Deactivate();
}

}  // namespace
