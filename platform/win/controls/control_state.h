// Per-window state of a control class, owned here and freed with the
// window. Each state is touched only on its window's thread; the table
// itself is shared, so it is locked.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/core/types.h"

namespace plat::controls {

template <typename State>
class StateTable {
 public:
  State* create(HWND hwnd) {
    std::lock_guard lock(mutex_);
    auto& slot = states_[hwnd];
    slot = std::make_unique<State>();
    return slot.get();
  }
  State* find(HWND hwnd) {
    std::lock_guard lock(mutex_);
    auto it = states_.find(hwnd);
    return it == states_.end() ? nullptr : it->second.get();
  }
  void erase(HWND hwnd) {
    std::unique_ptr<State> gone;
    std::lock_guard lock(mutex_);
    auto it = states_.find(hwnd);
    if (it == states_.end()) return;
    gone = std::move(it->second);
    states_.erase(it);
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HWND, std::unique_ptr<State>> states_;
};

}  // namespace plat::controls
