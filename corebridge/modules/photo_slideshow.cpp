// The Photo controller's slide show: entering and leaving the module,
// starting the show on the slide-show renderer with the configured picture
// duration and transitions, play, pause, stop, scanning and stepping, the
// settings that shape the show, and the renderer's events.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/display_probe.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/photo_controller.h"
#include "interfaces/slidedraw.h"

using namespace photo;

namespace {

constexpr std::array<const char*, 12> kModeNames = {
    "ALBUM MODE", "PLAY MODE", "PAUSE MODE", "STOP MODE", "FF MODE", "RW MODE",
    "PREVIOUS MODE", "NEXT MODE", nullptr, nullptr, "ROTATELEFT MODE", "ROTATERIGHT MODE"};

// Transition effects by transition mode, slide i taking entry i mod 5.
constexpr int kWipe[] = {88, 79, 96, 81, 78};
constexpr int kSlide[] = {47, 17, 18, 35, 22};
constexpr int kPage[] = {34, 49, 51, 50, 10};
constexpr int kRandom[] = {0, 88, 79, 96, 81, 78, 47, 17, 18, 35, 22, 34, 49, 51, 50, 10};
constexpr int kCrossfade = 34;

int EffectFor(int mode, int slide) {
  switch (mode) {
    case 0: return kWipe[slide % 5];
    case 1: return kSlide[slide % 5];
    case 2: return kPage[slide % 5];
    case 3: return kCrossfade;
    case 4: return kRandom[std::rand() % 16];
    default: return 0;
  }
}

// Picture durations offered, in seconds.
constexpr int kDurationsFiveKey[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 30, 45, 60};
constexpr int kDurations[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 18, 20, 25, 30, 40, 50, 60};

template <std::size_t N>
int StepDuration(const int (&values)[N], int current, int direction) {
  const auto it = std::find(std::begin(values), std::end(values), current);
  if (it == std::end(values)) return 3;
  const auto index = static_cast<int>(it - std::begin(values));
  const int n = static_cast<int>(N);
  return values[(index + direction + n) % n];
}

// Shows a state text: as a lasting status when the configuration keeps that
// kind of text on screen, else as a passing OSD text.
void ShowStateText(CUISystem& system, const char* key) {
  const CConfig* config = system.Config();
  const std::string text = key;
  const bool scan = text == "FASTFORWARD" || text == "REWIND";
  const bool lasting = config && ((text == "PAUSE" && config->m_bPauseNoticeText) || (scan && config->m_bKeepScanOsd));
  if (lasting) {
    system.ShowNamedItem(text);
  } else {
    system.SetNamedItemState(text, 1);
  }
}

}  // namespace

// --- Small services ----------------------------------------------------------

void CUISystem::SetSlideShowState(int state) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return;
  m_pConfig->m_pPhoto->m_nPhotoPageState = state;
  m_pConfig->m_pPhoto->m_nSlideShowState = state;
}

int CUISystem::SlideShowState() const {
  return m_pConfig && m_pConfig->m_pPhoto ? m_pConfig->m_pPhoto->m_nPhotoPageState : kShowNone;
}

void CUISystem::PhotoNotifyMode(int mode) {
  if (VendorId() != 1) return;
  const char* name = mode >= 0 && mode < static_cast<int>(kModeNames.size()) ? kModeNames[mode] : nullptr;
  PostHotkeyControllerMode(mode, kPhotoModule, name);
}

int CUISystem::PhotoRedraw(int flag) { return m_pPhotoPage ? m_pPhotoPage->Redraw(flag) : 0; }

// --- Entering and leaving ------------------------------------------------------

int CUISystem::OnPhotoEntry(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  if (m_pConfig->m_nActiveModule == MODULE_PHOTO) return 1;
  if (m_pConfig->m_nActiveModule != MODULE_NONE) OnHome(0, 0);
  m_pConfig->m_nActiveModule = MODULE_PHOTO;
  if (!InitPhotoEngines()) {
    OnHome(0, 0);
    return 0;
  }
  if (m_pPhotoPage) m_pPhotoPage->EnterModule(nullptr);
  PhotoGoToView(kViewDriveSelector, 1);
  if (!m_pWMPlayer) {
    auto player = CoreService<IWMPlayer>();
    if (!player) {
      OnHome(0, 0);
      return 0;
    }
    player->SetCallback(WMPlayerEventSink());
    player->Initialize();
    m_pWMPlayer = std::move(player);
  }
  m_coreAudioSink.OnMixerChange();
  PhotoNotifyMode(kModeAlbum);
  if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  return 1;
}

