// A headless screen with a frame window whose messages are logged, for the
// control tests; the clock is manual so caret blinking is deterministic.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/display/display.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/clock.h"
#include "platform/win/controls/controls.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace controls_test {

using namespace plat;

inline constexpr std::uint32_t kFrameColour = 0xFF204060u;

struct Logged {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<Logged>& FrameLog() {
  static std::vector<Logged> log;
  return log;
}
// Called for WM_APP posted to the frame: lets a test act from inside a
// nested (modal) message loop.
inline std::function<void()>& OnApp() {
  static std::function<void()> action;
  return action;
}

inline LRESULT FrameProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COMMAND || msg == WM_APP) FrameLog().push_back({h, msg, w, l});
  if (msg == WM_APP && OnApp()) OnApp()();
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(ColorRefFromPixel(kFrameColour));
    FillRect(reinterpret_cast<HDC>(w), &r, b);
    DeleteObject(b);
    return 1;
  }
  return DefWindowProc(h, msg, w, l);
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock = std::make_shared<ManualClock>();
    SetClock(clock);
    display::DisplayOptions o;
    o.backend = "headless";
    o.size = SIZE{320, 240};
    std::string error;
    ASSERT_TRUE(display::StartDisplay(o, &error)) << error;
    headless = display::CurrentHeadless();
    RegisterControlClasses();
    WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "ControlsFrame";
    RegisterClass(&wc);
    FrameLog().clear();
    OnApp() = nullptr;
    frame = CreateWindowEx(0, "ControlsFrame", "Frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 320, 240,
                           nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    Pump();
  }
  void TearDown() override {
    OnApp() = nullptr;
    DestroyWindow(frame);
    Pump();
    for (UINT vk = 1; vk < 256; ++vk)
      if (GetAsyncKeyState(static_cast<int>(vk)) < 0) InjectKeyUp(vk);
    Pump();
    display::StopDisplay();
    SetClock(nullptr);
  }
  static void Pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) break;
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  std::uint32_t At(int x, int y) const { return headless->pixel(x, y); }
  std::vector<Logged> Commands(WORD code) const {
    std::vector<Logged> out;
    for (const Logged& l : FrameLog())
      if (l.msg == WM_COMMAND && HIWORD(l.wParam) == code) out.push_back(l);
    return out;
  }

  std::shared_ptr<ManualClock> clock;
  display::HeadlessBackend* headless = nullptr;
  HWND frame = nullptr;
};

}  // namespace controls_test
