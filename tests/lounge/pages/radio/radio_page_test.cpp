// The Radio page on the headless display with the default skin and a fake
// frame: the controller's calls, the digit entry with timer 88, the station
// row actions, the list_action states of every name the page answers, the
// add-station edit box, the recordings browser and the schedule rows.
#include "lounge/pages/radio/radio_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "corebridge/core/schedule_list.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/display/png_writer.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "platform/gdi/bitmap.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

CRadioPage* g_page = nullptr;

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

class FixedClock : public ILocalClock {
 public:
  plat::SYSTEMTIME now{};
  plat::SYSTEMTIME Now() const override { return now; }
};

plat::SYSTEMTIME At(int y, int mo, int d, int h, int mi) {
  plat::SYSTEMTIME t{};
  t.wYear = static_cast<plat::WORD>(y);
  t.wMonth = static_cast<plat::WORD>(mo);
  t.wDay = static_cast<plat::WORD>(d);
  t.wHour = static_cast<plat::WORD>(h);
  t.wMinute = static_cast<plat::WORD>(mi);
  return t;
}

CScheduleItem RadioSchedule(int hour, int minute, int minutes, int frequency, const std::string& file = "") {
  CScheduleItem s(SCHEDULE_RADIO);
  s.SetBeginDate(At(2026, 3, 2, hour, minute));
  s.SetDuration(minutes);
  s.SetRepeatMode(EVERYDAY);
  s.SetRadioFrequency(frequency);
  s.SetRecFileName(file);
  return s;
}

class RadioPageTest : public ::testing::Test {
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
    wc.lpszClassName = "RadioPageTestFrame";
    plat::RegisterClass(&wc);
    window_ = plat::CreateWindowEx(0, "RadioPageTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                   nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
    config_ = std::make_unique<CConfig>();
    config_->m_nActiveModule = MODULE_RADIO;
    Radio().m_nRecordState = RADIO_LISTENING;
    Radio().m_nPage = RADIO_ID_MAIN;
    clock_.now = At(2026, 3, 2, 12, 0);  // a Monday
    frame.window = window_;
    frame.config = config_.get();
    frame.schedules = &schedules_;
    page = std::make_unique<CRadioPage>(frame);
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
    if (page) page->Destroy();
    page.reset();
    UnregisterUIStringTable(strings_.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(window_)) plat::DestroyWindow(window_);
    Pump();
    if (started_) plat::display::StopDisplay();
  }

  CRadioConfig& Radio() { return *config_->m_pRadio; }
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const auto& e : frame.executed) out.push_back(e.name + " " + std::to_string(e.a));
    return out;
  }
  void Stations(int n, int band = RADIO_BAND_FM) {
    for (int i = 0; i < n; ++i)
      Radio().AddRadioStation(88000000 + i * 1000000, "Station " + std::to_string(i + 1), 1, band);
  }
  // Loads the layout of a page id the way the controller does.
  void Show(int id) {
    Radio().SetRadioPage(id);
    ASSERT_EQ(page->ShowCurrentPage(), 1) << id;
    page->RefreshStationList();
  }

  marivel_test::TempRegistry registry_;
  bool started_ = false;
  plat::HWND window_ = nullptr;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CConfig> config_;
  FixedClock clock_;
  CScheduleList schedules_{clock_};

 public:
  pages::FakeShellFrame frame;
  std::unique_ptr<CRadioPage> page;
};

TEST_F(RadioPageTest, EnterModuleMakesTheBarsAndLoadsTheMainPage) {
  page->Deactivate();
  frame.calls.clear();
  ASSERT_EQ(page->EnterModule(), 1);
  EXPECT_EQ(page->CurrentPath(), "Radio\\MainPage");
  EXPECT_EQ(frame.Count("ShowCaptionBar"), 1);
  EXPECT_EQ(frame.Count("SetPlaybackBarPath FloatingBar\\PlaybackBar\\RadioPlaybackBar"), 1);
  EXPECT_EQ(frame.active, static_cast<IModulePage*>(page.get()));
  EXPECT_EQ(page->GetWindowHandle(), window_);
}

TEST_F(RadioPageTest, EveryPageIdLoadsItsLayout) {
  for (int id = 0; id < 20; ++id) {
    SCOPED_TRACE(id);
    Radio().SetRadioPage(id);
    ASSERT_EQ(page->ShowCurrentPage(), 1);
    EXPECT_EQ(page->CurrentPath(), RadioPagePath(id));
    EXPECT_TRUE(page->IsLoaded());
  }
  Radio().SetRadioPage(21);
  EXPECT_EQ(page->ShowCurrentPage(), 0);
  Radio().SetRadioPage(-1);
  EXPECT_EQ(page->ShowCurrentPage(), 0);
  // The recorded-radio page is refused for vendor 4.
  frame.options.vendorId = 4;
  Radio().SetRadioPage(RADIO_ID_RECORDED);
  EXPECT_EQ(page->ShowCurrentPage(), 0);
}

