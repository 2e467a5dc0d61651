// CMainFrame: the one top-level window of the program. It owns the ten module
// pages and routes every window message to the active page, keeps the caption
// bar, the playback bar and the on-screen display as its child windows,
// forwards the system's notices to the system core and gives the system core
// its 27 frame services. It is also the host of the pages' and bars' skin
// parts (configuration, actions, bars) and the frame the caption bar drives.
//
// The application registers the frame's window class with WindowProc, makes
// the frame (which makes the pages), calls Create, and binds the system core
// with BindSystem once it is running.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "interfaces/ui_system.h"
#include "lounge/shell/app_options.h"
#include "lounge/shell/caption_bar.h"
#include "lounge/shell/power_control.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/shell/shell_pages.h"
#include "lounge/skin/skin_page_host.h"
#include "platform/core/types.h"
#include "platform/win/win_types.h"

class COsdWnd;
class CPlaybackBar;
class CRunningObjectRegistration;

// Messages the frame answers (besides the window system's own).
inline constexpr plat::UINT WM_FRAME_QUIT = plat::WM_USER + 7;                    // 1031
inline constexpr plat::UINT WM_PHOTO_DRAW_ARCHIVE_ITEM = plat::WM_USER + 658;     // 1682
inline constexpr plat::UINT WM_PHOTO_DRAW_HIGHLIGHT_ITEM = plat::WM_USER + 659;   // 1683
inline constexpr plat::UINT WM_FRAME_EDIT_KEY = plat::WM_USER + 138;              // 1162, from edit boxes
inline constexpr plat::UINT WM_FRAME_EDIT_NAVIGATE_KEY = plat::WM_USER + 438;     // 1462, from edit boxes
inline constexpr plat::UINT WM_REMOTE_KEY_MODE = plat::WM_USER + 1000;            // 2024, to the remote window
inline constexpr plat::UINT WM_REMOTE_KEY_NOTICE = plat::WM_USER + 1002;          // 2026, from the remote window
inline constexpr const char* REMOTE_KEY_WINDOW_CLASS = "RemoteKeyWndClass";
inline constexpr const char* REMOTE_KEY_WINDOW_TITLE = "RemoteKeyWnd";

// The frame's own timers (the playback bar's 1114-1116 and the press repeat's
// 1120/1121 are named in playback_bar.h).
inline constexpr plat::UINT_PTR kCaptionBarDelayedHideTimer = 1111;
inline constexpr plat::UINT_PTR kCaptionBarSlideInTimer = 1112;
inline constexpr plat::UINT_PTR kCaptionBarSlideOutTimer = 1113;

// The help file's value under the product key in HKEY_LOCAL_MACHINE.
inline constexpr const char* HELP_FILE_VALUE = "HelpFile";

class CMainFrame : public IShellFrame, public IFrameServices, public ISkinPageHost, public ICaptionBarFrame {
 public:
  // Opens a help file; true when it was handed to a viewer.
  using HelpLauncher = std::function<bool(const std::string& path)>;
  // The Photo page's item drawing for messages 1682 and 1683 (message,
  // wParam, lParam); called only while the Photo page is active.
  using PhotoItemDrawer = std::function<void(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam)>;

  // Makes the ten pages with `makePages` (a page may be null). `options` and
  // `power` belong to the application and outlive the frame.
  CMainFrame(AppOptions& options, IPowerControl& power, ShellPageFactory makePages);
  // Destroys the window if it still exists, then deletes the pages, the bars
  // and the OSD.
  ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // The frame class's window procedure: finds the frame the window was made
  // for (passed through the create parameters) and lets it handle the message.
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

  // Creates the top-level window of `className` (registered with WindowProc);
  // WM_CREATE loads the home layout, creates every page, the OSD and the
  // running-object registration. False when the window cannot be made.
  bool Create(const char* className, const std::string& title, plat::DWORD style, const plat::RECT& rect);
  plat::HWND Window() const { return m_hwnd; }
  // Why no home layout loaded when the window was made (each tried layout
  // file and its reason); empty when one loaded or there is no home page.
  const std::string& RootLayoutError() const { return m_rootLayoutError; }

