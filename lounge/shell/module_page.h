// IModulePage: what the main frame calls on the active page (and on every
// page when the frame is created and destroyed). The frame routes its window
// messages here; a page overrides what it handles. A module page (Movie,
// Music, Photo, Video, Radio, TV, the record hub) also hears when its module
// is left, which another page becoming active (Deactivate) does not tell:
// the module may go on behind a page it opened.
//
// CShellPage is the base of every shell page: a skin page drawn on the frame
// window with the shell's defaults for the frame's calls. Its owner window is
// set by the frame before Create runs, because the pages are made before the
// frame has a window.
#pragma once

#include <cstdint>
#include <string>

#include "lounge/skin/skin_page.h"
#include "platform/core/types.h"

class IShellFrame;

class IModulePage {
 public:
  virtual ~IModulePage() = default;
  virtual int Create() = 0;                                   // frame WM_CREATE, every page
  virtual int Destroy() = 0;                                  // frame WM_DESTROY, every page
  virtual int OnShowWindow() = 0;                             // WM_SHOWWINDOW
  virtual int OnResize() = 0;                                 // WM_SIZE, after the display rectangle is set
  virtual int OnMouseMove(int x, int y) = 0;                  // the cursor moved (client point)
  virtual int OnMouseLeave() = 0;                             // WM_MOUSELEAVE
  virtual int OnButtonDown(int x, int y) = 0;                 // WM_LBUTTONDOWN and press repeat
  virtual int OnButtonUp(int x, int y) = 0;                   // WM_LBUTTONUP; non-zero lets a repeat fire
  virtual int OnDoubleClick(int x, int y) = 0;                // WM_LBUTTONDBLCLK
  virtual int OnMouseDown(int x, int y) = 0;                  // a button press over the page (no repeat)
  virtual int OnKeyDown(plat::UINT vk, plat::UINT repeat, plat::UINT flags) = 0;  // WM_KEYDOWN
  virtual int HitTest(int x, int y) = 0;                      // WM_NCHITTEST inside the borders
  virtual int OnPaint() = 0;                                  // WM_PAINT
  virtual int OnModuleExit() = 0;                             // the page's module is left (home, back out, stop)
  virtual int OnTimer(plat::UINT_PTR id) = 0;                 // WM_TIMER the frame does not own
  virtual int OnMouseWheel(plat::UINT flags, int delta, int x, int y) = 0;  // WM_MOUSEWHEEL
  virtual int Deactivate() = 0;                               // another page becomes active, or shut-down
  virtual int Query() = 0;                                    // the bars ask the active page
};

class CShellPage : public IModulePage, public CSkinPage {
 public:
  // `frame` outlives the page; the skin-page host is the frame's.
  explicit CShellPage(IShellFrame& frame);

  // The frame's window becomes the page's owner (before Create).
  void AttachWindow(plat::HWND frameWindow) { SetOwnerWindow(frameWindow); }
  IShellFrame& Frame() const { return m_frame; }

  // ---- shell defaults ----
  int Create() override;       // recreates the back buffer
  int Destroy() override { return 0; }
  int OnShowWindow() override { return 0; }
  int OnResize() override;     // recreates the back buffer
  int OnMouseMove(int x, int y) override;
  int OnMouseLeave() override;
  int OnButtonDown(int x, int y) override;
  int OnButtonUp(int x, int y) override;
  int OnDoubleClick(int x, int y) override;
  int OnMouseDown(int x, int y) override { return 0; }
  int OnKeyDown(plat::UINT vk, plat::UINT repeat, plat::UINT flags) override;
  int HitTest(int x, int y) override;  // HTCLIENT
  int OnPaint() override;
  int OnModuleExit() override { return 0; }
  int OnTimer(plat::UINT_PTR id) override { return 0; }
  int OnMouseWheel(plat::UINT flags, int delta, int x, int y) override { return 0; }
  int Deactivate() override;   // leaves the page (CSkinPage::OnLeave)
  int Query() override { return 0; }

  // ---- skin page state hooks: every element keeps its preset state, except
  // the window buttons Restore and Maximize, which follow the frame ----
  int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int QueryLinkState(const std::string&, int*, int*, int*) override { return 0; }
  int QueryStillImageShown(const std::string&, int*) override { return 0; }
  int QueryTextShown(const std::string&, int*) override { return 0; }
  int QueryProgressShown(const std::string&, int*) override { return 0; }
  int QueryIndicatorShown(const std::string&, int*) override { return 0; }
  int QueryListShown(const std::string&, int*) override { return 0; }
  int QueryListItemState(int, int, int*, int*, int*) override { return 0; }
  int QueryListActionState(int, int, int*, int*, int*) override { return 0; }
  int QueryListLinkState(int, int, int*, int*, int*) override { return 0; }
  int QueryListTextShown(int, int, int*) override { return 0; }
  int QueryListImageShown(int, int, int*) override { return 0; }

 protected:
  // The window buttons every full-screen page shares: "Restore" is shown
  // only while the frame is maximised, "Maximize" only while it is not.
  // 1 when `action` is one of them (and `shown` was set), else 0.
  int QueryFrameButtonState(const std::string& action, int* shown);

 private:
  IShellFrame& m_frame;
};