int CUISystem::PhotoStopModule(std::intptr_t, std::intptr_t) {
  RunStep("PhotoStopModule");
  if (!m_pConfig) return 0;
  if (CPhotoConfig* photo = m_pConfig->m_pPhoto.get()) {
    if (ValidIndex(photo->m_vecPhotos, photo->m_nCurrentPhoto)) ApplyPhotoEdit(photo->m_nCurrentPhoto);
    if (SlideShowState() != kShowNone) StopSlideShow();
    EndPhotoAcquire();
    m_pAcquireSession.Reset();
    DeletePhotoTempFiles();
  }
  if (m_pPhotoPage) m_pPhotoPage->NoOperation();
  m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

// --- Starting, pausing, stopping -------------------------------------------------

int CUISystem::SlideShowStart() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  auto show = CoreService<ISlideDraw>();
  if (!show) return 0;
  if (photo.CountCheckedPhotos() > 0) SetNamedItemState("PLAY", 1);
  if (SlideShowState() != kShowNone) {
    show->Run();
    SetSlideShowState(kShowPlaying);
    return 1;
  }
  if (!m_pDisplayProbe) m_pDisplayProbe = std::make_unique<CDisplayProbe>();
  const int capability = m_pDisplayProbe->DisplayCapability(0);
  if (capability == 4 || capability == 5) m_pDisplayProbe->HoldDisplayOverlay(1);

  const int duration = photo.m_nSlideDuration;
  photo.m_nTransitionSeconds = std::clamp(duration / 3, 1, 3);
  show->BuildGraph();
  show->SetOwnerWindow(m_pPhotoPage ? m_pPhotoPage->GetDisplayWindow() : nullptr);
  show->SetNotifyTarget(SlideShowSink());
  // Slides keep the photos' proportions on the square pixels of the screen.
  show->SetAspectFactor(1.0f);
  show->ClearSlides();
  show->SetSlideDuration(static_cast<std::int64_t>(duration) * kSecond);
  show->SetTransitionDuration(static_cast<std::int64_t>(photo.m_nTransitionSeconds) * kSecond);

  std::srand(static_cast<unsigned>(std::time(nullptr)));
  const int count = static_cast<int>(photo.m_vecPhotos.size());
  const int start = ValidIndex(photo.m_vecPhotos, photo.m_nSlideStart) ? photo.m_nSlideStart : 0;
  int added = 0;
  for (int n = 0; n < count; ++n) {
    const PhotoRecord& record = photo.m_vecPhotos[static_cast<std::size_t>((start + n) % count)];
    if (!record.bChecked) continue;
    std::string path = RecordPath(record);
    if (const auto copy = photo.m_mapEditedCopies.find(path); copy != photo.m_mapEditedCopies.end()) {
      path = copy->second;
    }
    // A slide the renderer refused is not in its list: only accepted ones count.
    if (plat::FAILED(show->AddSlide(path.c_str()))) continue;
    show->SetSlideTransition(added, EffectFor(photo.m_nTransition, added));
    ++added;
  }
  if (added == 0) {
    show->TearDown();
    m_pDisplayProbe->HoldDisplayOverlay(0);
    SetSlideShowState(kShowNone);
    return 0;
  }
  show->FitToWindow();
  show->ShowVideo(1);
  if (m_pUICallback) m_pUICallback->HideCursor();
  if (plat::FAILED(show->Run())) {
    show->TearDown();
    m_pDisplayProbe->HoldDisplayOverlay(0);
    SetSlideShowState(kShowNone);
    return 0;
  }
  SetSlideShowState(kShowPlaying);
  return 1;
}

