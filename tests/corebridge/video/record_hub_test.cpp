// The record hub with the real Record page on the headless display: entering
// the hub, opening the Video module on a virtual removable drive, the way
// back through "Record Go Back Door", the files a module hands back copied
// by the page, and Back through the hub's modes to Home.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/registry/registry.h"
#include "lounge/pages/record/record_page.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "tests/corebridge/video/video_test_support.h"
#include "tests/lounge/shell/fake_shell_frame.h"

namespace video_test {
namespace {

CRecordPage* g_page = nullptr;

LRESULT FrameProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      if (g_page) return g_page->OnPaint();
      {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
      }
      return 0;
    case WM_TIMER:
      if (g_page) g_page->OnTimer(w);
      return 0;
    default: return DefWindowProc(h, msg, w, l);
  }
}

// The hub with the real Record page over the system's configuration, and a
// virtual removable drive K: holding two clips.
class RecordHubTest : public VideoTest {
 protected:
  void SetUp() override {
    display::DisplayOptions options;
    options.backend = "headless";
    options.size = SIZE{1280, 720};
    std::string error;
    displayStarted_ = display::StartDisplay(options, &error);
    ASSERT_TRUE(displayStarted_) << error;
    VideoTest::SetUp();

    stick_ = env_.path("stick");
    fs::create_directories(stick_);
    for (const char* clip : {"alpha.mpg", "bravo.avi"}) fs::copy_file(Clip(clip), fs::path(stick_) / clip);
    HKEY key = nullptr;
    const std::string path = std::string(CConfig::kRegistryKey) + "\\VirtualDrives\\K";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"Path", stick_}, {"Type", "removable"}}) {
      ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)),
                ERROR_SUCCESS);
    }
    RegCloseKey(key);
    SetVolumeSource(std::make_shared<SystemVolumeSource>());

    WNDCLASS wc{};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "RecordHubTestFrame";
    RegisterClass(&wc);
    window_ = CreateWindowEx(0, "RecordHubTestFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 720, nullptr, nullptr,
                             nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    shell_.window = window_;
    shell_.config = &Config();
    recordPage_ = std::make_unique<CRecordPage>(shell_);
    recordPage_->AttachWindow(window_);
    recordPage_->Create();
    g_page = recordPage_.get();
    system_->SetRecordPageCallback(recordPage_.get());
  }
  void TearDown() override {
    if (system_) system_->SetRecordPageCallback(nullptr);
    g_page = nullptr;
    recordPage_.reset();
    if (strings_) UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    VideoTest::TearDown();
    if (displayStarted_) display::StopDisplay();
  }

  HRESULT EnterOn(const char* root) { return Act("Record Enter Other Module", reinterpret_cast<std::intptr_t>(root)); }

  bool displayStarted_ = false;
  std::string stick_;
  HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  pages::FakeShellFrame shell_;
  std::unique_ptr<CRecordPage> recordPage_;
};

