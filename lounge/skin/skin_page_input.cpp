// CSkinPage: keys, mouse, hit tests, the keyboard focus over list entries,
// presses and actions, click sounds, tooltips, the list index text, the
// rename key pad and the module's back action.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/key_codes.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/rename_keypad.h"
#include "lounge/skin/skin_page.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/gdi.h"
#include "platform/win/controls/controls.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

using plat::COLORREF;
using plat::POINT;
using plat::RECT;

namespace {

template <typename T>
bool InRange(int i, const std::vector<T>& v) {
  return i >= 0 && i < static_cast<int>(v.size());
}

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The edit control's own procedure, kept by the subclass below (all edit
// boxes share it).
plat::WNDPROC g_editProc = nullptr;

// The rename edit box tells its page's owner about Enter, which the edit
// control itself ignores.
plat::LRESULT RenameEditProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == plat::WM_KEYDOWN && wParam == plat::VK_RETURN) {
    auto owner = reinterpret_cast<plat::HWND>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
    if (owner) plat::PostMessage(owner, WM_RENAME_EDIT_KEY, reinterpret_cast<plat::WPARAM>(hwnd), 13);
    return 0;
  }
  return plat::CallWindowProc(g_editProc, hwnd, msg, wParam, lParam);
}
constexpr COLORREF kTooltipColour = 0xBE4700;
constexpr COLORREF kIndexTextColour = 0xFFFFFF;
constexpr const char* kTooltipText = "Tooltip Text";
constexpr const char* kItemIndexText = "item index";

}  // namespace

// ---- sounds and cursors ----

void CSkinPage::SoundIfEnabled(bool highlight) {
  CConfig* config = m_host ? m_host->GetConfig() : nullptr;
  if (!config || config->m_bSuppress || !config->m_bSoundEffect) return;
  const int on = highlight ? config->m_bHighlightSoundOn : config->m_bPressedSoundOn;
  const std::string& file = highlight ? config->m_strHighlightSound : config->m_strPressedSound;
  if (!on || file.empty()) return;
  m_host->PlaySound(nullptr, plat::SND_NOWAIT);
  m_host->PlaySound(file.c_str(), plat::SND_ASYNC | plat::SND_NOWAIT);
}

void CSkinPage::PlayHighlightSound() { SoundIfEnabled(true); }
void CSkinPage::PlayPressSound() { SoundIfEnabled(false); }

void CSkinPage::BeginWaitCursor() {
  m_cursorBeforeWait = plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_WAIT));
}

void CSkinPage::EndWaitCursor() {
  plat::SetCursor(m_cursorBeforeWait ? m_cursorBeforeWait : plat::LoadCursor(nullptr, plat::IDC_ARROW));
  m_cursorBeforeWait = nullptr;
}

void CSkinPage::HideCursor() {
  // A bounded loop: the display counter only goes down.
  for (int i = 0; i < 64 && plat::ShowCursor(0) >= 0; ++i) {
  }
  plat::SetCursor(nullptr);
}

int CSkinPage::ConsumeLayoutReplaced() {
  const int replaced = m_layoutReplaced;
  m_layoutReplaced = 0;
  return replaced;
}

// ---- hit tests ----

int CSkinPage::HitTestButton(POINT point) {
  if (!m_loaded) return -1;
  for (int i = 0; i < static_cast<int>(m_buttonStates.size()); ++i) {
    RECT rect;
    if (m_buttonStates[static_cast<size_t>(i)].shown && GetButtonScreenRect(i, &rect) && Contains(rect, point))
      return i;
  }
  return -1;
}

int CSkinPage::HitTestLink(POINT point) {
  if (!m_loaded) return -1;
  for (int i = 0; i < static_cast<int>(m_linkStates.size()); ++i) {
    RECT rect;
    if (m_linkStates[static_cast<size_t>(i)].shown && GetLinkScreenRect(i, &rect) && Contains(rect, point)) return i;
  }
  return -1;
}

int CSkinPage::HitTestText(POINT point) {
  if (!m_loaded) return -1;
  for (int i = 0; i < static_cast<int>(m_textShown.size()); ++i) {
    RECT rect;
    if (m_textShown[static_cast<size_t>(i)] && GetTextScreenRect(i, &rect) && Contains(rect, point)) return i;
  }
  return -1;
}

int CSkinPage::HitTestList(POINT point) {
  if (!m_loaded) return -1;
  // Lists may overlap (a display area around a panel's buttons): the list
  // with an entry under the point is the one pointed at.
  int owner = -1;
  if (HitTestListItem(point, &owner) >= 0 || HitTestListAction(point, &owner) >= 0 ||
      HitTestListLink(point, &owner) >= 0)
    return owner;
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    RECT rect;
    if (m_listStates[static_cast<size_t>(l)].shown && GetListScreenRect(l, &rect) && Contains(rect, point)) return l;
  }
  return -1;
}

int CSkinPage::HitTestListItem(POINT point, int* list) {
  if (!m_loaded) return -1;
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    const CListState& state = m_listStates[static_cast<size_t>(l)];
    if (!state.shown) continue;
    for (int j = 0; j < static_cast<int>(state.itemStates.size()); ++j) {
      RECT rect;
      if (state.itemStates[static_cast<size_t>(j)].shown && GetListItemScreenRect(j, l, &rect) &&
          Contains(rect, point)) {
        if (list) *list = l;
        return j;
      }
    }
  }
  return -1;
}

