// The TV page on the headless display with the default skin: digit entry,
// actions forwarded to the controller, the channel editor and the channel
// rows' colours.
#include "lounge/pages/tv/tv_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "corebridge/core/config.h"
#include "corebridge/core/tv_config.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

CTvPage* g_page = nullptr;

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

void Pump() {
  plat::MSG m;
  for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) plat::DispatchMessage(&m);
}

// A frame that reads what "TV Resize Video" carries while the call lasts:
// the picture's rectangle and the window behind it (a), and the rectangle
// alone (b).
class TvFrame : public pages::FakeShellFrame {
 public:
  struct Placement {
    plat::RECT rect;
    plat::HWND window;
    bool secondIsTheRect;
  };
  int ExecuteAction(const std::string& name, long a, long b) override {
    if (name == "TV Resize Video" && a) {
      const auto* place = reinterpret_cast<const Placement*>(a);
      placements.push_back({place->rect, place->window, b == reinterpret_cast<long>(&place->rect)});
    }
    return FakeShellFrame::ExecuteAction(name, a, b);
  }
  std::vector<Placement> placements;
};

class TvPageTest : public ::testing::Test {
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
    wc.lpszClassName = "TvPageTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "TvPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_TV;
    TV().m_nTVMode = 2;
    TV().m_nPageType = 1;
    frame.window = window_;
    frame.config = config_.get();
    page = std::make_unique<CTvPage>(frame);
    page->AttachWindow(window_);
    page->Create();
    g_page = page.get();
    ASSERT_EQ(page->EnterModule(), 1);
    Pump();
    frame.executed.clear();
    frame.calls.clear();
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

  CTVConfig& TV() { return *config_->m_pTV; }
  // What the page sent, but the picture's placing (its arguments point into
  // the page's stack; the placing test reads them through the frame).
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const auto& e : frame.executed)
      if (e.name != "TV Resize Video" && e.name != "TV Hide Video")
        out.push_back(e.name + " " + std::to_string(e.a) + " " + std::to_string(e.b));
    return out;
  }
  void Channels(std::vector<std::uint32_t> numbers, std::vector<int> enabled) {
    TV().m_signalChannels = std::move(numbers);
    TV().m_channelEnable = std::move(enabled);
    TV().m_nChannelCount = static_cast<int>(TV().m_signalChannels.size());
    TV().m_channelNames = {{5, "Alpha"}, {7, "Bravo"}, {21, "Charlie"}};
  }

  // Paints the whole page and counts the pixels of `colour` (0x00RRGGBB as
  // the surface stores it) inside `box`.
  int CountColour(std::uint32_t colour, const plat::RECT& box) {
    plat::InvalidateRect(window_, nullptr, plat::FALSE);
    Pump();
    auto surface = plat::GetBitmapSurface(page->BackBuffer());
    if (!surface) return -1;
    int n = 0;
    for (int y = std::max(0L, static_cast<long>(box.top)); y < std::min<long>(box.bottom, surface->height()); ++y)
      for (int x = std::max(0L, static_cast<long>(box.left)); x < std::min<long>(box.right, surface->width()); ++x)
        n += (surface->pixel(x, y) & 0xFFFFFF) == colour;
    return n;
  }
  plat::RECT ItemRect(const char* list, int item) {
    int l = -1;
    plat::RECT r{};
    if (page->Layout()->FindList(list, l)) page->GetListItemScreenRect(item, l, &r);
    return r;
  }

  marivel_test::TempRegistry registry_;
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;

 public:
  TvFrame frame;
  std::unique_ptr<CTvPage> page;
  int inkFrom_ = -1;
};

TEST_F(TvPageTest, EnterModuleLoadsThePreviewAndPlacesTheVideo) {
  EXPECT_EQ(page->CurrentPath(), "TV\\Preview");
  plat::HWND window = nullptr;
  plat::RECT video{};
  ASSERT_EQ(page->GetDisplayWindow(&window, &video), 1);
  EXPECT_EQ(window, window_);
  EXPECT_EQ(video.right - video.left, 1280);
  // The controller was told where: the picture's rectangle and the page's
  // window, and the rectangle alone as the second number.
  ASSERT_FALSE(frame.placements.empty());
  const TvFrame::Placement& placed = frame.placements.back();
  EXPECT_EQ(placed.rect.left, video.left);
  EXPECT_EQ(placed.rect.top, video.top);
  EXPECT_EQ(placed.rect.right, video.right);
  EXPECT_EQ(placed.rect.bottom, video.bottom);
  EXPECT_EQ(placed.window, window_);
  EXPECT_TRUE(placed.secondIsTheRect);
  // A page without the live picture hides it.
  frame.executed.clear();
  ASSERT_EQ(page->ShowPage("TV\\ChannelSetting"), 1);
  EXPECT_EQ(page->GetDisplayWindow(&window, &video), 0);
  EXPECT_TRUE(frame.Executed("TV Hide Video"));
  EXPECT_FALSE(frame.Executed("TV Resize Video"));
}

