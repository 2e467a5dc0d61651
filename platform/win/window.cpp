// Window classes, the window table and tree, creation and destruction, the
// default window procedure, window data, text and lookup.
#include "platform/win/window.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <unistd.h>

#include "platform/gdi/blit.h"
#include "platform/sys/last_error.h"
#include "platform/win/input.h"
#include "platform/win/internal.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window_ops.h"

namespace plat {
namespace win {

namespace {

struct WindowTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<WindowObject>> windows;
  std::vector<HWND> top_levels;
  std::uintptr_t next = 0x20000;
  std::map<std::string, std::shared_ptr<ClassInfo>> classes;  // by lower-case name
  ATOM next_atom = 0xC000;
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

std::string Lower(const char* s) {
  std::string out = s ? s : "";
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

const std::uintptr_t kDesktop = 0x10010;

std::shared_ptr<ClassInfo> FindClass(const char* name) {
  WindowTable& t = Table();
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    const ATOM atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
    for (auto& [key, cls] : t.classes)
      if (cls->atom == atom) return cls;
    return nullptr;
  }
  auto it = t.classes.find(Lower(name));
  return it == t.classes.end() ? nullptr : it->second;
}

}  // namespace

std::recursive_mutex& WindowLock() {
  static std::recursive_mutex mutex;
  return mutex;
}

WindowObject* LookupQuiet(HWND hwnd) {
  auto& windows = Table().windows;
  auto it = windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == windows.end() ? nullptr : it->second.get();
}

WindowObject* Lookup(HWND hwnd) {
  WindowObject* w = LookupQuiet(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

std::vector<HWND>& TopLevels() { return Table().top_levels; }
HWND DesktopHandle() { return reinterpret_cast<HWND>(kDesktop); }

std::vector<HWND>& SiblingList(WindowObject& w) {
  if (w.is_child()) {
    if (WindowObject* p = LookupQuiet(w.parent)) return p->children;
  }
  return TopLevels();
}

void PlaceInSiblings(WindowObject& w, HWND insert_after) {
  std::vector<HWND>& list = SiblingList(w);
  std::erase(list, w.handle);
  auto band_begin = list.begin();
  auto band_end = list.end();
  if (!w.is_child()) {
    // Top-level windows keep topmost ones in front of the others.
    auto first_normal = std::find_if(list.begin(), list.end(), [](HWND h) {
      WindowObject* o = LookupQuiet(h);
      return !o || !(o->ex_style & WS_EX_TOPMOST);
    });
    if (w.ex_style & WS_EX_TOPMOST)
      band_end = first_normal;
    else
      band_begin = first_normal;
  }
  auto pos = band_begin;
  if (insert_after == HWND_BOTTOM) {
    pos = band_end;
  } else if (insert_after && insert_after != HWND_TOPMOST && insert_after != HWND_NOTOPMOST) {
    auto it = std::find(band_begin, band_end, insert_after);
    pos = it == band_end ? band_begin : it + 1;
  }
  list.insert(pos, w.handle);
}

POINT ScreenOrigin(const WindowObject& w) {
  POINT p{w.rect.left, w.rect.top};
  const WindowObject* cur = &w;
  while (cur->is_child()) {
    const WindowObject* parent = LookupQuiet(cur->parent);
    if (!parent) break;
    p.x += parent->rect.left;
    p.y += parent->rect.top;
    cur = parent;
  }
  return p;
}

RECT ScreenRect(const WindowObject& w) {
  POINT o = ScreenOrigin(w);
  return RECT{o.x, o.y, o.x + w.width(), o.y + w.height()};
}

bool ReallyVisible(const WindowObject& w) {
  const WindowObject* cur = &w;
  for (;;) {
    if (!cur->visible() || (cur->style & WS_MINIMIZE)) return false;
    if (!cur->is_child()) return true;
    cur = LookupQuiet(cur->parent);
    if (!cur) return false;
  }
}

void EnsureSurface(WindowObject& w) {
  const int width = std::max(0, w.width());
  const int height = std::max(0, w.height());
  if (w.surface && w.surface->width() == width && w.surface->height() == height) return;
  auto fresh = std::make_shared<Surface>(width, height);
  if (w.surface) {
    // Keep what was drawn where the old and new sizes overlap.
    const int cw = std::min(width, w.surface->width());
    const int ch = std::min(height, w.surface->height());
    for (int y = 0; y < ch; ++y) std::memcpy(fresh->row(y), w.surface->row(y), sizeof(std::uint32_t) * cw);
  }
  w.surface = std::move(fresh);
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = LookupQuiet(hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  if (!proc) return DefWindowProc(hwnd, msg, wParam, lParam);
  return proc(hwnd, msg, wParam, lParam);
}

void SendAll(const std::vector<PendingSend>& sends) {
  for (const PendingSend& s : sends) SendMessage(s.hwnd, s.msg, s.wParam, s.lParam);
}

void DestroyThreadWindows(DWORD thread_id) {
  std::vector<std::unique_ptr<WindowObject>> doomed;
  {
    WindowGuard guard(WindowLock());
    WindowTable& t = Table();
    std::vector<PendingSend> ignored;
    for (auto it = t.windows.begin(); it != t.windows.end();) {
      if (it->second->queue && it->second->queue->thread_id == thread_id) {
        WindowObject& w = *it->second;
        ForgetWindowInputLocked(w.handle, true, ignored);
        if (w.visible()) DamageWindowArea(w, nullptr);
        std::erase(TopLevels(), w.handle);
        if (WindowObject* p = LookupQuiet(w.parent)) std::erase(p->children, w.handle);
        doomed.push_back(std::move(it->second));
        it = t.windows.erase(it);
      } else {
        ++it;
      }
    }
  }
}

void ForEachWindowLocked(const std::function<void(WindowObject&)>& visit) {
  for (auto& [key, w] : Table().windows) visit(*w);
}

std::vector<std::shared_ptr<ClassInfo>> ClassesLocked() {
  std::vector<std::shared_ptr<ClassInfo>> out;
  for (auto& [key, cls] : Table().classes) out.push_back(cls);
  return out;
}

bool UnregisterClassLocked(const std::shared_ptr<ClassInfo>& cls) {
  for (auto& [h, w] : Table().windows)
    if (w->cls == cls) {
      SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
      return false;
    }
  Table().classes.erase(Lower(cls->name.c_str()));
  return true;
}

}  // namespace win

using namespace win;

// ---- classes -------------------------------------------------------------

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // Looked up before taking the lock: the loader has locks of its own.
  const ModuleId module = ModuleOfAddress(reinterpret_cast<const void*>(wc->lpfnWndProc));
  WindowGuard guard(WindowLock());
  WindowTable& t = Table();
  std::string key = Lower(wc->lpszClassName);
  if (t.classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_shared<ClassInfo>();
  cls->name = wc->lpszClassName;
  cls->wc = *wc;
  cls->wc.cbSize = sizeof(WNDCLASSEX);
  cls->wc.lpszClassName = cls->name.c_str();
  cls->wc.lpszMenuName = nullptr;
  cls->atom = t.next_atom++;
  cls->module = module;
  t.classes.emplace(std::move(key), cls);
  return cls->atom;
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEX ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassEx(&ex);
}

BOOL UnregisterClass(const char* class_name, HINSTANCE) {
  WindowGuard guard(WindowLock());
  auto cls = FindClass(class_name);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  return UnregisterClassLocked(cls) ? TRUE : FALSE;
}

BOOL GetClassInfoEx(HINSTANCE, const char* class_name, WNDCLASSEX* out) {
  WindowGuard guard(WindowLock());
  auto cls = FindClass(class_name);
  if (!cls || !out) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *out = cls->wc;
  // The name stays valid as long as the class is registered.
  return cls->atom;
}

BOOL GetClassInfo(HINSTANCE instance, const char* class_name, WNDCLASS* out) {
  WNDCLASSEX ex;
  if (!out || !GetClassInfoEx(instance, class_name, &ex)) return FALSE;
  out->style = ex.style;
  out->lpfnWndProc = ex.lpfnWndProc;
  out->cbClsExtra = ex.cbClsExtra;
  out->cbWndExtra = ex.cbWndExtra;
  out->hInstance = ex.hInstance;
  out->hIcon = ex.hIcon;
  out->hCursor = ex.hCursor;
  out->hbrBackground = ex.hbrBackground;
  out->lpszMenuName = nullptr;
  out->lpszClassName = ex.lpszClassName;
  return TRUE;
}

int GetClassName(HWND hwnd, char* buffer, int size) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  const int n = std::min<int>(size - 1, static_cast<int>(w->cls->name.size()));
  std::memcpy(buffer, w->cls->name.data(), n);
  buffer[n] = 0;
  return n;
}

// ---- creation and destruction ---------------------------------------------

HWND CreateWindowEx(DWORD ex_style, const char* class_name, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  HWND hwnd = nullptr;
  const bool visible = (style & WS_VISIBLE) != 0;
  const bool maximize = (style & WS_MAXIMIZE) != 0;
  const bool minimize = (style & WS_MINIMIZE) != 0;
  {
    WindowGuard guard(WindowLock());
    auto cls = FindClass(class_name);
    if (!cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    WindowObject* parent_obj = nullptr;
    const bool message_only = parent == HWND_MESSAGE;
    if (parent && !message_only && parent != DesktopHandle()) {
      parent_obj = Lookup(parent);
      if (!parent_obj) return nullptr;
    }
    if ((style & WS_CHILD) && !parent_obj) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    const SIZE screen = ScreenSize();
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
      width = screen.cx / 2;
      height = screen.cy / 2;
    }
    auto w = std::make_unique<WindowObject>();
    WindowTable& t = Table();
    hwnd = reinterpret_cast<HWND>(t.next);
    t.next += 4;
    w->handle = hwnd;
    w->cls = cls;
    w->queue = CurrentQueue();
    w->proc = cls->wc.lpfnWndProc;
    w->style = style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
    w->ex_style = ex_style;
    w->instance = instance;
    w->extra.assign(static_cast<std::size_t>(std::max(0, cls->wc.cbWndExtra)), 0);
    w->text = title ? title : "";
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    w->normal_rect = w->rect;
    if (style & WS_CHILD) {
      w->parent = parent;
      w->id = reinterpret_cast<LONG_PTR>(menu);
    } else if (parent_obj) {
      HWND root = parent;
      while (WindowObject* o = LookupQuiet(root)) {
        if (!o->is_child()) break;
        root = o->parent;
      }
      w->owner = root;
    }
    WindowObject& ref = *w;
    t.windows.emplace(reinterpret_cast<std::uintptr_t>(hwnd), std::move(w));
    if (!message_only) PlaceInSiblings(ref, HWND_TOP);
    ref.created = true;
  }

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = title;
  cs.lpszClass = class_name;
  cs.dwExStyle = ex_style;
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  RECT r;
  GetClientRect(hwnd, &r);
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(r.right), static_cast<WORD>(r.bottom)));
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if (maximize)
    ShowWindowImpl(hwnd, visible ? SW_SHOWMAXIMIZED : SW_MAXIMIZE, !visible);
  else if (minimize)
    ShowWindowImpl(hwnd, visible ? SW_SHOWMINIMIZED : SW_MINIMIZE, !visible);
  else if (visible)
    ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

namespace {

void CollectSubtree(HWND hwnd, std::vector<HWND>& out) {
  WindowObject* w = LookupQuiet(hwnd);
  if (!w) return;
  out.push_back(hwnd);
  for (HWND c : w->children) CollectSubtree(c, out);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  std::vector<HWND> subtree;
  std::vector<HWND> owned;
  std::vector<PendingSend> notify;
  bool was_top_level = false;
  bool was_active = false;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(hwnd);
    if (!w) return FALSE;
    if (w->queue != CurrentQueue()) {
      SetLastError(5);  // ERROR_ACCESS_DENIED: only the owning thread destroys
      return FALSE;
    }
    if (w->destroying) return TRUE;
    was_top_level = !w->is_child();
    was_active = Input().active == hwnd;
    for (auto& [h, o] : Table().windows)
      if (o->owner == hwnd && !o->destroying) owned.push_back(o->handle);
  }
  // Owned popups go first.
  for (HWND h : owned) DestroyWindow(h);
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = LookupQuiet(hwnd);
    if (!w || w->destroying) return TRUE;
    CollectSubtree(hwnd, subtree);
    for (HWND h : subtree) {
      WindowObject* o = LookupQuiet(h);
      o->destroying = true;
      ForgetWindowInputLocked(h, true, notify);
    }
    if (w->visible()) DamageWindowArea(*w, nullptr);
    w->style &= ~WS_VISIBLE;
  }
  SendAll(notify);
  for (HWND h : subtree) CallProc(h, WM_DESTROY, 0, 0);
  for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
    CallProc(*it, WM_NCDESTROY, 0, 0);
    KillWindowTimers(*it);
    std::unique_ptr<WindowObject> doomed;
    WindowGuard guard(WindowLock());
    auto& windows = Table().windows;
    auto found = windows.find(reinterpret_cast<std::uintptr_t>(*it));
    if (found == windows.end()) continue;
    WindowObject& o = *found->second;
    SetUpdateRegionLocked(o, Region());
    std::erase(TopLevels(), o.handle);
    if (WindowObject* p = LookupQuiet(o.parent)) std::erase(p->children, o.handle);
    doomed = std::move(found->second);
    windows.erase(found);
  }
  if (was_top_level) {
    if (was_active) ActivateNextTopLevel(hwnd);
    if (DisplayLink* link = AttachedDisplay()) link->top_level_changed(hwnd);
  }
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  if (hwnd == DesktopHandle()) return TRUE;
  WindowGuard guard(WindowLock());
  return LookupQuiet(hwnd) ? TRUE : FALSE;
}