int CSkinPage::HitTestListAction(POINT point, int* list) {
  if (!m_loaded) return -1;
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    const CListState& state = m_listStates[static_cast<size_t>(l)];
    if (!state.shown) continue;
    for (int j = 0; j < static_cast<int>(state.listActionStates.size()); ++j) {
      RECT rect;
      if (state.listActionStates[static_cast<size_t>(j)].shown && GetListActionScreenRect(j, l, &rect) &&
          Contains(rect, point)) {
        if (list) *list = l;
        return j;
      }
    }
  }
  return -1;
}

int CSkinPage::HitTestListLink(POINT point, int* list) {
  if (!m_loaded) return -1;
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    const CListState& state = m_listStates[static_cast<size_t>(l)];
    if (!state.shown) continue;
    for (int j = 0; j < static_cast<int>(state.listLinkStates.size()); ++j) {
      RECT rect;
      if (state.listLinkStates[static_cast<size_t>(j)].shown && GetListLinkScreenRect(j, l, &rect) &&
          Contains(rect, point)) {
        if (list) *list = l;
        return j;
      }
    }
  }
  return -1;
}

bool CSkinPage::OverActiveElement(POINT point) {
  auto active = [](const ElementState& s) { return s.shown && s.enabled; };
  int b = HitTestButton(point);
  if (b >= 0 && active(m_buttonStates[static_cast<size_t>(b)])) return true;
  int k = HitTestLink(point);
  if (k >= 0 && active(m_linkStates[static_cast<size_t>(k)])) return true;
  int l = -1;
  int j = HitTestListItem(point, &l);
  if (j >= 0 && active(m_listStates[static_cast<size_t>(l)].itemStates[static_cast<size_t>(j)])) return true;
  j = HitTestListAction(point, &l);
  if (j >= 0 && active(m_listStates[static_cast<size_t>(l)].listActionStates[static_cast<size_t>(j)])) return true;
  j = HitTestListLink(point, &l);
  return j >= 0 && active(m_listStates[static_cast<size_t>(l)].listLinkStates[static_cast<size_t>(j)]);
}

// ---- focus entries ----

int CSkinPage::EntryCount(int list) {
  if (!m_layout || !InRange(list, m_layout->Lists())) return 0;
  const CLayoutList& l = m_layout->Lists()[static_cast<size_t>(list)];
  return static_cast<int>(l.items.size() + l.actions.size() + l.links.size());
}

int CSkinPage::EntryOf(int list, int kind, int index) {
  if (!m_layout || !InRange(list, m_layout->Lists()) || index < 0) return -1;
  const CLayoutList& l = m_layout->Lists()[static_cast<size_t>(list)];
  const int items = static_cast<int>(l.items.size()), actions = static_cast<int>(l.actions.size());
  switch (kind) {
    case ENTRY_ITEM:
      return index;
    case ENTRY_ACTION:
      return items + index;
    case ENTRY_LINK:
      return items + actions + index;
    default:
      return -1;
  }
}

int CSkinPage::SplitEntry(int list, int entry, int* kind, int* index) {
  if (!kind || !index || entry < 0 || entry >= EntryCount(list)) return 0;
  const CLayoutList& l = m_layout->Lists()[static_cast<size_t>(list)];
  const int items = static_cast<int>(l.items.size()), actions = static_cast<int>(l.actions.size());
  if (entry < items) {
    *kind = ENTRY_ITEM, *index = entry;
  } else if (entry < items + actions) {
    *kind = ENTRY_ACTION, *index = entry - items;
  } else {
    *kind = ENTRY_LINK, *index = entry - items - actions;
  }
  return 1;
}

int CSkinPage::QueryEntryShownEnabled(int list, int entry) {
  int kind = 0, index = 0;
  if (!SplitEntry(list, entry, &kind, &index)) return 0;
  int shown = 1, enabled = 1, checked = 0;
  if (kind == ENTRY_ITEM) {
    QueryListItemState(list, index, &shown, &enabled, &checked);
  } else if (kind == ENTRY_ACTION) {
    QueryListActionState(list, index, &shown, &enabled, &checked);
  } else {
    QueryListLinkState(list, index, &shown, &enabled, &checked);
  }
  return shown && enabled ? 1 : 0;
}

int CSkinPage::EntryScreenRect(int list, int entry, RECT* rect) {
  int kind = 0, index = 0;
  if (!SplitEntry(list, entry, &kind, &index)) return 0;
  if (kind == ENTRY_ITEM) return GetListItemScreenRect(index, list, rect);
  if (kind == ENTRY_ACTION) return GetListActionScreenRect(index, list, rect);
  return GetListLinkScreenRect(index, list, rect);
}

int CSkinPage::FirstFocusableEntry(int list) {
  const int count = EntryCount(list);
  for (int e = 0; e < count; ++e)
    if (QueryEntryShownEnabled(list, e)) return e;
  return -1;
}

int CSkinPage::IsFocusableList(int list) {
  if (!m_layout || !InRange(list, m_layout->Lists())) return 0;
  int shown = 1;
  QueryListShown(m_layout->Lists()[static_cast<size_t>(list)].name, &shown);
  if (!shown || EntryCount(list) == 0) return 0;
  return FirstFocusableEntry(list) >= 0 ? 1 : 0;
}

int CSkinPage::FirstFocusableList() {
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l)
    if (IsFocusableList(l)) return l;
  return -1;
}

