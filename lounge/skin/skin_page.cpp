// CSkinPage: construction, loading layouts, the history, state refresh through
// the hooks, screen rectangles and the state setters.
#include "lounge/skin/skin_page.h"

#include <algorithm>
#include <cmath>

#include "lounge/skin/layout_cache.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_report.h"
#include "platform/gdi/bitmap.h"
#include "platform/win/window.h"

using plat::RECT;

namespace {

template <typename T>
bool InRange(int i, const std::vector<T>& v) {
  return i >= 0 && i < static_cast<int>(v.size());
}

}  // namespace

CSkinPage::CSkinPage(plat::HWND owner, ISkinPageHost* host)
    : m_owner(owner), m_host(host), m_elementIndex(std::make_unique<CPageElementIndex>(*this)) {}

CSkinPage::~CSkinPage() {
  if (m_renameEdit && plat::IsWindow(m_renameEdit)) plat::DestroyWindow(m_renameEdit);
}

int CSkinPage::OnLeave() { return 0; }

int CSkinPage::LoadLayout(const std::string& path) {
  OnLeave();
  m_loaded = 0;
  m_painted = 0;
  m_highlightedButton = m_pressedButton = -1;
  m_highlightedLink = m_pressedLink = -1;
  m_pressedList = -1;
  m_layoutReplaced = 1;
  if (!m_currentPath.empty()) m_history.push_back(m_currentPath);
  m_currentPath = path;

  LayoutLoad load = SharedLayout(path);
  m_layout = std::move(load.layout);
  if (!m_layout) {
    // A page that cannot open says why, once per file and reason.
    ReportSkinProblem("layout", load.file, load.error);
    m_layoutError = "\"" + EscapeForMessage(load.file) + "\": " + EscapeForMessage(load.error);
    m_elementIndex->Rebuild();
    m_listStates.clear();
    m_focusedList = m_focusedEntry = -1;
    return 0;
  }
  m_elementIndex->Rebuild();
  m_layoutError.clear();

  const CLayoutReader& layout = *m_layout;
  m_buttonStates.assign(layout.Buttons().size(), ElementState{});
  m_linkStates.assign(layout.Links().size(), ElementState{});
  m_stillImageShown.assign(layout.StillImages().size(), 1);
  m_textShown.assign(layout.Texts().size(), 1);
  m_progressShown.assign(layout.ProgressBars().size(), 1);
  m_indicatorShown.assign(layout.Indicators().size(), 1);
  m_progressValues.assign(layout.ProgressBars().size(), 0.0f);
  m_progressStarts.assign(layout.ProgressBars().size(), 0.0f);
  m_indicatorPositions.assign(layout.Indicators().size(), 0.0f);
  m_listStates.clear();
  for (const CLayoutList& list : layout.Lists()) {
    CListState state;
    state.itemStates.assign(list.items.size(), ElementState{});
    state.listLinkStates.assign(list.links.size(), ElementState{});
    state.listActionStates.assign(list.actions.size(), ElementState{});
    state.listTextShown.assign(list.texts.size(), 1);
    state.listImageShown.assign(list.images.size(), 1);
    m_listStates.push_back(std::move(state));
  }

  m_loaded = 1;
  Redraw(0);

  if (m_listStates.empty()) {
    m_focusedList = m_focusedEntry = -1;
  } else {
    m_focusedList = FirstFocusableList();
    m_focusedEntry = m_focusedList >= 0 ? FirstFocusableEntry(m_focusedList) : -1;
    if (m_focusedList < 0 || m_focusedEntry < 0) m_focusedList = m_focusedEntry = 0;
  }
  return 1;
}

int CSkinPage::GoBack() {
  if (m_history.empty()) return 0;
  std::string previous = m_history.back();
  m_history.pop_back();
  int result = LoadLayout(previous);
  // LoadLayout recorded the page being left; going back forgets it.
  if (!m_history.empty()) m_history.pop_back();
  return result;
}

int CSkinPage::ReloadLayout() {
  if (m_currentPath.empty()) return 0;
  const std::size_t kept = m_history.size();
  const int result = LoadLayout(std::string(m_currentPath));
  if (m_history.size() > kept) m_history.resize(kept);
  return result;
}

void CSkinPage::TrimPageHistory(int count) {
  const std::size_t drop = count > 0 ? std::min(static_cast<std::size_t>(count), m_history.size()) : 0;
  m_history.resize(m_history.size() - drop);
}

int CSkinPage::GetPageAspectRatio(float* ratio) {
  if (!ratio) return 0;
  int width = 0, height = 0;
  if (!m_layout || !m_layout->GetPageSize(width, height) || width <= 0) {
    *ratio = 0;
    return 0;
  }
  *ratio = static_cast<float>(height) / static_cast<float>(width);
  return 1;
}

