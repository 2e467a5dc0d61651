#include "platform/media/radio/rds_events.h"

#include <cstdio>

namespace plat::radio {
namespace {

constexpr const char* kProgramTypes[32] = {
    "-",       "News",     "Affairs", "Info",    "Sport",   "Educate",  "Drama",    "Culture",
    "Science", "Varied",   "Pop_M",   "Rock_M",  "Easy_M",  "Light_M",  "Classics", "Other_M",
    "Weather", "Finance",  "Children", "Social", "Religion", "Phone_In", "Travel",  "Leisure",
    "Jazz",    "Country",  "Nation_M", "Oldies", "Folk_M",  "Document", "TEST",     "Alarm!"};

int DaysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && year % 4 == 0) return 29;
  return kDays[(month - 1) % 12];
}

void NextDay(RdsClockRecord& r) {
  if (++r.day <= DaysInMonth(r.month, r.year)) return;
  r.day = 1;
  if (++r.month <= 12) return;
  r.month = 1;
  r.year = (r.year + 1) % 100;
}

void PreviousDay(RdsClockRecord& r) {
  if (--r.day >= 1) return;
  if (--r.month < 1) {
    r.month = 12;
    r.year = (r.year + 99) % 100;
  }
  r.day = DaysInMonth(r.month, r.year);
}

}  // namespace

const char* ProgramTypeName(int code) { return code >= 0 && code < 32 ? kProgramTypes[code] : kProgramTypes[0]; }

std::optional<RdsClockRecord> LocalClock(const RdsClockRecord& utc) {
  if (utc.day < 1 || utc.day > 31 || utc.month < 1 || utc.month > 12 || utc.year < 0 || utc.year > 99 ||
      utc.hour < 0 || utc.hour > 23 || utc.minute < 0 || utc.minute > 60 || utc.offset < 0 || utc.offset > 63) {
    return std::nullopt;
  }
  RdsClockRecord r = utc;
  // Codes up to 31 are east of Greenwich, 32 and up west; 32 itself is
  // minus nothing.
  const int halfHours = utc.offset < 32 ? utc.offset : -(utc.offset - 32);
  long minutes = r.hour * 60L + r.minute + halfHours * 30L;
  while (minutes >= 24 * 60) {
    minutes -= 24 * 60;
    NextDay(r);
  }
  while (minutes < 0) {
    minutes += 24 * 60;
    PreviousDay(r);
  }
  r.hour = static_cast<int>(minutes / 60);
  r.minute = static_cast<int>(minutes % 60);
  return r;
}

std::string ClockText(const RdsClockRecord& local) {
  char text[64];
  std::snprintf(text, sizeof text, "%i.%i.%02i %i:%02i", local.day, local.month, local.year, local.hour,
                local.minute);
  return text;
}

bool HandleRdsEvent(const RdsEvent& event, IRdsListener& listener) {
  switch (event.kind) {
    case kRdsRadioText:
    case kRdsRadioTextAlt:
      listener.OnRadioText(event.text);
      return true;
    case kRdsStationName:
    case kRdsStationNameAlt:
      listener.OnStationName(event.text);
      return true;
    case kRdsClockTime: {
      const auto local = LocalClock(event.clock);
      if (!local) return false;
      listener.OnClockTime(ClockText(*local));
      return true;
    }
    case kRdsProgramType:
      listener.OnProgramType(ProgramTypeName(event.programType));
      return true;
    case kRdsIgnored:
      return true;
    default:
      return false;
  }
}

}  // namespace plat::radio