int CSkinPage::NextListInDirection(int direction) {
  RECT current;
  if (!GetListScreenRect(m_focusedList, &current)) return -1;
  const int cx = (current.left + current.right) / 2, cy = (current.top + current.bottom) / 2;
  int best = -1, bestDistance = 0x7FFFFFFF;
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    RECT rect;
    if (l == m_focusedList || !IsFocusableList(l) || !GetListScreenRect(l, &rect)) continue;
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    int distance = 0;
    switch (direction) {
      case FOCUS_LEFT: distance = x < cx ? cx - x : 0; break;
      case FOCUS_RIGHT: distance = x > cx ? x - cx : 0; break;
      case FOCUS_UP: distance = y < cy ? cy - y : 0; break;
      case FOCUS_DOWN: distance = y > cy ? y - cy : 0; break;
      default: return -1;
    }
    if (distance > 0 && distance < bestDistance) best = l, bestDistance = distance;
  }
  return best;
}

int CSkinPage::NextEntryInDirection(int list, int entry, int direction) {
  // Without a layout there is no entry to move to.
  if (!m_loaded || !m_layout) return -1;
  const int count = EntryCount(list);
  if (list < 0 || count == 0) return -1;
  RECT current;
  if (!EntryScreenRect(list, entry, &current)) return -1;
  POINT ref{};
  switch (direction) {
    case FOCUS_LEFT: ref = {current.left, (current.top + current.bottom) / 2}; break;
    case FOCUS_RIGHT: ref = {current.right, (current.top + current.bottom) / 2}; break;
    case FOCUS_UP: ref = {(current.left + current.right) / 2, current.top}; break;
    case FOCUS_DOWN: ref = {(current.left + current.right) / 2, current.bottom}; break;
    default: return -1;
  }
  int best = -1, bestDistance = 0x7FFFFFFF;
  for (int e = 0; e < count; ++e) {
    RECT rect;
    if (e == entry || !QueryEntryShownEnabled(list, e) || !EntryScreenRect(list, e, &rect)) continue;
    POINT p{};
    bool beyond = false;
    switch (direction) {
      case FOCUS_LEFT:
        beyond = rect.right < ref.x, p = {rect.right, (rect.top + rect.bottom) / 2};
        break;
      case FOCUS_RIGHT:
        beyond = rect.left > ref.x, p = {rect.left, (rect.top + rect.bottom) / 2};
        break;
      case FOCUS_UP:
        beyond = rect.bottom < ref.y, p = {(rect.left + rect.right) / 2, rect.bottom};
        break;
      default:
        beyond = rect.top > ref.y, p = {(rect.left + rect.right) / 2, rect.top};
        break;
    }
    if (!beyond) continue;
    const double dx = p.x - ref.x, dy = p.y - ref.y;
    const int distance = static_cast<int>(std::sqrt(dx * dx + dy * dy));
    if (distance < bestDistance) best = e, bestDistance = distance;
  }
  return best;
}

// ---- list highlights ----

void CSkinPage::ChangeListHighlight(int list, int kind, int index, bool sound) {
  CListState* state = ListState(list);
  if (!state) return;
  int CListState::*field = kind == ENTRY_ITEM     ? &CListState::highlightedItem
                           : kind == ENTRY_ACTION ? &CListState::highlightedListAction
                                                  : &CListState::highlightedListLink;
  const std::vector<ElementState>& states = kind == ENTRY_ITEM     ? state->itemStates
                                            : kind == ENTRY_ACTION ? state->listActionStates
                                                                   : state->listLinkStates;
  const int old = state->*field;
  if (old == index) return;
  state->*field = index;
  if (!m_painted) return;
  auto refresh = [&](int j) {
    if (kind == ENTRY_ITEM) {
      RefreshListItem(j, list);
    } else if (kind == ENTRY_ACTION) {
      RefreshListAction(j, list);
    } else {
      RefreshListLink(j, list);
    }
  };
  if (InRange(old, states)) refresh(old);
  if (InRange(index, states)) {
    refresh(index);
    if (kind == ENTRY_ITEM) UpdateListIndexText(list, index);
    const ElementState& s = states[static_cast<size_t>(index)];
    if (sound && s.shown && s.enabled) PlayHighlightSound();
  }
}

int CSkinPage::HighlightEntryOfKind(int kind, int index, int list) {
  CListState* state = ListState(list);
  if (!state || !state->shown) return 0;
  const std::vector<ElementState>& states = kind == ENTRY_ITEM     ? state->itemStates
                                            : kind == ENTRY_ACTION ? state->listActionStates
                                                                   : state->listLinkStates;
  if (index < -1 || index >= static_cast<int>(states.size())) return 0;
  if (index >= 0) {
    const ElementState& s = states[static_cast<size_t>(index)];
    if (!s.shown || !s.enabled) return 0;
  }
  ChangeListHighlight(list, kind, index, true);
  const int entry = index >= 0 ? EntryOf(list, kind, index) : -1;
  if (entry >= 0) state->rememberedEntry = entry;
  m_focusedList = list;
  m_focusedEntry = entry;
  return 1;
}

int CSkinPage::HighlightListItem(int item, int list) { return HighlightEntryOfKind(ENTRY_ITEM, item, list); }
int CSkinPage::HighlightListAction(int action, int list) { return HighlightEntryOfKind(ENTRY_ACTION, action, list); }
int CSkinPage::HighlightListLink(int link, int list) { return HighlightEntryOfKind(ENTRY_LINK, link, list); }