int CSkinPage::GetPageSize(int size[2]) {
  if (!m_layout || !size) return 0;
  return m_layout->GetPageSize(size[0], size[1]);
}

int CSkinPage::ScaleRect(const RECT& layoutRect, RECT* screen, bool toBackBuffer) {
  if (!m_layout || !screen) return 0;
  int width = 0, height = 0;
  m_layout->GetPageSize(width, height);
  // A page without a size cannot be scaled (and must not divide by zero).
  if (width <= 0 || height <= 0) return 0;
  RECT client{};
  if (toBackBuffer) {
    client = m_backBufferRect;
  } else if (!plat::GetClientRect(m_owner, &client)) {
    return 0;
  }
  const double cw = client.right - client.left, ch = client.bottom - client.top;
  const double w = width, h = height;
  screen->left = static_cast<plat::LONG>(cw * layoutRect.left / w);
  screen->top = static_cast<plat::LONG>(layoutRect.top * ch / h);
  screen->right = screen->left + static_cast<plat::LONG>(cw * (layoutRect.right - layoutRect.left) / w);
  screen->bottom = screen->top + static_cast<plat::LONG>(ch * (layoutRect.bottom - layoutRect.top) / h);
  return 1;
}

int CSkinPage::GetButtonScreenRectByName(const std::string& action, RECT* rect) {
  int i = -1;
  if (!m_layout || !m_layout->FindButton(action, i)) return 0;
  return GetButtonScreenRect(i, rect);
}

