// The copy progress as the record page shows it: percentages with one
// decimal ("%3.1f%%") and the sizes as "<done>K/<total>K". Built without the
// process locale, so the decimal point is always '.'.
#pragma once

#include <string>

#include "lounge/pages/record/record_copy_worker.h"

// part * 100 / whole as "%3.1f%%"; "0.0%" when whole is 0.
std::string FormatRecordPercent(long long part, long long whole);
// The current file's percentage.
std::string RecordFilePercentText(const RecordCopyProgress& p);
// All files: (finished + copied) of total.
std::string RecordTotalPercentText(const RecordCopyProgress& p);
// "%dK/%dK" with finished + copied and total.
std::string RecordTotalSizeText(const RecordCopyProgress& p);
// The progress bars' values (0..1; 0 when there is nothing to copy).
float RecordFileFraction(const RecordCopyProgress& p);
float RecordTotalFraction(const RecordCopyProgress& p);
