// An RDS group encoder for the virtual radio: the blocks a station sends,
// as a receiver delivers them (position A..D in each block's flags). The
// stream starts with the clock (group 4A), then alternates the station name
// (group 0A, two characters a group) and the radio text (group 2A, four
// characters a group), so a decoder has the name twice within eight name
// groups. A new 4A follows whenever the clock's minute changes.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/media/radio/radio_tuner.h"

namespace plat::radio {

struct RdsStation {
  std::uint16_t pi = 0;
  std::string name;       // the programme service name, up to 8 characters
  std::string radioText;  // up to 64 characters
  int programType = 0;    // 0..31
};

// The clock record of group 4A: UTC date and time and the local offset in
// half hours (negative west of Greenwich).
struct RdsUtcTime {
  int year = 0;  // four digits
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int offsetHalfHours = 0;
};

// The modified Julian day of a date, and back.
int ModifiedJulianDay(int year, int month, int day);
void DateOfModifiedJulianDay(int mjd, int& year, int& month, int& day);

class RdsEncoder {
 public:
  using Group = std::array<RdsBlock, 4>;

  explicit RdsEncoder(RdsStation station);

  // The next group, with the time to put in a 4A when one is due.
  Group NextGroup(const RdsUtcTime& now);

  static Group Group0A(const RdsStation& station, int segment);
  static Group Group2A(const RdsStation& station, int segment, bool abFlag);
  static Group Group4A(const RdsStation& station, const RdsUtcTime& time);

 private:
  int TextSegments() const;

  RdsStation station_;
  long count_ = 0;
  int lastMinute_ = -1;
};

// Now, from the platform clock, as a 4A record with the machine's offset.
RdsUtcTime CurrentRdsTime();

}  // namespace plat::radio
