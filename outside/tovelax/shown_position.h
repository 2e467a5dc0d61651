// Where on the disc the picture is. The reading thread runs ahead of the
// picture by what the pipeline holds, so each unit the reader hands on is
// only a mark: the pipeline reports the timestamp of the mark's first video
// buffer, and the mark's place counts as shown once a frame of that time is
// drawn. A jump the client asked for counts at once, until the picture gets
// there, so that a second jump counts on from the first.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace tovelax {

struct DiscPlace {
  std::int32_t title = 0;    // 0 outside the titles (menus)
  std::int32_t chapter = 0;
  std::int64_t sector = -1;  // of the unit's navigation block in its title; -1 unknown
  std::int64_t ticks = 0;    // time in the title, 90 kHz
  bool SameChapter(const DiscPlace& other) const { return title == other.title && chapter == other.chapter; }
};

class ShownPosition {
 public:
  using Clock = std::chrono::steady_clock;
  // A mark whose timestamp the picture has not reached this long after the
  // pipeline placed it counts as shown all the same (the stream's time went
  // back without a flush).
  static constexpr auto kOverdue = std::chrono::seconds(3);

  // Reading thread: the reader hands on a unit at `place`; returns the mark's id (never 0).
  int Enter(const DiscPlace& place);
  // Streaming thread: the first video buffer after mark `id` has timestamp `pts`.
  void Place(int id, std::int64_t pts, Clock::time_point now);
  // Streaming thread: a frame of timestamp `pts` (-1 unknown) is drawn.
  // Returns the place it shows when its title or chapter changed.
  std::optional<DiscPlace> Drawn(std::int64_t pts, Clock::time_point now);
  // The pipeline was flushed: marks in it are gone, except `keep` (not yet
  // handed to the pipeline).
  void Flushed(int keep);
  // The client jumped to the start of `title` and `chapter`.
  void Jumped(std::int32_t title, std::int32_t chapter);
  // Playback stopped: nothing is shown.
  void Reset();

  // The pending jump's target, else what the picture shows.
  DiscPlace Current() const;
  DiscPlace Shown() const;
  std::optional<DiscPlace> PendingJump() const;

 private:
  struct Mark {
    int id;
    DiscPlace place;
    std::int64_t pts = -1;
    Clock::time_point placedAt{};
  };

  mutable std::mutex mutex_;
  std::deque<Mark> marks_;  // in stream order
  int nextId_ = 1;
  DiscPlace shown_;
  std::optional<DiscPlace> jump_;
  int jumpFloor_ = 0;  // marks from this id on were made after the jump
};

}  // namespace tovelax
