#include "lounge/pages/setting/setting_page_texts.h"

#include <array>
#include <cstddef>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/checked_format.h"
#include "platform/registry/registry.h"
#include "platform/win/system.h"

namespace {

// The string-table text of the key at position `value` (from 1), or empty.
template <std::size_t N>
std::string TextOfChoice(const std::array<const char*, N>& keys, int value) {
  if (value < 1 || value > static_cast<int>(N)) return {};
  return UIStringOrEmpty(keys[static_cast<std::size_t>(value - 1)]);
}

// The entry at `index`, or 0 (no kind) when the index is outside the list.
template <typename List>
int KindAt(const List& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return 0;
  return static_cast<int>(list[static_cast<std::size_t>(index)]);
}

// "<count> <text>": a fixed program format, filled by the checked formatter
// all the same, so that no text can ever act as a format.
std::string CountAndText(const char* format, const std::string& text) {
  return CheckedFormat(format, {text}).value_or(std::string{});
}

constexpr std::array<const char*, 9> kAudioEffectKeys{
    "STEREO", "DBSURROUND", "DBVIRTUALSPK", "TRUSURROUNDXTSPK", "DS3D", "DBHP", "TRUSURROUNDXTHP", "EARSPACE", "NONE"};

constexpr std::array<const char*, 5> kResolutionKeys{
    "SETTING_RESOLUTION_720X576", "SETTING_RESOLUTION_800X600", "SETTING_RESOLUTION_1024X768",
    "SETTING_RESOLUTION_848X480", "SETTING_RESOLUTION_1280X768"};

constexpr std::array<const char*, 3> kWideScreenModeKeys{"LETTERBOX", "PANSCAN", "WIDEFILL"};

std::string AudioOutputText(int kind, int vendor) {
  switch (kind) {
    case 1:
      if (vendor == VENDOR_DEZAD) return UIStringOrEmpty("SPK");
      if (vendor == VENDOR_VADU) return UIStringOrEmpty("STEREO");
      return CountAndText("2 %s", UIStringOrEmpty("SPK"));
    case 2: return UIStringOrEmpty("SPDIF");
    case 3: return CountAndText("4 %s", UIStringOrEmpty("SPK"));
    case 4: return CountAndText("6 %s", UIStringOrEmpty("SPK"));
    case 5: return UIStringOrEmpty(vendor == VENDOR_VADU ? "EARSPACE" : "HEADPHONE");
    default: return {};
  }
}

std::string OsdText(int seconds) {
  if (seconds == 0) return UIStringOrEmpty("DISABLE");
  return CheckedFormat("%d  %s", {seconds, UIStringOrEmpty("SEC")}).value_or(std::string{});
}

// A format from the string table, filled with the checked formatter; shown
// as it stands when it asks for anything but the texts it is given.
std::string FillStringTableFormat(const std::string& format, std::initializer_list<FormatArg> args) {
  std::optional<std::string> filled = CheckedFormat(format, args);
  return filled ? *filled : format;
}

}  // namespace

std::optional<std::string> SettingListText(const CConfig& config, int vendor, const std::string& name) {
  const CMovieConfig* movie = config.m_pMovie.get();
  if (name == "Setting BootSelection") return UIStringOrEmpty(config.m_nBootSelection == 1 ? "BOOTTOMRV" : "TOPC");
  if (name == "Setting ScreenRatio") return UIStringOrEmpty(config.m_nScreenRatio == 1 ? "SCREENRATIO43" : "WIDESCREEN");
  if (name == "Setting WideScreenMode") return TextOfChoice(kWideScreenModeKeys, config.m_nWideScreenMode);
  if (name == "Enable Subwoofer") return UIStringOrEmpty(config.m_bSubwoofer ? "YES" : "NO");
  if (name == "Audio output") {
    if (!movie) return std::string{};
    return TextOfChoice(kAudioEffectKeys, KindAt(movie->m_arrAudioProfiles, movie->m_nAudioProfileIdx));
  }
  if (name == "Setting Display Resolution") {
    if (config.m_nResolution >= 1 && config.m_nResolution <= static_cast<int>(kResolutionKeys.size()))
      return TextOfChoice(kResolutionKeys, config.m_nResolution);
    // None chosen: the mode the screen runs at.
    return CheckedFormat("%d x %d", {plat::GetSystemMetrics(plat::SM_CXSCREEN), plat::GetSystemMetrics(plat::SM_CYSCREEN)})
        .value_or(std::string{});
  }
  if (name == "Setting Display Device Ratio")
    return UIStringOrEmpty(config.m_nScreenRatio == 1 ? "SETTING_SCREENRATIO_NORMAL" : "SETTING_SCREENRATIO_WIDESCREEN");
  if (name == "Setting System Language")
    return UIStringOrEmpty(config.m_nLanguage == 1 ? "SETTING_LANGUAGE_GERMANY" : "SETTING_LANGUAGE_ENGLISH");
  if (name == "Movie AudioOutput Option") {
    if (!movie) return std::string{};
    return AudioOutputText(KindAt(movie->m_arrSpeakers, movie->m_nAudioSpeakerIdx), vendor);
  }
  if (name == "OSD Option") return OsdText(config.m_nOsdDuration);
  if (name == "Sound Effect Option") return UIStringOrEmpty(config.m_bSoundEffect ? "YES" : "NO");
  return std::nullopt;
}

std::optional<std::string> SettingAboutText(const std::string& name, const std::string& version,
                                            const std::string& userName) {
  if (name == "Setting About Content") return FillStringTableFormat(UIStringOrEmpty("ABOUTCONTENT"), {version, userName});
  if (name == "Setting About Version") return FillStringTableFormat(UIStringOrEmpty("VERSIONINFO"), {version});
  if (name == "Setting About Copyright") return UIStringOrEmpty("COPYRIGHT");
  return std::nullopt;
}

std::string RegisteredUserName() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  std::string name;
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true) || !key.QueryString("UserName", name))
    name.clear();
  key.Close();
  return name;
}
