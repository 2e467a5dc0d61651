// Recording schedules: occurrence rules at fixed times, conflicts, the list
// operations and the schedule file.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corebridge/core/civil_time.h"
#include "corebridge/core/schedule_list.h"
#include "settings_test_support.h"

namespace {

using plat::SYSTEMTIME;
using settings_test::At;
using settings_test::ExpectMatchesGolden;
using settings_test::FixedClock;
using settings_test::ReadFile;
using settings_test::TempEnvironment;
using settings_test::WriteFile;

// March 2026: the 2nd is a Monday, the 6th a Friday, 7th Saturday, 8th Sunday.
constexpr int kMon = 2, kTue = 3, kWed = 4, kFri = 6, kSat = 7, kSun = 8;

CScheduleItem Schedule(int mode, SYSTEMTIME begin, int minutes = 60, int type = SCHEDULE_RADIO) {
  CScheduleItem item(type);
  item.SetRepeatMode(mode);
  item.SetBeginDate(begin);
  item.SetDuration(minutes);
  return item;
}

// A schedule that repeats at a time of day (its date part is not used).
CScheduleItem Daily(int mode, int hour, int minute, int minutes = 60, int type = SCHEDULE_RADIO) {
  return Schedule(mode, At(2000, 1, 1, hour, minute), minutes, type);
}

std::string Text(const SYSTEMTIME& t) {
  char s[40];
  std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return s;
}

TEST(CivilTime, DaysOfTheWeekAndRoundTrips) {
  EXPECT_EQ(civil_time::DayOfWeekFromSunday1(2026, 3, 2), 2);  // Monday
  EXPECT_EQ(civil_time::DayOfWeekFromSunday1(2026, 3, 8), 1);  // Sunday
  EXPECT_EQ(civil_time::DayOfWeekFromSunday1(2000, 2, 29), 3);
  for (const SYSTEMTIME t : {At(1970, 1, 1), At(2026, 3, 7, 23, 59, 59), At(2028, 2, 29, 12), At(1601, 1, 1),
                             At(9999, 12, 31, 23, 59, 59)}) {
    const auto seconds = civil_time::ToSeconds(t);
    ASSERT_TRUE(seconds);
    EXPECT_EQ(Text(civil_time::FromSeconds(*seconds)), Text(t));
  }
  EXPECT_EQ(civil_time::FromSeconds(*civil_time::ToSeconds(At(2026, 3, 8))).wDayOfWeek, 0);  // file convention
  for (const SYSTEMTIME t : {SYSTEMTIME{}, At(2026, 2, 29), At(2026, 13, 1), At(2026, 4, 31), At(2026, 1, 1, 24)})
    EXPECT_FALSE(civil_time::ToSeconds(t)) << Text(t);
}

TEST(ScheduleItem, NextStartPerRepeatMode) {
  struct Case {
    int mode;
    int hour, minute;
    SYSTEMTIME now;
    SYSTEMTIME expected;
  } cases[] = {
      {EVERYDAY, 7, 0, At(2026, 3, kMon, 6, 59), At(2026, 3, kMon, 7, 0)},
      {EVERYDAY, 7, 0, At(2026, 3, kMon, 7, 0, 0), At(2026, 3, kMon, 7, 0)},
      {EVERYDAY, 7, 0, At(2026, 3, kMon, 7, 0, 1), At(2026, 3, kTue, 7, 0)},
      {EVERYDAY, 7, 0, At(2026, 12, 31, 8, 0), At(2027, 1, 1, 7, 0)},
      {EVERYDAY, 22, 0, At(2028, 2, 28, 23, 0), At(2028, 2, 29, 22, 0)},
      {EVERYMONDAY, 7, 0, At(2026, 3, kMon, 6, 0), At(2026, 3, kMon, 7, 0)},
      {EVERYMONDAY, 7, 0, At(2026, 3, kMon, 8, 0), At(2026, 3, 9, 7, 0)},
      {EVERYMONDAY, 7, 0, At(2026, 3, kSun, 8, 0), At(2026, 3, 9, 7, 0)},
      {EVERYWEDNESDAY, 7, 0, At(2026, 3, kMon, 8, 0), At(2026, 3, kWed, 7, 0)},
      {EVERYSATURDAY, 7, 0, At(2026, 3, kSun, 12, 0), At(2026, 3, 14, 7, 0)},
      {EVERYSUNDAY, 10, 0, At(2026, 3, kMon, 12, 0), At(2026, 3, kSun, 10, 0)},
      {EVERYSUNDAY, 10, 0, At(2026, 3, kSun, 9, 0), At(2026, 3, kSun, 10, 0)},
      {MONDAYTOFRIDAY, 7, 0, At(2026, 3, kTue, 8, 0), At(2026, 3, kWed, 7, 0)},
      {MONDAYTOFRIDAY, 7, 0, At(2026, 3, kFri, 6, 0), At(2026, 3, kFri, 7, 0)},
      {MONDAYTOFRIDAY, 7, 0, At(2026, 3, kFri, 8, 0), At(2026, 3, 9, 7, 0)},
      {MONDAYTOFRIDAY, 7, 0, At(2026, 3, kSat, 6, 0), At(2026, 3, 9, 7, 0)},
      {MONDAYTOFRIDAY, 7, 0, At(2026, 3, kSun, 23, 0), At(2026, 3, 9, 7, 0)},
      {MONDAYTOSATURDAY, 7, 0, At(2026, 3, kFri, 8, 0), At(2026, 3, kSat, 7, 0)},
      {MONDAYTOSATURDAY, 7, 0, At(2026, 3, kSat, 8, 0), At(2026, 3, 9, 7, 0)},
      {MONDAYTOSATURDAY, 7, 0, At(2026, 3, kSun, 6, 0), At(2026, 3, 9, 7, 0)},
      {0, 7, 0, At(2026, 3, kMon, 8, 0), At(2026, 3, kMon, 7, 0)},   // no occurrence: today
      {12, 7, 0, At(2026, 3, kMon, 6, 0), At(2026, 3, kMon, 7, 0)},  // unknown mode: today
  };
  for (const Case& c : cases) {
    const CScheduleItem item = Daily(c.mode, c.hour, c.minute);
    EXPECT_EQ(Text(item.GetNextStart(c.now)), Text(c.expected)) << "mode " << c.mode << " at " << Text(c.now);
  }
  const CScheduleItem once = Schedule(SPECIFICDAY, At(2026, 4, 1, 9, 30));
  EXPECT_EQ(Text(once.GetNextStart(At(2026, 3, kMon))), "2026-04-01 09:30:00");
  EXPECT_EQ(Text(once.GetNextStart(At(2026, 5, 1))), "2026-04-01 09:30:00");  // passed: unchanged
}

TEST(ScheduleItem, RunningUsesStrictBoundsOnTheDaysItOccurs) {
  struct Case {
    CScheduleItem item;
    SYSTEMTIME now;
    bool running;
    std::uint32_t secondsToEnd;
  } cases[] = {
      {Daily(EVERYDAY, 20, 0), At(2026, 3, kMon, 20, 0, 0), false, 0},
      {Daily(EVERYDAY, 20, 0), At(2026, 3, kMon, 20, 0, 1), true, 3599},
      {Daily(EVERYDAY, 20, 0), At(2026, 3, kMon, 20, 59, 59), true, 1},
      {Daily(EVERYDAY, 20, 0), At(2026, 3, kMon, 21, 0, 0), false, 0},
      {Daily(EVERYDAY, 23, 30), At(2026, 3, kMon, 23, 45), true, 45 * 60},
      {Daily(EVERYDAY, 23, 30), At(2026, 3, kTue, 0, 10), false, 0},  // looks at the new day's 23:30
      {Daily(EVERYMONDAY, 20, 0), At(2026, 3, kMon, 20, 30), true, 1800},
      {Daily(EVERYMONDAY, 20, 0), At(2026, 3, kTue, 20, 30), false, 0},
      {Daily(EVERYSUNDAY, 20, 0), At(2026, 3, kSun, 20, 30), true, 1800},
      {Daily(MONDAYTOFRIDAY, 20, 0), At(2026, 3, kFri, 20, 30), true, 1800},
      {Daily(MONDAYTOFRIDAY, 20, 0), At(2026, 3, kSat, 20, 30), false, 0},
      {Daily(MONDAYTOSATURDAY, 20, 0), At(2026, 3, kSat, 20, 30), true, 1800},
      {Daily(MONDAYTOSATURDAY, 20, 0), At(2026, 3, kSun, 20, 30), false, 0},
      {Schedule(SPECIFICDAY, At(2026, 3, kMon, 20, 0)), At(2026, 3, kMon, 20, 30), true, 1800},
      {Schedule(SPECIFICDAY, At(2026, 3, kMon, 20, 0)), At(2026, 3, kTue, 20, 30), false, 0},
      {Daily(0, 20, 0), At(2026, 3, kMon, 20, 30), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.item.GetRepeatMode()) + " at " + Text(c.now));
    EXPECT_EQ(c.item.IsRunning(c.now), c.running);
    std::uint32_t seconds = 12345;
    EXPECT_EQ(c.item.SecondsToEnd(c.now, seconds), c.running ? 1 : 0);
    EXPECT_EQ(seconds, c.running ? c.secondsToEnd : 12345u);
  }
}

