// The single-line edit control: text with a caret and an optional
// selection, typed through WM_CHAR and moved through WM_KEYDOWN, drawn with
// the drawing layer (border, text or password characters, selection, a
// blinking caret while focused).
#include <algorithm>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/win/controls/control_state.h"
#include "platform/win/controls/controls.h"
#include "platform/win/controls/edit_class.h"
#include "platform/win/controls/paint_util.h"
#include "platform/win/controls/utf8.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace plat::controls {

namespace {

constexpr UINT_PTR kCaretTimer = 0xCA7E;
constexpr int kPadding = 2;
constexpr COLORREF kText = 0x00000000;
constexpr COLORREF kGreyText = 0x00808080;
constexpr COLORREF kBackground = 0x00FFFFFF;
constexpr COLORREF kBorder = 0x00646464;
constexpr COLORREF kHighlight = RGB(0, 120, 215);
constexpr COLORREF kHighlightText = 0x00FFFFFF;

struct EditState {
  std::u32string text;
  int caret = 0;
  int anchor = 0;  // the other end of the selection
  int limit = kEditDefaultLimit;
  char32_t password = 0;
  HFONT font = nullptr;
  int scroll = 0;  // pixels of text scrolled out on the left
  bool focused = false;
  bool caret_on = false;
  bool dragging = false;
};

StateTable<EditState>& States() {
  static StateTable<EditState> table;
  return table;
}

DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)); }

int SelStart(const EditState& s) { return std::min(s.caret, s.anchor); }
int SelEnd(const EditState& s) { return std::max(s.caret, s.anchor); }