TEST_F(RecordHubTest, VideoOnAVolumeComesBackToTheHubsVolumeList) {
  ASSERT_EQ(Act("Record Entry"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RECORD);
  EXPECT_EQ(recordPage_->CurrentPath(), "Record\\RecordMain");
  EXPECT_EQ(Hub().m_arrChoices.size(), 3u);
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));

  Hub().m_nChosenKind = RECORD_MEDIA_VIDEO;
  Hub().m_nState = RECORD_SUBPAGE_DEVICE;
  page_.calls.clear();
  ASSERT_EQ(EnterOn("K:\\"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_VIDEO);
  EXPECT_EQ(Video().m_nView, 10);
  EXPECT_EQ(Video().m_nPreviousView, 10);
  EXPECT_EQ(Video().m_strPendingAction, "Record Go Back Door");
  EXPECT_EQ(Video().m_strOpenFolderPath, stick_);
  EXPECT_EQ(Video().m_bOpenFolderPending, 1);
  EXPECT_EQ(page_.calls.front(), "EnterModule");
  EXPECT_EQ(page_.calls.back(), "ShowStatePage 10");

  // Back from the volume's browse page: the hub's volume list.
  ASSERT_EQ(Act("Back"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RECORD);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
  EXPECT_EQ(recordPage_->CurrentPath(), "Record\\RecordDevice");
  EXPECT_TRUE(Video().m_strPendingAction.empty());
  EXPECT_TRUE(Video().m_strDeviceName.empty());
}

TEST_F(RecordHubTest, ChosenFilesAreCopiedByThePageAndBackClimbsToHome) {
  const std::string target = env_.path("target");
  fs::create_directories(target);
  ChosenFiles chosen;
  chosen.files = {(fs::path(stick_) / "alpha.mpg").string(), (fs::path(stick_) / "bravo.avi").string()};
  chosen.folder = target;
  chosen.filter = "|.mpg|.avi|";
  chosen.name = "Holiday";
  ASSERT_EQ(Act("Record Go Back Door", 1, reinterpret_cast<std::intptr_t>(&chosen)), S_OK);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_RECORDING);
  EXPECT_EQ(Hub().m_arrFiles, chosen.files);
  EXPECT_EQ(Hub().m_strTargetPath, target);
  EXPECT_EQ(Hub().m_strFilter, chosen.filter);
  EXPECT_EQ(Hub().m_strSelectionName, "Holiday");
  EXPECT_EQ(recordPage_->CurrentPath(), "Record\\Recording");
  // The page copies into a folder named after the volume (K: has no label),
  // and goes back to the volume list when the copy is done.
  ASSERT_TRUE(PumpFor(30000, [&] { return Hub().m_nState == RECORD_SUBPAGE_DEVICE; })) << "the copy did not finish";
  EXPECT_FALSE(recordPage_->IsCopying());
  for (const char* clip : {"alpha.mpg", "bravo.avi"}) {
    const fs::path copy = fs::path(target) / "K" / clip;
    EXPECT_TRUE(test_support::ReadFile(copy.string()) == test_support::ReadFile(Clip(clip))) << copy;
  }

  // Flag 1 with an empty list is the volume list; no record at all too.
  ChosenFiles empty;
  ASSERT_EQ(Act("Record Go Back Door", 1, reinterpret_cast<std::intptr_t>(&empty)), S_OK);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
  Hub().m_nState = RECORD_SUBPAGE_RECORDING;
  ASSERT_EQ(Act("Record Go Back Door", 1, 0), S_OK);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);

  // Back: files, volumes, top, Home.
  Hub().m_nState = RECORD_SUBPAGE_RECORDING;
  ASSERT_EQ(Act("Back"), S_OK);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
  ASSERT_EQ(Act("Back"), S_OK);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_MAIN);
  EXPECT_EQ(recordPage_->CurrentPath(), "Record\\RecordMain");
  home_.shown = 0;
  ASSERT_EQ(Act("Back"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_EQ(home_.shown, 1);
}

TEST_F(RecordHubTest, UnknownDrivesAndKindsAreRefused) {
  ASSERT_EQ(Act("Record Entry"), S_OK);
  Hub().m_nChosenKind = RECORD_MEDIA_VIDEO;
  Hub().m_nState = RECORD_SUBPAGE_DEVICE;
  EXPECT_EQ(EnterOn("Q:\\"), E_FAIL);  // no such drive
  EXPECT_EQ(EnterOn(""), E_FAIL);
  EXPECT_EQ(Act("Record Enter Other Module", 0), E_FAIL);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RECORD);
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_DEVICE);
  // Without their engines (this core object has none) the Photo and Music
  // hand-overs fail; other kinds never open anything.
  for (int kind : {RECORD_MEDIA_PHOTO, RECORD_MEDIA_AUDIO, 3}) {
    Hub().m_nChosenKind = kind;
    Config().m_nActiveModule = MODULE_RECORD;
    EXPECT_EQ(EnterOn("K:\\"), E_FAIL) << kind;
  }
}

}  // namespace
}  // namespace video_test
