// The TV controller: entering and leaving the TV module, its pages, live
// preview, recording, time shift, channels, settings and teletext. Engine
// events are tv_events.cpp, snapshots tv_snapshot.cpp.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <numeric>
#include <string>

#include "corebridge/core/music_config.h"
#include "corebridge/core/video_config.h"
#include "corebridge/modules/tv_controller_internal.h"
#include "lounge/shell/checked_format.h"

namespace tv_controller {

namespace {

constexpr int kGeneralHead[] = {219, 95, 26, 186, 107, 53, 1, 2};
constexpr int kVendor4[] = {123, 87, 113, 121, 125, 103, 98, 88, 129, 85, 100, 93, 232, 117,
                            102, 101, 92, 159, 127, 128, 91, 118, 114, 89, 126, 120, 216, 124};
static_assert(std::size(kVendor4) == 28);

bool IsFolder(const std::string& path) {
  struct stat info{};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::span<const int> GeneralCountryOrder() {
  // The first entries in their display order, then every other index once.
  static const std::vector<int> table = [] {
    std::vector<int> order(std::begin(kGeneralHead), std::end(kGeneralHead));
    for (int i = 0; i < kCountryCount; ++i)
      if (std::find(std::begin(kGeneralHead), std::end(kGeneralHead), i) == std::end(kGeneralHead)) order.push_back(i);
    return order;
  }();
  return table;
}

std::span<const int> Vendor4CountryOrder() { return kVendor4; }

const char* NoticeKey(int type) {
  static constexpr const char* kKeys[] = {"TV_RECORD", "REPLAY",   "BURN",           "STOPRECORD",  "STOPREPLAY",
                                          "STOPBURN",  "PLAY",     "PAUSE",          "TV_REWIND",   "TV_FASTFORWARD",
                                          "",          "PREPAREBURNING", "BURNINGREADY"};
  return type >= 0 && type < static_cast<int>(std::size(kKeys)) ? kKeys[type] : "";
}

CTVConfig* Section(CUISystem& system) {
  CConfig* config = system.Config();
  return config ? config->m_pTV.get() : nullptr;
}

plat::ComPtr<IGrabber> Engine(CUISystem& system) { return system.CoreService<IGrabber>(); }

ITvPageEvents* Page(CUISystem& system) { return system.TVPageCallback(); }

void Notice(CUISystem& system, int type) {
  IFrameServices* frame = system.UICallback();
  CTVConfig* tv = Section(system);
  if (!frame || !tv) return;
  if (type == 10) {
    frame->ShowOsdText(tv->m_strChannelName);
    return;
  }
  std::string text;
  if (!frame->LookupString(NoticeKey(type), text)) return;
  if (type == 8 || type == 9) {
    // The looked-up text is a format for the step in seconds.
    const auto filled = CheckedFormat(text, {15});
    if (!filled) return;
    text = *filled;
  }
  frame->ShowOsdText(text);
}

void MuteSourceLines(CUISystem& system, int mute) {
  auto audio = system.CoreService<ICoreAudio>();
  if (!audio) return;
  for (int index = 0; index < 32; ++index) {
    int lineMute = 0;
    float volume = 0.0f;
    plat::DWORD type = 0;
    if (FAILED(audio->GetSourceLineState(index, &lineMute, &volume, &type))) break;
    if (type == kLineInType || type == kCdLineType) audio->SetSourceMute(index, mute);
  }
}

void MuteOutput(CUISystem& system, bool mute) {
  CTVConfig* tv = Section(system);
  if (!tv) return;
  if (mute) {
    int current = 0;
    float volume = 0.0f;
    if (!system.ReadVolume(current, volume) || current) return;  // already muted: not the TV's to undo
    if (system.SetCoreMute(1)) tv->m_bMutedByTV = 1;
    return;
  }
  if (tv->m_bMutedByTV && system.SetCoreMute(0)) tv->m_bMutedByTV = 0;
}

void ReadKeyColour(CUISystem& system, IGrabber& engine) {
  CTVConfig* tv = Section(system);
  plat::COLORREF colour = 0;
  if (SUCCEEDED(engine.GetTeletextKeyColour(&colour))) tv->m_crKey = colour;
  if (system.UICallback()) system.UICallback()->SetOsdOption(static_cast<int>(tv->m_crKey));
}

int PreviewOn(CUISystem& system) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  if (!engine || !tv) return 0;
  tv->m_nReplayState = 0;
  if (FAILED(engine->Preview(1))) return 0;
  char name[kGrabberTextChars] = {};
  if (SUCCEEDED(engine->GetChannelName(name, 0))) tv->m_strChannelName = name;
  tv->m_bTeletext = SUCCEEDED(engine->GetTeletextAvailable()) ? 1 : 0;
  ReadKeyColour(system, *engine);
  tv->m_nTVMode = kModeLive;
  if (system.UICallback()) system.UICallback()->SuspendPowerSaving();
  return 1;
}

int PreviewOff(CUISystem& system) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  if (!engine || !tv) return 0;
  tv->m_nReplayState = 0;
  const bool ok = SUCCEEDED(engine->Preview(0));
  tv->m_bTeletext = 0;
  tv->m_nTVMode = kModeOff;
  if (ok && system.UICallback()) system.UICallback()->SuspendPowerSaving();
  return ok ? 1 : 0;
}

void RemainingTime(CUISystem& system) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  if (!engine || !tv) return;
  float minutes = 0.0f;
  if (FAILED(engine->GetRemainingRecordTime(tv->m_strWorkingFolder.c_str(), tv->m_nProfileIndex, &minutes))) return;
  char text[64];
  if (minutes >= 1.0f) std::snprintf(text, sizeof(text), "%d", static_cast<int>(minutes));
  else std::snprintf(text, sizeof(text), "%0.1f", static_cast<double>(minutes));
  tv->m_strRemainingTime = text;
}

