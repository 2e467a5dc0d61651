// Focus, activation, capture and mouse-leave tracking; the cursor; key
// state; raw input turned into window messages on the display thread;
// moving and sizing windows with the mouse.
#include "platform/win/input.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/sys/clock.h"
#include "platform/sys/last_error.h"
#include "platform/win/internal.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"
#include "platform/win/window_ops.h"

namespace plat {
namespace win {

namespace {

struct DisplayState {
  std::mutex mutex;
  DisplayLink* link = nullptr;
  DWORD thread_id = 0;
  std::deque<RawInput> raw;
};

DisplayState& Display() {
  static DisplayState state;
  return state;
}

struct KeyTable {
  std::mutex mutex;
  std::array<BYTE, 256> keys{};  // 0x80 down, 0x01 toggled
};

KeyTable& Keys() {
  static KeyTable table;
  return table;
}

struct CursorState {
  std::mutex mutex;
  HCURSOR cursor = reinterpret_cast<HCURSOR>(std::uintptr_t{0x7C000000} | 32512);  // the arrow
  int count = 0;
};

CursorState& Cursor() {
  static CursorState state;
  return state;
}

// Input state owned by the display thread.
struct ClickState {
  HWND hwnd = nullptr;
  int button = -1;
  DWORD time = 0;
  POINT point{};
  bool client = true;
};

struct DragState {
  HWND hwnd = nullptr;
  LRESULT hit = 0;
  POINT start{};
  RECT start_rect{};
};

ClickState g_last_click;
DragState g_drag;
LRESULT g_hover_hit = HTNOWHERE;

bool KeyDown(UINT vk) {
  KeyTable& k = Keys();
  std::lock_guard lock(k.mutex);
  return (k.keys[vk & 0xFF] & 0x80) != 0;
}

WPARAM MouseKeyFlags() {
  WPARAM f = 0;
  if (KeyDown(VK_LBUTTON)) f |= MK_LBUTTON;
  if (KeyDown(VK_RBUTTON)) f |= MK_RBUTTON;
  if (KeyDown(VK_MBUTTON)) f |= MK_MBUTTON;
  if (KeyDown(VK_SHIFT)) f |= MK_SHIFT;
  if (KeyDown(VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

bool ContainsPoint(const WindowObject& w, POINT screen) {
  const RECT r = ScreenRect(w);
  if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom) return false;
  return !w.shape || w.shape->contains(screen.x - r.left, screen.y - r.top);
}

}  // namespace

// The deepest visible window under the point, skipping disabled children
// (their parent gets the input) and the windows in `skip`. A disabled
// top-level window swallows the point: `blocked` is set.
HWND WindowAtLocked(POINT screen, const std::vector<HWND>& skip, bool* blocked) {
  *blocked = false;
  for (HWND top : TopLevels()) {
    WindowObject* w = LookupQuiet(top);
    if (!w || !w->visible() || (w->style & WS_MINIMIZE) || !ContainsPoint(*w, screen)) continue;
    if (std::find(skip.begin(), skip.end(), top) != skip.end()) continue;
    if (w->style & WS_DISABLED) {
      *blocked = true;
      return nullptr;
    }
    HWND found = top;
    for (;;) {
      WindowObject* cur = LookupQuiet(found);
      HWND next = nullptr;
      for (HWND c : cur->children) {
        WindowObject* cw = LookupQuiet(c);
        if (!cw || !cw->visible() || (cw->style & WS_DISABLED) || !ContainsPoint(*cw, screen)) continue;
        if (std::find(skip.begin(), skip.end(), c) != skip.end()) continue;
        next = c;
        break;
      }
      if (!next) break;
      found = next;
    }
    return found;
  }
  return nullptr;
}

namespace {

// Hit-tests through WM_NCHITTEST; windows answering HTTRANSPARENT let the
// point through to what lies below.
HWND HitTest(POINT screen, LRESULT* hit) {
  std::vector<HWND> skip;
  for (int attempt = 0; attempt < 16; ++attempt) {
    HWND target;
    bool blocked;
    {
      WindowGuard guard(WindowLock());
      target = WindowAtLocked(screen, skip, &blocked);
    }
    if (!target) {
      *hit = HTNOWHERE;
      return nullptr;
    }
    *hit = SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    if (*hit != HTTRANSPARENT) return target;
    skip.push_back(target);
  }
  *hit = HTNOWHERE;
  return nullptr;
}

void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { PostMessage(hwnd, msg, wParam, lParam); }

HWND KeyboardTarget() {
  WindowGuard guard(WindowLock());
  InputState& in = Input();
  if (in.focus && LookupQuiet(in.focus)) return in.focus;
  if (in.active && LookupQuiet(in.active)) return in.active;
  return nullptr;
}

void UpdateHover(HWND hovered, LRESULT hit) {
  HWND leave = nullptr;
  {
    WindowGuard guard(WindowLock());
    InputState& in = Input();
    in.hover = hovered;
    g_hover_hit = hit;
    if (in.tracking && (in.tracking != hovered || hit != HTCLIENT)) {
      leave = in.tracking;
      in.tracking = nullptr;
    }
  }
  if (leave) PostMessage(leave, WM_MOUSELEAVE, 0, 0);
}

// The drag state is shared with ForgetWindowInputLocked: read and written
// under the window lock, used outside it.
DragState CurrentDrag() {
  WindowGuard guard(WindowLock());
  return g_drag;
}

void ApplyDrag(POINT pt) {
  const DragState drag = CurrentDrag();
  const int dx = pt.x - drag.start.x;
  const int dy = pt.y - drag.start.y;
  RECT r = drag.start_rect;
  if (drag.hit == HTCAPTION) {
    SetWindowPos(drag.hwnd, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const LRESULT h = drag.hit;
  if (h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT) r.left += dx;
  if (h == HTRIGHT || h == HTTOPRIGHT || h == HTBOTTOMRIGHT) r.right += dx;
  if (h == HTTOP || h == HTTOPLEFT || h == HTTOPRIGHT) r.top += dy;
  if (h == HTBOTTOM || h == HTBOTTOMLEFT || h == HTBOTTOMRIGHT) r.bottom += dy;
  const int min_size = GetSystemMetrics(SM_CXMIN);
  if (r.right - r.left < min_size) {
    if (h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT)
      r.left = r.right - min_size;
    else
      r.right = r.left + min_size;
  }
  if (r.bottom - r.top < min_size) {
    if (h == HTTOP || h == HTTOPLEFT || h == HTTOPRIGHT)
      r.top = r.bottom - min_size;
    else
      r.bottom = r.top + min_size;
  }
  SendMessage(drag.hwnd, WM_SIZING, static_cast<WPARAM>(h - HTLEFT + WMSZ_LEFT), reinterpret_cast<LPARAM>(&r));
  SetWindowPos(drag.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void EndDrag() {
  HWND h;
  {
    WindowGuard guard(WindowLock());
    h = g_drag.hwnd;
    g_drag = DragState{};
  }
  if (h) SendMessage(h, WM_EXITSIZEMOVE, 0, 0);
}

void SetKey(UINT vk, bool down) {
  KeyTable& k = Keys();
  std::lock_guard lock(k.mutex);
  BYTE& b = k.keys[vk & 0xFF];
  if (down && !(b & 0x80) && (vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL)) b ^= 0x01;
  b = down ? (b | 0x80) : (b & ~0x80);
  // The side-specific keys drive the generic ones and the other way round.
  auto generic = [&](UINT g, UINT l, UINT r) {
    if (vk == l || vk == r) {
      const bool any = (k.keys[l] | k.keys[r]) & 0x80;
      k.keys[g] = any ? (k.keys[g] | 0x80) : (k.keys[g] & ~0x80);
    }
  };
  generic(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  generic(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  generic(VK_MENU, VK_LMENU, VK_RMENU);
}

void HandleMouse(const RawInput& in) {
  const POINT pt = in.point;
  Input().set_cursor(pt);
  static constexpr UINT kVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  const int button = std::clamp(in.button, 0, 2);
  const bool is_down = in.kind == RawInput::Kind::ButtonDown;
  const bool is_up = in.kind == RawInput::Kind::ButtonUp;
  if (is_down || is_up) SetKey(kVk[button], is_down);

  HWND dragging;
  {
    WindowGuard guard(WindowLock());
    if (g_drag.hwnd && !LookupQuiet(g_drag.hwnd)) g_drag = DragState{};
    dragging = g_drag.hwnd;
  }
  if (dragging) {
    if (in.kind == RawInput::Kind::MouseMove) ApplyDrag(pt);
    if (is_up && button == 0) EndDrag();
    return;
  }

  LRESULT hit = HTNOWHERE;
  HWND under = HitTest(pt, &hit);
  UpdateHover(under, hit);

  HWND capture;
  {
    WindowGuard guard(WindowLock());
    capture = Input().capture;
    if (capture && !LookupQuiet(capture)) capture = Input().capture = nullptr;
  }
  HWND target = capture ? capture : under;
  if (capture) hit = HTCLIENT;
  if (!target) return;

  UINT msg;
  static constexpr UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr UINT kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  static constexpr UINT kDbl[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
  if (is_down)
    msg = kDown[button];
  else if (is_up)
    msg = kUp[button];
  else
    msg = WM_MOUSEMOVE;

  if (!capture && (msg == WM_MOUSEMOVE || is_down))
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));

  if (is_down) {
    HWND root = GetAncestor(target, GA_ROOT);
    const bool no_activate = GetWindowLongPtr(root, GWL_EXSTYLE) & WS_EX_NOACTIVATE;
    if (root && !no_activate && GetActiveWindow() != root) ActivateTopLevel(root, WA_CLICKACTIVE);
    // Double clicks: same window and button, within the time and distance.
    const DWORD now = GetTickCount();
    bool dbl_style;
    {
      WindowGuard guard(WindowLock());
      WindowObject* w = LookupQuiet(target);
      dbl_style = w && (w->cls->wc.style & CS_DBLCLKS);
    }
    const bool client = hit == HTCLIENT;
    const bool near = std::abs(pt.x - g_last_click.point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                      std::abs(pt.y - g_last_click.point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (g_last_click.hwnd == target && g_last_click.button == button && g_last_click.client == client &&
        now - g_last_click.time <= GetDoubleClickTime() && near && (dbl_style || !client)) {
      msg = kDbl[button];
      g_last_click = ClickState{};
    } else {
      g_last_click = ClickState{target, button, now, pt, client};
    }
  }

  if (hit == HTCLIENT) {
    POINT c = pt;
    ScreenToClient(target, &c);
    PostInput(target, msg, MouseKeyFlags(), MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y)));
  } else {
    // Non-client messages carry the hit code and screen coordinates.
    const UINT nc = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    PostInput(target, nc, static_cast<WPARAM>(hit), MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
  }
}

void HandleKey(const RawInput& in) {
  const UINT vk = in.vk & 0xFF;
  const bool down = in.kind == RawInput::Kind::KeyDown;
  const bool was_down = KeyDown(vk);
  SetKey(vk, down);
  HWND target = KeyboardTarget();
  if (!target) return;
  const bool alt = KeyDown(VK_MENU);
  const bool ctrl = KeyDown(VK_CONTROL);
  const bool sys = (alt && !ctrl) || vk == VK_F10 || vk == VK_MENU;
  LPARAM lp = 1;  // repeat count
  if (alt) lp |= LPARAM{1} << 29;
  if (was_down) lp |= LPARAM{1} << 30;
  if (!down) lp |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
  lp = static_cast<LPARAM>(static_cast<std::uint32_t>(lp));
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  PostInput(target, msg, vk, lp);
}

// UTF-8 to code points; malformed bytes become U+FFFD.
std::vector<std::uint32_t> CodePoints(const std::string& s) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::uint32_t cp = len == 1 ? c : c & (0x7F >> len);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      ok = ok && (cc >> 6) == 2;
      cp = (cp << 6) | (cc & 0x3F);
    }
    out.push_back(ok ? cp : 0xFFFD);
    i += ok ? len : 1;
  }
  return out;
}

void HandleRaw(const RawInput& in) {
  switch (in.kind) {
    case RawInput::Kind::KeyDown:
    case RawInput::Kind::KeyUp:
      HandleKey(in);
      break;
    case RawInput::Kind::Text:
      if (HWND target = KeyboardTarget())
        for (std::uint32_t cp : CodePoints(in.text)) PostInput(target, WM_CHAR, cp, 1);
      break;
    case RawInput::Kind::MouseMove:
    case RawInput::Kind::ButtonDown:
    case RawInput::Kind::ButtonUp:
      HandleMouse(in);
      break;
    case RawInput::Kind::Wheel: {
      Input().set_cursor(in.point);
      if (HWND target = KeyboardTarget())
        PostInput(target, WM_MOUSEWHEEL,
                  MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(static_cast<SHORT>(in.wheel_delta))),
                  MAKELPARAM(static_cast<WORD>(in.point.x), static_cast<WORD>(in.point.y)));
      break;
    }
    case RawInput::Kind::AppCommand:
      if (HWND target = KeyboardTarget())
        PostInput(target, WM_APPCOMMAND, reinterpret_cast<WPARAM>(target),
                  MAKELPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(in.app_command & 0x0FFF)));
      break;
  }
}

}  // namespace

InputState& Input() {
  static InputState state;
  return state;
}

DWORD DisplayThreadId() {
  DisplayState& d = Display();
  std::lock_guard lock(d.mutex);
  return d.thread_id;
}

bool HasRawInput() {
  DisplayState& d = Display();
  std::lock_guard lock(d.mutex);
  return !d.raw.empty();
}

bool ProcessRawInput() {
  RawInput in;
  {
    DisplayState& d = Display();
    std::lock_guard lock(d.mutex);
    if (d.raw.empty()) return false;
    in = std::move(d.raw.front());
    d.raw.pop_front();
  }
  HandleRaw(in);
  return true;
}

void ForgetWindowInputLocked(HWND hwnd, bool destroying, std::vector<PendingSend>& notify) {
  InputState& in = Input();
  auto inside = [&](HWND h) { return h && (h == hwnd || IsChild(hwnd, h)); };
  if (inside(in.focus)) {
    if (!destroying || in.focus != hwnd) notify.push_back({in.focus, WM_KILLFOCUS, 0, 0});
    in.focus = nullptr;
  }
  if (inside(in.capture)) {
    notify.push_back({in.capture, WM_CAPTURECHANGED, 0, 0});
    in.capture = nullptr;
  }
  if (inside(in.tracking)) in.tracking = nullptr;
  if (inside(in.hover)) in.hover = nullptr;
  if (destroying && in.active == hwnd) in.active = nullptr;
  if (g_drag.hwnd == hwnd) g_drag = DragState{};
}

void BeginSizeMove(HWND hwnd, LRESULT hit) {
  const bool sizing = hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
  if (hit != HTCAPTION && !sizing) return;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!root || IsZoomed(root) || IsIconic(root) || !KeyDown(VK_LBUTTON)) return;
  if (DWORD display = DisplayThreadId(); display && display != GetCurrentThreadId()) return;
  DragState d;
  d.hwnd = root;
  d.hit = hit;
  GetCursorPos(&d.start);
  GetWindowRect(root, &d.start_rect);
  {
    WindowGuard guard(WindowLock());
    g_drag = d;
  }
  SendMessage(root, WM_ENTERSIZEMOVE, 0, 0);
}

void ActivateTopLevel(HWND top, WORD how) {
  HWND old;
  {
    WindowGuard guard(WindowLock());
    InputState& in = Input();
    old = in.active;
    if (old == top) return;
    if (top && !LookupQuiet(top)) return;
    in.active = top;
    if (old && !LookupQuiet(old)) old = nullptr;
  }
  if (top) {
    // The activated window comes to the front of its band.
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (old) SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
  if (top) {
    SendMessage(top, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(top) ? 1 : 0), reinterpret_cast<LPARAM>(old));
  } else {
    SetFocus(nullptr);
  }
}

void ActivateNextTopLevel(HWND leaving) {
  HWND next = nullptr;
  {
    WindowGuard guard(WindowLock());
    for (HWND h : TopLevels()) {
      WindowObject* w = LookupQuiet(h);
      if (!w || h == leaving || !w->visible() || (w->style & (WS_MINIMIZE | WS_DISABLED)) ||
          (w->ex_style & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)) || w->destroying)
        continue;
      next = h;
      break;
    }
  }
  ActivateTopLevel(next, WA_ACTIVE);
}

}  // namespace win

using win::WindowGuard;
using win::WindowLock;
using namespace win;

void AttachDisplay(DisplayLink* link) {
  DisplayState& d = Display();
  std::lock_guard lock(d.mutex);
  d.link = link;
  d.thread_id = link ? GetCurrentThreadId() : 0;
  if (!link) d.raw.clear();
}

DisplayLink* AttachedDisplay() {
  DisplayState& d = Display();
  std::lock_guard lock(d.mutex);
  return d.link;
}

DWORD DisplayThread() { return DisplayThreadId(); }

void WakeDisplayThread() {
  if (auto q = QueueOfThread(DisplayThreadId())) q->waker->wake();
}

void SubmitRawInput(RawInput input) {
  DisplayState& d = Display();
  DWORD thread;
  {
    std::lock_guard lock(d.mutex);
    if (!d.link) return;  // no display: input has nowhere to go
    d.raw.push_back(std::move(input));
    thread = d.thread_id;
  }
  if (auto q = QueueOfThread(thread)) q->waker->wake();
}

void InjectKeyDown(UINT vk) {
  RawInput in;
  in.kind = RawInput::Kind::KeyDown;
  in.vk = vk;
  SubmitRawInput(std::move(in));
}

void InjectKeyUp(UINT vk) {
  RawInput in;
  in.kind = RawInput::Kind::KeyUp;
  in.vk = vk;
  SubmitRawInput(std::move(in));
}

void InjectKey(UINT vk) {
  InjectKeyDown(vk);
  InjectKeyUp(vk);
}

void InjectText(const std::string& utf8) {
  RawInput in;
  in.kind = RawInput::Kind::Text;
  in.text = utf8;
  SubmitRawInput(std::move(in));
}

void InjectMouseMove(int x, int y) {
  RawInput in;
  in.kind = RawInput::Kind::MouseMove;
  in.point = POINT{x, y};
  SubmitRawInput(std::move(in));
}

void InjectMouseButton(int button, bool down, int x, int y) {
  RawInput in;
  in.kind = down ? RawInput::Kind::ButtonDown : RawInput::Kind::ButtonUp;
  in.button = button;
  in.point = POINT{x, y};
  SubmitRawInput(std::move(in));
}

void InjectClick(int x, int y, int button) {
  InjectMouseButton(button, true, x, y);
  InjectMouseButton(button, false, x, y);
}

void InjectWheel(int delta, int x, int y) {
  RawInput in;
  in.kind = RawInput::Kind::Wheel;
  in.wheel_delta = delta;
  in.point = POINT{x, y};
  SubmitRawInput(std::move(in));
}

void InjectAppCommand(int command) {
  RawInput in;
  in.kind = RawInput::Kind::AppCommand;
  in.app_command = command;
  SubmitRawInput(std::move(in));
}

// ---- focus, activation, capture, tracking ---------------------------------

HWND SetFocus(HWND hwnd) {
  HWND old;
  if (hwnd) {
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!root) return nullptr;
    if (IsIconic(root)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    if (GetActiveWindow() != root && !(GetWindowLongPtr(root, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
      ActivateTopLevel(root, WA_ACTIVE);
  }
  {
    WindowGuard guard(WindowLock());
    InputState& in = Input();
    old = in.focus;
    if (old && !LookupQuiet(old)) old = nullptr;
    if (old == hwnd) return old;
    if (hwnd && !LookupQuiet(hwnd)) return nullptr;
    in.focus = hwnd;
  }
  if (old) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && GetFocus() == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  WindowGuard guard(WindowLock());
  HWND f = Input().focus;
  return f && LookupQuiet(f) ? f : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  HWND old = GetActiveWindow();
  HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  if (hwnd && !root) return nullptr;
  ActivateTopLevel(root, WA_ACTIVE);
  return old;
}

HWND GetActiveWindow() {
  WindowGuard guard(WindowLock());
  HWND a = Input().active;
  return a && LookupQuiet(a) ? a : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!root) return FALSE;
  ActivateTopLevel(root, WA_ACTIVE);
  return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND SetCapture(HWND hwnd) {
  HWND old;
  {
    WindowGuard guard(WindowLock());
    if (hwnd && !Lookup(hwnd)) return nullptr;
    InputState& in = Input();
    old = in.capture;
    if (old && !LookupQuiet(old)) old = nullptr;
    in.capture = hwnd;
  }
  if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  HWND old;
  {
    WindowGuard guard(WindowLock());
    InputState& in = Input();
    old = in.capture;
    in.capture = nullptr;
    if (old && !LookupQuiet(old)) old = nullptr;
  }
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  WindowGuard guard(WindowLock());
  HWND c = Input().capture;
  return c && LookupQuiet(c) ? c : nullptr;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool leave_now = false;
  {
    WindowGuard guard(WindowLock());
    InputState& in = Input();
    if (tme->dwFlags & TME_QUERY) {
      tme->dwFlags = in.tracking ? TME_LEAVE : 0;
      tme->hwndTrack = in.tracking;
      return TRUE;
    }
    if (!Lookup(tme->hwndTrack)) return FALSE;
    if (!(tme->dwFlags & TME_LEAVE)) return TRUE;
    if (tme->dwFlags & TME_CANCEL) {
      if (in.tracking == tme->hwndTrack) in.tracking = nullptr;
      return TRUE;
    }
    if (in.hover == tme->hwndTrack && g_hover_hit == HTCLIENT)
      in.tracking = tme->hwndTrack;
    else
      leave_now = true;  // the cursor is not over it: the leave comes at once
  }
  if (leave_now) PostMessage(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
  return TRUE;
}

// ---- cursor ------------------------------------------------------------------

namespace {
constexpr std::uintptr_t kCursorTag = 0x7C000000;
constexpr int kCursorIds[] = {32512, 32513, 32514, 32515, 32642, 32643, 32644, 32645, 32646, 32649};

void CursorChanged() {
  if (DisplayLink* link = AttachedDisplay()) link->cursor_changed();
}
}  // namespace

HCURSOR LoadCursor(HINSTANCE instance, const char* name) {
  if (instance || !IS_INTRESOURCE(name)) {
    SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND: no cursor resources
    return nullptr;
  }
  const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
  for (int known : kCursorIds)
    if (known == id) return reinterpret_cast<HCURSOR>(kCursorTag | static_cast<std::uintptr_t>(id));
  SetLastError(1813);
  return nullptr;
}

int CursorShapeId(HCURSOR cursor) {
  const auto v = reinterpret_cast<std::uintptr_t>(cursor);
  return (v & ~std::uintptr_t{0xFFFF}) == kCursorTag ? static_cast<int>(v & 0xFFFF) : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old;
  {
    CursorState& c = Cursor();
    std::lock_guard lock(c.mutex);
    old = c.cursor;
    c.cursor = cursor;
  }
  if (old != cursor) CursorChanged();
  return old;
}

HCURSOR GetCursor() {
  CursorState& c = Cursor();
  std::lock_guard lock(c.mutex);
  return c.cursor;
}

int ShowCursor(BOOL show) {
  int count;
  bool changed;
  {
    CursorState& c = Cursor();
    std::lock_guard lock(c.mutex);
    const bool before = c.count >= 0;
    c.count += show ? 1 : -1;
    count = c.count;
    changed = before != (c.count >= 0);
  }
  if (changed) CursorChanged();
  return count;
}

bool IsCursorShown() {
  CursorState& c = Cursor();
  std::lock_guard lock(c.mutex);
  return c.count >= 0 && c.cursor != nullptr;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = Input().get_cursor();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  const SIZE s = ScreenSize();
  x = std::clamp(x, 0, std::max(0, static_cast<int>(s.cx) - 1));
  y = std::clamp(y, 0, std::max(0, static_cast<int>(s.cy) - 1));
  Input().set_cursor(POINT{x, y});
  // Moving the cursor is a mouse move for the windows under it.
  InjectMouseMove(x, y);
  return TRUE;
}

SHORT GetKeyState(int vk) {
  KeyTable& k = Keys();
  std::lock_guard lock(k.mutex);
  const BYTE b = k.keys[static_cast<unsigned>(vk) & 0xFF];
  return static_cast<SHORT>(((b & 0x80) ? 0x8000 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
  KeyTable& k = Keys();
  std::lock_guard lock(k.mutex);
  return static_cast<SHORT>((k.keys[static_cast<unsigned>(vk) & 0xFF] & 0x80) ? 0x8000 : 0);
}

}  // namespace plat

namespace plat {

HWND WindowFromPoint(POINT screen_point) {
  WindowGuard guard(WindowLock());
  bool blocked = false;
  return win::WindowAtLocked(screen_point, {}, &blocked);
}

}  // namespace plat
