// The Record page in the hub's burning mode with the real authoring engine:
// the chosen files are gathered in the staging folder and burnt as a data
// disc to a virtual writer, whose new image holds the same names and bytes;
// with no writer the page shows its failure text and copies nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

#include "corebridge/core/authoring_config.h"
#include "corebridge/core/config.h"
#include "corebridge/core/record_config.h"
#include "lounge/pages/record/record_page.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "outside/authoring/authoring_engine.h"
#include "platform/com/object.h"
#include "platform/display/display.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/corebridge/authoring/fake_authoring_engine.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/outside/authoring/iso_reader.h"
#include "tests/support/temp_environment.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

CRecordPage* g_page = nullptr;

plat::LRESULT FrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  switch (msg) {
    case plat::WM_ERASEBKGND: return 1;
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
    default: return plat::DefWindowProc(h, msg, w, l);
  }
}

void SetString(plat::HKEY key, const char* name, const std::string& value) {
  plat::RegSetValueExA(key, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(value.c_str()),
                       static_cast<plat::DWORD>(value.size() + 1));
}

void DeclareWriter(char letter, const std::string& image) {
  const std::string path = std::string(CConfig::kRegistryKey) + "\\VirtualDrives\\" + letter;
  plat::HKEY key = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
            plat::ERROR_SUCCESS);
  SetString(key, "Path", image);
  SetString(key, "Type", "cdrom");
  const plat::DWORD one = 1;
  plat::RegSetValueExA(key, "Writer", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&one), sizeof one);
  plat::RegCloseKey(key);
}

class RecordBurnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_CACHE_HOME")) oldCache_ = old;
    ::setenv("XDG_CACHE_HOME", env_.path("cache").c_str(), 1);
    plat::SetVolumeSource(std::make_shared<plat::FakeVolumeSource>());
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    std::string error;
    started_ = plat::display::StartDisplay(options, &error);
    ASSERT_TRUE(started_) << error;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "RecordBurnTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "RecordBurnTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_BURNING;
    frame_.window = window_;
    frame_.config = config_.get();
    page_ = std::make_unique<CRecordPage>(frame_);
    page_->AttachWindow(window_);
    page_->Create();
    page_->SetEngineFactory([] {
      plat::ComPtr<IAuthoringEngine> engine;
      plat::CreateComObject<CAuthoringEngine>(nullptr, IID_IAuthoringEngine,
                                              reinterpret_cast<void**>(engine.ReleaseAndGetAddressOf()));
      return engine;
    });
    g_page = page_.get();
  }
  void TearDown() override {
    g_page = nullptr;
    page_.reset();
    if (strings_) UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (window_ && plat::IsWindow(window_)) plat::DestroyWindow(window_);
    if (started_) plat::display::StopDisplay();
    plat::SetVolumeSource(nullptr);
    if (oldCache_) ::setenv("XDG_CACHE_HOME", oldCache_->c_str(), 1);
    else ::unsetenv("XDG_CACHE_HOME");
  }

  CRecordConfig& Hub() { return *config_->m_pRecord; }
  template <typename Done>
  bool PumpUntil(Done done, std::chrono::milliseconds limit = 120s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      plat::MSG m;
      while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
  // The files come back from a module: the page copies, then burns.
  void StartBurn(std::vector<std::string> files, const std::string& name) {
    Hub().m_arrFiles = std::move(files);
    Hub().m_strTargetPath = "E:\\";
    Hub().m_strSelectionName = name;
    Hub().m_nChosenKind = 2;
    Hub().m_nState = RECORD_SUBPAGE_RECORDING;
    ASSERT_EQ(page_->ShowSubPage(), 1);
    ASSERT_EQ(page_->CurrentPath(), "Record\\Recording");
  }

  test_support::TempEnvironment env_{"burn"};
  std::optional<std::string> oldCache_;
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;
  pages::FakeShellFrame frame_;
  std::unique_ptr<CRecordPage> page_;
};

TEST_F(RecordBurnTest, ChosenFilesWithUtf8NamesBecomeADataDiscOnTheVirtualWriter) {
  const std::string image = env_.path("writer/disc.iso");
  fs::create_directories(env_.path("writer"));
  DeclareWriter('D', image);
  const fs::path source = env_.path("Mix ü");
  fs::create_directories(source);
  const std::string first = std::string(256 * 1024, 'a') + "end";
  const std::string second = "Grüße aus Köln";
  test_support::WriteFile((source / "Ünïcode – one.mp3").string(), first);
  test_support::WriteFile((source / "二.mp3").string(), second);
  test_support::WriteFile((source / "skip.txt").string(), "not music");
  Hub().m_strFilter = "|.mp3|";

  StartBurn({(source / "Ünïcode – one.mp3").string(), (source / "二.mp3").string()}, "Mix");
  EXPECT_TRUE(page_->IsCopying());
  EXPECT_EQ(page_->ListTextFor("Record Wait Message"), "Burning the disc, please wait...");
  EXPECT_EQ(page_->ListTextFor("Record Stop Button"), "Stop burning");
  // Done: the page goes back to the device choice and the staging is gone.
  ASSERT_TRUE(PumpUntil([&] { return Hub().m_nState == RECORD_SUBPAGE_DEVICE; })) << "the burn did not end";
  EXPECT_FALSE(page_->BurnFailed());
  EXPECT_FALSE(page_->IsBurning());
  EXPECT_FALSE(fs::exists(AuthoringStagingFolder()));

  const authoring_test::IsoContents disc = authoring_test::ReadIso(image);
  ASSERT_TRUE(disc.ok);
  EXPECT_EQ(disc.files.size(), 2u);
  EXPECT_EQ(disc.files.at("Mix ü/Ünïcode – one.mp3"), first);
  EXPECT_EQ(disc.files.at("Mix ü/二.mp3"), second);
}

