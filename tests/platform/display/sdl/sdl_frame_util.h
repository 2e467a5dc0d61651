// A frame window for the SDL backend tests: painted in one colour, logging
// its input messages, answering WM_CLOSE by logging only.
#pragma once

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace sdltest {

using namespace plat;

inline constexpr COLORREF kFrameColor = RGB(30, 140, 200);

struct Logged {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<Logged>& Log() {
  static std::vector<Logged> log;
  return log;
}

inline std::vector<Logged> Of(UINT msg) {
  std::vector<Logged> out;
  for (const Logged& l : Log())
    if (l.msg == msg) out.push_back(l);
  return out;
}

inline LRESULT FrameProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_APPCOMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_CLOSE:
    case WM_SYSCOMMAND:
      Log().push_back({msg, w, l});
      if (msg == WM_CLOSE) return 0;
      break;
    case WM_NCHITTEST: {
      // The top 20 pixels are the caption: dragging there moves the frame.
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(h, &p);
      if (p.y >= 0 && p.y < 20 && !IsZoomed(h)) return HTCAPTION;
      break;
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(kFrameColor);
      FillRect(reinterpret_cast<HDC>(w), &r, b);
      DeleteObject(b);
      return 1;
    }
    default: break;
  }
  return DefWindowProc(h, msg, w, l);
}

inline void RegisterFrameClass() {
  WNDCLASS wc;
  wc.lpfnWndProc = FrameProc;
  wc.lpszClassName = "SdlTestFrame";
  RegisterClass(&wc);
}

inline void Pump() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) break;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

}  // namespace sdltest