HWND GetDesktopWindow() { return DesktopHandle(); }

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* process_id) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return 0;
  if (process_id) *process_id = static_cast<DWORD>(getpid());
  return w->queue->thread_id;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  return proc(hwnd, msg, wParam, lParam);
}

// ---- the default window procedure -------------------------------------------

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs && cs->lpszName) {
        WindowGuard guard(WindowLock());
        if (WindowObject* w = LookupQuiet(hwnd)) w->text = cs->lpszName;
      }
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      // The class background brush, when there is one.
      HBRUSH brush = nullptr;
      {
        WindowGuard guard(WindowLock());
        if (WindowObject* w = LookupQuiet(hwnd)) brush = w->cls->wc.hbrBackground;
      }
      RECT client;
      if (!brush || !wParam || !GetClientRect(hwnd, &client)) return 0;
      return FillRect(reinterpret_cast<HDC>(wParam), &client, brush) ? 1 : 0;
    }
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT r;
      if (!GetWindowRect(hwnd, &r)) return HTNOWHERE;
      return (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) ? HTCLIENT : HTNOWHERE;
    }
    case WM_SETTEXT: {
      WindowGuard guard(WindowLock());
      WindowObject* w = LookupQuiet(hwnd);
      if (!w) return FALSE;
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    }
    case WM_GETTEXTLENGTH: {
      WindowGuard guard(WindowLock());
      WindowObject* w = LookupQuiet(hwnd);
      return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      WindowGuard guard(WindowLock());
      WindowObject* w = LookupQuiet(hwnd);
      if (!w) return 0;
      const std::size_t n = std::min<std::size_t>(wParam - 1, w->text.size());
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd)) {
        HWND focus = GetFocus();
        if (!focus || (focus != hwnd && !IsChild(hwnd, focus))) SetFocus(hwnd);
      }
      return 0;
    case WM_SETCURSOR: {
      // Children let their parent decide first; then the class cursor.
      HWND parent = GetParent(hwnd);
      if (parent && (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD))
        if (SendMessage(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      const LRESULT hit = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam)));
      if (hit == HTCLIENT) {
        HCURSOR cursor = nullptr;
        {
          WindowGuard guard(WindowLock());
          if (WindowObject* w = LookupQuiet(hwnd)) cursor = w->cls->wc.hCursor;
        }
        if (cursor) {
          SetCursor(cursor);
          return TRUE;
        }
        return FALSE;
      }
      if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
        static const char* const kSizing[] = {IDC_SIZEWE,   IDC_SIZEWE,   IDC_SIZENS,   IDC_SIZENWSE,
                                              IDC_SIZENESW, IDC_SIZENS,   IDC_SIZENESW, IDC_SIZENWSE};
        SetCursor(LoadCursor(nullptr, kSizing[hit - HTLEFT]));
        return TRUE;
      }
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return FALSE;
    }
    case WM_NCLBUTTONDOWN:
      BeginSizeMove(hwnd, static_cast<LRESULT>(wParam));
      return 0;
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        SendMessage(root, WM_SYSCOMMAND, IsZoomed(root) ? SC_RESTORE : SC_MAXIMIZE, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); break;
        default: break;
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (int command = AppCommandFromVirtualKey(static_cast<UINT>(wParam))) {
        SendMessage(hwnd, WM_APPCOMMAND, reinterpret_cast<WPARAM>(hwnd),
                    MAKELPARAM(0, static_cast<WORD>(command)));
        return 0;
      }
      if (msg == WM_SYSKEYDOWN && wParam == VK_F4) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        SendMessage(root, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    }
    case WM_APPCOMMAND:
    case WM_MOUSEWHEEL: {
      // Unhandled, they travel up to the parent.
      if (GetWindowLongPtr(hwnd, GWL_STYLE) & WS_CHILD)
        if (HWND parent = GetParent(hwnd)) return SendMessage(parent, msg, wParam, lParam);
      return 0;
    }
    default:
      return 0;
  }
}