TEST_F(TvPageTest, ChannelDigits) {
  for (const char* key : {"TV Key 0", "TV Key 4", "TV Key 2"}) EXPECT_EQ(page->OnAction(key), 1);
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Set Channel 42 0"});
  EXPECT_EQ(page->Digits().count(), 0);

  frame.executed.clear();
  EXPECT_EQ(page->OnAction("TV Key 7"), 1);
  EXPECT_TRUE(Sent().empty());
  page->OnTimer(TV_DIGIT_TIMER);
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Set Channel 7 0"});

  // Presets: positions in the preset list, and nothing outside it.
  TV().m_bPresetMapping = 1;
  TV().m_arrPresetChannels = {5, 7, 21};
  TV().m_nPresetCount = 3;
  for (const auto& [digit, sent] : std::vector<std::pair<const char*, std::vector<std::string>>>{
           {"TV Key 2", {"TV Set Channel 7 0"}}, {"TV Key 0", {}}, {"TV Key 4", {}}}) {
    frame.executed.clear();
    page->OnAction(digit);
    page->OnTimer(TV_DIGIT_TIMER);
    EXPECT_EQ(Sent(), sent) << digit;
  }

  // Without the live picture or the time shift, digits are not taken.
  TV().m_nTVMode = 3;
  frame.executed.clear();
  EXPECT_EQ(page->OnAction("TV Key 1"), 0);
  EXPECT_TRUE(frame.executed.empty());
}

TEST_F(TvPageTest, TeletextDigits) {
  for (const char* key : {"TV Teletext Key 0", "TV Teletext Key 9", "TV Teletext Key 1", "TV Teletext Key 0",
                          "TV Teletext Key 0", "TV Teletext Key 2"})
    page->OnAction(key);
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Set Page 100 0"});
  EXPECT_EQ(page->Digits().value(), 2);  // the fourth digit starts a new number
  // Over teletext in the preview, the channel keys type page numbers.
  page->ResetDigitEntry();
  TV().m_nTeletextDisplay = 1;
  frame.executed.clear();
  for (const char* key : {"TV Key 3", "TV Key 0", "TV Key 1"}) page->OnAction(key);
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Set Page 301 0"});
}

TEST_F(TvPageTest, GuideOnlyFromTheLivePictureAndOtherNamesGoToTheController) {
  TV().m_nTVMode = 4;
  EXPECT_EQ(page->OnAction("TV NextView Page"), 0);
  EXPECT_EQ(page->CurrentPath(), "TV\\Preview");
  EXPECT_TRUE(frame.executed.empty());

  frame.actionResult = 7;
  EXPECT_EQ(page->OnAction("TV Record"), 7);
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Record 0 0"});
  frame.executed.clear();
  TV().m_nPageType = 2;
  EXPECT_EQ(page->OnAction("TV Preview Page"), 7);
  EXPECT_EQ(page->CurrentPath(), "TV\\Preview");
  EXPECT_TRUE(frame.Executed("TV Preview Page"));
}

TEST_F(TvPageTest, EnterOverTheLivePictureOpensTheMainMenu) {
  TV().m_nTVMode = 3;  // recording: nothing
  EXPECT_EQ(page->PressFocusedEntry(), 0);
  EXPECT_EQ(page->CurrentPath(), "TV\\Preview");
  TV().m_nTVMode = 2;
  page->PressFocusedEntry();
  EXPECT_EQ(page->CurrentPath(), "TV\\MainMenu");
  EXPECT_TRUE(frame.Executed("TV MainMenu Page"));
}

