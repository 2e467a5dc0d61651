// Music controller operations that the player and ripper event sinks call.
// Those the Music controller will take over when it is built report their
// call to the controller-step hook and answer as an absent controller does.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "interfaces/cdtowma.h"

int CUISystem::OnMusicAlbumArtPath(std::intptr_t entry, std::intptr_t) {
  RunStep(("OnMusicAlbumArtPath " + std::to_string(entry)).c_str());
  return 0;
}

int CUISystem::OnMusicNextEffect(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicNextEffect");
  return 0;
}

int CUISystem::OnMusicPreviousEffect(std::intptr_t, std::intptr_t) {
  RunStep("OnMusicPreviousEffect");
  return 0;
}

int CUISystem::MusicPlaySelected() {
  RunStep("MusicPlaySelected");
  return 0;
}

int CUISystem::MusicShowSongInfo() {
  RunStep("MusicShowSongInfo");
  return 0;
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
  // Only the WMA ripper is reachable from here; the MP3 ripper's own end
  // comes with the Music controller.
  int found = 0;
  if (music.m_nRippingFormat == 2) {
    if (plat::ComPtr<ICdToWma> ripper = CoreService<ICdToWma>()) {
      ripper->Stop();
      ripper->Uninitialize();
      found = 1;
    }
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
