#include "platform/display/display.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/display/compositor.h"
#include "platform/win/display_link.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace plat::display {

namespace {

bool ParseSize(const std::string& text, SIZE* size) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  char* end = nullptr;
  const std::string w = text.substr(0, x), h = text.substr(x + 1);
  if (w.empty() || h.empty()) return false;
  const long width = std::strtol(w.c_str(), &end, 10);
  if (*end) return false;
  const long height = std::strtol(h.c_str(), &end, 10);
  if (*end) return false;
  // Bounded so a typo cannot ask for gigabytes of screen.
  if (width < 16 || height < 16 || width > 16384 || height > 16384) return false;
  *size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
  return true;
}

// "headless" or "headless=WxH".
bool ParseHeadless(const std::string& value, DisplayOptions* out, std::string* error) {
  out->backend = "headless";
  const auto eq = value.find('=');
  if (eq == std::string::npos) return true;
  if (!ParseSize(value.substr(eq + 1), &out->size)) {
    if (error) *error = "bad headless screen size \"" + value.substr(eq + 1) + "\" (expected WIDTHxHEIGHT)";
    return false;
  }
  return true;
}

std::map<std::string, BackendFactory>& Factories() {
  static std::map<std::string, BackendFactory> factories;
  return factories;
}

// A screen image of the compositor's own only for backends that keep none.
Compositor MakeCompositor(Backend& backend) {
  std::unique_lock<std::mutex> lock;
  const bool own = backend.composition_target(lock) == nullptr;
  return Compositor(backend.screen_size(), 0xFF000000u, own);
}

// The display: the window system's link to the compositor and the backend.
class Display final : public DisplayLink {
 public:
  explicit Display(std::unique_ptr<Backend> backend)
      : backend_(std::move(backend)), compositor_(MakeCompositor(*backend_)) {}

  Backend& backend() { return *backend_; }

  SIZE screen_size() const override { return backend_->screen_size(); }
  int monitor_count() const override { return backend_->monitor_count(); }
  void pump() override { backend_->pump_input(); }
  int max_wait_ms() const override { return backend_->max_wait_ms(); }

  void idle() override {
    Region damage = TakeScreenDamage();
    if (first_) {
      damage = Region(RECT{0, 0, compositor_.size().cx, compositor_.size().cy});
      first_ = false;
    }
    if (!damage.empty()) {
      const RECT screen{0, 0, compositor_.size().cx, compositor_.size().cy};
      const std::vector<CompositeLayer> layers = CollectCompositeLayers(screen);
      std::unique_lock<std::mutex> lock;
      if (Surface* target = backend_->composition_target(lock)) {
        compositor_.compose_into(*target, layers, damage);
        lock.unlock();
        backend_->present(*target, damage.intersected(Region(screen)));
      } else {
        compositor_.compose(layers, damage);
        backend_->present(compositor_.screen(), damage.intersected(Region(screen)));
      }
    }
    {
      std::lock_guard lock(idle_mutex_);
      ++idle_count_;
    }
    idle_changed_.notify_all();
  }

  // Waits for `rounds` idle passes that begin after the call.
  bool wait_idle(unsigned timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    // The first pass seen may have started before the call; the second
    // cannot have.
    for (int round = 0; round < 2; ++round) {
      std::unique_lock lock(idle_mutex_);
      const std::uint64_t seen = idle_count_;
      lock.unlock();
      WakeDisplayThread();
      lock.lock();
      if (!idle_changed_.wait_until(lock, deadline, [&] { return idle_count_ != seen; })) return false;
    }
    return true;
  }

