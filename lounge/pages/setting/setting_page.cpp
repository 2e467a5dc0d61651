#include "lounge/pages/setting/setting_page.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/shell/app_services.h"
#include "lounge/pages/setting/setting_page_boot.h"
#include "lounge/pages/setting/setting_page_texts.h"
#include "lounge/pages/setting/setting_page_values.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_text.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kMainLayout = "Setting\\SettingMain";
constexpr const char* kMenuList = "Setting Menu";
constexpr const char* kHomeEntry = "Home";

bool IsEither(const std::string& name, const char* a, const char* b) { return name == a || name == b; }

// The actions that change a setting value; they need the configuration root.
constexpr std::array<std::string_view, 21> kValueActions{
    "Setting BootSelection Left",     "Setting BootSelection Right",
    "Setting Enable Subwoofer Left",  "Setting Enable Subwoofer Right",
    "Setting Audio output Left",      "Setting AudioOutput Left",
    "Setting Audio output Right",     "Setting AudioOutput Right",
    "Setting ScreenRatio Left",       "Setting ScreenRatio Right",
    "Setting WideScreenMode Left",    "Setting WideScreenMode Right",
    "Setting Resolution Left",        "Setting Resolution Right",
    "Setting Language Left",          "Setting Language Right",
    "Setting Default Enter",          "OSD Left",
    "OSD Right",                      "Sound Effect Left",
    "Sound Effect Right"};

bool IsValueAction(const std::string& name) {
  return std::find(kValueActions.begin(), kValueActions.end(), name) != kValueActions.end();
}

}  // namespace

CSettingPage::CSettingPage(IShellFrame& frame) : CShellPage(frame) {}

CConfig* CSettingPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

int CSettingPage::ShowSettingPage() {
  Frame().SetActivePage(this);
  Create();
  if (CConfig* config = Config()) config->m_nActiveModule = MODULE_SETTING;
  m_about = 0;
  // The audio effects come from the DVD engine, asked when Movie starts; the
  // page shows them before that too.
  if (CConfig* config = Config(); config && config->m_pMovie && config->m_pMovie->m_arrAudioProfiles.empty()) {
    if (ISkinPageHost* host = Host()) host->ExecuteAction("Movie Update Audio Profiles", 0, 0);
  }
  const int loaded = LoadLayout(kMainLayout);
  Frame().Services().NotifyCaptionBar(0);
  return loaded;
}

int CSettingPage::GoBack() {
  if (m_about) {
    const int result = CSkinPage::GoBack();
    m_about = 0;
    return result;
  }
  return OnAction("Home");
}

int CSettingPage::LoadLayout(const std::string& path) {
  const int loaded = CShellPage::LoadLayout(path);
  Frame().Services().SetCaptionBarVisible(1, 0);
  return loaded;
}

// ---- boot selection ----

void CSettingPage::RefreshBootSelection() {
  CConfig* config = Config();
  if (!config) return;
  if (std::optional<int> selection = ReadBootSelection()) config->m_nBootSelection = *selection;
}

void CSettingPage::WriteBootSelection(plat::DWORD value) {
  if (!Config()) return;
  WriteAlwaysPcMode(value);
}

// ---- values ----

void CSettingPage::UpdateAspectFactor(CConfig& config) {
  config.m_fScaleFactor = AspectFactor(config.m_nDisplayMode, config.m_nScreenRatio);
}

void CSettingPage::StepAudioOutput(CConfig& config, bool left) {
  if (!config.m_pMovie) return;
  CMovieConfig& movie = *config.m_pMovie;
  movie.m_nAudioSpeakerIdx = StepListIndex(movie.m_nAudioSpeakerIdx, movie.m_arrSpeakers.size(), left);
  movie.m_nAudioProfileIdx = 0;
  Host()->ExecuteAction("Movie Update Audio Profiles", 0, 0);
}

int CSettingPage::OnAction(const std::string& name) {
  ISkinPageHost* host = Host();
  if (!host) return 0;
  if (IsValueAction(name)) {
    CConfig* config = Config();
    return config ? ChangeValue(*config, name) : 0;
  }
  if (name == "Setting Setting Return") m_about = 0;
  if (name == "Setting About Enter") m_about = 1;
  if (name == "Close") Frame().Services().QuitApplication();
  return host->ExecuteAction(name, 0, 0);
}

int CSettingPage::ChangeValue(CConfig& config, const std::string& name) {
  const bool left = name.ends_with(" Left");
  if (IsEither(name, "Setting BootSelection Left", "Setting BootSelection Right")) {
    WriteBootSelection(config.m_nBootSelection == 1 ? 1 : 0);
  } else if (IsEither(name, "Setting Enable Subwoofer Left", "Setting Enable Subwoofer Right")) {
    config.m_bSubwoofer = config.m_bSubwoofer ? 0 : 1;
    if (plat::HWND frame = Frame().FrameWindow()) plat::InvalidateRect(frame, nullptr, 0);
    if (GetVendorId() == VENDOR_VADU) Frame().Services().PostRemoteMode(config.m_bSubwoofer);
  } else if (name.starts_with("Setting Audio output ") || name.starts_with("Setting AudioOutput ")) {
    StepAudioOutput(config, left);
  } else if (IsEither(name, "Setting ScreenRatio Left", "Setting ScreenRatio Right")) {
    StepScreenRatio(config.m_nScreenRatio, config.m_nWideScreenMode);
    UpdateAspectFactor(config);
  } else if (IsEither(name, "Setting WideScreenMode Left", "Setting WideScreenMode Right")) {
    config.m_nWideScreenMode = StepWideScreenMode(config.m_nScreenRatio, config.m_nWideScreenMode, left);
  } else if (IsEither(name, "Setting Resolution Left", "Setting Resolution Right")) {
    config.m_nResolution = StepResolution(config.m_nResolution, left);
  } else if (IsEither(name, "Setting Language Left", "Setting Language Right")) {
    config.m_nLanguage = ToggleLanguage(config.m_nLanguage);
  } else if (name == "Setting Default Enter") {
    if (ApplySettingDefaults(config, GetVendorId())) WriteBootSelection(0);
    UpdateAspectFactor(config);
  } else if (IsEither(name, "OSD Left", "OSD Right")) {
    config.m_nOsdDuration = StepOsdDuration(config.m_nOsdDuration, left);
  } else if (IsEither(name, "Sound Effect Left", "Sound Effect Right")) {
    config.m_bSoundEffect = config.m_bSoundEffect ? 0 : 1;
  }
  // The page shows the new value (a redraw also re-reads the boot selection).
  Redraw(1);
  return 1;
}

