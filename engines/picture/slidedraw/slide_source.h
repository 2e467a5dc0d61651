// The slide show as a video stream: a GStreamer pipeline appsrc → appsink
// whose pictures come from the time line through the frame composer. A still
// is one buffer spanning its time, transitions run at the frame rate. Frames
// and the end or failure of the stream are handed to a listener on the
// streaming threads; the listener only posts them on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engines/picture/slidedraw/frame_composer.h"
#include "engines/picture/slidedraw/slide_timeline.h"

// GStreamer stays out of this header: its TRUE/FALSE macros clash with the
// platform's constants in the files that include both.
typedef struct _GstElement GstElement;
typedef struct _GstSample GstSample;

namespace slidedraw {

enum class StreamState { kStopped, kPaused, kPlaying };

// One shown picture as the sink received it (BGRA, packed rows).
struct ShownFrame {
  Picture picture;
  std::int64_t position = 0;  // 100-ns units
};

class SlideSourceListener {
 public:
  virtual void OnFramePublished() = 0;  // streaming thread: a new frame waits in LatestFrame()
  virtual void OnStreamEnded() = 0;     // streaming thread: every picture was shown
  virtual void OnStreamFailed() = 0;    // streaming thread: the pipeline reported an error

 protected:
  ~SlideSourceListener() = default;
};

class SlideSource {
 public:
  static constexpr int kMaxWidth = 3840;
  static constexpr int kMaxHeight = 2160;

  explicit SlideSource(SlideSourceListener& listener);
  ~SlideSource();
  SlideSource(const SlideSource&) = delete;
  SlideSource& operator=(const SlideSource&) = delete;

  // Makes the pipeline (in the NULL state). False when GStreamer or one of its
  // elements is missing.
  bool Build();

  // The list and its times, as the renderer's slots change them.
  bool InsertSlide(int index, const std::string& path);
  bool RemoveSlide(int index);
  bool SetEffect(int index, int effect);
  void SetSlideTime(std::int64_t units);
  void SetTransitionTime(std::int64_t units);
  void SetFrameRate(int framesPerSecond);
  void SetAspectFactor(float factor) { aspectFactor_ = factor; }
  float aspectFactor() const { return aspectFactor_; }
  int slideCount() const;
  std::int64_t Duration() const;

  // Output size, clamped to 1..3840 × 1..2160; takes effect with the next frame.
  void SetOutputSize(int width, int height);

  // Transport. `Play`/`Pause` preroll first when needed.
  bool Play();
  bool Pause();
  bool Stop();
  // The state the pipeline is in or heading for, after waiting up to `waitMs`.
  StreamState TargetState(int waitMs) const;
  std::int64_t Position() const;
  bool Seek(std::int64_t units);

  ShownFrame LatestFrame() const;

  // Posts an error on the pipeline's bus as a failing element would (fault
  // injection for tests).
  void PostError(const char* reason);

  // Streaming-thread entry points of the pipeline's callbacks.
  void Feed();
  void SeekData(std::int64_t units);
  void TakeSample(GstSample* sample);
  void StreamEnded() { listener_.OnStreamEnded(); }
  void StreamFailed() { listener_.OnStreamFailed(); }
  GstElement* pipeline() const { return pipeline_; }

 private:
  bool Preroll();
  void ApplyCapsLocked();

  SlideSourceListener& listener_;
  FrameComposer composer_;
  GstElement* pipeline_ = nullptr;
  GstElement* appsrc_ = nullptr;
  GstElement* appsink_ = nullptr;

  mutable std::mutex mutex_;  // guards everything below
  SlideTimeline timeline_;
  std::int64_t nextPts_ = 0;  // 100-ns units
  int framesPerSecond_ = 25;
  int width_ = 720;
  int height_ = 560;
  bool capsDirty_ = true;
  std::int64_t lastPosition_ = 0;
  ShownFrame latest_;
  std::atomic<float> aspectFactor_{1.0f};
};

}  // namespace slidedraw
