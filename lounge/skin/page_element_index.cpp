#include "lounge/skin/page_element_index.h"

#include <algorithm>
#include <unordered_set>

#include "lounge/skin/skin_page.h"

const ListScrollRecord* CPageElementIndex::Record(int list) const {
  if (list < 0 || list >= m_listCount || list >= static_cast<int>(m_records.size())) return nullptr;
  return &m_records[static_cast<size_t>(list)];
}

ListScrollRecord* CPageElementIndex::RecordAt(int list) { return const_cast<ListScrollRecord*>(Record(list)); }

int CPageElementIndex::ListByName(const std::string& name) const {
  int l = -1;
  const CLayoutReader* layout = m_page.Layout();
  if (!layout || !layout->FindList(name, l)) return -1;
  return l;
}

int CPageElementIndex::Rebuild() {
  m_records.clear();
  m_listCount = 0;
  const CLayoutReader* layout = m_page.Layout();
  if (!layout) return 0;
  for (const CLayoutList& list : layout->Lists()) {
    ListScrollRecord record;
    record.slots = static_cast<int>(list.items.size());
    std::unordered_set<long> lefts(17), tops(17);
    for (const LayoutListItem& item : list.items) {
      lefts.insert(item.rect.left);
      tops.insert(item.rect.top);
    }
    record.columns = static_cast<int>(lefts.size());
    record.rows = static_cast<int>(tops.size());
    m_records.push_back(record);
  }
  m_listCount = static_cast<int>(m_records.size());
  return 1;
}

int CPageElementIndex::ScrollUp(int list, int k) {
  const ListScrollRecord* record = Record(list);
  if (!record) return 0;
  if (k == 0) return 1;
  if (k < 0) k = 1;
  return SetTopIndex(list, record->top - k);
}

int CPageElementIndex::ScrollDown(int list, int k) {
  const ListScrollRecord* record = Record(list);
  if (!record) return 0;
  if (k == 0) return 1;
  if (k < 0) k = 1;
  return SetTopIndex(list, record->top + k);
}

int CPageElementIndex::SetTopIndex(int list, int top) {
  ListScrollRecord* record = RecordAt(list);
  if (!record || record->positions <= 0) return 0;
  top = std::clamp(top, 0, record->positions - 1);
  if (top == record->top) return 1;
  record->top = top;
  if (CListState* state = m_page.ListState(list)) state->selectedItem = -1;
  m_page.Redraw(0);
  return 1;
}

int CPageElementIndex::GetTopIndex(int list, int* top) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !top) return 0;
  *top = record->top;
  return 1;
}

int CPageElementIndex::SetItemCount(int list, int count) {
  ListScrollRecord* record = RecordAt(list);
  if (!record || count < 0) return 0;
  record->top = 0;
  record->count = count;
  record->positions = count > 0 && record->columns > 0 ? count - record->slots + 1 : 0;
  m_page.Redraw(0);
  return 1;
}

int CPageElementIndex::GetItemCount(int list, int* count) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !count) return 0;
  *count = record->count;
  return 1;
}

int CPageElementIndex::GetColumnCount(int list, int* columns) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !columns) return 0;
  *columns = record->columns;
  return 1;
}

int CPageElementIndex::ScrollUpByName(const std::string& list, int k) { return ScrollUp(ListByName(list), k); }
int CPageElementIndex::ScrollDownByName(const std::string& list, int k) { return ScrollDown(ListByName(list), k); }
int CPageElementIndex::SetTopIndexByName(const std::string& list, int top) {
  return SetTopIndex(ListByName(list), top);
}
int CPageElementIndex::GetTopIndexByName(const std::string& list, int* top) const {
  return GetTopIndex(ListByName(list), top);
}
int CPageElementIndex::SetItemCountByName(const std::string& list, int count) {
  return SetItemCount(ListByName(list), count);
}
int CPageElementIndex::GetItemCountByName(const std::string& list, int* count) const {
  return GetItemCount(ListByName(list), count);
}
int CPageElementIndex::GetColumnCountByName(const std::string& list, int* columns) const {
  return GetColumnCount(ListByName(list), columns);
}

