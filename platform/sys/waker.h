// An eventfd that a thread polls on and any thread may poke. A Waker made
// with MakeClockWaker is also poked whenever the clock is changed or moved,
// so waits measured on a manual clock re-check their deadlines.
#pragma once

#include <memory>

#include "platform/sys/clock.h"

namespace plat {

class Waker {
 public:
  Waker();
  ~Waker();
  Waker(const Waker&) = delete;
  Waker& operator=(const Waker&) = delete;

  int fd() const { return fd_; }
  void wake();
  // Clears pending wake-ups (after the poll returned).
  void drain();

 private:
  int fd_ = -1;
  ClockListenerId listener_ = 0;
  friend std::shared_ptr<Waker> MakeClockWaker();
};

std::shared_ptr<Waker> MakeClockWaker();

// The calling thread's own clock waker, made on first use.
Waker& ThreadClockWaker();

}  // namespace plat