int CSkinPage::HighlightListItemByName(int item, const std::string& list) {
  int l = -1;
  return m_layout && m_layout->FindList(list, l) ? HighlightListItem(item, l) : 0;
}
int CSkinPage::HighlightListActionByName(int action, const std::string& list) {
  int l = -1;
  return m_layout && m_layout->FindList(list, l) ? HighlightListAction(action, l) : 0;
}
int CSkinPage::HighlightListLinkByName(int link, const std::string& list) {
  int l = -1;
  return m_layout && m_layout->FindList(list, l) ? HighlightListLink(link, l) : 0;
}

int CSkinPage::ShowFocus() {
  if (!IsFocusableList(m_focusedList)) return 0;
  int kind = 0, index = 0;
  if (!SplitEntry(m_focusedList, m_focusedEntry, &kind, &index)) return 0;
  // One highlight per list: the entry's own kind takes it from the others.
  for (int other : {ENTRY_ITEM, ENTRY_ACTION, ENTRY_LINK})
    if (other != kind) ChangeListHighlight(m_focusedList, other, -1, false);
  return HighlightEntryOfKind(kind, index, m_focusedList);
}

int CSkinPage::ClearAllHighlights() {
  const int button = m_highlightedButton, link = m_highlightedLink;
  m_highlightedButton = m_highlightedLink = -1;
  if (button >= 0) RefreshButton(button);
  if (link >= 0) RefreshLink(link);
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l)
    for (int kind : {ENTRY_ACTION, ENTRY_LINK, ENTRY_ITEM}) ChangeListHighlight(l, kind, -1, false);
  return 1;
}

int CSkinPage::DropFocus() {
  const int vendor = GetVendorId();
  if (m_loaded && vendor != VENDOR_NONE && vendor != VENDOR_DEZAD && vendor != VENDOR_RUVE) {
    ClearAllHighlights();
    m_focusedList = m_focusedEntry = -1;
  }
  return 0;
}

int CSkinPage::MoveFocus(int direction, int force) {
  if (m_listStates.empty()) return 0;
  int result = 0;
  if (IsFocusableList(m_focusedList)) {
    const int next = NextEntryInDirection(m_focusedList, m_focusedEntry, direction);
    if (next < 0 || force) {
      const int list = NextListInDirection(direction);
      if (list >= 0 && list != m_focusedList) {
        const int old = m_focusedList;
        for (int kind : {ENTRY_ITEM, ENTRY_ACTION, ENTRY_LINK}) ChangeListHighlight(old, kind, -1, false);
        m_focusedList = list;
        const int remembered = m_listStates[static_cast<size_t>(list)].rememberedEntry;
        m_focusedEntry = QueryEntryShownEnabled(list, remembered) ? remembered : FirstFocusableEntry(list);
        ShowFocus();
        result = 1;
      }
    } else {
      m_focusedEntry = next;
      result = ShowFocus();
    }
  } else {
    m_focusedList = FirstFocusableList();
    m_focusedEntry = FirstFocusableEntry(m_focusedList);
    result = ShowFocus();
  }
  HideCursor();
  return result;
}

int CSkinPage::OnKeyLeft(int flag) { return MoveFocus(FOCUS_LEFT, flag); }

int CSkinPage::OnKeyRight(int flag) {
  if (!flag && m_elementIndex->BlocksRightMove()) return Redraw(0);
  return MoveFocus(FOCUS_RIGHT, flag);
}

int CSkinPage::OnKeyUp(int flag) {
  if (!flag && m_elementIndex->ScrollRowUpForFocus()) {
    // The same slot now shows another item: highlight it afresh.
    if (CListState* state = ListState(m_focusedList)) state->highlightedItem = -1;
    return ShowFocus();
  }
  return MoveFocus(FOCUS_UP, flag);
}

int CSkinPage::OnKeyDown(int flag) {
  if (!flag && m_elementIndex->MoveFocusWithScroll()) {
    if (CListState* state = ListState(m_focusedList)) state->highlightedItem = -1;
    return ShowFocus();
  }
  return MoveFocus(FOCUS_DOWN, flag);
}

// ---- actions ----

int CSkinPage::PressButton(int i) {
  if (!m_layout || !InRange(i, m_buttonStates) || !m_buttonStates[static_cast<size_t>(i)].enabled) return 0;
  const std::string action = m_layout->Buttons()[static_cast<size_t>(i)].action;
  m_layoutReplaced = 0;
  BeginWaitCursor();
  PlayPressSound();
  OnAction(action);
  EndWaitCursor();
  return ConsumeLayoutReplaced();
}

int CSkinPage::PressLink(int i) {
  if (!m_layout || !InRange(i, m_linkStates) || !m_linkStates[static_cast<size_t>(i)].enabled) return 0;
  const LayoutLink link = m_layout->Links()[static_cast<size_t>(i)];
  m_layoutReplaced = 0;
  BeginWaitCursor();
  PlayPressSound();
  if (link.hyperlink != m_currentPath) {
    LoadLayout(link.hyperlink);
    OnAction(link.name);
  }
  EndWaitCursor();
  return ConsumeLayoutReplaced();
}

int CSkinPage::FollowLinkByName(const std::string& name) {
  if (!m_layout) return 0;
  std::string target;
  int i = -1;
  if (m_layout->FindLink(name, i)) {
    const ElementState& s = m_linkStates[static_cast<size_t>(i)];
    if (!s.shown || !s.enabled) return 0;
    target = m_layout->Links()[static_cast<size_t>(i)].hyperlink;
  } else {
    bool found = false;
    for (int l = 0; l < static_cast<int>(m_listStates.size()) && !found; ++l) {
      int j = -1;
      if (!m_layout->FindListLink(name, j, l)) continue;
      const ElementState& s = m_listStates[static_cast<size_t>(l)].listLinkStates[static_cast<size_t>(j)];
      if (!s.shown || !s.enabled) return 0;
      m_layout->GetListLinkTarget(target, j, l);
      found = true;
    }
    if (!found) return 0;
  }
  if (target == m_currentPath) return 1;
  const int loaded = LoadLayout(target);
  OnAction(name);
  return loaded;
}

