#include "platform/media/radio/rds_encoder.h"

#include <linux/videodev2.h>

#include <ctime>

#include "platform/sys/clock.h"

namespace plat::radio {
namespace {

constexpr int kNameLength = 8;
constexpr int kTextLength = 64;
constexpr char kTextEnd = 0x0D;

RdsBlock Block(std::uint16_t value, int position) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(position)};
}

// Block B: group type, version A, no traffic programme, the programme type,
// then five group-specific bits.
std::uint16_t BlockB(int groupType, const RdsStation& station, int low5) {
  return static_cast<std::uint16_t>((groupType << 12) | ((station.programType & 0x1F) << 5) | (low5 & 0x1F));
}

std::uint8_t CharAt(const std::string& text, std::size_t index) {
  return index < text.size() ? static_cast<std::uint8_t>(text[index]) : static_cast<std::uint8_t>(' ');
}

std::uint16_t Pair(std::uint8_t high, std::uint8_t low) { return static_cast<std::uint16_t>((high << 8) | low); }

}  // namespace

int ModifiedJulianDay(int year, int month, int day) {
  // Days from the civil calendar (proleptic Gregorian), shifted to MJD.
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int daysSince1970 = era * 146097 + doe - 719468;
  return daysSince1970 + 40587;
}

void DateOfModifiedJulianDay(int mjd, int& year, int& month, int& day) {
  const int z = mjd - 40587 + 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = z - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

RdsEncoder::RdsEncoder(RdsStation station) : station_(std::move(station)) {
  if (station_.name.size() > kNameLength) station_.name.resize(kNameLength);
  if (station_.radioText.size() > kTextLength) station_.radioText.resize(kTextLength);
}

int RdsEncoder::TextSegments() const {
  if (station_.radioText.empty()) return 0;
  // A text shorter than 64 characters ends with a carriage return.
  const std::size_t length = station_.radioText.size() + (station_.radioText.size() < kTextLength ? 1 : 0);
  return static_cast<int>((length + 3) / 4);
}

RdsEncoder::Group RdsEncoder::NextGroup(const RdsUtcTime& now) {
  const long n = count_++;
  if (now.minute != lastMinute_) {
    lastMinute_ = now.minute;
    return Group4A(station_, now);
  }
  const int segments = TextSegments();
  if (segments == 0 || n % 2 == 0) return Group0A(station_, static_cast<int>((segments == 0 ? n : n / 2) % 4));
  return Group2A(station_, static_cast<int>((n / 2) % segments), false);
}

RdsEncoder::Group RdsEncoder::Group0A(const RdsStation& station, int segment) {
  // Block C carries alternative frequencies: "no AF" and a filler code.
  return {Block(station.pi, V4L2_RDS_BLOCK_A), Block(BlockB(0, station, segment & 3), V4L2_RDS_BLOCK_B),
          Block(Pair(224, 205), V4L2_RDS_BLOCK_C),
          Block(Pair(CharAt(station.name, segment * 2), CharAt(station.name, segment * 2 + 1)), V4L2_RDS_BLOCK_D)};
}

RdsEncoder::Group RdsEncoder::Group2A(const RdsStation& station, int segment, bool abFlag) {
  std::string text = station.radioText;
  if (text.size() < kTextLength) text += kTextEnd;
  const std::size_t at = static_cast<std::size_t>(segment) * 4;
  return {Block(station.pi, V4L2_RDS_BLOCK_A),
          Block(BlockB(2, station, (abFlag ? 0x10 : 0) | (segment & 0xF)), V4L2_RDS_BLOCK_B),
          Block(Pair(CharAt(text, at), CharAt(text, at + 1)), V4L2_RDS_BLOCK_C),
          Block(Pair(CharAt(text, at + 2), CharAt(text, at + 3)), V4L2_RDS_BLOCK_D)};
}

RdsEncoder::Group RdsEncoder::Group4A(const RdsStation& station, const RdsUtcTime& time) {
  const int mjd = ModifiedJulianDay(time.year, time.month, time.day);
  const int offset = time.offsetHalfHours < 0 ? -time.offsetHalfHours : time.offsetHalfHours;
  const std::uint16_t b = BlockB(4, station, (mjd >> 15) & 0x3);
  const auto c = static_cast<std::uint16_t>(((mjd & 0x7FFF) << 1) | ((time.hour >> 4) & 1));
  const auto d = static_cast<std::uint16_t>(((time.hour & 0xF) << 12) | ((time.minute & 0x3F) << 6) |
                                            (time.offsetHalfHours < 0 ? 0x20 : 0) | (offset & 0x1F));
  return {Block(station.pi, V4L2_RDS_BLOCK_A), Block(b, V4L2_RDS_BLOCK_B), Block(c, V4L2_RDS_BLOCK_C),
          Block(d, V4L2_RDS_BLOCK_D)};
}

RdsUtcTime CurrentRdsTime() {
  const std::time_t now = std::chrono::system_clock::to_time_t(plat::GetClock().wall_now());
  std::tm utc{};
  std::tm local{};
  gmtime_r(&now, &utc);
  localtime_r(&now, &local);
  RdsUtcTime t;
  t.year = utc.tm_year + 1900;
  t.month = utc.tm_mon + 1;
  t.day = utc.tm_mday;
  t.hour = utc.tm_hour;
  t.minute = utc.tm_min;
  t.offsetHalfHours = static_cast<int>(local.tm_gmtoff / 1800);
  return t;
}

}  // namespace plat::radio