int CSkinPage::GetButtonScreenRect(int i, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetButtonRect(r, i) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetLinkScreenRect(int i, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetLinkRect(r, i) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetTextScreenRect(int i, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetTextRect(r, i) ? ScaleRect(r, rect, true) : 0;
}

int CSkinPage::GetTextScreenRectByName(const std::string& name, RECT* rect) {
  int i = -1;
  return m_layout && m_layout->FindText(name, i) ? GetTextScreenRect(i, rect) : 0;
}

int CSkinPage::GetStillImageScreenRect(int i, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetStillImageRect(r, i) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetStillImageScreenRectByName(const std::string& name, RECT* rect) {
  int i = -1;
  return m_layout && m_layout->FindStillImage(name, i) ? GetStillImageScreenRect(i, rect) : 0;
}

int CSkinPage::GetProgressScreenRect(int i, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetProgressRect(r, i) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetProgressScreenRectByName(const std::string& name, RECT* rect) {
  int i = -1;
  return m_layout && m_layout->FindProgress(name, i) ? GetProgressScreenRect(i, rect) : 0;
}

int CSkinPage::GetIndicatorScreenRect(int i, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetIndicatorRect(r, i) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListScreenRect(int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListRect(r, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListScreenRectByName(const std::string& name, RECT* rect) {
  int l = -1;
  return m_layout && m_layout->FindList(name, l) ? GetListScreenRect(l, rect) : 0;
}

int CSkinPage::GetListItemScreenRect(int item, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListItemRect(r, item, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListItemTextScreenRect(int item, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListItemTextRect(r, item, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListItemCheckScreenRect(int item, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListItemCheckRect(r, item, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListItemIconScreenRect(int item, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListItemIconRect(r, item, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListActionScreenRect(int action, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListActionRect(r, action, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListLinkScreenRect(int link, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListLinkRect(r, link, list) ? ScaleRect(r, rect, false) : 0;
}

int CSkinPage::GetListTextScreenRect(int text, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListTextRect(r, text, list) ? ScaleRect(r, rect, true) : 0;
}

int CSkinPage::GetListTextScreenRectByName(const std::string& text, const std::string& list, RECT* rect) {
  int l = -1, j = -1;
  if (!m_layout || !m_layout->FindList(list, l) || !m_layout->FindListText(text, j, l)) return 0;
  return GetListTextScreenRect(j, l, rect);
}

int CSkinPage::GetListImageScreenRect(int image, int list, RECT* rect) {
  RECT r;
  return m_layout && m_layout->GetListImageRect(r, image, list) ? ScaleRect(r, rect, false) : 0;
}

const ElementState* CSkinPage::ButtonState(int i) const {
  return InRange(i, m_buttonStates) ? &m_buttonStates[static_cast<size_t>(i)] : nullptr;
}
const ElementState* CSkinPage::LinkState(int i) const {
  return InRange(i, m_linkStates) ? &m_linkStates[static_cast<size_t>(i)] : nullptr;
}
CListState* CSkinPage::ListState(int list) {
  return InRange(list, m_listStates) ? &m_listStates[static_cast<size_t>(list)] : nullptr;
}
int CSkinPage::StillImageShown(int i) const {
  return InRange(i, m_stillImageShown) ? m_stillImageShown[static_cast<size_t>(i)] : 0;
}
int CSkinPage::TextShown(int i) const { return InRange(i, m_textShown) ? m_textShown[static_cast<size_t>(i)] : 0; }
float CSkinPage::ProgressValue(int i) const {
  return InRange(i, m_progressValues) ? m_progressValues[static_cast<size_t>(i)] : 0.0f;
}
float CSkinPage::IndicatorPosition(int i) const {
  return InRange(i, m_indicatorPositions) ? m_indicatorPositions[static_cast<size_t>(i)] : 0.0f;
}

int CSkinPage::Redraw(int paintNow) {
  if (!m_loaded || !m_layout || !plat::IsWindow(m_owner)) return 0;
  const CLayoutReader& layout = *m_layout;
  for (size_t i = 0; i < m_buttonStates.size(); ++i) {
    ElementState& s = m_buttonStates[i];
    s.shown = 1, s.enabled = 1, s.checked = 0;
    QueryButtonState(layout.Buttons()[i].action, &s.shown, &s.enabled, &s.checked);
  }
  for (size_t i = 0; i < m_linkStates.size(); ++i) {
    ElementState& s = m_linkStates[i];
    s = ElementState{};
    QueryLinkState(layout.Links()[i].name, &s.shown, &s.enabled, &s.checked);
  }
  for (size_t i = 0; i < m_stillImageShown.size(); ++i) {
    m_stillImageShown[i] = 1;
    QueryStillImageShown(layout.StillImages()[i].name, &m_stillImageShown[i]);
  }
  for (size_t i = 0; i < m_textShown.size(); ++i) {
    m_textShown[i] = 1;
    QueryTextShown(layout.Texts()[i].name, &m_textShown[i]);
  }
  for (size_t l = 0; l < m_listStates.size(); ++l) {
    CListState& list = m_listStates[l];
    const int li = static_cast<int>(l);
    list.shown = 1;
    QueryListShown(layout.Lists()[l].name, &list.shown);
    if (!list.shown) continue;
    for (size_t j = 0; j < list.itemStates.size(); ++j) {
      ElementState& s = list.itemStates[j];
      s = ElementState{};
      QueryListItemState(li, static_cast<int>(j), &s.shown, &s.enabled, &s.checked);
    }
    // A selected item left over from a longer list is not written past the
    // item states.
    if (InRange(list.selectedItem, list.itemStates))
      list.itemStates[static_cast<size_t>(list.selectedItem)].pressed = 1;
    for (size_t j = 0; j < list.listActionStates.size(); ++j) {
      ElementState& s = list.listActionStates[j];
      s.shown = 1, s.enabled = 1, s.checked = 0;
      QueryListActionState(li, static_cast<int>(j), &s.shown, &s.enabled, &s.checked);
    }
    for (size_t j = 0; j < list.listLinkStates.size(); ++j) {
      ElementState& s = list.listLinkStates[j];
      s.shown = 1, s.enabled = 1, s.checked = 0;
      QueryListLinkState(li, static_cast<int>(j), &s.shown, &s.enabled, &s.checked);
    }
    for (size_t j = 0; j < list.listTextShown.size(); ++j) {
      list.listTextShown[j] = 1;
      QueryListTextShown(li, static_cast<int>(j), &list.listTextShown[j]);
    }
    for (size_t j = 0; j < list.listImageShown.size(); ++j) {
      list.listImageShown[j] = 1;
      QueryListImageShown(li, static_cast<int>(j), &list.listImageShown[j]);
    }
  }
  if (paintNow) {
    plat::HDC dc = plat::GetDC(m_owner);
    PaintAll(dc);
    plat::ReleaseDC(m_owner, dc);
  } else {
    plat::InvalidateRect(m_owner, nullptr, 1);
  }
  return 1;
}

int CSkinPage::SetSelectedItem(int item, int list) {
  CListState* state = ListState(list);
  // A bad list index is refused instead of writing outside the list states.
  if (!state) return 0;
  if (state->selectedItem != item) {
    state->selectedItem = item;
    Redraw(0);
  }
  return 1;
}

int CSkinPage::SetSelectedItemByName(int item, const std::string& list) {
  if (list.empty()) return SetSelectedItem(item, 0);
  int l = -1;
  if (!m_layout || !m_layout->FindList(list, l)) return 0;
  return SetSelectedItem(item, l);
}

int CSkinPage::SetButtonChecked(int i, int value) {
  if (!InRange(i, m_buttonStates)) return 0;
  ElementState& s = m_buttonStates[static_cast<size_t>(i)];
  if (s.checked != value) {
    s.checked = value;
    RefreshButton(i);
  }
  return 1;
}

int CSkinPage::SetLinkChecked(int i, int value) {
  if (!InRange(i, m_linkStates)) return 0;
  ElementState& s = m_linkStates[static_cast<size_t>(i)];
  if (s.checked != value) {
    s.checked = value;
    RefreshLink(i);
  }
  return 1;
}

int CSkinPage::SetListItemChecked(int item, int value, int list) {
  CListState* state = ListState(list);
  if (!state || !InRange(item, state->itemStates)) return 0;
  ElementState& s = state->itemStates[static_cast<size_t>(item)];
  if (s.checked != value) {
    s.checked = value;
    if (m_loaded && m_painted) RefreshListItem(item, list);
  }
  return 1;
}

int CSkinPage::SetListActionChecked(int action, int value, int list) {
  CListState* state = ListState(list);
  if (!state || !InRange(action, state->listActionStates)) return 0;
  ElementState& s = state->listActionStates[static_cast<size_t>(action)];
  if (s.checked != value) {
    s.checked = value;
    RefreshListAction(action, list);
  }
  return 1;
}

int CSkinPage::SetListLinkChecked(int link, int value, int list) {
  CListState* state = ListState(list);
  if (!state || !InRange(link, state->listLinkStates)) return 0;
  ElementState& s = state->listLinkStates[static_cast<size_t>(link)];
  if (s.checked != value) {
    s.checked = value;
    RefreshListLink(link, list);
  }
  return 1;
}

int CSkinPage::UncheckAllButtons() {
  for (int i = 0; i < static_cast<int>(m_buttonStates.size()); ++i) SetButtonChecked(i, 0);
  return 1;
}

int CSkinPage::UncheckAllLinks() {
  for (int i = 0; i < static_cast<int>(m_linkStates.size()); ++i) SetLinkChecked(i, 0);
  return 1;
}

int CSkinPage::UncheckAllListItems(int list) {
  CListState* state = ListState(list);
  if (!state || !state->shown) return 0;
  for (int i = 0; i < static_cast<int>(state->itemStates.size()); ++i) SetListItemChecked(i, 0, list);
  return 1;
}

int CSkinPage::UncheckAllListActions(int list) {
  CListState* state = ListState(list);
  if (!state || !state->shown) return 0;
  for (int i = 0; i < static_cast<int>(state->listActionStates.size()); ++i) SetListActionChecked(i, 0, list);
  return 1;
}

int CSkinPage::UncheckAllListLinks(int list) {
  CListState* state = ListState(list);
  if (!state || !state->shown) return 0;
  for (int i = 0; i < static_cast<int>(state->listLinkStates.size()); ++i) SetListLinkChecked(i, 0, list);
  return 1;
}

int CSkinPage::ResetHighlight() {
  if (!m_loaded) return 0;
  m_highlightedButton = -1;
  m_highlightedLink = -1;
  UncheckAllButtons();
  UncheckAllLinks();
  return 1;
}

int CSkinPage::SetProgressValue(const std::string& name, float value, float start) {
  if (value < 0.0f || value > 1.00001f) return 0;
  int i = -1;
  if (!m_layout || !m_layout->FindProgress(name, i) || !InRange(i, m_progressValues)) return 0;
  m_progressValues[static_cast<size_t>(i)] = value;
  m_progressStarts[static_cast<size_t>(i)] = start;
  RECT rect;
  if (m_backBuffer && GetProgressScreenRect(i, &rect)) {
    MemoryDC dc;
    if (dc.SelectBitmap(m_backBuffer.get())) {
      DrawProgress(i, dc.get(), rect);
      CopyToOwner(rect);
    }
  }
  return 1;
}

int CSkinPage::SetIndicatorPosition(int i, float position) {
  if (!InRange(i, m_indicatorPositions)) return 0;
  m_indicatorPositions[static_cast<size_t>(i)] = position;
  return 1;
}

void CSkinPage::CreateBackBuffer() {
  RECT client{};
  plat::GetClientRect(m_owner, &client);
  m_backBufferRect = client;
  m_backBuffer.reset();
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (width > 0 && height > 0) m_backBuffer.reset(plat::CreateCompatibleBitmap(nullptr, width, height));
}

void CSkinPage::CreateBackBuffer(int paint) {
  CreateBackBuffer();
  if (paint && plat::IsWindowVisible(m_owner)) {
    plat::HDC dc = plat::GetDC(m_owner);
    PaintAll(dc);
    plat::ReleaseDC(m_owner, dc);
    Redraw(0);
  }
}
