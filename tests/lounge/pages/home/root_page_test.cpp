// The home page on the headless display with the default skin: layout and
// focus, the highlighted entry's icon and caption, the clock at a fixed time,
// the keys of vendors 1 and 4, the entries' states, the actions it handles
// itself, the web entry and the outside burning program.
#include "lounge/pages/home/root_page.h"

#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corebridge/core/config.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/gdi/gdi.h"
#include "platform/registry/registry.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

using plat::RECT;

constexpr int kScreenW = 1280, kScreenH = 720;

// The page the test frame window hands its paints and timers to.
CRootPage* g_page = nullptr;
std::vector<plat::UINT> g_frameMessages;

plat::LRESULT RootFrameProc(plat::HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  switch (msg) {
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_PAINT:
      if (g_page) {
        g_page->OnPaint();
      } else {
        plat::PAINTSTRUCT ps;
        plat::BeginPaint(h, &ps);
        plat::EndPaint(h, &ps);
      }
      return 0;
    case plat::WM_TIMER:
      if (g_page) g_page->OnTimer(w);
      return 0;
    case plat::WM_NCLBUTTONDOWN:
      g_frameMessages.push_back(msg);
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

class RecordingLauncher : public IProgramLauncher {
 public:
  explicit RecordingLauncher(std::vector<std::vector<std::string>>* started) : m_started(started) {}
  bool Start(const std::vector<std::string>& argv) override {
    m_started->push_back(argv);
    return true;
  }

 private:
  std::vector<std::vector<std::string>>* m_started;
};

void SetMachineString(const char* key, const char* name, const std::string& value) {
  plat::HKEY h = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr, &h,
                                  nullptr),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExA(h, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(value.c_str()),
                                 static_cast<plat::DWORD>(value.size() + 1)),
            plat::ERROR_SUCCESS);
  plat::RegCloseKey(h);
}

void SetMachineDword(const char* key, const char* name, plat::DWORD value) {
  plat::HKEY h = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr, &h,
                                  nullptr),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExA(h, name, 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&value), 4),
            plat::ERROR_SUCCESS);
  plat::RegCloseKey(h);
}

constexpr const char* kProductKey = "SoftWare\\Kestrovia\\Marivel";
constexpr const char* kBuildInfoKey = "SoftWare\\Kestrovia\\Marivel\\BuildInfo";

