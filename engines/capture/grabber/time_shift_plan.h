// The arithmetic of the time-shift buffer and of the remaining recording
// time, from an encoder block's bit rates and the free space.
#pragma once

#include "interfaces/tvrecorder.h"

namespace grabber {

// MB a minute of recording takes: (audio kbit/s x 1000 + video bit/s),
// in MiB, with 5 % for the container.
double RecordRateMBPerMinute(const EncoderBlock& block);

struct TimeShiftPlan {
  bool ok = false;          // false: not enough free space
  int neededMB = 0;
  int segmentMB = 0;
  int segmentCount = 0;
};

// The buffer for `lengthMinutes` of time shift with `freeMB` free: the space
// needed N, and the space S = free - 200 cut into segments. Refused unless
// S > 0 and S >= N.
TimeShiftPlan PlanTimeShift(const EncoderBlock& block, int lengthMinutes, long long freeMB);

// Minutes of recording that `freeMB` holds at the block's rates; 0 when the
// block gives no rate.
float RemainingRecordMinutes(const EncoderBlock& block, long long freeMB);

}  // namespace grabber
