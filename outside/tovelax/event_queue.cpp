#include "outside/tovelax/event_queue.h"

namespace tovelax {

EventQueue::~EventQueue() { Clear(); }

void EventQueue::SetPoster(INotifyPoster* poster) {
  std::lock_guard lock(mutex_);
  poster_ = poster;
}

void EventQueue::WaitOnClientThread(unsigned ms) {
  INotifyPoster* poster = nullptr;
  {
    std::lock_guard lock(mutex_);
    poster = poster_;
  }
  // Not under the lock: the client's messages may push or take events.
  if (poster) poster->WaitOnClientThread(ms);
  else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void EventQueue::SetTarget(HWND window, std::uint32_t message, std::intptr_t instance) {
  std::lock_guard lock(mutex_);
  window_ = window;
  message_ = message;
  instance_ = instance;
}

void EventQueue::Push(std::int32_t code, std::intptr_t value1, std::intptr_t value2) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back({code, value1, value2});
  }
  Wake();
}

void EventQueue::PushTime(TimeCode time) {
  auto* owned = new TimeCode(time);
  Push(kEvTimeChange, reinterpret_cast<std::intptr_t>(owned), 0);
}

// The post happens under the lock so that a client clearing its target cannot
// race a post to a window that is going away.
void EventQueue::Wake() {
  std::lock_guard lock(mutex_);
  if (poster_ && window_) poster_->Post(window_, message_, 0, instance_);
}

bool EventQueue::Take(std::int32_t* code, std::intptr_t* value1, std::intptr_t* value2) {
  std::lock_guard lock(mutex_);
  if (events_.empty()) return false;
  const Event event = events_.front();
  events_.pop_front();
  *code = event.code;
  *value1 = event.value1;
  *value2 = event.value2;
  return true;
}

void EventQueue::Free(std::int32_t code, std::intptr_t value1, std::intptr_t) {
  if (code == kEvTimeChange) delete reinterpret_cast<TimeCode*>(value1);
}

void EventQueue::Clear() {
  std::deque<Event> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(events_);
  }
  for (const Event& event : dropped) Free(event.code, event.value1, event.value2);
}

std::size_t EventQueue::Size() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

}  // namespace tovelax