TEST_F(TvPageTest, VendorFourChannelEditor) {
  frame.options.vendorId = 4;
  Channels({5, 7, 21}, {1, 1, 1});
  TV().m_nPageType = 8;
  TV().m_nChannelEditMode = 0;
  ASSERT_EQ(page->ShowPage("TV\\ChannelSetting"), 1);
  ASSERT_EQ(page->SetChannelListItemCount(3), 1);
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList("TV Channel List", list));

  // Nothing selected: the editor's actions do nothing.
  EXPECT_EQ(page->OnAction("TV Move"), 0);
  EXPECT_EQ(page->OnAction("TV Disable"), 0);

  // Select the first channel and move it: up does nothing, down swaps.
  page->OnListItemAction(list, 0);
  EXPECT_EQ(TV().m_nChannelEditMode, 1);
  EXPECT_EQ(page->SelectedChannel(), 0);
  ASSERT_EQ(page->OnAction("TV Move"), 1);
  EXPECT_EQ(TV().m_nChannelEditMode, 2);
  page->OnKeyUp(0);
  EXPECT_EQ(TV().m_signalChannels, (std::vector<std::uint32_t>{5, 7, 21}));
  page->OnKeyDown(0);
  page->OnKeyDown(0);
  EXPECT_EQ(TV().m_signalChannels, (std::vector<std::uint32_t>{7, 21, 5}));
  page->OnKeyDown(0);  // already last
  EXPECT_EQ(TV().m_signalChannels, (std::vector<std::uint32_t>{7, 21, 5}));
  page->OnListItemAction(list, 2);  // a row activated again ends the move
  EXPECT_EQ(TV().m_nChannelEditMode, 0);

  // Disable flips the selected channel and tells the controller.
  page->OnListItemAction(list, 1);
  frame.executed.clear();
  ASSERT_EQ(page->OnAction("TV Disable"), 1);
  EXPECT_EQ(TV().m_channelEnable, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Enable Channel 21 0"});
  EXPECT_EQ(TV().m_nChannelEditMode, 0);
}

TEST_F(TvPageTest, ChannelRowsAreWhiteWhenEnabledAndDarkWhenDisabled) {
  Channels({5, 7}, {1, 0});
  TV().m_nPageType = 8;
  ASSERT_EQ(page->ShowPage("TV\\ChannelSetting"), 1);
  page->SetChannelListItemCount(2);
  plat::InvalidateRect(window_, nullptr, plat::FALSE);
  Pump();
  auto surface = plat::GetBitmapSurface(page->BackBuffer());
  ASSERT_TRUE(surface);
  int white = 0, dark = 0;
  for (int y = 0; y < surface->height(); ++y) {
    for (int x = 0; x < surface->width(); ++x) {
      const std::uint32_t p = surface->pixel(x, y) & 0xFFFFFF;  // BGRA: red in bits 16..23
      white += p == 0xFFFFFF;
      dark += p == 0x163353;  // COLORREF 0x533316 as a pixel
    }
  }
  EXPECT_GT(white, 50);
  EXPECT_GT(dark, 50);
}

TEST_F(TvPageTest, TheBarTooltipGoesDownForAPageNumberAResetAndAResize) {
  const std::string hide = "ShowPlaybackTooltip 0";
  frame.calls.clear();
  for (const char* key : {"TV Teletext Key 1", "TV Teletext Key 0"}) page->OnAction(key);
  EXPECT_EQ(frame.Count(hide), 0);
  page->OnAction("TV Teletext Key 5");  // the third digit sends the page
  EXPECT_EQ(frame.Count(hide), 1);
  page->ResetDigitEntry();
  EXPECT_EQ(frame.Count(hide), 2);
  page->OnDisplayResize();
  EXPECT_EQ(frame.Count(hide), 3);
}

TEST_F(TvPageTest, EntryPointsThePlaybackBarAtTheTvButtonsAndMakesTheCaptionBar) {
  ASSERT_EQ(page->EnterModule(), 1);
  EXPECT_EQ(frame.Count("ShowCaptionBar"), 1);
  EXPECT_EQ(frame.Count(std::string("SetPlaybackBarPath ") + TV_PLAYBACK_BAR_PATH), 1);
  // The preview hides the caption bar; the main menu shows it.
  EXPECT_EQ(frame.calls.back().rfind("SetOsdOwner", 0), 0u);
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 0 0"), 1);
  frame.calls.clear();
  page->OnAction("TV MainMenu Page");
  EXPECT_EQ(frame.Count(std::string("SetPlaybackBarPath ") + TV_PLAYBACK_BAR_PATH), 1);
  EXPECT_EQ(frame.Count("SetCaptionBarVisible 1 0"), 1);
}

