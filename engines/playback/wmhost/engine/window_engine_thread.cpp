#include "engines/playback/wmhost/engine/window_engine_thread.h"

#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kClassName = "WMHost Engine Window";
// Posted tasks are waiting.
constexpr plat::UINT kRunTasks = plat::WM_USER + 1;

}  // namespace

std::shared_ptr<WindowEngineThread> WindowEngineThread::Create() {
  static const bool registered = [] {
    plat::WNDCLASS windowClass;
    windowClass.lpfnWndProc = &WindowEngineThread::WindowProc;
    windowClass.lpszClassName = kClassName;
    return plat::RegisterClass(&windowClass) != 0;
  }();
  if (!registered) return nullptr;
  std::shared_ptr<WindowEngineThread> thread(new WindowEngineThread);
  thread->window_ = plat::CreateWindowEx(0, kClassName, "", 0, 0, 0, 0, 0, plat::HWND_MESSAGE, nullptr, nullptr,
                                         nullptr);
  if (!thread->window_) return nullptr;
  plat::SetWindowLongPtr(thread->window_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(thread.get()));
  return thread;
}

WindowEngineThread::~WindowEngineThread() {
  if (!window_) return;
  for (const auto& [id, tick] : timers_) plat::KillTimer(window_, id);
  plat::SetWindowLongPtr(window_, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(window_);
}

void WindowEngineThread::Post(std::function<void()> task) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    wake = !wakePosted_;
    wakePosted_ = true;
  }
  // One wake-up message for any number of tasks.
  if (wake) plat::PostMessage(window_, kRunTasks, 0, 0);
}

unsigned WindowEngineThread::StartTimer(unsigned intervalMs, std::function<void()> tick) {
  const unsigned id = nextTimerId_++;
  timers_[id] = std::move(tick);
  plat::SetTimer(window_, id, intervalMs, nullptr);
  return id;
}

void WindowEngineThread::StopTimer(unsigned id) {
  plat::KillTimer(window_, id);
  timers_.erase(id);
}

void WindowEngineThread::RunTasks() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(tasks_);
    wakePosted_ = false;
  }
  for (auto& task : batch) task();
}

void WindowEngineThread::RunTimer(unsigned id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  auto tick = it->second;  // the tick may stop its own timer
  tick();
}

plat::LRESULT WindowEngineThread::WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam,
                                             plat::LPARAM lParam) {
  auto* self = reinterpret_cast<WindowEngineThread*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (self && msg == kRunTasks) {
    self->RunTasks();
    return 0;
  }
  if (self && msg == plat::WM_TIMER) {
    self->RunTimer(static_cast<unsigned>(wParam));
    return 0;
  }
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}