TEST_F(RadioPageTest, DigitsTypeAFrequencyWhileListening) {
  struct Case {
    std::vector<int> digits;
    int band;
    bool timeout;
    std::vector<std::string> sent;
  };
  for (const Case& c : {Case{{1, 0, 5, 3, 5}, RADIO_BAND_FM, false, {"Radio Set Frequency Value 105350000"}},
                        Case{{9, 8, 7}, RADIO_BAND_FM, true, {"Radio Set Frequency Value 98700000"}},
                        Case{{9}, RADIO_BAND_FM, true, {"Radio Set Frequency Value 90000000"}},
                        Case{{1}, RADIO_BAND_FM, true, {"Radio Set Frequency Value 100000000"}},
                        Case{{9, 9, 9}, RADIO_BAND_AM, true, {"Radio Set Frequency Value 999000000"}}}) {
    SCOPED_TRACE(c.sent.front());
    frame.executed.clear();
    Radio().m_nCurBand = c.band;
    for (int d : c.digits) EXPECT_EQ(page->OnAction("Radio Key " + std::to_string(d)), 1);
    if (c.timeout) {
      EXPECT_TRUE(frame.executed.empty());
      page->OnTimer(RADIO_DIGIT_TIMER);
    }
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(page->Digits().count(), 0);
  }
  // The digits are shown on the OSD as typed.
  EXPECT_EQ(frame.Count("ShowOsdText 999"), 1);
  // Other states forward the key to the controller.
  frame.executed.clear();
  Radio().m_nRecordState = RADIO_RECORDING;
  EXPECT_EQ(page->OnAction("Radio Key 3"), 1);
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Key 3 0"});
  EXPECT_EQ(page->Digits().count(), 0);
  // ResetDigitEntry drops a running entry.
  Radio().m_nRecordState = RADIO_LISTENING;
  page->OnAction("Radio Key 9");
  EXPECT_EQ(page->ResetDigitEntry(), 1);
  frame.executed.clear();
  page->OnTimer(RADIO_DIGIT_TIMER);
  EXPECT_TRUE(frame.executed.empty());
}

TEST_F(RadioPageTest, Vendor4DigitsChoosePresetsOnTheMainStationPage) {
  frame.options.vendorId = 4;
  Stations(3);
  auto& list = *Radio().StationList(RADIO_BAND_FM);
  list[2].nPresetId = 0;
  list[0].nPresetId = 1;
  Show(RADIO_ID_MAIN_STATIONS);
  frame.executed.clear();
  page->OnAction("Radio Key 3");  // only two presets: nothing
  page->OnTimer(RADIO_DIGIT_TIMER);
  EXPECT_TRUE(frame.executed.empty());
  Radio().m_nCurFMStation = 1;
  page->OnAction("Radio Key 1");  // preset 0 is the third station
  page->OnTimer(RADIO_DIGIT_TIMER);
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Set Frequency Value 90000000"});
  EXPECT_EQ(Radio().m_nCurFMStation, 2);
  EXPECT_EQ(Radio().m_nPrevFMStation, 1);
}

TEST_F(RadioPageTest, StationRowsOfTheFrequencySettingPage) {
  Stations(3);
  Show(RADIO_ID_FREQUENCY_SETTING);
  int shown = 1, enabled = 1, checked = 0;
  ASSERT_EQ(page->QueryRadioListAction("Radio Station 1 Up", &shown, &enabled, &checked), 1);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(enabled, 0);  // the top row cannot go up
  frame.executed.clear();
  EXPECT_EQ(page->OnAction("Radio Station 1 Up"), 1);
  EXPECT_EQ(Radio().StationList(RADIO_BAND_FM)->at(0).strName, "Station 1");
  EXPECT_TRUE(frame.executed.empty());

  EXPECT_EQ(page->OnAction("Radio Station 1 Down"), 1);
  EXPECT_EQ(Radio().StationList(RADIO_BAND_FM)->at(0).strName, "Station 2");
  EXPECT_EQ(Radio().StationList(RADIO_BAND_FM)->at(1).strName, "Station 1");
  EXPECT_EQ(page->OnAction("Radio Station 3 Delete"), 1);
  EXPECT_EQ(Radio().GetRadioStationCount(RADIO_BAND_FM), 2);
  EXPECT_EQ(page->DisplayItemCount(), 2);
  // A row without a station is hidden and its name goes to the controller.
  shown = enabled = 1;
  ASSERT_EQ(page->QueryRadioListAction("Radio Station 3 Delete", &shown, &enabled, &checked), 1);
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(enabled, 0);
  page->OnAction("Radio Station 3 Delete");
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Station 3 Delete 0"});
  // Down on the last station, and nothing while scanning.
  shown = enabled = 1;
  page->QueryRadioListAction("Radio Station 2 Down", &shown, &enabled, &checked);
  EXPECT_EQ(enabled, 0);
  Radio().m_nRecordState = RADIO_SCANNING;
  shown = enabled = 1;
  page->QueryRadioListAction("Radio Station 1 Delete", &shown, &enabled, &checked);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(enabled, 0);
}

