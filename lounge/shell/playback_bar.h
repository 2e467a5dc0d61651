// CPlaybackBar: the floating transport bar at the bottom edge of the main
// frame. It shows the buttons of the module being played from the layout the
// page chooses, asks the configuration sections what each button shows,
// executes the buttons' actions through the UI system, draws the radio band
// and frequency (and for vendor 1 the play time), repeats a held button and
// shows each button's text in a tooltip above it.
//
// The frame creates it (Create), loads other layouts into it (LoadLayout,
// which sizes it across the frame and puts it just below),
// slides it in and out (SetVisible, with the frame's timers 1114 to 1116
// handed to OnSlideTimer), redraws it (Redraw) and keeps its position
// fraction across resizes (Position, SetPosition).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_page.h"

// Timers on the bar window.
inline constexpr plat::UINT_PTR kPlaybackBarClockTimer = 2111;  // play time, every second
inline constexpr plat::UINT_PTR kPressRepeatDelayTimer = 1120;  // a held button starts repeating
inline constexpr plat::UINT_PTR kPressRepeatTimer = 1121;       // each repeat
inline constexpr plat::UINT kPressRepeatDelayMs = 1000;
inline constexpr plat::UINT kPressRepeatMs = 300;
// Timer on the tooltip that takes it down.
inline constexpr plat::UINT_PTR kPlaybackTooltipHideTimer = 2135;
// Timers on the frame window that the frame passes to OnSlideTimer.
inline constexpr plat::UINT_PTR kPlaybackBarDelayedHideTimer = 1114;
inline constexpr plat::UINT_PTR kPlaybackBarSlideInTimer = 1115;
inline constexpr plat::UINT_PTR kPlaybackBarSlideOutTimer = 1116;
inline constexpr plat::UINT kSlideInStepMs = 50;
inline constexpr plat::UINT kSlideOutStepMs = 100;

inline constexpr const char* kPlaybackBarClass = "MRV Playback Bar";
inline constexpr const char* kPlaybackBarLayoutFolder = "FloatingBar\\PlaybackBar\\";

// One area of the bar that shows a text of its own in the tooltip.
struct PlaybackTipArea {
  plat::RECT rect{};
  std::string text;
};

class CPlaybackBar : public CSkinPage {
 public:
  // Reads the two play-time spans in seconds (the UI system's play times);
  // false when they cannot be read.
  using PlayTimeSource = std::function<bool(double& first, double& second)>;
  // Told of every mouse movement over the bar, with whether it is over a
  // button: the frame lets its active page drop its hover and asks it for
  // its state.
  using FrameMouseHook = std::function<void(bool overButton)>;

  // A hidden child of `frame` at the frame's bottom edge showing
  // `layoutPath`; null when the window cannot be created. `host` answers the
  // configuration and runs actions (no configuration: every button is
  // "not known").
  static std::unique_ptr<CPlaybackBar> Create(plat::HWND frame, ISkinPageHost* host, const std::string& layoutPath,
                                              int vendor);
  ~CPlaybackBar() override;

  plat::HWND Window() const { return Owner(); }
  plat::HWND Tooltip() const { return m_tooltip; }
  const std::string& TooltipText() const { return m_tooltipText; }
  void SetTooltipHeight(int height) { m_tooltipHeight = height; }
  void HideTooltip();
  void SetPlayTimeSource(PlayTimeSource source) { m_playTimes = std::move(source); }
  void SetFrameMouseHook(FrameMouseHook hook) { m_frameMouseHook = std::move(hook); }
  bool IsPressed() const { return m_pressed; }

  // ---- the frame's side ----
  // 0.0 fully shown .. 1.0 fully moved out below the frame's client area.
  float Position() const { return m_position; }
  // Stores the fraction and moves the bar to it for the frame's current size:
  // across the frame's width, at the layout's height scaled by that width
  // over the layout's width.
  void SetPosition(float fraction);
  // The bar's height when it is `barWidth` wide.
  int HeightAt(int barWidth);
  // Shows or hides the bar, sliding it with animation. A slide out is refused
  // while the cursor is over the bar or `cursorOverCaptionBar`. Returns 1.
  int SetVisible(int show, int animate, bool cursorOverCaptionBar);
  // One tick of timer 1114, 1115 or 1116 (0 for any other id).
  int OnSlideTimer(plat::UINT_PTR id);
  bool IsSlidingIn() const { return m_slidingIn; }
  // Whether the cursor is inside the bar's visible region.
  bool ContainsCursor() const;

