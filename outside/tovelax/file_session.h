// Video files, and the tracks of video CDs, played through playbin. Tracks
// play one after another; the position is reported every second.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "outside/tovelax/dvd_session.h"
#include "outside/tovelax/event_queue.h"
#include "outside/tovelax/frame_hub.h"
#include "outside/tovelax/video_output.h"

namespace tovelax {

class FileSession {
 public:
  FileSession(EventQueue& events, FrameHub& frames, const PlayerSettings& settings);
  ~FileSession();
  FileSession(const FileSession&) = delete;
  FileSession& operator=(const FileSession&) = delete;

  HRESULT Open(std::vector<std::string> tracks, bool startPaused);
  void Close();

  HRESULT Play();
  HRESULT Pause();
  HRESULT Resume();
  HRESULT Stop();
  HRESULT Scan(std::int32_t speed, bool backward);
  std::int32_t Speed() const { return speed_; }
  // Moves by `delta` tracks; kTrackAtEnd past the first or last one.
  HRESULT StepTrack(int delta);
  std::size_t TrackCount() const { return tracks_.size(); }
  std::size_t Track() const { return track_; }
  std::uint32_t CurrentTime();
  std::uint32_t TotalTime();
  void SetColor(const ColorControls& color);

 private:
  // The user operations prohibited on a source that cannot seek.
  static constexpr std::uint32_t kScanProhibited = (1u << 8) | (1u << 9);

  bool LoadTrack(std::size_t index, GstState state);
  // Whether the open source answers the seeking query with "seekable".
  bool Seekable();
  // A file whose streams end before their first picture (a truncated file)
  // is refused: the picture sink's input is watched until the first buffer
  // or the end of the stream.
  enum class FirstPicture { kPending, kSeen, kNone };
  void WatchFirstPicture(GstElement* videoSink);
  bool WaitForFirstPicture();
  static GstPadProbeReturn OnFirstData(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  void Ticker();
  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);

  EventQueue& events_;
  FrameHub& frames_;
  PlayerSettings settings_;
  FrameCallback onFrame_;
  std::vector<std::string> tracks_;
  std::size_t track_ = 0;
  ElementPtr playbin_;
  GstElement* balance_ = nullptr;
  std::atomic<std::int32_t> speed_{kNormalSpeed};
  std::atomic<bool> paused_{true};

  std::mutex opMutex_;  // one client operation or track change at a time
  std::mutex mutex_;
  std::condition_variable changed_;
  bool quit_ = false;
  bool ended_ = false;  // end of the current track, seen on a streaming thread
  bool streamError_ = false;  // the pipeline reported an error
  FirstPicture picture_ = FirstPicture::kPending;
  GstPad* firstPicturePad_ = nullptr;  // owned reference
  gulong probe_ = 0;                   // the first-picture probe while it is installed
  std::thread ticker_;
};

}  // namespace tovelax
