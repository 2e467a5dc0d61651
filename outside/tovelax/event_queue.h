// Thread-safe queue of library events. Producers are the reading and streaming
// threads; the client takes events on its own thread after being woken by a
// posted message.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

#include "outside/tovelax/tovelax_api.h"

namespace tovelax {

class EventQueue {
 public:
  EventQueue() = default;
  ~EventQueue();
  EventQueue(const EventQueue&) = delete;
  EventQueue& operator=(const EventQueue&) = delete;

  void SetPoster(INotifyPoster* poster);
  void SetTarget(HWND window, std::uint32_t message, std::intptr_t instance);

  void Push(std::int32_t code, std::intptr_t value1 = 0, std::intptr_t value2 = 0);
  // Time events carry a TimeCode owned by the event until it is freed.
  void PushTime(TimeCode time);

  bool Take(std::int32_t* code, std::intptr_t* value1, std::intptr_t* value2);
  static void Free(std::int32_t code, std::intptr_t value1, std::intptr_t value2);
  void Clear();
  std::size_t Size() const;
  // Waits about `ms` on the client's thread through the poster (which may
  // run the client's messages), or sleeps without one.
  void WaitOnClientThread(unsigned ms);

 private:
  struct Event {
    std::int32_t code;
    std::intptr_t value1;
    std::intptr_t value2;
  };
  void Wake();

  mutable std::mutex mutex_;
  std::deque<Event> events_;
  INotifyPoster* poster_ = nullptr;
  HWND window_ = nullptr;
  std::uint32_t message_ = kDefaultEventMessage;
  std::intptr_t instance_ = 0;
};

}  // namespace tovelax
