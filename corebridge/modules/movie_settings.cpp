// The Movie controller's settings: the settings pages and their left/right
// selectors, the restore buttons, the parental PIN pages, the speaker and
// audio-profile lists, and the push of every video and audio setting to the
// DVD engine.
#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/com/hresult.h"

using plat::SUCCEEDED;

namespace {

constexpr int kDvd = 4;

// Speaker modes (SpeakerModes entries) and the engine's speaker flags.
constexpr int kSpeakerFlags[] = {0, 8, 4, 16, 32, 0x20000};
constexpr const char* kSpeakerTexts[] = {"", "SPK2", "SPDIF", "SPK4", "SPK6", "HEADPHONE"};

constexpr std::array<int, 6> kParentalLevels{1, 3, 4, 5, 7, 15};

int SpeakerFlag(int mode) { return mode >= 1 && mode <= 5 ? kSpeakerFlags[mode] : 0; }

// Steps an index through `count` entries with wrap.
int Step(int index, int count, bool left) {
  if (count <= 0) return 0;
  if (left) return index <= 0 || index >= count ? count - 1 : index - 1;
  return index + 1 >= count || index < 0 ? 0 : index + 1;
}

// The engine's colour controls for a profile's five values: brightness,
// hue, gamma, saturation and contrast lifts over the neutral picture.
struct ColorLift {
  int brightness, hue, gamma, saturation, contrast;
};
void ApplyColor(IDiscRunner& dvd, const ColorLift& lift) {
  dvd.DvdOp63(750 + lift.brightness * 10, 10000 + lift.contrast * 20, lift.hue, 10000 + lift.saturation * 40,
              100 + lift.gamma);
}
constexpr ColorLift kNormalColors[] = {
    {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {64, 0, 0, 48, 120}, {160, 0, 0, 112, 32}, {48, 0, 0, 40, 24}};
constexpr ColorLift kPowerSavingColors[] = {{0, 0, 0, 0, 0},        {144, 0, 0, 104, 88}, {80, 0, 0, 64, 128},
                                            {160, 0, 0, 128, 128}, {208, 0, 0, 128, 64}, {144, 0, 0, 100, 128}};

}  // namespace

// --- Registry switches --------------------------------------------------------------

static plat::DWORD MachineDword(const char* name) {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  plat::DWORD value = 0;
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true) || !key.QueryDword(name, value)) return 0;
  return value;
}

// --- Settings pages -------------------------------------------------------------------

int CUISystem::OnMovieSetting(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 7;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieSettingEntry(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 6;
  return 1;
}

int CUISystem::OnMovieSettingReturn(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 4;
  MovieRefreshDriveList();
  return 1;
}

int CUISystem::OnMovieAudioSetting(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 8;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieLanguageSetting(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 9;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieParentalControlSetting(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  if (VendorId() != 0) return 1;  // parental control belongs to the maker's own tools
  CMovieConfig& movie = MovieState();
  if (movie.m_nMoviePageState == 10 || movie.m_nMoviePageState == 11) return 0;
  movie.m_bLevelRequestPending = 0;
  movie.m_nMoviePageState = movie.m_strParentalPassword.empty() ? 10 : 12;
  MoviePageShow();
  return 1;
}

// --- Video selectors ------------------------------------------------------------------

int CUISystem::OnMovieScreenRatioLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  SetScreenRatioMode(0);
  return MoviePageRedraw(1);
}

void CUISystem::MovieSelectWideScreen(bool left) {
  int& mode = m_pConfig->m_nWideScreenMode;
  if (m_pConfig->m_nDisplayMode == 1) {
    if (left) mode = mode <= 1 ? 3 : mode - 1;
    else mode = mode >= 3 ? 1 : mode + 1;
  } else {
    mode = mode == 1 ? 3 : 1;
  }
  CMovieConfig& movie = MovieState();
  movie.m_bPageChanged1 = 1;
  movie.m_bPageChanged2 = VendorId() == 4 ? 0 : 1;
}

int CUISystem::OnMovieWideScreenModeLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieSelectWideScreen(true);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieWideScreenModeRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieSelectWideScreen(false);
  return MoviePageRedraw(1);
}

void CUISystem::MovieStepColorProfile(bool left) {
  CMovieConfig& movie = MovieState();
  int& profile = movie.m_nColorProfile;
  if (left) profile = profile <= 1 ? 5 : profile - 1;
  else profile = profile >= 5 ? 1 : profile + 1;
  movie.m_bPageChanged1 = VendorId() == 4 ? 0 : 1;
  movie.m_bPageChanged2 = 1;
}

int CUISystem::OnMovieColorProfileLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepColorProfile(true);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieColorProfileRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepColorProfile(false);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieEnableDXVALeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_bUseDxva = movie.m_bUseDxva ? 0 : 1;
  MovieSetDxva(movie.m_bUseDxva);
  return MoviePageRedraw(1);
}