// Every name of the list_action table, in a state that shows its answer.
// kKept marks an output left as preset (shown 1, enabled 1, checked 0 when
// they come in as 7, 7, 7).
constexpr int kKept = 7;
struct StateCase {
  const char* name;
  int page, state, band;
  int answered, shown, enabled, checked;
};

TEST_F(RadioPageTest, ListActionTable) {
  Stations(2);
  Radio().m_bRadioText = 1;
  const StateCase cases[] = {
      {"Radio Finetune Down", 2, RADIO_LISTENING, 2, 1, kKept, 1, kKept},
      {"Radio Finetune Up", 2, RADIO_SCANNING, 2, 1, kKept, 0, kKept},
      {"Radio AutoScan", 2, RADIO_RECORDING, 2, 1, kKept, 0, kKept},
      {"Radio RadioText Page", 2, RADIO_LISTENING, 2, 1, kKept, 1, kKept},
      {"Radio RadioText Page", 2, RADIO_SCANNING, 2, 1, kKept, 0, kKept},
      {"Radio RecordedRadio Page", 2, RADIO_RECORDING, 2, 1, kKept, 0, kKept},
      {"Radio Setting RadioArea Left", 11, RADIO_LISTENING, 2, 1, kKept, 1, kKept},
      {"Radio Schedule Page", 2, RADIO_RECORDING, 2, 1, kKept, kKept, kKept},
      {"Radio Setting Page", 2, RADIO_SCANNING, 2, 1, kKept, kKept, kKept},
      {"Radio Burn Material Page", 4, RADIO_LISTENING, 2, 0, kKept, kKept, kKept},
      {"Radio Sch StartTime APM Left", 15, RADIO_LISTENING, 2, 0, kKept, kKept, kKept},
      {"Radio Sch EndTimeMinute Right", 15, RADIO_LISTENING, 2, 0, kKept, kKept, kKept},
      {"Radio Clear Schedule History", 9, RADIO_LISTENING, 2, 0, kKept, kKept, kKept},
      {"Radio RadioSetting Page", 11, RADIO_SCANNING, 2, 1, kKept, 1, kKept},
      {"Radio RecordSetting Page", 11, RADIO_LISTENING, 2, 0, kKept, 1, kKept},
      {"Radio Sch RecordFormat Left", 15, RADIO_LISTENING, 2, 0, kKept, kKept, kKept},
      {"Radio GeneralStation Page", 2, RADIO_SCANNING, 2, 1, kKept, 0, kKept},
      {"Radio Setting RadioAMScanfreqscale Right", 12, RADIO_LISTENING, 2, 1, kKept, 1, kKept},
      {"Radio Sch SelectRadioStation", 15, RADIO_LISTENING, 2, 1, kKept, 0, kKept},
      {"Radio Sch BeginDate Left", 15, RADIO_LISTENING, 2, 1, kKept, 0, kKept},  // EVERYDAY schedule
      {"Radio CancelSchedule", 15, RADIO_LISTENING, 2, 1, 1, 1, kKept},
      {"Radio CancelSchedule", 6, RADIO_LISTENING, 2, 1, 0, 0, kKept},
      {"Radio Setting RadioSource Left", 12, RADIO_LISTENING, 2, 1, kKept, 1, kKept},
      {"Radio Setting RadioSource Right", 12, RADIO_RECORDING, 2, 1, kKept, 0, kKept},
      {"Radio Setting RadioLineIn Left", 12, RADIO_LISTENING, 2, 1, kKept, 0, kKept},  // one line-in only
      {"Radio AddStation", 2, RADIO_LISTENING, 2, 1, kKept, 1, 0},
      {"Radio Setting RecordFormat Left", 14, RADIO_RECORDING, 2, 1, kKept, 0, kKept},
      {"Radio Setting Restore", 14, RADIO_SCANNING, 2, 1, kKept, 1, kKept},
      {"Radio Setting RecordTo Right", 14, RADIO_LISTENING, 2, 1, kKept, 0, kKept},
      {"Radio SortBy Name", 4, RADIO_LISTENING, 2, 1, 1, 1, kKept},
      {"Radio SortBy Name Pressed", 4, RADIO_LISTENING, 2, 1, 0, 0, kKept},
      {"Radio SortBy Frequency", 13, RADIO_SCANNING, 2, 1, 1, 0, kKept},
      {"Radio Delete", 18, RADIO_LISTENING, 2, 1, kKept, 0, kKept},
      {"Radio Move", 19, RADIO_LISTENING, 2, 1, kKept, 0, 0},
      {"Radio Choose FM", 2, RADIO_LISTENING, 2, 1, 0, 1, kKept},
      {"Radio Choose AM", 2, RADIO_LISTENING, 2, 1, 1, 1, kKept},
      {"Radio Choose AM", 2, RADIO_RECORDING, 2, 1, 1, 0, kKept},
      {"Radio Choose FM Pressed", 2, RADIO_LISTENING, 2, 1, 1, kKept, kKept},
      {"Radio Choose AM Pressed", 2, RADIO_LISTENING, 2, 1, 0, kKept, kKept},
      {"Radio Rename Pressed", 18, RADIO_LISTENING, 2, 1, 0, 0, kKept},
      {"Radio Play", 4, RADIO_LISTENING, 2, 1, kKept, 1, kKept},
      {"Radio Play", 2, RADIO_LISTENING, 2, 1, kKept, 0, kKept},
      {"Radio Nothing Like This", 2, RADIO_LISTENING, 2, 0, kKept, kKept, kKept},
  };
  // Two sources, the first with one line-in.
  SetProfileListSize(*Radio().m_pProfiles1, 2);
  SetProfileArraySize(Radio().m_pProfiles1->m_profiles[0], 0, 1);
  for (const StateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " page " << c.page << " state " << c.state);
    Radio().m_nPage = c.page;
    Radio().m_nRecordState = c.state;
    Radio().m_nCurBand = c.band;
    int shown = kKept, enabled = kKept, checked = kKept;
    EXPECT_EQ(page->QueryRadioListAction(c.name, &shown, &enabled, &checked), c.answered);
    if (c.answered) {
      EXPECT_EQ(shown, c.shown);
      EXPECT_EQ(enabled, c.enabled);
      EXPECT_EQ(checked, c.checked);
    }
  }
  // "pageup"/"pagedown" follow the display list's scrolling.
  Stations(20);
  Show(RADIO_ID_GENERAL_STATIONS);
  int shown = 1, enabled = 1, checked = 0;
  ASSERT_EQ(page->QueryRadioListAction("pageup", &shown, &enabled, &checked), 1);
  EXPECT_EQ(enabled, 0);
  ASSERT_EQ(page->QueryRadioListAction("pagedown", &shown, &enabled, &checked), 1);
  EXPECT_EQ(enabled, 1);
}