void RebuildChannels(CUISystem& system, bool afterScan) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  if (!engine || !tv) return;
  if (afterScan || tv->m_signalChannels.empty()) {
    // The channels of the band where the scan found a station; a new scan
    // enables every one of them.
    tv->m_signalChannels.clear();
    tv->m_channelEnable.clear();
    int first = 0;
    int last = -1;
    if (SUCCEEDED(engine->GetChannelRange(&first, &last))) {
      for (int channel = std::max(first, 0); channel <= last && channel < 1024; ++channel) {
        int signal = 0;
        int status = 0;
        if (FAILED(engine->GetChannelSignal(channel, &signal, &status)) || status != 1) continue;
        if (afterScan) engine->SetChannelStored(channel, 1);
        tv->m_signalChannels.push_back(static_cast<std::uint32_t>(channel));
        tv->m_channelEnable.push_back(1);
      }
    }
  }
  tv->m_arrAllChannels = tv->m_signalChannels;
  tv->m_arrEnabledChannels.clear();
  tv->m_channelNames.clear();
  for (std::size_t i = 0; i < tv->m_signalChannels.size(); ++i) {
    const std::uint32_t number = tv->m_signalChannels[i];
    if (i >= tv->m_channelEnable.size() || tv->m_channelEnable[i]) tv->m_arrEnabledChannels.push_back(number);
    char name[kGrabberTextChars] = {};
    if (SUCCEEDED(engine->GetChannelName(name, static_cast<int>(number)))) tv->m_channelNames[number] = name;
  }
  tv->m_nChannelCount = static_cast<int>(tv->m_arrAllChannels.size());
}

void RebuildCountries(CUISystem& system) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  if (!engine || !tv) return;
  const auto order = system.VendorId() == 4 ? Vendor4CountryOrder() : GeneralCountryOrder();
  tv->m_arrCountryNames.clear();
  tv->m_arrCountryCodes.clear();
  tv->m_nCountryListIndex = -1;
  char name[kGrabberTextChars] = {};
  for (const int code : order) {
    name[0] = '\0';
    if (FAILED(engine->GetCountryName(code, name))) continue;
    if (code == tv->m_nCountryIndex) tv->m_nCountryListIndex = static_cast<int>(tv->m_arrCountryNames.size());
    tv->m_arrCountryNames.emplace_back(name);
    tv->m_arrCountryCodes.push_back(code);
  }
  if (tv->m_nCountryListIndex < 0 && tv->m_nCountryIndex >= 0) {
    name[0] = '\0';
    engine->GetCountryName(tv->m_nCountryIndex, name);
    tv->m_nCountryListIndex = static_cast<int>(tv->m_arrCountryNames.size());
    tv->m_arrCountryNames.emplace_back(name);
    tv->m_arrCountryCodes.push_back(tv->m_nCountryIndex);
  }
  tv->m_nCountryCount = static_cast<int>(tv->m_arrCountryNames.size());
}

