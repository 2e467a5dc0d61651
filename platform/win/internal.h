// Internal state of the window system shared by its source files. Not for
// use outside platform/win.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/sys/module_release.h"
#include "platform/sys/waker.h"
#include "platform/win/display_link.h"
#include "platform/win/message.h"
#include "platform/win/win_types.h"

namespace plat::win {

struct ClassInfo {
  std::string name;
  WNDCLASSEX wc{};  // lpszClassName points into `name`
  ATOM atom = 0;
  // The module holding the class's procedure: the class goes when it unloads.
  ModuleId module = nullptr;
};

// A message sent from another thread, waiting for its reply.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
  std::shared_ptr<struct ThreadQueue> sender;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT period = 0;
  std::uint64_t due = 0;
  TIMERPROC proc = nullptr;
};

struct FdWatch {
  FdWatchId id = 0;
  int fd = -1;
  short events = 0;
  std::shared_ptr<std::function<void(int, short)>> on_ready;
};

struct ThreadQueue {
  DWORD thread_id = 0;
  std::mutex mutex;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quit_posted = false;
  int quit_code = 0;
  std::vector<Timer> timers;
  std::vector<FdWatch> watches;
  bool sleeping = false;
  bool alive = true;
  std::shared_ptr<Waker> waker = MakeClockWaker();
  // Windows of this thread with a non-empty update region (under the window lock).
  std::atomic<int> paint_count{0};

  // Pushes under the queue lock and wakes the owner when it sleeps.
  bool post(const MSG& m);
};

std::shared_ptr<ThreadQueue> CurrentQueue();
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD thread_id);

struct WindowObject {
  HWND handle = nullptr;
  std::shared_ptr<ClassInfo> cls;
  std::shared_ptr<ThreadQueue> queue;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD ex_style = 0;
  LONG_PTR user_data = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;
  HWND parent = nullptr;  // children only
  HWND owner = nullptr;   // popups only
  std::vector<HWND> children;  // front first
  RECT rect{};                 // in the parent's client coordinates (top-level: screen)
  RECT normal_rect{};          // restored placement
  bool restore_maximized = false;
  std::string text;
  std::optional<Region> shape;  // window coordinates
  Region update;                // client coordinates
  bool erase_pending = false;
  SurfacePtr surface;
  bool destroying = false;
  bool created = false;  // WM_NCCREATE done: messages may be delivered

  int width() const { return rect.right - rect.left; }
  int height() const { return rect.bottom - rect.top; }
  bool visible() const { return (style & WS_VISIBLE) != 0; }
  bool is_child() const { return (style & WS_CHILD) != 0 && parent != nullptr; }
};

// The window lock guards the window table, the tree, every WindowObject and
// the focus/capture/activation state. Window procedures are never called
// while it is held.
std::recursive_mutex& WindowLock();
using WindowGuard = std::lock_guard<std::recursive_mutex>;

WindowObject* Lookup(HWND hwnd);  // under the lock; null (and error 1400) when stale
WindowObject* LookupQuiet(HWND hwnd);
std::vector<HWND>& TopLevels();   // front first; topmost windows lead
HWND DesktopHandle();
std::vector<HWND>& SiblingList(WindowObject& w);
// Moves the window in its sibling list (HWND_TOP, HWND_BOTTOM or behind a
// sibling), keeping topmost top-level windows in front.
void PlaceInSiblings(WindowObject& w, HWND insert_after);

// Screen position of the window's top-left corner.
POINT ScreenOrigin(const WindowObject& w);
RECT ScreenRect(const WindowObject& w);
// Visible on screen: it and every ancestor visible and not minimised.
bool ReallyVisible(const WindowObject& w);
void EnsureSurface(WindowObject& w);
SIZE ScreenSize();

// Marks (part of) a window's client area for repainting; under the lock.
void InvalidateLocked(WindowObject& w, const Region& client_region, bool erase);
void SetUpdateRegionLocked(WindowObject& w, Region region);
// Screen damage from a window area (window coordinates); under the lock.
void DamageWindowArea(const WindowObject& w, const Region* window_area);

// Delivery of a message to a window procedure on the current thread.
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Input-side state kept with the windows (input.cpp).
struct InputState {
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  HWND tracking = nullptr;  // TME_LEAVE
  HWND hover = nullptr;     // window under the cursor at the last mouse event
  // The cursor position, packed, readable without the lock (every message
  // records it).
  std::atomic<std::uint64_t> cursor{0};
  void set_cursor(POINT p) {
    cursor.store((static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.x)) << 32) | static_cast<std::uint32_t>(p.y),
                 std::memory_order_relaxed);
  }
  POINT get_cursor() const {
    const std::uint64_t v = cursor.load(std::memory_order_relaxed);
    return POINT{static_cast<LONG>(static_cast<std::uint32_t>(v >> 32)), static_cast<LONG>(static_cast<std::uint32_t>(v))};
  }
};
InputState& Input();
// Called when a window goes away or is hidden (under the lock); fills
// `notify` with messages to send once the lock is released.
struct PendingSend {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
void ForgetWindowInputLocked(HWND hwnd, bool destroying, std::vector<PendingSend>& notify);
void SendAll(const std::vector<PendingSend>& sends);

// Raw input processing on the display thread; returns true when an event
// was turned into messages.
bool ProcessRawInput();
bool HasRawInput();
DWORD DisplayThreadId();

// The window table and class list as the module releaser walks them; under the lock.
void ForEachWindowLocked(const std::function<void(WindowObject&)>& visit);
std::vector<std::shared_ptr<ClassInfo>> ClassesLocked();
// Removes a class no window uses; false when one still does.
bool UnregisterClassLocked(const std::shared_ptr<ClassInfo>& cls);

// Timers of a destroyed window go with it.
void KillWindowTimers(HWND hwnd);
void DestroyThreadWindows(DWORD thread_id);

// Dispatch helper for timers: whether `proc` is still the proc of that timer.
bool TimerProcValid(HWND hwnd, UINT_PTR id, TIMERPROC proc);

}  // namespace plat::win
