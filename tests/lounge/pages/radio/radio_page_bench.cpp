// Radio page speed at 1280x720 on the headless display with the default skin:
// entering the module up to the first painted main page, DrawRadioText, a
// redraw of the station page with 100 stations, and the schedule page with
// 200 schedules (item count and rows with their frequency texts) and the
// conflict page over them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "corebridge/core/schedule_list.h"
#include "lounge/pages/radio/radio_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/lounge/shell/fake_shell_frame.h"

namespace {

class FixedClock : public ILocalClock {
 public:
  plat::SYSTEMTIME Now() const override {
    plat::SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 3, t.wDay = 2, t.wHour = 12;
    return t;
  }
};

struct Fixture {
  Fixture() {
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = plat::SIZE{1280, 720};
    std::string error;
    plat::display::StartDisplay(options, &error);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = plat::DefWindowProc;
    wc.lpszClassName = "RadioPageBenchFrame";
    plat::RegisterClass(&wc);
    window = plat::CreateWindowEx(0, "RadioPageBenchFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1280, 720,
                                  nullptr, nullptr, nullptr, nullptr);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
    config.m_nActiveModule = MODULE_RADIO;
    CRadioConfig& radio = *config.m_pRadio;
    radio.m_nRecordState = RADIO_LISTENING;
    radio.m_nPage = RADIO_ID_MAIN;
    radio.m_strRdsStation = "MARIVEL";
    radio.m_strRdsType = "Pop music";
    radio.m_nSignalLevel = 4;
    for (int i = 0; i < 100; ++i)
      radio.AddRadioStation(87500000 + i * 200000, "Station number " + std::to_string(i + 1), 1, RADIO_BAND_FM);
    for (int i = 0; i < 200; ++i) {
      CScheduleItem s(SCHEDULE_RADIO);
      plat::SYSTEMTIME begin{};
      begin.wYear = 2026, begin.wMonth = 3, begin.wDay = 2, begin.wHour = static_cast<plat::WORD>(i % 24);
      begin.wMinute = static_cast<plat::WORD>(i % 4 * 15);
      s.SetBeginDate(begin);
      s.SetDuration(45);
      s.SetRepeatMode(1 + i % 11);
      s.SetRadioFrequency(88000000 + i * 100000);
      s.SetRecFileName("/home/user/Music/My Radio/Show " + std::to_string(i) + ".mp3");
      schedules.Add(s);
    }
    frame.window = window;
    frame.config = &config;
    frame.schedules = &schedules;
    page = std::make_unique<CRadioPage>(frame);
    page->AttachWindow(window);
    page->Create();
  }
  void Show(int id) {
    config.m_pRadio->SetRadioPage(id);
    page->ShowCurrentPage();
    page->RefreshStationList();
  }
  plat::HWND window = nullptr;
  std::unique_ptr<CStringTable> strings;
  CConfig config;
  FixedClock clock;
  CScheduleList schedules{clock};
  pages::FakeShellFrame frame;
  std::unique_ptr<CRadioPage> page;
};

Fixture& Get() {
  static Fixture* fixture = new Fixture();  // lives to the program's exit
  return *fixture;
}

void BM_EnterModuleToFirstMainPageFrame(benchmark::State& state) {
  Fixture& f = Get();
  for (auto _ : state) {
    f.page->EnterModule();
    f.page->RefreshStationList();
    f.page->Redraw(1);
  }
}
BENCHMARK(BM_EnterModuleToFirstMainPageFrame)->Unit(benchmark::kMillisecond);

void BM_DrawRadioText(benchmark::State& state) {
  Fixture& f = Get();
  f.Show(RADIO_ID_MAIN);
  f.page->Redraw(1);
  for (auto _ : state) f.page->DrawRadioText();
}
BENCHMARK(BM_DrawRadioText)->Unit(benchmark::kMicrosecond);

void BM_RedrawStationPageWith100Stations(benchmark::State& state) {
  Fixture& f = Get();
  f.Show(RADIO_ID_GENERAL_STATIONS);
  f.page->Redraw(1);
  for (auto _ : state) f.page->Redraw(1);
}
BENCHMARK(BM_RedrawStationPageWith100Stations)->Unit(benchmark::kMillisecond);

void BM_SchedulePageWith200Schedules(benchmark::State& state) {
  Fixture& f = Get();
  f.Show(RADIO_ID_SCHEDULES);
  for (auto _ : state) {
    f.page->RefreshStationList();
    f.page->Redraw(1);
  }
}
BENCHMARK(BM_SchedulePageWith200Schedules)->Unit(benchmark::kMillisecond);

void BM_ConflictPageOver200Schedules(benchmark::State& state) {
  Fixture& f = Get();
  CScheduleItem edited(SCHEDULE_RADIO);
  plat::SYSTEMTIME begin{};
  begin.wYear = 2026, begin.wMonth = 3, begin.wDay = 2, begin.wHour = 20;
  edited.SetBeginDate(begin);
  edited.SetDuration(120);
  edited.SetRepeatMode(1);
  *f.config.m_pRadio->m_pEditSchedule = edited;
  f.Show(RADIO_ID_CONFLICTS);
  for (auto _ : state) {
    f.page->RefreshStationList();
    f.page->Redraw(1);
  }
}
BENCHMARK(BM_ConflictPageOver200Schedules)->Unit(benchmark::kMillisecond);

}  // namespace