int CSkinPage::OnListItemAction(int list, int item) {
  PlayPressSound();
  std::string name;
  if (m_layout && m_layout->GetListName(name, list) && name == RENAME_KEYPAD_LIST) {
    int key = -1;
    if (m_renameEdit && m_elementIndex->RowToItem(list, item, &key) && key >= 0 && key < RENAME_KEY_COUNT)
      plat::SendMessage(m_renameEdit, plat::WM_CHAR, static_cast<plat::WPARAM>(RENAME_KEYS[static_cast<size_t>(key)].character), 0);
    UncheckAllListItems(list);
  }
  return 0;
}

int CSkinPage::OnListItemDoubleClick(int list, int item) {
  (void)list, (void)item;
  return 0;
}

int CSkinPage::PageList(int list, int action) {
  std::string name;
  if (!m_layout || !m_layout->GetListActionName(name, action, list)) return 0;
  PlayPressSound();
  if (name == "pageup" || name == "pagedown") {
    const int step = m_elementIndex->PageStep(list);
    if (step <= 0) return 0;
    if (name == "pageup") {
      m_elementIndex->ScrollUp(list, step);
    } else {
      m_elementIndex->ScrollDown(list, step);
    }
    Redraw(1);
    return 1;
  }
  OnAction(name);
  return 1;
}

int CSkinPage::OnListLinkAction(int list, int link) {
  std::string name, target;
  if (!m_layout || !m_layout->GetListLinkName(name, link, list) || !m_layout->GetListLinkTarget(target, link, list))
    return 0;
  UncheckAllListLinks(list);
  PlayPressSound();
  if (target == m_currentPath) return 0;
  LoadLayout(target);
  OnAction(name);
  return 1;
}

int CSkinPage::PressFocusedEntry() {
  CListState* state = ListState(m_focusedList);
  int kind = 0, index = 0;
  if (!state || !state->shown || !SplitEntry(m_focusedList, m_focusedEntry, &kind, &index)) return 1;
  const int list = m_focusedList;
  if (kind == ENTRY_ITEM && state->itemStates[static_cast<size_t>(index)].enabled &&
      state->highlightedItem == index)
    return OnListItemAction(list, index);
  if (kind == ENTRY_ACTION && state->listActionStates[static_cast<size_t>(index)].enabled &&
      state->highlightedListAction == index)
    return PageList(list, index);
  if (kind == ENTRY_LINK && state->listLinkStates[static_cast<size_t>(index)].enabled &&
      state->highlightedListLink == index)
    return OnListLinkAction(list, index);
  return 1;
}

int CSkinPage::SetFocusButton(const std::string& action) {
  if (!m_layout) return 0;
  int i = -1;
  if (m_layout->FindButton(action, i)) return SetHighlightButton(i);
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    int j = -1;
    if (!m_layout->FindListAction(action, j, l)) continue;
    m_focusedList = l;
    m_focusedEntry = EntryOf(l, ENTRY_ACTION, j);
    return HighlightListAction(j, l);
  }
  return 0;
}

int CSkinPage::SetFocusLink(const std::string& name) {
  if (!m_layout) return 0;
  int i = -1;
  if (m_layout->FindButton(name, i)) return SetHighlightButton(i);
  if (m_layout->FindLink(name, i)) return SetHighlightLink(i);
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
    int j = -1;
    if (m_layout->FindListAction(name, j, l)) return HighlightListAction(j, l);
    if (m_layout->FindListLink(name, j, l)) return HighlightListLink(j, l);
  }
  return 0;
}

int CSkinPage::OnListEntryHook() { return 0; }

// ---- keys ----

int CSkinPage::OnKey(plat::UINT vk) {
  if (!m_loaded) return 0;
  HideCursor();
  if (m_barHideTimer && m_host) m_host->HideBarsOnKey();
  switch (vk) {
    case plat::VK_RETURN: PressFocusedEntry(); break;
    case plat::VK_LEFT: OnKeyLeft(0); break;
    case plat::VK_UP: OnKeyUp(0); break;
    case plat::VK_RIGHT: OnKeyRight(0); break;
    case plat::VK_DOWN: OnKeyDown(0); break;
    default: break;
  }
  const bool shift = plat::GetKeyState(plat::VK_SHIFT) < 0;
  const bool ctrl = plat::GetKeyState(plat::VK_CONTROL) < 0;
  const bool alt = plat::GetKeyState(plat::VK_MENU) < 0;
  const KeyCode code = ComposeKeyCode(ctrl, alt, shift, static_cast<int>(vk));
  std::string action;
  // Enter may have loaded another page, or failed to.
  if (!m_layout || !m_layout->GetHotkeyAction(code, action)) return 0;

  int shown = 1, enabled = 1, checked = 0;
  std::string target;
  int i = -1;
  if (m_layout->FindButton(action, i)) {
    QueryButtonState(action, &shown, &enabled, &checked);
  } else if (m_layout->FindLink(action, i)) {
    QueryLinkState(action, &shown, &enabled, &checked);
    target = m_layout->Links()[static_cast<size_t>(i)].hyperlink;
  } else {
    for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
      int j = -1;
      if (m_layout->FindListAction(action, j, l)) {
        QueryListActionState(l, j, &shown, &enabled, &checked);
        break;
      }
      if (m_layout->FindListLink(action, j, l)) {
        if (QueryListLinkState(l, j, &shown, &enabled, &checked)) m_layout->GetListLinkTarget(target, j, l);
        break;
      }
    }
  }
  CConfig* config = m_host ? m_host->GetConfig() : nullptr;
  if (m_host && m_host->HasPlaybackBar() && (!config || config->m_nActiveModule != MODULE_MUSIC))
    m_host->QueryPlaybackBarButtonState(action, &shown, &enabled, &checked);
  if (!shown || !enabled) return 0;
  if (!target.empty()) LoadLayout(target);
  return OnAction(action);
}