// A headless screen with a full-screen frame window, the default skin and its
// string table, a manual clock and empty registry hives.
class RootPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock = std::make_shared<plat::ManualClock>();
    plat::SetClock(clock);
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = {kScreenW, kScreenH};
    std::string error;
    started = plat::display::StartDisplay(options, &error);
    ASSERT_TRUE(started) << error;
    plat::WNDCLASS wc;
    wc.lpfnWndProc = RootFrameProc;
    wc.lpszClassName = "RootPageTestFrame";
    plat::RegisterClass(&wc);
    frame.window = plat::CreateWindowEx(0, "RootPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, kScreenW,
                                        kScreenH, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame.window);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
    frame.config = &config;
    g_frameMessages.clear();
    CRootPage::ForgetLastDrawnEntry();
  }
  void TearDown() override {
    Drop();
    UnregisterUIStringTable(strings.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(frame.window)) plat::DestroyWindow(frame.window);
    Pump();
    if (started) plat::display::StopDisplay();
    plat::SetClock(nullptr);
  }

  // Destroys the page (the frame forgets it first).
  void Drop() {
    g_page = nullptr;
    frame.active = nullptr;
    page.reset();
  }
  // Makes the page for `vendor` and shows it.
  void Show(int vendor) {
    frame.options.vendorId = vendor;
    page = std::make_unique<CRootPage>(frame);
    page->SetLauncher(std::make_unique<RecordingLauncher>(&launched));
    page->SetWebLinkQuery([this](int store, std::string& build) {
      queries.push_back(store);
      if (queryResult >= 0) build = queryBuild;
      return queryResult;
    });
    g_page = page.get();
    ASSERT_EQ(page->ShowPage(), 1);
    Settle();
  }
  void Settle() {
    Pump();
    plat::display::ComposeNow();
  }
  int ListIndex(const char* name) {
    int l = -1;
    EXPECT_TRUE(page->Layout()->FindList(name, l)) << name;
    return l;
  }
  int ActionIndex(const char* list, const char* name) {
    int j = -1;
    EXPECT_TRUE(page->Layout()->FindListAction(name, j, ListIndex(list))) << name;
    return j;
  }
  // "<list>/<action>" of the focused entry.
  std::string Focused() {
    int kind = 0, index = 0;
    if (!page->SplitEntry(page->FocusedList(), page->FocusedEntry(), &kind, &index) || kind != ENTRY_ACTION)
      return "none";
    std::string list, action;
    page->Layout()->GetListName(list, page->FocusedList());
    page->Layout()->GetListActionName(action, index, page->FocusedList());
    return list + "/" + action;
  }
  RECT TextRect(const char* name) {
    RECT r{};
    EXPECT_TRUE(page->GetTextScreenRectByName(name, &r)) << name;
    return r;
  }
  std::vector<std::uint32_t> Pixels(const RECT& r) {
    plat::display::ComposeNow();
    std::vector<std::uint32_t> out;
    for (int y = r.top; y < r.bottom; y += 2)
      for (int x = r.left; x < r.right; x += 2) out.push_back(plat::display::CurrentHeadless()->pixel(x, y) & 0xFFFFFF);
    return out;
  }
  std::vector<std::uint32_t> BackBufferPixels(const RECT& r) {
    std::vector<std::uint32_t> out;
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    plat::HGDIOBJ old = plat::SelectObject(dc, page->BackBuffer());
    for (int y = r.top; y < r.bottom; y += 2)
      for (int x = r.left; x < r.right; x += 2) {
        const plat::COLORREF c = plat::GetPixel(dc, x, y);
        out.push_back(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
      }
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    return out;
  }
  void FillScreenBlack(const RECT& r) {
    plat::HDC dc = plat::GetDC(frame.window);
    plat::FillRect(dc, &r, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH)));
    plat::ReleaseDC(frame.window, dc);
  }
  int Key(plat::UINT vk) {
    IModulePage& modulePage = *page;
    const int r = modulePage.OnKeyDown(vk, 1, 0);
    Settle();
    return r;
  }
  int ActionState(const char* list, const char* name, int* shown, int* enabled) {
    int checked = 0;
    *shown = 1, *enabled = 1;
    return page->QueryListActionState(ListIndex(list), ActionIndex(list, name), shown, enabled, &checked);
  }

  marivel_test::TempRegistry registry;
  std::shared_ptr<plat::ManualClock> clock;
  bool started = false;
  CConfig config;
  pages::FakeShellFrame frame;
  std::unique_ptr<CStringTable> strings;
  std::unique_ptr<CRootPage> page;
  std::vector<std::vector<std::string>> launched;
  std::vector<int> queries;
  int queryResult = -1;
  std::string queryBuild;
};

TEST_F(RootPageTest, ShowPageLoadsTheLayoutFocusesTheFirstEntryAndRunsTheClockWhileLoaded) {
  Show(VENDOR_NONE);
  EXPECT_EQ(frame.active, page.get());
  // A 16:9 screen without a vendor takes the wide layout.
  EXPECT_EQ(page->CurrentPath(), "ROOT1280X800");
  EXPECT_EQ(Focused(), "Root Module List/Movie Entry");
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 0 0"), 1);
  EXPECT_EQ(frame.Count("SetPlaybackBarVisible 0 0"), 1);
  EXPECT_EQ(page->ClockTimer(), ROOT_CLOCK_TIMER);
  // The first paint shows the focused entry's icon.
  const RECT module = TextRect("Module");
  EXPECT_NE(Pixels(module), BackBufferPixels(module));

  IModulePage& modulePage = *page;
  modulePage.Deactivate();
  EXPECT_EQ(page->ClockTimer(), 0u);
  EXPECT_EQ(page->OnTimer(ROOT_CLOCK_TIMER + 1), 0);
}

TEST_F(RootPageTest, VendorTwoShowsTheCaptionBarAndFocusesEntryZero) {
  Show(VENDOR_DEZAD);
  EXPECT_EQ(page->CurrentPath(), "Root");
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 1 0"), 1);
  EXPECT_EQ(Focused(), "Root Module List/Movie Entry");
}