TEST_F(RadioPageTest, AddStationEditBox) {
  Show(RADIO_ID_ADD_STATION);
  const plat::HWND box = page->FrequencyEditBox();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(plat::IsWindowVisible(box));
  // Empty: back to where the user came from.
  page->OnRenameEditKey(box, plat::VK_RETURN);
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Back 0"});
  // Not a frequency: refused, box emptied, nothing added.
  for (const char* typed : {"123456", "98a", "2149"}) {
    SCOPED_TRACE(typed);
    frame.executed.clear();
    Radio().m_nCurBand = std::string(typed) == "2149" ? RADIO_BAND_AM : RADIO_BAND_FM;
    plat::SetWindowText(box, typed);
    page->OnRenameEditKey(box, plat::VK_RETURN);
    EXPECT_TRUE(frame.executed.empty());
    EXPECT_EQ(plat::GetWindowTextString(box), "");
    EXPECT_EQ(Radio().GetRadioStationCount(RADIO_BAND_CURRENT), 0);
  }
  // A frequency: added with its text as the name, then back.
  Radio().m_nCurBand = RADIO_BAND_FM;
  plat::SetWindowText(box, "985");
  page->OnRenameEditKey(box, plat::VK_RETURN);
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Back 0"});
  RadioStation station;
  ASSERT_EQ(Radio().GetRadioStation(0, station, RADIO_BAND_FM), 1);
  EXPECT_EQ(station.nFrequency, 98500000);
  EXPECT_EQ(station.strName, "98.50");
  EXPECT_EQ(station.nSelect, 1);
  EXPECT_EQ(station.nPresetId, -1);
  // AM takes kHz.
  Radio().m_nCurBand = RADIO_BAND_AM;
  plat::SetWindowText(box, "999");
  page->OnRenameEditKey(box, plat::VK_RETURN);
  ASSERT_EQ(Radio().GetRadioStation(0, station, RADIO_BAND_AM), 1);
  EXPECT_EQ(station.nFrequency, 999000000);
  EXPECT_EQ(station.strName, "999");
  // Any other page hides the box.
  Show(RADIO_ID_MAIN);
  EXPECT_FALSE(plat::IsWindowVisible(box));
}

