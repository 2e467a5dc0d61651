// COsdWnd: the on-screen display, a small child window of the main frame that
// shows one line (or a word-wrapped block) of status text in green over the
// picture for a limited time, then hides itself and tells the system core by
// executing "On Hide OSD".
//
// The frame creates it once, sets its text and calls Show with its display
// rectangle; Show measures the text, places the window at the right of the
// display rectangle below the caption bar and shows it, which starts the
// hide timer (id 15) when a display time is set.
//
// "On Hide OSD" is executed exactly once for each time the OSD disappears:
// the notice is posted to the window (WM_OSD_HIDDEN) and delivered only while
// the OSD is still hidden; an OSD shown again before then (a new text
// replacing the old one) was not hidden, so that notice is dropped, and
// repeated or stray notices find nothing pending.
#pragma once

#include <string>

#include "lounge/skin/skin_page_host.h"
#include "platform/core/types.h"
#include "platform/win/win_types.h"

inline constexpr plat::UINT WM_OSD_HIDDEN = plat::WM_USER + 527;  // 1551
inline constexpr plat::UINT_PTR OSD_HIDE_TIMER = 15;
inline constexpr const char* OSD_HIDE_ACTION = "On Hide OSD";
inline constexpr const char* OSD_WINDOW_TITLE = "OSD Wnd";

class COsdWnd {
 public:
  // `host` gives the configuration root and runs actions; may be null.
  explicit COsdWnd(ISkinPageHost* host) : m_host(host) {}
  ~COsdWnd();
  COsdWnd(const COsdWnd&) = delete;
  COsdWnd& operator=(const COsdWnd&) = delete;

  // Creates the hidden window (1x1 at 0,0) as a child of `frame` and takes
  // the face name of the string-table key "FONT1". False when it exists or
  // cannot be made.
  bool Create(plat::HWND frame);
  plat::HWND Window() const { return m_hwnd; }

  void SetText(const std::string& text);
  void SetTextW(const std::u16string& text);
  bool IsWide() const { return m_isWide; }
  const std::string& Text() const { return m_narrowText; }
  const std::u16string& TextW() const { return m_wideText; }
  bool HasText() const { return m_isWide ? !m_wideText.empty() : !m_narrowText.empty(); }

  // The size the current text needs, word-wrapped within `limitWidth` (the
  // parent's client width when 0 or less; 400 without a parent), with the
  // bold display font.
  plat::SIZE MeasureText(int limitWidth = 0) const;

  void SetBackColour(plat::COLORREF colour) { m_backColour = colour; }
  plat::COLORREF BackColour() const { return m_backColour; }
  void SetShowMs(int ms) { m_showMs = ms; }
  int GetShowMs() const { return m_showMs; }

  // The frame's ShowOsd(1): measures the current text, hides the OSD when it
  // is up, places it within `display` (frame client coordinates; an empty
  // rectangle means the frame's client rectangle) below the caption bar
  // (`captionBarHeight`, 0 without one), raises, shows and paints it.
  // Returns 0 and shows nothing for an empty text, or for vendor 2 when the
  // configured display duration is 0 or less.
  int Show(const plat::RECT& display, int captionBarHeight);
  // Measures the current text and moves the window where Show would put it,
  // without hiding or showing it (the frame was resized). 0 for no text.
  int Place(const plat::RECT& display, int captionBarHeight);
  // The frame's ShowOsd(0).
  void Hide();
  bool IsVisible() const;

  // Where a text of `width` x `height` goes within `display`: right-aligned
  // a twentieth of the width from the right edge, below a fourteenth of the
  // height or the caption bar, whichever is lower; a text wider than the room
  // starts at the left margin.
  static plat::RECT PlaceWithin(const plat::RECT& display, int captionBarHeight, int width, int height);

  // Shared with the bars and the frame.
  void Disable();
  void Enable();

 private:
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void OnShowWindow(bool shown);
  void Paint();
  int VendorDuration() const;

  ISkinPageHost* m_host = nullptr;
  plat::HWND m_hwnd = nullptr;
  std::string m_fontFace;
  int m_fontHeight = 35;
  plat::COLORREF m_textColour = 0x00FF00;
  plat::COLORREF m_backColour = 0;
  std::string m_narrowText;
  std::u16string m_wideText;
  bool m_isWide = false;
  plat::UINT_PTR m_timerHandle = 0;
  plat::UINT_PTR m_timerId = OSD_HIDE_TIMER;
  int m_showMs = 2000;
  // A hide whose notice has not been delivered yet, and whether a notice
  // message is on its way.
  bool m_hideNoticePending = false;
  bool m_hideNoticePosted = false;
};
