// The SDL2 backend: the main frame is a real, borderless SDL window that
// shows the frame's part of the composed screen; every other window is
// composed into it by us. SDL's keyboard, text, mouse, wheel, media-key and
// window events become raw input (plat::SubmitRawInput) on the display
// thread. Screen coordinates are those of the first display.
//
// Selecting it: RegisterSdlBackend() makes "sdl" known to StartDisplay, and
// the default when no backend is named (--headless[=WxH] and
// MARIVEL_DISPLAY=headless still pick the headless one).
//
// Tests drive it like a user would: SDL_PushEvent with keyboard, text or
// mouse events (with SDL_VIDEODRIVER=dummy no X server is needed), or a
// real X client (xdotool) under Xvfb.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/display/backend.h"
#include "platform/display/display.h"

namespace plat::display {

void RegisterSdlBackend();

class SdlBackend final : public Backend {
 public:
  // Starts SDL video and makes the (hidden) window; null with `error` when
  // there is no display to open.
  static std::unique_ptr<SdlBackend> Create(const DisplayOptions& options, std::string* error);
  ~SdlBackend() override;

  std::string name() const override { return "sdl"; }
  SIZE screen_size() const override { return screen_; }
  int monitor_count() const override;
  void present(const Surface& screen, const Region& dirty) override;
  void pump_input() override;
  int max_wait_ms() const override { return kPollMs; }

  void set_title(const std::string& title) override;
  void set_full_screen(bool on) override;
  void maximise() override;
  void minimise() override;
  void restore() override;
  void frame_moved(const RECT& rect) override;
  void cursor_changed(int shape_id, bool visible) override;

  // Turns one SDL event into raw input (what pump_input does for each).
  void handle(const SDL_Event& event);

  // What the window shows: a copy of the frame's pixels as last presented.
  Surface frame_copy() const;
  SDL_Window* window() const { return window_; }
  // The part of the screen the window shows (screen coordinates).
  RECT view() const;
  bool shown() const { return shown_; }

  // Event polling period while the loop sleeps.
  static constexpr int kPollMs = 10;

 private:
  enum class State { Restored, Maximised, Minimised };
  SdlBackend() = default;
  void show();
  void apply_geometry();
  // The window's pixels are gone (exposed, resized): the whole view is
  // composed and shown again.
  void show_all_again();
  POINT to_screen(int x, int y) const;
  void release_keys();
  void post_to_frame(UINT msg, WPARAM wParam);
  void key(const SDL_KeyboardEvent& key);

  SDL_Window* window_ = nullptr;
  SIZE screen_{};
  SDL_Rect bounds_{};  // the first display in the desktop's coordinates
  RECT frame_rect_{};
  RECT uploaded_view_{};      // the view the window's pixels were last copied for
  SIZE uploaded_surface_{};   // the window surface's size at that time
  State state_ = State::Restored;
  bool shown_ = false;
  bool full_screen_ = false;
  std::set<UINT> keys_down_;
  bool translated_key_ = false;  // the last key-down makes its own character
  int buttons_held_ = 0;
  POINT last_point_{};
  std::map<int, SDL_Cursor*> cursors_;
};

}  // namespace plat::display
