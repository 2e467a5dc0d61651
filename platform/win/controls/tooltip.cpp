// The tracking tooltip: a topmost, non-activating popup that shows the text
// of its active tool where the owner tracks it (TTM_TRACKPOSITION), sized to
// the text in its font and wrapped at the maximum tip width.
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/win/controls/control_state.h"
#include "platform/win/controls/controls.h"
#include "platform/win/controls/edit_class.h"
#include "platform/win/controls/paint_util.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace plat::controls {

namespace {

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  std::string text;
};

struct TooltipState {
  std::vector<Tool> tools;
  int tracking = -1;  // index of the tool being tracked, -1 none
  POINT track{};
  int max_width = -1;
  HFONT font = nullptr;
  COLORREF background = kTooltipBackground;
  COLORREF text_color = kTooltipText;
  int delays[4] = {500, 100, 5000, 500};  // automatic, reshow, autopop, initial
  bool active = true;
};

StateTable<TooltipState>& States() {
  static StateTable<TooltipState> table;
  return table;
}

HFONT FontOf(const TooltipState& s) {
  return s.font ? s.font : reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FindTool(const TooltipState& s, const TOOLINFO* ti) {
  if (!ti) return -1;
  for (std::size_t i = 0; i < s.tools.size(); ++i)
    if (s.tools[i].hwnd == ti->hwnd && s.tools[i].id == ti->uId) return static_cast<int>(i);
  return -1;
}

UINT DrawFlags(HWND hwnd, const TooltipState& s) {
  UINT flags = DT_LEFT | DT_TOP;
  flags |= s.max_width > 0 ? DT_WORDBREAK : DT_SINGLELINE;
  if (GetWindowLongPtr(hwnd, GWL_STYLE) & TTS_NOPREFIX) flags |= DT_NOPREFIX;
  return flags;
}

// The window size the text needs.
SIZE TipSize(HWND hwnd, const TooltipState& s, const std::string& text) {
  HDC hdc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(hdc, FontOf(s));
  RECT r{0, 0, s.max_width > 0 ? std::max(1, s.max_width - 2 * kTooltipMargin) : 0x7FFF, 0};
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, DrawFlags(hwnd, s) | DT_CALCRECT);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  return SIZE{r.right - r.left + 2 * kTooltipMargin, r.bottom - r.top + 2 * kTooltipMargin};
}

// Places and shows (or hides) the window for the tracked tool.
void Layout(HWND hwnd, TooltipState& s) {
  if (s.tracking < 0 || !s.active) {
    ShowWindow(hwnd, SW_HIDE);
    return;
  }
  const Tool& tool = s.tools[static_cast<std::size_t>(s.tracking)];
  const SIZE size = TipSize(hwnd, s, tool.text);
  POINT at = s.track;
  // Without TTF_ABSOLUTE the tip sits just below and right of the point.
  if (!(tool.flags & TTF_ABSOLUTE)) at = POINT{at.x + 8, at.y + 16};
  SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, TooltipState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT client{};
  GetClientRect(hwnd, &client);
  FillColor(hdc, client, s.background);
  FrameColor(hdc, client, s.text_color);
  if (s.tracking >= 0) {
    const std::string& text = s.tools[static_cast<std::size_t>(s.tracking)].text;
    HGDIOBJ old = SelectObject(hdc, FontOf(s));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, s.text_color);
    RECT r = Inset(client, kTooltipMargin);
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, DrawFlags(hwnd, s));
    SelectObject(hdc, old);
  }
  EndPaint(hwnd, &ps);
}

std::string TextOf(const TOOLINFO* ti) { return ti && ti->lpszText ? std::string(ti->lpszText) : std::string(); }