TEST_F(RadioPageTest, ValueTextsByBand) {
  EXPECT_EQ(page->ValueText("Radio Frequency Text"), "100.70 MHz");
  EXPECT_EQ(page->ValueText("Radio Finetune Down Text"), "-0.05MHz");
  Radio().m_nCurBand = RADIO_BAND_AM;
  Radio().m_nCurAMFrequency = 1602000000;
  EXPECT_EQ(page->ValueText("Radio Frequency Text"), "1602 kHz");
  EXPECT_EQ(page->ValueText("Radio Finetune Up Text"), "+9kHz");
  EXPECT_EQ(page->ValueText("Radio AMScanfreqscale Text"), "9kHz");
  EXPECT_EQ(page->ValueText("Radio FMFinetunescale Text"), "0.05MHz");
  Radio().m_nCurArea = 2;
  Radio().m_nRecordFormat = 3;
  Radio().m_nScanPrecision = 9;  // out of range: the skin's default
  EXPECT_EQ(page->ValueText("Radio Area Text"), "USA");
  EXPECT_EQ(page->ValueText("Radio RecordFormat Text"), "WMA 64 kbit/s");
  EXPECT_EQ(page->ValueText("Radio ScanPrecision Text"), "");
  EXPECT_EQ(page->ValueText("Radio Autoscan Progress Text"), "");
  Radio().m_nRecordState = RADIO_SCANNING;
  Radio().m_nScanProgress = 42;
  EXPECT_EQ(page->ValueText("Radio Autoscan Progress Text"), "42%");
  // Source and line-in texts of the current source.
  SetProfileListSize(*Radio().m_pProfiles1, 2);
  Radio().m_pProfiles1->m_profiles[1].m_strName = "Tuner card";
  SetProfileArraySize(Radio().m_pProfiles1->m_profiles[1], 0, 2);
  const std::string line = "Line 2";
  std::copy(line.begin(), line.end(), Radio().m_pProfiles1->m_profiles[1].m_wideItems[1].begin());
  Radio().m_nSourceDevice = 1;
  Radio().m_nSourceLine = 1;
  EXPECT_EQ(page->ValueText("Radio Source Text"), "Tuner card");
  EXPECT_EQ(page->ValueText("Radio LineIn Text"), "Line 2");
  Radio().m_nSourceDevice = 5;
  EXPECT_EQ(page->ValueText("Radio Source Text"), "");
  // The schedule being edited.
  *Radio().m_pEditSchedule = RadioSchedule(20, 15, 90, 98500000);
  EXPECT_EQ(page->ValueText("Radio Sch SelectRadioStation Text"), "98.50 MHz");
  EXPECT_EQ(page->ValueText("Radio Sch RepeatMode Text"), "Every day");
  EXPECT_EQ(page->ValueText("Radio Sch StartTime Hour Text"), "08");
  EXPECT_EQ(page->ValueText("Radio Sch EndTime Minute Text"), "45");
  EXPECT_EQ(page->ValueText("Radio Sch EndTime APM Text"), "PM");
  EXPECT_EQ(page->ValueText("Radio Sch BeginDate Text"), "Mar 02, 26");
  EXPECT_EQ(page->CurrentScheduleText(), "Mar 02, 1 08:15 PM~09:45 PM, Every day");
  frame.options.vendorId = 4;
  EXPECT_EQ(page->ValueText("Radio Sch StartTime Hour Text"), "2000");
}

TEST_F(RadioPageTest, SignalBarFillsByLevel) {
  const plat::RECT bar{100, 10, 500, 40};
  EXPECT_EQ(CRadioPage::SignalBarRect(bar, 5).right, 500);
  EXPECT_EQ(CRadioPage::SignalBarRect(bar, 0).right, 100);
  EXPECT_EQ(CRadioPage::SignalBarRect(bar, 3).right, 340);
  EXPECT_EQ(CRadioPage::SignalBarRect(bar, 9).right, 500);
  EXPECT_EQ(CRadioPage::SignalBarRect(bar, -2).right, 100);
  // The RDS block needs the display area and a back buffer.
  Radio().m_nSignalLevel = 5;
  Radio().m_strRdsStation = "MARIVEL";
  page->Redraw(1);
  Pump();
  EXPECT_EQ(page->DrawRadioText(), 1);
  ASSERT_EQ(page->ShowPage("Common\\Rename"), 1);
  EXPECT_EQ(page->DrawRadioText(), 0);
}