  // The system core (not owned; null unbinds). Actions, the configuration
  // root, drive queries, system notices and hot keys go through it.
  void BindSystem(IUISystem* bridge) { m_bridge = bridge; }
  IUISystem* System() const { return m_bridge; }
  const ShellPages& Pages() const { return m_pages; }

  // Replaces the help viewer (tests); the default opens the file with the
  // desktop's handler.
  void SetHelpLauncher(HelpLauncher launcher) { m_helpLauncher = std::move(launcher); }
  void SetPhotoItemDrawer(PhotoItemDrawer drawer) override { m_photoItemDrawer = std::move(drawer); }
  IUISystem* UISystem() override { return m_bridge; }

  // ---- IShellFrame (and the caption bar's frame) ----
  plat::HWND FrameWindow() override { return m_hwnd; }
  IFrameServices& Services() override { return *this; }
  ISkinPageHost& PageHost() override { return *this; }
  AppOptions& Options() override { return m_options; }
  plat::HRESULT GetDriveInfo(int drive, int* kind) override;
  CScheduleList* GetScheduleList() override;
  void SetActivePage(IModulePage* page) override;
  IModulePage* ActivePage() override { return m_activePage; }
  bool IsMaximized() override;
  int Maximize() override;
  int Restore() override;
  int OpenHelp() override;
  void StopPressRepeat() override;
  int ShowSettingPage() override;

  // ---- bars and OSD, direct ----
  // Create the bar when there is none (hidden, moved out); nothing and 0 for
  // vendor 4. ShowPlaybackBar and SetPlaybackBarPath load `layoutPath` into an
  // existing playback bar.
  int ShowCaptionBar() override;
  int HideCaptionBar();
  int ShowPlaybackBar(const std::string& layoutPath);
  int HidePlaybackBar();
  int SetPlaybackBarPath(const std::string& layoutPath) override;
  int ShowPlaybackTooltip(int show) override;
  int GetCaptionBarPosition(float& fraction);
  int SetCaptionBarPosition(float fraction);
  int GetPlaybackBarPosition(float& fraction);
  int SetPlaybackBarPosition(float fraction);
  CCaptionBar* CaptionBar() const { return m_captionBar.get(); }
  CPlaybackBar* PlaybackBar() const { return m_playbackBar.get(); }
  COsdWnd* Osd() const { return m_osd.get(); }
  bool IsCaptionBarShown() const;
  bool IsPlaybackBarShown() const;
  // Whether the cursor lies over the caption bar (its client rectangle) or
  // over the playback bar (its window region).
  bool IsCursorOverCaptionBar() const;
  bool IsCursorOverPlaybackBar() const;
  bool IsCursorOverBars() override { return IsCursorOverCaptionBar() || IsCursorOverPlaybackBar(); }
  // Shows (non-zero) the OSD with its current text within the display
  // rectangle, or hides it.
  int ShowOsd(int show);
  const plat::RECT& DisplayRect() const { return m_displayRect; }

  // ---- the caption bar's frame ----
  bool IsRootPageActive() override;
  int QueryActivePage() override;
  void ActivePageMouseLeave() override;
  // 1 when the cursor moved since the last call (and remembers where it is).
  int HasMouseMoved() override;

  // ---- IFrameServices ----
  int LookupString(const std::string& key, std::string& text) override;
  int SetDisplayRect(const plat::RECT& rect) override;
  int SetOsdOption(int value) override;
  int NotifyCaptionBar(int value) override;
  int SetCaptionBarVisible(int show, int animate) override;
  int NotifyPlaybackBar(int value) override;
  int SetPlaybackBarVisible(int show, int animate) override;
  int SetBarsTopmost(int flag) override;
  int HideCursor() override;
  int SuspendPowerSaving() override;
  int RestorePowerSaving() override;
  int PostRemoteMode(int on) override;
  int KeepDisplayOn(int release) override;
  int EnableScreenSaver(int enable) override;
  int EnableMonitorPowerOff(int enable) override;
  plat::HWND GetFrameWnd() override;
  int ShowOsdTextW(const std::u16string& text) override;
  int ShowOsdText(const std::string& text) override;
  int ShowOsdStringId(const std::string& key) override;
  int SetOsdOption2(int ms) override;
  int GetOsdOption() override;
  int HideOsd() override;
  int SetOsdOwner(std::intptr_t value) override;
  int GetVendorId() override { return m_options.vendorId; }
  int GetAppFlags() override { return m_options.generalFeatures; }
  int MinimizeFrame() override;
  int QuitApplication() override;

