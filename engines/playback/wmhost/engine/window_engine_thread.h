// The engine's thread as a hidden message window of the thread that created
// the engine: posted tasks arrive as a window message, timers as WM_TIMER,
// both dispatched by that thread's message loop.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "engines/playback/wmhost/player/engine_thread.h"
#include "platform/win/win_types.h"

class WindowEngineThread final : public wmhost::EngineThread {
 public:
  // Null when no window can be created on this thread.
  static std::shared_ptr<WindowEngineThread> Create();
  ~WindowEngineThread() override;
  WindowEngineThread(const WindowEngineThread&) = delete;
  WindowEngineThread& operator=(const WindowEngineThread&) = delete;

  void Post(std::function<void()> task) override;
  unsigned StartTimer(unsigned intervalMs, std::function<void()> tick) override;
  void StopTimer(unsigned id) override;

  plat::HWND window() const { return window_; }

 private:
  WindowEngineThread() = default;
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void RunTasks();
  void RunTimer(unsigned id);

  plat::HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  bool wakePosted_ = false;
  std::map<unsigned, std::function<void()>> timers_;  // owning thread only
  unsigned nextTimerId_ = 1;
};
