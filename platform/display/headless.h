// The headless backend: an in-memory screen of a chosen size. Tests and the
// scripted-input runner inject input (plat::Inject* in platform/win/input.h
// work on any backend) and take screenshots.
#pragma once

#include <mutex>
#include <string>

#include "platform/display/backend.h"

namespace plat::display {

class HeadlessBackend final : public Backend {
 public:
  explicit HeadlessBackend(SIZE size);
  std::string name() const override { return "headless"; }
  SIZE screen_size() const override { return size_; }
  void present(const Surface& screen, const Region& dirty) override;
  // The compositor draws into this backend's screen image directly.
  Surface* composition_target(std::unique_lock<std::mutex>& lock) override;
  void set_title(const std::string& title) override;
  void set_full_screen(bool on) override;
  void maximise() override;
  void minimise() override;
  void restore() override;
  void frame_moved(const RECT& rect) override;
  void cursor_changed(int shape_id, bool visible) override;

  // What a viewer of this screen would see, and what was asked of the
  // frame. Safe from any thread.
  Surface screen_copy() const;
  std::uint32_t pixel(int x, int y) const;
  int presents() const;
  std::string title() const;
  enum class FrameState { Restored, Maximised, Minimised };
  FrameState frame_state() const;
  bool full_screen() const;
  RECT frame_rect() const;
  int cursor_shape() const;
  bool cursor_visible() const;
  // Writes the screen as PNG; false on failure.
  bool screenshot(const std::string& path) const;

 private:
  const SIZE size_;
  mutable std::mutex mutex_;
  Surface screen_;
  int presents_ = 0;
  std::string title_;
  FrameState state_ = FrameState::Restored;
  bool full_screen_ = false;
  RECT frame_rect_{};
  int cursor_shape_ = 32512;
  bool cursor_visible_ = true;
};

}  // namespace plat::display
