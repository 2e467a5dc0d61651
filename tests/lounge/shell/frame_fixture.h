// The main frame on the headless display with a manual clock, the default
// skin and string table, pages that record what the frame calls on them, a
// recording system core and recording power switches.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/main_frame.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/sys/clock.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/support/null_ui_system.h"

namespace frametest {

using plat::HWND;
using plat::LPARAM;
using plat::POINT;
using plat::RECT;
using plat::UINT;
using plat::WPARAM;

inline void Pump() {
  plat::MSG m;
  for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
    if (m.message == plat::WM_QUIT) {
      // Put the request back for the test to find.
      plat::PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
}

// Takes a pending quit request off the queue; false when there is none.
inline bool TakeQuit() {
  plat::MSG m;
  return plat::PeekMessage(&m, nullptr, plat::WM_QUIT, plat::WM_QUIT, plat::PM_REMOVE) != plat::FALSE;
}

// A module page that logs the frame's calls as "<page>.<call> <args>".
class RecordingPage : public CShellPage {
 public:
  RecordingPage(IShellFrame& frame, std::string name, std::vector<std::string>& log)
      : CShellPage(frame), m_name(std::move(name)), m_log(log) {}

  int buttonUpResult = 1;
  int hitTestResult = static_cast<int>(plat::HTCLIENT);
  int queryResult = 0;
  std::set<std::string> loadable;  // layouts LoadLayout accepts (none: all refused)
  HWND ownerAtCreate = nullptr;

  int Create() override {
    ownerAtCreate = Owner();
    return Note("Create"), 1;
  }
  int Destroy() override { return Note("Destroy"), 1; }
  int OnShowWindow() override { return Note("OnShowWindow"), 1; }
  int OnResize() override { return Note("OnResize"), 1; }
  int OnMouseMove(int x, int y) override { return Note("OnMouseMove", {x, y}), 1; }
  int OnMouseLeave() override { return Note("OnMouseLeave"), 1; }
  int OnButtonDown(int x, int y) override { return Note("OnButtonDown", {x, y}), 1; }
  int OnButtonUp(int x, int y) override { return Note("OnButtonUp", {x, y}), buttonUpResult; }
  int OnDoubleClick(int x, int y) override { return Note("OnDoubleClick", {x, y}), 1; }
  int OnMouseDown(int x, int y) override { return Note("OnMouseDown", {x, y}), 1; }
  int OnKeyDown(UINT vk, UINT repeat, UINT flags) override {
    return Note("OnKeyDown", {static_cast<int>(vk), static_cast<int>(repeat), static_cast<int>(flags)}), 1;
  }
  int HitTest(int x, int y) override { return Note("HitTest", {x, y}), hitTestResult; }
  int OnPaint() override { return Note("OnPaint"), 1; }
  int OnModuleExit() override { return Note("OnModuleExit"), 1; }
  int OnTimer(plat::UINT_PTR id) override { return Note("OnTimer", {static_cast<int>(id)}), 0; }
  int OnMouseWheel(UINT flags, int delta, int x, int y) override {
    return Note("OnMouseWheel", {static_cast<int>(flags), delta, x, y}), 0;
  }
  int Deactivate() override { return Note("Deactivate"), 1; }
  int Query() override { return Note("Query"), queryResult; }

  int LoadLayout(const std::string& path) override {
    m_log.push_back(m_name + ".LoadLayout " + path);
    return loadable.count(path) ? 1 : 0;
  }
  int OnRenameEditKey(HWND window, int key) override {
    return Note("OnRenameEditKey", {window ? 1 : 0, key}), 0;
  }
  int OnListEntryHook() override { return Note("OnListEntryHook"), 0; }

  int OnAction(const std::string&) override { return 0; }

 private:
  void Note(const std::string& call, std::initializer_list<int> args = {}) {
    std::string entry = m_name + "." + call;
    for (int a : args) entry += " " + std::to_string(a);
    m_log.push_back(entry);
  }
  std::string m_name;
  std::vector<std::string>& m_log;
};

struct ExecutedAction {
  std::string name;
  std::intptr_t a, b;
};

struct SystemMessage {
  HWND window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// The system core's face towards the frame, recording.
class RecordingSystem : public test_support::NullUISystem {
 public:
  CConfig config;
  std::vector<ExecutedAction> executed;
  std::vector<SystemMessage> systemMessages;
  std::vector<std::intptr_t> hotkeys;
  plat::HRESULT systemMessageResult = plat::E_NOTIMPL;
  plat::HRESULT hotkeyResult = plat::S_OK;
  std::intptr_t hotkeyWindow = 0;

  int Count(const std::string& action) const {
    return static_cast<int>(
        std::count_if(executed.begin(), executed.end(), [&](const ExecutedAction& e) { return e.name == action; }));
  }

  plat::HRESULT GetConfig(CConfig** out) override {
    if (!out) return plat::E_POINTER;
    *out = &config;
    return plat::S_OK;
  }
  plat::HRESULT ExecuteAction(const char* name, std::intptr_t a, std::intptr_t b) override {
    executed.push_back({name ? name : "", a, b});
    return 1;
  }
  plat::HRESULT OnSystemMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override {
    systemMessages.push_back({window, msg, wParam, lParam});
    return systemMessageResult;
  }
  plat::HRESULT GetPlaybackTimes(double*, double*) override { return plat::E_FAIL; }
  plat::HRESULT DispatchHotkey(std::intptr_t window, std::intptr_t code, std::intptr_t) override {
    hotkeyWindow = window;
    hotkeys.push_back(code);
    return hotkeyResult;
  }
};

class RecordingPower : public IPowerControl {
 public:
  std::vector<std::string> calls;
  int result = 7;
  int SuspendPowerSaving() override { return calls.push_back("SuspendPowerSaving"), result; }
  int RestorePowerSaving() override { return calls.push_back("RestorePowerSaving"), result; }
  int KeepDisplayOn(int release) override { return calls.push_back("KeepDisplayOn " + std::to_string(release)), result; }
  int EnableScreenSaver(int enable) override {
    return calls.push_back("EnableScreenSaver " + std::to_string(enable)), result;
  }
  int EnableMonitorPowerOff(int enable) override {
    return calls.push_back("EnableMonitorPowerOff " + std::to_string(enable)), result;
  }
};

inline constexpr const char* kFrameClass = "MarivelFrameTestClass";

// A 1280x720 screen and a windowed frame at `frameRect`, made by Start.
class FrameEnvironment {
 public:
  explicit FrameEnvironment(RECT frameRect = RECT{100, 50, 900, 550}) : m_frameRect(frameRect) {
    clock = std::make_shared<plat::ManualClock>();
    plat::SetClock(clock);
    plat::display::DisplayOptions display;
    display.backend = "headless";
    display.size = plat::SIZE{1280, 720};
    std::string error;
    started = plat::display::StartDisplay(display, &error);
    plat::WNDCLASS existing;
    if (!plat::GetClassInfo(nullptr, kFrameClass, &existing)) {
      plat::WNDCLASS wc;
      wc.style = plat::CS_DBLCLKS;
      wc.lpfnWndProc = &CMainFrame::WindowProc;
      wc.lpszClassName = kFrameClass;
      plat::RegisterClass(&wc);
    }
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings.get());
  }
  ~FrameEnvironment() {
    frame.reset();
    Pump();
    UnregisterUIStringTable(strings.get());
    SetSkinBaseFolder({});
    if (started) plat::display::StopDisplay();
    plat::SetClock(nullptr);
    // A quit request the test left behind must not reach the next test.
    TakeQuit();
  }
  FrameEnvironment(const FrameEnvironment&) = delete;
  FrameEnvironment& operator=(const FrameEnvironment&) = delete;

  // Makes the frame (pages named in `missing` are null), creates its window
  // visible and binds the recording system core.
  bool Start(std::set<std::string> missing = {}) {
    frame = std::make_unique<CMainFrame>(options, power, [this, missing](IShellFrame& f) {
      ShellPages pages;
      auto make = [&](const char* name) -> std::unique_ptr<CShellPage> {
        if (missing.count(name)) return nullptr;
        auto page = std::make_unique<RecordingPage>(f, name, log);
        page->loadable = {"Root"};
        this->pages[name] = page.get();
        return page;
      };
      pages.root = make("Root");
      pages.movie = make("Movie");
      pages.music = make("Music");
      pages.photo = make("Photo");
      pages.video = make("Video");
      pages.radio = make("Radio");
      pages.tv = make("TV");
      pages.authoring = make("Authoring");
      pages.record = make("Record");
      pages.setting = make("Setting");
      return pages;
    });
    const bool created =
        frame->Create(kFrameClass, "Marivel", plat::WS_POPUP | plat::WS_VISIBLE | plat::WS_CLIPCHILDREN, m_frameRect);
    frame->BindSystem(&system);
    plat::SetFocus(frame->Window());
    Pump();
    return created;
  }

  RecordingPage& Page(const std::string& name) { return *pages.at(name); }
  HWND Window() const { return frame->Window(); }
  // Moves the clock on and runs what fell due.
  void Advance(std::uint64_t ms) {
    clock->advance(ms);
    Pump();
  }
  // A client point of the frame in screen coordinates.
  POINT Screen(POINT client) const {
    plat::ClientToScreen(Window(), &client);
    return client;
  }
  // The entries of the log that start with `prefix`, taken off the log.
  std::vector<std::string> Take(const std::string& prefix = "") {
    std::vector<std::string> taken, kept;
    for (std::string& entry : log) (entry.rfind(prefix, 0) == 0 ? taken : kept).push_back(std::move(entry));
    log = std::move(kept);
    return taken;
  }

  std::shared_ptr<plat::ManualClock> clock;
  bool started = false;
  std::unique_ptr<CStringTable> strings;
  AppOptions options;
  RecordingPower power;
  RecordingSystem system;
  std::vector<std::string> log;
  std::map<std::string, RecordingPage*> pages;
  std::unique_ptr<CMainFrame> frame;

 private:
  RECT m_frameRect;
};

}  // namespace frametest
