#include "lounge/pages/movie/movie_page.h"

#include <algorithm>
#include <array>
#include <strings.h>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/shell/action_state_movie.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kMainPath = "Movie\\MAIN";
constexpr const char* kPlaybackBarPath = "FloatingBar\\PlaybackBar\\MoviePlaybackBar";
constexpr const char* kDriveList = "Movie Multi Drive Selector List";
constexpr const char* kVideoImage = "Movie VideoWnd";
constexpr int kWideFill = 3;

bool SamePath(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

bool PlayingOrScanning(int playState) {
  return playState == MOVIE_PAUSED || playState == MOVIE_PLAYING || playState == MOVIE_SCANNING;
}

template <std::size_t N>
bool OneOf(const std::string& name, const std::array<const char*, N>& names) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

}  // namespace

const char* MoviePagePath(int pageId) {
  static constexpr std::array<const char*, 22> kPaths{
      "Movie\\DEVICESELECTION",
      nullptr,
      "Movie\\NoDisc",
      kMainPath,
      "Movie\\POPUP",
      "Movie\\NOTSUPPORTDTS",
      "Movie\\SETTING",
      "Movie\\SETTING\\VIDEOSETTING",
      "Movie\\SETTING\\AUDIOSETTING",
      "Movie\\SETTING\\LANGUAGESETTING",
      "Movie\\SETTING\\PLCSETTING\\PLCEnterPIN",
      "Movie\\SETTING\\PLCSETTING\\PLCSelLevel",
      "Movie\\SETTING\\PLCSETTING\\PLCEnterConfirmPIN",
      "Movie\\SETTING\\PLCSETTING\\PLCProgConfirmPIN",
      "Movie\\SETTING\\PLCSETTING\\PLCErrorPINMsg",
      "Movie\\SETTING\\PLCSETTING\\PLCRemovePINYNMsg",
      "Movie\\SETTING\\PLCSETTING\\PLCRemovePINOKMsg",
      "Movie\\SETTING\\PLCSETTING\\PLCAllowPlayMsg",
      "Movie\\REGION\\LimitedMsg",
      "Movie\\REGION\\AdministratorMsg",
      "Movie\\REGION\\SelRegion",
      "Movie\\REGION\\SelConfirm",
  };
  if (pageId < 0 || pageId >= static_cast<int>(kPaths.size())) return nullptr;
  return kPaths[static_cast<std::size_t>(pageId)];
}

CMoviePage::CMoviePage(IShellFrame& frame)
    : CShellPage(frame), m_files(std::string(), std::string(), this, this, 0) {}

CMoviePage::~CMoviePage() = default;

CConfig* CMoviePage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

CMovieConfig* CMoviePage::Movie() const {
  CConfig* config = Config();
  return config ? config->m_pMovie.get() : nullptr;
}

int CMoviePage::SendAction(const std::string& name, long a, long b) {
  return Host() ? Host()->ExecuteAction(name, a, b) : 0;
}

// ---- IMoviePageEvents ----

int CMoviePage::EnterModule() {
  CSkinPage::LoadLayout(kMainPath);
  if (!Frame().FrameWindow()) return 1;
  Frame().SetActivePage(this);
  Create();
  if (!Frame().Services().NotifyCaptionBar(1)) Frame().ShowCaptionBar();
  Frame().SetPlaybackBarPath(kPlaybackBarPath);
  KillCursorTimer();
  m_cursorTimer = plat::SetTimer(Frame().FrameWindow(), kMovieCursorTimer, kMovieCursorTimerOnEntry, nullptr);
  return 1;
}

int CMoviePage::OnRedraw(int flag) {
  if (Host() && Host()->HasPlaybackBar()) Frame().Services().NotifyPlaybackBar(flag);
  return CSkinPage::Redraw(flag);
}

int CMoviePage::ShowPage() {
  CMovieConfig* movie = Movie();
  if (!movie) return 0;
  if (const char* path = MoviePagePath(movie->m_nMoviePageState)) LoadPage(path);
  return 1;
}

int CMoviePage::LoadPage(const char* path) { return path ? LoadPageLayout(path) : 0; }

