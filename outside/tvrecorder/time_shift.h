// The time-shift buffer: the live source is encoded into a ring of segment
// files (MPEG program streams of about `segmentMB` MB, at most `count` of
// them; the oldest is deleted), and the replay reads them back through
// GStreamer's decoder, frames going to the presenter. Positions are in ms
// from the start of the time shift; the replay never goes before the oldest
// segment kept nor past live. Rates other than normal speed scan: the replay
// holds still and jumps `rate` times the time that passes, forward or back,
// showing the picture at each place, until it reaches live or the oldest
// picture kept.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "outside/tvrecorder/av_recorder.h"
#include "outside/tvrecorder/tv_source.h"

typedef struct _GstElement GstElement;
typedef struct _GstSample GstSample;

namespace tvrec {

class TimeShift {
 public:
  using Presenter = std::function<void(const VideoFrameI420&)>;

  TimeShift(std::string folder, EncodeSettings settings, int segmentMB, int segmentCount, Presenter presenter);
  // A replay of one file that is still being written (a recording watched
  // while it records): `live` gives how far the file reaches, in ms.
  TimeShift(std::string file, std::function<std::int64_t()> live, Presenter presenter);
  ~TimeShift();
  TimeShift(const TimeShift&) = delete;
  TimeShift& operator=(const TimeShift&) = delete;

  // Streaming threads: the live picture and sound.
  void AddVideo(const VideoFrameI420& frame);
  void AddAudio(const AudioChunk& chunk);

  // Caller's thread.
  void PlayFrom(std::int64_t ms) { StartReader(ms, false); }
  void Pause();
  void Play();
  bool SetPosition(std::int64_t ms);
  // 1.0 plays on; a rate of at least 1 forward or back (-1 or less) scans.
  // False for a rate that is neither (slower than normal, 0, not finite).
  bool SetRate(double rate);
  double rate() const { return rate_; }
  std::int64_t Position() const;
  std::int64_t LivePosition() const;
  std::int64_t OldestPosition() const;
  // True while the replay (not the live picture) is shown.
  bool replaying() const { return replaying_; }
  bool paused() const { return paused_; }
  int segments() const;

 private:
  struct Segment {
    std::string path;
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
  };
  bool OpenSegment(std::int64_t startMs);
  void StartReader(std::int64_t ms, bool paused);
  void StopReader();
  void ReaderLoop();
  static int OnSample(GstElement* sink, void* self);
  static int OnPreroll(GstElement* sink, void* self);
  // Hands a decoded picture to the presenter; with `track`, the replay's
  // position follows the picture's time.
  void Present(GstSample* sample, bool track);
  // One jump of a scan, on the worker.
  void ScanStep();
  static void OnEos(GstElement* sink, void* self);

  const std::string folder_;
  const EncodeSettings settings_;
  const std::int64_t segmentBytes_;
  const int segmentCount_;
  Presenter presenter_;
  std::function<std::int64_t()> live_;

  // Writing (streaming threads).
  mutable std::mutex writeMutex_;
  std::unique_ptr<AvRecorder> writer_;
  std::vector<Segment> segments_;
  int nextSegment_ = 0;
  std::int64_t firstPtsNs_ = -1;
  std::int64_t liveMs_ = 0;

  // Reading.
  std::mutex readMutex_;
  GstElement* pipeline_ = nullptr;
  std::int64_t readerSegmentStartMs_ = 0;
  std::atomic<std::int64_t> readerBaseNs_{0};
  std::atomic<std::int64_t> positionMs_{0};
  std::atomic<bool> replaying_{false};
  std::atomic<bool> paused_{false};
  std::atomic<double> rate_{1.0};
  // Pictures prerolled after a jump are shown; those of a reader starting up are not.
  std::atomic<bool> showPreroll_{false};
  std::thread worker_;
  std::condition_variable wake_;
  std::mutex wakeMutex_;
  bool segmentEnded_ = false;
  bool endedWhilePaused_ = false;
  bool quit_ = false;
};

}  // namespace tvrec
