// Placement, size, z-order, visibility and state of windows, coordinates and
// window regions.
#include <algorithm>

#include "platform/sys/last_error.h"
#include "platform/win/internal.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "platform/win/window_ops.h"

namespace plat {
namespace win {

namespace {

RECT WorkArea(const WindowObject& w) {
  if (w.is_child()) {
    if (WindowObject* p = LookupQuiet(w.parent)) return RECT{0, 0, p->width(), p->height()};
  }
  SIZE s = ScreenSize();
  return RECT{0, 0, s.cx, s.cy};
}

struct Change {
  bool moved = false;
  bool sized = false;
  bool shown = false;
  bool hidden = false;
  bool zorder = false;
};

// Applies a new rectangle under the lock: repaint, damage, surface.
void ApplyRectLocked(WindowObject& w, const RECT& r, Change& c) {
  if (r == w.rect) return;
  const bool sized = (r.right - r.left) != w.width() || (r.bottom - r.top) != w.height();
  const bool moved = r.left != w.rect.left || r.top != w.rect.top;
  const bool on_screen = ReallyVisible(w);
  if (on_screen) DamageWindowArea(w, nullptr);
  const RECT old_client{0, 0, w.width(), w.height()};
  w.rect = r;
  if (sized) {
    if (w.surface) EnsureSurface(w);
    Region newly = Region(RECT{0, 0, w.width(), w.height()});
    const UINT cls_style = w.cls->wc.style;
    const bool redraw_all = ((cls_style & CS_HREDRAW) && old_client.right != w.width()) ||
                            ((cls_style & CS_VREDRAW) && old_client.bottom != w.height());
    if (!redraw_all) newly = newly.subtracted(Region(old_client));
    if (w.update.intersects(RECT{0, 0, w.width(), w.height()}) || !w.update.empty())
      SetUpdateRegionLocked(w, w.update.intersected(Region(RECT{0, 0, w.width(), w.height()})));
    if (!newly.empty()) InvalidateLocked(w, newly, true);
  }
  if (on_screen) DamageWindowArea(w, nullptr);
  c.moved = c.moved || moved;
  c.sized = c.sized || sized;
}

void SetVisibleLocked(WindowObject& w, bool visible, Change& c) {
  if (w.visible() == visible) return;
  if (visible) {
    w.style |= WS_VISIBLE;
    if (ReallyVisible(w)) {
      DamageWindowArea(w, nullptr);
      InvalidateLocked(w, Region(RECT{0, 0, w.width(), w.height()}), true);
      // Children that were waiting for their parent paint too.
      std::vector<HWND> stack(w.children);
      while (!stack.empty()) {
        WindowObject* ch = LookupQuiet(stack.back());
        stack.pop_back();
        if (!ch || !ch->visible()) continue;
        InvalidateLocked(*ch, Region(RECT{0, 0, ch->width(), ch->height()}), true);
        stack.insert(stack.end(), ch->children.begin(), ch->children.end());
      }
    }
    c.shown = true;
  } else {
    if (ReallyVisible(w)) DamageWindowArea(w, nullptr);
    w.style &= ~WS_VISIBLE;
    c.hidden = true;
  }
}

void Notify(HWND hwnd, const Change& c, bool top_level) {
  std::vector<PendingSend> sends;
  if (c.hidden) {
    WindowGuard guard(WindowLock());
    ForgetWindowInputLocked(hwnd, false, sends);
  }
  SendAll(sends);
  RECT r{};
  DWORD style = 0;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = LookupQuiet(hwnd);
    if (!w) return;
    r = w->rect;
    style = w->style;
  }
  if (c.moved) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(r.left), static_cast<WORD>(r.top)));
  if (c.sized && !(style & WS_MINIMIZE)) {
    const WPARAM kind = (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessage(hwnd, WM_SIZE, kind,
                MAKELPARAM(static_cast<WORD>(r.right - r.left), static_cast<WORD>(r.bottom - r.top)));
  }
  if (c.hidden && top_level && GetActiveWindow() == hwnd) ActivateNextTopLevel(hwnd);
  if (top_level && (c.moved || c.sized || c.shown || c.hidden || c.zorder))
    if (DisplayLink* link = AttachedDisplay()) link->top_level_changed(hwnd);
}

}  // namespace