// --- Speakers and audio profiles -------------------------------------------------------------

int CUISystem::OnMovieUpdateAudioProfiles(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  EnsureDvdAudioOutputCaps();
  CMovieConfig& movie = MovieState();
  const int index = movie.m_nAudioSpeakerIdx;
  const int mode = index >= 0 && index < static_cast<int>(movie.m_arrSpeakers.size())
                       ? static_cast<int>(movie.m_arrSpeakers[static_cast<std::size_t>(index)])
                       : 0;
  const int flag = SpeakerFlag(mode);
  std::uint32_t preferred = 0;
  if (mode == 1 && MachineDword("Default2SPUseStereo")) preferred = 2;
  if (mode == 5 && MachineDword("DefaultHPUseEARSPACE")) preferred = 0x8000;
  movie.m_arrAudioProfiles.clear();
  std::uint32_t bits = 0;
  auto queries = MovieEngineQueries();
  if (!queries || !SUCCEEDED(queries->GetAudioProfileCaps(flag, &bits))) bits = 0;
  if (VendorId() == 4 && (bits & 8)) preferred = 8;
  constexpr struct {
    std::uint32_t bit;
    std::uint32_t profile;
  } kOrder[] = {{2, 1}, {8, 2}, {0x10, 5}, {0x200, 6}, {0x400, 4}, {0x2000, 3}, {0x4000, 7}, {0x8000, 8}};
  for (const auto& entry : kOrder) {
    if (!(bits & entry.bit)) continue;
    if (entry.bit == preferred) movie.m_nAudioProfileIdx = static_cast<int>(movie.m_arrAudioProfiles.size());
    movie.m_arrAudioProfiles.push_back(entry.profile);
  }
  if (flag == 4 || flag == 16 || flag == 32) {
    movie.m_nAudioProfileIdx = static_cast<int>(movie.m_arrAudioProfiles.size());
    movie.m_arrAudioProfiles.push_back(9);
  }
  if (movie.m_nAudioProfileIdx >= static_cast<int>(movie.m_arrAudioProfiles.size())) movie.m_nAudioProfileIdx = 0;
  return 1;
}

void CUISystem::MovieStepSpeaker(bool left) {
  CMovieConfig& movie = MovieState();
  movie.m_nAudioSpeakerIdx = Step(movie.m_nAudioSpeakerIdx, static_cast<int>(movie.m_arrSpeakers.size()), left);
  movie.m_nAudioProfileIdx = 0;
  OnMovieUpdateAudioProfiles(0, 0);
  if (movie.m_arrSpeakers.empty()) return;
  const auto mode = movie.m_arrSpeakers[static_cast<std::size_t>(movie.m_nAudioSpeakerIdx)];
  if (mode == 2 || mode == 5 || (!left && mode == 1)) movie.m_nAudioChannelExpanderIdx = 2;
}

int CUISystem::OnMovieAudioOutputLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepSpeaker(true);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieAudioOutputRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepSpeaker(false);
  return MoviePageRedraw(1);
}