TEST_F(TvPageTest, MouseShowsTheBarsAndTheIdleTimerHidesThem) {
  struct Case {
    int pageType, teletext;
    std::vector<std::string> onMove, onIdle;
  } cases[] = {
      {1, 0, {"SetCaptionBarVisible 1 0", "SetPlaybackBarVisible 1 0"},
       {"SetCaptionBarVisible 0 0", "SetPlaybackBarVisible 0 0"}},
      // Over teletext only the caption bar comes.
      {1, 1, {"SetCaptionBarVisible 1 0"}, {"SetCaptionBarVisible 0 0", "SetPlaybackBarVisible 0 0"}},
      // The main menu keeps its caption bar.
      {2, 0, {"SetCaptionBarVisible 1 0", "SetPlaybackBarVisible 1 0"}, {"SetPlaybackBarVisible 0 0"}},
      // Other pages: no bars from the mouse.
      {7, 0, {}, {"SetPlaybackBarVisible 0 0"}},
  };
  auto bars = [&] {
    std::vector<std::string> out;
    for (const auto& c : frame.calls)
      if (c.find("BarVisible") != std::string::npos) out.push_back(c);
    return out;
  };
  for (const Case& c : cases) {
    TV().m_nPageType = c.pageType;
    TV().m_nTeletextDisplay = c.teletext;
    frame.calls.clear();
    page->OnMouseMove(10, 10);
    EXPECT_EQ(bars(), c.onMove) << c.pageType << " " << c.teletext;
    frame.calls.clear();
    EXPECT_EQ(page->OnTimer(TV_CURSOR_TIMER), 1);
    EXPECT_EQ(bars(), c.onIdle) << c.pageType << " " << c.teletext;
  }
  // A cursor resting on a bar keeps it.
  TV().m_nPageType = 1;
  TV().m_nTeletextDisplay = 0;
  frame.cursorOverBars = true;
  frame.calls.clear();
  page->OnTimer(TV_CURSOR_TIMER);
  EXPECT_TRUE(bars().empty());
}

TEST_F(TvPageTest, ClicksOnThePicture) {
  // On the live picture a click opens the main menu.
  page->OnButtonUp(640, 360);
  EXPECT_EQ(page->CurrentPath(), "TV\\MainMenu");
  EXPECT_TRUE(frame.Executed("TV MainMenu Page"));
  // On the teletext page a click on the picture asks for the page afresh.
  ASSERT_EQ(page->ShowPage("TV\\Teletext"), 1);
  TV().m_nPageType = 6;
  plat::RECT video{};
  ASSERT_TRUE(page->GetStillImageScreenRectByName("TV Video", &video));
  frame.executed.clear();
  page->OnButtonUp((video.left + video.right) / 2, (video.top + video.bottom) / 2);
  EXPECT_EQ(Sent(), std::vector<std::string>{"TV Update Page 0 0"});
}

TEST_F(TvPageTest, GuideRowsDateAndKeys) {
  TV().m_nPageType = 10;
  ASSERT_EQ(page->ShowPage("TV\\NextView"), 1);
  const plat::RECT first = ItemRect("TV NextView List", 0), second = ItemRect("TV NextView List", 1);
  const int bare = CountColour(0x333333, first);
  TV().m_guideRows[0] = TVGuideRow{1, 1, "Evening\nNews", 18, 5, 19, 0};
  TV().m_guideRows[1] = TVGuideRow{0, 1, "Not on air", 20, 0, 21, 0};
  page->Redraw(0);
  EXPECT_GT(CountColour(0x333333, first), bare + 20);
  EXPECT_EQ(CountColour(0x333333, second), bare);
  // Only marked rows can be chosen.
  int list = -1, shown = 0, enabled = 0, checked = 0;
  ASSERT_TRUE(page->Layout()->FindList("TV NextView List", list));
  ASSERT_EQ(page->QueryListItemState(list, 0, &shown, &enabled, &checked), 1);
  EXPECT_EQ(shown + enabled, 2);
  ASSERT_EQ(page->QueryListItemState(list, 2, &shown, &enabled, &checked), 1);
  EXPECT_EQ(shown + enabled, 0);

  std::tm day{};
  day.tm_year = 2026 - 1900, day.tm_mon = 2, day.tm_mday = 7, day.tm_isdst = -1;
  TV().m_nGuideRange = static_cast<int>(std::mktime(&day));
  EXPECT_EQ(page->ListTextFor("TV NextView Date"), "2026 / 03 / 07");

  frame.executed.clear();
  page->OnKeyLeft(0);
  page->OnKeyRight(0);
  page->OnKeyUp(0);
  page->OnKeyDown(0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"TV NextView Prev Date 0 0", "TV NextView Next Date 0 0",
                                              "TV NextView Prev Item 0 0", "TV NextView Next Item 0 0"}));
}