TEST(ScheduleItem, ExpiryAndSecondsToStart) {
  const CScheduleItem once = Schedule(SPECIFICDAY, At(2026, 3, kMon, 20, 0));
  EXPECT_FALSE(once.IsExpired(At(2026, 3, kMon, 20, 0, 0)));
  EXPECT_TRUE(once.IsExpired(At(2026, 3, kMon, 20, 0, 1)));
  EXPECT_FALSE(Daily(EVERYDAY, 20, 0).IsExpired(At(2030, 1, 1)));
  EXPECT_TRUE(Schedule(SPECIFICDAY, SYSTEMTIME{}).IsExpired(At(2026, 3, kMon)));  // no date at all

  std::uint32_t seconds = 0;
  EXPECT_EQ(once.SecondsToStart(At(2026, 3, kMon, 19, 58, 0), seconds), 1);
  EXPECT_EQ(seconds, 120u);
  EXPECT_EQ(once.SecondsToStart(At(2026, 3, kMon, 20, 0, 0), seconds), 1);
  EXPECT_EQ(seconds, 0u);
  EXPECT_EQ(once.SecondsToStart(At(2026, 3, kMon, 20, 10), seconds), 0);  // running (and expired)
  EXPECT_EQ(once.SecondsToStart(At(2026, 3, kTue), seconds), 0);          // expired
  EXPECT_EQ(Daily(EVERYDAY, 7, 0).SecondsToStart(At(2026, 3, kMon, 6, 59), seconds), 1);
  EXPECT_EQ(seconds, 60u);
  EXPECT_EQ(Daily(EVERYDAY, 7, 0).SecondsToStart(At(2026, 3, kMon, 7, 30), seconds), 0);  // running
  EXPECT_EQ(Daily(0, 7, 0).SecondsToStart(At(2026, 3, kMon, 8, 0), seconds), 0);  // behind us
}

