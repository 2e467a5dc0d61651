#include "lounge/pages/record/record_progress_text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {

// The KiB done so far, wrapped to 32 bits like the counters it comes from.
std::int32_t DoneKiB(const RecordCopyProgress& p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p.finishedKiB) +
                                   static_cast<std::uint32_t>(p.currentCopiedKiB));
}

float Fraction(long long part, long long whole) {
  if (whole == 0) return 0.0f;
  return std::clamp(static_cast<float>(static_cast<double>(part) / static_cast<double>(whole)), 0.0f, 1.0f);
}

}  // namespace

std::string FormatRecordPercent(long long part, long long whole) {
  const double value = whole == 0 ? 0.0 : static_cast<double>(part) * 100.0 / static_cast<double>(whole);
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  std::string text = error == std::errc() ? std::string(buffer, end) : std::string("0.0");
  if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
  return text + "%";
}

std::string RecordFilePercentText(const RecordCopyProgress& p) {
  return FormatRecordPercent(p.currentCopiedKiB, p.currentSizeKiB);
}

std::string RecordTotalPercentText(const RecordCopyProgress& p) {
  return FormatRecordPercent(static_cast<long long>(p.finishedKiB) + p.currentCopiedKiB, p.totalKiB);
}

std::string RecordTotalSizeText(const RecordCopyProgress& p) {
  return std::to_string(DoneKiB(p)) + "K/" + std::to_string(p.totalKiB) + "K";
}

float RecordFileFraction(const RecordCopyProgress& p) { return Fraction(p.currentCopiedKiB, p.currentSizeKiB); }

float RecordTotalFraction(const RecordCopyProgress& p) {
  return Fraction(static_cast<long long>(p.finishedKiB) + p.currentCopiedKiB, p.totalKiB);
}
