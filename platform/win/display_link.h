// The seam between the window system and the display (platform/display):
// the display attaches itself on the thread that runs the user interface;
// that thread's message loop turns raw input into messages and asks the
// display to present whatever changed when the queue runs empty.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/win/win_types.h"

namespace plat {

class DisplayLink {
 public:
  virtual ~DisplayLink() = default;
  virtual SIZE screen_size() const = 0;
  virtual int monitor_count() const = 0;
  // On the display thread, before it looks for input: backends that must
  // poll their event source move its events into SubmitRawInput here.
  virtual void pump() {}
  // On the display thread when its queue is empty: compose and present.
  virtual void idle() {}
  // Longest the display thread may sleep before pump() must run again, or
  // -1 when the backend wakes the loop itself.
  virtual int max_wait_ms() const { return -1; }
  // A top-level window changed place, size, state, visibility or title.
  virtual void top_level_changed(HWND) {}
  // The cursor shape or visibility changed.
  virtual void cursor_changed() {}
};

// Attaches `link` with the calling thread as the display thread; null
// detaches. The link must outlive its attachment.
void AttachDisplay(DisplayLink* link);
DisplayLink* AttachedDisplay();
// The display thread (0 when no display is attached), and a way to make its
// message loop run once more from another thread.
DWORD DisplayThread();
void WakeDisplayThread();

// What the compositor draws: each window's backing surface, placed at its
// screen position, showing through its visible region (screen coordinates),
// computed front to back through z-order, parents' client areas and window
// regions. Minimised and hidden windows are left out.
struct CompositeLayer {
  HWND hwnd = nullptr;
  SurfacePtr surface;
  POINT origin{};
  Region visible;
};
std::vector<CompositeLayer> CollectCompositeLayers(const RECT& screen);
// A window's backing surface (window coordinates), for code that renders
// into it without a DC (video frames); null for a stale handle. After
// drawing, MarkWindowDrawn tells the compositor which client area changed
// (null: all of it).
SurfacePtr GetWindowSurface(HWND hwnd);
void MarkWindowDrawn(HWND hwnd, const RECT* client_rect);

// The screen area that changed since the last call (screen coordinates).
Region TakeScreenDamage();
void AddScreenDamage(const RECT& rect);

}  // namespace plat
