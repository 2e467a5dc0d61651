#include "platform/media/radio/rds_decoder.h"

#include <libv4l2rds.h>
#include <linux/videodev2.h>

#include "platform/media/radio/rds_encoder.h"

namespace plat::radio {

RdsDecoder::RdsDecoder() : handle_(v4l2_rds_create(false)) {}

RdsDecoder::~RdsDecoder() {
  if (handle_) v4l2_rds_destroy(handle_);
}

void RdsDecoder::Reset() {
  if (handle_) v4l2_rds_reset(handle_, true);
  group_.fill(-1);
  expected_ = 0;
}

std::vector<RdsEvent> RdsDecoder::Add(const RdsBlock& block) {
  std::vector<RdsEvent> events;
  if (!handle_ || (block.block & V4L2_RDS_BLOCK_ERROR)) {
    group_.fill(-1);
    expected_ = 0;
    return events;
  }
  int position = block.block & V4L2_RDS_BLOCK_MSK;
  if (position == V4L2_RDS_BLOCK_C_ALT) position = V4L2_RDS_BLOCK_C;
  if (position <= V4L2_RDS_BLOCK_D) {
    if (position == V4L2_RDS_BLOCK_A) group_.fill(-1);
    if (position == expected_ || position == V4L2_RDS_BLOCK_A) {
      group_[position] = block.msb << 8 | block.lsb;
      expected_ = position + 1;
      if (position == V4L2_RDS_BLOCK_D) {
        ReadClockGroup(events);
        group_.fill(-1);
        expected_ = 0;
      }
    } else {
      group_.fill(-1);
      expected_ = 0;
    }
  }

  v4l2_rds_data data{block.lsb, block.msb, block.block};
  const std::uint32_t updated = v4l2_rds_add(handle_, &data);
  if (updated & V4L2_RDS_PS) {
    events.push_back({kRdsStationName, reinterpret_cast<const char*>(handle_->ps), {}, 0});
  }
  if (updated & V4L2_RDS_RT) {
    events.push_back({kRdsRadioText, reinterpret_cast<const char*>(handle_->rt), {}, 0});
  }
  if (updated & V4L2_RDS_PTY) {
    events.push_back({kRdsProgramType, {}, {}, handle_->pty});
  }
  return events;
}

void RdsDecoder::ReadClockGroup(std::vector<RdsEvent>& events) const {
  const int b = group_[V4L2_RDS_BLOCK_B];
  const int c = group_[V4L2_RDS_BLOCK_C];
  const int d = group_[V4L2_RDS_BLOCK_D];
  if (b < 0 || c < 0 || d < 0) return;
  // Group type 4, version A.
  if ((b >> 12) != 4 || (b & 0x0800)) return;
  const int mjd = ((b & 0x3) << 15) | (c >> 1);
  int year = 0;
  int month = 0;
  int day = 0;
  DateOfModifiedJulianDay(mjd, year, month, day);
  RdsEvent event;
  event.kind = kRdsClockTime;
  event.clock.day = day;
  event.clock.month = month;
  event.clock.year = ((year % 100) + 100) % 100;
  event.clock.hour = ((c & 1) << 4) | (d >> 12);
  event.clock.minute = (d >> 6) & 0x3F;
  event.clock.offset = (d & 0x20 ? 32 : 0) + (d & 0x1F);
  events.push_back(event);
}

}  // namespace plat::radio
