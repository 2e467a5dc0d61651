// The application object with the real main frame and system core on the
// headless display: the frame's class, title and geometry on a first start
// and with a stored size, which vendors store the size at exit, the start-up
// words and options in the configuration root, and a close that saves the
// settings before the frame goes.
#include "lounge/shell/main_app.h"

#include <pthread.h>
#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/shell/close_signals.h"
#include "lounge/shell/main_frame.h"
#include "lounge/shell/shell_pages_factory.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_report.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/registry/registry.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/app/app_environment.h"
#include "tests/platform/registry/registry_helpers.h"

namespace {

namespace fs = std::filesystem;
constexpr const char* kProduct = "SoftWare\\Kestrovia\\Marivel";

class MainAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(std::string(MARIVEL_TEST_BIN_DIR) + "/registry/machine.reg", env_.path("registry/machine.reg"));
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = {1280, 800};
    std::string error;
    ASSERT_TRUE(plat::display::StartDisplay(options, &error)) << error;
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
  }
  void TearDown() override {
    SetSkinBaseFolder({});
    plat::display::StopDisplay();
  }

  void SetMachineString(const char* name, const char* value) {
    plat::HKEY key = marivel_test::CreateKey(plat::HKEY_LOCAL_MACHINE, kProduct);
    marivel_test::SetString(key, name, value);
    plat::RegCloseKey(key);
  }
  void SetMachineDword(const char* name, plat::DWORD value) {
    plat::HKEY key = marivel_test::CreateKey(plat::HKEY_LOCAL_MACHINE, kProduct);
    marivel_test::SetDword(key, name, value);
    plat::RegCloseKey(key);
  }
  void SetFrameSize(plat::DWORD value) {
    plat::HKEY key = marivel_test::CreateKey(plat::HKEY_CURRENT_USER, kProduct);
    marivel_test::SetDword(key, "FrameSize", value);
    plat::RegCloseKey(key);
  }
  std::optional<plat::DWORD> FrameSize() {
    CRegistryKey key(plat::HKEY_CURRENT_USER);
    plat::DWORD value = 0;
    if (key.Open(plat::HKEY_CURRENT_USER, kProduct, true) && key.QueryDword("FrameSize", value)) return value;
    return std::nullopt;
  }
  static plat::RECT WindowRect(plat::HWND hwnd) {
    plat::RECT r{};
    plat::GetWindowRect(hwnd, &r);
    return r;
  }

  app_test::TempEnvironment env_;
};

TEST_F(MainAppTest, FirstStartIsMaximisedAndRestoresToTheScreenLessMargins) {
  SetMachineString("Vendor", "DEZAD");
  CMainApp app(&MakeShellPages);
  ASSERT_TRUE(app.InitInstance({})) << static_cast<int>(app.Failure());
  const plat::HWND hwnd = app.FrameWindow();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(plat::IsWindowVisible(hwnd));
  EXPECT_TRUE(plat::IsZoomed(hwnd));
  char className[64] = {};
  plat::GetClassName(hwnd, className, sizeof className);
  EXPECT_STREQ(className, "Marivel3 Frame class");
  plat::WNDCLASS wc{};
  ASSERT_TRUE(plat::GetClassInfo(nullptr, "Marivel3 Frame class", &wc));
  EXPECT_TRUE(wc.style & plat::CS_DBLCLKS);
  EXPECT_NE(wc.hIcon, nullptr);

  CStringTable strings{fs::path(MARIVEL_TEST_BIN_DIR)};
  std::string title;
  ASSERT_TRUE(strings.Lookup("MARIVEL", title));
  EXPECT_EQ(plat::GetWindowTextString(hwnd), title);

  const plat::LONG_PTR style = plat::GetWindowLongPtr(hwnd, plat::GWL_STYLE);
  EXPECT_FALSE(style & plat::WS_THICKFRAME);
  EXPECT_FALSE(style & plat::WS_DLGFRAME);
  plat::WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ASSERT_TRUE(plat::GetWindowPlacement(hwnd, &placement));
  // 5 pixels at the sides, 800 * 5 / 1280 = 3 at top and bottom.
  EXPECT_EQ(placement.rcNormalPosition, (plat::RECT{5, 3, 1275, 797}));

  ASSERT_NE(app.Config(), nullptr);
  EXPECT_EQ(app.Config()->m_nVendorId, 2);
  app.ExitInstance();
  // Maximised at exit: no size is stored.
  EXPECT_FALSE(FrameSize().has_value());
}

