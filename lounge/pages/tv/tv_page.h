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
  using CShellPage::OnKeyDown;

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnAction(const std::string& name) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) override;
  int OnListItemAction(int list, int item) override;
  int OnKeyUp(int flag) override;
  int OnKeyDown(int flag) override;
  // Enter over the live picture opens the main menu.
  int PressFocusedEntry() override;
  int QueryTextShown(const std::string& name, int* shown) override;
  int QueryListShown(const std::string& name, int* shown) override;
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

  CTvDigitEntry m_digits;
  int m_selectedRow = -1;
  int m_selectedChannel = -1;
};
