#include "lounge/pages/radio/radio_schedule_text.h"

#include <array>

#include "corebridge/core/civil_time.h"
#include "corebridge/core/schedule_item.h"
#include "lounge/pages/radio/radio_locale.h"

namespace radio_text {

std::string RepeatKey(int repeatMode) {
  static constexpr std::array<const char*, 11> kKeys{
      "EVERYDAY",    "EVERYMONDAY",   "EVERYTUESDAY",  "EVERYWEDNESDAY", "EVERYTHURSDAY",   "EVERYFRIDAY",
      "EVERYSATURDAY", "EVERYSUNDAY", "MONDAYTOFRIDAY", "MONDAYTOSATURDAY", "SPECIFICDAY"};
  if (repeatMode < 1 || repeatMode > 11) return {};
  return kKeys[static_cast<std::size_t>(repeatMode - 1)];
}

std::string RecordFileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string ScheduleText(const CScheduleItem& schedule, bool withFileName, const plat::SYSTEMTIME& now,
                         const CRadioLocale& locale, const StringLookup& lookup) {
  const plat::SYSTEMTIME start = schedule.GetNextStart(now);
  std::string time = locale.FormatTime("%b %d, %w %I:%M %p~", start);
  if (const auto seconds = civil_time::ToSeconds(start)) {
    const plat::SYSTEMTIME end = civil_time::FromSeconds(*seconds + std::int64_t{schedule.GetDuration()} * 60);
    time += locale.FormatTime("%I:%M %p", end);
  }
  const std::string key = RepeatKey(schedule.GetRepeatMode());
  const std::string repeat = key.empty() || !lookup ? std::string() : lookup(key);
  std::string text = time + ", " + repeat;
  if (withFileName) text = RecordFileTitle(schedule.GetRecFileName()) + " " + text;
  return text;
}

}  // namespace radio_text
