// CRadioPage: the controller's calls, layout loads, actions, the digit entry
// and the add-station edit box. Lists, keys and the recordings browser are
// radio_page_lists.cpp; states radio_page_states.cpp; drawing
// radio_page_draw.cpp.
#include "lounge/pages/radio/radio_page.h"

#include <array>
#include <cstring>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "lounge/pages/radio/radio_frequency_text.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "platform/gdi/font.h"
#include "platform/win/controls/controls.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kMainPagePath = "Radio\\MainPage";
constexpr const char* kPlaybackBarPath = "FloatingBar\\PlaybackBar\\RadioPlaybackBar";
constexpr const char* kInputPosition = "Radio InputFrequency Position";
constexpr int kEditBoxId = 1;
constexpr int kMaxTypedDigits = 5;

constexpr std::array<const char*, 20> kPagePaths{
    "Radio\\RadioMsgPage",       "Radio\\ProcessingPage",     "Radio\\MainPage",
    "Radio\\RadioTextPage",      "Radio\\RecordedRadioPage",  "Radio\\BurnMaterialPage",
    "Radio\\SchedulePage",       "Radio\\SchedulePriorityPage", "Radio\\SetSchedulePage",
    "Radio\\ScheduleHistoryPage", "Radio\\AddStationPage",    "Radio\\SettingPage",
    "Radio\\RadioSettingPage",   "Radio\\FrequencySettingPage", "Radio\\RecordSettingPage",
    "Radio\\SetSchedulePage",    "Radio\\ConflictSchedulePage", "Radio\\MainStationPage",
    "Radio\\GeneralStationPage", "Radio\\FavoriteStationPage"};

}  // namespace

const char* RadioPagePath(int id) {
  if (id < 0 || id >= static_cast<int>(kPagePaths.size())) return nullptr;
  return kPagePaths[static_cast<std::size_t>(id)];
}

CRadioPage::CRadioPage(IShellFrame& frame)
    : CShellPage(frame),
      m_recordings(std::make_unique<CFileListSource>(RADIO_RECORDING_FILTER, this, this, 0)),
      m_digits(CRadioDigitEntry::Hooks{
          [this](int frequency) { return Send("Radio Set Frequency Value", frequency, 0); },
          [this](const std::string& text) { Frame().Services().ShowOsdText(text); },
          [this](unsigned id, unsigned ms) {
            const plat::HWND window = Frame().FrameWindow();
            return window && plat::SetTimer(window, id, ms, nullptr) != 0;
          },
          [this](unsigned id) {
            if (const plat::HWND window = Frame().FrameWindow()) plat::KillTimer(window, id);
          },
      }) {}

CRadioPage::~CRadioPage() { m_digits.Reset(); }

CConfig* CRadioPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

CRadioConfig* CRadioPage::Radio() const {
  CConfig* config = Config();
  return config ? config->m_pRadio.get() : nullptr;
}

CScheduleList* CRadioPage::Schedules() const { return Frame().GetScheduleList(); }

int CRadioPage::Vendor() { return Frame().Services().GetVendorId(); }

int CRadioPage::Send(const std::string& name, long a, long b) {
  return Host() ? Host()->ExecuteAction(name, a, b) : 0;
}

int CRadioPage::DisplayList() const {
  int list = -1;
  return Layout() && Layout()->FindList(RADIO_DISPLAY_AREA, list) ? list : -1;
}

int CRadioPage::ControlList() const {
  int list = -1;
  return Layout() && Layout()->FindList(RADIO_CONTROL_PANEL, list) ? list : -1;
}

std::string CRadioPage::Lookup(const std::string& key) const { return UIStringOrEmpty(key); }

// ---- IRadioPageEvents ----

int CRadioPage::EnterModule() {
  Frame().ShowCaptionBar();
  Frame().SetPlaybackBarPath(kPlaybackBarPath);
  Frame().SetActivePage(this);
  CreateBackBuffer();
  LoadLayout(kMainPagePath);
  return 1;
}

int CRadioPage::ShowPage(const char* path) { return path ? LoadLayout(path) : 0; }

int CRadioPage::ShowCurrentPage() {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  const int id = radio->m_nPage;
  if (id == RADIO_ID_RENAME) return ShowRenameKeyPad(RENAME_PAGE_PATH);
  if (id == RADIO_ID_RECORDED && Vendor() == 4) return 0;
  const char* path = RadioPagePath(id);
  return path ? LoadLayout(path) : 0;
}

int CRadioPage::ResetDigitEntry() {
  m_digits.Reset();
  return 1;
}

plat::HWND CRadioPage::GetWindowHandle() {
  const plat::HWND window = Owner();
  return window && plat::IsWindow(window) ? window : nullptr;
}

// ---- IModulePage ----

int CRadioPage::Create() {
  CShellPage::Create();
  const plat::HWND parent = Frame().FrameWindow();
  if (!parent || (m_editBox && m_editBox->Window())) return 1;
  m_editBox = std::make_unique<CEditWrapper>(EDIT_ADMIT_DIGITS);
  if (m_editBox->Create(plat::WS_CHILD | plat::WS_BORDER, plat::RECT{0, 0, 0, 0}, parent, kEditBoxId)) {
    plat::SendMessage(m_editBox->Window(), plat::EM_LIMITTEXT, kMaxTypedDigits, 0);
  }
  return 1;
}

