// The RDS events a radio reports and how they are handled: radio text
// (kinds 0 and 1), station name (4 and 5), clock time (8, moved to local
// time), programme type (257, by name); kind 20 is ignored.
#pragma once

#include <optional>
#include <string>

namespace plat::radio {

enum RdsEventKind : int {
  kRdsRadioText = 0,
  kRdsRadioTextAlt = 1,
  kRdsStationName = 4,
  kRdsStationNameAlt = 5,
  kRdsClockTime = 8,
  kRdsIgnored = 20,
  kRdsProgramType = 257,
};

// The clock as a station sends it: UTC date (two-digit year) and time, and
// the local offset code in half hours, 32 and up meaning west (32 + n is
// minus n half hours).
struct RdsClockRecord {
  int day = 0;
  int month = 0;
  int year = 0;
  int hour = 0;
  int minute = 0;
  int offset = 0;
  bool operator==(const RdsClockRecord&) const = default;
};

struct RdsEvent {
  int kind = kRdsIgnored;
  std::string text;        // radio text, station name
  RdsClockRecord clock;    // clock time
  int programType = 0;     // programme type code
};

// Receives the handled events.
class IRdsListener {
 public:
  virtual void OnRadioText(const std::string& text) = 0;
  virtual void OnStationName(const std::string& name) = 0;
  virtual void OnProgramType(const std::string& name) = 0;
  virtual void OnClockTime(const std::string& text) = 0;

 protected:
  ~IRdsListener() = default;
};

// "-", "News", ... "Alarm!" for codes 0..31; "-" for any other code.
const char* ProgramTypeName(int code);

// The record moved to local time, with days, months and years carried;
// none when a field is out of range (day and month 0 included).
std::optional<RdsClockRecord> LocalClock(const RdsClockRecord& utc);

// "%i.%i.%02i %i:%02i": day, month, two-digit year, hour, minute.
std::string ClockText(const RdsClockRecord& local);

// Passes an event on to the listener; false for a kind it does not know or
// a clock it refuses.
bool HandleRdsEvent(const RdsEvent& event, IRdsListener& listener);

}  // namespace plat::radio