// ---- mouse ----

int CSkinPage::OnMouseMove(POINT point) {
  if (!m_loaded) return 0;
  if (plat::IsCursorShown()) {
    plat::SetCursor(plat::LoadCursor(nullptr, OverActiveElement(point) ? plat::IDC_HAND : plat::IDC_ARROW));
  } else if (point.x != m_lastMousePoint.x || point.y != m_lastMousePoint.y) {
    for (int i = 0; i < 64 && plat::ShowCursor(1) < 0; ++i) {
    }
    plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_ARROW));
  }
  m_lastMousePoint = point;

  if (m_painted) {
    const int button = HitTestButton(point);
    if (button != m_highlightedButton) {
      SetHighlightButton(button);
      if (button >= 0 && m_buttonStates[static_cast<size_t>(button)].shown &&
          m_buttonStates[static_cast<size_t>(button)].enabled)
        PlayHighlightSound();
    }
    const int link = HitTestLink(point);
    if (link != m_highlightedLink) {
      SetHighlightLink(link);
      if (link >= 0 && m_linkStates[static_cast<size_t>(link)].shown && m_linkStates[static_cast<size_t>(link)].enabled)
        PlayHighlightSound();
    }
  }

  int itemUnder = -1;
  const int list = HitTestList(point);
  if (list >= 0) {
    if (list != m_focusedList && ListState(m_focusedList)) {
      HighlightListItem(-1, m_focusedList);
      HighlightListAction(-1, m_focusedList);
      HighlightListLink(-1, m_focusedList);
    }
    // The entry of each kind under the point, in this list only.
    int l = -1;
    int item = HitTestListItem(point, &l);
    if (l != list) item = -1;
    l = -1;
    int action = HitTestListAction(point, &l);
    if (l != list) action = -1;
    l = -1;
    int link = HitTestListLink(point, &l);
    if (l != list) link = -1;
    itemUnder = item;
    ChangeListHighlight(list, ENTRY_ITEM, item, true);
    ChangeListHighlight(list, ENTRY_ACTION, action, true);
    ChangeListHighlight(list, ENTRY_LINK, link, true);
    m_focusedList = list;
    m_focusedEntry = item >= 0     ? EntryOf(list, ENTRY_ITEM, item)
                     : action >= 0 ? EntryOf(list, ENTRY_ACTION, action)
                     : link >= 0   ? EntryOf(list, ENTRY_LINK, link)
                                   : -1;
    if (m_focusedEntry >= 0) m_listStates[static_cast<size_t>(list)].rememberedEntry = m_focusedEntry;
  }
  ShowTooltipAt(point);
  UpdateListIndexText(list, itemUnder);
  return 1;
}

int CSkinPage::OnMouseDown(POINT point) {
  if (!m_loaded) return 0;
  m_pressedButton = HitTestButton(point);
  if (m_pressedButton >= 0) SetButtonChecked(m_pressedButton, 1);
  m_pressedLink = HitTestLink(point);
  if (m_pressedLink >= 0) SetLinkChecked(m_pressedLink, 1);
  m_pressedList = HitTestList(point);
  if (CListState* state = ListState(m_pressedList)) {
    int l = -1;
    int j = HitTestListItem(point, &l);
    state->pressedItem = l == m_pressedList ? j : -1;
    if (state->pressedItem >= 0) SetListItemChecked(state->pressedItem, 1, m_pressedList);
    l = -1;
    j = HitTestListAction(point, &l);
    state->pressedListAction = l == m_pressedList ? j : -1;
    if (state->pressedListAction >= 0) SetListActionChecked(state->pressedListAction, 1, m_pressedList);
    l = -1;
    j = HitTestListLink(point, &l);
    state->pressedListLink = l == m_pressedList ? j : -1;
    if (state->pressedListLink >= 0) SetListLinkChecked(state->pressedListLink, 1, m_pressedList);
  }
  return 1;
}