void RebuildProfiles(CUISystem& system) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  if (!engine || !tv) return;
  tv->m_arrProfileNames.clear();
  tv->m_nProfileIndex = -1;
  for (int index = 0; index < 256; ++index) {
    char name[128] = {};
    if (FAILED(engine->GetProfileNameAt(index, name))) break;
    if (tv->m_strCurrentProfileName == name) tv->m_nProfileIndex = index;
    tv->m_arrProfileNames.emplace_back(name);
  }
  RebuildCountries(system);
}

void ReadEngineNames(CUISystem& system, IGrabber& engine) {
  CTVConfig* tv = Section(system);
  char text[kGrabberTextChars] = {};
  if (SUCCEEDED(engine.GetSelectedProfileName(text))) tv->m_strProfileName = tv->m_strCurrentProfileName = text;
  text[0] = '\0';
  if (SUCCEEDED(engine.GetOutputFolder(text)) && text[0]) tv->m_strWorkingFolder = text;
  text[0] = '\0';
  if (SUCCEEDED(engine.GetVideoDeviceName(text))) tv->m_strVideoDevice = text;
  text[0] = '\0';
  if (SUCCEEDED(engine.GetAudioDeviceName(text))) tv->m_strAudioDevice = text;
  tv->m_nCountryIndex = engine.GetCountry();
  tv->m_nTunerType = engine.GetInputKind();
  tv->m_nVideoSource = engine.GetTunerInput();
  int channel = 0;
  if (SUCCEEDED(engine.GetTunedChannel(&channel))) tv->m_nChannel = channel;
}

void ReadPal(CUISystem& system, IGrabber& engine) { Section(system)->m_bPal = engine.GetProfileFamily() == 2 ? 1 : 0; }

void DefaultFolders(CUISystem& system) {
  CConfig* config = system.Config();
  CTVConfig* tv = Section(system);
  if (!IsFolder(tv->m_strWorkingFolder)) {
    char path[4096];
    std::snprintf(path, sizeof(path), "%s/%s", config->m_strUserVideosFolder.c_str(), "TV Shows");
    tv->m_strWorkingFolder = path;
    ::mkdir(path, 0755);
  }
  if (!IsFolder(tv->m_strSnapshotFolder)) {
    const std::string& videoSnapshots =
        config->m_pVideo ? config->m_pVideo->m_strSnapshotFolder : config->m_strSnapshotFolder;
    tv->m_strSnapshotFolder = IsFolder(videoSnapshots) ? videoSnapshots : config->m_strSnapshotFolder;
  }
}

template <std::size_t N>
void CopyText(char (&out)[N], const std::string& text) {
  std::snprintf(out, N, "%s", text.c_str());
}

bool InitEngine(CUISystem& system, IGrabber& engine) {
  CTVConfig* tv = Section(system);
  if (tv->m_bEngineReady) return true;
  DefaultFolders(system);
  GrabberInitRecord record{};
  CopyText(record.profileName, tv->m_strProfileName);
  CopyText(record.outputFolder, tv->m_strWorkingFolder);
  record.country = tv->m_nCountryIndex;
  record.inputKind = tv->m_nTunerType;
  record.antenna = tv->m_nVideoSource;
  CopyText(record.videoDevice, tv->m_strVideoDevice);
  CopyText(record.audioDevice, tv->m_strAudioDevice);
  std::fill(std::begin(record.pictureLevels), std::end(record.pictureLevels), -1);
  record.startChannel = tv->m_nChannel;
  if (FAILED(engine.Init(record))) return false;
  tv->m_bEngineReady = 1;
  return true;
}

void Resize(CUISystem& system, const plat::RECT* given) {
  auto engine = Engine(system);
  CTVConfig* tv = Section(system);
  ITvPageEvents* page = Page(system);
  if (!engine || !tv) return;
  engine->ShowVideo(0);
  engine->ShowTeletext(0);
  plat::HWND owner = nullptr;
  plat::RECT rect{};
  if (page) page->GetDisplayWindow(&owner, &rect);
  if (given) rect = *given;
  if (system.Config()->m_nDisplayMode == 2) {
    const int cut = (rect.right - rect.left) / 8;
    rect.left += cut;
    rect.right -= cut;
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int type = tv->m_nPageType;
  const int display = tv->m_nTeletextDisplay;
  if (type != kPageTeletext && (type != kPagePreview || display == 0 || display == 2)) {
    engine->SetVideoOwner(owner);
    engine->SetVideoOrigin(rect.left, rect.top);
    engine->SetVideoSize(width, height);
    engine->ShowVideo(1);
  }
  if (tv->m_bTeletext && (type == kPageTeletext || (type == kPagePreview && (display == 1 || display == 2)))) {
    engine->RecorderOp97(owner);
    engine->RecorderOp98(rect.left, rect.top, width, height);
    engine->ShowTeletext(1);
  }
}

}  // namespace tv_controller

