// The show's time line: slide i stands from i·P for S, then the transition to
// slide i+1 runs for T (P = S + T). The last slide has no transition, so a
// show of n slides lasts n·S + (n−1)·T. Times are 100-ns units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace slidedraw {

struct Slide {
  std::string path;
  int effect = 0;  // the transition from this slide to the next
};

// What the show displays at one moment.
struct Moment {
  int slide = -1;          // -1: no slide (empty show or past the end)
  int next = -1;           // the slide coming in during a transition, else -1
  double progress = 0.0;   // 0..1 through the transition
  std::int64_t start = 0;  // the stretch of time this picture covers:
  std::int64_t end = 0;    // a still spans [start, end); a transition is per frame
};

class SlideTimeline {
 public:
  static constexpr std::int64_t kUnitsPerSecond = 10'000'000;

  // False (nothing changed) for an index outside 0..count.
  bool Insert(int index, std::string path);
  // False (nothing changed) for an index outside the list.
  bool Remove(int index);
  bool SetEffect(int index, int effect);

  void SetSlideTime(std::int64_t units) { slideTime_ = units > 0 ? units : 0; }
  void SetTransitionTime(std::int64_t units) { transitionTime_ = units > 0 ? units : 0; }
  std::int64_t slideTime() const { return slideTime_; }
  std::int64_t transitionTime() const { return transitionTime_; }

  int count() const { return static_cast<int>(slides_.size()); }
  const Slide& slide(int index) const { return slides_.at(static_cast<std::size_t>(index)); }
  std::int64_t Duration() const;
  Moment At(std::int64_t position) const;

 private:
  std::vector<Slide> slides_;
  std::int64_t slideTime_ = 5'000'000;
  std::int64_t transitionTime_ = 50'000'000;
};

// The position fast-forward or rewind stepping moves to from `position`, in
// whole seconds of the slide and transition times: forward to the start of
// the next period, backward to the start of the current slide while its
// transition runs, else of the previous one. `atStart`/`atEnd` report the ends
// (a step before the start lands on 1). Nothing moves when the period is 0.
struct Step {
  std::int64_t position = 0;
  bool atStart = false;
  bool atEnd = false;
  bool moved = false;
};
Step StepFrom(std::int64_t position, std::int64_t duration, std::int64_t slideTime, std::int64_t transitionTime,
              bool forward);

}  // namespace slidedraw
