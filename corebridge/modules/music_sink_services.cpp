// Music controller operations that the player and ripper event sinks call:
// the song text, the clean-up of a cut rip, the playable-file check and the
// mode texts.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/music_pages.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/automation.h"

// Leaving the visualization view: the player's window goes back to the
// page's owner with no size, off the screen.
int CUISystem::MusicPlaySelected() {
  RunStep("MusicPlaySelected");
  if (!m_pWMPlayer) return 0;
  plat::HWND owner = nullptr;
  plat::RECT rect{};
  if (m_pMusicPage) m_pMusicPage->GetDisplayWindow(&owner, &rect);
  m_pWMPlayer->SetParent(owner);
  m_pWMPlayer->SetWindowPos(0, 0, 0, 0);
  return 1;
}

// The song's title, album and artist over the visualization, one line each.
int CUISystem::MusicShowSongInfo() {
  RunStep("MusicShowSongInfo");
  if (!m_pConfig || !m_pConfig->m_pMusic || MusicCurrentPage() != music::kVisualizationPage) return 0;
  const CMusicConfig& music = *m_pConfig->m_pMusic;
  auto lookup = [this](const char* key) {
    std::string text;
    if (!m_pUICallback || !m_pUICallback->LookupString(key, text)) text = key;
    return text;
  };
  std::string lines;
  const std::pair<const char*, const std::string*> parts[] = {
      {"MUSIC_TITLE", &music.m_wstrMediaName}, {"MUSIC_ALBUM", &music.m_wstrMediaAlbum}, {"MUSIC_ARTIST", &music.m_wstrMediaArtist}};
  for (const auto& [key, value] : parts) {
    if (value->empty()) continue;
    if (!lines.empty()) lines += "\n";
    lines += lookup(key) + " : " + *value;
  }
  if (VendorId() == 3) {
    if (!lines.empty()) lines += "\n";
    lines += lookup("MUSIC_VIZMENTION");
  }
  // The text is composed already: it is shown as it is, not looked up.
  return m_pUICallback ? m_pUICallback->ShowOsdTextW(plat::Utf8ToUtf16(lines)) : 0;
}

int CUISystem::CleanupIncompleteRip() {
  RunStep("CleanupIncompleteRip");
  CConfig* config = Config();
  if (!config || !config->m_pMusic) return 0;
  CMusicConfig& music = *config->m_pMusic;
  music.m_bRipping = 0;
  std::string output;
  const int index = music.m_nRipIndex;
  if (index >= 0 && static_cast<std::size_t>(index) < music.m_vecRipJobs.size()) {
    MusicRecord& entry = music.m_vecRipJobs[static_cast<std::size_t>(index)];
    entry.strTexts[CMusicConfig::kRipStatusText] = "Incomplete";
    output = entry.strTexts[CMusicConfig::kRipOutputPathText];
  }
  // The ripper of the current format: WAV and MP3 share the MP3 ripper.
  int found = 0;
  if (music.m_nRippingFormat == 2) {
    if (plat::ComPtr<ICdToWma> ripper = CoreService<ICdToWma>()) {
      ripper->Stop();
      ripper->Uninitialize();
      found = 1;
    }
  } else if (plat::ComPtr<ICdToMp3> ripper = CoreService<ICdToMp3>()) {
    ripper->Stop();
    ripper->Uninitialize();
    found = 1;
  }
  if (!output.empty()) {
    std::error_code error;
    std::filesystem::remove(output, error);
  }
  return found;
}

int CUISystem::IsPlayableMediaFile(const std::string& url) {
  const std::size_t slash = url.find_last_of("/\\");
  const std::size_t dot = url.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  if (hasExtension) {
    std::string extension = url.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".mp3" || extension == ".wma" || extension == ".wav") return 1;
  } else {
    std::string scheme = url.substr(0, 7);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (scheme != "wmpdvd:") return 1;
  }
  OnMusicStop(0, 0);
  return 0;
}

int CUISystem::MusicShowModeText(const char* key, int lasting) {
  IFrameServices* frame = UICallback();
  if (frame) frame->HideOsd();
  CConfig* config = Config();
  if (!config) return 0;
  int page = 0;
  const bool onVisualization =
      config->m_pMusic && config->m_pMusic->PeekMusicPage(page) && page == CMusicConfig::kVisualizationPage;
  if ((config->m_nVendorId == 1 || config->m_nVendorId == 2) && !onVisualization) return 0;
  if (lasting) ShowNamedItem(key);
  else SetNamedItemState(key, 1);
  return 1;
}