TEST(ScheduleItem, ConflictsByDayAndTime) {
  const SYSTEMTIME now = At(2026, 3, kMon, 1, 0);
  struct Case {
    const char* what;
    CScheduleItem candidate;
    CScheduleItem other;
    bool conflict;
  } cases[] = {
      {"start at the other's end", Daily(EVERYDAY, 11, 0), Daily(EVERYDAY, 10, 0), true},
      {"end at the other's start", Daily(EVERYDAY, 10, 0), Daily(EVERYDAY, 11, 0), true},
      {"one minute after the end", Daily(EVERYDAY, 11, 1), Daily(EVERYDAY, 10, 0), false},
      {"inside", Daily(EVERYDAY, 10, 30, 5), Daily(EVERYDAY, 10, 0), true},
      {"past midnight is not compared", Daily(EVERYDAY, 23, 30, 60), Daily(EVERYDAY, 0, 10, 30), false},
      {"monday vs tuesday", Daily(EVERYMONDAY, 10, 0), Daily(EVERYTUESDAY, 10, 0), false},
      {"monday vs every day", Daily(EVERYMONDAY, 10, 0), Daily(EVERYDAY, 10, 0), true},
      {"monday vs mon-fri", Daily(EVERYMONDAY, 10, 0), Daily(MONDAYTOFRIDAY, 10, 0), true},
      {"saturday vs mon-fri", Daily(EVERYSATURDAY, 10, 0), Daily(MONDAYTOFRIDAY, 10, 0), false},
      {"saturday vs mon-sat", Daily(EVERYSATURDAY, 10, 0), Daily(MONDAYTOSATURDAY, 10, 0), true},
      {"sunday vs mon-sat", Daily(EVERYSUNDAY, 10, 0), Daily(MONDAYTOSATURDAY, 10, 0), false},
      {"monday vs a monday date", Daily(EVERYMONDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 9, 10, 0)), true},
      {"monday vs a tuesday date", Daily(EVERYMONDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 10, 10, 0)), false},
      {"sunday vs a sunday date", Daily(EVERYSUNDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 8, 10, 0)), true},
      {"mon-fri vs tuesday", Daily(MONDAYTOFRIDAY, 10, 0), Daily(EVERYTUESDAY, 10, 0), true},
      {"mon-fri vs saturday", Daily(MONDAYTOFRIDAY, 10, 0), Daily(EVERYSATURDAY, 10, 0), false},
      {"mon-fri vs sunday", Daily(MONDAYTOFRIDAY, 10, 0), Daily(EVERYSUNDAY, 10, 0), false},
      {"mon-fri vs a wednesday date", Daily(MONDAYTOFRIDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), true},
      {"mon-fri vs a saturday date", Daily(MONDAYTOFRIDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 14, 10)), false},
      {"mon-sat vs saturday", Daily(MONDAYTOSATURDAY, 10, 0), Daily(EVERYSATURDAY, 10, 0), true},
      {"mon-sat vs sunday", Daily(MONDAYTOSATURDAY, 10, 0), Daily(EVERYSUNDAY, 10, 0), false},
      {"mon-sat vs a sunday date", Daily(MONDAYTOSATURDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 15, 10)), false},
      {"mon-sat vs a saturday date", Daily(MONDAYTOSATURDAY, 10, 0), Schedule(SPECIFICDAY, At(2026, 3, 14, 10)), true},
      {"sunday date vs every sunday", Schedule(SPECIFICDAY, At(2026, 3, 15, 10)), Daily(EVERYSUNDAY, 10, 0), true},
      {"sunday date vs mon-sat", Schedule(SPECIFICDAY, At(2026, 3, 15, 10)), Daily(MONDAYTOSATURDAY, 10, 0), false},
      {"saturday date vs mon-sat", Schedule(SPECIFICDAY, At(2026, 3, 14, 10)), Daily(MONDAYTOSATURDAY, 10, 0), true},
      {"saturday date vs mon-fri", Schedule(SPECIFICDAY, At(2026, 3, 14, 10)), Daily(MONDAYTOFRIDAY, 10, 0), false},
      {"wednesday date vs wednesday", Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), Daily(EVERYWEDNESDAY, 10, 0), true},
      {"wednesday date vs thursday", Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), Daily(EVERYTHURSDAY, 10, 0), false},
      {"wednesday date vs mon-fri", Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), Daily(MONDAYTOFRIDAY, 10, 0), true},
      {"date vs every day", Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), Daily(EVERYDAY, 10, 30), true},
      {"same date", Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), Schedule(SPECIFICDAY, At(2026, 3, 11, 11)), true},
      {"other date", Schedule(SPECIFICDAY, At(2026, 3, 11, 10)), Schedule(SPECIFICDAY, At(2026, 3, 18, 10)), false},
      {"no repeat mode", Daily(0, 10, 0), Daily(EVERYDAY, 10, 0), false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.candidate.ConflictsWith(c.other, now), c.conflict) << c.what;
}

