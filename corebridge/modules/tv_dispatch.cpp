// The TV actions: what each one asks of the engine, the TV section and the
// TV page. Every action needs the engine and answers 0 in a mode where it
// does not apply.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "corebridge/modules/tv_controller_internal.h"

namespace tv_controller {

namespace {

void PageRedraw(CUISystem& system, int flag) {
  if (ITvPageEvents* page = Page(system)) page->Redraw(flag);
}
void PageInvalidate(CUISystem& system) {
  if (ITvPageEvents* page = Page(system)) page->InvalidateFrame();
}
void PageActivate(CUISystem& system) {
  if (ITvPageEvents* page = Page(system)) page->ActivateWindow();
}
void PlaybackBar(CUISystem& system) {
  if (IFrameServices* frame = system.UICallback()) frame->NotifyPlaybackBar(0);
}
void HoldPower(CUISystem& system, bool hold) {
  if (IFrameServices* frame = system.UICallback()) hold ? frame->SuspendPowerSaving() : frame->RestorePowerSaving();
}

int Record(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  if (tv.m_nTVMode != kModeLive) return 0;
  engine.SelectRecordProfile(tv.m_strCurrentProfileName.c_str());
  bool ok = false;
  if (tv.m_strCurrentProfileName.find("Burn") != std::string::npos) {
    tv.m_bBurn = 1;
    ok = SUCCEEDED(engine.RecordToDisc(1));
    ReadKeyColour(system, engine);
    if (ok) Notice(system, 2);
  } else {
    tv.m_bBurn = 0;
    ok = SUCCEEDED(engine.Record(1));
    if (ok) Notice(system, 0);
  }
  if (!ok) return 0;
  if (tv.m_nPageType != kPagePreview) ShowPreviewPage(system);
  tv.m_nTVMode = kModeRecording;
  PlaybackBar(system);
  PageActivate(system);
  HoldPower(system, true);
  return 1;
}

int Stop(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  if (tv.m_nTVMode == kModeRecording) {
    if (tv.m_bBurn) {
      engine.RecordToDisc(0);
      Notice(system, 5);
      tv.m_bBurn = 0;
    } else {
      engine.Record(0);
      Notice(system, 3);
    }
    tv.m_nTVMode = kModeLive;
    PlaybackBar(system);
    HoldPower(system, false);
    return 1;
  }
  if (tv.m_nTVMode == kModeReplay) {
    engine.TimeShift(0);
    MuteSourceLines(system, 0);
    ReadKeyColour(system, engine);
    Notice(system, 4);
    tv.m_nTVMode = kModeOff;
    PreviewOn(system);
    PageActivate(system);
    return 1;
  }
  return 0;
}

int Play(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  if (tv.m_nTVMode != kModeReplay) return 0;
  if (FAILED(engine.TimeShiftOp122())) return 0;
  tv.m_nReplayState = 1;
  Notice(system, 6);
  PlaybackBar(system);
  HoldPower(system, true);
  return 1;
}

int Pause(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  if (tv.m_nTVMode == kModeLive) {
    MuteSourceLines(system, 1);
    if (FAILED(engine.TimeShift(1))) {
      MuteSourceLines(system, 0);
      return 0;
    }
    if (tv.m_nPageType != kPagePreview) ShowPreviewPage(system);
    if (IFrameServices* frame = system.UICallback()) frame->SetOsdOption(0xF000F);
    tv.m_nTVMode = kModeReplay;
    tv.m_nReplayState = 2;
    Notice(system, 1);
    PlaybackBar(system);
    PageActivate(system);
    return 1;
  }
  if (tv.m_nTVMode != kModeReplay) return 0;
  if (tv.m_nReplayState == 2) return Play(system, engine, tv);
  if (FAILED(engine.TimeShiftOp126())) return 0;
  tv.m_nReplayState = 2;
  Notice(system, 7);
  return 1;
}

int Seek(CUISystem& system, IGrabber& engine, CTVConfig& tv, bool forward) {
  if (tv.m_nTVMode != kModeReplay) return 0;
  const bool ok = SUCCEEDED(forward ? engine.SeekForward(1) : engine.SeekBackward(1));
  if (ok) Notice(system, forward ? 9 : 8);
  return ok ? 1 : 0;
}

bool LiveVideo(const CTVConfig& tv) {
  return (tv.m_nTVMode == kModeLive || tv.m_nTVMode == kModeReplay) && tv.m_nTeletextDisplay == 0;
}

int StepChannel(IGrabber& engine, CTVConfig& tv, bool next) {
  if (tv.m_nTeletextDisplay != 0) return SUCCEEDED(next ? engine.NextTeletextPage() : engine.PrevTeletextPage()) ? 1 : 0;
  const auto& list = tv.m_arrEnabledChannels;
  if (list.empty()) return 0;
  const auto at = std::find(list.begin(), list.end(), static_cast<std::uint32_t>(tv.m_nChannel));
  std::uint32_t target = list.front();
  if (at != list.end()) {
    const auto index = static_cast<std::size_t>(at - list.begin());
    target = next ? list[(index + 1) % list.size()] : list[(index + list.size() - 1) % list.size()];
  }
  return SUCCEEDED(engine.TuneChannel(static_cast<int>(target))) ? 1 : 0;
}

int ChangeDisplay(CUISystem& system, IGrabber& engine, CTVConfig& tv, std::intptr_t force) {
  if (tv.m_nTVMode != kModeLive || !tv.m_bTeletext) return 0;
  int display = (tv.m_nTeletextDisplay + 1) % 3;
  if (force == 1) display = 0;
  if (tv.m_nTeletextDisplay == 0 && display == 1) engine.SetTeletextPage(100);
  tv.m_nTeletextDisplay = display;
  if (display == 2) engine.RecorderOp100(1);
  else engine.RecorderOp100(0);
  if (IFrameServices* frame = system.UICallback()) frame->SetOsdOption(display == 1 ? 0 : static_cast<int>(tv.m_crKey));
  Resize(system, nullptr);
  return 1;
}

void GuideDay(CUISystem& system, IGrabber& engine, CTVConfig& tv, int days) {
  // The guide shows one calendar day, midnight to 23:59:59 in local time.
  std::time_t now = static_cast<std::time_t>(tv.m_nGuideRange);
  if (days == 0) now = std::time(nullptr);
  std::tm day{};
  localtime_r(&now, &day);
  day.tm_hour = 0;
  day.tm_min = 0;
  day.tm_sec = 0;
  day.tm_mday += days;
  day.tm_isdst = -1;
  tv.m_nGuideRange = static_cast<int>(std::mktime(&day));
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%d", &day);
  tv.m_strGuideDate = text;
  engine.SetGuideRange(2, tv.m_nGuideRange);
  (void)system;
}

int WallPage(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  tv.m_nPageType = kPageWall;
  for (auto& cell : tv.m_tvWallCells) {
    if (cell.hBitmap) plat::DeleteObject(cell.hBitmap);
    cell = TVWallCell{};
  }
  tv.m_tvWallCells.clear();
  ITvPageEvents* page = Page(system);
  const int count = page ? page->GetTVWallSize() : 0;
  MuteOutput(system, true);
  if (page) page->SetTVWallItemCount(0);
  // The engine reads `count` channels from the list: never more than it
  // holds. Without enabled channels the engine walks the band itself.
  const auto& list = tv.m_arrEnabledChannels;
  if (list.empty()) engine.StartMultiChannelPreview(count, nullptr);
  else engine.StartMultiChannelPreview(std::min(count, static_cast<int>(list.size())), list.data());
  HoldPower(system, true);
  return 1;
}

int StopWall(CUISystem& system, IGrabber& engine, CTVConfig& tv, std::intptr_t channel) {
  engine.StopMultiChannelPreview();
  MuteOutput(system, false);
  if (ITvPageEvents* page = Page(system)) page->ShowPage("TV\\MainMenu");
  system.TVRun(kMainMenuPage, 0, 0);
  engine.TuneChannel(channel > 0 ? static_cast<int>(channel) : tv.m_nChannel);
  HoldPower(system, false);
  return 1;
}

int WallStep(CUISystem& system, IGrabber& engine, CTVConfig& tv, bool next) {
  for (auto& cell : tv.m_tvWallCells) cell.nChannel = 0;
  if (ITvPageEvents* page = Page(system)) page->SetTVWallItemCount(0);
  return SUCCEEDED(next ? engine.PrevPreviewChannel() : engine.NextPreviewChannel()) ? 1 : 0;
}

int StepCountry(CUISystem& system, IGrabber& engine, CTVConfig& tv, int step) {
  const int count = static_cast<int>(tv.m_arrCountryCodes.size());
  if (count == 0) return 0;
  tv.m_nCountryListIndex = ((std::max(tv.m_nCountryListIndex, 0) + step) % count + count) % count;
  const int code = tv.m_arrCountryCodes[static_cast<std::size_t>(tv.m_nCountryListIndex)];
  if (FAILED(engine.SetCountry(code))) return 0;
  tv.m_nCountryIndex = code;
  // Another country has another channel plan: the scan starts afresh.
  tv.m_arrAllChannels.clear();
  tv.m_arrEnabledChannels.clear();
  tv.m_signalChannels.clear();
  tv.m_channelEnable.clear();
  tv.m_channelNames.clear();
  tv.m_nChannelCount = 0;
  tv.m_bTeletext = SUCCEEDED(engine.GetTeletextAvailable()) ? 1 : 0;
  ReadPal(system, engine);
  PageInvalidate(system);
  PageActivate(system);
  return 1;
}

int StepQuality(CUISystem& system, IGrabber& engine, CTVConfig& tv, int step) {
  const int count = static_cast<int>(tv.m_arrProfileNames.size());
  if (count == 0) return 0;
  tv.m_nProfileIndex = ((std::max(tv.m_nProfileIndex, 0) + step) % count + count) % count;
  const std::string& name = tv.m_arrProfileNames[static_cast<std::size_t>(tv.m_nProfileIndex)];
  if (FAILED(engine.SelectRecordProfile(name.c_str()))) return 0;
  tv.m_strCurrentProfileName = name;
  RemainingTime(system);
  PageInvalidate(system);
  return 1;
}

int DefaultEnter(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  engine.SetTunerInput(1);
  engine.SetCountry(-1);
  engine.SelectRecordProfile("");
  ReadEngineNames(system, engine);
  RebuildProfiles(system);
  RemainingTime(system);
  PageRedraw(system, 0);
  (void)tv;
  return 1;
}

int PageWith(CUISystem& system, CTVConfig& tv, int type, int redrawFlag) {
  tv.m_nPageType = type;
  if (redrawFlag >= 0) PageRedraw(system, redrawFlag);
  PageActivate(system);
  return 1;
}

int GuidePage(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  if (tv.m_nTVMode != kModeLive) return 0;
  tv.m_nPageType = kPageGuide;
  GuideDay(system, engine, tv, 0);
  // The guide channel is looked up in the channel list the controller
  // holds: nothing is written to the engine's channel table.
  tv.m_nGuideChannel = 1;
  const auto& list = tv.m_arrAllChannels;
  for (std::size_t index = 0; index < list.size(); ++index) {
    if ((list[index] & 0xFFFF) == (static_cast<std::uint32_t>(tv.m_nChannel) & 0xFFFF)) {
      tv.m_nGuideChannel = static_cast<int>(index) + 1;
      break;
    }
  }
  engine.SetGuideRange(1, tv.m_nGuideChannel);
  PageRedraw(system, 1);
  PageActivate(system);
  return 1;
}

}  // namespace

void ShowPreviewPage(CUISystem& system) {
  if (ITvPageEvents* page = Page(system)) page->ShowPage("TV\\Preview");
  system.TVRun(kPreviewPage, 0, 0);
}

int Entry(CUISystem& system) {
  CConfig* config = system.Config();
  CTVConfig& tv = *Section(system);
  const bool offered = (config->m_aFeatureWords[FEATURE_ROOT] & 1) && (config->m_aFeatureWords[FEATURE_TV] & 2);
  if (!offered) return 0;
  if (config->m_nActiveModule == MODULE_TV) return 1;
  if (config->m_nActiveModule != MODULE_NONE) system.OnHome(0, 0);
  auto engine = Engine(system);
  if (!engine) return 0;
  MuteOutput(system, true);
  if (!InitEngine(system, *engine)) {
    MuteOutput(system, false);
    return 0;
  }
  engine->SetNotifyTarget(system.GrabberSink());
  engine->RecorderOp60(0);
  engine->SetAudioChannelMode(0);
  const int vendor = system.VendorId();
  if (vendor == 4) engine->RecorderOp114(8);
  if (config->m_nActiveModule != MODULE_VIDEO) {
    engine->SelectRecordProfile(tv.m_strProfileName.c_str());
    engine->SetVideoDeviceName(tv.m_strVideoDevice.c_str());
    engine->SetAudioDeviceName(tv.m_strAudioDevice.c_str());
    engine->ResetVideoSettings();
  }
  ReadEngineNames(system, *engine);
  if (vendor == 4) ReadPal(system, *engine);
  PreviewOn(system);
  if (!engine->IsDeviceReady()) {
    MuteOutput(system, false);
    return 0;
  }
  if (ITvPageEvents* page = Page(system)) page->EnterModule();
  config->m_nActiveModule = MODULE_TV;
  if (tv.m_nPageType != kPageRecorded) {
    RebuildProfiles(system);
    RebuildChannels(system, false);
    system.TVRun(kPreviewPage, 0, 0);
    if (vendor == 4) engine->PrepareDisc(48);
  }
  MuteOutput(system, false);
  if (IFrameServices* frame = system.UICallback()) frame->NotifyCaptionBar(1);
  return 1;
}

int Dispatch(CUISystem& system, IGrabber& engine, CTVConfig& tv, int id, std::intptr_t a, std::intptr_t b) {
  switch (id) {
    case kPreviewPage:
      tv.m_nPageType = kPagePreview;
      PlaybackBar(system);
      tv.m_nTeletextDisplay = 0;
      PageActivate(system);
      return 1;
    case kMainMenuPage:
      if (tv.m_nPageType == kPageRecorded) {
        tv.m_nPageType = kPageMainMenu;
        system.Config()->m_nActiveModule = MODULE_NONE;
        Entry(system);
        if (ITvPageEvents* page = Page(system)) page->ShowPage("TV\\MainMenu");
      }
      tv.m_nPageType = kPageMainMenu;
      PageRedraw(system, 1);
      PlaybackBar(system);
      tv.m_nTeletextDisplay = 0;
      PageActivate(system);
      return 1;
    case kRecordedTVPage: {
      PreviewOff(system);
      tv.m_nPageType = kPageRecorded;
      char folder[4096];
      std::snprintf(folder, sizeof(folder), "%s/%s", system.Config()->m_strUserVideosFolder.c_str(), "TV Shows");
      return system.VideoOpenOnFolder(folder, "TV MainMenu Page");
    }
    case kTVWallPage: return WallPage(system, engine, tv);
    case kSchedulePage: {
      tv.m_nPageType = kPageSchedule;
      RebuildChannels(system, false);
      PageRedraw(system, 1);
      PageActivate(system);
      return 1;
    }
    case kSetSchedulePage: return PageWith(system, tv, kPageSetSchedule, 0);
    case kTeletextPage:
      tv.m_nPageType = kPageTeletext;
      engine.SetTeletextPage(100);
      PageRedraw(system, 1);
      tv.m_nTeletextDisplay = 0;
      if (IFrameServices* frame = system.UICallback()) frame->SetOsdOption(0);
      PageActivate(system);
      return 1;
    case kNextViewPage: return GuidePage(system, engine, tv);
    case kSignalSettingPage:
      RemainingTime(system);
      return PageWith(system, tv, kPageSignal, 1);
    case kChannelSettingPage:
      RebuildChannels(system, false);
      tv.m_nPageType = kPageChannels;
      if (ITvPageEvents* page = Page(system)) page->SetChannelListItemCount(tv.m_nChannelCount);
      PageRedraw(system, 1);
      PageActivate(system);
      return 1;
    case kAutoScanPage:
      tv.m_nPageType = kPageAutoScan;
      if (tv.m_nTVMode != kModeLive) return 1;
      PageRedraw(system, 1);
      MuteOutput(system, true);
      if (FAILED(engine.AutoScan(1))) {
        MuteOutput(system, false);
        return 0;
      }
      tv.m_strProgressText = "00%";
      Resize(system, nullptr);
      PageActivate(system);
      return 1;
    case kPlay: return Play(system, engine, tv);
    case kPause: return Pause(system, engine, tv);
    case kStop: return Stop(system, engine, tv);
    case kRewind: return Seek(system, engine, tv, false);
    case kFastForeward: return Seek(system, engine, tv, true);
    case kRecord: return Record(system, engine, tv);
    case kStopAutoScan: return tv.m_nPageType == kPageAutoScan && SUCCEEDED(engine.AutoScan(0)) ? 1 : 0;
    case kStopTVWall: return StopWall(system, engine, tv, a);
    case kSnapshot: return PictureSnapshot(system, engine, tv);
    case kSetChannel: return LiveVideo(tv) && SUCCEEDED(engine.TuneChannel(static_cast<int>(a))) ? 1 : 0;
    case kPrevChannel: return StepChannel(engine, tv, false);
    case kNextChannel: return StepChannel(engine, tv, true);
    case kLastChannel: return LiveVideo(tv) && SUCCEEDED(engine.ChannelStep3()) ? 1 : 0;
    case kEnableChannel: {
      if (FAILED(engine.SetChannelStored(static_cast<int>(a), static_cast<int>(b)))) return 0;
      for (std::size_t i = 0; i < tv.m_signalChannels.size() && i < tv.m_channelEnable.size(); ++i)
        if (tv.m_signalChannels[i] == static_cast<std::uint32_t>(a)) tv.m_channelEnable[i] = b ? 1 : 0;
      RebuildChannels(system, false);
      return 1;
    }
    case kRenameChannel: {
      const char* name = reinterpret_cast<const char*>(b);
      if (!name) return 0;
      std::string copy(name, strnlen(name, kGrabberTextChars - 1));
      return SUCCEEDED(engine.GetChannelStatus(static_cast<int>(a), copy.data())) ? 1 : 0;
    }
    case kWallPrevPage: return WallStep(system, engine, tv, false);
    case kWallNextPage: return WallStep(system, engine, tv, true);
    case kSetPage: return SUCCEEDED(engine.SetTeletextPage(static_cast<int>(a))) ? 1 : 0;
    case kPrevPage: return SUCCEEDED(engine.PrevTeletextPage()) ? 1 : 0;
    case kNextPage: return SUCCEEDED(engine.NextTeletextPage()) ? 1 : 0;
    case kPrevSubPage: return SUCCEEDED(engine.PrevTeletextSubPage()) ? 1 : 0;
    case kNextSubPage: return SUCCEEDED(engine.NextTeletextSubPage()) ? 1 : 0;
    case kTeletextSnapshot: return TeletextSnapshot(system, engine, tv);
    case kKeyRed: return SUCCEEDED(engine.TeletextKeyRed()) ? 1 : 0;
    case kKeyGreen: return SUCCEEDED(engine.TeletextKeyGreen()) ? 1 : 0;
    case kKeyYellow: return SUCCEEDED(engine.TeletextKeyYellow()) ? 1 : 0;
    case kKeyBlue: return SUCCEEDED(engine.TeletextKeyBlue()) ? 1 : 0;
    case kUpdatePage:
      tv.m_strTeletextPage = std::to_string(engine.GetTeletextPage());
      PageInvalidate(system);
      return 1;
    case kGuidePrevChannel:
    case kGuideNextChannel: {
      const int step = id == kGuideNextChannel ? 1 : -1;
      const int target = std::max(1, tv.m_nGuideChannel + step);
      if (step > 0 && target > static_cast<int>(tv.m_arrAllChannels.size())) return 1;
      tv.m_nGuideChannel = target;
      engine.SetGuideRange(1, tv.m_nGuideChannel);
      PageInvalidate(system);
      return 1;
    }
    case kGuidePrevDate:
    case kGuideNextDate:
      GuideDay(system, engine, tv, id == kGuideNextDate ? 1 : -1);
      PageRedraw(system, 0);
      return 1;
    case kGuidePrevItem:
    case kGuideNextItem:
      engine.GuideStep(id == kGuidePrevItem ? 1 : 2);
      PageRedraw(system, 0);
      return 1;
    case kSourceLeft:
    case kSourceRight:
      tv.m_nVideoSource = tv.m_nVideoSource ? 0 : 1;
      engine.SetTunerInput(tv.m_nVideoSource);
      PageInvalidate(system);
      return 1;
    case kCountryLeft: return StepCountry(system, engine, tv, -1);
    case kCountryRight: return StepCountry(system, engine, tv, 1);
    case kQualityLeft: return StepQuality(system, engine, tv, -1);
    case kQualityRight: return StepQuality(system, engine, tv, 1);
    case kDefaultEnter: return DefaultEnter(system, engine, tv);
    case kResizeVideo:
      Resize(system, reinterpret_cast<const plat::RECT*>(a));
      return 1;
    case kHideVideo:
      engine.ShowVideo(0);
      engine.ShowTeletext(0);
      return 1;
    case kChangeDisplay: return ChangeDisplay(system, engine, tv, a);
    default: return 0;
  }
}

}  // namespace tv_controller