TEST_F(RadioPageTest, MainPageShowsFrequencyRdsAndSignal) {
  Radio().m_nSignalLevel = 0;
  page->Redraw(1);
  Pump();
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList(RADIO_DISPLAY_AREA, list));
  std::string background;
  ASSERT_TRUE(page->Layout()->GetBackgroundImage(background));
  auto element = [&](const char* name, app_test::Box& box, plat::COLORREF& colour) {
    int text = -1;
    plat::RECT r{};
    ASSERT_TRUE(page->Layout()->FindListText(name, text, list)) << name;
    ASSERT_TRUE(page->GetListTextScreenRect(text, list, &r));
    ASSERT_TRUE(page->GetListTextColour(list, text, &colour));
    box = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  app_test::Box frequency{}, station{}, signal{};
  plat::COLORREF frequencyColour = 0, unused = 0;
  element("Radio Frequency Text", frequency, frequencyColour);
  element("RadioTxt TopStationName Text", station, unused);
  element("Radio SignalLevel Position", signal, unused);
  auto shot = [&] { return plat::GetBitmapSurface(page->BackBuffer()); };
  plat::SurfacePtr before = shot();
  ASSERT_TRUE(before);
  EXPECT_TRUE(app_test::TextMatches(*before, frequency, background, "100.70 MHz", ALIGN_CENTER, frequencyColour));
  EXPECT_FALSE(app_test::TextMatches(*before, frequency, background, "99.00 MHz", ALIGN_CENTER, frequencyColour));
  EXPECT_LT(app_test::BrightShare(*before, signal), 0.05);  // no signal: an empty bar

  // The controller tunes a station with RDS and calls DrawRadioText. The
  // name comes padded to its eight characters and is drawn centred without.
  Radio().m_nCurFMFrequency = 98500000;
  Radio().m_strRdsStation = "MARIVEL ";
  EXPECT_EQ(page->ValueText("RadioTxt TopStationName Text"), "MARIVEL");
  Radio().m_nSignalLevel = 5;
  ASSERT_EQ(page->DrawRadioText(), 1);
  plat::SurfacePtr after = shot();
  EXPECT_TRUE(app_test::TextMatches(*after, frequency, background, "98.50 MHz", ALIGN_CENTER, frequencyColour));
  EXPECT_TRUE(app_test::TextMatches(*after, station, background, "MARIVEL", ALIGN_CENTER, 0xFFFFFF));
  EXPECT_GT(app_test::BrightShare(*after, signal, 90), 0.4);
  if (const char* out = std::getenv("RADIO_PAGE_SHOT")) plat::display::WritePng(*after, out);
  // Half the bar at level 2 or 3: the right part stays dark.
  Radio().m_nSignalLevel = 2;
  page->DrawRadioText();
  after = shot();
  const app_test::Box rightPart{signal.left + signal.width / 2, signal.top, signal.width / 2, signal.height};
  EXPECT_LT(app_test::BrightShare(*after, rightPart, 90), 0.05);
}

TEST_F(RadioPageTest, RecordingsBrowserFillsTheSection) {
  const std::filesystem::path folder = std::filesystem::path(registry_.dir()) / "My Radio";
  std::filesystem::create_directories(folder);
  for (const char* name : {"Show_0012.mp3", "Evening.wav", "notes.txt", "Talk.wma"})
    std::ofstream(folder / name) << "x";
  Radio().m_strRecordFolder = folder.string();
  Radio().m_nRecordedSortKey = CRadioConfig::kRecordedSortName;
  Radio().m_recordedFiles.resize(5);  // left from an earlier visit
  Show(RADIO_ID_RECORDED);
  ASSERT_EQ(Radio().m_recordedFiles.size(), 3u);
  EXPECT_EQ(Radio().m_recordedFiles[0].strName, "Evening.wav");
  EXPECT_EQ(Radio().m_recordedFiles[2].strName, "Talk.wma");
  EXPECT_EQ(page->DisplayItemCount(), 4);  // the up-level entry and the three files
  int count = 0;
  page->ElementIndex().GetItemCountByName(RADIO_DISPLAY_AREA, &count);
  EXPECT_EQ(count, 4);
  frame.executed.clear();
  EXPECT_EQ(page->OnFileActivated(0, 1), 1);
  EXPECT_EQ(Radio().m_nCurRecorded, 1);
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Play 0"});
  EXPECT_EQ(page->ValueText("Radio Active FileName Text"), "Show_0012.mp3");
  frame.actionResult = 0;
  EXPECT_EQ(page->OnFileActivated(0, 2), 0);
  EXPECT_EQ(Radio().m_nCurRecorded, -1);
  EXPECT_EQ(page->OnFileActivated(0, 3), 0);
  EXPECT_EQ(page->OnFileActivated(0, -1), 0);
}