  // ---- ISkinPageHost ----
  CConfig* GetConfig() override;
  int ExecuteAction(const std::string& name, long param1, long param2) override;
  void HideBarsOnKey() override;
  bool HasPlaybackBar() override { return m_playbackBar != nullptr; }
  int RefreshPlaybackBarText(const std::string& name) override;
  int QueryPlaybackBarButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int CaptionBarPaintedHeight() override;
  bool IsCaptionDragging() override;
  plat::HWND MainFrame() override { return m_hwnd; }

 private:
  plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT OnFrameMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT Default(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

  // Creation and destruction.
  int OnCreate();
  void OnDestroy();
  void LoadRootLayout();
  std::string m_rootLayoutError;
  void ForEachPageInCreateOrder(const std::function<void(CShellPage&)>& call);
  // The page of a module (Movie ... TV, the record hub), or null.
  CShellPage* PageOfModule(int module) const;
  bool IsModulePage(const IModulePage* page) const;

  // Input.
  void OnMouseMove(plat::LPARAM lParam);
  void OnMouseLeave();
  void OnButtonDown(plat::LPARAM lParam);
  void OnButtonUp(plat::LPARAM lParam);
  void OnKeyDown(plat::WPARAM vk, plat::LPARAM lParam);
  plat::LRESULT OnNcHitTest(plat::LPARAM lParam);
  void OnSize();
  void OnSizing(plat::WPARAM edge, plat::RECT* rect);
  void OnTimer(plat::UINT_PTR id);
  void OnPressRepeatTimer(plat::UINT_PTR id);
  void ShowCursorNow();
  void RedrawBarLists();

  // The WindowProc steps before the message map.
  plat::LRESULT OnCloseRequest(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT DispatchHotkey(plat::WPARAM command);
  plat::LRESULT OnRemoteKeyNotice(plat::WPARAM wParam, plat::LPARAM lParam);
  void ForwardEditKey(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  // Hides the frame, runs "Home" and asks the message loop to end.
  void LeaveToHome();

  // Bars.
  CCaptionBar* EnsureCaptionBar();
  void PlaceCaptionBar();
  void StopCaptionBarTimer();
  void StartCaptionBarTimer(plat::UINT_PTR id, plat::UINT ms);
  void OnCaptionBarTimer(plat::UINT_PTR id);
  bool BarsAllowed() const;
  void PlaceOsd();
  plat::RECT ClientRect() const;

  AppOptions& m_options;
  IPowerControl& m_power;
  IUISystem* m_bridge = nullptr;
  plat::HWND m_hwnd = nullptr;

  bool m_pressed = false;
  plat::POINT m_pressPoint{};
  bool m_trackingLeave = false;

  ShellPages m_pages;
  IModulePage* m_activePage = nullptr;
  // The page of the module the user is in; it stays while the module opens
  // another page (settings) and hears OnModuleExit when the module is left.
  IModulePage* m_modulePage = nullptr;

  std::unique_ptr<CCaptionBar> m_captionBar;
  std::unique_ptr<CPlaybackBar> m_playbackBar;
  std::unique_ptr<COsdWnd> m_osd;
  plat::RECT m_displayRect{};

  plat::UINT_PTR m_captionTimer = 0;
  plat::UINT_PTR m_repeatTimer = 0;
  std::intptr_t m_osdEnable = 1;
  bool m_captionSlidingIn = false;

  plat::POINT m_lastCursor{-1, -1};
  std::unique_ptr<CRunningObjectRegistration> m_running;
  HelpLauncher m_helpLauncher;
  PhotoItemDrawer m_photoItemDrawer;
};