TEST_F(RootPageTest, ArrowKeysMoveTheFocusAndTheModuleIconAndCaptionFollowOnce) {
  Show(VENDOR_RORIDO);
  const RECT module = TextRect("Module"), caption = TextRect("Module Name");
  const auto movieIcon = Pixels(module), movieCaption = Pixels(caption);

  Key(plat::VK_RIGHT);
  EXPECT_EQ(Focused(), "Root Module List/Music Entry");
  EXPECT_EQ(CRootPage::LastDrawnEntry(), "Music Entry");
  EXPECT_NE(Pixels(module), movieIcon);
  EXPECT_NE(Pixels(caption), movieCaption);

  Key(plat::VK_LEFT);
  EXPECT_EQ(Focused(), "Root Module List/Movie Entry");
  EXPECT_EQ(Pixels(module), movieIcon);
  EXPECT_EQ(Pixels(caption), movieCaption);

  // The same entry again is not drawn again...
  FillScreenBlack(module);
  const auto black = Pixels(module);
  page->HighlightListAction(ActionIndex(ROOT_MODULE_LIST, "Movie Entry"), ListIndex(ROOT_MODULE_LIST));
  EXPECT_EQ(Pixels(module), black);
  // ...until a cleared highlight forgets it.
  page->HighlightListAction(-1, ListIndex(ROOT_MODULE_LIST));
  EXPECT_EQ(CRootPage::LastDrawnEntry(), "");
  page->HighlightListAction(ActionIndex(ROOT_MODULE_LIST, "Movie Entry"), ListIndex(ROOT_MODULE_LIST));
  EXPECT_EQ(Pixels(module), movieIcon);
}

TEST_F(RootPageTest, VendorKeysMoveBetweenTheListsTheirOwnWay) {
  struct Case {
    int vendor;
    const char* start;
    plat::UINT key;
    const char* expected;
  };
  const std::string m = std::string(ROOT_MODULE_LIST) + "/", a = std::string(ROOT_ACCESSARY_LIST) + "/";
  const Case cases[] = {
      {VENDOR_VADU, "Setting Entry", plat::VK_LEFT, "A/Help"},
      {VENDOR_VADU, "Music Entry", plat::VK_LEFT, "M/Music Entry"},
      {VENDOR_VADU, "Movie Entry", plat::VK_RIGHT, "M/Movie Entry"},
      {VENDOR_VADU, "Help", plat::VK_RIGHT, "M/Setting Entry"},
      {VENDOR_VADU, "Help", plat::VK_UP, "M/Setting Entry"},
      {VENDOR_VADU, "To PC", plat::VK_UP, "A/To PC"},
      {VENDOR_VADU, "To PC", plat::VK_DOWN, "A/To PC"},
      {VENDOR_VADU, "Setting Entry", plat::VK_DOWN, "A/Help"},
      {VENDOR_RORIDO, "TV Entry", plat::VK_UP, "M/Setting Entry"},
      {VENDOR_RORIDO, "Setting Entry", plat::VK_DOWN, "M/TV Entry"},
      {VENDOR_RORIDO, "Movie Entry", plat::VK_RIGHT, "M/Music Entry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.vendor) + " " + c.start + " key " + std::to_string(c.key));
    Show(c.vendor);
    ASSERT_TRUE(page->SetFocusButton(c.start));
    Key(c.key);
    std::string expected = c.expected;
    expected.replace(0, 2, expected[0] == 'M' ? m : a);
    EXPECT_EQ(Focused(), expected);
    EXPECT_EQ(CRootPage::LastDrawnEntry(), expected.substr(expected.find('/') + 1));
    if (c.vendor == VENDOR_VADU && expected != m + c.start && expected != a + c.start) {
      // Vendor 1 clears every other highlight: only the new entry is lit.
      const int other = page->FocusedList() == ListIndex(ROOT_MODULE_LIST) ? ListIndex(ROOT_ACCESSARY_LIST)
                                                                          : ListIndex(ROOT_MODULE_LIST);
      EXPECT_EQ(page->ListState(other)->highlightedListAction, -1);
    }
    Drop();
  }
}

TEST_F(RootPageTest, ActionsAreRoutedToTheFrameAndTheSystemCore) {
  struct Case {
    const char* action;
    std::vector<std::string> calls;
    bool executed;
  };
  const Case cases[] = {
      {"Close", {"QuitApplication"}, true},
      {"To PC", {"QuitApplication"}, true},
      {"Minimize", {"MinimizeFrame"}, false},
      {"Maximize", {"Maximize"}, true},
      {"Setting Entry", {"ShowSettingPage"}, true},
      {"Help", {"OpenHelp"}, false},
      {"Help Entry", {"OpenHelp"}, false},
      {"TV Entry", {"SetOsdOwner 0"}, true},
      {"Movie Entry", {}, true},
      {"Burning Entry", {}, true},  // only vendor 1 starts an outside program
  };
  Show(VENDOR_NONE);
  frame.actionResult = 7;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    frame.calls.clear();
    frame.executed.clear();
    const int result = page->OnAction(c.action);
    EXPECT_EQ(frame.calls, c.calls);
    if (c.executed) {
      ASSERT_EQ(frame.executed.size(), 1u);
      EXPECT_EQ(frame.executed[0].name, c.action);
      EXPECT_EQ(frame.executed[0].a, 0);
      EXPECT_EQ(frame.executed[0].b, 0);
      EXPECT_EQ(result, 7);
    } else {
      EXPECT_TRUE(frame.executed.empty());
    }
  }
  EXPECT_TRUE(launched.empty());
}