using namespace tv_controller;

int CUISystem::TVStart(std::intptr_t, std::intptr_t) {
  RunStep("TVStart");
  // A scheduled recording: open the TV, then record the current channel.
  if (!TVRun(kEntry, 0, 0)) return 0;
  return TVRun(kRecord, 0, 0);
}

int CUISystem::TVScheduleStop() {
  RunStep("TVScheduleStop");
  CTVConfig* tv = Section(*this);
  if (!m_pConfig || !tv || m_pConfig->m_nActiveModule != MODULE_TV || tv->m_nTVMode != kModeRecording) return 0;
  return TVRun(kStop, 0, 0);
}

int CUISystem::TVStopModule(std::intptr_t, std::intptr_t) {
  RunStep("TVStopModule");
  CTVConfig* tv = Section(*this);
  if (auto engine = Engine(*this); engine && tv) {
    TVRun(kStop, 0, 0);
    engine->SetNotifyTarget(nullptr);
    if (tv->m_nPageType == kPageAutoScan) engine->AutoScan(0);
    PreviewOff(*this);
  }
  if (tv) {
    for (auto& cell : tv->m_tvWallCells) {
      if (cell.hBitmap) plat::DeleteObject(cell.hBitmap);
      cell.hBitmap = nullptr;
    }
  }
  MuteOutput(*this, false);
  if (ITvPageEvents* page = Page(*this)) page->OnDisplayResize();
  if (m_pUICallback) m_pUICallback->RestorePowerSaving();
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::TVOnDeviceChange(int event, int drive) {
  RunStep(("TVOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  // Volumes arrive as device-arrival events; an optical drive's disc marks
  // the music library for a rescan, other volumes go to the grabber (vendor 4).
  if (!m_pConfig || m_pConfig->m_nActiveModule != MODULE_TV || event != 0x8000)
    return 0;
  int kind = 0;
  if (GetDriveMediaKind(drive, kind) && kind == 1) {
    if (m_pConfig->m_pMusic) m_pConfig->m_pMusic->m_bRescan = 1;
  } else if (VendorId() == 4) {
    if (auto engine = Engine(*this)) engine->PrepareDisc('A' + drive);
  }
  return 1;
}

int CUISystem::TVShowRecordStatus(const char* kind) {
  RunStep((std::string("TVShowRecordStatus ") + (kind ? kind : "")).c_str());
  if (!kind || !m_pUICallback) return 0;
  std::string text;
  if (!m_pUICallback->LookupString(kind, text)) return 0;
  m_pUICallback->ShowOsdText(text);
  return 1;
}

int CUISystem::TVBack(std::intptr_t, std::intptr_t) {
  RunStep("TVBack");
  CTVConfig* tv = Section(*this);
  if (!tv) return 0;
  ITvPageEvents* page = Page(*this);
  auto show = [&](const char* path, int action) {
    if (page) page->ShowPage(path);
    return TVRun(action, 0, 0);
  };
  switch (tv->m_nPageType) {
    case kPagePreview: return OnHome(0, 0);
    case kPageMainMenu: return show("TV\\Preview", kPreviewPage);
    case kPageWall: return TVRun(kStopTVWall, 0, 0);
    case kPageSchedule:
    case kPageTeletext:
    case kPageSignal: return show("TV\\MainMenu", kMainMenuPage);
    case kPageSetSchedule: return show("TV\\Schedule", kSchedulePage);
    case kPageChannels: return show("TV\\SignalSetting", kSignalSettingPage);
    case kPageAutoScan:
      TVRun(kStopAutoScan, 0, 0);
      return show("TV\\ChannelSetting", kChannelSettingPage);
    default: return 1;
  }
}

int CUISystem::TVRun(int id, std::intptr_t a, std::intptr_t b) {
  CTVConfig* tv = Section(*this);
  if (!m_pConfig || !tv) return 0;
  if (id == kEntry) return tv_controller::Entry(*this);
  auto engine = Engine(*this);
  if (!engine) return 0;
  return tv_controller::Dispatch(*this, *engine, *tv, id, a, b);
}
