// The TV page on the headless display with the default skin: digit entry,
// actions forwarded to the controller, the channel editor and the channel
// rows' colours.
#include "lounge/pages/tv/tv_page.h"

#include <gtest/gtest.h>

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

  marivel_test::TempRegistry registry_;
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;

 public:
  pages::FakeShellFrame frame;
  std::unique_ptr<CTvPage> page;
};

TEST_F(TvPageTest, EnterModuleLoadsThePreviewAndPlacesTheVideo) {
  EXPECT_EQ(page->CurrentPath(), "TV\\Preview");
  plat::HWND window = nullptr;
  plat::RECT video{};
  ASSERT_EQ(page->GetDisplayWindow(&window, &video), 1);
  EXPECT_EQ(window, window_);
  EXPECT_EQ(video.right - video.left, 1280);
  // A page without the live picture hides it.
  ASSERT_EQ(page->ShowPage("TV\\ChannelSetting"), 1);
  EXPECT_EQ(page->GetDisplayWindow(&window, &video), 0);
  EXPECT_TRUE(frame.Executed("TV Hide Video"));
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

}  // namespace