int CRadioPage::Destroy() {
  m_digits.Reset();
  m_editBox.reset();
  m_editFont.reset();
  return 0;
}

int CRadioPage::OnShowWindow() {
  // The back buffer is made by the next full paint, at the frame's size then.
  PlaceEditBox();
  return 0;
}

int CRadioPage::OnResize() {
  CShellPage::OnResize();
  PlaceEditBox();
  return 1;
}

int CRadioPage::OnMouseMove(int x, int y) {
  const CRadioConfig* radio = Radio();
  if (radio) {
    const int state = radio->m_nRecordState;
    if (state == 1 || state == 2 || state == 3 || state == 5) {
      Frame().Services().SetPlaybackBarVisible(1, 0);
      if (BarHideTimer() && Owner()) plat::KillTimer(Owner(), static_cast<plat::UINT_PTR>(BarHideTimer()));
    }
  }
  return CShellPage::OnMouseMove(x, y);
}

int CRadioPage::OnModuleExit() { return Send("Radio Exit"); }

int CRadioPage::OnTimer(plat::UINT_PTR id) {
  if (id != RADIO_DIGIT_TIMER) return 0;
  OnDigitTimer();
  return 1;
}

// ---- digit entry ----

int CRadioPage::ChosenDigit(const std::string& name) const {
  static constexpr std::string_view kPrefix = "Radio Key ";
  if (name.size() != kPrefix.size() + 1 || name.compare(0, kPrefix.size(), kPrefix) != 0) return -1;
  const char c = name.back();
  return c >= '0' && c <= '9' ? c - '0' : -1;
}

void CRadioPage::OnDigitTimer() {
  CRadioConfig* radio = Radio();
  if (m_digits.text().empty() || !radio) {
    m_digits.Reset();
    return;
  }
  if (Vendor() != 4) {
    m_digits.Finish(radio->m_nCurBand);
    return;
  }
  // Vendor 4 types preset numbers, only on the main station page.
  const int number = m_digits.value();
  m_digits.Reset();
  if (radio->m_nPage != RADIO_ID_MAIN_STATIONS) return;
  if (number < 1 || number > radio->CountRadioFavorites(RADIO_BAND_CURRENT)) return;
  const int index = StationOfPreset(number - 1);
  if (index >= 0) TuneStation(index);
}

int CRadioPage::TuneStation(int index) {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  RadioStation station;
  if (!radio->GetRadioStation(index, station, RADIO_BAND_CURRENT)) return 0;
  const int sent = Send("Radio Set Frequency Value", station.nFrequency, 0);
  if (!sent) return 0;
  // The controller may have changed the section meanwhile: ask again.
  radio = Radio();
  if (int* current = radio ? radio->CurrentStationIndex(radio->m_nCurBand) : nullptr) {
    int* previous = radio->m_nCurBand == RADIO_BAND_AM ? &radio->m_nPrevAMStation : &radio->m_nPrevFMStation;
    *previous = *current;
    *current = index;
  }
  return sent;
}

int CRadioPage::StationOfPreset(int presetId) const {
  const CRadioConfig* radio = Radio();
  const auto* list = radio ? radio->StationList(RADIO_BAND_CURRENT) : nullptr;
  if (!list || presetId < 0) return -1;
  return radio_stations::FindPreset(*list, presetId);
}

// ---- the add-station edit box ----

void CRadioPage::PlaceEditBox() {
  if (!m_editBox || !m_editBox->Window()) return;
  const plat::HWND box = m_editBox->Window();
  const CRadioConfig* radio = Radio();
  const int list = DisplayList();
  int text = -1;
  plat::RECT rect{};
  const bool show = radio && radio->m_nPage == RADIO_ID_ADD_STATION && list >= 0 &&
                    Layout()->FindListText(kInputPosition, text, list) && GetListTextScreenRect(text, list, &rect);
  if (!show) {
    plat::ShowWindow(box, plat::SW_HIDE);
    plat::SetWindowText(box, "");
    return;
  }
  plat::LOGFONTA font{};
  font.lfHeight = rect.bottom - rect.top;
  font.lfWeight = plat::FW_BOLD;
  std::string face;
  LookupUIString("FONT1", face);
  std::strncpy(font.lfFaceName, face.c_str(), sizeof font.lfFaceName - 1);
  // The old font goes once the box uses the new one.
  FontPtr made(plat::CreateFontIndirect(&font));
  plat::SendMessage(box, plat::WM_SETFONT, reinterpret_cast<plat::WPARAM>(made.get()), 1);
  m_editFont = std::move(made);
  plat::SetWindowPos(box, plat::HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     plat::SWP_SHOWWINDOW);
  plat::SetFocus(box);
}