int CMoviePage::GetVideoWindow(plat::HWND* owner, plat::RECT* rect) {
  int image = -1;
  if (!IsLoaded() || !Layout() || !Layout()->FindStillImage(kVideoImage, image)) return 0;
  plat::RECT area{};
  if (!GetStillImageScreenRect(image, &area)) return 0;
  if (rect) *rect = area;
  if (owner) *owner = Frame().FrameWindow();
  return 1;
}

bool CMoviePage::DriveCountShown(const CMovieConfig& movie) const {
  const int count = static_cast<int>(movie.m_arrDrives.size());
  return count >= (Frame().Services().GetVendorId() == 2 ? 1 : 2);
}

int CMoviePage::RefreshDriveList() {
  CMovieConfig* movie = Movie();
  if (!movie) return 0;
  if (DriveCountShown(*movie)) {
    ElementIndex().SetItemCountByName(kDriveList, static_cast<int>(movie->m_arrDrives.size()));
    ElementIndex().SetTopIndexByName(kDriveList, 0);
  }
  return 1;
}

int CMoviePage::ShowPinEntry() {
  CMovieConfig* movie = Movie();
  if (!movie) return 0;
  movie->m_nMoviePageState = 10;
  LoadPageLayout(MoviePagePath(10));
  if (m_pinEdit && m_pinEdit->Window()) {
    plat::SetWindowText(m_pinEdit->Window(), "");
    plat::EnableWindow(m_pinEdit->Window(), plat::TRUE);
    plat::SetFocus(m_pinEdit->Window());
  }
  if (m_confirmEdit && m_confirmEdit->Window()) plat::SetWindowText(m_confirmEdit->Window(), "");
  return 1;
}

int CMoviePage::IsFrameMaximized() { return Frame().IsMaximized() ? 1 : 0; }

int CMoviePage::SetScreenSaverActive(int flag) {
  // The frame's power switches keep the saved state; the page remembers
  // what it last asked for, which is what a later call reads back.
  const int previous = m_screenSaverActive;
  Frame().Services().EnableScreenSaver(flag ? 1 : 0);
  m_screenSaverActive = flag ? 1 : 0;
  return previous;
}

// ---- layout load and leave ----

int CMoviePage::LoadLayout(const std::string& path) { return LoadPageLayout(path); }

int CMoviePage::LoadPageLayout(const std::string& path) {
  KillCursorTimer();
  CShellPage::LoadLayout(path);
  Frame().Services().SetCaptionBarVisible(1, 0);
  if (SamePath(path, "Movie\\POPUP")) {
    int list = -1, action = -1;
    if (Layout() && Layout()->FindList("Movie PopUp List", list) && Layout()->FindListAction("Movie Resume", action, list))
      SetFocus(list, EntryOf(list, ENTRY_ACTION, action)), ShowFocus();
  } else if (SamePath(path, "Movie\\SETTING\\VIDEOSETTING") || SamePath(path, "Movie\\SETTING\\LANGUAGESETTING")) {
    const char* entry = SamePath(path, "Movie\\SETTING\\VIDEOSETTING") ? "Movie Video Setting" : "Movie Language Setting";
    int list = -1, action = -1;
    if (Layout() && Layout()->FindList("Movie Setting", list) && Layout()->FindListAction(entry, action, list))
      SetFocus(list, EntryOf(list, ENTRY_ACTION, action)), ShowFocus();
  }
  LayOutPinBoxes();
  SetPinBoxStates();
  return 1;
}

int CMoviePage::OnLeave() {
  KillCursorTimer();
  Frame().Services().SetPlaybackBarVisible(0, 0);
  return CShellPage::OnLeave();
}

void CMoviePage::KillCursorTimer() {
  if (m_cursorTimer && Frame().FrameWindow()) plat::KillTimer(Frame().FrameWindow(), kMovieCursorTimer);
  m_cursorTimer = 0;
}

// ---- actions ----

int CMoviePage::OnAction(const std::string& name) {
  if (name == "Close") Frame().Services().QuitApplication();
  return SendAction(name, 0, 0);
}

// ---- IModulePage ----