LRESULT TooltipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    States().create(hwnd);
    // A tooltip floats over everything, never takes activation and is no
    // application frame.
    const LONG_PTR ex = GetWindowLongPtr(hwnd, GWL_EXSTYLE);
    SetWindowLongPtr(hwnd, GWL_EXSTYLE, ex | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  TooltipState* s = States().find(hwnd);
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
  switch (msg) {
    case WM_NCDESTROY: States().erase(hwnd); return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (IsWindowVisible(hwnd)) Layout(hwnd, *s);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, *s); return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case TTM_ADDTOOL: {
      if (!ti) return FALSE;
      Tool tool{ti->uFlags, ti->hwnd, ti->uId, ti->rect, TextOf(ti)};
      const int at = FindTool(*s, ti);
      if (at >= 0)
        s->tools[static_cast<std::size_t>(at)] = tool;
      else
        s->tools.push_back(tool);
      return TRUE;
    }
    case TTM_DELTOOL: {
      const int at = FindTool(*s, ti);
      if (at < 0) return 0;
      s->tools.erase(s->tools.begin() + at);
      if (s->tracking == at) {
        s->tracking = -1;
        Layout(hwnd, *s);
      } else if (s->tracking > at) {
        --s->tracking;
      }
      return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(s->tools.size());
    case TTM_UPDATETIPTEXT: {
      const int at = FindTool(*s, ti);
      if (at < 0) return 0;
      s->tools[static_cast<std::size_t>(at)].text = TextOf(ti);
      if (s->tracking == at) Layout(hwnd, *s);
      return 0;
    }
    case TTM_GETTEXT: {
      // wParam: buffer size in characters; the text goes to lpszText.
      const int at = FindTool(*s, ti);
      if (at < 0 || !ti->lpszText || wParam == 0) return 0;
      const std::string& text = s->tools[static_cast<std::size_t>(at)].text;
      const std::size_t n = std::min<std::size_t>(wParam - 1, text.size());
      std::copy_n(text.data(), n, ti->lpszText);
      ti->lpszText[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case TTM_TRACKACTIVATE: {
      const int at = FindTool(*s, ti);
      if (wParam && at >= 0) {
        s->tracking = at;
      } else if (!wParam && (at < 0 || at == s->tracking)) {
        s->tracking = -1;
      }
      Layout(hwnd, *s);
      return 0;
    }
    case TTM_TRACKPOSITION:
      s->track = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (s->tracking >= 0) Layout(hwnd, *s);
      return 0;
    case TTM_SETMAXTIPWIDTH: {
      const int old = s->max_width;
      s->max_width = static_cast<int>(lParam);
      if (IsWindowVisible(hwnd)) Layout(hwnd, *s);
      return old;
    }
    case TTM_GETMAXTIPWIDTH: return s->max_width;
    case TTM_SETDELAYTIME: {
      // Kept for callers that ask; tracking tips show when told to.
      const int ms = static_cast<int>(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))));
      if (wParam == TTDT_AUTOMATIC) {
        const int base = ms < 0 ? 500 : ms;
        s->delays[TTDT_AUTOMATIC] = base;
        s->delays[TTDT_INITIAL] = base;
        s->delays[TTDT_RESHOW] = base / 5;
        s->delays[TTDT_AUTOPOP] = base * 10;
      } else if (wParam <= TTDT_INITIAL) {
        s->delays[wParam] = ms < 0 ? 500 : ms;
      }
      return 0;
    }
    case TTM_GETDELAYTIME: return wParam <= TTDT_INITIAL ? s->delays[wParam] : 0;
    case TTM_SETTIPBKCOLOR: s->background = static_cast<COLORREF>(wParam); InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case TTM_SETTIPTEXTCOLOR: s->text_color = static_cast<COLORREF>(wParam); InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case TTM_ACTIVATE:
      s->active = wParam != 0;
      Layout(hwnd, *s);
      return 0;
    case TTM_POP:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case TTM_UPDATE:
      if (IsWindowVisible(hwnd)) Layout(hwnd, *s);
      return 0;
    case TTM_RELAYEVENT:
      // Tracking tools are placed by their owner; relayed mouse messages
      // need no answer.
      return 0;
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterTooltipClass() {
  WNDCLASS wc;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = TooltipProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = TOOLTIPS_CLASS;
  RegisterClass(&wc);
}

}  // namespace plat::controls

namespace plat {

void RegisterControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    controls::RegisterEditClass();
    controls::RegisterTooltipClass();
  });
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  RegisterControlClasses();
  return TRUE;
}

}  // namespace plat
