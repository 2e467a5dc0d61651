// The parental-lock PIN boxes: two password edit controls laid over the
// "Movie Input PIN" and "Movie Confirm PIN" entries of the parental-lock
// pages. A PIN has exactly four characters; shorter input waits for more.
#include <cstring>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/pages/movie/movie_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "platform/gdi/font.h"
#include "platform/win/controls/controls.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kPlcList = "Movie PLC Setting";
constexpr const char* kPinList = "Movie Input PIN list";
constexpr const char* kPinEntry = "Movie Input PIN";
constexpr const char* kConfirmEntry = "Movie Confirm PIN";
constexpr std::size_t kPinLength = 4;
constexpr int kPinControlId = 1;

std::string TextOf(const CEditWrapper* box) {
  return box && box->Window() ? plat::GetWindowTextString(box->Window()) : std::string();
}

void SetText(CEditWrapper* box, const std::string& text) {
  if (box && box->Window()) plat::SetWindowText(box->Window(), text.c_str());
}

void Enable(CEditWrapper* box, bool enable) {
  if (box && box->Window()) plat::EnableWindow(box->Window(), enable ? plat::TRUE : plat::FALSE);
}

}  // namespace

int CMoviePage::Create() {
  CShellPage::Create();
  plat::HWND parent = Frame().FrameWindow();
  if (!parent) return 1;
  const plat::DWORD style = plat::WS_CHILD | plat::WS_BORDER | plat::ES_PASSWORD;
  for (std::unique_ptr<CEditWrapper>* box : {&m_pinEdit, &m_confirmEdit}) {
    if (*box && (*box)->Window()) continue;
    *box = std::make_unique<CEditWrapper>(EDIT_ADMIT_DIGITS);
    (*box)->Create(style, plat::RECT{0, 0, 0, 0}, parent, kPinControlId);
  }
  return 1;
}

int CMoviePage::Destroy() {
  m_pinFont.reset();
  m_pinEdit.reset();
  m_confirmEdit.reset();
  return 0;
}

void CMoviePage::PlaceBox(CEditWrapper& box, const std::string& list, const std::string& entry) {
  int l = -1, action = -1;
  plat::RECT rect{};
  if (!box.Window() || !Layout() || !Layout()->FindList(list, l) || !Layout()->FindListAction(entry, action, l) ||
      !GetListActionScreenRect(action, l, &rect))
    return;
  plat::LOGFONTA font{};
  font.lfHeight = rect.bottom - rect.top;
  font.lfWeight = plat::FW_BOLD;
  std::string face;
  LookupUIString("FONT1", face);
  std::strncpy(font.lfFaceName, face.c_str(), sizeof font.lfFaceName - 1);
  m_pinFont.reset(plat::CreateFontIndirect(&font));
  plat::SendMessage(box.Window(), plat::WM_SETFONT, reinterpret_cast<plat::WPARAM>(m_pinFont.get()), 1);
  plat::SetWindowPos(box.Window(), plat::HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, plat::SWP_SHOWWINDOW);
}

void CMoviePage::LayOutPinBoxes() {
  if (!m_pinEdit || !m_confirmEdit) return;
  int list = -1;
  const bool plc = Layout() && Layout()->FindList(kPlcList, list);
  const bool single = !plc && Layout() && Layout()->FindList(kPinList, list);
  if (plc) {
    PlaceBox(*m_pinEdit, kPlcList, kPinEntry);
    PlaceBox(*m_confirmEdit, kPlcList, kConfirmEntry);
    return;
  }
  if (m_confirmEdit->Window()) plat::ShowWindow(m_confirmEdit->Window(), plat::SW_HIDE);
  if (single) {
    PlaceBox(*m_pinEdit, kPinList, kPinEntry);
  } else if (m_pinEdit->Window()) {
    plat::ShowWindow(m_pinEdit->Window(), plat::SW_HIDE);
  }
}

void CMoviePage::SetPinBoxStates() {
  CMovieConfig* movie = Movie();
  if (!movie || !m_pinEdit || !m_confirmEdit) return;
  const int page = movie->m_nMoviePageState;
  const std::string& stored = movie->m_strParentalPassword;
  if (page == 10 && !stored.empty()) {
    SetText(m_pinEdit.get(), stored);
    Enable(m_pinEdit.get(), false);
  } else if (page == 10 || page == 12 || page == 13) {
    Enable(m_pinEdit.get(), true);
    if (m_pinEdit->Window()) plat::SetFocus(m_pinEdit->Window());
  } else {
    Enable(m_pinEdit.get(), false);
  }
  if (!stored.empty()) SetText(m_confirmEdit.get(), stored);
  Enable(m_confirmEdit.get(), false);
  if (page == 10 && stored.empty()) {
    SetText(m_pinEdit.get(), "");
    SetText(m_confirmEdit.get(), "");
  } else if (page == 12 || page == 13) {
    SetText(m_pinEdit.get(), "");
  }
}