// ---- drawing ----

int CSettingPage::Redraw(int paintNow) {
  RefreshBootSelection();
  return CShellPage::Redraw(paintNow);
}

std::optional<std::string> CSettingPage::ListTextFor(const std::string& name) {
  CConfig* config = Config();
  if (!config) return std::nullopt;
  return SettingListText(*config, GetVendorId(), name);
}

std::optional<std::string> CSettingPage::TextFor(const std::string& name) {
  CConfig* config = Config();
  const std::string version = config ? config->m_strVersion : std::string{};
  if (name != "Setting About Content") return SettingAboutText(name, version, {});
  return SettingAboutText(name, version, RegisteredUserName());
}

int CSettingPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  std::string name;
  if (Layout() && Layout()->GetTextName(name, i)) {
    if (std::optional<std::string> text = TextFor(name)) {
      const LayoutText& element = Layout()->Texts()[static_cast<std::size_t>(i)];
      const int align = name == "Setting About Version" ? ALIGN_LEFT : ALIGN_MULTIPLELINE;
      DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), *text, align, colour,
                   element.dynamicFit ? SKIN_FIT_SHRINK : SKIN_FIT_ELLIPSIS);
      return 1;
    }
  }
  return CShellPage::DrawTextElement(i, dc, rect, colour);
}

int CSettingPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  std::string name;
  if (Layout() && Layout()->GetListTextName(name, text, list)) {
    if (std::optional<std::string> value = ListTextFor(name)) {
      const LayoutText& element = Layout()->Lists()[static_cast<std::size_t>(list)].texts[static_cast<std::size_t>(text)];
      if (!value->empty())
        DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), *value, ALIGN_CENTER,
                     colour, element.dynamicFit ? SKIN_FIT_SHRINK : SKIN_FIT_ELLIPSIS);
      return 1;
    }
  }
  return CShellPage::DrawListText(text, dc, rect, list, colour);
}

// ---- states ----

int CSettingPage::QueryListActionState(int list, int action, int*, int* enabled, int*) {
  std::string name;
  if (!Layout() || !Layout()->GetListActionName(name, action, list)) return 0;
  if (IsEither(name, "Setting WideScreenMode Left", "Setting WideScreenMode Right")) {
    if (enabled) *enabled = 1;
    return 1;
  }
  if (GetVendorId() == VENDOR_RORIDO && IsEither(name, "Setting Resolution Left", "Setting Resolution Right")) {
    if (enabled) *enabled = 0;
    return 1;
  }
  return 0;
}

int CSettingPage::QueryListImageShown(int list, int image, int* shown) {
  CConfig* config = Config();
  std::string name;
  if (!config || !shown || !Layout() || !Layout()->GetListImageName(name, image, list)) return 0;
  const int ratio = config->m_nScreenRatio;
  const int mode = config->m_nWideScreenMode;
  if (name == "Setting 4X3 Letterbox") *shown = ratio == 1 && mode == 1;
  else if (name == "Setting 4X3 Panscan") *shown = ratio == 1 && mode == 2;
  else if (name == "Setting 4X3 WIDEFILL") *shown = ratio == 1 && mode == 3;
  else if (name == "Setting 16X9 Letterbox") *shown = ratio == 2 && mode == 1;
  else if (name == "Setting 16X9 WIDEFILL") *shown = ratio == 2 && mode == 3;
  else return 0;
  return 1;
}

// ---- keys ----

std::string CSettingPage::FocusedListActionName() {
  int kind = 0, index = 0;
  std::string name;
  if (!Layout() || !SplitEntry(FocusedList(), FocusedEntry(), &kind, &index) || kind != ENTRY_ACTION) return {};
  Layout()->GetListActionName(name, index, FocusedList());
  return name;
}

int CSettingPage::OnKeyLeft(int flag) {
  if (GetVendorId() == VENDOR_VADU) {
    const std::string focused = FocusedListActionName();
    int list = -1, home = -1;
    if (IsEither(focused, "Setting Audio output Right", "Setting ScreenRatio Right") &&
        Layout()->FindList(kMenuList, list) && Layout()->FindListAction(kHomeEntry, home, list)) {
      ClearAllHighlights();
      return HighlightListActionByName(home, kMenuList);
    }
  }
  return CShellPage::OnKeyLeft(flag);
}

int CSettingPage::OnKeyRight(int flag) {
  if (GetVendorId() == VENDOR_VADU) {
    const std::string focused = FocusedListActionName();
    if (IsEither(focused, "Setting Audio output Right", "Setting ScreenRatio Right")) return OnAction(focused);
  }
  return CShellPage::OnKeyRight(flag);
}
