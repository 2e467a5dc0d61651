// CScheduleList: the recording schedules and the history of recordings made,
// kept in "Schedule.sys" in the settings folder.
//
// Items are addressed by (index, typeFilter): with filter 0 the index counts
// all items, otherwise only the items of that type. A negative or unmatched
// index fails (0) and changes nothing. Time-dependent operations read "now"
// once per call from the list's clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corebridge/core/local_clock.h"
#include "corebridge/core/schedule_item.h"

class CXmlSettings;

class CScheduleList {
 public:
  static constexpr const char* kFileName = "Schedule.sys";

  // The clock must outlive the list.
  explicit CScheduleList(const ILocalClock& clock = SystemLocalClock());
  virtual ~CScheduleList();

  int Count(int typeFilter = 0) const;
  int CountHistory(int typeFilter = 0) const;
  int GetAt(int index, CScheduleItem& out, int typeFilter = 0) const;
  int GetHistoryAt(int index, CScheduleItem& out, int typeFilter = 0) const;
  int SetAt(int index, const CScheduleItem& item, int typeFilter = 0);
  int Add(const CScheduleItem& item);
  int AddHistory(const CScheduleItem& item);
  // Removes the addressed schedule; later ones move down, order kept.
  int Remove(int index, int typeFilter = 0);

  // 0 on an empty list. Otherwise keeps `mode` as the sort mode and orders
  // by radio frequency (1; non-radio items count as 0) or by next start (2);
  // other modes leave the order.
  int Sort(int mode);
  int GetSortMode() const { return m_nSortMode; }

  // How many schedules (of the filter) the candidate conflicts with.
  int CountConflicts(const CScheduleItem& candidate, int typeFilter = 0) const;
  int CountHistoryConflicts(const CScheduleItem& candidate, int typeFilter = 0) const;
  // The index-th (0-based, list order) of the schedules CountConflicts
  // counts, copied into `out`; 0 for a negative index or when there are not
  // that many. The conflict page lists them one row each.
  int GetConflict(int index, const CScheduleItem& candidate, CScheduleItem& out, int typeFilter = 0) const;
  int GetHistoryConflict(int index, const CScheduleItem& candidate, CScheduleItem& out, int typeFilter = 0) const;
  // The schedule that starts soonest (first of equals in list order).
  int FindNextDue(CScheduleItem& out, std::uint32_t& secondsToStart, int typeFilter = 0) const;
  // The first schedule running now.
  int FindRunning(CScheduleItem& out, std::uint32_t& secondsToEnd, int typeFilter = 0) const;

  // load non-zero: reads "<folder>/Schedule.sys", dropping one-off schedules
  // that have passed (unless running) and history older than 30 days; a
  // missing or unreadable file leaves both lists as they are (0).
  // load 0: writes both lists, whole, atomically.
  int LoadSave(const std::string& folder, int load);

  const ILocalClock& Clock() const { return *m_pClock; }
  void SetClock(const ILocalClock& clock) { m_pClock = &clock; }

 private:
  static int FindIndex(const std::vector<CScheduleItem>& items, int index, int typeFilter);
  static int CountOf(const std::vector<CScheduleItem>& items, int typeFilter);
  // The index-th conflict of `items` (index -1 counts them all): the number
  // counted when the walk ended, or the found entry's place in `found`.
  int WalkConflicts(const std::vector<CScheduleItem>& items, const CScheduleItem& candidate, int typeFilter,
                    int index, const CScheduleItem** found) const;
  static std::vector<CScheduleItem> ReadSection(const CXmlSettings& xml, const char* section);
  static void WriteSection(CXmlSettings& xml, const char* section, const std::vector<CScheduleItem>& items);

  const ILocalClock* m_pClock;
  int m_nSortMode = 0;
  std::vector<CScheduleItem> m_arrSchedules;
  std::vector<CScheduleItem> m_arrHistory;
};