TEST_F(RecordBurnTest, WithoutAWriterThePageShowsItsFailureAndCopiesNothing) {
  const fs::path source = env_.path("Stick");
  fs::create_directories(source);
  test_support::WriteFile((source / "a.mp3").string(), "abc");
  StartBurn({(source / "a.mp3").string()}, "Stick");
  EXPECT_FALSE(page_->IsCopying());
  EXPECT_TRUE(page_->BurnFailed());
  EXPECT_EQ(page_->ListTextFor("Record Wait Message"), "The disc could not be burned. Check the writer and its disc.");
  EXPECT_FALSE(fs::exists(AuthoringStagingFolder()));
  // Leaving the page clears the failure for the next burn.
  EXPECT_EQ(page_->OnAction("Record Return To Device Selection"), 1);
  EXPECT_EQ(page_->CurrentPath(), "Record\\RecordDevice");
}

TEST_F(RecordBurnTest, AFailedBurnKeepsTheWritersOldImageAndRemovesTheStaging) {
  // A writer whose disc is too small for the files.
  const std::string image = env_.path("writer/disc.iso");
  fs::create_directories(env_.path("writer"));
  test_support::WriteFile(image, "old image");
  DeclareWriter('D', image);
  {
    const std::string key = std::string(CConfig::kRegistryKey) + "\\VirtualDrives\\D";
    plat::HKEY k = nullptr;
    ASSERT_EQ(plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, key.c_str(), 0, plat::KEY_ALL_ACCESS, &k),
              plat::ERROR_SUCCESS);
    const plat::DWORD capacity = 1;
    plat::RegSetValueExA(k, "Capacity", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&capacity),
                         sizeof capacity);
    plat::RegCloseKey(k);
  }
  const fs::path source = env_.path("Big");
  fs::create_directories(source);
  test_support::WriteFile((source / "big.mp3").string(), std::string(3 * 1024 * 1024, 'x'));
  StartBurn({(source / "big.mp3").string()}, "Big");
  ASSERT_TRUE(PumpUntil([&] { return page_->BurnFailed(); })) << "the burn did not fail";
  EXPECT_EQ(Hub().m_nState, RECORD_SUBPAGE_RECORDING);
  EXPECT_EQ(test_support::ReadFile(image), "old image");
  EXPECT_FALSE(fs::exists(AuthoringStagingFolder()));
}

TEST_F(RecordBurnTest, TheStopButtonCancelsTheBurnAndLetsTheEngineGo) {
  // An engine whose job runs until it is stopped.
  auto engine = plat::MakeComObject<authoring_test::FakeAuthoringEngine>();
  page_->SetEngineFactory([&] { return plat::ComPtr<IAuthoringEngine>(engine.Get()); });
  const fs::path source = env_.path("Stick");
  fs::create_directories(source);
  test_support::WriteFile((source / "a.mp3").string(), "abc");
  StartBurn({(source / "a.mp3").string()}, "Stick");
  ASSERT_TRUE(PumpUntil([&] { return page_->IsBurning(); })) << "the burn did not start";
  const std::vector<std::string> started{"3", "146", "121 0 1", "142 4", "54 " + AuthoringStagingFolder() + "/Stick",
                                         "150 Stick", "5 sink", "84 " + AuthoringWorkFolder()};
  EXPECT_EQ(engine->calls, started);
  EXPECT_EQ(page_->ListTextFor("Record Stop Button"), "Stop burning");

  // A status on the way shows as the burn's progress.
  engine->status.stage = kAuthoringStageWriting;
  engine->status.percent = 50;
  engine->status.totalBytes = 4 * 1024 * 1024;
  engine->sink->Notify7(reinterpret_cast<std::intptr_t>(&engine->status), 0);
  EXPECT_EQ(page_->Progress().totalKiB, 4096);
  EXPECT_EQ(page_->Progress().finishedKiB, 2048);

  engine->calls.clear();
  EXPECT_EQ(page_->OnAction("Record Return To Device Selection"), 1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"85 other", "5 null"}));
  EXPECT_FALSE(page_->IsBurning());
  EXPECT_FALSE(page_->BurnFailed());
  EXPECT_EQ(page_->CurrentPath(), "Record\\RecordDevice");
  EXPECT_FALSE(fs::exists(AuthoringStagingFolder()));
}

}  // namespace