BOOL ShowWindowImpl(HWND hwnd, int cmd, bool state_only) {
  bool was_visible;
  bool top_level;
  DWORD ex_style;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    was_visible = w->visible();
    top_level = !w->is_child();
    ex_style = w->ex_style;
  }
  bool show = was_visible;
  bool activate = false;
  enum class State { Keep, Normal, Min, Max } state = State::Keep;
  switch (cmd) {
    case SW_HIDE: show = false; break;
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT: show = true; activate = true; state = State::Normal; break;
    case SW_RESTORE:
      show = true;
      activate = true;
      state = State::Normal;
      {
        WindowGuard guard(WindowLock());
        WindowObject* w = LookupQuiet(hwnd);
        if (w && (w->style & WS_MINIMIZE) && w->restore_maximized) state = State::Max;
      }
      break;
    case SW_SHOWMINIMIZED: show = true; state = State::Min; break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: state = State::Min; show = was_visible || cmd == SW_SHOWMINNOACTIVE; break;
    case SW_SHOWMAXIMIZED: show = true; activate = true; state = State::Max; break;
    case SW_SHOWNOACTIVATE: show = true; state = State::Normal; break;
    case SW_SHOW: show = true; activate = true; break;
    case SW_SHOWNA: show = true; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  if (state_only) show = was_visible;
  if (cmd == SW_MINIMIZE) show = was_visible;
  if (!top_level || (ex_style & WS_EX_NOACTIVATE)) activate = false;

  if (show != was_visible) SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);

  Change c;
  WPARAM size_kind = SIZE_RESTORED;
  bool send_size = false;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = LookupQuiet(hwnd);
    if (!w) return was_visible;
    const bool was_min = w->style & WS_MINIMIZE;
    const bool was_max = w->style & WS_MAXIMIZE;
    switch (state) {
      case State::Keep: break;
      case State::Normal:
        if (was_min || was_max) {
          w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
          ApplyRectLocked(*w, w->normal_rect, c);
          if (was_min) {
            c.shown = true;
            DamageWindowArea(*w, nullptr);
            InvalidateLocked(*w, Region(RECT{0, 0, w->width(), w->height()}), true);
          }
          send_size = true;
          size_kind = SIZE_RESTORED;
        }
        break;
      case State::Min:
        if (!was_min) {
          if (!was_max) w->normal_rect = w->rect;
          w->restore_maximized = was_max;
          DamageWindowArea(*w, nullptr);
          w->style |= WS_MINIMIZE;
          w->style &= ~WS_MAXIMIZE;
          send_size = true;
          size_kind = SIZE_MINIMIZED;
          c.hidden = true;
        }
        break;
      case State::Max:
        if (!was_max || was_min) {
          if (!was_max && !was_min) w->normal_rect = w->rect;
          w->style &= ~WS_MINIMIZE;
          w->style |= WS_MAXIMIZE;
          ApplyRectLocked(*w, WorkArea(*w), c);
          if (was_min) {
            DamageWindowArea(*w, nullptr);
            InvalidateLocked(*w, Region(RECT{0, 0, w->width(), w->height()}), true);
          }
          send_size = true;
          size_kind = SIZE_MAXIMIZED;
        }
        break;
    }
    SetVisibleLocked(*w, show, c);
  }
  if (send_size) c.sized = false;  // the WM_SIZE below carries the state
  Notify(hwnd, c, top_level);
  if (send_size && IsWindow(hwnd)) {
    RECT r;
    GetClientRect(hwnd, &r);
    LPARAM lp = size_kind == SIZE_MINIMIZED ? 0 : MAKELPARAM(static_cast<WORD>(r.right), static_cast<WORD>(r.bottom));
    SendMessage(hwnd, WM_SIZE, size_kind, lp);
    if (top_level)
      if (DisplayLink* link = AttachedDisplay()) link->top_level_changed(hwnd);
  }
  if (state == State::Min && top_level && GetActiveWindow() == hwnd) ActivateNextTopLevel(hwnd);
  if (activate && show && state != State::Min && IsWindow(hwnd)) ActivateTopLevel(hwnd, WA_ACTIVE);
  return was_visible ? TRUE : FALSE;
}

}  // namespace win

