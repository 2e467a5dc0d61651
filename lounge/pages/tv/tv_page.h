// CTvPage: the TV module's page. It loads the TV skin pages, turns keys and
// clicks into the TV controller's actions (channel and teletext digits among
// them), lets the user enable, disable and reorder channels, draws the texts
// and lists from the TV section of the configuration, and tells the frame
// where the live picture goes. The TV controller drives it back through
// ITvPageEvents.
#pragma once

#include <string>

#include "interfaces/page_events.h"
#include "lounge/pages/tv/tv_page_digits.h"
#include "lounge/shell/module_page.h"

class CConfig;
class CTVConfig;

// The frame timer that ends a channel number typed with fewer than three digits.
inline constexpr plat::UINT_PTR TV_DIGIT_TIMER = CTvDigitEntry::kTimerId;
// The frame timer that hides the idle cursor and the bars over the picture.
inline constexpr plat::UINT_PTR TV_CURSOR_TIMER = 5;
inline constexpr plat::UINT TV_CURSOR_IDLE_MS = 4000;
// The bar the TV module's transport buttons live on.
inline constexpr const char* TV_PLAYBACK_BAR_PATH = "FloatingBar\\PlaybackBar\\TVPlaybackBar";

class CTvPage : public CShellPage, public ITvPageEvents {
 public:
  explicit CTvPage(IShellFrame& frame);
  ~CTvPage() override;

  // ---- ITvPageEvents ----
  int EnterModule() override;
  int ShowPage(const char* layoutPath) override;
  int Redraw(int flag) override;  // also the skin page's redraw
  int InvalidateFrame() override;
  int ActivateWindow() override;
  int ResetDigitEntry() override;
  int GetDisplayWindow(plat::HWND* window, plat::RECT* video) override;
  int GetTVWallSize() override;
  int SetTVWallItemCount(int count) override;
  int SetChannelListItemCount(int count) override;
  int DrawAutoScanProgress() override;
  int OnDisplayResize() override;

  // ---- IModulePage ----
  int OnResize() override;
  int OnTimer(plat::UINT_PTR id) override;
  int OnMouseMove(int x, int y) override;
  int OnButtonDown(int x, int y) override;
  int OnButtonUp(int x, int y) override;
  using CShellPage::OnKeyDown;

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;  // also kills the idle-cursor timer
  int OnAction(const std::string& name) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) override;
  int OnListItemAction(int list, int item) override;
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  int OnKeyUp(int flag) override;
  int OnKeyDown(int flag) override;
  // Enter over the live picture opens the main menu.
  int PressFocusedEntry() override;
  int QueryTextShown(const std::string& name, int* shown) override;
  int QueryListShown(const std::string& name, int* shown) override;
  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int QueryListLinkState(int list, int link, int* shown, int* enabled, int* checked) override;

  // ---- what the page shows (also for tests) ----
  std::string TextFor(const std::string& name) const;
  std::string ListTextFor(const std::string& name) const;
  const CTvDigitEntry& Digits() const { return m_digits; }
  int SelectedChannel() const { return m_selectedChannel; }

 private:
  CConfig* Config() const;
  CTVConfig* TV() const;
  int Send(const char* action, std::intptr_t a = 0, std::intptr_t b = 0);
  CTvDigitEntry::Presets PresetsNow() const;
  // Places the live picture at "TV Video" (or nowhere without it).
  void PlaceVideo();
  // The channel editor of vendor 4.
  int EndChannelEdit();
  // Swaps the selected channel with its neighbour `step` rows away.
  int MoveSelectedChannel(int step);
  int ListIndex(const std::string& name) const;
  // The vendor-4 channel editor with a channel selected (edit mode 1).
  bool SelectingChannel() const;
  // Whether the focus is on an item in the top (or bottom) row of the wall.
  bool WallFocusOnEdgeRow(bool top);
  // The screen spans of the vendor-4 channel columns, read from the
  // list_texts "PRESET", "CHNAME" and "CHNUMBER" of the channel list.
  void FetchChannelColumns();
  void DrawChannelColumns(int index, plat::HDC dc, const plat::RECT& item);
  void DrawGuideRow(int row, plat::HDC dc, const plat::RECT& check, const plat::RECT& text);
  void KillCursorTimer();

  CTvDigitEntry m_digits;
  bool m_cursorTimer = false;
  plat::RECT m_presetColumn{};
  plat::RECT m_nameColumn{};
  plat::RECT m_numberColumn{};
  int m_selectedRow = -1;
  int m_selectedChannel = -1;
};