// ---- window data -----------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->is_child() ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->ex_style));
    case GWLP_USERDATA: return w->user_data;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      SetLastError(1413);  // ERROR_INVALID_INDEX
      return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWLP_HWNDPARENT:
      old = reinterpret_cast<LONG_PTR>(w->owner);
      if (!w->is_child()) w->owner = reinterpret_cast<HWND>(value);
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = value;
      return old;
    case GWL_STYLE: {
      old = static_cast<LONG_PTR>(static_cast<LONG>(w->style));
      const DWORD style = static_cast<DWORD>(value);
      if ((style ^ w->style) & WS_VISIBLE) DamageWindowArea(*w, nullptr);
      w->style = style;
      return old;
    }
    case GWL_EXSTYLE: {
      old = static_cast<LONG_PTR>(static_cast<LONG>(w->ex_style));
      const bool was_topmost = w->ex_style & WS_EX_TOPMOST;
      w->ex_style = static_cast<DWORD>(value);
      if (was_topmost != static_cast<bool>(w->ex_style & WS_EX_TOPMOST) && !w->is_child())
        PlaceInSiblings(*w, HWND_TOP);
      return old;
    }
    case GWLP_USERDATA:
      old = w->user_data;
      w->user_data = value;
      return old;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
      }
      SetLastError(1413);
      return 0;
  }
}