int CMoviePage::OnResize() {
  CreateBackBuffer();
  CMovieConfig* movie = Movie();
  if (movie && PlayingOrScanning(movie->m_nPlayState) && movie->m_nMoviePageState != 5) {
    Frame().Services().SetCaptionBarVisible(0, 0);
    Frame().Services().SetPlaybackBarVisible(0, 0);
    KillCursorTimer();
  }
  SendAction("Movie Resize", 0, 0);
  LayOutPinBoxes();
  CConfig* config = Config();
  if (config && config->m_nWideScreenMode == kWideFill)
    SendAction("Movie ApplyWIDEFILLSetting", Frame().IsMaximized() ? 1 : 0, 0);
  Redraw(0);
  return 1;
}

void CMoviePage::ShowBarsForMouse() {
  CMovieConfig* movie = Movie();
  if (!movie || !PlayingOrScanning(movie->m_nPlayState)) return;
  if (movie->m_nMoviePageState == 5 || movie->m_nMoviePageState == 19) return;
  Frame().Services().SetCaptionBarVisible(1, 0);
  Frame().Services().SetPlaybackBarVisible(1, 0);
  if (Frame().FrameWindow())
    m_cursorTimer = plat::SetTimer(Frame().FrameWindow(), kMovieCursorTimer, kMovieCursorTimerOnMouse, nullptr);
}

int CMoviePage::OnMouseMove(int x, int y) {
  ShowBarsForMouse();
  return CShellPage::OnMouseMove(x, y);
}

int CMoviePage::OnMouseDown(int, int) {
  ShowBarsForMouse();
  return 0;
}

int CMoviePage::OnModuleExit() {
  KillCursorTimer();
  Frame().Services().SetPlaybackBarVisible(0, 0);
  return 1;
}

int CMoviePage::OnTimer(plat::UINT_PTR id) {
  if (id != kMovieCursorTimer) return 0;
  KillCursorTimer();
  const bool overBars = Frame().IsCursorOverBars();
  plat::HWND frame = Frame().FrameWindow();
  plat::POINT cursor{};
  plat::RECT client{};
  if (frame && !overBars && plat::GetCursorPos(&cursor)) {
    plat::ScreenToClient(frame, &cursor);
    plat::GetClientRect(frame, &client);
    if (cursor.x >= client.left && cursor.x < client.right && cursor.y >= client.top && cursor.y < client.bottom) {
      while (plat::ShowCursor(plat::FALSE) >= 0) {
      }
      plat::SetCursor(nullptr);
    }
  }
  if (!overBars) {
    Frame().Services().SetCaptionBarVisible(0, 0);
    Frame().Services().SetPlaybackBarVisible(0, 0);
  }
  return 1;
}

int CMoviePage::OnMouseWheel(plat::UINT, int delta, int x, int y) {
  int list = -1;
  if (!Layout() || !Layout()->FindList(kDriveList, list)) return 0;
  plat::RECT area{};
  if (!GetListScreenRect(list, &area) || x < area.left || x >= area.right || y < area.top || y >= area.bottom)
    return 0;
  const ListScrollRecord* record = ElementIndex().Record(list);
  if (!record) return 0;
  const int step = std::max(1, ElementIndex().PageStep(list));
  int can = 0;
  if (delta < 0 && ElementIndex().CanScrollDown(list, &can) && can) {
    ElementIndex().ScrollDown(list, step);
  } else if (delta > 0 && ElementIndex().CanScrollUp(list, &can) && can) {
    ElementIndex().ScrollUp(list, step);
  } else {
    return 0;
  }
  Redraw(1);
  return 1;
}

// ---- state queries ----

int CMoviePage::QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  if (QueryFrameButtonState(action, shown)) return 1;
  CMovieConfig* movie = Movie();
  if (!movie || !shown || !enabled || !checked) return 0;
  return QueryMovieActionState(*movie, action, *shown, *enabled, *checked);
}

int CMoviePage::QueryStillImageShown(const std::string& name, int* shown) {
  CMovieConfig* movie = Movie();
  if (!movie || !shown || name != kVideoImage) return 0;
  *shown = movie->IsPlaying() ? 0 : 1;
  return 1;
}

