// The one-line text of a recording schedule, used by the Radio page's
// current-schedule button and by its schedule rows: the next start and end
// ("Mar 02, 1 08:15 PM~09:45 PM"), the repeat kind's name, and with the file
// name flag the record file's name in front.
#pragma once

#include <functional>
#include <string>

#include "platform/core/system_time.h"

class CScheduleItem;
class CRadioLocale;

namespace radio_text {

// The string-table key of a repeat kind (1 "EVERYDAY" .. 11 "SPECIFICDAY");
// empty outside 1..11.
std::string RepeatKey(int repeatMode);
// The file name of a record-file path without its folder and extension;
// either separator ('/' or '\') ends the folder.
std::string RecordFileTitle(const std::string& path);

using StringLookup = std::function<std::string(const std::string& key)>;

// Without the flag "<time>, <repeat>"; with it "<file> <time>, <repeat>".
// The times are the next start after `now` and that start plus the
// duration, in the locale's names, with their real minutes.
std::string ScheduleText(const CScheduleItem& schedule, bool withFileName, const plat::SYSTEMTIME& now,
                         const CRadioLocale& locale, const StringLookup& lookup);

}  // namespace radio_text
