// CRadioPage: the Radio module's page. It shows the radio skin pages (the
// frequency display, station lists, presets and favourites, radio text,
// recorded files, schedules and settings), turns keys, clicks and list
// entries into the Radio controller's actions, takes frequencies typed on the
// remote or in the add-station edit box, and edits the station lists. All
// radio state lives in the configuration's Radio section, read afresh for
// every call; the Radio controller drives the page back through
// IRadioPageEvents. The recordings browser copies the files of the record
// folder into the section through the page's IFileBrowserSink.
//
// Frame timer 88 ends a typed frequency 1500 ms after the first digit.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "interfaces/page_events.h"
#include "lounge/pages/common/file_browser_sink.h"
#include "lounge/pages/common/file_list_source.h"
#include "lounge/pages/radio/radio_digit_entry.h"
#include "lounge/pages/radio/radio_locale.h"
#include "lounge/shell/action_state_radio.h"
#include "lounge/shell/edit_wrapper.h"
#include "lounge/shell/module_page.h"
#include "lounge/skin/gdi_handles.h"

class CConfig;
class CRadioConfig;
class CScheduleItem;
class CScheduleList;
struct RadioStation;

inline constexpr plat::UINT_PTR RADIO_DIGIT_TIMER = CRadioDigitEntry::kTimerId;

// Page ids of the Radio section (m_nPage) that the page tests.
enum RadioPageId : int {
  RADIO_ID_MESSAGE = 0,
  RADIO_ID_MAIN = 2,
  RADIO_ID_RADIO_TEXT = 3,
  RADIO_ID_RECORDED = 4,
  RADIO_ID_BURN = 5,
  RADIO_ID_SCHEDULES = 6,
  RADIO_ID_SCHEDULE_HISTORY = 9,
  RADIO_ID_ADD_STATION = 10,
  RADIO_ID_FREQUENCY_SETTING = 13,
  RADIO_ID_SET_SCHEDULE = 15,
  RADIO_ID_CONFLICTS = 16,
  RADIO_ID_MAIN_STATIONS = 17,
  RADIO_ID_GENERAL_STATIONS = 18,
  RADIO_ID_FAVORITES = 19,
  RADIO_ID_RENAME = 20,
};

// Tops of the Radio section's page-history stack that the page tests.
enum RadioSubState : int {
  RADIO_SUB_MOVING = 2,
  RADIO_SUB_NAMING = 7,
  RADIO_SUB_CHOOSING = 8,
  RADIO_SUB_CHOSEN = 9,
};

// The layout path of a page id; null for an id without a layout (20 is the
// rename key pad).
const char* RadioPagePath(int id);

inline constexpr const char* RADIO_DISPLAY_AREA = "Radio Display Area";
inline constexpr const char* RADIO_CONTROL_PANEL = "Radio Control Panel";
// The recordings browser's extensions, in the filter form "|.a|.b|".
inline constexpr const char* RADIO_RECORDING_FILTER = "|.mp3|.wav|.wma||";