TEST(ScheduleItem, CopyTakesTheFrequencyOnlyFromRadioSchedules) {
  CScheduleItem radio(SCHEDULE_RADIO);
  EXPECT_EQ(radio.SetRadioFrequency(101700000), 1);
  CScheduleItem tv(SCHEDULE_TV);
  EXPECT_EQ(tv.SetRadioFrequency(5), 0);
  EXPECT_EQ(tv.GetRadioFrequency(), 0);

  CScheduleItem target(SCHEDULE_RADIO);
  target.SetRadioFrequency(88000000);
  target = radio;
  EXPECT_EQ(target.GetRadioFrequency(), 101700000);
  target = tv;
  EXPECT_EQ(target.GetType(), SCHEDULE_TV);
  EXPECT_EQ(target.GetRadioFrequency(), 0);

  CScheduleItem fresh;
  EXPECT_EQ(fresh.GetType(), 0);
  EXPECT_EQ(fresh.GetEnable(), 1);
  EXPECT_EQ(fresh.GetPriority(), INT_MAX);
  EXPECT_EQ(fresh.SetDuration(0), 0);
  EXPECT_EQ(fresh.GetDuration(), 0);
  EXPECT_EQ(fresh.SetDuration(30), 1);
  EXPECT_EQ(fresh.SetDuration(0), 0);
  EXPECT_EQ(fresh.GetDuration(), 30);
}

TEST(ScheduleItem, DatesPackIntoFourWordsLowHalfFirst) {
  SYSTEMTIME t = At(2026, 3, 9, 20, 15, 30);
  t.wDayOfWeek = 1;
  t.wMilliseconds = 250;
  std::uint32_t words[4];
  CScheduleItem::PackDate(t, words);
  EXPECT_EQ(words[0], 2026u + 3u * 65536u);
  EXPECT_EQ(words[1], 1u + 9u * 65536u);
  EXPECT_EQ(words[2], 20u + 15u * 65536u);
  EXPECT_EQ(words[3], 30u + 250u * 65536u);
  EXPECT_EQ(CScheduleItem::UnpackDate(words[0], words[1], words[2], words[3]), t);
}

class ScheduleListTest : public ::testing::Test {
 protected:
  FixedClock clock_{At(2026, 3, kMon, 12, 0)};
  CScheduleList list_{clock_};
  TempEnvironment env_;
};

