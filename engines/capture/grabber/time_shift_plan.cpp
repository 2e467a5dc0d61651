#include "engines/capture/grabber/time_shift_plan.h"

#include <algorithm>
#include <cmath>

namespace grabber {

double RecordRateMBPerMinute(const EncoderBlock& block) {
  return (static_cast<double>(block.audioBitRate) * 1000.0 + static_cast<double>(block.videoBitRate)) *
         7.1525574e-6 * 1.05;
}

TimeShiftPlan PlanTimeShift(const EncoderBlock& block, int lengthMinutes, long long freeMB) {
  TimeShiftPlan plan;
  const double rate = RecordRateMBPerMinute(block);
  const double needed = lengthMinutes > 20 ? rate * (lengthMinutes / 10 + 1) * 10
                                           : std::floor(rate * lengthMinutes * 1.5) + 1;
  plan.neededMB = static_cast<int>(std::min(needed, 2.0e9));
  const long long space = freeMB - 200;
  if (space <= 0 || space < plan.neededMB) return plan;
  if (static_cast<double>(space) > 30 * rate) {
    plan.segmentMB = std::max(1, static_cast<int>(10 * rate));
    plan.segmentCount = static_cast<int>(std::min<long long>(space / plan.segmentMB, 1 << 30));
  } else {
    plan.segmentMB = static_cast<int>(std::max<long long>(1, space / 3));
    plan.segmentCount = static_cast<int>(std::min<long long>(3, space));
  }
  plan.ok = true;
  return plan;
}

float RemainingRecordMinutes(const EncoderBlock& block, long long freeMB) {
  const double perMinute =
      (static_cast<double>(block.audioBitRate) * 1000.0 + static_cast<double>(block.videoBitRate)) * 0.00042915344 *
      1.05;
  if (!(perMinute > 0) || freeMB <= 0) return 0.0f;
  return static_cast<float>(static_cast<double>(freeMB) / perMinute);
}

}  // namespace grabber
