#include "lounge/shell/close_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

// Write end of the pipe of the installed object; -1 when none.
std::atomic<int> g_writeEnd{-1};
struct sigaction g_oldTerm, g_oldInt;

void OnSignal(int) {
  const int saved = errno;
  const int fd = g_writeEnd.load();
  if (fd >= 0) {
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

CCloseSignals::CCloseSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (g_writeEnd.load() >= 0 || ::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_writeEnd = pipe_[1];
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, &g_oldTerm);
  ::sigaction(SIGINT, &action, &g_oldInt);
  watch_ = plat::WatchFd(pipe_[0], POLLIN, [this](int, short) { Drain(); });
}

CCloseSignals::~CCloseSignals() {
  if (pipe_[0] < 0) return;
  if (watch_) {
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    g_writeEnd = -1;
    plat::UnwatchFd(watch_);
  }
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void CCloseSignals::Drain() {
  char bytes[64];
  bool any = false;
  while (::read(pipe_[0], bytes, sizeof bytes) > 0) any = true;
  if (any && onSignal_) onSignal_();
}
