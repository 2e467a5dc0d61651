// CRootPage: the home menu. Two lists of module entries, a clock, the user's
// name, a large icon and caption for the highlighted entry, the window
// buttons and the web entry. Most entries are handed to the system core as
// actions; the window buttons, help, settings, the web entry and an outside
// burning program are handled here.
#pragma once

#include <functional>
#include <locale>
#include <memory>
#include <optional>
#include <string>

#include "interfaces/page_events.h"
#include "lounge/shell/module_page.h"
#include "lounge/pages/home/root_page_support.h"

// Layout names the page uses.
inline constexpr const char* ROOT_MODULE_LIST = "Root Module List";
inline constexpr const char* ROOT_ACCESSARY_LIST = "Root Accessary List";
// The frame timer that redraws the clock while the page is loaded.
inline constexpr plat::UINT_PTR ROOT_CLOCK_TIMER = 2111;
inline constexpr plat::UINT ROOT_CLOCK_PERIOD_MS = 1000;
// What the remote-control window is told when the outside burning program
// takes over.
inline constexpr plat::UINT WM_REMOTE_MODE = 2024;
inline constexpr plat::LPARAM REMOTE_MODE_BURNING = 11;

class CRootPage : public CShellPage, public IHomePageEvents {
 public:
  // Runs the web-link query: (store status, server build in/out) -> result.
  using WebLinkQueryFn = std::function<int(int storeStatus, std::string& serverBuild)>;

  explicit CRootPage(IShellFrame& frame);
  ~CRootPage() override;

  // Seams for tests: what starts outside programs and what runs the query.
  void SetLauncher(std::unique_ptr<IProgramLauncher> launcher) { m_launcher = std::move(launcher); }
  void SetWebLinkQuery(WebLinkQueryFn query) { m_webLinkQuery = std::move(query); }

  // The action name whose icon and caption were drawn last (all pages share
  // it; it survives page changes).
  static const std::string& LastDrawnEntry() { return s_lastDrawnEntry; }
  static void ForgetLastDrawnEntry() { s_lastDrawnEntry.clear(); }
  plat::UINT_PTR ClockTimer() const { return m_clockTimer; }
  int MousePressed() const { return m_mousePressed; }

  // The URL the web entry opens; nothing when the product key does not open
  // or the registry's format does not fit its arguments.
  std::optional<std::string> BuildWebEntryUrl(int webLinkStatus) const;

  // ---- IHomePageEvents ----
  int ShowPage() override;
  int Redraw(CConfig* config, int flag) override;

  // ---- IModulePage ----
  int Create() override;
  int OnMouseMove(int x, int y) override;
  int OnButtonDown(int x, int y) override;
  int OnButtonUp(int x, int y) override;
  int OnDoubleClick(int x, int y) override;
  int OnPaint() override;
  int OnTimer(plat::UINT_PTR id) override;

  // ---- CSkinPage ----
  using CSkinPage::Redraw;
  using CShellPage::OnKeyDown;
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  int OnKeyUp(int flag) override;
  int OnKeyDown(int flag) override;
  int HighlightListAction(int action, int list) override;
  int OnAction(const std::string& name) override;

  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;

  // Draws the clock over the back buffer onto the screen.
  int DrawClock();
  // Draws the icon and caption of entry `name` (of list `list`, index
  // `action`); 0 when the page is not shown.
  int DrawEntryHighlight(const std::string& name, int list, int action);

 private:
  int Vendor() const;
  std::string ListName(int list) const;
  std::string ActionName(int list, int action) const;
  // The focused list action of the focused list: its name (empty if none).
  std::string FocusedActionName(int* list, int* action);
  // Highlights the list action `name` of list `listName`; with `clearFirst`
  // every other highlight of the page goes first.
  int HighlightEntry(const std::string& listName, const std::string& name, bool clearFirst);
  // After a focus move, draws the icon of the entry that has the focus.
  int FollowFocus(int result);
  // The web entries' shown flags from the installed and the server's build.
  void QueryWebEntryShown(const std::string& name, int* shown);
  int RunWebEntry();
  int StartBurner();
  // Copies a back-buffer rectangle into a scratch bitmap, lets `draw` paint
  // over it (given the scratch rectangle, origin 0,0), then puts it on the
  // screen at `rect`.
  bool DrawOverBackBuffer(const plat::RECT& rect, const std::function<void(plat::HDC, const plat::RECT&)>& draw);

  plat::UINT_PTR m_clockTimer = 0;
  int m_mousePressed = 0;
  plat::POINT m_pressPoint{};
  std::string m_shownWebName;
  std::unique_ptr<IProgramLauncher> m_launcher;
  WebLinkQueryFn m_webLinkQuery;
  std::optional<std::locale> m_locale;

  static std::string s_lastDrawnEntry;
};
