#include "lounge/shell/app_options_loader.h"

#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/web_link_query.h"
#include "platform/registry/registry.h"

namespace {

constexpr const char* kProductKey = "SoftWare\\Kestrovia\\Marivel";

// Bits of the general feature word that switch the click sounds on.
constexpr int kHighlightSoundBit = 0x1;
constexpr int kPressedSoundBit = 0x2;
constexpr int kSnapshotSoundBit = 0x100;

void ReadFeatureWord(CRegistryKey& key, const char* name, int& word) {
  plat::DWORD value = 0;
  if (key.QueryDword(name, value)) word = static_cast<int>(value);
}

void ReadString(CRegistryKey& key, const char* name, std::string& text) {
  std::string value;
  if (key.QueryString(name, value)) text = value;
}

// The default value of the HKEY_LOCAL_MACHINE key that `keyName` names. A
// leading '%' once stood for the system folder; paths here are POSIX paths
// and are used exactly as stored.
std::string ProgramPathOf(const std::string& keyName) {
  std::string path;
  if (keyName.empty()) return path;
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (key.Open(plat::HKEY_LOCAL_MACHINE, keyName, true)) key.QueryString("", path);
  key.Close();
  return path;
}

// Reads `name` when present; false leaves `value` alone.
bool ReadDword(CRegistryKey& key, const char* name, int& value) {
  plat::DWORD read = 0;
  if (!key.QueryDword(name, read)) return false;
  value = static_cast<int>(read);
  return true;
}

}  // namespace

AppOptions LoadFeatureOptions() {
  AppOptions options;
  options.vendorId = GetVendorId();

  CRegistryKey machine(plat::HKEY_LOCAL_MACHINE);
  if (machine.Open(plat::HKEY_LOCAL_MACHINE, kProductKey, true)) {
    ReadFeatureWord(machine, "RootFeatureset", options.rootFeatures);
    ReadFeatureWord(machine, "TVFeatureset", options.tvFeatures);
    ReadFeatureWord(machine, "RadioFeatureset", options.radioFeatures);
    ReadFeatureWord(machine, "PhotoFeatureset", options.photoFeatures);
    ReadFeatureWord(machine, "MusicFeatureset", options.musicFeatures);
    ReadFeatureWord(machine, "VideoFeatureset", options.videoFeatures);
    ReadFeatureWord(machine, "MovieFeatureset", options.movieFeatures);
    ReadFeatureWord(machine, "GeneralFeatureset", options.generalFeatures);

    ReadString(machine, "MRVRegPathName", options.regPathName);
    ReadString(machine, "BrevaneKeyPath", options.editorKeyPath);
    ReadString(machine, "BrevaneInstall", options.editorValue);
    ReadString(machine, "BrevaneEXE", options.editorExe);
    ReadString(machine, "BurnerKeyPath", options.burnerKeyPath);
    ReadString(machine, "BurnerDirectory", options.burnerDirValue);
    ReadString(machine, "BurnerEXE", options.burnerExe);
    ReadString(machine, "BurnerParam", options.burnerParam);

    std::string videoKey, photoKey;
    ReadString(machine, "Video", videoKey);
    ReadString(machine, "Photo", photoKey);
    options.videoProgramPath = ProgramPathOf(videoKey);
    options.photoProgramPath = ProgramPathOf(photoKey);

    int upperbound = 0;
    if (ReadDword(machine, "OpenFolderUpperbound", upperbound)) options.openFolderUpperbound = upperbound != 0;
    ReadDword(machine, "PlaybackTooltipHeight", options.playbackTooltipHeight);
  }
  machine.Close();

  CRegistryKey user(plat::HKEY_CURRENT_USER);
  if (user.Open(plat::HKEY_CURRENT_USER, kProductKey, true)) {
    int status = -1;
    if (ReadDword(user, kWebLinkStatusValue, status) && status >= 0) options.webLinkStatus = status;
  }
  user.Close();

  options.webLinkResult = QueryWebLink(0, options.webLinkBuild);
  return options;
}

void LoadSoundAndOsdOptions(const AppOptions& options, CConfig& config) {
  CRegistryKey machine(plat::HKEY_LOCAL_MACHINE);
  if (!machine.Open(plat::HKEY_LOCAL_MACHINE, kProductKey, true)) return;

  const int general = options.generalFeatures;
  if (general & kHighlightSoundBit) {
    config.m_bHighlightSoundOn = 1;
    ReadString(machine, "HighlightSound", config.m_strHighlightSound);
  }
  if (general & kPressedSoundBit) {
    config.m_bPressedSoundOn = 1;
    ReadString(machine, "PressedSound", config.m_strPressedSound);
  }
  if (general & kSnapshotSoundBit) {
    config.m_bSnapshotSoundOn = 1;
    ReadString(machine, "SnapshotSound", config.m_strSnapshotSound);
  }

  int value = 0;
  if (ReadDword(machine, "EnableRemoteKeyDebugger", value)) config.m_bDebugNotices = value;
  if (ReadDword(machine, "DisableVolumnOSD", value)) config.m_bVolumeOsd = value == 0 ? 1 : 0;
  if (ReadDword(machine, "UnmuteWhenVolAdjusted", value)) config.m_bUnmuteWhenVolAdjusted = value == 1 ? 1 : 0;
  if (ReadDword(machine, "KeepMuteOsd", value)) config.m_bKeepMuteOsd = value == 1 ? 1 : 0;
  if (ReadDword(machine, "KeepPauseOsd", value)) config.m_bPauseNoticeText = value == 1 ? 1 : 0;
  if (ReadDword(machine, "KeepScanOsd", value)) config.m_bKeepScanOsd = value == 1 ? 1 : 0;
  machine.Close();
}