TEST_F(MainAppTest, ABrokenSkinIsSaidAndEndsTheStartWithStatusOne) {
  // A newline in the folder's name must not split the message.
  const fs::path skin = env_.path("skin\nfolder");
  fs::create_directories(skin);
  SetSkinBaseFolder(skin);
  ResetSkinReports();
  {
    CMainApp app(&MakeShellPages);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(app.InitInstance({}));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.Failure(), CMainApp::StartFailure::SkinBroken);
    EXPECT_EQ(app.FailureExitCode(), 1);
    EXPECT_EQ(app.FrameWindow(), nullptr);
    EXPECT_EQ(said, "lounge: cannot start: the skin's string table \"" + env_.path("skin\\x0afolder") +
                        "/string.xml\" does not load: No such file or directory\n");
    app.ExitInstance(app.FailureExitCode());
  }
  // Its texts, but no home layout: no dead black screen either.
  fs::copy_file(std::string(MARIVEL_TEST_BIN_DIR) + "/string.xml", skin / "string.xml");
  {
    CMainApp app(&MakeShellPages);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(app.InitInstance({}));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.Failure(), CMainApp::StartFailure::SkinBroken);
    EXPECT_EQ(app.FailureExitCode(), 1);
    const std::size_t exit = said.find("lounge: cannot start: no home page layout of the skin loads: ");
    ASSERT_NE(exit, std::string::npos) << said;
    EXPECT_NE(said.find(env_.path("skin\\x0afolder") + "/Layout/XML/Root/layout.xml\": No such file or directory", exit),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("skin\nfolder"), std::string::npos) << said;
    app.ExitInstance(app.FailureExitCode());
  }
  ResetSkinReports();
}

TEST_F(MainAppTest, StoredSizeGivesACentredWindowAndOnlySomeVendorsStoreIt) {
  struct Case {
    const char* vendor;
    bool stores;
  };
  const Case cases[] = {{"", false}, {"Vadu", true}, {"DEZAD", true}, {"RuvE", false}, {"Rorido", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vendor);
    SetMachineString("Vendor", c.vendor);
    SetFrameSize((1000u << 16) | 600u);
    CMainApp app(&MakeShellPages);
    ASSERT_TRUE(app.InitInstance({})) << static_cast<int>(app.Failure());
    const plat::HWND hwnd = app.FrameWindow();
    EXPECT_FALSE(plat::IsZoomed(hwnd));
    EXPECT_EQ(WindowRect(hwnd), (plat::RECT{140, 100, 1140, 700}));
    const plat::LONG_PTR style = plat::GetWindowLongPtr(hwnd, plat::GWL_STYLE);
    EXPECT_TRUE(style & plat::WS_THICKFRAME);
    EXPECT_TRUE(style & plat::WS_DLGFRAME);

    plat::MoveWindow(hwnd, 10, 10, 900, 500, 1);
    app.ExitInstance();
    EXPECT_EQ(FrameSize(), c.stores ? (900u << 16) | 500u : (1000u << 16) | 600u);
  }
}

TEST_F(MainAppTest, StoredSizeLargerThanTheScreenIsCutToIt) {
  SetFrameSize((3000u << 16) | 2000u);
  CMainApp app(&MakeShellPages);
  ASSERT_TRUE(app.InitInstance({})) << static_cast<int>(app.Failure());
  EXPECT_EQ(WindowRect(app.FrameWindow()), (plat::RECT{0, 0, 1280, 800}));
}

// Out of the box, the hive the build writes offers every module: the home
// menu shows and enables TV, Radio and Burning, the wide home layout is
// chosen, and the system core makes the radio folder and scans for discs.
TEST_F(MainAppTest, TheBuildsHiveOffersEveryModule) {
  CMainApp app(&MakeShellPages);
  ASSERT_TRUE(app.InitInstance({})) << static_cast<int>(app.Failure());
  const AppOptions& options = app.Options();
  for (int bit : {0, 1, 2}) EXPECT_TRUE((options.rootFeatures >> bit) & 1) << "root bit " << bit;
  EXPECT_TRUE((options.tvFeatures >> 1) & 1);
  EXPECT_TRUE((options.radioFeatures >> 1) & 1);
  CConfig* config = app.Config();
  ASSERT_NE(config, nullptr);
  EXPECT_TRUE(config->m_aFeatureWords[FEATURE_RADIO] & 1);
  EXPECT_TRUE(config->m_aFeatureWords[FEATURE_MOVIE] & 1);
}

