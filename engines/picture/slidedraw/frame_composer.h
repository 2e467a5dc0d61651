// Makes the show's pictures at the output size: each slide decoded upright
// and letterboxed on black (a file that cannot be read is black), kept in a
// small cache that a worker thread fills ahead of time, and transition frames
// mixed from two of them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engines/picture/slidedraw/slide_timeline.h"
#include "platform/gdi/surface.h"

namespace slidedraw {

using Picture = std::shared_ptr<const plat::Surface>;

// A slide file decoded upright and letterboxed into width × height on black.
plat::Surface RenderSlide(const std::string& path, int width, int height);

class FrameComposer {
 public:
  FrameComposer();
  ~FrameComposer();
  FrameComposer(const FrameComposer&) = delete;
  FrameComposer& operator=(const FrameComposer&) = delete;

  // Changes the output size; cached slides of the old size are dropped.
  void SetSize(int width, int height);
  int width() const;
  int height() const;

  // The picture of `moment`: a cached slide for a still, a new mix during a
  // transition, black when the moment has no slide.
  Picture Compose(const SlideTimeline& timeline, const Moment& moment);
  // Asks the worker to decode `path` at the current size ahead of its use.
  void Prefetch(const std::string& path);

 private:
  struct Entry {
    std::string path;
    int width = 0;
    int height = 0;
    Picture picture;  // null while the worker decodes it
  };

  Picture SlidePicture(const std::string& path);
  void WorkerLoop();
  void TrimLocked();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::list<Entry> cache_;  // most recently used first
  std::deque<std::string> requests_;
  int width_ = 720;
  int height_ = 560;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace slidedraw
