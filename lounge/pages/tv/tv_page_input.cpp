// CTvPage: the mouse, the idle-cursor timer and the arrow keys: the bars over
// the picture, the wall's paging, the guide's stepping and the vendor-4
// channel mover.
#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/tv_config.h"
#include "lounge/pages/tv/tv_page.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kChannelList = "TV Channel List";
constexpr const char* kWallList = "TV TVWall List";

constexpr int kPagePreview = 1;
constexpr int kPageMainMenu = 2;
constexpr int kPageWall = 3;
constexpr int kPageTeletext = 6;
constexpr int kPageChannels = 8;
constexpr int kPageGuide = 10;

bool Contains(const plat::RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

void CTvPage::KillCursorTimer() {
  if (m_cursorTimer && Owner()) plat::KillTimer(Owner(), TV_CURSOR_TIMER);
  m_cursorTimer = false;
}

int CTvPage::OnLeave() {
  KillCursorTimer();
  return CSkinPage::OnLeave();
}

bool CTvPage::SelectingChannel() const {
  const CTVConfig* tv = TV();
  return tv && tv->m_nPageType == kPageChannels && Frame().Services().GetVendorId() == 4 &&
         tv->m_nChannelEditMode == 1;
}

bool CTvPage::WallFocusOnEdgeRow(bool top) {
  const int list = ListIndex(kWallList);
  if (list < 0 || FocusedList() != list) return false;
  int kind = 0, item = 0;
  if (!SplitEntry(list, FocusedEntry(), &kind, &item) || kind != ENTRY_ITEM) return false;
  const int slots = static_cast<int>(Layout()->Lists()[static_cast<std::size_t>(list)].items.size());
  int columns = 1;
  if (!ElementIndex().GetColumnCount(list, &columns) || columns < 1) columns = 1;
  return top ? item < columns : item >= slots - columns;
}

// ---- the idle cursor and the bars ----

int CTvPage::OnTimer(plat::UINT_PTR id) {
  if (id == TV_DIGIT_TIMER) {
    m_digits.OnTimer(PresetsNow());
    return 1;
  }
  if (id != TV_CURSOR_TIMER) return 0;
  KillCursorTimer();
  // A cursor resting on a bar keeps the bars and itself: the user is about
  // to press a button there.
  if (Frame().IsCursorOverBars()) return 1;
  plat::POINT cursor{};
  plat::RECT client{};
  if (Owner() && plat::GetCursorPos(&cursor)) {
    plat::ScreenToClient(Owner(), &cursor);
    plat::GetClientRect(Owner(), &client);
    if (Contains(client, cursor.x, cursor.y)) {
      for (int i = 0; i < 100 && plat::ShowCursor(plat::FALSE) >= 0; ++i) {
      }
      plat::SetCursor(nullptr);
    }
  }
  const CTVConfig* tv = TV();
  if (tv && tv->m_nPageType == kPagePreview) Frame().Services().SetCaptionBarVisible(0, 0);
  Frame().Services().SetPlaybackBarVisible(0, 0);
  return 1;
}

int CTvPage::OnMouseMove(int x, int y) {
  const CTVConfig* tv = TV();
  if (tv && (tv->m_nPageType == kPagePreview || tv->m_nPageType == kPageMainMenu)) {
    Frame().Services().SetCaptionBarVisible(1, 0);
    // Over teletext the transport buttons would cover the page's text.
    if (tv->m_nTeletextDisplay == 0) Frame().Services().SetPlaybackBarVisible(1, 0);
    if (Owner()) m_cursorTimer = plat::SetTimer(Owner(), TV_CURSOR_TIMER, TV_CURSOR_IDLE_MS, nullptr) != 0;
  }
  // While a channel is selected for editing, the list keeps its rows as they are.
  plat::RECT list{};
  if (SelectingChannel() && GetListScreenRectByName(kChannelList, &list) && Contains(list, x, y)) return 0;
  return CShellPage::OnMouseMove(x, y);
}

int CTvPage::OnButtonDown(int x, int y) {
  plat::RECT list{};
  if (SelectingChannel() && GetListScreenRectByName(kChannelList, &list) && Contains(list, x, y)) return 0;
  return CShellPage::OnButtonDown(x, y);
}

int CTvPage::OnButtonUp(int x, int y) {
  const CTVConfig* tv = TV();
  // A click on the live picture opens the main menu.
  if (tv && tv->m_nPageType == kPagePreview && tv->m_nTVMode == 2 && tv->m_nTeletextDisplay == 0)
    return OnAction("TV MainMenu Page");
  plat::RECT video{};
  if (tv && tv->m_nPageType == kPageTeletext && GetStillImageScreenRectByName("TV Video", &video) &&
      Contains(video, x, y))
    return Send("TV Update Page");
  return CShellPage::OnButtonUp(x, y);
}

// ---- keys ----

int CTvPage::OnKeyLeft(int flag) {
  if (SelectingChannel()) return 0;
  const CTVConfig* tv = TV();
  if (tv && tv->m_nPageType == kPageGuide) return Send("TV NextView Prev Date");
  return CSkinPage::OnKeyLeft(flag);
}

int CTvPage::OnKeyRight(int flag) {
  if (SelectingChannel()) return 0;
  const CTVConfig* tv = TV();
  if (tv && tv->m_nPageType == kPageGuide) return Send("TV NextView Next Date");
  return CSkinPage::OnKeyRight(flag);
}

int CTvPage::OnKeyUp(int flag) {
  CTVConfig* tv = TV();
  if (!tv) return CSkinPage::OnKeyUp(flag);
  if (tv->m_nPageType == kPageWall && WallFocusOnEdgeRow(true)) return Send("TV TVWall Prev Page");
  if (tv->m_nPageType == kPageChannels && Frame().Services().GetVendorId() == 4) {
    if (tv->m_nChannelEditMode == 2) return MoveSelectedChannel(-1);
    if (tv->m_nChannelEditMode == 1) {
      // On the first channel the focus stays in the list.
      const int list = ListIndex(kChannelList);
      int kind = 0, item = 0, top = 0;
      ElementIndex().GetTopIndex(list, &top);
      if (list >= 0 && FocusedList() == list && SplitEntry(list, FocusedEntry(), &kind, &item) &&
          kind == ENTRY_ITEM && item == 0 && top == 0)
        return 0;
    }
  }
  if (tv->m_nPageType == kPageGuide) return Send("TV NextView Prev Item");
  return CSkinPage::OnKeyUp(flag);
}

int CTvPage::OnKeyDown(int flag) {
  CTVConfig* tv = TV();
  if (!tv) return CSkinPage::OnKeyDown(flag);
  if (tv->m_nPageType == kPageWall && WallFocusOnEdgeRow(false)) return Send("TV TVWall Next Page");
  if (tv->m_nPageType == kPageChannels && Frame().Services().GetVendorId() == 4 && tv->m_nChannelEditMode == 2)
    return MoveSelectedChannel(1);
  if (tv->m_nPageType == kPageGuide) return Send("TV NextView Next Item");
  return CSkinPage::OnKeyDown(flag);
}