using namespace win;

SIZE win::ScreenSize() {
  if (DisplayLink* link = AttachedDisplay()) return link->screen_size();
  return SIZE{1920, 1080};
}

BOOL ShowWindow(HWND hwnd, int cmd) { return ShowWindowImpl(hwnd, cmd, false); }

BOOL IsWindowVisible(HWND hwnd) {
  if (hwnd == DesktopHandle()) return TRUE;
  WindowGuard guard(WindowLock());
  WindowObject* w = LookupQuiet(hwnd);
  while (w) {
    if (!w->visible()) return FALSE;
    if (!w->is_child()) return TRUE;
    w = LookupQuiet(w->parent);
  }
  return FALSE;
}

BOOL IsIconic(HWND hwnd) {
  WindowGuard guard(WindowLock());
  WindowObject* w = LookupQuiet(hwnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  WindowGuard guard(WindowLock());
  WindowObject* w = LookupQuiet(hwnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  Change c;
  bool top_level;
  bool activate = false;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    top_level = !w->is_child();
    if (!(flags & SWP_NOZORDER)) {
      if (top_level && insert_after == HWND_TOPMOST) w->ex_style |= WS_EX_TOPMOST;
      if (top_level && insert_after == HWND_NOTOPMOST) w->ex_style &= ~WS_EX_TOPMOST;
      // Inserting behind a topmost window makes a window topmost, behind a
      // normal one takes it out of the topmost band.
      if (top_level && insert_after && insert_after != HWND_BOTTOM && insert_after != HWND_TOPMOST &&
          insert_after != HWND_NOTOPMOST) {
        if (WindowObject* a = LookupQuiet(insert_after)) {
          if (a->ex_style & WS_EX_TOPMOST)
            w->ex_style |= WS_EX_TOPMOST;
          else
            w->ex_style &= ~WS_EX_TOPMOST;
        }
      }
      if (top_level && insert_after == HWND_BOTTOM) w->ex_style &= ~WS_EX_TOPMOST;
      PlaceInSiblings(*w, insert_after);
      if (ReallyVisible(*w)) DamageWindowArea(*w, nullptr);
      c.zorder = true;
    }
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
      r.right = x + (r.right - r.left);
      r.bottom = y + (r.bottom - r.top);
      r.left = x;
      r.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
      r.right = r.left + std::max(0, cx);
      r.bottom = r.top + std::max(0, cy);
    }
    if (!(w->style & WS_MINIMIZE)) ApplyRectLocked(*w, r, c);
    if (w->style & WS_MINIMIZE) w->normal_rect = r;
    if (flags & SWP_SHOWWINDOW) SetVisibleLocked(*w, true, c);
    if (flags & SWP_HIDEWINDOW) SetVisibleLocked(*w, false, c);
    if ((flags & SWP_FRAMECHANGED) && ReallyVisible(*w))
      InvalidateLocked(*w, Region(RECT{0, 0, w->width(), w->height()}), true);
    activate = top_level && !(flags & SWP_NOACTIVATE) && w->visible() && !(w->ex_style & WS_EX_NOACTIVATE) &&
               !(flags & SWP_HIDEWINDOW);
  }
  Notify(hwnd, c, top_level);
  if (activate && IsWindow(hwnd) && GetActiveWindow() != hwnd && (c.shown || !(flags & SWP_NOZORDER)))
    ActivateTopLevel(hwnd, WA_ACTIVE);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
  if (!wp) return FALSE;
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return FALSE;
  wp->length = sizeof(WINDOWPLACEMENT);
  wp->flags = w->restore_maximized && (w->style & WS_MINIMIZE) ? WPF_RESTORETOMAXIMIZED : 0;
  if (w->style & WS_MINIMIZE)
    wp->showCmd = SW_SHOWMINIMIZED;
  else if (w->style & WS_MAXIMIZE)
    wp->showCmd = SW_SHOWMAXIMIZED;
  else
    wp->showCmd = SW_SHOWNORMAL;
  wp->ptMinPosition = POINT{-1, -1};
  wp->ptMaxPosition = POINT{-1, -1};
  wp->rcNormalPosition = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->normal_rect : w->rect;
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
  if (!wp) return FALSE;
  bool normal;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    w->normal_rect = wp->rcNormalPosition;
    if (wp->flags & WPF_RESTORETOMAXIMIZED) w->restore_maximized = true;
    normal = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
  }
  if (normal) {
    const RECT& r = wp->rcNormalPosition;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (IsWindowVisible(hwnd) || wp->showCmd != SW_SHOWNORMAL) ShowWindow(hwnd, static_cast<int>(wp->showCmd));
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  if (!rect) return FALSE;
  if (hwnd == DesktopHandle()) {
    SIZE s = ScreenSize();
    *rect = RECT{0, 0, s.cx, s.cy};
    return TRUE;
  }
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return FALSE;
  *rect = RECT{0, 0, w->width(), w->height()};
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  if (!rect) return FALSE;
  if (hwnd == DesktopHandle()) return GetClientRect(hwnd, rect);
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return FALSE;
  *rect = ScreenRect(*w);
  return TRUE;
}