// ---- tree ------------------------------------------------------------------

BOOL IsChild(HWND parent, HWND hwnd) {
  WindowGuard guard(WindowLock());
  WindowObject* w = LookupQuiet(hwnd);
  while (w && w->is_child()) {
    if (w->parent == parent) return TRUE;
    w = LookupQuiet(w->parent);
  }
  return FALSE;
}

HWND SetParent(HWND child, HWND new_parent) {
  HWND old;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = Lookup(child);
    if (!w) return nullptr;
    if (new_parent == DesktopHandle()) new_parent = nullptr;
    WindowObject* p = nullptr;
    if (new_parent) {
      p = Lookup(new_parent);
      if (!p) return nullptr;
      // A window cannot become its own descendant.
      for (WindowObject* a = p; a; a = a->is_child() ? LookupQuiet(a->parent) : nullptr)
        if (a == w) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return nullptr;
        }
    }
    old = w->is_child() ? w->parent : DesktopHandle();
    if (w->visible()) DamageWindowArea(*w, nullptr);
    std::erase(SiblingList(*w), child);
    w->parent = new_parent;
    if (new_parent) {
      w->style |= WS_CHILD;
      w->style &= ~WS_POPUP;
      w->owner = nullptr;
    } else {
      w->style &= ~WS_CHILD;
    }
    PlaceInSiblings(*w, HWND_TOP);
    if (ReallyVisible(*w)) {
      DamageWindowArea(*w, nullptr);
      InvalidateLocked(*w, Region(RECT{0, 0, w->width(), w->height()}), true);
    }
  }
  return old;
}

