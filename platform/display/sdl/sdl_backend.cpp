#include "platform/display/sdl/sdl_backend.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/display/sdl/sdl_keys.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif
#include "platform/win/display_link.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace plat::display {

namespace {

// SDL on X11 reaches the session bus (its input-method probe, through
// libdbus) and the X libraries keep state tied to it for the life of the
// process, which neither SDL nor we can free. Under the leak checker,
// what SDL allocates inside its own calls is therefore not counted; our
// allocations never happen inside such a scope.
#if defined(__SANITIZE_ADDRESS__)
using SdlAllocations = __lsan::ScopedDisabler;
#else
struct SdlAllocations {
  SdlAllocations() {}  // a scope marker only
};
#endif

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The application's frame: the first visible top-level window that has no
// owner and is no tool window (as the display chooses it).
BOOL FindFrameProc(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<HWND*>(lParam);
  if (!IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
  if (GetWindowLongPtr(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
  *found = hwnd;
  return FALSE;
}

HWND FindFrame() {
  HWND found = nullptr;
  EnumWindows(FindFrameProc, reinterpret_cast<LPARAM>(&found));
  return found;
}

SDL_SystemCursor SystemCursorFor(int shape) {
  switch (shape) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

}  // namespace

void RegisterSdlBackend() {
  RegisterBackendFactory("sdl", [](const DisplayOptions& options, std::string* error) -> std::unique_ptr<Backend> {
    return SdlBackend::Create(options, error);
  });
}

std::unique_ptr<SdlBackend> SdlBackend::Create(const DisplayOptions&, std::string* error) {
  // The process keeps its own signal handling, the shell decides about the
  // screen saver, and closing the window is a WM_CLOSE, not a quit.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Every frame is composed in memory already; showing it needs no GL. The
  // changed rectangles are copied straight into the window's own pixels,
  // which spares the process a GL driver's tens of megabytes and a texture.
  // The environment can still ask for an accelerated window surface.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  int started;
  {
    SdlAllocations sdl;
    started = SDL_InitSubSystem(SDL_INIT_VIDEO);
  }
  if (started != 0) {
    if (error) *error = std::string("cannot open the display: ") + SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<SdlBackend> b(new SdlBackend);
  if (SDL_GetDisplayBounds(0, &b->bounds_) != 0 || b->bounds_.w <= 0 || b->bounds_.h <= 0) {
    if (error) *error = std::string("no screen to show on: ") + SDL_GetError();
    return nullptr;  // the destructor closes the video subsystem
  }
  b->screen_ = SIZE{b->bounds_.w, b->bounds_.h};
  {
    SdlAllocations sdl;
    b->window_ = SDL_CreateWindow("Marivel", b->bounds_.x, b->bounds_.y, 640, 480,
                                  SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  }
  if (!b->window_) {
    if (error) *error = std::string("cannot make the window: ") + SDL_GetError();
    return nullptr;
  }
  SdlAllocations sdl;
  SDL_StartTextInput();
  return b;
}

SdlBackend::~SdlBackend() {
  for (auto& [shape, cursor] : cursors_) SDL_FreeCursor(cursor);
  if (window_) SDL_DestroyWindow(window_);
  SdlAllocations sdl;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  // The last SDL user also lets go of what SDL holds process-wide (its
  // session-bus connection among them).
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

int SdlBackend::monitor_count() const { return std::max(1, SDL_GetNumVideoDisplays()); }

RECT SdlBackend::view() const {
  if (full_screen_ || state_ == State::Maximised) return RECT{0, 0, screen_.cx, screen_.cy};
  return frame_rect_;
}

namespace {

// Our pixels seen by SDL without a copy: 32 bits, blue in the lowest byte.
// The alpha byte is ignored, so the frame is copied, never blended.
SDL_Surface* WrapPixels(const Surface& pixels) {
  return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(pixels.data()), pixels.width(),
                                            pixels.height(), 32, pixels.stride() * 4, SDL_PIXELFORMAT_RGB888);
}

}  // namespace

void SdlBackend::present(const Surface& screen, const Region& dirty) {
  if (!shown_ || state_ == State::Minimised) {
    uploaded_view_ = RECT{};
    return;
  }
  const RECT v = view();
  if (v.right <= v.left || v.bottom <= v.top) return;
  SdlAllocations sdl;
  SDL_Surface* window = SDL_GetWindowSurface(window_);
  if (!window) return;
  const SIZE surfaceSize{window->w, window->h};
  // Only what changed is copied, unless the view or the window's pixels are
  // new.
  const bool same = SameRect(uploaded_view_, v) && surfaceSize.cx == uploaded_surface_.cx &&
                    surfaceSize.cy == uploaded_surface_.cy;
  Region area = same ? dirty.intersected(Region(v)) : Region(v);
  area = area.intersected(Region(RECT{0, 0, screen.width(), screen.height()}));
  uploaded_view_ = v;
  uploaded_surface_ = surfaceSize;
  if (area.empty()) return;
  SDL_Surface* source = WrapPixels(screen);
  if (!source) return;
  std::vector<SDL_Rect> shown;
  for (const RECT& r : area.rects()) {
    SDL_Rect from{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
                  static_cast<int>(r.bottom - r.top)};
    SDL_Rect to{static_cast<int>(r.left - v.left), static_cast<int>(r.top - v.top), from.w, from.h};
    if (SDL_BlitSurface(source, &from, window, &to) == 0 && to.w > 0 && to.h > 0) shown.push_back(to);
  }
  SDL_FreeSurface(source);
  if (!shown.empty()) SDL_UpdateWindowSurfaceRects(window_, shown.data(), static_cast<int>(shown.size()));
}

void SdlBackend::show_all_again() {
  uploaded_view_ = RECT{};
  AddScreenDamage(view());
}

Surface SdlBackend::frame_copy() const {
  SDL_Surface* window = SDL_GetWindowSurface(window_);
  if (!window) return Surface();
  Surface copy(window->w, window->h);
  SDL_Surface* target = WrapPixels(copy);
  if (!target) return Surface();
  SDL_BlitSurface(window, nullptr, target, nullptr);
  SDL_FreeSurface(target);
  // The window's pixels carry no alpha; what it shows is opaque.
  for (int y = 0; y < copy.height(); ++y) {
    std::uint32_t* row = copy.row(y);
    for (int x = 0; x < copy.width(); ++x) row[x] |= 0xFF000000u;
  }
  return copy;
}

void SdlBackend::show() {
  if (shown_) return;
  shown_ = true;
  SDL_ShowWindow(window_);
}

void SdlBackend::apply_geometry() {
  if (full_screen_ || state_ != State::Restored) return;
  const int w = std::max<int>(1, frame_rect_.right - frame_rect_.left);
  const int h = std::max<int>(1, frame_rect_.bottom - frame_rect_.top);
  SDL_SetWindowPosition(window_, bounds_.x + frame_rect_.left, bounds_.y + frame_rect_.top);
  SDL_SetWindowSize(window_, w, h);
}

void SdlBackend::set_title(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

void SdlBackend::set_full_screen(bool on) {
  full_screen_ = on;
  SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  if (!on) apply_geometry();
}

void SdlBackend::maximise() {
  state_ = State::Maximised;
  show();
  // Without a window manager "maximised" means nothing to the server, so
  // the window is also placed over the whole screen.
  SDL_SetWindowPosition(window_, bounds_.x, bounds_.y);
  SDL_SetWindowSize(window_, bounds_.w, bounds_.h);
  SDL_MaximizeWindow(window_);
}

void SdlBackend::minimise() {
  state_ = State::Minimised;
  show();
  SDL_MinimizeWindow(window_);
}

void SdlBackend::restore() {
  const State before = state_;
  state_ = State::Restored;
  show();
  if (before != State::Restored) SDL_RestoreWindow(window_);
  apply_geometry();
}

void SdlBackend::frame_moved(const RECT& rect) {
  frame_rect_ = rect;
  apply_geometry();
}

void SdlBackend::cursor_changed(int shape_id, bool visible) {
  if (!visible || shape_id == 0) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_Cursor*& cursor = cursors_[shape_id];
  if (!cursor) cursor = SDL_CreateSystemCursor(SystemCursorFor(shape_id));
  if (cursor) SDL_SetCursor(cursor);
  SDL_ShowCursor(SDL_ENABLE);
}

namespace {

bool PollEvent(SDL_Event* event) {
  SdlAllocations sdl;
  return SDL_PollEvent(event) != 0;
}

}  // namespace

void SdlBackend::pump_input() {
  SDL_Event event;
  while (PollEvent(&event)) handle(event);
}

// Event positions are relative to the real window, which shows the view:
// while a caption drag moves it, each pump's events are read against the
// place the window had when they were read, so the frame follows the
// pointer without running ahead of it.
POINT SdlBackend::to_screen(int x, int y) const {
  const RECT v = view();
  return POINT{v.left + x, v.top + y};
}

void SdlBackend::release_keys() {
  for (UINT vk : keys_down_) InjectKeyUp(vk);
  keys_down_.clear();
  translated_key_ = false;
}

void SdlBackend::post_to_frame(UINT msg, WPARAM wParam) {
  if (HWND frame = FindFrame()) PostMessage(frame, msg, wParam, 0);
}

void SdlBackend::key(const SDL_KeyboardEvent& k) {
  const bool down = k.type == SDL_KEYDOWN;
  if (const int command = AppCommandFromSdl(k.keysym.sym)) {
    // Volume keys repeat while held; the others act once per press.
    const bool repeats = command == APPCOMMAND_VOLUME_UP || command == APPCOMMAND_VOLUME_DOWN;
    if (down && (!k.repeat || repeats)) InjectAppCommand(command);
    return;
  }
  const UINT vk = VirtualKeyFromSdl(k.keysym.sym, k.keysym.scancode);
  if (!down) {
    translated_key_ = false;
    if (vk && keys_down_.erase(vk)) InjectKeyUp(vk);
    return;
  }
  if (!vk) {
    translated_key_ = false;
    return;
  }
  // The message loop's TranslateMessage makes this key's character from
  // its virtual key; SDL's text for the same key press is then left out so
  // it is not typed twice. Text that no key translation makes (composed
  // characters, input methods) passes as WM_CHAR.
  const Uint16 mod = k.keysym.mod;
  const bool shift = mod & KMOD_SHIFT, caps = mod & KMOD_CAPS, ctrl = (mod & KMOD_CTRL) && !(mod & KMOD_ALT);
  const UINT ch = CharFromVirtualKey(vk, shift, caps, ctrl);
  translated_key_ = ch >= 0x20 && ch != 0x7F;
  keys_down_.insert(vk);
  InjectKeyDown(vk);
}

void SdlBackend::handle(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: key(e.key); break;
    case SDL_TEXTINPUT:
      if (translated_key_) {
        translated_key_ = false;
        break;
      }
      InjectText(e.text.text);
      break;
    case SDL_MOUSEMOTION: {
      last_point_ = to_screen(e.motion.x, e.motion.y);
      InjectMouseMove(last_point_.x, last_point_.y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int button = e.button.button == SDL_BUTTON_LEFT    ? 0
                         : e.button.button == SDL_BUTTON_RIGHT ? 1
                         : e.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                : -1;
      if (button < 0) break;
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      buttons_held_ = down ? buttons_held_ + 1 : std::max(0, buttons_held_ - 1);
      last_point_ = to_screen(e.button.x, e.button.y);
      InjectMouseButton(button, down, last_point_.x, last_point_.y);
      break;
    }
    case SDL_MOUSEWHEEL: {
      int steps = e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
      if (steps) InjectWheel(steps * WHEEL_DELTA, last_point_.x, last_point_.y);
      break;
    }
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: post_to_frame(WM_CLOSE, 0); break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: show_all_again(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          release_keys();
          buttons_held_ = 0;
          break;
        case SDL_WINDOWEVENT_LEAVE: {
          // The pointer left the frame: windows tracking it get WM_MOUSELEAVE.
          const RECT v = view();
          if (buttons_held_ == 0) InjectMouseMove(v.left - 1, v.top - 1);
          break;
        }
        // The window manager minimised or restored the window itself.
        case SDL_WINDOWEVENT_MINIMIZED:
          if (state_ != State::Minimised) post_to_frame(WM_SYSCOMMAND, SC_MINIMIZE);
          break;
        case SDL_WINDOWEVENT_RESTORED:
          if (state_ == State::Minimised) post_to_frame(WM_SYSCOMMAND, SC_RESTORE);
          break;
        default: break;
      }
      break;
    case SDL_DISPLAYEVENT: {
      SDL_Rect bounds{};
      if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0 &&
          (bounds.w != bounds_.w || bounds.h != bounds_.h || bounds.x != bounds_.x || bounds.y != bounds_.y)) {
        bounds_ = bounds;
        screen_ = SIZE{bounds.w, bounds.h};
        ScreenSizeChanged();
      }
      break;
    }
    default: break;
  }
}

}  // namespace plat::display
