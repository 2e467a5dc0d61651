#include "platform/display/headless.h"

#include <algorithm>
#include <cstring>

#include "platform/display/png_writer.h"

namespace plat::display {

HeadlessBackend::HeadlessBackend(SIZE size) : size_(size), screen_(size.cx, size.cy) {}

Surface* HeadlessBackend::composition_target(std::unique_lock<std::mutex>& lock) {
  lock = std::unique_lock(mutex_);
  return &screen_;
}

void HeadlessBackend::present(const Surface& screen, const Region& dirty) {
  std::lock_guard lock(mutex_);
  // Composed in place: nothing to copy.
  if (&screen == &screen_) {
    ++presents_;
    return;
  }
  const Region area = dirty.intersected(Region(RECT{0, 0, std::min(screen.width(), screen_.width()),
                                                     std::min(screen.height(), screen_.height())}));
  for (const RECT& r : area.rects())
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(screen_.row(y) + r.left, screen.row(y) + r.left, sizeof(std::uint32_t) * (r.right - r.left));
  ++presents_;
}

void HeadlessBackend::set_title(const std::string& title) {
  std::lock_guard lock(mutex_);
  title_ = title;
}
void HeadlessBackend::set_full_screen(bool on) {
  std::lock_guard lock(mutex_);
  full_screen_ = on;
}
void HeadlessBackend::maximise() {
  std::lock_guard lock(mutex_);
  state_ = FrameState::Maximised;
}
void HeadlessBackend::minimise() {
  std::lock_guard lock(mutex_);
  state_ = FrameState::Minimised;
}
void HeadlessBackend::restore() {
  std::lock_guard lock(mutex_);
  state_ = FrameState::Restored;
}
void HeadlessBackend::frame_moved(const RECT& rect) {
  std::lock_guard lock(mutex_);
  frame_rect_ = rect;
}
void HeadlessBackend::cursor_changed(int shape_id, bool visible) {
  std::lock_guard lock(mutex_);
  cursor_shape_ = shape_id;
  cursor_visible_ = visible;
}

Surface HeadlessBackend::screen_copy() const {
  std::lock_guard lock(mutex_);
  return screen_;
}
std::uint32_t HeadlessBackend::pixel(int x, int y) const {
  std::lock_guard lock(mutex_);
  return screen_.pixel(x, y);
}
int HeadlessBackend::presents() const {
  std::lock_guard lock(mutex_);
  return presents_;
}
std::string HeadlessBackend::title() const {
  std::lock_guard lock(mutex_);
  return title_;
}
HeadlessBackend::FrameState HeadlessBackend::frame_state() const {
  std::lock_guard lock(mutex_);
  return state_;
}
bool HeadlessBackend::full_screen() const {
  std::lock_guard lock(mutex_);
  return full_screen_;
}
RECT HeadlessBackend::frame_rect() const {
  std::lock_guard lock(mutex_);
  return frame_rect_;
}
int HeadlessBackend::cursor_shape() const {
  std::lock_guard lock(mutex_);
  return cursor_shape_;
}
bool HeadlessBackend::cursor_visible() const {
  std::lock_guard lock(mutex_);
  return cursor_visible_;
}

// Encoded from the screen image itself: no screen-sized copy.
bool HeadlessBackend::screenshot(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return WritePng(screen_, path);
}

}  // namespace plat::display
