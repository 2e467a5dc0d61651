// SIGTERM, SIGINT and SIGHUP as a close request on the UI thread: the signal
// handler only writes a byte to a pipe, and the UI thread's message loop,
// which watches the pipe, runs the callback. The previous handlers come back
// when the object goes.
//
// The program blocks the signals first thing (BlockCloseSignals), so that
// one arriving while it starts waits instead of ending it; threads started
// meanwhile inherit the block. Start-up asks Pending() before it makes the
// frame, and the loop takes the signals once it runs (Accept).
#pragma once

#include <signal.h>

#include <functional>

#include "platform/win/message.h"

// Blocks the close signals on the calling thread.
void BlockCloseSignals();

class CCloseSignals {
 public:
  // Installs the handlers; `onSignal` runs on the calling thread's loop.
  explicit CCloseSignals(std::function<void()> onSignal);
  ~CCloseSignals();
  CCloseSignals(const CCloseSignals&) = delete;
  CCloseSignals& operator=(const CCloseSignals&) = delete;

  bool Installed() const { return watch_ != 0; }
  // Whether a close signal came and waits: blocked, or not yet taken by the loop.
  bool Pending() const;
  // Unblocks the signals on the calling thread: a waiting one reaches the
  // handler now, later ones as they come. The object's end blocks them again.
  void Accept();

 private:
  void Drain();

  std::function<void()> onSignal_;
  int pipe_[2] = {-1, -1};
  plat::FdWatchId watch_ = 0;
  bool accepted_ = false;
  sigset_t maskBeforeAccept_{};
};