bool CMoviePage::IsDriveList(int list) const {
  std::string name;
  return Layout() && Layout()->GetListName(name, list) && name == kDriveList;
}

int CMoviePage::QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) {
  (void)checked;
  if (!IsDriveList(list)) return 0;
  CMovieConfig* movie = Movie();
  int index = -1;
  const bool valid = movie && DriveCountShown(*movie) && ElementIndex().RowToItem(list, item, &index) && index >= 0 &&
                     index < static_cast<int>(movie->m_arrDrives.size());
  if (shown) *shown = valid ? 1 : 0;
  if (enabled) *enabled = valid ? 1 : 0;
  return 1;
}

int CMoviePage::QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) {
  std::string name;
  if (!Layout() || !Layout()->GetListActionName(name, action, list) || !shown || !enabled || !checked) return 0;
  if (name == "pageup" || name == "pagedown") {
    int can = 0;
    if (name == "pageup") ElementIndex().CanScrollUp(list, &can);
    else ElementIndex().CanScrollDown(list, &can);
    *enabled = can ? 1 : 0;
    return 1;
  }
  if (name == "Movie Input PIN" || name == "Movie Confirm PIN") {
    const CEditWrapper* box = name == "Movie Input PIN" ? m_pinEdit.get() : m_confirmEdit.get();
    *enabled = box && box->Window() && plat::IsWindowEnabled(box->Window()) ? 1 : 0;
    return 1;
  }
  CMovieConfig* movie = Movie();
  if (!movie) return 1;
  if (name == "Movie ParentalControl Setting") {
    if (Frame().Services().GetVendorId() == 4) QueryMovieResumeState(*movie, *shown, *enabled, *checked);
    return 1;
  }
  if (name == "Movie Setting" || name == "Movie Setting Entry") return 1;
  static constexpr std::array<const char*, 4> kPinEntered{"Movie SelectPLCLevel Left", "Movie SelectPLCLevel Right",
                                                          "Movie ChangePINNumber Enter",
                                                          "Movie RemovePINNumber Enter"};
  if (OneOf(name, kPinEntered)) return QueryMoviePinEnteredState(*movie, *shown, *enabled, *checked), 1;
  if (name == "Movie AudioProfile Left" || name == "Movie AudioProfile Right")
    return QueryMovieAudioProfileState(*movie, *shown, *enabled, *checked), 1;
  if (name == "Movie AudioChannelExpander Left" || name == "Movie AudioChannelExpander Right")
    return QueryMovieAudioChannelExpanderState(*movie, *shown, *enabled, *checked), 1;
  // The menu entries, navigation, number keys and eject follow the play
  // state; every other list action keeps its preset state.
  QueryMovieActionState(*movie, name, *shown, *enabled, *checked);
  return 1;
}

int CMoviePage::QueryListImageShown(int list, int image, int* shown) {
  std::string name;
  CMovieConfig* movie = Movie();
  CConfig* config = Config();
  if (!movie || !config || !shown || !Layout() || !Layout()->GetListImageName(name, image, list)) return 0;
  if (name == "Movie ParentalControl Option Image") {
    *shown = movie->m_strParentalPassword.empty() ? 0 : 1;
    return 1;
  }
  struct Mode {
    const char* name;
    int ratio;
    int mode;  // 0: the original picture (no wide-screen mode)
  };
  static constexpr std::array<Mode, 7> kModes{{{"Movie SrceenMode 4X3 Original", 1, 0},
                                               {"Movie SrceenMode 16X9 Original", 2, 0},
                                               {"Movie SrceenMode 4X3 Letterbox", 1, 1},
                                               {"Movie SrceenMode 4X3 Panscan", 1, 2},
                                               {"Movie SrceenMode 4X3 WIDEFILL", 1, 3},
                                               {"Movie SrceenMode 16X9 Letterbox", 2, 1},
                                               {"Movie SrceenMode 16X9 WIDEFILL", 2, 3}}};
  for (const Mode& m : kModes) {
    if (name != m.name) continue;
    *shown = movie->m_bScreenOptionShown && config->m_nScreenRatio == m.ratio &&
             (m.mode == 0 || config->m_nWideScreenMode == m.mode);
    return 1;
  }
  static constexpr std::array<const char*, 5> kProfiles{
      "Movie ColorProfile VIVEX After", "Movie ColorProfile Original After", "Movie ColorProfile Vivid After",
      "Movie ColorProfile Brightness After", "Movie ColorProfile theater After"};
  for (std::size_t i = 0; i < kProfiles.size(); ++i) {
    if (name != kProfiles[i]) continue;
    *shown = movie->m_bColorOptionShown && movie->m_nColorProfile == static_cast<int>(i) + 1;
    return 1;
  }
  return 0;
}

