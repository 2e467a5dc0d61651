// CCaptionBar: the floating bar at the top edge of the main frame. It is a
// skinned child window (layout "FloatingBar\CaptionBar") with the window
// buttons Minimize, Maximize or Restore, Close and Help at its right edge and
// Home and Back at its left, and it is the frame's title bar: its empty area
// answers HTCAPTION while the frame is not maximised, so the window system
// moves the frame when it is dragged there, and a double click on it toggles
// maximised and restored.
//
// The frame creates it, stores its slide position (0.0 fully shown, 1.0
// fully moved out above the frame) and places it across its client width.
// The skin draws the bar for one width (its layout's); at another width the
// whole bar, its height, background, buttons, title and window region, is
// scaled by the same factor, as the pages below it are.
#pragma once

#include <memory>
#include <string>

#include "lounge/skin/skin_page.h"

inline constexpr const char* CAPTION_BAR_LAYOUT = "FloatingBar\\CaptionBar";
inline constexpr const char* CAPTION_BAR_TITLE = "MRV Caption Bar";
// Key colour and tolerance of the bar's window region.
inline constexpr plat::COLORREF BAR_REGION_KEY = 0xFF00FF;
inline constexpr plat::COLORREF BAR_REGION_TOLERANCE = 0x101010;

// What the caption bar asks of the main frame.
class ICaptionBarFrame {
 public:
  // The frame window: the bar's parent, maximised or not.
  virtual plat::HWND FrameWindow() = 0;
  virtual int Maximize() = 0;
  virtual int Restore() = 0;
  virtual int MinimizeFrame() = 0;
  virtual int QuitApplication() = 0;
  virtual int OpenHelp() = 0;
  // Whether the Root (home) page is the active page.
  virtual bool IsRootPageActive() = 0;
  // The active page's query, 0 without one.
  virtual int QueryActivePage() = 0;
  // The active page hears that the mouse left it (the cursor is over the bar).
  virtual void ActivePageMouseLeave() = 0;

 protected:
  ~ICaptionBarFrame() = default;
};

class CCaptionBar : public CSkinPage {
 public:
  // Creates the hidden bar window as a child of the frame window and loads
  // `layout` into it; null when the window cannot be made. `host` runs the
  // actions the bar does not handle itself and plays the click sounds.
  static std::unique_ptr<CCaptionBar> Create(ICaptionBarFrame& frame, ISkinPageHost* host,
                                             const std::string& layout = CAPTION_BAR_LAYOUT);
  ~CCaptionBar() override;

  plat::HWND Window() const { return Owner(); }
  // The slide position the frame keeps on the bar.
  float Position() const { return m_position; }
  void SetPosition(float fraction) { m_position = fraction; }
  // The bar's height at its current width: the layout's height scaled by the
  // bar's width over the layout's width.
  int Height() const;
  // The bar's height when it is `barWidth` wide.
  int HeightAt(int barWidth) const;
  // Puts the bar across the frame's client width at the height for that
  // width, moved up by its height times the position.
  void Place(const plat::RECT& frameClient);
  // True while the frame is being moved by a drag that started on the bar.
  bool IsDragging();

  // Shared with the playback bar, the OSD and the frame.
  void Disable();
  void Enable();

  // ---- skin page overrides ----
  // Loads the layout, sizes the bar to its height for its width and cuts the
  // window region out of its background by the magenta key.
  int LoadLayout(const std::string& path) override;
  // Restore shows only maximised, Maximize only windowed, Home and Back only
  // away from the home page. Returns 0.
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
  // Window buttons go to the frame; Restore and Close, and every other name,
  // are then executed by the system core.
  int OnAction(const std::string& name) override;

 private:
  CCaptionBar(plat::HWND hwnd, ICaptionBarFrame& frame, ISkinPageHost* host) : CSkinPage(hwnd, host), m_frame(frame) {}
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  bool IsFrameMaximized();
  // A point on no button and no list action.
  bool OnEmptyArea(plat::POINT point);
  // Cuts the window region from the background as drawn at the bar's size.
  void UpdateRegion();
  void ToggleMaximized();

  ICaptionBarFrame& m_frame;
  bool m_tracking = false;
  float m_position = 1.0f;
  bool m_dragging = false;
};
