#include "platform/sys/waker.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace plat {

Waker::Waker() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (fd_ < 0) throw std::runtime_error("eventfd failed");
}

Waker::~Waker() {
  if (listener_) RemoveClockListener(listener_);
  if (fd_ >= 0) close(fd_);
}

void Waker::wake() {
  std::uint64_t one = 1;
  // EAGAIN means the counter is already non-zero: the wake-up is pending.
  while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void Waker::drain() {
  std::uint64_t value;
  while (read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
  }
}

std::shared_ptr<Waker> MakeClockWaker() {
  auto waker = std::make_shared<Waker>();
  std::weak_ptr<Waker> weak = waker;
  waker->listener_ = AddClockListener([weak] {
    if (auto alive = weak.lock()) alive->wake();
  });
  return waker;
}

Waker& ThreadClockWaker() {
  thread_local std::shared_ptr<Waker> waker = MakeClockWaker();
  return *waker;
}

}  // namespace plat