class CRadioPage : public CShellPage,
                   public IRadioPageEvents,
                   public IFileBrowserSink,
                   public IRadioSourceList {
 public:
  explicit CRadioPage(IShellFrame& frame);
  ~CRadioPage() override;

  // ---- IRadioPageEvents ----
  int EnterModule() override;
  int ShowPage(const char* path) override;
  int ShowCurrentPage() override;
  int RestoreListFocus() override;
  int Redraw(int flag) override;  // also the skin page's redraw
  int DrawRadioText() override;
  int RefreshStationList() override;
  int ResetDigitEntry() override;
  plat::HWND GetWindowHandle() override;

  // ---- IFileBrowserSink ----
  int OnListReset(int sourceId) override;
  int OnFolderAdded(int sourceId, const FileListEntry& entry) override;
  int OnFileAdded(int sourceId, const FileListEntry& entry) override;
  int OnFolderChanged(int sourceId, int entryCount, int listTop) override;
  int DrawFolderIcon(int sourceId, int folderIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int DrawFileText(int sourceId, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) override;
  int DrawFileIcon(int sourceId, int fileIndex, const plat::RECT& icon, plat::HDC dc, int rowState) override;
  int OnFileActivated(int sourceId, int fileIndex) override;
  int GetListTop(int sourceId, int& top) override;
  int SetListTop(int sourceId, int row) override;
  int ScrollListUp(int sourceId, int rows) override;
  int ScrollListDown(int sourceId, int rows) override;
  int OnSelectionChanged(int sourceId, int displayIndex) override;

  // ---- IRadioSourceList ----
  int RadioSourceCount() const override;
  int CurrentSourceLineInCount() const override;

  // ---- IModulePage ----
  int Create() override;
  int Destroy() override;
  int OnShowWindow() override;
  int OnResize() override;
  int OnMouseMove(int x, int y) override;
  int OnModuleExit() override;
  int OnTimer(plat::UINT_PTR id) override;
  int OnMouseWheel(plat::UINT flags, int delta, int x, int y) override;
  using CShellPage::OnKeyDown;

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int DrawBackground(plat::HDC dc) override;
  int DrawButton(int i, plat::HDC dc, const plat::RECT& rect) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int OnListItemAction(int list, int item) override;
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  int OnKeyUp(int flag) override;
  int OnKeyDown(int flag) override;
  int HighlightListItem(int item, int list) override;
  int HighlightListAction(int action, int list) override;
  int OnRenameEditKey(plat::HWND window, int key) override;
  int OnBackAction() override;
  int OnAction(const std::string& name) override;

  // ---- what the page shows and keeps (also for tests) ----
  // The list_action state answer of a name: 1 answered (outputs set), 0 the
  // skin's default state stays.
  int QueryRadioListAction(const std::string& name, int* shown, int* enabled, int* checked);
  // The value a text or list_text shows; empty: the skin draws its default.
  std::string ValueText(const std::string& name);
  // The text of a row of "Radio Display Area" for data item `item`; empty
  // for a page without text rows or an item out of range.
  std::string RowText(int item);
  // The list_text `name` of a station-list row (pages 18 and 19).
  std::string StationRowText(int item, const std::string& name);
  // The schedule text of the entry being edited (the current-schedule button).
  std::string CurrentScheduleText();
  // Signal bar: the part of `bar` that level 0..5 fills.
  static plat::RECT SignalBarRect(const plat::RECT& bar, int level);
  const CRadioDigitEntry& Digits() const { return m_digits; }
  CFileListSource& Recordings() { return *m_recordings; }
  plat::HWND FrequencyEditBox() const { return m_editBox ? m_editBox->Window() : nullptr; }
  // The count "Radio Display Area" gets on the current page.
  int DisplayItemCount();

 private:
  CConfig* Config() const;
  CRadioConfig* Radio() const;
  CScheduleList* Schedules() const;
  int Vendor();
  int Send(const std::string& name, long a = 0, long b = 0);
  int DisplayList() const;  // index of "Radio Display Area", -1 none
  int ControlList() const;  // index of "Radio Control Panel", -1 none
  // The data item shown in a row of the display area, -1 none.
  int ItemOfRow(int row) const;
  // Tunes a station of the current band by its index and makes it the
  // band's current station; 0 when the controller refuses.
  int TuneStation(int index);
  // Index of the station with that preset id in the current band, -1 none.
  int StationOfPreset(int presetId) const;
  // The station-list index a row of page 18 or 19 stands for, -1 none.
  int StationIndexOfItem(int item) const;
  // The thirty station row actions of the frequency setting page.
  int StationRowAction(const std::string& name);
  int ChosenDigit(const std::string& name) const;
  void OnDigitTimer();
  // The edit box: placed and shown on the add-station page, else hidden.
  void PlaceEditBox();
  void OnEditBoxEnter();
  // Scrolls the display area so that `item` is visible and focuses its row.
  bool FocusItem(int item);
  // Keeps the current recording, the selected station or favourite marked
  // and in view.
  void KeepSelectionInView();
  // The i-th radio schedule of the list (page 6) or history (page 9), or the
  // i-th conflict of the edited schedule (page 16).
  bool ScheduleOfRow(int item, CScheduleItem& out) const;
  void DrawSignalBar(plat::HDC dc, const plat::RECT& rect, int level);
  // The page background stretched to the back buffer, kept and made again
  // only for another background or size: decoding and stretching the
  // full-screen bitmap costs far more than copying it, and the page is drawn
  // again at every step of a seek and for each RDS update.
  plat::HBITMAP PageBackground(plat::HDC dc);
  // Copies the page background under `rect` of the back buffer.
  void DrawBackgroundPart(plat::HDC dc, const plat::RECT& rect);
  std::string Lookup(const std::string& key) const;
  std::string SkinFile(const std::string& relative);
  // The length in seconds of a recorded file as its header gives it, below 0
  // when it cannot be read. Kept per path and read again only when the file
  // was written since, so a row does not open its file at every redraw.
  double RecordedSeconds(const std::string& path, std::uint64_t lastWrite);

  std::unique_ptr<CFileListSource> m_recordings;
  CRadioDigitEntry m_digits;
  std::unique_ptr<CEditWrapper> m_editBox;
  FontPtr m_editFont;
  CRadioLocale m_locale;
  std::string m_confirmStatus;  // "Radio ConfirmSchedule Status Text"
  BitmapPtr m_background;  // see PageBackground
  std::string m_backgroundKey;
  struct KnownLength {
    std::uint64_t lastWrite = 0;
    double seconds = -1.0;
  };
  std::map<std::string, KnownLength> m_lengths;  // see RecordedSeconds
};
