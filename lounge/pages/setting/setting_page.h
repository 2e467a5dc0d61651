// CSettingPage: the system settings page (layout "Setting\SettingMain", and
// "Setting\About" reached through its About link). Every Left/Right changes
// a value of the configuration root or the Movie section in place and the
// page is drawn again; the boot selection is kept in the registry. The
// system core's module-9 table sends "Back" here.
#pragma once

#include <optional>
#include <string>

#include "interfaces/page_events.h"
#include "lounge/shell/module_page.h"

class CConfig;

class CSettingPage : public CShellPage, public IModule9PageEvents {
 public:
  explicit CSettingPage(IShellFrame& frame);

  // Makes the page the frame's active page and opens the main settings
  // layout (the home page's "Setting Entry"); the load result.
  int ShowSettingPage();

  // Module-9 "Back" (and the page's own going back, the same operation):
  // from the About layout back to the settings, otherwise home.
  int GoBack() override;

  int IsAboutShown() const { return m_about; }

  // The text drawn for a list text or text element of the current layout,
  // or nullopt when the page base draws that element.
  std::optional<std::string> ListTextFor(const std::string& name);
  std::optional<std::string> TextFor(const std::string& name);

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int Redraw(int paintNow) override;
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  int OnAction(const std::string& name) override;

  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int QueryListImageShown(int list, int image, int* shown) override;

 private:
  CConfig* Config() const;
  // Reads the boot selection from the registry into the configuration.
  void RefreshBootSelection();
  void WriteBootSelection(plat::DWORD value);
  // Changes the value a setting action names, then redraws; 1.
  int ChangeValue(CConfig& config, const std::string& name);
  void StepAudioOutput(CConfig& config, bool left);
  void UpdateAspectFactor(CConfig& config);
  // The name of the list action the keyboard focus is on, or empty.
  std::string FocusedListActionName();

  int m_about = 0;  // 1 while the About layout is shown
};