TEST_F(RadioPageTest, ScheduleRowsAndConflicts) {
  schedules_.Add(RadioSchedule(20, 15, 90, 98500000, "/r/My Radio/Late Show.mp3"));
  CScheduleItem tv(SCHEDULE_TV);
  tv.SetBeginDate(At(2026, 3, 2, 20, 0));
  tv.SetDuration(60);
  tv.SetRepeatMode(EVERYDAY);
  schedules_.Add(tv);
  schedules_.Add(RadioSchedule(7, 0, 30, 999000000, "/r/Morning.mp3"));
  Show(RADIO_ID_SCHEDULES);
  EXPECT_EQ(page->DisplayItemCount(), 2);
  EXPECT_EQ(page->RowText(0), "Mar 02, 1 08:15 PM~09:45 PM, Every day");
  EXPECT_EQ(page->RowText(1), "Mar 03, 2 07:00 AM~07:30 AM, Every day");
  EXPECT_EQ(page->RowText(2), "");
  // The conflict page lists every type that overlaps, with file names.
  *Radio().m_pEditSchedule = RadioSchedule(20, 30, 30, 88000000);
  Show(RADIO_ID_CONFLICTS);
  EXPECT_EQ(page->DisplayItemCount(), 2);
  EXPECT_EQ(page->RowText(0), "Late Show Mar 02, 1 08:15 PM~09:45 PM, Every day");
  EXPECT_EQ(page->RowText(1), " Mar 02, 1 08:00 PM~09:00 PM, Every day");
  EXPECT_EQ(page->RowText(2), "");
  // Choosing a schedule row opens it for editing.
  Show(RADIO_ID_SCHEDULES);
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList(RADIO_DISPLAY_AREA, list));
  EXPECT_EQ(page->OnListItemAction(list, 1), 1);
  EXPECT_EQ(Radio().m_nPage, RADIO_ID_SET_SCHEDULE);
  EXPECT_EQ(Radio().m_nEditScheduleIndex, 1);
  EXPECT_EQ(Radio().m_pEditSchedule->GetRadioFrequency(), 999000000);
  EXPECT_EQ(page->CurrentPath(), "Radio\\SetSchedulePage");
  // Rows out of range do nothing.
  EXPECT_EQ(page->OnListItemAction(list, 7), 0);
}

TEST_F(RadioPageTest, StationRowsAndChoosingAStation) {
  Stations(3);
  EXPECT_EQ(page->RowText(0), " 1. Station 1");
  Show(RADIO_ID_GENERAL_STATIONS);
  EXPECT_EQ(page->StationRowText(1, "Radio Station PresetId Position"), "2");
  EXPECT_EQ(page->StationRowText(1, "Radio Station Frequency Position"), "89.00");
  EXPECT_EQ(page->StationRowText(1, "Radio Station Name Position"), "Station 2");
  EXPECT_EQ(page->StationRowText(5, "Radio Station Name Position"), "");
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList(RADIO_DISPLAY_AREA, list));
  Radio().PushRadioPage(RADIO_SUB_CHOOSING);
  EXPECT_EQ(page->OnListItemAction(list, 2), 1);
  EXPECT_EQ(Radio().m_nSelectedStation, 2);
  int top = 0;
  ASSERT_TRUE(Radio().PeekRadioPage(top));
  EXPECT_EQ(top, RADIO_SUB_CHOSEN);
  // The main page tunes a chosen station and makes it current.
  Radio().ClearRadioPages();
  Show(RADIO_ID_MAIN);
  ASSERT_TRUE(page->Layout()->FindList(RADIO_DISPLAY_AREA, list));
  frame.executed.clear();
  EXPECT_EQ(page->OnListItemAction(list, 1), 1);
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Set Frequency Value 89000000"});
  EXPECT_EQ(Radio().m_nCurFMStation, 1);
  // "Radio AddStation" on the main page carries the current frequency.
  frame.executed.clear();
  page->OnAction("Radio AddStation");
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio AddStation 100700000"});
}

