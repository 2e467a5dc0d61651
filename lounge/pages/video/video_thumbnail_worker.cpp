#include "lounge/pages/video/video_thumbnail_worker.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>

#include "platform/gdi/objects.h"
#include "platform/media/video_thumbnail.h"
#include "platform/sys/debug_output.h"
#include "platform/win/message.h"
#include "platform/win/win_types.h"

namespace {

plat::HBITMAP ExtractWithFfmpeg(const std::string& path, const std::atomic<bool>& stop) {
  std::string reason;
  plat::HBITMAP bitmap = plat::media::ExtractVideoThumbnailBitmap(path, &stop, &reason);
  if (!bitmap) plat::OutputDebugStringA(("Video thumbnail: " + reason + "\n").c_str());
  return bitmap;
}

}  // namespace

CVideoThumbnailWorker::CVideoThumbnailWorker(plat::HWND notify, Extractor extractor, Keeper keep)
    : m_notify(notify),
      m_extract(extractor ? std::move(extractor) : Extractor(ExtractWithFfmpeg)),
      m_keep(std::move(keep)) {}

CVideoThumbnailWorker::~CVideoThumbnailWorker() {
  Stop();
  Clear();
}

bool CVideoThumbnailWorker::Request(int entry, int kind, int index, const std::string& path) {
  {
    std::lock_guard lock(m_lock);
    const bool queued = std::any_of(m_queue.begin(), m_queue.end(), [&](const auto& r) { return r.path == path; });
    if (!queued) m_queue.push_front(VideoThumbnailRequest{entry, kind, index, path, nullptr, false});
  }
  m_wake.notify_one();
  if (m_thread.joinable()) return true;
  m_stop = false;
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

int CVideoThumbnailWorker::Stop() {
  if (!m_thread.joinable()) {
    Clear();
    return 0;
  }
  {
    std::lock_guard lock(m_lock);
    m_stop = true;
  }
  m_wake.notify_all();
  // The extractor ends at its next read once the flag is set, so the join is
  // short even on a file that reads slowly.
  m_thread.join();
  Clear();
  m_stop = false;
  return 1;
}

void CVideoThumbnailWorker::Clear() {
  std::lock_guard lock(m_lock);
  for (auto& request : m_queue) {
    if (request.bitmap) plat::DeleteObject(request.bitmap);
  }
  m_queue.clear();
}

std::vector<VideoThumbnailRequest> CVideoThumbnailWorker::TakeDone() {
  std::vector<VideoThumbnailRequest> done;
  std::lock_guard lock(m_lock);
  for (auto it = m_queue.begin(); it != m_queue.end();) {
    if (it->done) {
      done.push_back(std::move(*it));
      it = m_queue.erase(it);
    } else {
      ++it;
    }
  }
  return done;
}

std::size_t CVideoThumbnailWorker::QueueSize() {
  std::lock_guard lock(m_lock);
  return m_queue.size();
}

void CVideoThumbnailWorker::Run() {
  // Idle priority: thumbnails never take time from playback or the UI.
  sched_param param{};
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
  std::unique_lock lock(m_lock);
  while (true) {
    // Every waiting request is served before the next wait, newest first.
    m_wake.wait(lock, [&] {
      return m_stop.load() || std::any_of(m_queue.begin(), m_queue.end(), [](const auto& r) { return !r.done; });
    });
    if (m_stop) return;
    const auto next = std::find_if(m_queue.begin(), m_queue.end(), [](const auto& r) { return !r.done; });
    const std::string path = next->path;
    lock.unlock();
    plat::HBITMAP bitmap = m_extract(path, m_stop);
    ++m_extractions;
    // Nobody else sees the bitmap until it is filed below.
    if (bitmap && m_keep && !m_stop) m_keep(path, bitmap);
    lock.lock();
    const auto found = std::find_if(m_queue.begin(), m_queue.end(), [&](const auto& r) { return r.path == path; });
    if (found == m_queue.end() || found->done) {
      // Cleared meanwhile: nobody wants the picture.
      if (bitmap) plat::DeleteObject(bitmap);
      continue;
    }
    found->bitmap = bitmap;
    found->done = true;
    if (m_notify) plat::PostMessage(m_notify, plat::WM_TIMER, kVideoThumbnailTimer, 0);
  }
}
