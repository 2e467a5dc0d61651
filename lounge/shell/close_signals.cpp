#include "lounge/shell/close_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <iterator>
#include <cerrno>

namespace {

constexpr int kCloseSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Write end of the pipe of the installed object; -1 when none.
std::atomic<int> g_writeEnd{-1};
struct sigaction g_oldActions[std::size(kCloseSignals)];

sigset_t CloseSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kCloseSignals) sigaddset(&set, signal);
  return set;
}

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

void BlockCloseSignals() {
  const sigset_t set = CloseSignalSet();
  ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CCloseSignals::CCloseSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (g_writeEnd.load() >= 0 || ::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_writeEnd = pipe_[1];
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kCloseSignals); ++i) ::sigaction(kCloseSignals[i], &action, &g_oldActions[i]);
  watch_ = plat::WatchFd(pipe_[0], POLLIN, [this](int, short) { Drain(); });
}

CCloseSignals::~CCloseSignals() {
  if (pipe_[0] < 0) return;
  if (accepted_) ::pthread_sigmask(SIG_SETMASK, &maskBeforeAccept_, nullptr);
  if (watch_) {
    for (std::size_t i = 0; i < std::size(kCloseSignals); ++i) ::sigaction(kCloseSignals[i], &g_oldActions[i], nullptr);
    g_writeEnd = -1;
    plat::UnwatchFd(watch_);
  }
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

bool CCloseSignals::Pending() const {
  sigset_t pending;
  sigemptyset(&pending);
  if (::sigpending(&pending) == 0) {
    for (int signal : kCloseSignals)
      if (sigismember(&pending, signal) == 1) return true;
  }
  if (pipe_[0] < 0) return false;
  pollfd readable{pipe_[0], POLLIN, 0};
  return ::poll(&readable, 1, 0) > 0 && (readable.revents & POLLIN);
}

void CCloseSignals::Accept() {
  if (!Installed() || accepted_) return;
  const sigset_t set = CloseSignalSet();
  if (::pthread_sigmask(SIG_UNBLOCK, &set, &maskBeforeAccept_) == 0) accepted_ = true;
}

void CCloseSignals::Drain() {
  char bytes[64];
  bool any = false;
  while (::read(pipe_[0], bytes, sizeof bytes) > 0) any = true;
  if (any && onSignal_) onSignal_();
}