TEST_F(RootPageTest, EntryStatesFollowTheFeatureWordsAndTheVendor) {
  struct Case {
    int vendor, root, tv, radio;
    bool burnerKey;
    int tvShown, tvEnabled, radioShown, radioEnabled, burnShown, burnEnabled;
  };
  const Case cases[] = {
      {VENDOR_NONE, -1, -1, -1, false, 1, 1, 1, 1, 1, 1},
      {VENDOR_NONE, 0, 0, 0, false, 0, 0, 0, 0, 0, 1},
      {VENDOR_NONE, 0b101, 0b10, 0b01, false, 1, 1, 0, 0, 1, 1},
      {VENDOR_RORIDO, 0b010, 0b01, 0b10, false, 0, 0, 1, 1, 0, 1},
      {VENDOR_VADU, 0, -1, -1, false, 0, 1, 0, 1, 1, 0},  // vendor 1: burning shown, enabled by its program
      {VENDOR_VADU, 0, -1, -1, true, 0, 1, 0, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    frame.options.rootFeatures = c.root;
    frame.options.tvFeatures = c.tv;
    frame.options.radioFeatures = c.radio;
    frame.options.burnerKeyPath = c.burnerKey ? "Software\\Burner" : "Software\\NoBurner";
    frame.options.burnerDirValue = "Dir";
    if (c.burnerKey) SetMachineString("Software\\Burner", "Dir", "/opt/burner");
    Show(c.vendor);
    int shown = 0, enabled = 0;
    ActionState(ROOT_MODULE_LIST, "TV Entry", &shown, &enabled);
    EXPECT_EQ(shown, c.tvShown);
    EXPECT_EQ(enabled, c.tvEnabled);
    ActionState(ROOT_MODULE_LIST, "Radio Entry", &shown, &enabled);
    EXPECT_EQ(shown, c.radioShown);
    EXPECT_EQ(enabled, c.radioEnabled);
    ActionState(ROOT_MODULE_LIST, "Burning Entry", &shown, &enabled);
    EXPECT_EQ(shown, c.burnShown);
    EXPECT_EQ(enabled, c.burnEnabled);
    Drop();
  }
}

TEST_F(RootPageTest, WebEntriesFollowTheInstalledBuildAndTheStoredStatus) {
  Show(VENDOR_NONE);
  int web = 0, updated = 0, enabled = 0;
  // Without BuildInfo neither entry is touched: both stay shown.
  ActionState(ROOT_MODULE_LIST, "Web Entry", &web, &enabled);
  ActionState(ROOT_MODULE_LIST, "Updated Web Entry", &updated, &enabled);
  EXPECT_EQ(web, 1);
  EXPECT_EQ(updated, 1);

  struct Case {
    const char* installed;
    int status, content;
    const char* server;
    bool current;
  };
  const Case cases[] = {
      {"v2.0", 3, 3, "1.9", true},   {"v2.0", 4, 3, "2.0", true}, {"vv2.1", 3, 3, "2.1", true},
      {"v2.0", 2, 3, "1.9", false},  {"v2.0", 3, 3, "2.1", false},
      {"2.0", 3, 3, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.installed) + " " + c.server);
    SetMachineString(kBuildInfoKey, "Build", c.installed);
    frame.options.webLinkStatus = c.status;
    frame.options.webLinkResult = c.content;
    frame.options.webLinkBuild = c.server;
    ActionState(ROOT_MODULE_LIST, "Web Entry", &web, &enabled);
    ActionState(ROOT_MODULE_LIST, "Updated Web Entry", &updated, &enabled);
    EXPECT_EQ(web, c.current ? 1 : 0);
    EXPECT_EQ(updated, c.current ? 0 : 1);
  }
}

