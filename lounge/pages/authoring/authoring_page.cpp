#include "lounge/pages/authoring/authoring_page.h"

#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/pages/authoring/authoring_page_texts.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_text.h"

namespace {

constexpr const char* kPreviewLayout = "Authoring\\Preview";
constexpr const char* kPreviewImage = "Authoring Video";
// The module title's own colour, whatever the layout says.
constexpr plat::COLORREF kModuleTitleColour = 0xFFCAA2;

int ListTextAlign(const std::string& name) {
  return name == "Authoring DiscType Option" || name == "Authoring Element Size" ? ALIGN_CENTER : ALIGN_LEFT;
}

int FitOf(const LayoutText& element) { return element.dynamicFit ? SKIN_FIT_SHRINK : SKIN_FIT_ELLIPSIS; }

}  // namespace

CAuthoringPage::CAuthoringPage(IShellFrame& frame) : CShellPage(frame) {}

CConfig* CAuthoringPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

int CAuthoringPage::ShowAuthoringPage() {
  Frame().SetActivePage(this);
  return LoadLayout(kPreviewLayout);
}

int CAuthoringPage::GetPreviewArea(plat::HWND* window, plat::RECT* rect) {
  int image = -1;
  if (!IsLoaded() || !Layout() || !Layout()->FindStillImage(kPreviewImage, image)) return 0;
  plat::RECT area{};
  if (!GetStillImageScreenRect(image, &area)) return 0;
  if (rect) *rect = area;
  if (window) *window = Frame().FrameWindow();
  return 1;
}

int CAuthoringPage::Redraw(int flag) {
  Frame().Services().NotifyCaptionBar(flag);
  return CShellPage::Redraw(flag);
}

int CAuthoringPage::LoadLayout(const std::string& path) {
  CShellPage::LoadLayout(path);
  Frame().Services().SetCaptionBarVisible(1, 0);
  return 1;
}

std::optional<std::string> CAuthoringPage::TextFor(const std::string& name) {
  CConfig* config = Config();
  return config ? AuthoringText(*config, name) : std::nullopt;
}

std::optional<std::string> CAuthoringPage::ListTextFor(const std::string& name) {
  CConfig* config = Config();
  return config ? AuthoringListText(*config, name) : std::nullopt;
}

int CAuthoringPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  std::string name;
  if (Layout() && Layout()->GetTextName(name, i)) {
    if (std::optional<std::string> text = TextFor(name)) {
      const LayoutText& element = Layout()->Texts()[static_cast<std::size_t>(i)];
      const bool title = name == "Authoring Module Title";
      if (!text->empty())
        DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), *text,
                     title ? ALIGN_RIGHT : ALIGN_CENTER, title ? kModuleTitleColour : colour, FitOf(element));
      return 1;
    }
  }
  return CShellPage::DrawTextElement(i, dc, rect, colour);
}

int CAuthoringPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  std::string name;
  if (Layout() && Layout()->GetListTextName(name, text, list)) {
    if (std::optional<std::string> value = ListTextFor(name)) {
      const LayoutText& element = Layout()->Lists()[static_cast<std::size_t>(list)].texts[static_cast<std::size_t>(text)];
      if (!value->empty())
        DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), *value,
                     ListTextAlign(name), colour, FitOf(element));
      return 1;
    }
  }
  return CShellPage::DrawListText(text, dc, rect, list, colour);
}

int CAuthoringPage::OnAction(const std::string& name) {
  if (name == "Close") Frame().Services().QuitApplication();
  return Host() ? Host()->ExecuteAction(name, 0, 0) : 0;
}