TEST_F(ScheduleListTest, IndexingByTypeFilter) {
  list_.Add(Daily(EVERYDAY, 1, 0, 10, SCHEDULE_TV));
  list_.Add(Daily(EVERYDAY, 2, 0, 10, SCHEDULE_RADIO));
  list_.Add(Daily(EVERYDAY, 3, 0, 10, SCHEDULE_TV));
  EXPECT_EQ(list_.Count(), 3);
  EXPECT_EQ(list_.Count(SCHEDULE_TV), 2);
  EXPECT_EQ(list_.Count(SCHEDULE_RADIO), 1);
  CScheduleItem out;
  ASSERT_EQ(list_.GetAt(1, out, SCHEDULE_TV), 1);
  EXPECT_EQ(out.GetBeginDate().wHour, 3);
  EXPECT_EQ(list_.GetAt(2, out, SCHEDULE_TV), 0);
  EXPECT_EQ(list_.GetAt(-1, out), 0);
  EXPECT_EQ(list_.SetAt(0, Daily(EVERYDAY, 9, 0, 10, SCHEDULE_RADIO), SCHEDULE_RADIO), 1);
  ASSERT_EQ(list_.GetAt(1, out), 1);
  EXPECT_EQ(out.GetBeginDate().wHour, 9);
  EXPECT_EQ(list_.SetAt(5, out), 0);
  EXPECT_EQ(list_.Remove(0, SCHEDULE_TV), 1);
  EXPECT_EQ(list_.Remove(7), 0);
  ASSERT_EQ(list_.Count(), 2);
  list_.GetAt(0, out);
  EXPECT_EQ(out.GetBeginDate().wHour, 9);  // order kept
  list_.GetAt(1, out);
  EXPECT_EQ(out.GetBeginDate().wHour, 3);
  list_.AddHistory(out);
  EXPECT_EQ(list_.CountHistory(SCHEDULE_TV), 1);
  EXPECT_EQ(list_.GetHistoryAt(0, out, SCHEDULE_RADIO), 0);
}

TEST_F(ScheduleListTest, SortByFrequencyAndByNextStart) {
  EXPECT_EQ(list_.Sort(1), 0);  // empty
  CScheduleItem fm(SCHEDULE_RADIO);
  fm.SetRepeatMode(EVERYDAY);
  fm.SetBeginDate(At(2000, 1, 1, 8));
  fm.SetRadioFrequency(101700000);
  CScheduleItem low = fm;
  low.SetBeginDate(At(2000, 1, 1, 13));
  low.SetRadioFrequency(88000000);
  list_.Add(fm);
  list_.Add(Daily(EVERYDAY, 18, 0, 30, SCHEDULE_TV));
  list_.Add(low);
  ASSERT_EQ(list_.Sort(1), 1);
  EXPECT_EQ(list_.GetSortMode(), 1);
  std::vector<int> hours;
  CScheduleItem out;
  for (int i = 0; list_.GetAt(i, out); ++i) hours.push_back(out.GetBeginDate().wHour);
  EXPECT_EQ(hours, (std::vector<int>{18, 13, 8}));  // TV counts as 0
  // By next start at 12:00: 13:00 today, 18:00 today, 08:00 tomorrow.
  ASSERT_EQ(list_.Sort(2), 1);
  hours.clear();
  for (int i = 0; list_.GetAt(i, out); ++i) hours.push_back(out.GetBeginDate().wHour);
  EXPECT_EQ(hours, (std::vector<int>{13, 18, 8}));
  ASSERT_EQ(list_.Sort(6), 1);  // other modes are only remembered
  EXPECT_EQ(list_.GetSortMode(), 6);
}

TEST_F(ScheduleListTest, NextDueAndRunning) {
  uint32_t seconds = 0;
  CScheduleItem out;
  EXPECT_EQ(list_.FindNextDue(out, seconds), 0);
  list_.Add(Schedule(SPECIFICDAY, At(2026, 3, 1, 13, 0)));      // expired
  list_.Add(Daily(EVERYDAY, 11, 30, 60, SCHEDULE_TV));           // running
  list_.Add(Daily(EVERYDAY, 14, 0, 60, SCHEDULE_RADIO));         // in 2 h
  list_.Add(Daily(EVERYDAY, 12, 30, 60, SCHEDULE_TV));           // in 30 min
  list_.Add(Schedule(EVERYDAY, At(1999, 9, 9, 12, 30), 5));      // same second, later in the list
  ASSERT_EQ(list_.FindNextDue(out, seconds), 1);
  EXPECT_EQ(seconds, 1800u);
  EXPECT_EQ(out.GetType(), SCHEDULE_TV);
  EXPECT_EQ(out.GetDuration(), 60);
  ASSERT_EQ(list_.FindNextDue(out, seconds, SCHEDULE_RADIO), 1);
  EXPECT_EQ(seconds, 1800u);
  EXPECT_EQ(out.GetDuration(), 5);
  ASSERT_EQ(list_.FindRunning(out, seconds), 1);
  EXPECT_EQ(out.GetBeginDate().wHour, 11);
  EXPECT_EQ(seconds, 1800u);
  EXPECT_EQ(list_.FindRunning(out, seconds, SCHEDULE_RADIO), 0);
}