TEST_F(TvPageTest, WallPagesFromItsTopAndBottomRows) {
  TV().m_nPageType = 3;
  ASSERT_EQ(page->ShowPage("TV\\TVWall"), 1);
  ASSERT_EQ(page->SetTVWallItemCount(9), 1);
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList("TV TVWall List", list));
  const struct {
    int item;
    bool up;
    const char* sent;
  } cases[] = {{0, true, "TV TVWall Prev Page 0 0"}, {2, true, "TV TVWall Prev Page 0 0"}, {4, true, nullptr},
               {6, false, "TV TVWall Next Page 0 0"}, {8, false, "TV TVWall Next Page 0 0"}, {4, false, nullptr}};
  for (const auto& c : cases) {
    page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, c.item));
    frame.executed.clear();
    c.up ? page->OnKeyUp(0) : page->OnKeyDown(0);
    EXPECT_EQ(Sent(), c.sent ? std::vector<std::string>{c.sent} : std::vector<std::string>{}) << c.item;
  }
}

TEST_F(TvPageTest, VendorFourRowsShowPresetNameAndNumber) {
  frame.options.vendorId = 4;
  Channels({5, 7, 21}, {1, 0, 1});
  TV().m_nPageType = 8;
  ASSERT_EQ(page->ShowPage("TV\\ChannelSetting"), 1);
  page->OnAction("TV ChannelSetting Page");
  page->SetChannelListItemCount(3);
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList("TV Channel List", list));
  plat::RECT preset{}, number{};
  ASSERT_TRUE(page->GetListTextScreenRectByName("PRESET", "TV Channel List", &preset));
  ASSERT_TRUE(page->GetListTextScreenRectByName("CHNUMBER", "TV Channel List", &number));
  auto cell = [&](const plat::RECT& column, int row) {
    const plat::RECT item = ItemRect("TV Channel List", row);
    return plat::RECT{column.left, item.top, column.right, item.bottom};
  };
  // Every row shows its number; a disabled channel has no preset, and the
  // third channel is the second preset.
  for (int row = 0; row < 3; ++row) EXPECT_GT(CountColour(0xFFFFFF, cell(number, row)), 10) << row;
  EXPECT_GT(CountColour(0xFFFFFF, cell(preset, 0)), 10);
  EXPECT_EQ(CountColour(0xFFFFFF, cell(preset, 1)), 0);
  EXPECT_GT(CountColour(0xFFFFFF, cell(preset, 2)), 10);
  // The disabled channel's colour belongs to the other vendors' rows.
  EXPECT_EQ(CountColour(0x163353, ItemRect("TV Channel List", 1)), 0);

  // With a channel selected the arrows keep the selection where it is.
  page->OnListItemAction(list, 0);
  ASSERT_EQ(TV().m_nChannelEditMode, 1);
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, 0));
  const int focused = page->FocusedEntry();
  EXPECT_EQ(page->OnKeyLeft(0), 0);
  EXPECT_EQ(page->OnKeyRight(0), 0);
  EXPECT_EQ(page->OnKeyUp(0), 0);
  EXPECT_EQ(page->FocusedList(), list);
  EXPECT_EQ(page->FocusedEntry(), focused);
}

TEST_F(TvPageTest, TheMainMenuOpensOnTheScheduleAndTheScanTextsFollowTheVendor) {
  // Return on the freshly opened main menu presses the schedule link.
  ASSERT_EQ(page->ShowPage("TV\\MainMenu"), 1);
  TV().m_nPageType = 2;
  frame.executed.clear();
  page->PressFocusedEntry();
  EXPECT_TRUE(frame.Executed("TV Schedule Page"));

  // The auto-scan channel name: centred, or from the left with vendor 4.
  TV().m_strChannelName = "Alpha";
  TV().m_strProgressText = "42";
  const auto firstInk = [&]() {
    ASSERT_EQ(page->ShowPage("TV\\AutoScan"), 1);
    plat::RECT r{};
    EXPECT_TRUE(page->GetTextScreenRectByName("TV AutoScan Channel Name", &r));
    // The name is drawn near white on the dark page: its first column from
    // the box's left edge.
    CountColour(0, r);  // paints the page
    inkFrom_ = -1;
    auto surface = plat::GetBitmapSurface(page->BackBuffer());
    ASSERT_TRUE(surface);
    for (int x = r.left; x < r.right && inkFrom_ < 0; ++x)
      for (int y = r.top; y < r.bottom; ++y)
        if ((surface->pixel(x, y) & 0xFF) > 200 && ((surface->pixel(x, y) >> 16) & 0xFF) > 200) {
          inkFrom_ = x - r.left;
          break;
        }
  };
  firstInk();
  EXPECT_GT(inkFrom_, 100) << "centred";
  frame.options.vendorId = 4;
  firstInk();
  EXPECT_GE(inkFrom_, 0);
  EXPECT_LT(inkFrom_, 20) << "from the left";
}

}  // namespace