void CUISystem::MovieStepAudioProfile(bool left) {
  CMovieConfig& movie = MovieState();
  const int count = static_cast<int>(movie.m_arrAudioProfiles.size());
  const int from = movie.m_nAudioProfileIdx + 1;  // positions counted from 1
  movie.m_nAudioProfileIdx = Step(movie.m_nAudioProfileIdx, count, left);
  const int to = movie.m_nAudioProfileIdx + 1;
  const int speakerIdx = movie.m_nAudioSpeakerIdx;
  const auto mode = speakerIdx >= 0 && speakerIdx < static_cast<int>(movie.m_arrSpeakers.size())
                        ? movie.m_arrSpeakers[static_cast<std::size_t>(speakerIdx)]
                        : 0;
  const bool twoSpeakers = mode == 1 && ((left && from == 3 && to == 2) || (!left && from == 5 && to == 1));
  const bool headphones = mode == 5 && ((left && from == 6 && to == 2) || (!left && from == 8 && to == 1));
  if (twoSpeakers || headphones) movie.m_nAudioChannelExpanderIdx = 2;
}

int CUISystem::OnMovieAudioProfileLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepAudioProfile(true);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieAudioProfileRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepAudioProfile(false);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieAudioChannelExpanderLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nAudioChannelExpanderIdx =
      Step(movie.m_nAudioChannelExpanderIdx, static_cast<int>(movie.m_arrChannelExpanders.size()), true);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieAudioChannelExpanderRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nAudioChannelExpanderIdx =
      Step(movie.m_nAudioChannelExpanderIdx, static_cast<int>(movie.m_arrChannelExpanders.size()), false);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieAudioOutputSelection(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !MachineDword("AudioOutputSelection")) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_arrSpeakers.empty()) return 0;
  movie.m_nAudioSpeakerIdx = Step(movie.m_nAudioSpeakerIdx, static_cast<int>(movie.m_arrSpeakers.size()), false);
  movie.m_nAudioProfileIdx = 0;
  OnMovieUpdateAudioProfiles(0, 0);
  const auto mode = static_cast<int>(movie.m_arrSpeakers[static_cast<std::size_t>(movie.m_nAudioSpeakerIdx)]);
  if (mode == 1 || mode == 2 || mode == 5) movie.m_nAudioChannelExpanderIdx = 2;
  MovieApplyVideoSettings();
  if (mode >= 1 && mode <= 5) SetNamedItemState(kSpeakerTexts[mode], 1);
  return 1;
}

int CUISystem::OnMovieVIVEXSelection(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !MachineDword("VIVEXSelection")) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nColorProfile != 1) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  if (m_pConfig->m_bOnMains) ApplyColor(*dvd, kNormalColors[0]);
  // Slot 69 switches the engine's colour enhancement: (1, 1) off, (1, 0) on.
  if (movie.m_bVivexOn) {
    dvd->DvdOp69(1, 1);
    movie.m_bVivexOn = 0;
  } else {
    dvd->DvdOp69(1, 0);
    movie.m_bVivexOn = 1;
  }
  return 1;
}

// --- Language and parental selectors ------------------------------------------------

int CUISystem::OnMovieSelectSubtitleLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nSubtitleProfileIdx =
      Step(movie.m_nSubtitleProfileIdx, static_cast<int>(movie.m_listSubtitleProfiles.size()), true);
  movie.m_bSubtitleDefaultPicked = 1;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieSelectSubtitleRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nSubtitleProfileIdx =
      Step(movie.m_nSubtitleProfileIdx, static_cast<int>(movie.m_listSubtitleProfiles.size()), false);
  movie.m_bSubtitleDefaultPicked = 1;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieSelectClosedCaptionLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  int& mode = MovieState().m_bClosedCaptionOn;
  mode = mode <= 1 ? 3 : mode - 1;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieSelectClosedCaptionRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  int& mode = MovieState().m_bClosedCaptionOn;
  mode = mode >= 3 ? 1 : mode + 1;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieSelectLanguageLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nLanguageProfileIdx =
      Step(movie.m_nLanguageProfileIdx, static_cast<int>(movie.m_listLanguageProfiles.size()), true);
  movie.m_bAudioDefaultPicked = 1;
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieSelectLanguageRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nLanguageProfileIdx =
      Step(movie.m_nLanguageProfileIdx, static_cast<int>(movie.m_listLanguageProfiles.size()), false);
  movie.m_bAudioDefaultPicked = 1;
  return MoviePageRedraw(1);
}