HWND GetParent(HWND hwnd) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return nullptr;
  return w->is_child() ? w->parent : w->owner;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  WindowGuard guard(WindowLock());
  WindowObject* w = Lookup(hwnd);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->is_child() ? w->parent : DesktopHandle();
    case GA_ROOT:
    case GA_ROOTOWNER: {
      while (w->is_child()) w = LookupQuiet(w->parent);
      if (flags == GA_ROOTOWNER)
        while (WindowObject* o = LookupQuiet(w->owner)) w = o;
      return w->handle;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  WindowGuard guard(WindowLock());
  if (hwnd == DesktopHandle() && cmd == GW_CHILD) return TopLevels().empty() ? nullptr : TopLevels().front();
  WindowObject* w = Lookup(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return w->owner;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  std::vector<HWND>& list = SiblingList(*w);
  auto it = std::find(list.begin(), list.end(), hwnd);
  if (it == list.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == list.begin() ? nullptr : *(it - 1);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) { return GetWindow(hwnd ? hwnd : DesktopHandle(), GW_CHILD); }

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  std::vector<HWND> list;
  {
    WindowGuard guard(WindowLock());
    list = TopLevels();
  }
  for (HWND h : list)
    if (IsWindow(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  std::vector<HWND> list;
  {
    WindowGuard guard(WindowLock());
    if (!parent || parent == DesktopHandle()) {
      for (HWND h : TopLevels()) CollectSubtree(h, list);
    } else {
      WindowObject* w = Lookup(parent);
      if (!w) return FALSE;
      CollectSubtree(parent, list);
      list.erase(list.begin());
    }
  }
  for (HWND h : list)
    if (IsWindow(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}

HWND FindWindowEx(HWND parent, HWND after, const char* class_name, const char* title) {
  WindowGuard guard(WindowLock());
  std::vector<HWND>* list = &TopLevels();
  if (parent && parent != DesktopHandle()) {
    WindowObject* p = Lookup(parent);
    if (!p) return nullptr;
    list = &p->children;
  }
  std::shared_ptr<ClassInfo> cls;
  if (class_name) {
    cls = FindClass(class_name);
    if (!cls) return nullptr;
  }
  auto it = list->begin();
  if (after) {
    it = std::find(list->begin(), list->end(), after);
    if (it == list->end()) return nullptr;
    ++it;
  }
  for (; it != list->end(); ++it) {
    WindowObject* w = LookupQuiet(*it);
    if (!w || w->destroying) continue;
    if (cls && w->cls != cls) continue;
    if (title && w->text != title) continue;
    return w->handle;
  }
  return nullptr;
}

HWND FindWindow(const char* class_name, const char* title) {
  return FindWindowEx(nullptr, nullptr, class_name, title);
}

// ---- text ------------------------------------------------------------------

BOOL SetWindowText(HWND hwnd, const char* text) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  BOOL r = static_cast<BOOL>(SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")));
  bool top_level;
  {
    WindowGuard guard(WindowLock());
    WindowObject* w = LookupQuiet(hwnd);
    top_level = w && !w->is_child();
  }
  if (top_level)
    if (DisplayLink* link = AttachedDisplay()) link->top_level_changed(hwnd);
  return r;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

std::string GetWindowTextString(HWND hwnd) {
  const int n = GetWindowTextLength(hwnd);
  std::string text(static_cast<std::size_t>(n) + 1, '\0');
  const int got = GetWindowText(hwnd, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

}  // namespace plat