int CUISystem::PlaySlideShow() {
  if (!SlideShowStart()) return 0;
  if (m_pUICallback) m_pUICallback->SuspendPowerSaving();
  const CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_bPlayBgMusic && photo.m_nBgMusicType != 0) StartBackgroundMusic();
  return 1;
}

int CUISystem::PauseSlideShow() {
  const int state = SlideShowState();
  if (state == kShowNone || state == kShowPaused) return 0;
  auto show = CoreService<ISlideDraw>();
  if (!show) return 0;
  // While scanning the renderer's stream already stands still: its Pause
  // ends the stepping and answers that nothing was playing. The show is
  // paused all the same.
  const plat::HRESULT hr = show->Pause();
  if (plat::FAILED(hr) && state != kShowFastForward && state != kShowRewind) return 0;
  SetSlideShowState(kShowPaused);
  ShowStateText(*this, "PAUSE");
  return 1;
}

// Always ends with no show: a renderer that refuses to stop is torn down all
// the same, so a later start builds a fresh graph instead of running a dead one.
int CUISystem::StopSlideShow() {
  if (m_pDisplayProbe) m_pDisplayProbe->HoldDisplayOverlay(0);
  if (auto show = CoreService<ISlideDraw>()) {
    show->Stop();
    show->SetCurrentPosition(0);
    show->TearDown();
    show->ShowVideo(0);
  }
  SetSlideShowState(kShowNone);
  if (m_pUICallback) m_pUICallback->HideOsd();
  if (m_pConfig && m_pConfig->m_pPhoto && m_pConfig->m_pPhoto->m_nMusicState != kMusicStopped) StopBackgroundMusic();
  if (m_pUICallback) m_pUICallback->RestorePowerSaving();
  return 1;
}

// Seeks to a whole second; only inside the show.
int CUISystem::SeekSlideShow(std::int64_t seconds) {
  auto show = CoreService<ISlideDraw>();
  if (!show) return 0;
  std::int64_t duration = 0;
  if (plat::FAILED(show->GetDuration(&duration))) return 0;
  const std::int64_t target = seconds * kSecond;
  if (target < 0 || target >= duration) return 0;
  const int state = SlideShowState();
  if (state == kShowFastForward || state == kShowRewind) show->Pause();
  if (plat::FAILED(show->SetCurrentPosition(target))) return 0;
  switch (state) {
    case kShowPaused:
      show->Run();
      show->Pause();
      break;
    case kShowFastForward: show->FastForward(2.0f); break;
    case kShowRewind: show->Rewind(2.0f); break;
    default: break;
  }
  return 1;
}

// --- Actions ----------------------------------------------------------------------

int CUISystem::OnPhotoSlideshowPlay(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !CoreService<ISlideDraw>()) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (SlideShowState() == kShowPlaying) return 0;
  const int previous = photo.m_nPhotoState;
  const std::size_t depth = photo.m_vecViewHistory.size();
  if (photo.m_nPhotoState == kViewFullScreen) {
    if (m_pPhotoPage) {
      if (VendorId() != 4) m_pPhotoPage->ShowPage("Photo\\PhotoDisplay");
      m_pPhotoPage->PopHistory(1);
    }
  } else if (photo.m_nPhotoState != kViewSlideShow) {
    photo.m_vecViewHistory.push_back(photo.m_nPhotoState);
  }
  photo.m_nPhotoState = kViewSlideShow;
  if (!PlaySlideShow()) {
    // Nothing plays: the view the user was in stays, so keys do not steer a
    // show that is not there.
    photo.m_nPhotoState = previous;
    photo.m_vecViewHistory.resize(std::min(depth, photo.m_vecViewHistory.size()));
    return 0;
  }
  if (!m_pUICallback || !m_pUICallback->NotifyPlaybackBar(1)) return 0;
  PhotoNotifyMode(kModePlay);
  return 1;
}

int CUISystem::PhotoStopSlideShow(std::intptr_t, std::intptr_t) {
  RunStep("PhotoStopSlideShow");
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  if (m_pConfig->m_pPhoto->m_nPhotoState == kViewFullScreen) {
    OnPhotoFullscreen(0, 0);
  } else {
    StopSlideShow();
    PhotoReturn(0);
  }
  PhotoNotifyMode(kModeStop);
  return 1;
}