TEST_F(RootPageTest, ClockIsDrawnFromThePlatformClockWithoutTouchingTheProcessLocale) {
  const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
  clock->set_wall(plat::Clock::WallTime{std::chrono::seconds{1'800'000'000}});
  Show(VENDOR_VADU);
  const RECT time = TextRect("Time");
  const auto first = Pixels(time);
  EXPECT_NE(first, BackBufferPixels(time));
  // Vendor 1 draws the time in white.
  EXPECT_NE(std::find(first.begin(), first.end(), 0xFFFFFFu), first.end());

  // The same time draws the same text; an hour later another.
  FillScreenBlack(time);
  EXPECT_EQ(page->OnTimer(ROOT_CLOCK_TIMER), 1);
  EXPECT_EQ(Pixels(time), first);
  clock->advance(3'600'000);
  Pump();  // the frame timer fires on the frame window
  plat::display::ComposeNow();
  EXPECT_NE(Pixels(time), first);

  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), localeBefore);
  EXPECT_TRUE(std::locale() == std::locale::classic());
}

TEST(RootPageClockText, FormatsDateTimeOrBothInTheGivenLocale) {
  std::tm t{};
  t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 10, t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 9, t.tm_wday = 4;
  EXPECT_EQ(FormatClockText(t, std::locale::classic(), ClockPart::Date), "12/10/26");
  EXPECT_EQ(FormatClockText(t, std::locale::classic(), ClockPart::Time), "14:05:09");
  EXPECT_EQ(FormatClockText(t, std::locale::classic(), ClockPart::DateAndTime), "12/10/26 14:05:09");
}

TEST_F(RootPageTest, WebEntryOpensTheCheckedUrlAndTakesTheQueryResult) {
  SetMachineString(kProductKey, "WebLink", "https://example.invalid/?p=%s&v=%s&l=%s&s=%d&vd=%s&b=%s%s&k=%u");
  SetMachineString(kProductKey, "Language", "en");
  SetMachineString(kProductKey, "Vendor", "Vadu");
  SetMachineDword(kProductKey, "KVJ", 7);
  SetMachineString(kBuildInfoKey, "Ver", "3.0");
  SetMachineString(kBuildInfoKey, "Build", "v1210");
  Show(VENDOR_NONE);
  frame.options.webLinkStatus = 5;
  frame.options.webLinkResult = 5;
  queryResult = 6;
  queryBuild = "1200";

  EXPECT_EQ(page->OnAction("Web Entry"), 1);
  EXPECT_EQ(queries, std::vector<int>{1});  // the query stores its status
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0], (std::vector<std::string>{"xdg-open",
                                                   "https://example.invalid/?p=MRV&v=3.0&l=en&s=5&vd=Vadu&b=1210&k=7"}));
  EXPECT_TRUE(frame.executed.empty());
  EXPECT_EQ(frame.options.webLinkStatus, 6);
  EXPECT_EQ(frame.options.webLinkResult, 6);
  EXPECT_EQ(frame.options.webLinkBuild, "1200");
  EXPECT_EQ(Focused(), "Root Module List/Web Entry");

  // A format that asks for more than it is given, or for other conversions,
  // is refused and nothing is opened.
  std::string notice;
  plat::SetDebugOutputListener([&](const std::string& text) { notice += text; });
  for (const char* bad : {"https://x/?%s%n", "https://x/?%s%s%s%s%s%s%s%u%s", "https://x/?%p", "https://x/?%d"}) {
    SCOPED_TRACE(bad);
    SetMachineString(kProductKey, "WebLink", bad);
    EXPECT_FALSE(page->BuildWebEntryUrl(0).has_value());
    launched.clear();
    EXPECT_EQ(page->OnAction("Updated Web Entry"), 1);
    EXPECT_TRUE(launched.empty());
  }
  EXPECT_NE(notice.find("WebLink"), std::string::npos);
  // Only web addresses are handed to the opener.
  SetMachineString(kProductKey, "WebLink", "file:///etc/passwd?%s");
  launched.clear();
  page->OnAction("Web Entry");
  EXPECT_TRUE(launched.empty());
  plat::SetDebugOutputListener(nullptr);
}