TEST_F(MainAppTest, StartUpWordsAndOptionsReachTheConfigurationRoot) {
  SetMachineString("Vendor", "Rorido");
  const char* words[] = {"RootFeatureset",  "TVFeatureset",    "RadioFeatureset", "PhotoFeatureset",
                         "MusicFeatureset", "VideoFeatureset", "MovieFeatureset"};
  for (plat::DWORD i = 0; i < 7; ++i) SetMachineDword(words[i], 0x100 + i);
  SetMachineDword("GeneralFeatureset", 0x2);
  SetMachineString("PressedSound", "press.wav");
  SetMachineString("HighlightSound", "highlight.wav");
  SetMachineDword("DisableVolumnOSD", 0);
  SetMachineDword("KeepMuteOsd", 1);

  CMainApp app(&MakeShellPages);
  ASSERT_TRUE(app.InitInstance({})) << static_cast<int>(app.Failure());
  CConfig* config = app.Config();
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(config->m_nVendorId, 4);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(config->m_aFeatureWords[static_cast<std::size_t>(i)], 0x100 + i) << words[i];
  EXPECT_EQ(config->m_nGeneralFeatures, 0x2);
  EXPECT_EQ(config->m_strPressedSound, "press.wav");
  EXPECT_EQ(config->m_bPressedSoundOn, 1);
  EXPECT_EQ(config->m_strHighlightSound, "");
  EXPECT_EQ(config->m_bVolumeOsd, 1);
  EXPECT_EQ(config->m_bKeepMuteOsd, 1);
  EXPECT_EQ(&app.Frame()->Options(), &app.Options());
}

TEST_F(MainAppTest, CloseEndsTheLoopAndExitSavesBeforeTheFrameGoes) {
  SetMachineString("Vendor", "DEZAD");
  SetFrameSize((1000u << 16) | 600u);
  CMainApp app(&MakeShellPages);
  ASSERT_TRUE(app.InitInstance({})) << static_cast<int>(app.Failure());
  const plat::HWND hwnd = app.FrameWindow();
  // A safety net: the loop ends within a bound even if the close were lost.
  plat::SetTimer(nullptr, 0, 30000, [](plat::HWND, plat::UINT, plat::UINT_PTR, plat::DWORD) {
    plat::PostQuitMessage(99);
  });
  app.RequestClose();
  EXPECT_EQ(app.Run(), 0);
  // The frame is hidden, not destroyed, until the settings are saved.
  EXPECT_TRUE(plat::IsWindow(hwnd));
  EXPECT_FALSE(plat::IsWindowVisible(hwnd));
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_FALSE(plat::IsWindow(hwnd));
  EXPECT_TRUE(fs::exists(env_.settingsFolder() + "/Config.xml"));
  EXPECT_EQ(FrameSize(), (1000u << 16) | 600u);
  EXPECT_EQ(app.Bridge(), nullptr);
  EXPECT_EQ(app.Config(), nullptr);
}

TEST_F(MainAppTest, CloseSignalBeforeTheFrameEndsTheStartCleanly) {
  // As the program does first thing: the signal waits instead of killing.
  sigset_t before;
  ::pthread_sigmask(SIG_BLOCK, nullptr, &before);
  BlockCloseSignals();
  ::raise(SIGTERM);
  {
    CMainApp app(&MakeShellPages);
    EXPECT_FALSE(app.InitInstance({}));
    EXPECT_EQ(app.Failure(), CMainApp::StartFailure::ClosedWhileStarting);
    EXPECT_EQ(app.FailureExitCode(), 0);
    EXPECT_EQ(app.FrameWindow(), nullptr);
    EXPECT_EQ(plat::FindWindow(kFrameClassName, nullptr), nullptr);
    EXPECT_EQ(app.ExitInstance(app.FailureExitCode()), 0);
  }
  EXPECT_FALSE(fs::exists(env_.settingsFolder() + "/Config.xml"));
  // The signal was meant for the program under test: take it before unblocking.
  sigset_t term;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  const timespec now{};
  ::sigtimedwait(&term, nullptr, &now);
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

TEST_F(MainAppTest, CommandLineStartClearsTheStartDrive) {
  CMainApp app(&MakeShellPages);
  ASSERT_TRUE(app.InitInstance({"CD", "E"}));
  ASSERT_NE(app.Config(), nullptr);
  EXPECT_EQ(app.Config()->m_nStartDriveIndex, 0);
  EXPECT_EQ(app.Config()->m_bStartFromCd, 0);
}

}  // namespace