void CRadioPage::OnEditBoxEnter() {
  const plat::HWND box = FrequencyEditBox();
  CRadioConfig* radio = Radio();
  if (!box || !radio) return;
  const std::string typed = plat::GetWindowTextString(box);
  if (typed.empty()) {
    Send("Radio Back");
    return;
  }
  const int band = radio->m_nCurBand;
  const auto frequency = radio_text::ParseTyped(band, typed);
  if (frequency && radio->AddRadioStation(*frequency, radio_text::Number(band, *frequency, m_locale.DecimalPoint()),
                                          1, band)) {
    Send("Radio Back");
    return;
  }
  // Not a frequency: the box is emptied and keeps the focus for another try.
  plat::SetWindowText(box, "");
  plat::SetFocus(box);
}

int CRadioPage::OnRenameEditKey(plat::HWND window, int key) {
  if (!window || window != FrequencyEditBox()) return CShellPage::OnRenameEditKey(window, key);
  if (key == plat::VK_RETURN) OnEditBoxEnter();
  return 1;
}

int CRadioPage::OnBackAction() {
  CRadioConfig* radio = Radio();
  const plat::HWND rename = RenameEditBox();
  if (radio && rename && plat::IsWindow(rename)) {
    const std::string name = plat::GetWindowTextString(rename);
    if (!name.empty()) {
      const int prev = radio->m_nPrevPage;
      int index = -1;
      if (prev == RADIO_ID_GENERAL_STATIONS) index = radio->m_nSelectedStation;
      if (prev == RADIO_ID_FAVORITES) index = StationOfPreset(radio->m_nSelectedStation);
      RadioStation station;
      if (index >= 0 && radio->GetRadioStation(index, station, RADIO_BAND_CURRENT)) {
        // Cut to the stored name field; the text is data, never a format.
        station.strName = MakeRadioStation(name, 0, 0, -1).strName;
        radio->SetRadioStation(index, station, RADIO_BAND_CURRENT);
      }
    }
  }
  return CShellPage::OnBackAction();
}

// ---- layouts and actions ----

int CRadioPage::LoadLayout(const std::string& path) {
  m_confirmStatus.clear();
  const int loaded = CSkinPage::LoadLayout(path);
  Frame().Services().SetCaptionBarVisible(1, 0);
  PlaceEditBox();
  return loaded;
}

int CRadioPage::OnLeave() {
  m_digits.Reset();
  if (BarHideTimer() && Owner()) plat::KillTimer(Owner(), static_cast<plat::UINT_PTR>(BarHideTimer()));
  if (const plat::HWND box = FrequencyEditBox()) plat::ShowWindow(box, plat::SW_HIDE);
  return CSkinPage::OnLeave();
}

int CRadioPage::OnAction(const std::string& name) {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  long argument = 0;
  if (name == "Radio AddStation") {
    if (radio->m_nPage == RADIO_ID_MAIN)
      argument = radio->m_nCurBand == RADIO_BAND_AM ? radio->m_nCurAMFrequency : radio->m_nCurFMFrequency;
  } else {
    if (name == "Close") Frame().Services().QuitApplication();
    const int digit = ChosenDigit(name);
    if (digit >= 0 && radio->m_nRecordState == RADIO_LISTENING) {
      m_digits.Digit(digit, radio->m_nCurBand);
      return 1;
    }
    if (radio->m_nPage == RADIO_ID_FREQUENCY_SETTING && StationRowAction(name)) return 1;
  }
  const int result = Send(name, argument, 0);
  if (name == "Radio ConfirmSchedule") m_confirmStatus = result ? "Succeeded" : Lookup("CONFLICTWITHSCHEDULE");
  if (result && (name == "Radio Choose FM" || name == "Radio Choose AM")) {
    const int list = FocusedList() >= 0 ? FocusedList() : ControlList();
    int action = -1;
    if (list >= 0 && Layout()->FindListAction(name + " Pressed", action, list)) HighlightListAction(action, list);
  }
  return result ? 1 : 0;
}

int CRadioPage::StationRowAction(const std::string& name) {
  static constexpr std::string_view kPrefix = "Radio Station ";
  if (name.compare(0, kPrefix.size(), kPrefix) != 0) return 0;
  const std::size_t space = name.find(' ', kPrefix.size());
  if (space == std::string::npos) return 0;
  const std::string number = name.substr(kPrefix.size(), space - kPrefix.size());
  const std::string verb = name.substr(space + 1);
  if (number.empty() || number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos) return 0;
  const int n = std::stoi(number);
  if (n < 1 || n > 10 || (verb != "Up" && verb != "Down" && verb != "Delete")) return 0;
  CRadioConfig* radio = Radio();
  const int index = ItemOfRow(n - 1);
  const int count = radio ? radio->GetRadioStationCount(RADIO_BAND_CURRENT) : 0;
  if (index < 0 || index >= count) return 0;  // no station in that row: the name goes to the controller
  if (verb == "Up") {
    if (index > 0) radio->SwapRadioStations(index, index - 1, RADIO_BAND_CURRENT);
  } else if (verb == "Down") {
    if (index + 1 < count) radio->SwapRadioStations(index, index + 1, RADIO_BAND_CURRENT);
  } else {
    radio->DeleteRadioStation(index, RADIO_BAND_CURRENT);
    RefreshStationList();
  }
  Redraw(0);
  return 1;
}
