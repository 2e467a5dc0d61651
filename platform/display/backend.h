// What puts the composed screen in front of the user. The top-level frame is
// the only window the backend's system knows of; every other window is
// composed by us into the screen image it is handed.
#pragma once

#include <mutex>
#include <string>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/win/win_types.h"

namespace plat::display {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::string name() const = 0;
  virtual SIZE screen_size() const = 0;
  virtual int monitor_count() const { return 1; }
  // Shows the composed screen; only `dirty` (screen coordinates) changed.
  virtual void present(const Surface& screen, const Region& dirty) = 0;
  // A backend that keeps the whole screen image in memory of its own may
  // have the compositor draw straight into it, which saves a screen-sized
  // copy and its memory. It returns that image with `lock` holding what
  // guards it; present() is then called with the same image. Null (the
  // default) when the compositor is to keep a screen image of its own.
  virtual Surface* composition_target(std::unique_lock<std::mutex>& lock) {
    (void)lock;
    return nullptr;
  }
  // On the display thread: moves pending events of the backend's system
  // into plat::SubmitRawInput.
  virtual void pump_input() {}
  // Longest the message loop may sleep before pump_input must run again;
  // -1 when the backend wakes the loop itself (or has no events).
  virtual int max_wait_ms() const { return -1; }

  // The main frame (the first shown top-level window that has no owner).
  virtual void set_title(const std::string&) {}
  virtual void set_full_screen(bool) {}
  virtual void maximise() {}
  virtual void minimise() {}
  virtual void restore() {}
  // The frame's rectangle in screen coordinates (windowed state).
  virtual void frame_moved(const RECT&) {}
  // Cursor shape (32512 arrow, 32649 hand, 32514 wait ...; 0 none) and
  // whether it shows.
  virtual void cursor_changed(int shape_id, bool visible) {}
};

}  // namespace plat::display