int CPageElementIndex::RowToItem(int list, int row, int* item) const {
  const ListScrollRecord* record = Record(list);
  // A negative row would name an item above the top: refused like one past
  // the last slot.
  if (!record || !item || row < 0 || row >= record->slots) return 0;
  *item = row + record->top;
  return *item < record->count ? 1 : 0;
}

int CPageElementIndex::ItemToRow(int list, int item, int* row) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !row || item < 0 || item >= record->count) return 0;
  *row = item - record->top;
  return *row < record->slots ? 1 : 0;
}

int CPageElementIndex::CanScrollUp(int list, int* can) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !can) return 0;
  *can = record->positions > 0 && record->top > 0 ? 1 : 0;
  return 1;
}

int CPageElementIndex::CanScrollDown(int list, int* can) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !can) return 0;
  *can = record->positions > 0 && record->top < record->positions - 1 ? 1 : 0;
  return 1;
}

int CPageElementIndex::IsRowValid(int list, int row, int* valid) const {
  const ListScrollRecord* record = Record(list);
  if (!record || !valid) return 0;
  *valid = row + record->top < record->count ? 1 : 0;
  return 1;
}

int CPageElementIndex::PageStep(int list) const {
  const ListScrollRecord* record = Record(list);
  return record ? record->slots - record->columns : 0;
}

int CPageElementIndex::ScrollRowUpForFocus() {
  int list = m_page.FocusedList();
  const ListScrollRecord* record = Record(list);
  if (!record) return 0;
  int entry = m_page.FocusedEntry();
  if (entry < 0 || entry >= record->slots || entry >= record->columns) return 0;
  int can = 0;
  CanScrollUp(list, &can);
  if (!can) return 0;
  ScrollUp(list, std::max(record->columns, 1));
  return 1;
}

int CPageElementIndex::MoveFocusWithScroll() {
  int list = m_page.FocusedList();
  const ListScrollRecord* record = Record(list);
  if (!record) return 0;
  int slot = m_page.FocusedEntry();
  // A list whose page publishes no items (a fixed menu) moves its focus by
  // geometry alone.
  if (record->count <= 0 || slot < 0 || slot >= record->slots) return 0;
  // Puts the focus on the slot of the last data item.
  auto focusLast = [&] {
    int row = 0;
    if (record->count > 0 && ItemToRow(list, record->count - 1, &row) && row >= 0)
      m_page.HighlightListItem(row, list);
    return 1;
  };
  if (slot < record->slots - record->columns) {
    int below = slot + record->top + record->columns;
    if (below >= record->count) return focusLast();
    return 0;
  }
  int can = 0;
  CanScrollDown(list, &can);
  if (!can) return 0;
  ScrollDown(list, std::max(record->columns, 1));
  if (slot + record->top < record->count) return 1;
  return focusLast();
}

int CPageElementIndex::BlocksRightMove() {
  int list = m_page.FocusedList();
  const CLayoutReader* layout = m_page.Layout();
  if (!layout || !Record(list)) return 0;
  int action = -1;
  if (!layout->FindListAction("pageup", action, list)) return 0;
  int next = m_page.NextEntryInDirection(list, m_page.FocusedEntry(), FOCUS_RIGHT);
  int kind = 0, index = 0;
  if (next < 0 || !m_page.SplitEntry(list, next, &kind, &index)) return 0;
  return kind != ENTRY_ITEM ? 1 : 0;
}

int CPageElementIndex::EnsureVisible(int list, int item) {
  ListScrollRecord* record = RecordAt(list);
  if (!record || item < 0 || item >= record->count) return 0;
  if (item >= record->top && item <= record->top + record->slots - 1) return 0;
  record->top = std::max(item - record->slots + 1, 0);
  return 1;
}
