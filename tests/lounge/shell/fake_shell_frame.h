// A stand-in main frame for page tests: it owns a real frame window (made
// by the test's environment), answers the pages' frame calls, records the
// frame services and the actions the pages execute, and hands out a
// configuration root owned by the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lounge/shell/module_page.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/skin_page_host.h"
#include "platform/win/window.h"

namespace pages {

struct ExecutedAction {
  std::string name;
  long a = 0;
  long b = 0;
};

class FakeShellFrame : public IShellFrame, public IFrameServices, public ISkinPageHost {
 public:
  plat::HWND window = nullptr;
  CConfig* config = nullptr;
  AppOptions options;
  IModulePage* active = nullptr;
  bool maximized = false;
  bool cursorOverBars = false;
  int actionResult = 1;
  int driveKind = 0;
  plat::HRESULT driveResult = plat::E_FAIL;
  std::vector<std::string> calls;  // frame and service calls, by name with arguments
  std::vector<std::string> sounds;  // the sound files played
  std::vector<ExecutedAction> executed;
  std::function<int()> showSettingPage;
  CScheduleList* schedules = nullptr;

  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call;
    return n;
  }
  bool Executed(const std::string& name) const {
    for (const ExecutedAction& e : executed)
      if (e.name == name) return true;
    return false;
  }

  // ---- IShellFrame ----
  plat::HWND FrameWindow() override { return window; }
  IFrameServices& Services() override { return *this; }
  ISkinPageHost& PageHost() override { return *this; }
  AppOptions& Options() override { return options; }
  plat::HRESULT GetDriveInfo(int drive, int* kind) override {
    calls.push_back("GetDriveInfo " + std::to_string(drive));
    if (kind) *kind = driveKind;
    return driveResult;
  }
  CScheduleList* GetScheduleList() override { return schedules; }
  void SetActivePage(IModulePage* page) override {
    if (active && active != page) active->Deactivate();
    active = page;
    calls.push_back("SetActivePage");
  }
  IModulePage* ActivePage() override { return active; }
  bool IsMaximized() override { return maximized; }
  int Maximize() override { return maximized = true, calls.push_back("Maximize"), 1; }
  int Restore() override { return maximized = false, calls.push_back("Restore"), 1; }
  int OpenHelp() override { return calls.push_back("OpenHelp"), 1; }
  void StopPressRepeat() override { calls.push_back("StopPressRepeat"); }
  int ShowSettingPage() override {
    calls.push_back("ShowSettingPage");
    return showSettingPage ? showSettingPage() : 1;
  }
  int ShowCaptionBar() override { return calls.push_back("ShowCaptionBar"), 1; }
  int SetPlaybackBarPath(const std::string& path) override { return calls.push_back("SetPlaybackBarPath " + path), 1; }
  int ShowPlaybackTooltip(int show) override { return calls.push_back("ShowPlaybackTooltip " + std::to_string(show)), 1; }
  bool IsCursorOverBars() override { return cursorOverBars; }

  // ---- ISkinPageHost ----
  CConfig* GetConfig() override { return config; }
  int ExecuteAction(const std::string& name, long a, long b) override {
    executed.push_back({name, a, b});
    return actionResult;
  }
  void PlaySound(const char* file, plat::DWORD) override {
    if (file) sounds.push_back(file);
  }
  plat::HWND MainFrame() override { return window; }

  // ---- IFrameServices ----
  int LookupString(const std::string& key, std::string& text) override { return 0; }
  int SetDisplayRect(const plat::RECT&) override { return calls.push_back("SetDisplayRect"), 1; }
  int SetOsdOption(int v) override { return calls.push_back("SetOsdOption " + std::to_string(v)), 1; }
  int NotifyCaptionBar(int v) override { return calls.push_back("NotifyCaptionBar " + std::to_string(v)), 1; }
  int SetCaptionBarVisible(int show, int animate) override {
    return calls.push_back("SetCaptionBarVisible " + std::to_string(show) + " " + std::to_string(animate)), 1;
  }
  int NotifyPlaybackBar(int v) override { return calls.push_back("NotifyPlaybackBar " + std::to_string(v)), 1; }
  int SetPlaybackBarVisible(int show, int animate) override {
    return calls.push_back("SetPlaybackBarVisible " + std::to_string(show) + " " + std::to_string(animate)), 1;
  }
  int SetBarsTopmost(int f) override { return calls.push_back("SetBarsTopmost " + std::to_string(f)), 1; }
  int HideCursor() override { return calls.push_back("HideCursor"), 1; }
  int SuspendPowerSaving() override { return calls.push_back("SuspendPowerSaving"), 1; }
  int RestorePowerSaving() override { return calls.push_back("RestorePowerSaving"), 1; }
  int PostRemoteMode(int on) override { return calls.push_back("PostRemoteMode " + std::to_string(on)), 1; }
  int KeepDisplayOn(int r) override { return calls.push_back("KeepDisplayOn " + std::to_string(r)), 1; }
  int EnableScreenSaver(int e) override { return calls.push_back("EnableScreenSaver " + std::to_string(e)), 1; }
  int EnableMonitorPowerOff(int e) override {
    return calls.push_back("EnableMonitorPowerOff " + std::to_string(e)), 1;
  }
  plat::HWND GetFrameWnd() override { return window; }
  int ShowOsdTextW(const std::u16string&) override { return calls.push_back("ShowOsdTextW"), 1; }
  int ShowOsdText(const std::string& t) override { return calls.push_back("ShowOsdText " + t), 1; }
  int ShowOsdStringId(const std::string& k) override { return calls.push_back("ShowOsdStringId " + k), 1; }
  int SetOsdOption2(int ms) override { return calls.push_back("SetOsdOption2 " + std::to_string(ms)), 1; }
  int GetOsdOption() override { return 2000; }
  int HideOsd() override { return calls.push_back("HideOsd"), 1; }
  int SetOsdOwner(std::intptr_t v) override { return calls.push_back("SetOsdOwner " + std::to_string(v)), 1; }
  int GetVendorId() override { return options.vendorId; }
  int GetAppFlags() override { return options.generalFeatures; }
  int MinimizeFrame() override { return calls.push_back("MinimizeFrame"), 1; }
  int QuitApplication() override { return calls.push_back("QuitApplication"), 1; }
};

}  // namespace pages