int CSkinPage::OnMouseUp(POINT point) {
  if (!m_loaded) return 0;
  if (m_pressedButton >= 0) SetButtonChecked(m_pressedButton, 0);
  if (m_pressedLink >= 0) SetLinkChecked(m_pressedLink, 0);
  bool still = (m_pressedButton >= 0 && HitTestButton(point) == m_pressedButton) ||
               (m_pressedLink >= 0 && HitTestLink(point) == m_pressedLink);
  if (CListState* state = ListState(m_pressedList)) {
    if (state->pressedItem >= 0) SetListItemChecked(state->pressedItem, 0, m_pressedList);
    if (state->pressedListAction >= 0) SetListActionChecked(state->pressedListAction, 0, m_pressedList);
    if (state->pressedListLink >= 0) SetListLinkChecked(state->pressedListLink, 0, m_pressedList);
    int l = -1;
    still = still || (state->pressedItem >= 0 && HitTestListItem(point, &l) == state->pressedItem && l == m_pressedList);
    l = -1;
    still = still || (state->pressedListAction >= 0 && HitTestListAction(point, &l) == state->pressedListAction &&
                      l == m_pressedList);
    l = -1;
    still = still ||
            (state->pressedListLink >= 0 && HitTestListLink(point, &l) == state->pressedListLink && l == m_pressedList);
  }
  if (still) return OnClick(point);
  UncheckAllButtons();
  UncheckAllLinks();
  if (CListState* state = ListState(m_pressedList)) {
    UncheckAllListItems(m_pressedList);
    UncheckAllListActions(m_pressedList);
    UncheckAllListLinks(m_pressedList);
    state->pressedItem = state->pressedListAction = state->pressedListLink = -1;
  }
  m_pressedButton = m_pressedLink = m_pressedList = -1;
  return 0;
}

int CSkinPage::OnClick(POINT point) {
  if (!m_loaded) return 0;
  m_layoutReplaced = 0;
  const int button = HitTestButton(point);
  if (button >= 0 && button == m_pressedButton) {
    m_pressedButton = -1;
    if (int r = PressButton(button)) return r;
  }
  m_pressedButton = -1;
  const int link = HitTestLink(point);
  if (link >= 0 && link == m_pressedLink) {
    m_pressedLink = -1;
    if (int r = PressLink(link)) return r;
  }
  m_pressedLink = -1;
  const int pressedList = m_pressedList;
  m_pressedList = -1;
  CListState* state = ListState(pressedList);
  if (!state || !m_loaded) return 0;
  int l = -1;
  const int item = HitTestListItem(point, &l);
  if (item >= 0 && l == pressedList && item == state->pressedItem) {
    state->pressedItem = -1;
    if (state->itemStates[static_cast<size_t>(item)].enabled) {
      m_layoutReplaced = 0;
      BeginWaitCursor();
      OnListItemAction(pressedList, item);
      EndWaitCursor();
      return ConsumeLayoutReplaced();
    }
  }
  state->pressedItem = -1;
  l = -1;
  const int action = HitTestListAction(point, &l);
  if (action >= 0 && l == pressedList && action == state->pressedListAction) {
    state->pressedListAction = -1;
    if (state->listActionStates[static_cast<size_t>(action)].enabled) return PageList(pressedList, action);
  }
  state->pressedListAction = -1;
  l = -1;
  const int listLink = HitTestListLink(point, &l);
  if (listLink >= 0 && l == pressedList && listLink == state->pressedListLink) {
    state->pressedListLink = -1;
    if (state->listLinkStates[static_cast<size_t>(listLink)].enabled) return OnListLinkAction(pressedList, listLink);
  }
  state->pressedListLink = -1;
  return 0;
}

int CSkinPage::OnDoubleClick(POINT point) {
  if (!m_loaded) return 0;
  int l = -1;
  const int item = HitTestListItem(point, &l);
  if (CListState* state = ListState(l)) {
    if (item >= 0 && state->itemStates[static_cast<size_t>(item)].enabled) {
      BeginWaitCursor();
      OnListItemDoubleClick(l, item);
      EndWaitCursor();
    }
    if (CListState* after = ListState(l)) after->pressedItem = -1;
  }
  return 1;
}

