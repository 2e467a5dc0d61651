// CPageElementIndex: for every list of a page, which data item the first
// item slot shows and how far the list can scroll. Maps slots (rows) to data
// items and back and carries out the row-wise scrolling of the arrow keys and
// the "pageup"/"pagedown" list actions. A page owns one and rebuilds it with
// every layout it loads; module pages publish their item counts through it.
//
// Every operation takes a list index (or a name; an unknown name gives 0) and
// returns 1 done or true, 0 failed or false; bad list indices change nothing.
#pragma once

#include <string>
#include <vector>

class CSkinPage;

struct ListScrollRecord {
  int slots = 0;      // item slots of the list in the layout
  int top = 0;        // the data item shown in slot 0
  int positions = 0;  // distinct top values; 0 or less: does not scroll
  int count = 0;      // data items
  int columns = 0;    // distinct left edges among the item slots
  int rows = 0;       // distinct top edges among the item slots
};

class CPageElementIndex {
 public:
  explicit CPageElementIndex(CSkinPage& page) : m_page(page) {}
  virtual ~CPageElementIndex() = default;

  int Rebuild();
  int ScrollUp(int list, int k);
  int ScrollUpByName(const std::string& list, int k);
  int ScrollDown(int list, int k);
  int ScrollDownByName(const std::string& list, int k);
  int SetTopIndex(int list, int top);
  int SetTopIndexByName(const std::string& list, int top);
  int GetTopIndex(int list, int* top) const;
  int GetTopIndexByName(const std::string& list, int* top) const;
  int SetItemCount(int list, int count);
  int SetItemCountByName(const std::string& list, int count);
  int GetItemCount(int list, int* count) const;
  int GetItemCountByName(const std::string& list, int* count) const;
  int GetColumnCount(int list, int* columns) const;
  int GetColumnCountByName(const std::string& list, int* columns) const;
  // item = row + top; 0 for a row outside the slots, else whether it is in use.
  int RowToItem(int list, int row, int* item) const;
  // row = item - top; 0 for an item outside the data, else whether the row
  // is above the last slot (an item above the top gives a negative row).
  int ItemToRow(int list, int item, int* row) const;
  int CanScrollUp(int list, int* can) const;
  int CanScrollDown(int list, int* can) const;
  int IsRowValid(int list, int row, int* valid) const;
  // Up key in the first slot row of a scrollable list: scrolls by a row.
  int ScrollRowUpForFocus();
  // Down key: scrolls by a row at the last slot row, or moves the focus to
  // the last data item when the row below is past the data.
  int MoveFocusWithScroll();
  // Right key: whether the focused list pages with "pageup" and the entry to
  // the right is one of its actions or links.
  int BlocksRightMove();
  // Moves the top so that `item` shows in the last slot when it is not
  // visible; no redraw.
  int EnsureVisible(int list, int item);
  // The paging step of the list actions: one page less one row.
  int PageStep(int list) const;

  int ListCount() const { return m_listCount; }
  const ListScrollRecord* Record(int list) const;

 private:
  ListScrollRecord* RecordAt(int list);
  int ListByName(const std::string& name) const;

  CSkinPage& m_page;
  int m_listCount = 0;
  std::vector<ListScrollRecord> m_records;
};