int CUISystem::OnPhotoSlideshowPause(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !CoreService<ISlideDraw>()) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  const int state = SlideShowState();
  if (state == kShowNone || state == kShowPaused) return 0;
  if (photo.m_bPlayBgMusic && photo.m_nBgMusicType != 0) {
    if (photo.m_nMusicState == kMusicStopped) return 0;
    if (photo.m_nMusicState == kMusicPlaying && !PauseBackgroundMusic()) return 0;
  }
  if (!PauseSlideShow()) return 0;
  if (!m_pUICallback || !m_pUICallback->NotifyPlaybackBar(1)) return 0;
  PhotoNotifyMode(kModePause);
  return 1;
}

int CUISystem::OnPhotoSlideshowFastforward(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoSlideshowFastforward");
  auto show = CoreService<ISlideDraw>();
  if (!m_pConfig || !m_pConfig->m_pPhoto || !show || SlideShowState() == kShowNone) return 0;
  if (plat::FAILED(show->FastForward(2.0f))) return 0;
  SetSlideShowState(kShowFastForward);
  ShowStateText(*this, "FASTFORWARD");
  if (!m_pUICallback || !m_pUICallback->NotifyPlaybackBar(1)) return 0;
  PhotoNotifyMode(kModeFastForward);
  return 1;
}

int CUISystem::OnPhotoSlideshowRewind(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoSlideshowRewind");
  auto show = CoreService<ISlideDraw>();
  if (!m_pConfig || !m_pConfig->m_pPhoto || !show || SlideShowState() == kShowNone) return 0;
  if (plat::FAILED(show->Rewind(2.0f))) return 0;
  SetSlideShowState(kShowRewind);
  ShowStateText(*this, "REWIND");
  if (!m_pUICallback || !m_pUICallback->NotifyPlaybackBar(1)) return 0;
  PhotoNotifyMode(kModeRewind);
  return 1;
}

namespace {

// The whole seconds of the next or the previous slide's start, or -1 when
// the period is not positive (a show without duration has no slides to step).
std::int64_t StepTarget(std::int64_t position, int duration, int transition, bool next) {
  const std::int64_t period = static_cast<std::int64_t>(duration) + transition;
  if (period <= 0) return -1;
  const std::int64_t p = position / kSecond;
  const std::int64_t into = p % period;
  if (next) return p + period - into;
  std::int64_t target = p - into;
  if (into < duration) target -= period;
  return target;
}

}  // namespace

int CUISystem::OnPhotoSlideshowNextSlide(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoSlideshowNextSlide");
  auto show = CoreService<ISlideDraw>();
  if (!m_pConfig || !m_pConfig->m_pPhoto || !show) return 0;
  const CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  std::int64_t position = 0;
  if (plat::FAILED(show->GetCurrentPosition(&position))) return 0;
  const std::int64_t target = StepTarget(position, photo.m_nSlideDuration, photo.m_nTransitionSeconds, true);
  if (target < 0 || !SeekSlideShow(target)) return 0;
  ShowStateText(*this, "NEXTSLIDE");
  if (!m_pUICallback || !m_pUICallback->NotifyPlaybackBar(1)) return 0;
  PhotoNotifyMode(kModeNext);
  return 1;
}

int CUISystem::OnPhotoSlideshowPreviousSlide(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoSlideshowPreviousSlide");
  auto show = CoreService<ISlideDraw>();
  if (!m_pConfig || !m_pConfig->m_pPhoto || !show) return 0;
  const CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  std::int64_t position = 0;
  if (plat::FAILED(show->GetCurrentPosition(&position))) return 0;
  const std::int64_t target = StepTarget(position, photo.m_nSlideDuration, photo.m_nTransitionSeconds, false);
  if (target < 0 || !SeekSlideShow(target)) return 0;
  ShowStateText(*this, "PREVIOUSSLIDE");
  if (!m_pUICallback || !m_pUICallback->NotifyPlaybackBar(1)) return 0;
  PhotoNotifyMode(kModePrevious);
  return 1;
}

