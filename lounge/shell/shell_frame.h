// IShellFrame: what the shell pages ask of the main frame. The frame makes
// every page with itself as this interface; tests give a fake.
#pragma once

#include <functional>
#include <string>

#include "interfaces/ui_system.h"
#include "lounge/shell/app_options.h"
#include "platform/core/types.h"

class CConfig;
class IModulePage;
class ISkinPageHost;

class IShellFrame {
 public:
  // The frame window (null before it is created).
  virtual plat::HWND FrameWindow() = 0;
  // The 27 frame services corebridge is handed.
  virtual IFrameServices& Services() = 0;
  // The host every page's skin part uses: configuration root, actions
  // through the UI system, bars, sounds.
  virtual ISkinPageHost& PageHost() = 0;
  // The application's start-up options (the web-link fields are written).
  virtual AppOptions& Options() = 0;
  // The UI system's drive query (slot 19); E_FAIL while unbound.
  virtual plat::HRESULT GetDriveInfo(int drive, int* kind) = 0;
  // The UI system's schedule list (slot 18); null while unbound.
  virtual CScheduleList* GetScheduleList() { return nullptr; }

  // The previous active page is deactivated; `page` (or none) becomes active.
  virtual void SetActivePage(IModulePage* page) = 0;
  virtual IModulePage* ActivePage() = 0;
  virtual bool IsMaximized() = 0;
  virtual int Maximize() = 0;
  virtual int Restore() = 0;
  virtual int OpenHelp() = 0;
  // Stops the frame's press-repeat (idle) timer.
  virtual void StopPressRepeat() = 0;
  // The setting page's ShowSettingPage (the home page's "Setting Entry").
  virtual int ShowSettingPage() = 0;
  // The bars of a module being entered: the caption bar is made when there
  // is none; the playback bar loads `layoutPath` (made when there is none).
  virtual int ShowCaptionBar() = 0;
  virtual int SetPlaybackBarPath(const std::string& layoutPath) = 0;
  // 0 takes the playback bar's tooltip down; the bar shows it itself on hover.
  virtual int ShowPlaybackTooltip(int show) { return (void)show, 0; }
  // Draws the playback bar's text element `name` again, alone, when the bar
  // is shown: a value that changes often without a redraw of the bar.
  virtual int RefreshPlaybackBarText(const std::string& name) { return (void)name, 0; }
  // Whether the cursor lies over the visible caption or playback bar.
  virtual bool IsCursorOverBars() = 0;

  // Whether the mouse moved since the frame last looked.
  virtual int HasMouseMoved() { return 0; }

  // The UI system's picture drawing for the Photo page; null while unbound.
  virtual IUISystem* UISystem() { return nullptr; }
  // The Photo page's drawing of its messages 1682 and 1683 (message, wParam,
  // lParam), which the frame calls while that page is active.
  using PhotoItemDrawer = std::function<void(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam)>;
  virtual void SetPhotoItemDrawer(PhotoItemDrawer drawer) { (void)drawer; }

 protected:
  ~IShellFrame() = default;
};
