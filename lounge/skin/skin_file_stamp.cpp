#include "lounge/skin/skin_file_stamp.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

namespace {

// File times come from a clock that ticks every few milliseconds; a change
// within the same tick leaves the times as they were.
constexpr std::chrono::milliseconds kClockTick{100};

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

bool SkinFileStamp::operator==(const SkinFileStamp& other) const {
  return device == other.device && inode == other.inode && size == other.size && SameTime(modified, other.modified) &&
         SameTime(changed, other.changed);
}

std::optional<SkinFileStamp> StampSkinFile(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return SkinFileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

bool SkinFileSettled(const SkinFileStamp& stamp) {
  const auto latest = std::max(std::chrono::seconds(stamp.modified.tv_sec) + std::chrono::nanoseconds(stamp.modified.tv_nsec),
                               std::chrono::seconds(stamp.changed.tv_sec) + std::chrono::nanoseconds(stamp.changed.tv_nsec));
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return now - latest > kClockTick;
}