int CSkinPage::OnPaint() {
  if (!plat::IsWindow(m_owner)) return 0;
  plat::PAINTSTRUCT ps{};
  plat::HDC dc = plat::BeginPaint(m_owner, &ps);
  RECT client{};
  plat::GetClientRect(m_owner, &client);
  POINT corner{0, 0};
  plat::ClientToScreen(m_owner, &corner);
  RECT visible{corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
  const int screenWidth = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int screenHeight = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  if (visible.left < 0) visible.left = 0;
  if (visible.top < 0) visible.top = 0;
  if (visible.right > screenWidth) visible.right = screenWidth;
  const int bottomLimit = screenHeight - plat::GetSystemMetrics(plat::SM_CYMINSPACING);
  if (visible.bottom > bottomLimit) visible.bottom = bottomLimit;
  const double captionHeight = m_host ? m_host->CaptionBarPaintedHeight() : 0;
  const double visibleArea =
      static_cast<double>(visible.right - visible.left) * (static_cast<double>(visible.bottom - visible.top) - captionHeight);
  const RECT& update = ps.rcPaint;
  const double updateArea = static_cast<double>(update.right - update.left) * (update.bottom - update.top);
  int result = 0;
  if (!plat::IsZoomed(m_owner) && m_host && m_host->IsCaptionDragging()) {
    result = BlitBackBuffer(dc, update);
  } else if (m_painted && m_backBuffer && updateArea < 0.9 * visibleArea) {
    result = BlitBackBuffer(dc, client);
  } else {
    result = PaintAll(dc);
  }
  plat::EndPaint(m_owner, &ps);
  return result;
}

// ---- tooltips and the index text ----

int CSkinPage::DrawTooltipText(const std::string& key) {
  RECT rect;
  if (!GetTextScreenRectByName(kTooltipText, &rect)) return 0;
  std::string text;
  if (!key.empty()) LookupUIString(key, text);
  return DrawTextAt(text, rect.left, rect.top, rect.right, rect.bottom, ALIGN_LEFT, kTooltipColour,
                    SKIN_FIT_ELLIPSIS);
}

int CSkinPage::ShowTooltipAt(POINT point) {
  if (!m_layout) return 0;
  std::string tooltip;
  const int button = HitTestButton(point);
  if (button >= 0) {
    tooltip = m_layout->Buttons()[static_cast<size_t>(button)].tooltip;
  } else {
    const int link = HitTestLink(point);
    if (link >= 0) tooltip = m_layout->Links()[static_cast<size_t>(link)].tooltip;
  }
  return DrawTooltipText(tooltip);
}

int CSkinPage::ShowTooltip(int button) {
  if (!m_layout || !InRange(button, m_layout->Buttons())) return 0;
  return DrawTooltipText(m_layout->Buttons()[static_cast<size_t>(button)].tooltip);
}

int CSkinPage::UpdateListIndexText(int list, int row) {
  if (!m_layout || m_layout->Lists().empty()) return 0;
  for (int l = 0; l < static_cast<int>(m_layout->Lists().size()); ++l) {
    int j = -1;
    RECT rect;
    // A hidden list shows no position, not even an empty one over another's.
    if (!InRange(l, m_listStates) || !m_listStates[static_cast<size_t>(l)].shown) continue;
    if (!m_layout->FindListText(kItemIndexText, j, l) || !GetListTextScreenRect(j, l, &rect)) continue;
    if (l == list) {
      int item = -1, count = 0;
      if (row >= 0 && m_elementIndex->RowToItem(l, row, &item) && m_elementIndex->GetItemCount(l, &count) &&
          count > 0) {
        char text[32];
        std::snprintf(text, sizeof text, "%d / %d", item + 1, count);
        DrawTextAt(text, rect.left, rect.top, rect.right, rect.bottom, ALIGN_CENTER, kIndexTextColour,
                   SKIN_FIT_ELLIPSIS);
      }
    } else {
      DrawTextAt("", rect.left, rect.top, rect.right, rect.bottom, ALIGN_CENTER, kIndexTextColour, SKIN_FIT_ELLIPSIS);
    }
  }
  return 0;
}

// ---- rename key pad and back action ----

int CSkinPage::ShowRenameKeyPad(const std::string& path) {
  if (!LoadLayout(path.empty() ? RENAME_PAGE_PATH : path)) return 0;
  int list = -1;
  if (!m_layout->FindList(RENAME_KEYPAD_LIST, list)) return 0;
  m_elementIndex->SetItemCount(list, RENAME_KEY_COUNT);
  m_elementIndex->SetTopIndex(list, 0);
  int text = -1;
  RECT rect;
  if (!m_layout->FindListText(RENAME_EDIT_TEXT, text, list) || !GetListTextScreenRect(text, list, &rect)) return 0;
  plat::HWND parent = m_host ? m_host->MainFrame() : nullptr;
  if (!m_renameEdit || !plat::IsWindow(m_renameEdit)) {
    plat::RegisterControlClasses();
    m_renameEdit = plat::CreateWindowEx(0, plat::WC_EDIT, "", plat::WS_CHILD | plat::WS_BORDER, rect.left, rect.top,
                                        rect.right - rect.left, rect.bottom - rect.top, parent,
                                        reinterpret_cast<plat::HMENU>(1), nullptr, nullptr);
    if (!m_renameEdit) return 0;
    plat::SetWindowLongPtr(m_renameEdit, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(m_owner));
    auto previous = reinterpret_cast<plat::WNDPROC>(plat::SetWindowLongPtr(
        m_renameEdit, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&RenameEditProc)));
    if (previous != &RenameEditProc) g_editProc = previous;
  }
  plat::LOGFONTA font{};
  font.lfHeight = rect.bottom - rect.top;
  font.lfWeight = plat::FW_BOLD;
  std::string face;
  LookupUIString(TEXT_DEFAULT_FONT, face);
  std::strncpy(font.lfFaceName, face.c_str(), sizeof font.lfFaceName - 1);
  m_renameFont.reset(plat::CreateFontIndirect(&font));
  plat::SendMessage(m_renameEdit, plat::WM_SETFONT, reinterpret_cast<plat::WPARAM>(m_renameFont.get()), 1);
  plat::ShowWindow(m_renameEdit, plat::SW_SHOW);
  POINT corner{rect.left, rect.top};
  if (parent && parent != m_owner) plat::MapWindowPoints(m_owner, parent, &corner, 1);
  plat::SetWindowPos(m_renameEdit, plat::HWND_TOP, corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top,
                     0);
  return 1;
}

int CSkinPage::OnRenameEditKey(plat::HWND window, int key) {
  if (window && window == m_renameEdit && key == 13) OnBackAction();
  return 0;
}

int CSkinPage::OnBackAction() {
  if (m_renameEdit && plat::IsWindow(m_renameEdit)) plat::DestroyWindow(m_renameEdit);
  m_renameEdit = nullptr;
  m_renameFont.reset();
  CConfig* config = m_host ? m_host->GetConfig() : nullptr;
  if (!config) return 0;
  const char* action = nullptr;
  switch (config->m_nActiveModule) {
    case MODULE_PHOTO: action = "Photo Back"; break;
    case MODULE_MUSIC: action = "Music Back"; break;
    case MODULE_MOVIE: action = "Movie Back"; break;
    case MODULE_RADIO: action = "Radio Back"; break;
    default: return 0;
  }
  return m_host->ExecuteAction(action, 0, 0);
}
