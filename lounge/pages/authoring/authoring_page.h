// CAuthoringPage: the disc-authoring and burning progress page (layout
// "Authoring\Preview"). It shows the job the system core runs, read in place
// from the authoring job section, and tells the core where the video
// preview goes. Every action goes to the system core.
#pragma once

#include <optional>
#include <string>

#include "interfaces/page_events.h"
#include "lounge/shell/module_page.h"

class CConfig;

class CAuthoringPage : public CShellPage, public IAuthoringPageEvents {
 public:
  explicit CAuthoringPage(IShellFrame& frame);

  // ---- IAuthoringPageEvents ----
  int ShowAuthoringPage() override;
  // The frame window and the rectangle of the "Authoring Video" image on it;
  // 0 (outputs untouched) without a layout or without that image.
  int GetPreviewArea(plat::HWND* window, plat::RECT* rect) override;
  // The caption bar, then the page (also the page base's redraw).
  int Redraw(int flag) override;

  // The text drawn for a text element or list text, or nullopt when the page
  // base draws it.
  std::optional<std::string> TextFor(const std::string& name);
  std::optional<std::string> ListTextFor(const std::string& name);

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int OnAction(const std::string& name) override;


 private:
  CConfig* Config() const;
};