// ---- drive selector ----

void CMoviePage::UpdateDriveTexts(int driveIndex) {
  CMovieConfig* movie = Movie();
  if (!movie || driveIndex < 0 || driveIndex >= static_cast<int>(movie->m_arrDrives.size())) return;
  if (m_shownDrive == driveIndex) return;
  m_shownDrive = driveIndex;
  Redraw(1);
}

int CMoviePage::HighlightListItem(int item, int list) {
  const int result = CShellPage::HighlightListItem(item, list);
  int index = -1;
  if (IsDriveList(list) && ElementIndex().RowToItem(list, item, &index)) UpdateDriveTexts(index);
  return result;
}

int CMoviePage::OnListItemAction(int list, int item) {
  CShellPage::OnListItemAction(list, item);
  if (!IsDriveList(list)) return 0;
  CMovieConfig* movie = Movie();
  int index = -1;
  if (!movie || !ElementIndex().RowToItem(list, item, &index)) return 0;
  if (index < 0 || index >= static_cast<int>(movie->m_arrDrives.size())) return 0;
  movie->m_nDriveIndex = index;
  UpdateDriveTexts(index);
  const MovieDriveEntry& drive = movie->m_arrDrives[static_cast<std::size_t>(index)];
  if (drive.nMediaKind < 2 || drive.nMediaKind > 7 || drive.strRoot.empty()) return 1;
  movie->m_strDriveRoot = drive.strRoot;
  movie->m_nDriveLetterIndex = static_cast<std::uint8_t>(drive.strRoot[0] - 'A');
  // The controller re-reads the drive list before opening: the pending
  // letter and the list position make it open the drive chosen here.
  movie->m_nDriveListPos = index;
  movie->m_nPendingDriveIndex = movie->m_nDriveLetterIndex;
  SendAction("Movie Play", 1, 0);
  return 1;
}

// ---- left and right keys ----

int CMoviePage::OnKeyLeft(int flag) {
  if (Frame().Services().GetVendorId() == 1) {
    std::string name;
    int kind = 0, index = 0;
    static constexpr std::array<const char*, 5> kRightArrows{
        "Movie WideScreenMode Right", "Movie ColorProfile Right", "Movie SelectSubtitle Right",
        "Movie SelectClosedCaption Right", "Movie SelectLanguage Right"};
    if (Layout() && SplitEntry(FocusedList(), FocusedEntry(), &kind, &index) && kind == ENTRY_ACTION &&
        Layout()->GetListActionName(name, index, FocusedList()) && OneOf(name, kRightArrows)) {
      LayOutPinBoxes();
      return SendAction("Movie Setting Return", 0, 0);
    }
  }
  return CShellPage::OnKeyLeft(flag);
}

int CMoviePage::OnKeyRight(int flag) {
  if (Frame().Services().GetVendorId() == 1) {
    std::string name;
    int kind = 0, index = 0;
    static constexpr std::array<const char*, 5> kRightArrows{
        "Movie WideScreenMode Right", "Movie ColorProfile Right", "Movie SelectSubtitle Right",
        "Movie SelectClosedCaption Right", "Movie SelectLanguage Right"};
    if (Layout() && SplitEntry(FocusedList(), FocusedEntry(), &kind, &index) && kind == ENTRY_ACTION &&
        Layout()->GetListActionName(name, index, FocusedList()) && OneOf(name, kRightArrows))
      return OnAction(name);
  }
  return CShellPage::OnKeyRight(flag);
}
