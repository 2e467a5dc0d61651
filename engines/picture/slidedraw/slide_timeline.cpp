#include "engines/picture/slidedraw/slide_timeline.h"

#include <algorithm>

namespace slidedraw {

bool SlideTimeline::Insert(int index, std::string path) {
  if (index < 0 || index > count()) return false;
  slides_.insert(slides_.begin() + index, Slide{std::move(path), 0});
  return true;
}

bool SlideTimeline::Remove(int index) {
  if (index < 0 || index >= count()) return false;
  slides_.erase(slides_.begin() + index);
  return true;
}

bool SlideTimeline::SetEffect(int index, int effect) {
  if (index < 0 || index >= count()) return false;
  slides_[static_cast<std::size_t>(index)].effect = effect;
  return true;
}

std::int64_t SlideTimeline::Duration() const {
  const std::int64_t n = count();
  if (n == 0) return 0;
  return n * slideTime_ + (n - 1) * transitionTime_;
}

Moment SlideTimeline::At(std::int64_t position) const {
  Moment m;
  const std::int64_t total = Duration();
  if (count() == 0 || position >= total) return m;
  position = std::max<std::int64_t>(position, 0);
  const std::int64_t period = slideTime_ + transitionTime_;
  if (period <= 0) return m;
  const std::int64_t index = position / period;
  const std::int64_t offset = position % period;
  const std::int64_t base = index * period;
  m.slide = static_cast<int>(index);
  if (offset < slideTime_ || index + 1 >= count()) {
    m.start = base;
    m.end = std::min(base + slideTime_, total);
    return m;
  }
  m.next = m.slide + 1;
  m.progress = transitionTime_ > 0 ? static_cast<double>(offset - slideTime_) / static_cast<double>(transitionTime_)
                                   : 1.0;
  m.start = base + slideTime_;
  m.end = base + period;
  return m;
}

Step StepFrom(std::int64_t position, std::int64_t duration, std::int64_t slideTime, std::int64_t transitionTime,
              bool forward) {
  constexpr std::int64_t kUnit = SlideTimeline::kUnitsPerSecond;
  Step step;
  const std::int64_t c = position / kUnit;
  const std::int64_t s = slideTime / kUnit;
  const std::int64_t period = s + transitionTime / kUnit;
  if (period <= 0) return step;  // a period under a second cannot be stepped
  std::int64_t target = 0;
  if (forward) {
    target = position + (period - c % period) * kUnit;
  } else {
    std::int64_t m = c % period;
    if (m < s) m += period;
    target = position - m * kUnit;
  }
  if (target < 0) {
    target = 1;
    step.atStart = true;
  } else if (target >= duration) {
    step.atEnd = true;
  }
  step.position = target;
  step.moved = true;
  return step;
}

}  // namespace slidedraw
