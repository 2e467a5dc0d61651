// Turns raw RDS blocks into events: station name, radio text and programme
// type through libv4l2rds; the clock from group 4A, read by us from the raw
// blocks (the library folds it into a time_t and loses the record). Blocks
// flagged as errors are dropped. Reset at every retune.
#pragma once

#include <array>
#include <vector>

#include "platform/media/radio/radio_tuner.h"
#include "platform/media/radio/rds_events.h"

struct v4l2_rds;

namespace plat::radio {

class RdsDecoder {
 public:
  RdsDecoder();
  ~RdsDecoder();
  RdsDecoder(const RdsDecoder&) = delete;
  RdsDecoder& operator=(const RdsDecoder&) = delete;

  // The events that block completes (most often none).
  std::vector<RdsEvent> Add(const RdsBlock& block);
  void Reset();

 private:
  void ReadClockGroup(std::vector<RdsEvent>& events) const;

  v4l2_rds* handle_ = nullptr;
  // The group being assembled from blocks A..D; -1 where none came.
  std::array<int, 4> group_{-1, -1, -1, -1};
  int expected_ = 0;
};

}  // namespace plat::radio