void CUISystem::MovieStepParentalLevel(bool left) {
  int& level = MovieState().m_nRating;
  const auto it = std::find(kParentalLevels.begin(), kParentalLevels.end(), level);
  const int index = it == kParentalLevels.end() ? static_cast<int>(kParentalLevels.size()) - 1
                                                : static_cast<int>(std::distance(kParentalLevels.begin(), it));
  level = kParentalLevels[static_cast<std::size_t>(Step(index, static_cast<int>(kParentalLevels.size()), left))];
}

int CUISystem::OnMovieSelectPLCLevelLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepParentalLevel(true);
  return 1;
}

int CUISystem::OnMovieSelectPLCLevelRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieStepParentalLevel(false);
  return 1;
}

// --- Restore buttons -----------------------------------------------------------------

int CUISystem::OnMovieRestoreVideoSettingEnter(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  SetScreenRatioMode(1);
  const plat::DWORD wide = MachineDword("DefaultWideScreenMode");
  m_pConfig->m_nWideScreenMode = wide >= 1 && wide <= 3 ? static_cast<int>(wide) : 1;
  CMovieConfig& movie = MovieState();
  movie.ReadDefaultColorProfile();
  movie.m_bUseDxva = 1;
  MovieSetDxva(1);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieRestoreAudioSettingEnter(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nAudioSpeakerIdx = 0;
  movie.m_nAudioProfileIdx = 0;
  movie.m_nAudioChannelExpanderIdx = 2;
  OnMovieUpdateAudioProfiles(0, 0);
  return MoviePageRedraw(1);
}

int CUISystem::OnMovieRestoreLanguageSettingEnter(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nSubtitleProfileIdx = 0;
  movie.m_bSubtitleDefaultPicked = 1;
  movie.m_bClosedCaptionOn = 1;
  movie.m_nLanguageProfileIdx = 0;
  return MoviePageRedraw(0);
}

int CUISystem::OnMovieRestoreDefaultsSettingEnter(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  SetScreenRatioMode(1);
  m_pConfig->m_nWideScreenMode = 1;
  CMovieConfig& movie = MovieState();
  movie.ReadDefaultColorProfile();
  movie.m_nAudioSpeakerIdx = 0;
  OnMovieUpdateAudioProfiles(0, 0);
  return MoviePageRedraw(1);
}

// --- Parental PIN pages -----------------------------------------------------------------

int CUISystem::OnMovieChangePINNumberEnter(std::intptr_t, std::intptr_t) {
  return m_pMoviePage ? m_pMoviePage->ShowPinEntry() : 0;
}

int CUISystem::OnMovieRemovePINNumberEnter(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 15;
  MoviePageShow();
  return 1;
}

int CUISystem::OnMovieAllowDiscPlay(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 13;
  MoviePageShow();
  return 1;
}

int CUISystem::OnMovieDenyDiscPlay(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 4;
  MoviePageShow();
  return 1;
}

int CUISystem::OnMoviePassWordErrorOK(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  switch (movie.m_nPinPageOrigin) {
    case 10: movie.m_nMoviePageState = movie.m_strParentalPassword.empty() ? 10 : 11; break;
    case 12:
    case 13: movie.m_nMoviePageState = movie.m_nPinPageOrigin; break;
    default: break;
  }
  MoviePageShow();
  return 1;
}

int CUISystem::OnMovieRemovePINYes(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  movie.m_nMoviePageState = 10;
  movie.m_nRating = CMovieConfig::kNoRating;
  movie.m_strParentalPassword.clear();
  MoviePageShow();
  return 1;
}

int CUISystem::OnMovieRemovePINNO(std::intptr_t, std::intptr_t) {
  if (!m_pConfig) return 0;
  MovieState().m_nMoviePageState = 11;
  MoviePageShow();
  return 1;
}

// --- Pushing the settings to the engine ----------------------------------------------------

int CUISystem::MovieApplyColorProfile() {
  auto dvd = MovieEngine();
  if (!dvd || !m_pConfig) return 0;
  const int profile = std::clamp(MovieState().m_nColorProfile, 1, 5);
  ApplyColor(*dvd, kNormalColors[profile]);
  if (m_pConfig->m_bPowerSave && !m_pConfig->m_bOnMains && m_bPlaybackPower) {
    ApplyColor(*dvd, kPowerSavingColors[profile]);
  }
  return 1;
}

int CUISystem::MovieApplyAudioProfile(IDiscRunner& dvd) {
  CMovieConfig& movie = MovieState();
  const int index = movie.m_nAudioProfileIdx;
  int profile = index >= 0 && index < static_cast<int>(movie.m_arrAudioProfiles.size())
                    ? static_cast<int>(movie.m_arrAudioProfiles[static_cast<std::size_t>(index)])
                    : 0;
  if (VendorId() == 1 && (m_pConfig->m_nAudioProfile == 1 || m_pConfig->m_nAudioProfile == 8)) {
    profile = m_pConfig->m_nAudioProfile;
  }
  switch (profile) {
    case 1: dvd.DvdOp74(2); break;
    case 2: dvd.DvdOp74(8); break;
    case 3:
      dvd.DvdOp74(8192);
      dvd.DvdOp80(5);
      dvd.DvdOp75(4, 8, 5);
      break;
    case 4:
      dvd.DvdOp74(1024);
      dvd.DvdOp76(1);
      break;
    case 5: dvd.DvdOp74(16); break;
    case 6:
      dvd.DvdOp74(512);
      dvd.DvdOp78(2);
      break;
    case 7:
      dvd.DvdOp74(0x4000);
      dvd.DvdOp76(1);
      break;
    case 8:
      dvd.DvdOp74(0x8000);
      dvd.DvdOp75(7, 11, 2);
      break;
    case 9: dvd.DvdOp73(1); break;
    default: return 0;
  }
  return profile;
}

int CUISystem::MovieApplyVideoSettings() {
  if (!m_pConfig) return 0;
  CMovieConfig& movie = MovieState();
  if (movie.m_nDiscType == 0) return 0;
  auto dvd = MovieEngine();
  if (!dvd) return 0;
  dvd->SetVideoMode(m_pConfig->m_nDisplayMode, m_pConfig->m_nWideScreenMode);
  const bool maximized = m_pMoviePage && m_pMoviePage->IsFrameMaximized();
  dvd->SetVideoRect(m_pConfig->m_nWideScreenMode == 3 && maximized ? plat::TRUE : plat::FALSE);
  MovieApplyColorProfile();
  const int speakerIdx = movie.m_nAudioSpeakerIdx;
  if (speakerIdx >= 0 && speakerIdx < static_cast<int>(movie.m_arrSpeakers.size())) {
    if (auto queries = MovieEngineQueries()) {
      queries->SetSpeakerMode(SpeakerFlag(static_cast<int>(movie.m_arrSpeakers[static_cast<std::size_t>(speakerIdx)])));
    }
  }
  if (MovieApplyAudioProfile(*dvd) != 0) {
    switch (movie.m_nAudioChannelExpanderIdx >= 0 &&
                    movie.m_nAudioChannelExpanderIdx < static_cast<int>(movie.m_arrChannelExpanders.size())
                ? movie.m_arrChannelExpanders[static_cast<std::size_t>(movie.m_nAudioChannelExpanderIdx)]
                : 0) {
      case 1:
        dvd->DvdOp73(4);
        dvd->DvdOp75(2, 19, 22);
        break;
      case 2:
        dvd->DvdOp73(2);
        dvd->DvdOp75(1, 5, 3);
        break;
      case 3: dvd->DvdOp73(1); break;
      default: break;
    }
  }
  if (movie.m_nDiscType == kDvd) {
    const int mode = movie.m_bClosedCaptionOn == 2 ? 1 : movie.m_bClosedCaptionOn == 3 ? 0x10001 : 0;
    dvd->SetClosedCaptionMode(mode);
  }
  OnMovieResize(0, 0);
  return 0;
}