  // ---- page ----
  int LoadLayout(const std::string& path) override;
  int DrawButton(int i, plat::HDC dc, const plat::RECT& rect) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  // "Vol Progress" shows the configured volume, its filled part ending in the
  // bar's own rounded end; other progress elements as the skin page draws them.
  int DrawProgress(int i, plat::HDC dc, const plat::RECT& rect) override;
  int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int QueryLinkState(const std::string& name, int* shown, int* enabled, int* checked) override;
  int QueryStillImageShown(const std::string& name, int* shown) override;
  int QueryTextShown(const std::string& name, int* shown) override;
  int QueryProgressShown(const std::string& name, int* shown) override;
  int QueryIndicatorShown(const std::string& name, int* shown) override;
  int QueryListShown(const std::string& name, int* shown) override;
  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int QueryListLinkState(int list, int link, int* shown, int* enabled, int* checked) override;
  int QueryListTextShown(int list, int text, int* shown) override;
  int QueryListImageShown(int list, int image, int* shown) override;
  // Executes the action through the UI system; its result.
  int OnAction(const std::string& name) override;

  // Sets the "Vol Progress" element.
  virtual int SetVolumeProgress(float value);
  // Repaints the volume buttons whose states changed since the last call;
  // returns how many it repainted.
  virtual int RefreshVolumeButtons();
  // Draws the text element `name` again over its piece of the background,
  // without redrawing the rest of the bar; 0 when the bar has no such text.
  int RefreshTextByName(const std::string& name);
  // Index of the first tip area containing the point, -1 when none.
  virtual int HitTestTipArea(plat::POINT point);
  // Adds a tip area where the page has no element; returns 1.
  virtual int AddTipArea(const plat::RECT& rect, const std::string& text);

  // The play-time text of the active module's time element (vendor 1).
  std::string PlayTimeText() const;

 private:
  CPlaybackBar(plat::HWND window, ISkinPageHost* host, int vendor);
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT Handle(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void CreateTooltip();
  void UpdateTooltip(plat::POINT point);
  void OnButtonDown(plat::POINT point);
  void OnButtonUp(plat::POINT point);
  void OnBarTimer(plat::UINT_PTR id);
  void DrawPlayTime();
  void StopSlideTimers();
  // Cuts the window region from the background as drawn at the bar's size.
  void UpdateRegion();
  plat::HWND Frame() const;

  int m_vendor = 0;
  // The background under refreshed texts, and what it was drawn for.
  BitmapPtr m_plainBackground;
  std::string m_plainBackgroundKey;
  std::vector<PlaybackTipArea> m_tipAreas;
  plat::HWND m_tooltip = nullptr;
  FontPtr m_tooltipFont;
  std::string m_tooltipText;
  bool m_tracking = false;
  // The background and size the current window region was cut for.
  std::string m_regionImage;
  plat::SIZE m_regionSize{};
  float m_position = 1.0f;
  bool m_slidingIn = false;
  plat::UINT_PTR m_slideTimer = 0;
  bool m_clockTimerStarted = false;
  plat::UINT_PTR m_repeatTimer = 0;
  bool m_pressed = false;
  struct VolumeCache {
    std::string action;
    int states[4];
  };
  std::vector<VolumeCache> m_volumeCache;
  // While the radio records: the file being recorded and when the bar first
  // saw it, for "Radio Record Time Text".
  std::string m_recordingFile;
  std::chrono::steady_clock::time_point m_recordingSince{};
  bool m_recordTimeShown = false;
  // The elapsed recording time, empty while the radio does not record.
  std::string RadioRecordTimeText();
  int m_tooltipHeight = 0;
  PlayTimeSource m_playTimes;
  FrameMouseHook m_frameMouseHook;
};