int CUISystem::OnPhotoSlideshowPlayPause(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoSlideshowPlayPause");
  const int state = SlideShowState();
  if (state == kShowPlaying) return OnPhotoSlideshowPause(0, 0);
  if (state >= kShowPaused && state <= kShowRewind) return OnPhotoSlideshowPlay(0, 0);
  return 0;
}

int CUISystem::OnPhotoSlideshowPausePlay(std::intptr_t, std::intptr_t) {
  const int state = SlideShowState();
  if (state == kShowPaused) return OnPhotoSlideshowPlay(0, 0);
  if (state == kShowPlaying || state == kShowFastForward || state == kShowRewind) return OnPhotoSlideshowPause(0, 0);
  return 0;
}

int CUISystem::OnPhotoSlideshowResize(std::intptr_t, std::intptr_t) {
  auto show = CoreService<ISlideDraw>();
  if (!m_pConfig || !m_pConfig->m_pPhoto || !show || SlideShowState() == kShowNone) return 0;
  return plat::SUCCEEDED(show->FitToWindow()) ? 1 : 0;
}

// --- Settings -------------------------------------------------------------------------

int CUISystem::OnPhotoPictureDurationLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  int& duration = m_pConfig->m_pPhoto->m_nSlideDuration;
  duration = VendorId() == 1 ? StepDuration(kDurationsFiveKey, duration, -1) : StepDuration(kDurations, duration, -1);
  PhotoRedraw(1);
  return 1;
}

int CUISystem::OnPhotoPictureDurationRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  int& duration = m_pConfig->m_pPhoto->m_nSlideDuration;
  duration = VendorId() == 1 ? StepDuration(kDurationsFiveKey, duration, 1) : StepDuration(kDurations, duration, 1);
  PhotoRedraw(1);
  return 1;
}

int CUISystem::OnPhotoTransitionEffectLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  int& mode = m_pConfig->m_pPhoto->m_nTransition;
  mode = ((mode % 6) + 5) % 6;
  PhotoRedraw(1);
  return 1;
}

int CUISystem::OnPhotoTransitionEffectRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  int& mode = m_pConfig->m_pPhoto->m_nTransition;
  mode = ((mode % 6) + 7) % 6;
  PhotoRedraw(1);
  return 1;
}

int CUISystem::OnPhotoPlayBgMusicLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  m_pConfig->m_pPhoto->m_bPlayBgMusic = m_pConfig->m_pPhoto->m_bPlayBgMusic ? 0 : 1;
  PhotoRedraw(1);
  return 1;
}

int CUISystem::OnPhotoPlayBgMusicRight(std::intptr_t a, std::intptr_t b) { return OnPhotoPlayBgMusicLeft(a, b); }

int CUISystem::OnPhotoLoadDefaultSetting(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  photo.m_nSlideDuration = 3;
  photo.m_nTransition = 5;
  photo.m_bPlayBgMusic = 1;
  photo.m_nBgMusicType = 0;
  photo.m_strBrowseFolder = m_pConfig->m_strPicturesFolder;
  PhotoRedraw(1);
  return 1;
}

// --- Display changes and the renderer's events ---------------------------------------

int CUISystem::PhotoOnDisplayChange() {
  RunStep("PhotoOnDisplayChange");
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  DestroyPhotoCaches();
  const int view = m_pConfig->m_pPhoto->m_nPhotoState;
  if (view == kViewBrowser || view == kViewFullScreen || view == kViewEditBrowser || view == kViewEdit ||
      view == kViewBurnBrowser) {
    PhotoRedraw(0);
  } else if (view == kViewSlideShow && SlideShowState() != kShowNone) {
    if (auto show = CoreService<ISlideDraw>()) show->SetAspectFactor(1.0f);
  }
  return 1;
}

int CUISystem::SlideShowSinkTable::OnShowEnded() {
  owner_.m_pStates->bSlideShowPending = 0;
  owner_.PhotoStopSlideShow(0, 0);
  return 1;
}

int CUISystem::SlideShowSinkTable::OnRewindAtStart() { return owner_.OnPhotoSlideshowPlay(0, 0); }