TEST_F(RadioPageTest, RenameOnBackIsCutToTheNameFieldAndNeverAFormat) {
  Stations(3);
  Show(RADIO_ID_GENERAL_STATIONS);
  Radio().m_nSelectedStation = 1;
  Radio().SetRadioPage(RADIO_ID_RENAME);  // the previous page is now 18
  ASSERT_EQ(page->ShowCurrentPage(), 1);
  const plat::HWND rename = page->RenameEditBox();
  ASSERT_NE(rename, nullptr);
  const std::string typed = "%s%n%d " + std::string(100, 'x');
  plat::SetWindowText(rename, typed.c_str());
  frame.executed.clear();
  page->OnBackAction();
  RadioStation station;
  ASSERT_EQ(Radio().GetRadioStation(1, station, RADIO_BAND_FM), 1);
  EXPECT_EQ(station.strName, typed.substr(0, RadioStation::kMaxNameBytes));
  EXPECT_EQ(Sent(), std::vector<std::string>{"Radio Back 0"});
  // From the favourites page the selection is a preset id.
  Radio().StationList(RADIO_BAND_FM)->at(2).nPresetId = 0;
  Show(RADIO_ID_FAVORITES);
  Radio().m_nSelectedStation = 0;
  Radio().SetRadioPage(RADIO_ID_RENAME);
  ASSERT_EQ(page->ShowCurrentPage(), 1);
  plat::SetWindowText(page->RenameEditBox(), "Jazz");
  page->OnBackAction();
  ASSERT_EQ(Radio().GetRadioStation(2, station, RADIO_BAND_FM), 1);
  EXPECT_EQ(station.strName, "Jazz");
}

TEST_F(RadioPageTest, FocusWheelAndMovingAFavourite) {
  Stations(20);
  Show(RADIO_ID_GENERAL_STATIONS);
  int list = -1;
  ASSERT_TRUE(page->Layout()->FindList(RADIO_DISPLAY_AREA, list));
  plat::RECT area{};
  ASSERT_TRUE(page->GetListScreenRect(list, &area));
  int top = -1;
  // The wheel scrolls the display list by a row.
  EXPECT_EQ(page->OnMouseWheel(0, -120, area.left + 10, area.top + 10), 1);
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_EQ(top, 1);
  EXPECT_EQ(page->OnMouseWheel(0, 120, area.left + 10, area.top + 10), 1);
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(page->OnMouseWheel(0, -120, 2, 2), 0);  // not over the list
  // Choosing: the selected station is scrolled into view and focused.
  Radio().PushRadioPage(RADIO_SUB_CHOOSING);
  Radio().m_nSelectedStation = 15;
  page->RestoreListFocus();
  page->ElementIndex().GetTopIndex(list, &top);
  EXPECT_LE(top, 15);
  EXPECT_GT(top + 10, 15);
  int kind = -1, index = -1;
  ASSERT_TRUE(page->SplitEntry(page->FocusedList(), page->FocusedEntry(), &kind, &index));
  EXPECT_EQ(page->FocusedList(), list);
  EXPECT_EQ(kind, ENTRY_ITEM);
  EXPECT_EQ(index + top, 15);
  // Chosen: the focus goes to the control panel.
  Radio().PushRadioPage(RADIO_SUB_CHOSEN);
  page->RestoreListFocus();
  int panel = -1;
  ASSERT_TRUE(page->Layout()->FindList(RADIO_CONTROL_PANEL, panel));
  EXPECT_EQ(page->FocusedList(), panel);

  // Vendor 4 moves a favourite with Up and Down.
  frame.options.vendorId = 4;
  auto& stations = *Radio().StationList(RADIO_BAND_FM);
  stations[4].nPresetId = 0;
  stations[7].nPresetId = 1;
  stations[9].nPresetId = 2;
  Radio().ClearRadioPages();
  Radio().PushRadioPage(RADIO_SUB_MOVING);
  Show(RADIO_ID_FAVORITES);
  ASSERT_TRUE(page->Layout()->FindList(RADIO_DISPLAY_AREA, list));
  Radio().m_nMovingPresetId = 1;
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, 1));
  page->OnKeyUp(0);
  EXPECT_EQ(Radio().m_nMovingPresetId, 0);
  EXPECT_EQ(stations[7].nPresetId, 0);
  EXPECT_EQ(stations[4].nPresetId, 1);
  page->SetFocus(list, page->EntryOf(list, ENTRY_ITEM, 0));
  page->OnKeyUp(0);  // past the top: nothing moves
  EXPECT_EQ(stations[7].nPresetId, 0);
  page->OnKeyDown(0);
  page->OnKeyDown(0);
  page->OnKeyDown(0);  // past the end: stays last
  EXPECT_EQ(Radio().m_nMovingPresetId, 2);
  EXPECT_EQ(stations[7].nPresetId, 2);
}

}  // namespace