std::string Shown(const EditState& s, int from, int to) {
  if (s.password) return EncodeUtf8(std::u32string(static_cast<std::size_t>(to - from), s.password));
  return EncodeUtf8(s.text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
}

HFONT FontOf(const EditState& s) {
  return s.font ? s.font : reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Measures with a DC of the window; the caller releases it.
class Measure {
 public:
  Measure(HWND hwnd, const EditState& s) : hwnd_(hwnd), hdc_(GetDC(hwnd)), state_(s) {
    old_ = SelectObject(hdc_, FontOf(s));
  }
  ~Measure() {
    SelectObject(hdc_, old_);
    ReleaseDC(hwnd_, hdc_);
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;
  // Width of the first n shown characters.
  int prefix(int n) const {
    if (n <= 0) return 0;
    const std::string shown = Shown(state_, 0, n);
    SIZE size{};
    GetTextExtentPoint32A(hdc_, shown.c_str(), static_cast<int>(shown.size()), &size);
    return size.cx;
  }
  int height() const {
    TEXTMETRIC tm{};
    GetTextMetrics(hdc_, &tm);
    return tm.tmHeight;
  }
  // The character boundary nearest to x (text coordinates).
  int index_at(int x) const {
    const int n = static_cast<int>(state_.text.size());
    int best = 0, best_distance = std::abs(x);
    for (int i = 1; i <= n; ++i) {
      const int d = std::abs(prefix(i) - x);
      if (d < best_distance) best = i, best_distance = d;
    }
    return best;
  }

 private:
  HWND hwnd_;
  HDC hdc_;
  const EditState& state_;
  HGDIOBJ old_ = nullptr;
};

RECT TextArea(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  const int inset = ((Style(hwnd) & WS_BORDER) ? 1 : 0) + kPadding;
  return RECT{r.left + inset, r.top + (inset - kPadding), r.right - inset, r.bottom - (inset - kPadding)};
}

// Left edge of the text within the text area (alignment and scrolling).
int TextOrigin(HWND hwnd, const EditState& s, const Measure& m) {
  const RECT area = TextArea(hwnd);
  const int width = m.prefix(static_cast<int>(s.text.size()));
  const int room = area.right - area.left;
  const DWORD style = Style(hwnd);
  if (width <= room) {
    if (style & ES_CENTER) return area.left + (room - width) / 2;
    if (style & ES_RIGHT) return area.right - width;
    return area.left;
  }
  return area.left - s.scroll;
}

// Scrolls so the caret is inside the text area.
void KeepCaretVisible(HWND hwnd, EditState& s) {
  Measure m(hwnd, s);
  const RECT area = TextArea(hwnd);
  const int room = std::max(1, static_cast<int>(area.right - area.left) - 1);
  const int total = m.prefix(static_cast<int>(s.text.size()));
  const int x = m.prefix(s.caret);
  if (total <= room) {
    s.scroll = 0;
    return;
  }
  if (x - s.scroll > room) s.scroll = x - room;
  if (x - s.scroll < 0) s.scroll = x;
  s.scroll = std::clamp(s.scroll, 0, total - room);
}

void Changed(HWND hwnd, EditState& s, bool notify) {
  // The window system's own copy of the text serves FindWindow and readers
  // that bypass the control.
  const std::string utf8 = EncodeUtf8(s.text);
  DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(utf8.c_str()));
  KeepCaretVisible(hwnd, s);
  InvalidateRect(hwnd, nullptr, FALSE);
  if (notify) NotifyParent(hwnd, EN_CHANGE);
}

void CaretMoved(HWND hwnd, EditState& s) {
  s.caret_on = s.focused;
  KeepCaretVisible(hwnd, s);
  InvalidateRect(hwnd, nullptr, FALSE);
  if (s.focused) SetTimer(hwnd, kCaretTimer, kCaretBlinkMs, nullptr);  // restart the blink phase
}

bool DeleteSelection(EditState& s) {
  if (s.caret == s.anchor) return false;
  const int from = SelStart(s);
  s.text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(SelEnd(s) - from));
  s.caret = s.anchor = from;
  return true;
}

// Inserts what fits under the limit; false when nothing could go in.
bool Insert(HWND hwnd, EditState& s, std::u32string chars) {
  const bool removed = DeleteSelection(s);
  const int room = std::max(0, s.limit - static_cast<int>(s.text.size()));
  const bool truncated = static_cast<int>(chars.size()) > room;
  if (truncated) chars.resize(static_cast<std::size_t>(room));
  if (!chars.empty()) {
    s.text.insert(static_cast<std::size_t>(s.caret), chars);
    s.caret += static_cast<int>(chars.size());
    s.anchor = s.caret;
  }
  if (truncated) NotifyParent(hwnd, EN_MAXTEXT);
  if (removed || !chars.empty()) {
    s.caret_on = s.focused;
    Changed(hwnd, s, true);
    return true;
  }
  return false;
}

void OnChar(HWND hwnd, EditState& s, char32_t ch) {
  const DWORD style = Style(hwnd);
  if (style & ES_READONLY) return;
  if (ch == U'\b') {
    if (!DeleteSelection(s)) {
      if (s.caret == 0) return;
      s.text.erase(static_cast<std::size_t>(s.caret - 1), 1);
      s.anchor = --s.caret;
    }
    s.caret_on = s.focused;
    Changed(hwnd, s, true);
    return;
  }
  // Control characters (Enter, Escape, Tab, Ctrl+letter) do not go into a
  // single line of text.
  if (ch < 0x20 || ch == 0x7F) return;
  if ((style & ES_NUMBER) && (ch < U'0' || ch > U'9')) return;
  Insert(hwnd, s, std::u32string(1, ch));
}

void OnKeyDown(HWND hwnd, EditState& s, UINT vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const int length = static_cast<int>(s.text.size());
  int to = s.caret;
  switch (vk) {
    case VK_LEFT:
      to = (!shift && s.caret != s.anchor) ? SelStart(s) : std::max(0, s.caret - 1);
      break;
    case VK_RIGHT:
      to = (!shift && s.caret != s.anchor) ? SelEnd(s) : std::min(length, s.caret + 1);
      break;
    case VK_HOME: to = 0; break;
    case VK_END: to = length; break;
    case VK_DELETE:
      if (Style(hwnd) & ES_READONLY) return;
      if (!DeleteSelection(s)) {
        if (s.caret >= length) return;
        s.text.erase(static_cast<std::size_t>(s.caret), 1);
      }
      s.caret_on = s.focused;
      Changed(hwnd, s, true);
      return;
    default: return;
  }
  s.caret = to;
  if (!shift) s.anchor = to;
  CaretMoved(hwnd, s);
}

void Paint(HWND hwnd, EditState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT client{};
  GetClientRect(hwnd, &client);
  const DWORD style = Style(hwnd);
  FillColor(hdc, client, kBackground);
  if (style & WS_BORDER) FrameColor(hdc, client, kBorder);

  const RECT area = TextArea(hwnd);
  HGDIOBJ old_font = SelectObject(hdc, FontOf(s));
  SetBkMode(hdc, TRANSPARENT);
  TEXTMETRIC tm{};
  GetTextMetrics(hdc, &tm);
  const int y = area.top + ((area.bottom - area.top) - tm.tmHeight) / 2;
  int x0;
  {
    Measure m(hwnd, s);
    x0 = TextOrigin(hwnd, s, m);
  }
  auto width_of = [&](int n) {
    if (n <= 0) return 0;
    const std::string shown = Shown(s, 0, n);
    SIZE size{};
    GetTextExtentPoint32A(hdc, shown.c_str(), static_cast<int>(shown.size()), &size);
    return static_cast<int>(size.cx);
  };
  IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
  const int length = static_cast<int>(s.text.size());
  const std::string all = Shown(s, 0, length);
  SetTextColor(hdc, IsWindowEnabled(hwnd) ? kText : kGreyText);
  TextOutA(hdc, x0, y, all.c_str(), static_cast<int>(all.size()));
  if (s.caret != s.anchor && s.focused) {
    const int a = SelStart(s), b = SelEnd(s);
    const RECT sel{x0 + width_of(a), y, x0 + width_of(b), y + tm.tmHeight};
    FillColor(hdc, sel, kHighlight);
    const std::string part = Shown(s, a, b);
    SetTextColor(hdc, kHighlightText);
    TextOutA(hdc, sel.left, y, part.c_str(), static_cast<int>(part.size()));
  }
  if (s.focused && s.caret_on) {
    const int cx = std::min(x0 + width_of(s.caret), static_cast<int>(area.right) - 1);
    FillColor(hdc, RECT{cx, y, cx + 1, y + tm.tmHeight}, kText);
  }
  SelectObject(hdc, old_font);
  EndPaint(hwnd, &ps);
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    EditState* s = States().create(hwnd);
    if (GetWindowLongPtr(hwnd, GWL_STYLE) & ES_PASSWORD) s->password = U'*';
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    if (cs && cs->lpszName) s->text = DecodeUtf8(cs->lpszName);
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  EditState* s = States().find(hwnd);
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCDESTROY:
      States().erase(hwnd);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kCaretTimer);
      return 0;
    case WM_SETTEXT: {
      s->text = DecodeUtf8(lParam ? reinterpret_cast<const char*>(lParam) : "");
      s->caret = s->anchor = 0;
      s->scroll = 0;
      Changed(hwnd, *s, true);
      return TRUE;
    }
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      KeepCaretVisible(hwnd, *s);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_CHAR: OnChar(hwnd, *s, static_cast<char32_t>(wParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, *s, static_cast<UINT>(wParam)); return 0;
    case WM_SETFOCUS:
      s->focused = true;
      CaretMoved(hwnd, *s);
      NotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      s->caret_on = false;
      s->dragging = false;
      KillTimer(hwnd, kCaretTimer);
      InvalidateRect(hwnd, nullptr, FALSE);
      NotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_TIMER:
      if (wParam != kCaretTimer) return DefWindowProc(hwnd, msg, wParam, lParam);
      s->caret_on = s->focused && !s->caret_on;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE: {
      if (msg == WM_MOUSEMOVE && !s->dragging) return 0;
      if (msg == WM_LBUTTONDOWN) {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        SetCapture(hwnd);
        s->dragging = true;
      }
      int index;
      {
        Measure m(hwnd, *s);
        index = m.index_at(GET_X_LPARAM(lParam) - TextOrigin(hwnd, *s, m));
      }
      s->caret = index;
      if (msg == WM_LBUTTONDOWN && GetKeyState(VK_SHIFT) >= 0) s->anchor = index;
      CaretMoved(hwnd, *s);
      return 0;
    }
    case WM_LBUTTONUP:
      if (s->dragging) {
        s->dragging = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: s->dragging = false; return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, *s); return 0;
    case EM_GETSEL: {
      const int a = SelStart(*s), b = SelEnd(*s);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
      return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min(a, 0xFFFF)), static_cast<WORD>(std::min(b, 0xFFFF))));
    }
    case EM_SETSEL: {
      // (0, -1) selects everything; a start of -1 removes the selection.
      const int length = static_cast<int>(s->text.size());
      int a = static_cast<int>(static_cast<std::intptr_t>(wParam));
      int b = static_cast<int>(lParam);
      if (a == -1) {
        s->anchor = s->caret;
      } else {
        if (b < 0 || b > length) b = length;
        a = std::clamp(a, 0, length);
        s->anchor = a;
        s->caret = b;
      }
      CaretMoved(hwnd, *s);
      return 0;
    }
    case EM_REPLACESEL:
      if (Style(hwnd) & ES_READONLY) return 0;
      Insert(hwnd, *s, DecodeUtf8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
      return 0;
    case EM_LIMITTEXT: {
      const int limit = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
      s->limit = limit > 0 ? limit : kEditDefaultLimit;
      return 0;
    }
    case EM_GETLIMITTEXT: return s->limit;
    case EM_SETPASSWORDCHAR:
      s->password = static_cast<char32_t>(wParam);
      {
        const DWORD style = Style(hwnd);
        SetWindowLongPtr(hwnd, GWL_STYLE, static_cast<LONG_PTR>(s->password ? style | ES_PASSWORD : style & ~ES_PASSWORD));
      }
      KeepCaretVisible(hwnd, *s);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case EM_GETPASSWORDCHAR: return static_cast<LRESULT>(s->password);
    case EM_SETREADONLY: {
      const DWORD style = Style(hwnd);
      SetWindowLongPtr(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
      return TRUE;
    }
    case EM_POSFROMCHAR: {
      const int index = std::clamp(static_cast<int>(wParam), 0, static_cast<int>(s->text.size()));
      Measure m(hwnd, *s);
      const RECT area = TextArea(hwnd);
      const int x = TextOrigin(hwnd, *s, m) + m.prefix(index);
      const int y = area.top + ((area.bottom - area.top) - m.height()) / 2;
      return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  const WORD id = static_cast<WORD>(GetWindowLongPtr(control, GWLP_ID));
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void RegisterEditClass() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = EditProc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = WC_EDIT;
  RegisterClass(&wc);
}

}  // namespace plat::controls
