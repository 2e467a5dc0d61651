// Update regions, WM_PAINT support, device contexts on window surfaces,
// screen damage and the layers the compositor draws.
#include <algorithm>

#include "platform/sys/last_error.h"
#include "platform/win/internal.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/region_object.h"

namespace plat {
namespace win {

struct DamageState {
  std::mutex mutex;
  Region damage;
};

DamageState& Damage() {
  static DamageState state;
  return state;
}

namespace {

// DCs handed out for windows, with the window area they may have drawn on.
struct DcRecord {
  HWND hwnd = nullptr;
  Region area;  // window coordinates
};
std::unordered_map<HDC, DcRecord>& DcRecords() {
  static std::unordered_map<HDC, DcRecord> records;
  return records;
}

Region ClientClip(const WindowObject& w) {
  Region clip(RECT{0, 0, w.width(), w.height()});
  if (w.shape) clip = clip.intersected(*w.shape);
  return clip;
}

HDC MakeDc(const SurfacePtr& surface, const Region& clip) { return CreateSurfaceDC(surface, POINT{0, 0}, clip); }

void FreeDc(HDC hdc) {
  if (hdc) DeleteDC(hdc);
}

HDC WindowDc(HWND hwnd, const Region* area_override) {
  if (!hwnd) {
    // The screen DC: for measuring; what is drawn into it is not shown.
    static SurfacePtr scratch = std::make_shared<Surface>(1, 1);
    return MakeDc(scratch, Region(RECT{0, 0, 1, 1}));
  }
  SurfacePtr surface;
  Region clip;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return nullptr;
    EnsureSurface(*w);
    surface = w->surface;
    clip = area_override ? area_override->intersected(ClientClip(*w)) : ClientClip(*w);
  }
  HDC hdc = MakeDc(surface, clip);
  if (hdc) {
    WindowGuard guard(WindowLock());
    DcRecords()[hdc] = DcRecord{hwnd, clip};
  }
  return hdc;
}

bool ReleaseWindowDc(HDC hdc) {
  if (!hdc) return false;
  {
    WindowGuard guard(WindowLock());
    auto it = DcRecords().find(hdc);
    if (it == DcRecords().end()) return false;
    if (WindowObject* w = LookupQuiet(it->second.hwnd))
      if (ReallyVisible(*w)) DamageWindowArea(*w, &it->second.area);
    DcRecords().erase(it);
  }
  FreeDc(hdc);
  return true;
}

}  // namespace

void SetUpdateRegionLocked(WindowObject& w, Region region) {
  const bool was = !w.update.empty();
  w.update = std::move(region);
  const bool now = !w.update.empty();
  if (!now) w.erase_pending = false;
  if (was != now) {
    w.queue->paint_count += now ? 1 : -1;
    if (now) w.queue->waker->wake();
  }
}

void InvalidateLocked(WindowObject& w, const Region& client_region, bool erase) {
  if (!ReallyVisible(w)) return;
  Region r = client_region.intersected(Region(RECT{0, 0, w.width(), w.height()}));
  if (r.empty()) return;
  SetUpdateRegionLocked(w, w.update.united(r));
  w.erase_pending = w.erase_pending || erase;
}

}  // namespace win

void AddScreenDamage(const RECT& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  win::DamageState& d = win::Damage();
  std::lock_guard lock(d.mutex);
  d.damage = d.damage.united(Region(rect));
}

namespace win {

void DamageWindowArea(const WindowObject& w, const Region* window_area) {
  RECT r = ScreenRect(w);
  if (window_area) {
    RECT b = window_area->bounds();
    const POINT o{r.left, r.top};
    r = RECT{std::max(r.left, o.x + b.left), std::max(r.top, o.y + b.top), std::min(r.right, o.x + b.right),
             std::min(r.bottom, o.y + b.bottom)};
  }
  AddScreenDamage(r);
}

}  // namespace win

using namespace win;

Region TakeScreenDamage() {
  win::DamageState& d = win::Damage();
  std::lock_guard lock(d.mutex);
  Region out = std::move(d.damage);
  d.damage = Region();
  return out;
}


namespace {

void CollectLayers(HWND hwnd, const Region& clip, Region& covered, std::vector<CompositeLayer>& out) {
  WindowObject* w = LookupQuiet(hwnd);
  if (!w || !w->visible() || (w->style & WS_MINIMIZE) || w->width() <= 0 || w->height() <= 0) return;
  const RECT sr = ScreenRect(*w);
  Region shape(sr);
  if (w->shape) {
    Region s = *w->shape;
    s.offset(sr.left, sr.top);
    shape = shape.intersected(s);
  }
  shape = shape.intersected(clip);
  if (shape.empty()) return;
  for (HWND child : w->children) CollectLayers(child, shape, covered, out);
  Region visible = shape.subtracted(covered);
  covered = covered.united(shape);
  if (visible.empty()) return;
  EnsureSurface(*w);
  out.push_back(CompositeLayer{hwnd, w->surface, POINT{sr.left, sr.top}, std::move(visible)});
}

}  // namespace

