// CScheduleItem: one recording schedule -- a radio or TV recording that
// starts on a given date, or on repeating days at a fixed time of day, and
// runs for a number of minutes. History entries (recordings made) use the
// same record with their record date set.
//
// Every operation that depends on the time takes "now" (local wall-clock
// civil time, whole seconds) from its caller; CScheduleList passes its clock's
// reading.
#pragma once

#include <climits>
#include <cstdint>
#include <string>

#include "platform/core/system_time.h"

// What a schedule records.
enum ScheduleType : int { SCHEDULE_RADIO = 1, SCHEDULE_TV = 2 };

// Repeat modes: the days on which a schedule occurs.
enum ScheduleRepeatMode : int {
  EVERYDAY = 1,
  EVERYMONDAY = 2,
  EVERYTUESDAY = 3,
  EVERYWEDNESDAY = 4,
  EVERYTHURSDAY = 5,
  EVERYFRIDAY = 6,
  EVERYSATURDAY = 7,
  EVERYSUNDAY = 8,
  MONDAYTOFRIDAY = 9,
  MONDAYTOSATURDAY = 10,
  SPECIFICDAY = 11,
};

class CScheduleItem {
 public:
  explicit CScheduleItem(int type = 0);
  virtual ~CScheduleItem();
  // Copies every field; the radio frequency only when the copied type is
  // radio (otherwise the target keeps its own).
  CScheduleItem(const CScheduleItem& other);
  CScheduleItem& operator=(const CScheduleItem& other);

  int GetType() const { return m_nType; }
  int GetStatus() const { return m_nStatus; }
  int GetRepeatMode() const { return m_nRepeatMode; }
  plat::SYSTEMTIME GetBeginDate() const { return m_beginDate; }
  plat::SYSTEMTIME GetRecordDate() const { return m_recordDate; }
  int GetDuration() const { return m_nDurationMinutes; }
  int GetEnable() const { return m_nEnable; }
  const std::string& GetRecFileName() const { return m_strRecFileName; }
  int GetPriority() const { return m_nPriority; }
  const std::string& GetTitle() const { return m_strTitle; }
  // 0 for anything but a radio schedule.
  int GetRadioFrequency() const { return m_nType == SCHEDULE_RADIO ? m_nRadioFrequency : 0; }

  // Setters return 1 when they stored the value.
  int SetStatus(int status);
  int SetRepeatMode(int mode);
  int SetBeginDate(const plat::SYSTEMTIME& date);
  // The date as the file keeps it: four words, each two 16-bit halves, low
  // half first: year|month, day of week|day, hour|minute, second|milliseconds.
  int SetBeginDate(std::uint32_t ym, std::uint32_t wd, std::uint32_t hm, std::uint32_t sm);
  int SetRecordDate(const plat::SYSTEMTIME& date);
  int SetRecordDate(std::uint32_t ym, std::uint32_t wd, std::uint32_t hm, std::uint32_t sm);
  // Refuses 0 minutes (returns 0, keeps the old value).
  int SetDuration(int minutes);
  int SetEnable(int enable);
  int SetRecFileName(const std::string& name);
  int SetPriority(int priority);
  int SetTitle(const std::string& title);
  // Refuses (returns 0) unless this is a radio schedule.
  int SetRadioFrequency(int frequency);

  // When the schedule next starts: the begin date itself for SPECIFICDAY,
  // otherwise the first occurrence at the begin time of day that is not
  // before now.
  plat::SYSTEMTIME GetNextStart(const plat::SYSTEMTIME& now) const;
  // A SPECIFICDAY schedule whose date and time have passed.
  bool IsExpired(const plat::SYSTEMTIME& now) const;
  // Occurs today and now lies strictly between today's start and its end.
  bool IsRunning(const plat::SYSTEMTIME& now) const;
  // Whole seconds until the next start; 0 (refused) when expired or running.
  int SecondsToStart(const plat::SYSTEMTIME& now, std::uint32_t& seconds) const;
  // Whole seconds until the end of today's run; 0 (refused) unless running.
  int SecondsToEnd(const plat::SYSTEMTIME& now, std::uint32_t& seconds) const;
  // Whether this schedule (the candidate) overlaps `other` in day and time.
  // A start exactly at the other's end conflicts.
  bool ConflictsWith(const CScheduleItem& other, const plat::SYSTEMTIME& now) const;

  // Packing of a date into the file's four words and back.
  static void PackDate(const plat::SYSTEMTIME& date, std::uint32_t words[4]);
  static plat::SYSTEMTIME UnpackDate(std::uint32_t ym, std::uint32_t wd, std::uint32_t hm, std::uint32_t sm);

 private:
  bool OccursOnDay(int dayOfWeekFromSunday1, const plat::SYSTEMTIME& day) const;
  std::int64_t BeginTimeOfDay() const;

  int m_nType = 0;
  int m_nStatus = 0;
  int m_nRepeatMode = 0;  // 0: no occurrence
  plat::SYSTEMTIME m_beginDate{};
  plat::SYSTEMTIME m_recordDate{};
  int m_nDurationMinutes = 0;
  int m_nEnable = 1;
  std::string m_strRecFileName;
  int m_nPriority = INT_MAX;
  std::string m_strTitle;  // shown only; not kept in the file
  int m_nRadioFrequency = 0;
};
