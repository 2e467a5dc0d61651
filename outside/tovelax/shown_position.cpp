#include "outside/tovelax/shown_position.h"

#include <algorithm>

namespace tovelax {

int ShownPosition::Enter(const DiscPlace& place) {
  std::lock_guard lock(mutex_);
  const int id = nextId_++;
  if (nextId_ <= 0) nextId_ = 1;
  marks_.push_back({id, place});
  return id;
}

void ShownPosition::Place(int id, std::int64_t pts, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  for (Mark& mark : marks_) {
    if (mark.id != id) continue;
    if (mark.pts < 0) {
      mark.pts = std::max<std::int64_t>(pts, 0);
      mark.placedAt = now;
    }
    return;
  }
}

std::optional<DiscPlace> ShownPosition::Drawn(std::int64_t pts, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  // The last placed mark this frame has reached; marks before it that were
  // never placed (no picture of their own) are passed with it.
  auto reached = marks_.end();
  for (auto it = marks_.begin(); it != marks_.end(); ++it) {
    if (it->pts < 0) continue;
    if ((pts >= 0 && it->pts <= pts) || now - it->placedAt >= kOverdue) reached = it;
    else break;
  }
  if (reached == marks_.end()) return std::nullopt;
  const DiscPlace before = shown_;
  shown_ = reached->place;
  if (jump_ && reached->id >= jumpFloor_) jump_.reset();
  marks_.erase(marks_.begin(), std::next(reached));
  if (shown_.SameChapter(before)) return std::nullopt;
  return shown_;
}

void ShownPosition::Flushed(int keep) {
  std::lock_guard lock(mutex_);
  std::erase_if(marks_, [keep](const Mark& mark) { return mark.id != keep; });
}

void ShownPosition::Jumped(std::int32_t title, std::int32_t chapter) {
  std::lock_guard lock(mutex_);
  jump_ = DiscPlace{title, chapter};
  jumpFloor_ = nextId_;
}

void ShownPosition::Reset() {
  std::lock_guard lock(mutex_);
  marks_.clear();
  shown_ = {};
  jump_.reset();
}

DiscPlace ShownPosition::Current() const {
  std::lock_guard lock(mutex_);
  return jump_ ? *jump_ : shown_;
}

DiscPlace ShownPosition::Shown() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

std::optional<DiscPlace> ShownPosition::PendingJump() const {
  std::lock_guard lock(mutex_);
  return jump_;
}

}  // namespace tovelax
