#include "lounge/shell/playback_bar_text.h"

#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstdio>

#include "corebridge/core/radio_config.h"

std::string DecimalPointOf(const char* localeName) {
  locale_t locale = newlocale(LC_NUMERIC_MASK, localeName, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return ".";
  const char* point = nl_langinfo_l(RADIXCHAR, locale);
  std::string text = point && *point ? point : ".";
  freelocale(locale);
  return text;
}

std::string UserDecimalPoint() { return DecimalPointOf(""); }

std::string RadioSignalTypeKey(int band) {
  if (band == RADIO_BAND_AM) return "RADIO_AM";
  if (band == RADIO_BAND_FM) return "RADIO_FM";
  return {};
}

std::string FormatRadioFrequency(const CRadioConfig& radio, std::string_view decimalPoint) {
  char text[64];
  if (radio.m_nCurBand == RADIO_BAND_AM) {
    std::snprintf(text, sizeof text, "%d", radio.m_nCurAMFrequency / 1000000);
    return text;
  }
  if (radio.m_nCurBand == RADIO_BAND_FM) {
    std::snprintf(text, sizeof text, "%d%.*s%02d", radio.m_nCurFMFrequency / 1000000,
                  static_cast<int>(decimalPoint.size()), decimalPoint.data(), (radio.m_nCurFMFrequency / 10000) % 100);
    return text;
  }
  return {};
}

namespace {

// A span as the clock of a day shows it; what is not a time counts as 0.
std::string FormatSpan(double seconds) {
  long long whole = std::isfinite(seconds) && seconds > 0 && seconds < 1e15 ? static_cast<long long>(seconds) : 0;
  char text[16];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600 % 24, whole / 60 % 60, whole % 60);
  return text;
}

}  // namespace

std::string FormatPlayTime(bool known, double first, double second) {
  if (!known) return "00:00:00 / 00:00:00";
  return FormatSpan(first) + " / " + FormatSpan(second);
}

std::string FormatRecordTime(double seconds) { return FormatSpan(seconds); }
