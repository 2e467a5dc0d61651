#include "platform/win/controls/message_box.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/sys/last_error.h"
#include "platform/win/controls/paint_util.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

namespace plat {

namespace {

constexpr int kMargin = 16;
constexpr int kCaptionHeight = 24;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;
constexpr int kMaxTextWidth = 480;
constexpr int kMinWidth = 200;
constexpr COLORREF kFace = RGB(240, 240, 240);
constexpr COLORREF kCaptionFace = RGB(0, 48, 128);
constexpr COLORREF kCaptionText = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kButtonFace = RGB(225, 225, 225);
constexpr COLORREF kButtonBorder = RGB(112, 112, 112);
constexpr COLORREF kDefaultBorder = RGB(0, 120, 215);

struct BoxState {
  std::string text;
  std::string caption;
  std::vector<int> answers;  // one per button, left to right
  std::vector<HWND> buttons;
  int default_index = 0;
  int escape = IDCANCEL;
  int result = 0;
  bool done = false;
};

const char* Label(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "";
  }
}

HFONT BoxFont() { return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

BoxState* StateOf(HWND box) { return reinterpret_cast<BoxState*>(GetWindowLongPtr(box, GWLP_USERDATA)); }

void Answer(BoxState& s, int answer) {
  if (s.done) return;
  s.result = answer;
  s.done = true;
}

void SetDefault(BoxState& s, int index) {
  const int n = static_cast<int>(s.buttons.size());
  s.default_index = ((index % n) + n) % n;
  for (int i = 0; i < n; ++i) {
    SetWindowLongPtr(s.buttons[static_cast<std::size_t>(i)], GWLP_USERDATA, i == s.default_index);
    InvalidateRect(s.buttons[static_cast<std::size_t>(i)], nullptr, FALSE);
  }
}

void DrawCentred(HDC hdc, const std::string& text, RECT r, COLORREF color) {
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, color);
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      if (!hdc) return 0;
      RECT r{};
      GetClientRect(hwnd, &r);
      const bool is_default = GetWindowLongPtr(hwnd, GWLP_USERDATA) != 0;
      controls::FillColor(hdc, r, kButtonFace);
      controls::FrameColor(hdc, r, is_default ? kDefaultBorder : kButtonBorder);
      if (is_default) controls::FrameColor(hdc, controls::Inset(r, 1), kDefaultBorder);
      HGDIOBJ old = SelectObject(hdc, BoxFont());
      DrawCentred(hdc, GetWindowTextString(hwnd), r, kText);
      SelectObject(hdc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      return 0;
    case WM_LBUTTONUP: {
      if (GetCapture() != hwnd) return 0;
      ReleaseCapture();
      RECT r{};
      GetClientRect(hwnd, &r);
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      // A press released outside the button is no answer.
      if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
        SendMessage(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetWindowLongPtr(hwnd, GWLP_ID)), 0),
                    reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

LRESULT BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  BoxState* s = StateOf(hwnd);
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      if (!hdc) return 0;
      RECT r{};
      GetClientRect(hwnd, &r);
      controls::FillColor(hdc, r, kFace);
      controls::FillColor(hdc, RECT{r.left, r.top, r.right, r.top + kCaptionHeight}, kCaptionFace);
      controls::FrameColor(hdc, r, kButtonBorder);
      HGDIOBJ old = SelectObject(hdc, BoxFont());
      SetBkMode(hdc, TRANSPARENT);
      SetTextColor(hdc, kCaptionText);
      RECT caption{r.left + 8, r.top, r.right - 8, r.top + kCaptionHeight};
      DrawTextA(hdc, s->caption.c_str(), static_cast<int>(s->caption.size()), &caption,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      SetTextColor(hdc, kText);
      RECT body{r.left + kMargin, r.top + kCaptionHeight + kMargin, r.right - kMargin,
                r.bottom - kMargin - kButtonHeight - kMargin};
      DrawTextA(hdc, s->text.c_str(), static_cast<int>(s->text.size()), &body, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(hdc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCHITTEST: {
      // The caption bar moves the box.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      RECT r{};
      GetClientRect(hwnd, &r);
      if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.top + kCaptionHeight) return HTCAPTION;
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_RETURN:
        case VK_SPACE: Answer(*s, s->answers[static_cast<std::size_t>(s->default_index)]); break;
        case VK_ESCAPE: Answer(*s, s->escape); break;
        case VK_LEFT: SetDefault(*s, s->default_index - 1); break;
        case VK_RIGHT:
        case VK_TAB: SetDefault(*s, s->default_index + (GetKeyState(VK_SHIFT) < 0 && wParam == VK_TAB ? -1 : 1)); break;
        default: break;
      }
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (std::find(s->answers.begin(), s->answers.end(), id) != s->answers.end()) Answer(*s, id);
      return 0;
    }
    case WM_CLOSE: Answer(*s, s->escape); return 0;
    case WM_DESTROY: Answer(*s, s->escape); return 0;
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

void RegisterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS box;
    box.lpfnWndProc = BoxProc;
    box.hCursor = LoadCursor(nullptr, IDC_ARROW);
    box.lpszClassName = kMessageBoxClass;
    RegisterClass(&box);
    WNDCLASS button;
    button.lpfnWndProc = ButtonProc;
    button.hCursor = LoadCursor(nullptr, IDC_ARROW);
    button.lpszClassName = kMessageBoxButtonClass;
    RegisterClass(&button);
  });
}

// The size of the text block, wrapped at kMaxTextWidth.
SIZE MeasureText(const std::string& text) {
  HDC hdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(hdc, BoxFont());
  RECT r{0, 0, kMaxTextWidth, 0};
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  SelectObject(hdc, old);
  DeleteDC(hdc);
  return SIZE{std::min<LONG>(r.right - r.left, kMaxTextWidth), r.bottom - r.top};
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  BoxState state;
  switch (type & 0xF) {
    case MB_OK: state.answers = {IDOK}; state.escape = IDOK; break;
    case MB_OKCANCEL: state.answers = {IDOK, IDCANCEL}; break;
    case MB_YESNOCANCEL: state.answers = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: state.answers = {IDYES, IDNO}; state.escape = IDNO; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
  RegisterClasses();
  state.text = text ? text : "";
  state.caption = caption ? caption : "Error";

  const SIZE text_size = MeasureText(state.text);
  const int n = static_cast<int>(state.answers.size());
  const int buttons_width = n * kButtonWidth + (n - 1) * kButtonGap;
  const SIZE caption_size = MeasureText(state.caption);
  const int width = std::max({static_cast<int>(text_size.cx) + 2 * kMargin, buttons_width + 2 * kMargin,
                              static_cast<int>(caption_size.cx) + 2 * kMargin, kMinWidth});
  const int height = kCaptionHeight + kMargin + static_cast<int>(text_size.cy) + kMargin + kButtonHeight + kMargin;

  HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (root && IsWindowVisible(root) && !IsIconic(root)) GetWindowRect(root, &around);
  const int x = around.left + ((around.right - around.left) - width) / 2;
  const int y = around.top + ((around.bottom - around.top) - height) / 2;

  HWND box = CreateWindowEx(WS_EX_TOPMOST, kMessageBoxClass, state.caption.c_str(), WS_POPUP | WS_DLGFRAME, x, y,
                            width, height, root, nullptr, nullptr, &state);
  if (!box) return 0;
  int bx = (width - buttons_width) / 2;
  const int by = height - kMargin - kButtonHeight;
  for (int answer : state.answers) {
    state.buttons.push_back(CreateWindowEx(0, kMessageBoxButtonClass, Label(answer), WS_CHILD | WS_VISIBLE, bx, by,
                                           kButtonWidth, kButtonHeight, box,
                                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(answer)), nullptr,
                                           nullptr));
    bx += kButtonWidth + kButtonGap;
  }
  SetDefault(state, std::min(static_cast<int>((type >> 8) & 0xF), n - 1));

  // Modal: the owner takes no input until the box is answered.
  HWND disabled = root && IsWindowEnabled(root) ? root : nullptr;
  if (disabled) EnableWindow(disabled, FALSE);
  ShowWindow(box, SW_SHOW);
  SetForegroundWindow(box);
  SetFocus(box);

  bool quit = false;
  int quit_code = 0;
  MSG m;
  while (!state.done && IsWindow(box)) {
    const BOOL got = GetMessage(&m, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quit_code = static_cast<int>(m.wParam);
      Answer(state, state.escape);
      break;
    }
    if (got < 0) break;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (disabled) EnableWindow(disabled, TRUE);
  if (IsWindow(box)) {
    SetWindowLongPtr(box, GWLP_USERDATA, 0);
    DestroyWindow(box);
  }
  if (disabled) SetForegroundWindow(disabled);
  if (quit) PostQuitMessage(quit_code);
  return state.done ? state.result : state.escape;
}

}  // namespace plat
