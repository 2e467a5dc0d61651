// The music worker: a thread that collects the audio files under the music
// folder and hands the list to the UI thread, which adds them to the media
// library. It never follows symbolic links, checks its stop flag at every
// entry, and a join waits only a bounded time.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/music_worker.h"
#include "platform/com/automation.h"
#include "platform/win/message.h"

namespace fs = std::filesystem;

// Shared by the UI thread and the worker; the worker holds its own
// reference, so a worker that outlives a bounded join touches nothing freed.
struct MusicWorkerState {
  std::atomic<bool> stop{false};
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  std::vector<std::string> files;
  std::thread thread;
};

namespace music {

bool IsMusicFile(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".mp3" || extension == ".wma" || extension == ".wav";
}

int CollectMusicFiles(const std::string& folder, const std::atomic<bool>& stop, std::vector<std::string>& files) {
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  if (error) return 1;
  for (const fs::recursive_directory_iterator end; it != end; it.increment(error)) {
    if (error || stop.load()) break;
    // Links are neither entered nor collected: the walk stays in the folder.
    if (it->is_symlink(error)) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(error) && IsMusicFile(it->path().string())) files.push_back(it->path().string());
  }
  return 0;
}

}  // namespace music

namespace {
constexpr auto kJoinLimit = std::chrono::seconds(5);
}

int CUISystem::MusicWorkerStart() {
  if (!m_pConfig || !m_pConfig->m_pMusic || m_musicWorker) return 0;
  auto state = std::make_shared<MusicWorkerState>();
  const std::string folder = m_pConfig->m_pMusic->m_strDefaultFolder;
  const plat::HWND target = m_pHiddenWindow ? m_pHiddenWindow->Handle() : nullptr;
  m_pConfig->m_pMusic->m_bWorkerStop = 0;
  state->thread = std::thread([state, folder, target] {
    std::vector<std::string> files;
    music::CollectMusicFiles(folder, state->stop, files);
    {
      std::lock_guard guard(state->lock);
      state->files = std::move(files);
      state->done = true;
    }
    state->finished.notify_all();
    if (!state->stop.load() && target) plat::PostMessage(target, WM_MUSIC_WORKER_DONE, 0, 0);
  });
  m_musicWorker = std::move(state);
  return 1;
}

int CUISystem::MusicWorkerJoin() {
  if (!m_musicWorker) return 0;
  std::shared_ptr<MusicWorkerState> state = std::move(m_musicWorker);
  state->stop.store(true);
  if (m_pConfig && m_pConfig->m_pMusic) m_pConfig->m_pMusic->m_bWorkerStop = 1;
  std::unique_lock guard(state->lock);
  const bool done = state->finished.wait_for(guard, kJoinLimit, [&] { return state->done; });
  guard.unlock();
  if (done) state->thread.join();
  else state->thread.detach();  // it holds the state itself and ends at its next entry
  return 1;
}

// On the UI thread: the worker's files go into the media library; the
// library skips files it holds unchanged.
void CUISystem::MusicWorkerDeliver() {
  if (!m_musicWorker) return;
  std::shared_ptr<MusicWorkerState> state = m_musicWorker;
  std::vector<std::string> files;
  {
    std::lock_guard guard(state->lock);
    if (!state->done) return;
    files = std::move(state->files);
  }
  state->thread.join();
  m_musicWorker.reset();
  if (!m_pWMPlayer) return;
  for (const std::string& file : files) m_pWMPlayer->AddFileToMediaLibrary(plat::Bstr(file).get());
}
