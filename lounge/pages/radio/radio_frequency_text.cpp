#include "lounge/pages/radio/radio_frequency_text.h"

#include <climits>
#include <cstdint>
#include <cstdio>

#include "corebridge/core/radio_config.h"

namespace radio_text {

std::string FmNumber(int hz, std::string_view point) {
  char text[48];
  std::snprintf(text, sizeof text, "%d%.*s%02d", hz / 1000000, static_cast<int>(point.size()), point.data(),
                (hz / 10000) % 100);
  return text;
}

std::string AmNumber(int value) { return std::to_string(value / 1000000); }

std::string Number(int band, int value, std::string_view point) {
  if (band == RADIO_BAND_FM) return FmNumber(value, point);
  if (band == RADIO_BAND_AM) return AmNumber(value);
  return {};
}

std::string WithUnit(int band, int value, std::string_view point, std::string_view mhz, std::string_view khz) {
  const std::string number = Number(band, value, point);
  if (number.empty()) return {};
  return number + " " + std::string(band == RADIO_BAND_FM ? mhz : khz);
}

std::string Scale(int band, int value, std::string_view point, std::string_view mhz, std::string_view khz) {
  const std::string number = Number(band, value, point);
  if (number.empty()) return {};
  return number + std::string(band == RADIO_BAND_FM ? mhz : khz);
}

std::string FineTune(char sign, int band, int value, std::string_view point, std::string_view mhz,
                     std::string_view khz) {
  const std::string scale = Scale(band, value, point, mhz, khz);
  return scale.empty() ? scale : sign + scale;
}

int ScheduleBand(int frequency) { return frequency > kAmScheduleThreshold ? RADIO_BAND_AM : RADIO_BAND_FM; }

std::string ScheduleFrequency(int frequency, std::string_view point, std::string_view mhz, std::string_view khz) {
  const int band = ScheduleBand(frequency);
  return (band == RADIO_BAND_AM ? "AM " : "FM ") + WithUnit(band, frequency, point, mhz, khz);
}

std::optional<int> ParseTyped(int band, std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  std::int64_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  std::int64_t value = 0;
  if (band == RADIO_BAND_AM) {
    value = number * 1000000;
  } else if (band == RADIO_BAND_FM) {
    // 1..5 digits: 10^8..10^4 when the first is "1", a tenth of that otherwise.
    static constexpr std::int64_t kLeadingOne[] = {100000000, 10000000, 1000000, 100000, 10000};
    const std::int64_t factor = kLeadingOne[digits.size() - 1];
    value = number * (digits.front() == '1' ? factor : factor / 10);
  } else {
    return std::nullopt;
  }
  if (value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace radio_text
