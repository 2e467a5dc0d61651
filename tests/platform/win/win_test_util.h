// Helpers for window-system tests: a recording window class, message
// pumping, a manual clock and a stand-in display for input routing.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/clock.h"
#include "platform/win/display_link.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace wintest {

using namespace plat;

struct Logged {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every window of the "Recorder" classes logs its messages here; a test can
// hook a message to answer it differently.
struct Recorder {
  std::vector<Logged> log;
  std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>> hooks;
  std::vector<UINT> ignored{WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT, WM_GETTEXTLENGTH, WM_SETTEXT};

  std::vector<Logged> of(UINT msg) const {
    std::vector<Logged> out;
    for (auto& l : log)
      if (l.msg == msg) out.push_back(l);
    return out;
  }
  std::vector<Logged> of(HWND h, UINT msg) const {
    std::vector<Logged> out;
    for (auto& l : log)
      if (l.msg == msg && l.hwnd == h) out.push_back(l);
    return out;
  }
  void clear() { log.clear(); }
};

inline Recorder*& CurrentRecorder() {
  static Recorder* r = nullptr;
  return r;
}

inline LRESULT RecorderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Recorder* r = CurrentRecorder();
  if (r) {
    bool skip = false;
    for (UINT i : r->ignored) skip = skip || i == msg;
    if (!skip) r->log.push_back({h, msg, wp, lp});
    auto it = r->hooks.find(msg);
    if (it != r->hooks.end()) return it->second(h, wp, lp);
  }
  return DefWindowProc(h, msg, wp, lp);
}

// Dispatches everything waiting, including paints and due timers.
inline int Pump() {
  int n = 0;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) break;
    TranslateMessage(&m);
    DispatchMessage(&m);
    ++n;
  }
  return n;
}

class FakeDisplay : public DisplayLink {
 public:
  SIZE screen_size() const override { return SIZE{800, 600}; }
  int monitor_count() const override { return 1; }
};

// Fixture: recorder installed, classes registered, a manual clock and a
// fake display attached; everything destroyed afterwards.
class WinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentRecorder() = &rec;
    clock = std::make_shared<ManualClock>();
    SetClock(clock);
    AttachDisplay(&display);
    RegisterOnce("Recorder", 0);
    RegisterOnce("RecorderDbl", CS_DBLCLKS);
  }
  void TearDown() override {
    ReleaseCapture();
    for (HWND h : created)
      if (IsWindow(h)) DestroyWindow(h);
    Pump();
    ReleaseAllKeys();
    AttachDisplay(nullptr);
    SetClock(nullptr);
    CurrentRecorder() = nullptr;
  }
  static void RegisterOnce(const char* name, UINT style) {
    WNDCLASS wc;
    wc.style = style;
    wc.lpfnWndProc = RecorderProc;
    wc.lpszClassName = name;
    RegisterClass(&wc);  // a second registration fails quietly
  }
  HWND Make(DWORD style, RECT r, HWND parent = nullptr, const char* cls = "Recorder", const char* title = "",
            DWORD ex = 0) {
    HWND h = CreateWindowEx(ex, cls, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, nullptr,
                            nullptr, nullptr);
    created.push_back(h);
    return h;
  }
  void ReleaseAllKeys() {
    for (UINT vk = 1; vk < 256; ++vk)
      if (GetAsyncKeyState(static_cast<int>(vk)) < 0) InjectKeyUp(vk);
    Pump();
  }

  Recorder rec;
  std::shared_ptr<ManualClock> clock;
  FakeDisplay display;
  std::vector<HWND> created;
};

}  // namespace wintest