std::vector<CompositeLayer> CollectCompositeLayers(const RECT& screen) {
  std::vector<CompositeLayer> layers;
  Region covered;
  WindowGuard guard(WindowLock());
  const Region clip(screen);
  for (HWND h : TopLevels()) CollectLayers(h, clip, covered, layers);
  return layers;
}

SurfacePtr GetWindowSurface(HWND hwnd) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return nullptr;
  EnsureSurface(*w);
  return w->surface;
}

void MarkWindowDrawn(HWND hwnd, const RECT* client_rect) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w || !ReallyVisible(*w)) return;
  if (client_rect) {
    const Region area(*client_rect);
    DamageWindowArea(*w, &area);
  } else {
    DamageWindowArea(*w, nullptr);
  }
}

BOOL InvalidateRegion(HWND hwnd, const Region* region, BOOL erase) {
  WindowGuard guard(WindowLock());
  if (!hwnd) {
    for (HWND h : TopLevels())
      if (WindowObject* w = LookupQuiet(h)) InvalidateLocked(*w, Region(RECT{0, 0, w->width(), w->height()}), erase);
    return TRUE;
  }
  WindowObject* w = Lookup(hwnd);
  if (!w) return FALSE;
  InvalidateLocked(*w, region ? *region : Region(RECT{0, 0, w->width(), w->height()}), erase != FALSE);
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (!rect) return InvalidateRegion(hwnd, nullptr, erase);
  Region r(*rect);
  return InvalidateRegion(hwnd, &r, erase);
}

BOOL ValidateRegion(HWND hwnd, const Region* region) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return FALSE;
  SetUpdateRegionLocked(*w, region ? w->update.subtracted(*region) : Region());
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  if (!rect) return ValidateRegion(hwnd, nullptr);
  Region r(*rect);
  return ValidateRegion(hwnd, &r);
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
  bool do_erase = false;
  BOOL result;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->update.bounds();
    result = w->update.empty() ? FALSE : TRUE;
    do_erase = erase && w->erase_pending && result;
  }
  if (do_erase) {
    HDC hdc = GetDC(hwnd);
    SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    ReleaseDC(hwnd, hdc);
    WindowGuard guard(WindowLock());
    if (WindowObject* w = LookupQuiet(hwnd)) w->erase_pending = false;
  }
  return result;
}

int GetUpdateRegion(HWND hwnd, Region* out, BOOL) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w || !out) return 0;
  *out = w->update;
  return out->empty() ? 1 : (out->rects().size() == 1 ? 2 : 3);
}

BOOL UpdateWindow(HWND hwnd) {
  bool needs;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    needs = !w->update.empty();
  }
  if (needs) {
    MSG m;
    m.hwnd = hwnd;
    m.message = WM_PAINT;
    // Through DispatchMessage's rule: a paint handler that validates nothing
    // does not leave the window painting forever.
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
      DispatchMessage(&m);
    else
      SendMessage(hwnd, WM_PAINT, 0, 0);
  }
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags) {
  const Region* region = rgn ? RegionFromHandle(rgn) : nullptr;
  if (!hwnd) return FALSE;
  std::vector<HWND> targets{hwnd};
  if (flags & RDW_ALLCHILDREN) {
    WindowGuard guard(WindowLock());
    for (std::size_t i = 0; i < targets.size(); ++i)
      if (WindowObject* w = LookupQuiet(targets[i])) targets.insert(targets.end(), w->children.begin(), w->children.end());
  }
  for (HWND h : targets) {
    Region area;
    const Region* use = nullptr;
    if (h == hwnd && region) {
      use = region;
    } else if (h == hwnd && rect) {
      area = Region(*rect);
      use = &area;
    }
    if (flags & RDW_INVALIDATE) InvalidateRegion(h, use, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_VALIDATE) ValidateRegion(h, use);
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    for (HWND h : targets) UpdateWindow(h);
  return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  if (!ps) return nullptr;
  *ps = PAINTSTRUCT{};
  Region area;
  bool erase;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return nullptr;
    area = w->update;
    erase = w->erase_pending;
    SetUpdateRegionLocked(*w, Region());
    w->erase_pending = false;
  }
  ps->rcPaint = area.bounds();
  HDC hdc = WindowDc(hwnd, &area);
  ps->hdc = hdc;
  ps->fErase = erase ? TRUE : FALSE;
  if (erase) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
  if (ps && ps->hdc) ReleaseWindowDc(ps->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) { return WindowDc(hwnd, nullptr); }
HDC GetWindowDC(HWND hwnd) { return WindowDc(hwnd, nullptr); }

int ReleaseDC(HWND hwnd, HDC hdc) {
  if (!hwnd) {
    FreeDc(hdc);
    return 1;
  }
  return ReleaseWindowDc(hdc) ? 1 : 0;
}

}  // namespace plat