void CMoviePage::NoteFocusOf(plat::HWND window) {
  const bool confirm = m_confirmEdit && window == m_confirmEdit->Window();
  int list = -1, action = -1;
  if (!Layout()) return;
  if (Layout()->FindList(kPlcList, list)) {
    if (!Layout()->FindListAction(confirm ? kConfirmEntry : kPinEntry, action, list)) return;
  } else if (!Layout()->FindList(kPinList, list) || !Layout()->FindListAction(kPinEntry, action, list)) {
    return;
  }
  m_pinList = list;
  m_pinEntry = EntryOf(list, ENTRY_ACTION, action);
  SetFocus(m_pinList, m_pinEntry);
}

void CMoviePage::GoToPinPage(int pageId, const char* path) {
  if (Frame().FrameWindow()) plat::SetFocus(Frame().FrameWindow());
  if (CMovieConfig* movie = Movie()) movie->m_nMoviePageState = pageId;
  LoadPageLayout(path);
}

int CMoviePage::OnRenameEditKey(plat::HWND window, int key) {
  const bool pin = m_pinEdit && window && window == m_pinEdit->Window();
  const bool confirm = m_confirmEdit && window && window == m_confirmEdit->Window();
  if (!pin && !confirm) return CShellPage::OnRenameEditKey(window, key);
  NoteFocusOf(window);
  if (!TextOf(m_pinEdit.get()).empty()) {
    LayOutPinBoxes();
    Redraw(1);
  }
  // Navigation keys go on working while a box has the keyboard focus.
  // Left and Right reach the box only as key-downs, so each is posted once.
  if (Frame().FrameWindow() && (key == plat::VK_LEFT || key == plat::VK_RIGHT))
    plat::PostMessage(Frame().FrameWindow(), plat::WM_KEYDOWN, static_cast<plat::WPARAM>(key), 0);
  OnPinTextChanged(window);
  return 1;
}

int CMoviePage::OnListEntryHook() {
  if (m_pinList >= 0) SetFocus(m_pinList, m_pinEntry);
  return 0;
}

void CMoviePage::OnPinTextChanged(plat::HWND window) {
  CMovieConfig* movie = Movie();
  if (!movie) return;
  const int page = movie->m_nMoviePageState;
  const std::string typed = TextOf(m_pinEdit.get());
  if (m_pinEdit && window == m_pinEdit->Window()) {
    if (typed.size() != kPinLength) return;
    if (page == 10) {
      // A new PIN: the confirmation follows.
      Enable(m_pinEdit.get(), false);
      Enable(m_confirmEdit.get(), true);
      if (m_confirmEdit->Window()) plat::SetFocus(m_confirmEdit->Window());
      return;
    }
    if (page != 12 && page != 13) return;
    if (typed != movie->m_strParentalPassword) {
      SetText(m_pinEdit.get(), "");
      movie->m_nPreviousPageState = page;
      movie->m_nPinPageOrigin = page;  // "OK" on the error page comes back here
      GoToPinPage(14, MoviePagePath(14));
      return;
    }
    if (movie->m_bLevelRequestPending) {
      movie->m_nMoviePageState = 3;
      LoadPageLayout(MoviePagePath(3));
      if (movie->m_nPlayState == MOVIE_PLAYING) {
        SendAction("Movie AcceptPLCChange", 0, 0);
      } else {
        // The disc plays at no limit for this start only.
        const int level = movie->m_nRating;
        movie->m_nRating = CMovieConfig::kNoRating;
        SendAction("Movie Play", 0, 0);
        movie->m_nRating = level;
      }
      movie->m_nDiscRating = CMovieConfig::kNoRating;
      SetText(m_pinEdit.get(), "");
      return;
    }
    SetText(m_pinEdit.get(), "");
    GoToPinPage(11, MoviePagePath(11));
    return;
  }
  const std::string confirmation = TextOf(m_confirmEdit.get());
  if (confirmation.size() != kPinLength) return;
  if (confirmation != typed) {
    movie->m_nPreviousPageState = page;
    movie->m_nPinPageOrigin = page;
    GoToPinPage(14, MoviePagePath(14));
    SetText(m_pinEdit.get(), "");
    SetText(m_confirmEdit.get(), "");
    return;
  }
  SetText(m_pinEdit.get(), "");
  SetText(m_confirmEdit.get(), "");
  movie->m_strParentalPassword = confirmation;
  GoToPinPage(11, MoviePagePath(11));
}
