// The Video page's thumbnail worker: one thread at idle priority that turns
// queued video files into bitmaps, newest request first, and tells the frame
// window by posting WM_TIMER 19333. The UI thread takes the finished
// requests with TakeDone and files them by path (video_thumbnail_filing.h).
// The worker touches nothing of the page: it only posts the notice (and
// hands each new picture to its keeper, the thumbnail cache).
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/types.h"

// The notice the worker posts as WM_TIMER's id.
inline constexpr plat::UINT_PTR kVideoThumbnailTimer = 19333;

// One request. kind 1: a file of the state's list (index: its list index);
// kind 0: a folder preview (index: folder record * 9 + slot).
struct VideoThumbnailRequest {
  int entry = 0;  // the grid entry showing the file
  int kind = 1;
  int index = 0;
  std::string path;  // the request's identity
  plat::HBITMAP bitmap = nullptr;  // owned by the request until filed
  bool done = false;
};

class CVideoThumbnailWorker {
 public:
  // Makes a bitmap of the file or returns null; must end soon once `stop`
  // is set.
  using Extractor = std::function<plat::HBITMAP(const std::string& path, const std::atomic<bool>& stop)>;

  // Keeps a picture just made (the cache write), on the worker thread before
  // the notice, so that the UI thread never waits for the disk.
  using Keeper = std::function<void(const std::string& path, plat::HBITMAP bitmap)>;

  // `notify` receives the notices (may be null in tests); the default
  // extractor is FFmpeg's (platform/media/video_thumbnail.h).
  explicit CVideoThumbnailWorker(plat::HWND notify, Extractor extractor = {}, Keeper keep = {});
  ~CVideoThumbnailWorker();
  CVideoThumbnailWorker(const CVideoThumbnailWorker&) = delete;
  CVideoThumbnailWorker& operator=(const CVideoThumbnailWorker&) = delete;

  // Queues the path unless it is queued already, and starts the worker when
  // none runs. True when the worker runs.
  bool Request(int entry, int kind, int index, const std::string& path);
  // Ends the worker (a running extraction is told to stop), then clears the
  // queue. 0 when no worker ran.
  int Stop();
  // Frees the bitmaps of done requests and empties the queue.
  void Clear();
  bool IsRunning() const { return m_thread.joinable(); }
  // The done requests, oldest notice last as the queue holds them (newest
  // first); the caller owns their bitmaps. Waiting requests stay.
  std::vector<VideoThumbnailRequest> TakeDone();
  // How many extractions the worker has run (a debug counter).
  int ExtractionCount() const { return m_extractions.load(); }
  std::size_t QueueSize();

 private:
  void Run();

  plat::HWND m_notify;
  Extractor m_extract;
  Keeper m_keep;
  std::mutex m_lock;
  std::condition_variable m_wake;
  std::deque<VideoThumbnailRequest> m_queue;  // newest at the front
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_extractions{0};
  std::thread m_thread;
};