namespace {

bool OriginOf(HWND hwnd, POINT* origin) {
  if (!hwnd || hwnd == DesktopHandle()) {
    *origin = POINT{0, 0};
    return true;
  }
  WindowObject* w = Lookup(hwnd);
  if (!w) return false;
  *origin = ScreenOrigin(*w);
  return true;
}

}  // namespace

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  if (!point) return FALSE;
  WindowGuard guard(WindowLock());
  POINT o;
  if (!OriginOf(hwnd, &o)) return FALSE;
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  if (!point) return FALSE;
  WindowGuard guard(WindowLock());
  POINT o;
  if (!OriginOf(hwnd, &o)) return FALSE;
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  WindowGuard guard(WindowLock());
  POINT a, b;
  if (!OriginOf(from, &a) || !OriginOf(to, &b)) return 0;
  const int dx = a.x - b.x;
  const int dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

int SetWindowRegion(HWND hwnd, const Region* region, BOOL redraw) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return 0;
  if (ReallyVisible(*w)) DamageWindowArea(*w, nullptr);
  if (region)
    w->shape = *region;
  else
    w->shape.reset();
  if (redraw && ReallyVisible(*w)) InvalidateLocked(*w, Region(RECT{0, 0, w->width(), w->height()}), true);
  return 1;
}

int GetWindowRegion(HWND hwnd, Region* out) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w || !w->shape || !out) return 0;
  *out = *w->shape;
  return out->empty() ? 1 : (out->rects().size() == 1 ? 2 : 3);  // NULLREGION, SIMPLEREGION, COMPLEXREGION
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  bool was_disabled;
  std::vector<PendingSend> sends;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    was_disabled = w->style & WS_DISABLED;
    if (enable)
      w->style &= ~WS_DISABLED;
    else
      w->style |= WS_DISABLED;
    if (!enable && !was_disabled) {
      // A disabled window loses the focus and the capture.
      InputState& in = Input();
      if (in.focus && (in.focus == hwnd || IsChild(hwnd, in.focus))) {
        sends.push_back({in.focus, WM_KILLFOCUS, 0, 0});
        in.focus = nullptr;
      }
      if (in.capture == hwnd) {
        sends.push_back({hwnd, WM_CAPTURECHANGED, 0, 0});
        in.capture = nullptr;
      }
    }
  }
  SendAll(sends);
  const bool changed = was_disabled == static_cast<bool>(enable);
  if (changed) SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return was_disabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

}  // namespace plat
