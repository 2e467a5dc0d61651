// CMainApp: the program's application object. InitInstance starts the
// program in a fixed order: vendor and options from the registry, COM, the
// string table, the one-copy-per-user check, the main frame, the system core
// bound through IUISystem with the frame's services and every page's event
// table, the sound and display options, and the start-up module named on the
// command line. ExitInstance undoes it in reverse after the message loop:
// the windowed frame size is stored, the active page deactivated, the system
// core stopped (which saves the settings) and the frame destroyed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lounge/shell/app_options.h"
#include "lounge/shell/power_control_impl.h"
#include "lounge/shell/shell_pages.h"
#include "platform/core/types.h"
#include "platform/win/win_types.h"

class CCloseSignals;
class CConfig;
class CMainFrame;
class CSingleInstance;
class CStringTable;
struct IUISystem;

namespace plat {
class IdleInhibitor;
}

inline constexpr const char* kFrameClassName = "Marivel3 Frame class";
inline constexpr plat::UINT WM_REMOTE_WINDOW_FRAME = plat::WM_USER + 1001;  // 2025: the frame window to the remote

class CMainApp {
 public:
  // Why InitInstance refused to start; the exit code follows from it.
  // ClosedWhileStarting: a close signal came before the frame existed.
  // SkinBroken: no string table or no home layout could be loaded.
  enum class StartFailure {
    None,
    AnotherCopyRuns,
    OtherUserRuns,
    FrameFailed,
    BindingFailed,
    ClosedWhileStarting,
    SkinBroken
  };

  // `makePages` makes the frame's pages (MakeShellPages in the program).
  explicit CMainApp(ShellPageFactory makePages);
  // Runs ExitInstance if it has not run.
  ~CMainApp();
  CMainApp(const CMainApp&) = delete;
  CMainApp& operator=(const CMainApp&) = delete;

  // `args` are the command-line arguments after the program path (the
  // display options already taken out). False ends the program; Failure()
  // says why.
  bool InitInstance(const std::vector<std::string>& args);
  // The message loop of the UI thread until WM_QUIT; returns its exit code.
  int Run();
  // Shut-down; returns `exitCode`. Safe after a failed or partial start and
  // when called twice.
  int ExitInstance(int exitCode = 0);

  StartFailure Failure() const { return failure_; }
  // 0 for a second start of the same user (the running copy came forward)
  // and for a close asked for while starting, 1 for any other refusal.
  int FailureExitCode() const;

  CMainFrame* Frame() const { return frame_.get(); }
  plat::HWND FrameWindow() const;
  IUISystem* Bridge() const { return bridge_; }
  CConfig* Config() const { return config_; }
  AppOptions& Options() { return options_; }
  IPowerControl& Power() { return *power_; }

  // Start-up steps, in the order InitInstance runs them.
  bool CheckSingleInstance();
  bool CreateFrame();
  bool CreateSystemBridge();
  void UnbindSystemBridge();
  // The command line's start-up module; 1 when an entry action ran.
  int ParseCommandLine(const std::vector<std::string>& args);

  // Brings the frame forward (a second start asked for it).
  void RaiseFrame();
  // Asks the frame to close as the window manager would (SIGTERM, SIGINT).
  void RequestClose();

 private:
  void ShowFrameAtStart();
  void NotifyRemoteWindow(plat::LPARAM mode, const char* notice);
  void StoreFrameSize();

  ShellPageFactory makePages_;
  AppOptions options_;
  std::unique_ptr<plat::IdleInhibitor> inhibitor_;
  std::unique_ptr<CPowerControl> power_;
  std::unique_ptr<CStringTable> strings_;
  std::unique_ptr<CSingleInstance> instance_;
  std::unique_ptr<CCloseSignals> signals_;
  std::unique_ptr<CMainFrame> frame_;
  plat::HICON icon_ = nullptr;
  IUISystem* bridge_ = nullptr;  // COM reference, released when unbinding
  CConfig* config_ = nullptr;    // owned by the system core, valid while bound
  bool comInitialised_ = false;
  bool classRegistered_ = false;
  bool frameSizeFound_ = false;
  bool closeRequested_ = false;
  bool exited_ = false;
  StartFailure failure_ = StartFailure::None;
};
