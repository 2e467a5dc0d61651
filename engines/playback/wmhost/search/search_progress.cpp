#include "engines/playback/wmhost/search/search_progress.h"

#include <algorithm>

namespace wmhost {

void SearchProgress::reset() {
  startMs_ = 0;
  walkShare_ = 0;
  total_ = 0;
  found_ = 0;
  handled_ = 0;
  added_ = 0;
  percent_ = 0;
  finished_ = false;
}

void SearchProgress::start(std::uint64_t nowMs) {
  reset();
  startMs_ = nowMs;
}

void SearchProgress::beginList(std::uint32_t total) {
  total_ = total;
  handled_ = 0;
  added_ = 0;
}

void SearchProgress::fileHandled(bool added) {
  if (added) ++added_;
  ++handled_;
}

void SearchProgress::finish() { finished_ = true; }

double SearchProgress::compute(std::uint64_t nowMs) {
  if (finished_) return 1.0;
  const std::uint32_t handled = handled_.load();
  const std::uint32_t total = total_.load();
  if (handled == 0 || total == 0) {
    const std::uint64_t start = startMs_.load();
    const double elapsed = nowMs > start ? static_cast<double>(nowMs - start) : 0.0;
    const double share = std::min(elapsed * 0.000005, 0.5);
    walkShare_ = share;
    return share;
  }
  const double share = std::min(walkShare_.load(), 1.0);
  return std::min(share + (static_cast<double>(std::min(handled, total)) / total) * (1.0 - share), 1.0);
}

bool SearchProgress::update(std::uint64_t nowMs) {
  const int next = static_cast<int>(compute(nowMs) * 100);
  return percent_.exchange(next) != next;
}

}  // namespace wmhost