TEST_F(RootPageTest, WebEntryDoesNothingWithoutTheProductKey) {
  Show(VENDOR_NONE);
  queryResult = 6;
  EXPECT_EQ(page->OnAction("Web Entry"), 0);
  EXPECT_TRUE(queries.empty());
  EXPECT_TRUE(launched.empty());
  EXPECT_EQ(frame.options.webLinkStatus, -1);
}

TEST_F(RootPageTest, VendorOneBurningEntryStartsTheOutsideProgramWithAnArgumentVector) {
  SetMachineString("Software\\Burner", "Dir", "/opt/burner");
  frame.options.burnerKeyPath = "Software\\Burner";
  frame.options.burnerDirValue = "Dir";
  frame.options.burnerExe = "burn";
  frame.options.burnerParam = "-mode  disc;rm";
  config.m_bDebugNotices = 1;
  std::string notice;
  plat::SetDebugOutputListener([&](const std::string& text) { notice += text; });
  Show(VENDOR_VADU);
  EXPECT_EQ(page->OnAction("Burning Entry"), 1);
  plat::SetDebugOutputListener(nullptr);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0], (std::vector<std::string>{"/opt/burner/burn", "-mode", "disc;rm"}));
  EXPECT_EQ(frame.Count("MinimizeFrame"), 1);
  EXPECT_TRUE(frame.executed.empty());
  EXPECT_EQ(notice, "BURNWE MODE");
}

TEST_F(RootPageTest, DoubleClickOnTheBackgroundMaximisesAndRestoresAndAPressDragsTheFrame) {
  Show(VENDOR_NONE);
  const plat::POINT empty{kScreenW / 2, 8};
  IModulePage& modulePage = *page;
  modulePage.OnDoubleClick(empty.x, empty.y);
  EXPECT_TRUE(frame.maximized);
  modulePage.OnDoubleClick(empty.x, empty.y);
  EXPECT_FALSE(frame.maximized);

  modulePage.OnButtonDown(empty.x, empty.y);
  EXPECT_EQ(page->MousePressed(), 1);
  Pump();
  EXPECT_EQ(g_frameMessages, std::vector<plat::UINT>{plat::WM_NCLBUTTONDOWN});
  modulePage.OnButtonUp(empty.x, empty.y);
  EXPECT_EQ(page->MousePressed(), 0);

  // A double click on an entry does not resize the frame.
  RECT movie{};
  ASSERT_TRUE(page->GetListActionScreenRect(ActionIndex(ROOT_MODULE_LIST, "Movie Entry"), ListIndex(ROOT_MODULE_LIST),
                                            &movie));
  modulePage.OnDoubleClick((movie.left + movie.right) / 2, (movie.top + movie.bottom) / 2);
  EXPECT_FALSE(frame.maximized);
  EXPECT_EQ(frame.Count("Maximize"), 1);
}

TEST_F(RootPageTest, PressingTheFocusedWebEntryShowsTheCheckIconUntilRelease) {
  Show(VENDOR_NONE);
  RECT web{};
  ASSERT_TRUE(
      page->GetListActionScreenRect(ActionIndex(ROOT_MODULE_LIST, "Web Entry"), ListIndex(ROOT_MODULE_LIST), &web));
  const int x = (web.left + web.right) / 2, y = (web.top + web.bottom) / 2;
  IModulePage& modulePage = *page;
  modulePage.OnMouseMove(x, y);
  Settle();
  EXPECT_EQ(CRootPage::LastDrawnEntry(), "Web Entry");
  const RECT module = TextRect("Module");
  const auto plain = Pixels(module);
  modulePage.OnButtonDown(x, y);
  EXPECT_EQ(frame.Count("StopPressRepeat"), 1);
  EXPECT_NE(Pixels(module), plain);
  modulePage.OnButtonUp(x + 10000, y);  // released elsewhere: no action
  EXPECT_EQ(Pixels(module), plain);
}

}  // namespace

namespace {

TEST(RootPageLauncher, RefusesAnEmptyVectorAndReportsAProgramThatCannotStart) {
  SpawnLauncher launcher;
  EXPECT_FALSE(launcher.Start({}));
  EXPECT_FALSE(launcher.Start({""}));
  EXPECT_FALSE(launcher.Start({"/nonexistent/marivel-burner", "--x"}));
}

}  // namespace