  // Top-level windows may change on any thread: what is read from the
  // window (which may send it messages) is read before taking the lock.
  void top_level_changed(HWND hwnd) override {
    const bool alive = IsWindow(hwnd);
    FrameSnapshot now;
    bool eligible = false;
    if (alive) {
      now.title = GetWindowTextString(hwnd);
      now.state = IsIconic(hwnd) ? 2 : IsZoomed(hwnd) ? 1 : 0;
      GetWindowRect(hwnd, &now.rect);
      const bool owned = GetWindow(hwnd, GW_OWNER) != nullptr;
      const bool tool = GetWindowLongPtr(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
      eligible = IsWindowVisible(hwnd) && !owned && !tool && now.rect.right > now.rect.left &&
                 now.rect.bottom > now.rect.top;
    }
    std::lock_guard lock(frame_mutex_);
    if (!alive) {
      if (hwnd == frame_) frame_ = nullptr;
      return;
    }
    if (!frame_ && eligible) {
      frame_ = hwnd;
      last_ = FrameSnapshot{};
    }
    if (hwnd != frame_) return;
    if (now.title != last_.title) backend_->set_title(now.title);
    if (now.state != last_.state) {
      if (now.state == 1)
        backend_->maximise();
      else if (now.state == 2)
        backend_->minimise();
      else
        backend_->restore();
    }
    if (now.state == 0 && now.rect != last_.rect) backend_->frame_moved(now.rect);
    last_ = now;
  }

  // The backend's screen changed size: compose everything again at the new
  // size and tell every top-level window, as the platform does.
  void screen_size_changed() {
    const SIZE size = backend_->screen_size();
    compositor_ = MakeCompositor(*backend_);
    first_ = true;
    std::vector<HWND> tops;
    EnumWindows(
        [](HWND h, LPARAM l) -> BOOL {
          reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&tops));
    for (HWND h : tops)
      SendMessage(h, WM_DISPLAYCHANGE, 32, MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
  }

  void cursor_changed() override { backend_->cursor_changed(CursorShapeId(GetCursor()), IsCursorShown()); }

 private:
  struct FrameSnapshot {
    std::string title;
    int state = -1;
    RECT rect{-1, -1, -1, -1};
  };
  std::unique_ptr<Backend> backend_;
  Compositor compositor_;
  std::mutex idle_mutex_;
  std::condition_variable idle_changed_;
  std::uint64_t idle_count_ = 0;
  bool first_ = true;
  std::mutex frame_mutex_;
  HWND frame_ = nullptr;
  FrameSnapshot last_;
};

std::mutex g_mutex;
std::unique_ptr<Display> g_display;

}  // namespace

bool ParseDisplayOptions(std::vector<std::string>& args, const char* env_value, DisplayOptions* out,
                         std::string* error) {
  *out = DisplayOptions{};
  if (env_value && *env_value) {
    const std::string env = env_value;
    if (env == "headless" || env.rfind("headless=", 0) == 0) {
      if (!ParseHeadless(env, out, error)) return false;
    } else {
      out->backend = env;
    }
  }
  for (auto it = args.begin(); it != args.end();) {
    if (*it == "--headless" || it->rfind("--headless=", 0) == 0) {
      if (!ParseHeadless(it->substr(2), out, error)) return false;
      it = args.erase(it);
    } else {
      ++it;
    }
  }
  return true;
}

bool ParseDisplayOptions(int& argc, char** argv, DisplayOptions* out, std::string* error) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!ParseDisplayOptions(args, std::getenv("MARIVEL_DISPLAY"), out, error)) return false;
  // Keep argv's own strings: only drop the display switches.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--headless" || a.rfind("--headless=", 0) == 0) continue;
    argv[kept++] = argv[i];
  }
  argc = kept;
  argv[argc] = nullptr;
  return true;
}

void RegisterBackendFactory(const std::string& name, BackendFactory factory) {
  std::lock_guard lock(g_mutex);
  Factories()[name] = std::move(factory);
}

bool StartDisplay(const DisplayOptions& options, std::string* error) {
  std::lock_guard lock(g_mutex);
  if (g_display) {
    if (error) *error = "the display is already running";
    return false;
  }
  std::string name = options.backend;
  if (name.empty()) name = Factories().count("sdl") ? "sdl" : "headless";
  std::unique_ptr<Backend> backend;
  if (name == "headless") {
    backend = std::make_unique<HeadlessBackend>(options.size);
  } else {
    auto it = Factories().find(name);
    if (it == Factories().end()) {
      if (error) *error = "unknown display backend \"" + name + "\"";
      return false;
    }
    backend = it->second(options, error);
    if (!backend) return false;
  }
  g_display = std::make_unique<Display>(std::move(backend));
  AttachDisplay(g_display.get());
  // Windows that exist already get composed in full at the first idle.
  AddScreenDamage(RECT{0, 0, g_display->screen_size().cx, g_display->screen_size().cy});
  return true;
}

void StopDisplay() {
  std::lock_guard lock(g_mutex);
  if (!g_display) return;
  AttachDisplay(nullptr);
  g_display.reset();
}

Backend* CurrentBackend() {
  std::lock_guard lock(g_mutex);
  return g_display ? &g_display->backend() : nullptr;
}

HeadlessBackend* CurrentHeadless() { return dynamic_cast<HeadlessBackend*>(CurrentBackend()); }

void ScreenSizeChanged() {
  Display* d;
  {
    std::lock_guard lock(g_mutex);
    d = g_display.get();
  }
  if (d) d->screen_size_changed();
}

bool WaitForDisplayIdle(unsigned timeout_ms) {
  Display* d;
  {
    std::lock_guard lock(g_mutex);
    d = g_display.get();
  }
  if (!d || DisplayThread() == GetCurrentThreadId()) return false;
  return d->wait_idle(timeout_ms);
}

void ComposeNow() {
  Display* d;
  {
    std::lock_guard lock(g_mutex);
    d = g_display.get();
  }
  if (d) d->idle();
}

}  // namespace plat::display
