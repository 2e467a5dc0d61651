// SIGTERM and SIGINT as a close request on the UI thread: the signal handler
// only writes a byte to a pipe, and the UI thread's message loop, which
// watches the pipe, runs the callback. The previous handlers come back when
// the object goes.
#pragma once

#include <functional>

#include "platform/win/message.h"

class CCloseSignals {
 public:
  // Installs the handlers; `onSignal` runs on the calling thread's loop.
  explicit CCloseSignals(std::function<void()> onSignal);
  ~CCloseSignals();
  CCloseSignals(const CCloseSignals&) = delete;
  CCloseSignals& operator=(const CCloseSignals&) = delete;

  bool Installed() const { return watch_ != 0; }

 private:
  void Drain();

  std::function<void()> onSignal_;
  int pipe_[2] = {-1, -1};
  plat::FdWatchId watch_ = 0;
};
