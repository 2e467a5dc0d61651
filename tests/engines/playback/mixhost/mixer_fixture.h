// Shared set-up of the mixer component tests: an in-memory mixer installed
// as the backend, message pumping, and a window that records what it gets.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/audio/memory_mixer.h"
#include "platform/audio/mixer.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace mixtest {

using namespace plat;

struct Received {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// A hidden window that keeps every mixer message it receives.
class RecordingWindow {
 public:
  RecordingWindow() {
    WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "MixerTestRecorder";
    RegisterClass(&wc);
    hwnd_ = CreateWindowEx(0, "MixerTestRecorder", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~RecordingWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  std::vector<Received> received;

 private:
  static LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_MIXM_LINE_CHANGE || msg == MM_MIXM_CONTROL_CHANGE) {
      if (auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtr(h, GWLP_USERDATA))) {
        self->received.push_back({msg, wp, lp});
      }
    }
    return DefWindowProc(h, msg, wp, lp);
  }
  HWND hwnd_ = nullptr;
};

// Runs the thread's message loop until it has nothing left: watched mixer
// descriptors become posted notices, which are dispatched.
inline void Pump() {
  MSG msg;
  for (int idle = 0; idle < 3;) {
    if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
      idle = 0;
    } else {
      ++idle;
    }
  }
}

class MixerFixture : public ::testing::Test {
 protected:
  void SetUp() override { SetMixerBackend(backend); }
  void TearDown() override { SetMixerBackend(nullptr); }

  // The id of the first control of `type` on `lineId` of `device`.
  DWORD ControlOf(UINT device, DWORD lineId, DWORD type) {
    HMIXER h = nullptr;
    EXPECT_EQ(mixerOpen(&h, device, {}), MMSYSERR_NOERROR);
    std::vector<MIXERCONTROLA> controls;
    mixerGetLineControlsA(h, lineId, &controls);
    mixerClose(h);
    for (const auto& c : controls) {
      if (c.dwControlType == type) return c.dwControlID;
    }
    ADD_FAILURE() << "no control of type " << std::hex << type;
    return 0;
  }

  std::shared_ptr<MemoryMixerBackend> backend = std::make_shared<MemoryMixerBackend>();
};

}  // namespace mixtest
