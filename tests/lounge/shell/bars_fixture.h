// The frame's floating windows on the headless display: a visible frame
// window that records what is posted to it, the default skin and string
// table from the build tree, a recording skin-page host and a fake frame
// for the caption bar.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "corebridge/core/config.h"
#include "lounge/shell/caption_bar.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/sys/clock.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace bars {

using plat::HWND;
using plat::POINT;
using plat::RECT;

struct Posted {
  plat::UINT msg;
  plat::WPARAM wParam;
  plat::LPARAM lParam;
};

// Messages of interest that reached the frame window.
inline std::vector<Posted>& FrameLog() {
  static std::vector<Posted> log;
  return log;
}

inline plat::LRESULT FrameProc(HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  if (msg >= plat::WM_USER) FrameLog().push_back({msg, w, l});
  if (msg == plat::WM_ERASEBKGND) return 1;
  if (msg == plat::WM_PAINT) {
    plat::PAINTSTRUCT ps;
    plat::BeginPaint(h, &ps);
    plat::EndPaint(h, &ps);
    return 0;
  }
  return plat::DefWindowProc(h, msg, w, l);
}

inline void Pump() {
  plat::MSG m;
  for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
}

// Runs the actions it is asked to and hands out a configuration root.
class RecordingHost : public ISkinPageHost {
 public:
  CConfig* config = nullptr;
  std::vector<std::string> executed;
  CConfig* GetConfig() override { return config; }
  int ExecuteAction(const std::string& name, long, long) override {
    executed.push_back(name);
    return 1;
  }
  void PlaySound(const char*, plat::DWORD) override {}
  int Count(const std::string& name) const {
    int n = 0;
    for (const std::string& e : executed) n += e == name;
    return n;
  }
};

// A frame that maximises and restores its window for real and records the
// other calls.
class FakeFrame : public ICaptionBarFrame {
 public:
  HWND window = nullptr;
  bool rootActive = true;
  std::vector<std::string> calls;
  HWND FrameWindow() override { return window; }
  int Maximize() override {
    calls.push_back("Maximize");
    plat::ShowWindow(window, plat::SW_MAXIMIZE);
    return 1;
  }
  int Restore() override {
    calls.push_back("Restore");
    plat::ShowWindow(window, plat::SW_RESTORE);
    return 1;
  }
  int MinimizeFrame() override { return calls.push_back("MinimizeFrame"), 1; }
  int QuitApplication() override { return calls.push_back("QuitApplication"), 1; }
  int OpenHelp() override { return calls.push_back("OpenHelp"), 1; }
  bool IsRootPageActive() override { return rootActive; }
  int QueryActivePage() override { return calls.push_back("QueryActivePage"), 0; }
  void ActivePageMouseLeave() override { calls.push_back("ActivePageMouseLeave"); }
};

// Headless screen of `size`, a visible frame window at `frameRect`, the
// default skin and its string table, a manual clock.
class BarsEnvironment {
 public:
  BarsEnvironment(plat::SIZE size, RECT frameRect) {
    clock = std::make_shared<plat::ManualClock>();
    plat::SetClock(clock);
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = size;
    std::string error;
    started = plat::display::StartDisplay(options, &error);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "BarsTestFrame";
    plat::RegisterClass(&wc);
    frame.window = plat::CreateWindowEx(0, "BarsTestFrame", "", plat::WS_POPUP | plat::WS_VISIBLE, frameRect.left,
                                        frameRect.top, frameRect.right - frameRect.left,
                                        frameRect.bottom - frameRect.top, nullptr, nullptr, nullptr, nullptr);
    plat::SetFocus(frame.window);
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
    FrameLog().clear();
  }
  ~BarsEnvironment() {
    UnregisterUIStringTable(strings.get());
    SetSkinBaseFolder({});
    if (plat::IsWindow(frame.window)) plat::DestroyWindow(frame.window);
    Pump();
    if (started) plat::display::StopDisplay();
    plat::SetClock(nullptr);
  }
  BarsEnvironment(const BarsEnvironment&) = delete;
  BarsEnvironment& operator=(const BarsEnvironment&) = delete;

  void Settle() {
    Pump();
    plat::display::ComposeNow();
  }
  std::uint32_t Screen(int x, int y) const { return plat::display::CurrentHeadless()->pixel(x, y) & 0xFFFFFF; }
  // Moves the clock on and runs what fell due.
  void Advance(std::uint64_t ms) {
    clock->advance(ms);
    Pump();
  }

  std::shared_ptr<plat::ManualClock> clock;
  bool started = false;
  FakeFrame frame;
  RecordingHost host;
  std::unique_ptr<CStringTable> strings;
};

}  // namespace bars