TEST_F(ScheduleListTest, CountConflictsCountsListedEqualsToo) {
  const CScheduleItem candidate = Daily(EVERYDAY, 10, 0, 60, SCHEDULE_RADIO);
  list_.Add(candidate);
  list_.Add(Daily(EVERYDAY, 10, 30, 60, SCHEDULE_TV));
  list_.Add(Daily(EVERYDAY, 15, 0, 60, SCHEDULE_RADIO));
  EXPECT_EQ(list_.CountConflicts(candidate), 2);
  EXPECT_EQ(list_.CountConflicts(candidate, SCHEDULE_RADIO), 1);
}

TEST_F(ScheduleListTest, GetConflictWalksTheConflictsInListOrder) {
  const CScheduleItem candidate = Daily(EVERYDAY, 10, 0, 60, SCHEDULE_RADIO);
  list_.Add(Daily(EVERYDAY, 10, 30, 60, SCHEDULE_TV));     // conflict, TV
  list_.Add(Daily(EVERYDAY, 15, 0, 60, SCHEDULE_RADIO));   // no conflict
  list_.Add(Daily(EVERYDAY, 9, 30, 45, SCHEDULE_RADIO));   // conflict, radio
  list_.Add(Daily(EVERYDAY, 10, 50, 20, SCHEDULE_RADIO));  // conflict, radio
  CScheduleItem out;
  struct Case {
    int index, type, found, hour, minute;
  };
  for (const Case& c : {Case{0, 0, 1, 10, 30}, Case{1, 0, 1, 9, 30}, Case{2, 0, 1, 10, 50}, Case{3, 0, 0, 0, 0},
                        Case{0, SCHEDULE_RADIO, 1, 9, 30}, Case{1, SCHEDULE_RADIO, 1, 10, 50},
                        Case{2, SCHEDULE_RADIO, 0, 0, 0}, Case{0, SCHEDULE_TV, 1, 10, 30}, Case{-1, 0, 0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << "index " << c.index << " type " << c.type);
    CScheduleItem got(SCHEDULE_TV);
    ASSERT_EQ(list_.GetConflict(c.index, candidate, got, c.type), c.found);
    if (c.found) {
      EXPECT_EQ(got.GetBeginDate().wHour, c.hour);
      EXPECT_EQ(got.GetBeginDate().wMinute, c.minute);
    }
  }
  // The counting twin agrees: index == count is the first refused.
  EXPECT_EQ(list_.CountConflicts(candidate, SCHEDULE_RADIO), 2);
  EXPECT_EQ(list_.GetConflict(list_.CountConflicts(candidate), candidate, out), 0);

  // The history has the same shape; an empty one refuses index 0.
  EXPECT_EQ(list_.GetHistoryConflict(0, candidate, out), 0);
  list_.AddHistory(Daily(EVERYDAY, 15, 0, 60, SCHEDULE_RADIO));
  list_.AddHistory(Daily(EVERYDAY, 10, 15, 10, SCHEDULE_RADIO));
  EXPECT_EQ(list_.CountHistoryConflicts(candidate), 1);
  ASSERT_EQ(list_.GetHistoryConflict(0, candidate, out, SCHEDULE_RADIO), 1);
  EXPECT_EQ(out.GetBeginDate().wMinute, 15);
  EXPECT_EQ(list_.GetHistoryConflict(0, candidate, out, SCHEDULE_TV), 0);
}

// Two schedules and one history entry with every field set.
void FillSample(CScheduleList& list) {
  CScheduleItem radio(SCHEDULE_RADIO);
  radio.SetStatus(0);
  radio.SetRepeatMode(MONDAYTOFRIDAY);
  radio.SetBeginDate(2026 + 3 * 65536, 1 + 2 * 65536, 7 + 30 * 65536, 0);
  radio.SetDuration(45);
  radio.SetRecFileName("/home/user/My Radio/Morning & News.mp3");
  radio.SetPriority(3);
  radio.SetTitle("My Schedule");
  radio.SetRadioFrequency(101700000);
  list.Add(radio);
  CScheduleItem tv(SCHEDULE_TV);
  tv.SetRepeatMode(SPECIFICDAY);
  SYSTEMTIME begin = At(2026, 3, 20, 21, 15);
  begin.wDayOfWeek = 5;
  tv.SetBeginDate(begin);
  tv.SetDuration(90);
  tv.SetEnable(0);
  tv.SetRecFileName("Film «Nacht».mpg");
  list.Add(tv);
  CScheduleItem done(SCHEDULE_RADIO);
  done.SetStatus(4);
  done.SetRepeatMode(EVERYDAY);
  done.SetBeginDate(At(2026, 2, 20, 6));
  SYSTEMTIME recorded = At(2026, 2, 25, 6, 0, 1);
  recorded.wDayOfWeek = 3;
  recorded.wMilliseconds = 500;
  done.SetRecordDate(recorded);
  done.SetDuration(30);
  done.SetRecFileName("/home/user/My Radio/20260225.mp3");
  done.SetRadioFrequency(88000000);
  list.AddHistory(done);
}

void ExpectSameItem(const CScheduleItem& a, const CScheduleItem& b) {
  EXPECT_EQ(a.GetType(), b.GetType());
  EXPECT_EQ(a.GetStatus(), b.GetStatus());
  EXPECT_EQ(a.GetRepeatMode(), b.GetRepeatMode());
  EXPECT_EQ(a.GetBeginDate(), b.GetBeginDate());
  EXPECT_EQ(a.GetRecordDate(), b.GetRecordDate());
  EXPECT_EQ(a.GetDuration(), b.GetDuration());
  EXPECT_EQ(a.GetEnable(), b.GetEnable());
  EXPECT_EQ(a.GetRecFileName(), b.GetRecFileName());
  EXPECT_EQ(a.GetPriority(), b.GetPriority());
  EXPECT_EQ(a.GetRadioFrequency(), b.GetRadioFrequency());
}

TEST_F(ScheduleListTest, EmptyFileHoldsAllSixteenKeysPerSection) {
  ASSERT_EQ(list_.LoadSave(env_.dir(), 0), 1);
  ExpectMatchesGolden(env_.path("Schedule.sys"), "schedule_empty.sys");
}

TEST_F(ScheduleListTest, TwoSchedulesAndOneHistoryEntryRoundTrip) {
  FillSample(list_);
  ASSERT_EQ(list_.LoadSave(env_.dir(), 0), 1);
  ExpectMatchesGolden(env_.path("Schedule.sys"), "schedule_two_and_history.sys");

  CScheduleList loaded(clock_);
  ASSERT_EQ(loaded.LoadSave(env_.dir(), 1), 1);
  ASSERT_EQ(loaded.Count(), 2);
  ASSERT_EQ(loaded.CountHistory(), 1);
  CScheduleItem a, b;
  for (int i = 0; i < 2; ++i) {
    list_.GetAt(i, a);
    loaded.GetAt(i, b);
    ExpectSameItem(a, b);
  }
  list_.GetHistoryAt(0, a);
  loaded.GetHistoryAt(0, b);
  ExpectSameItem(a, b);
  EXPECT_EQ(b.GetTitle(), "");  // titles are not kept in the file
}

TEST_F(ScheduleListTest, LoadDropsPassedOneOffsAndOldHistory) {
  FixedClock writeClock(At(2026, 3, 1));
  CScheduleList writer(writeClock);
  writer.Add(Schedule(SPECIFICDAY, At(2026, 3, 31, 11, 0), 30));   // passed at load time
  writer.Add(Schedule(SPECIFICDAY, At(2026, 3, 31, 11, 45), 30));  // running at load time
  writer.Add(Schedule(SPECIFICDAY, At(2026, 3, 31, 13, 0), 30));   // still to come
  writer.Add(Schedule(SPECIFICDAY, SYSTEMTIME{}, 30));              // no date: never comes
  for (const SYSTEMTIME recorded : {At(2026, 3, 1, 11, 59, 59), At(2026, 3, 1, 12, 0, 0), At(2026, 3, 2, 12, 0),
                                    SYSTEMTIME{}}) {
    CScheduleItem done(SCHEDULE_RADIO);
    done.SetRecordDate(recorded);
    writer.AddHistory(done);
  }
  ASSERT_EQ(writer.LoadSave(env_.dir(), 0), 1);

  clock_.Set(At(2026, 3, 31, 12, 0));
  ASSERT_EQ(list_.LoadSave(env_.dir(), 1), 1);
  ASSERT_EQ(list_.Count(), 2);
  CScheduleItem out;
  list_.GetAt(0, out);
  EXPECT_EQ(out.GetBeginDate().wMinute, 45);
  list_.GetAt(1, out);
  EXPECT_EQ(out.GetBeginDate().wHour, 13);
  // More than 30 days old goes; exactly 30 days and less stay.
  ASSERT_EQ(list_.CountHistory(), 2);
  list_.GetHistoryAt(0, out);
  EXPECT_EQ(out.GetRecordDate(), At(2026, 3, 1, 12, 0, 0));
}

TEST_F(ScheduleListTest, MissingOrBrokenFileLeavesTheListsAlone) {
  list_.Add(Daily(EVERYDAY, 10, 0));
  list_.AddHistory(Daily(EVERYDAY, 10, 0));
  EXPECT_EQ(list_.LoadSave(env_.dir(), 1), 0);
  EXPECT_EQ(list_.Count(), 1);
  WriteFile(env_.path("Schedule.sys"), "<MRVConfig><SCHEDULECONFIG>");
  EXPECT_EQ(list_.LoadSave(env_.dir(), 1), 0);
  EXPECT_EQ(list_.Count(), 1);
  EXPECT_EQ(list_.CountHistory(), 1);
  EXPECT_TRUE(settings_test::Exists(env_.path("Schedule.sys.bad")));
}

TEST_F(ScheduleListTest, UnequalArraysAndMalformedEntries) {
  // Three types but only two durations: two items. The second item's
  // status, priority and begin time are malformed and take the defaults;
  // the frequency array is absent altogether.
  const std::string arrays =
      "<SCH_TYPE><e value=\"1\"/><e value=\"1\"/><e value=\"2\"/></SCH_TYPE>"
      "<SCH_STATUS><e value=\"3\"/><e value=\"x\"/><e value=\"3\"/></SCH_STATUS>"
      "<SCH_REPEATMODE><e value=\"1\"/><e value=\"2\"/><e value=\"1\"/></SCH_REPEATMODE>"
      "<SCH_BEGINDATE_YM><e value=\"0\"/><e value=\"0\"/><e value=\"0\"/></SCH_BEGINDATE_YM>"
      "<SCH_BEGINDATE_WD><e value=\"0\"/><e value=\"0\"/><e value=\"0\"/></SCH_BEGINDATE_WD>"
      "<SCH_BEGINDATE_HM><e value=\"1966090\"/><e value=\"99\"/><e value=\"0\"/></SCH_BEGINDATE_HM>"
      "<SCH_BEGINDATE_SM><e value=\"0\"/><e/><e value=\"0\"/></SCH_BEGINDATE_SM>"
      "<SCH_DURATION><e value=\"15\"/><e value=\"20\"/></SCH_DURATION>"
      "<SCH_ENABLE><e value=\"0\"/><e value=\"\"/><e value=\"0\"/></SCH_ENABLE>"
      "<SCH_RECFILENAME><e value=\"a.mp3\"/><e/><e value=\"c\"/></SCH_RECFILENAME>"
      "<SCH_PRIORITY><e value=\"5\"/><e value=\"high\"/><e value=\"5\"/></SCH_PRIORITY>";
  WriteFile(env_.path("Schedule.sys"), "<MRVConfig><SCHEDULECONFIG>" + arrays + "</SCHEDULECONFIG></MRVConfig>");
  ASSERT_EQ(list_.LoadSave(env_.dir(), 1), 1);
  EXPECT_EQ(list_.CountHistory(), 0);
  ASSERT_EQ(list_.Count(), 2);
  CScheduleItem first, second;
  list_.GetAt(0, first);
  list_.GetAt(1, second);
  EXPECT_EQ(first.GetStatus(), 3);
  EXPECT_EQ(first.GetBeginDate().wHour, 10);
  EXPECT_EQ(first.GetBeginDate().wMinute, 30);
  EXPECT_EQ(first.GetDuration(), 15);
  EXPECT_EQ(first.GetEnable(), 0);
  EXPECT_EQ(first.GetRecFileName(), "a.mp3");
  EXPECT_EQ(first.GetPriority(), 5);
  EXPECT_EQ(first.GetRadioFrequency(), 0);
  EXPECT_EQ(second.GetStatus(), 0);
  EXPECT_EQ(second.GetRepeatMode(), EVERYMONDAY);
  EXPECT_EQ(second.GetBeginDate(), SYSTEMTIME{});
  EXPECT_EQ(second.GetDuration(), 20);
  EXPECT_EQ(second.GetEnable(), 1);
  EXPECT_EQ(second.GetRecFileName(), "");
  EXPECT_EQ(second.GetPriority(), INT_MAX);
}

TEST_F(ScheduleListTest, NegativeDurationTakesTheDefault) {
  const std::string arrays =
      "<SCH_TYPE><e value=\"1\"/><e value=\"1\"/></SCH_TYPE>"
      "<SCH_REPEATMODE><e value=\"1\"/><e value=\"1\"/></SCH_REPEATMODE>"
      "<SCH_DURATION><e value=\"-30\"/><e value=\"45\"/></SCH_DURATION>";
  WriteFile(env_.path("Schedule.sys"), "<MRVConfig><SCHEDULECONFIG>" + arrays + "</SCHEDULECONFIG></MRVConfig>");
  ASSERT_EQ(list_.LoadSave(env_.dir(), 1), 1);
  ASSERT_EQ(list_.Count(), 2);
  CScheduleItem first, second;
  list_.GetAt(0, first);
  list_.GetAt(1, second);
  EXPECT_EQ(first.GetDuration(), CScheduleItem(1).GetDuration());
  EXPECT_EQ(second.GetDuration(), 45);
}

}  // namespace
