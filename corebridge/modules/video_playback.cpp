// The Video controller's playback: opening and playing a file through the
// DVD engine, pause, stop, the trick-play ladder, previous and next file,
// snapshots, placing the picture, the engine's events and the playback times.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/core/wait_pumping.h"
#include "corebridge/modules/video_controller_internal.h"
#include "interfaces/discrunner.h"
#include "interfaces/imagefx.h"
#include "lounge/shell/checked_format.h"
#include "outside/tovelax/tovelax_api.h"
#include "platform/audio/sound/sound.h"
#include "platform/sys/debug_output.h"
#include "platform/win/input.h"
#include "platform/win/message.h"

namespace video_controller {
namespace {

constexpr plat::UINT_PTR kSizeTimer = 18443;
constexpr int kSizeTimerTicks = 4;
constexpr plat::UINT kSizeTimerMs = 200;
// The engine takes a path buffer of this many bytes, terminator included.
constexpr std::size_t kPathBufferBytes = 520;
// Snapshot numbers tried before giving up.
constexpr int kMaxSnapshotNumber = 9999;

plat::ComPtr<IDiscRunner> Engine(CUISystem& system) { return system.CoreService<IDiscRunner>(); }

int EngineState(IDiscRunner& engine) {
  int state = 0;
  return plat::SUCCEEDED(engine.GetPlayState(&state)) ? state : 0;
}

int EngineSpeed(IDiscRunner& engine) {
  int speed = kNormalSpeed;
  return plat::SUCCEEDED(engine.GetPlaySpeed(&speed)) ? speed : kNormalSpeed;
}

// The page's window and its client rectangle (page slot 5).
plat::HWND PageWindow(CUISystem& system, plat::RECT* rect = nullptr) {
  plat::HWND window = nullptr;
  plat::RECT area{};
  if (IVideoPageEvents* page = system.VideoPageCallback()) page->GetDisplayWindow(&window, &area);
  if (rect) *rect = area;
  return window;
}

// The page's size timer: it sends "Video Change Video Size" a few times
// while the new picture settles.
void StartSizeTimer(CUISystem& system, CVideoConfig& video) {
  plat::HWND window = PageWindow(system);
  if (!window) return;
  plat::SetTimer(window, kSizeTimer, kSizeTimerMs, nullptr);
  video.m_nSizeTimer = static_cast<int>(kSizeTimer);
  video.m_nSizeTimerCount = kSizeTimerTicks;
}

void KillSizeTimer(CUISystem& system, CVideoConfig& video) {
  if (plat::HWND window = PageWindow(system)) plat::KillTimer(window, kSizeTimer);
  video.m_nSizeTimerCount = 0;
}

// The notice shown while a file opens.
constexpr const char* kOpeningText = "VIDEO_OPENING";

// Holds the busy flag for the time of an open.
class OpeningGuard {
 public:
  explicit OpeningGuard(CVideoConfig& video) : video_(video) { video_.m_bOpening = 1; }
  ~OpeningGuard() { video_.m_bOpening = 0; }
  OpeningGuard(const OpeningGuard&) = delete;
  OpeningGuard& operator=(const OpeningGuard&) = delete;

 private:
  CVideoConfig& video_;
};

void ShowSpeed(CUISystem& system, IDiscRunner& engine) { system.ShowStatusText(EngineSpeed(engine)); }

int PlaceVideo(CUISystem& system, bool keepOwner);

// Creates `path` only when nothing is there yet: the name is ours alone.
bool ReserveFile(const std::string& path, bool& taken) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) {
    ::close(fd);
    taken = false;
    return true;
  }
  taken = errno == EEXIST;
  return false;
}

// The first free number of the snapshot pattern with `extension`, created
// empty; empty when none can be had.
std::string ReserveSnapshotName(const std::string& pattern, const char* extension) {
  for (int number = 1; number <= kMaxSnapshotNumber; ++number) {
    const std::optional<std::string> name = CheckedFormat(pattern, {number, extension});
    if (!name) return {};
    bool taken = false;
    if (ReserveFile(*name, taken)) return *name;
    if (!taken) return {};
  }
  return {};
}

bool NonEmptyFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && std::filesystem::file_size(path, error) > 0 && !error;
}

}  // namespace

void RefreshPlayState(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return;
  int state = 0;
  int speed = kNormalSpeed;
  if (auto engine = Engine(system)) {
    state = EngineState(*engine);
    speed = EngineSpeed(*engine);
  }
  int play = 0;
  switch (state) {
    case kDiscPlaying: play = 2; break;
    case kDiscPaused: play = 3; break;
    case kDiscStopped: play = 1; break;
    case kDiscScanning: play = speed == kNormalSpeed ? 2 : speed < 1 ? 4 : 5; break;
    default: break;
  }
  video->SetPlayState(play);
  if (play != 0) {
    // The engine's trick-play answer for a file is its permission event;
    // seeking is never refused by the engine for files.
    video->m_bKeyAnswer4 = video->m_bFastForwardPermitted;
    video->m_bKeyAnswer5 = video->m_bRewindPermitted;
    video->m_bSeekNotAllowed = 0;
  }
  if (IFrameServices* frame = system.UICallback()) frame->NotifyPlaybackBar(1);
}

bool OpenAndPlay(CUISystem& system, const std::string& path) {
  CVideoConfig* video = Section(system);
  auto engine = Engine(system);
  if (!video || !engine || path.empty()) return false;
  OpeningGuard busy(*video);
  IFrameServices* frame = system.UICallback();
  const int state = EngineState(*engine);
  if (path == video->m_strOpenFile) {
    bool resumed = true;
    switch (state) {
      case kDiscPlaying: break;
      case kDiscPaused: engine->Pause(); break;
      case kDiscScanning:
        engine->Play();
        ShowSpeed(system, *engine);
        break;
      default: resumed = false; break;
    }
    if (resumed) {
      RefreshPlayState(system);
      if (frame) frame->SuspendPowerSaving();
      return true;
    }
  }
  if (!video->m_strOpenFile.empty()) CloseFile(system);

  video->m_bFastForwardPermitted = 1;
  video->m_bRewindPermitted = 1;
  // A file may take seconds to open; the engine keeps the screen alive
  // meanwhile, and the screen says what is going on.
  system.ShowNamedItem(kOpeningText);
  plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_WAIT));
  const bool opened = path.size() < kPathBufferBytes && plat::SUCCEEDED(engine->Open(path.c_str()));
  if (frame) frame->HideOsd();
  // Left meanwhile (home, another module): the file is not played.
  const bool stayed = system.Config() && system.Config()->m_nActiveModule == MODULE_VIDEO;
  if (!opened || !stayed) {
    engine->Close();
    return false;
  }
  int osd = 0;
  if (plat::SUCCEEDED(engine->DvdOp88(&osd)) && frame) frame->SetOsdOption(osd);
  engine->SetNotifyTarget(system.DvdEventSink());
  if (plat::FAILED(engine->Play())) {
    engine->Close();
    return false;
  }
  PlaceVideo(system, false);
  StartSizeTimer(system, *video);
  video->m_nPositionTimer = static_cast<int>(kSizeTimer);
  video->m_nPositionTimerOwner = 1;
  engine->ShowVideo(plat::TRUE);
  video->m_strOpenFile = path;
  if (video->m_bStartPaused && EngineState(*engine) != kDiscPaused) {
    // Pause on the first picture: give the engine a moment, then wait for a
    // frame it can show (bounded).
    WaitPumpingMessages(150);
    for (int poll = 0; poll < 30 && engine->CanCaptureFrame() != 1; ++poll) WaitPumpingMessages(50);
    engine->Pause();
  }
  RefreshPlayState(system);
  if (frame) frame->SuspendPowerSaving();
  return true;
}

void CloseFile(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return;
  if (auto engine = Engine(system)) {
    engine->ShowVideo(plat::FALSE);
    engine->SetOwnerWindow(nullptr);
    engine->Close();
  }
  KillSizeTimer(system, *video);
  video->m_nPositionTimerOwner = 0;
  video->m_strOpenFile.clear();
}

bool StopFile(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video || video->m_bOpening) return false;
  {
    // Busy through the waits: actions and the end-of-playback event that
    // arrive meanwhile are refused.
    OpeningGuard busy(*video);
    if (auto engine = Engine(system)) {
      if (EngineState(*engine) != kDiscPaused) {
        // Let the picture settle before the engine is taken down.
        WaitPumpingMessages(300);
        engine->Pause();
        WaitPumpingMessages(50);
      }
      engine->Stop();
    }
    CloseFile(system);
  }
  video->SetPlayState(1);
  if (IFrameServices* frame = system.UICallback()) {
    frame->RestorePowerSaving();
    NotifyMode(system, 3);
    frame->HideOsd();
  } else {
    NotifyMode(system, 3);
  }
  return true;
}

int LeavePlayback(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video || video->m_bOpening) return 0;
  if (video->m_strOpenFile.empty() && video->m_nView != VIDEO_VIEW_PLAYING) return 0;
  StopFile(system);
  video->m_nView = video->m_nPreviousView;
  ShowStatePage(system);
  return 1;
}

namespace {

// Plays the entry `index` of the list of `state` and enters the playing page.
bool PlayEntry(CUISystem& system, CVideoConfig& video, int state, int index) {
  std::vector<std::string>& list = ListOfState(video, state);
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return false;
  IndexOfState(video, state) = index;
  video.m_nPlaySourceView = state;
  return OpenAndPlay(system, list[static_cast<std::size_t>(index)]);
}

void EnterPlayingPage(CUISystem& system, CVideoConfig& video) {
  if (video.m_nView == VIDEO_VIEW_PLAYING) return;
  video.m_nView = VIDEO_VIEW_PLAYING;
  ShowStatePage(system);
}

int PlaceVideo(CUISystem& system, bool keepOwner) {
  CVideoConfig* video = Section(system);
  CConfig* config = system.Config();
  auto engine = Engine(system);
  if (!video || !config || !engine) return 0;
  plat::RECT rect{};
  plat::HWND window = PageWindow(system, &rect);
  IFrameServices* frame = system.UICallback();
  if (!keepOwner) {
    engine->SetOwnerWindow(window);
    if (frame) frame->SetBarsTopmost(1);
  }
  if (config->m_nDisplayMode == 1) {
    engine->SetVideoMode(1, video->m_nScreenMode4x3);
  } else {
    engine->SetVideoMode(config->m_nDisplayMode, video->m_nScreenMode16x9);
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width > 0 && height > 0) engine->UpdateVideoPosition(rect.left, rect.top, width, height, config->m_fScaleFactor);
  if (frame) frame->SetDisplayRect(rect);
  return 1;
}

// Previous (-1) or next (+1) file of the list playback came from.
int StepFile(CUISystem& system, int step) {
  CVideoConfig* video = Section(system);
  if (!video || video->m_bOpening) return 0;
  StopFile(system);
  const int state = video->m_nPreviousView;
  const std::vector<std::string>& list = ListOfState(*video, state);
  const int count = static_cast<int>(list.size());
  int index = IndexOfState(*video, state) + step;
  if (index < 0 || index >= count) {
    // Vendor 4 goes round the browse and edit lists; the recent list stops.
    const bool wrap = system.VendorId() == 4 && count >= 2 && state != VIDEO_VIEW_RECENT;
    index = wrap ? (index < 0 ? count - 1 : 0) : -1;
  }
  if (index < 0 || !PlayEntry(system, *video, state, index)) {
    video->m_nView = video->m_nPreviousView;
    ShowStatePage(system);
    return 0;
  }
  EnterPlayingPage(system, *video);
  system.SetNamedItemState(step < 0 ? "VIDEO_PREVIOUS" : "VIDEO_NEXT", 1);
  NotifyMode(system, step < 0 ? 6 : 7);
  return 1;
}

}  // namespace
}  // namespace video_controller

using namespace video_controller;

int CUISystem::VideoPlay(std::intptr_t a, std::intptr_t b) {
  RunStep("VideoPlay");
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  if (InDvCapture(*video)) return plat::SUCCEEDED(ExecuteAction("Video Capture Play", a, b)) ? 1 : 0;
  if (video->m_bOpening) return 0;
  // While a file plays its list is the one of the page playback came from.
  const int state = video->m_nView == VIDEO_VIEW_PLAYING ? video->m_nPreviousView : video->m_nView;
  std::vector<std::string>& list = ListOfState(*video, state);
  if (list.empty()) return 0;
  int index = IndexOfState(*video, state);
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) index = 0;
  const int before = video->m_nPlayState;
  if (!PlayEntry(*this, *video, state, index)) {
    while (plat::ShowCursor(plat::TRUE) < 0) {
    }
    plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_ARROW));
    return 0;
  }
  auto engine = CoreService<IDiscRunner>();
  if (engine && EngineState(*engine) == kDiscPlaying && before != 4 && before != 5) SetNamedItemState("PLAY", 1);
  EnterPlayingPage(*this, *video);
  NotifyMode(*this, 1);
  return 1;
}

int CUISystem::VideoPlayPause(std::intptr_t a, std::intptr_t b) {
  RunStep("VideoPlayPause");
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  if (InDvCapture(*video)) return plat::SUCCEEDED(ExecuteAction("Video Capture Pause", a, b)) ? 1 : 0;
  auto engine = CoreService<IDiscRunner>();
  if (!engine || video->m_bOpening || video->m_strOpenFile.empty()) return 0;
  if (EngineState(*engine) == kDiscPaused) {
    engine->Play();
    SetNamedItemState("PLAY", 1);
  } else {
    if (EngineState(*engine) == kDiscScanning) engine->Play();
    engine->Pause();
    SetNamedItemState("PAUSE", 1);
  }
  RefreshPlayState(*this);
  NotifyMode(*this, 2);
  return 1;
}

int CUISystem::VideoPlayPauseToggle(std::intptr_t a, std::intptr_t b) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  return video->m_nPlayState == 2 ? VideoPlayPause(a, b) : VideoPlay(a, b);
}

int CUISystem::VideoPausePlay(std::intptr_t a, std::intptr_t b) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  return video->m_nPlayState != 3 ? VideoPlayPause(a, b) : VideoPlay(a, b);
}

int CUISystem::VideoExitPlayback(std::intptr_t a, std::intptr_t b) {
  RunStep("VideoExitPlayback");
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  if (InDvCapture(*video)) return plat::SUCCEEDED(ExecuteAction("Video Capture Stop", a, b)) ? 1 : 0;
  return LeavePlayback(*this);
}

int CUISystem::VideoKeyFastForward(std::intptr_t a, std::intptr_t b) {
  RunStep("VideoKeyFastForward");
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  if (InDvCapture(*video)) return plat::SUCCEEDED(ExecuteAction("Video Capture FastForeward", a, b)) ? 1 : 0;
  auto engine = CoreService<IDiscRunner>();
  if (!engine || video->m_strOpenFile.empty() || video->m_bOpening || !video->m_bKeyAnswer4) return 0;
  int speed = EngineSpeed(*engine);
  if (speed < 1) speed = kNormalSpeed;
  const auto& ladder = video->m_speedLadder;
  std::size_t index = 0;
  while (index < ladder.size() - 1 && ladder[index] < speed) ++index;
  if (index == ladder.size() - 1) {
    engine->Play();
  } else {
    engine->FastForward(ladder[index + 1]);
  }
  ShowSpeed(*this, *engine);
  RefreshPlayState(*this);
  NotifyMode(*this, 4);
  return 1;
}

int CUISystem::VideoKeyRewind(std::intptr_t a, std::intptr_t b) {
  RunStep("VideoKeyRewind");
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  if (InDvCapture(*video)) return plat::SUCCEEDED(ExecuteAction("Video Capture Rewind", a, b)) ? 1 : 0;
  auto engine = CoreService<IDiscRunner>();
  if (!engine || video->m_strOpenFile.empty() || video->m_bOpening || !video->m_bKeyAnswer5) return 0;
  const int speed = EngineSpeed(*engine);
  if (speed >= 1) {
    engine->Rewind(kNormalSpeed);
  } else {
    const auto& ladder = video->m_speedLadder;
    std::size_t index = 0;
    while (index < ladder.size() - 1 && ladder[index] < speed) ++index;
    if (index == 0) {
      engine->Play();
    } else {
      engine->Rewind(-ladder[index - 1]);
    }
  }
  ShowSpeed(*this, *engine);
  RefreshPlayState(*this);
  NotifyMode(*this, 5);
  return 1;
}

int CUISystem::VideoKeyPrevious(std::intptr_t, std::intptr_t) {
  RunStep("VideoKeyPrevious");
  return StepFile(*this, -1);
}

int CUISystem::VideoKeyNext(std::intptr_t, std::intptr_t) {
  RunStep("VideoKeyNext");
  return StepFile(*this, +1);
}

int CUISystem::VideoChangeVideoSize(std::intptr_t a, std::intptr_t) { return PlaceVideo(*this, a != 0); }

int CUISystem::VideoStartPositionTimer() {
  RunStep("VideoStartPositionTimer");
  if (CVideoConfig* video = Section(*this)) StartSizeTimer(*this, *video);
  return 1;
}

int CUISystem::VideoTakeSnapshot(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  auto engine = CoreService<IDiscRunner>();
  if (!video || !engine || !m_pConfig || video->m_strOpenFile.empty() || video->m_bOpening) return 0;
  std::error_code error;
  if (video->m_strSnapshotFolder.empty()) return 0;
  std::filesystem::create_directories(video->m_strSnapshotFolder, error);
  const std::string pattern = video->MakeVideoSnapshotName();
  if (pattern.empty()) return 0;
  const std::string bitmap = ReserveSnapshotName(pattern, ".bmp");
  if (bitmap.empty()) return 0;
  if (plat::FAILED(engine->CaptureFrame(bitmap.c_str())) || !NonEmptyFile(bitmap)) {
    std::filesystem::remove(bitmap, error);
    return 0;
  }
  // The bitmap goes only once its JPEG copy is safely written; without the
  // picture component, or when the copy fails, the bitmap is the snapshot.
  bool keepBitmap = true;
  auto picture = CoreService<IImageFx>();
  if (picture && plat::SUCCEEDED(picture->Initialize()) && plat::SUCCEEDED(picture->LoadImage(bitmap.c_str()))) {
    picture->SetResolution(72, 72);
    if (VendorId() == 2) {
      picture->Save();
    } else {
      const std::string jpeg = ReserveSnapshotName(pattern, ".JPG");
      if (!jpeg.empty()) {
        if (plat::SUCCEEDED(picture->SaveAs(jpeg.c_str())) && NonEmptyFile(jpeg)) {
          keepBitmap = false;
        } else {
          std::filesystem::remove(jpeg, error);
          plat::OutputDebugStringA("Video snapshot: the JPEG copy failed, the bitmap is kept");
        }
      }
    }
    picture->CloseImage();
  }
  if (!keepBitmap) std::filesystem::remove(bitmap, error);
  SetNamedItemState("SNAPSHOT", 1);
  if (m_pConfig->m_bSoundEffect && !m_pConfig->m_strSnapshotSound.empty()) {
    plat::PlaySound(nullptr, nullptr, plat::SND_NOWAIT);
    plat::PlaySound(m_pConfig->m_strSnapshotSound.c_str(), nullptr, plat::SND_NOWAIT | plat::SND_ASYNC);
  }
  return 1;
}

void CUISystem::VideoOnValidOperationsChange(std::uint32_t prohibited) {
  CVideoConfig* video = Section(*this);
  if (!video) return;
  video->m_bFastForwardPermitted = (prohibited & 0x100u) ? 0 : 1;
  video->m_bRewindPermitted = (prohibited & 0x200u) ? 0 : 1;
  RefreshPlayState(*this);
}

void CUISystem::VideoOnRateChange(std::int32_t speed) {
  CVideoConfig* video = Section(*this);
  if (!video || video->m_strOpenFile.empty()) return;
  if (video->m_nPlayState != 3) ShowStatusText(speed);
  RefreshPlayState(*this);
}

void CUISystem::VideoOnPlaybackEnded() {
  CVideoConfig* video = Section(*this);
  if (!video || video->m_strOpenFile.empty() || video->m_bOpening) return;
  CloseFile(*this);
  video->m_nView = video->m_nPreviousView;
  if (m_pUICallback) m_pUICallback->HideOsd();
  ShowStatePage(*this);
  if (m_pUICallback) m_pUICallback->RestorePowerSaving();
  video->SetPlayState(1);
}

// The engine's times of whatever it has open: a Video file or a Movie disc.
plat::HRESULT CUISystem::GetPlaybackTimes(double* first, double* second) {
  CVideoConfig* video = Section(*this);
  auto engine = CoreService<IDiscRunner>();
  const bool videoFileOpen = video && !video->m_strOpenFile.empty();
  if (!engine || (!videoFileOpen && !m_bDiscOpen)) return plat::E_FAIL;
  std::uint32_t current = 0;
  int total = 0;
  if (plat::FAILED(engine->GetCurrentTime(&current)) || plat::FAILED(engine->GetTotalTime(&total))) return plat::E_FAIL;
  auto seconds = [](std::uint32_t packed) {
    const tovelax::TimeCode t = tovelax::UnpackTime(packed);
    return t.hours * 3600.0 + t.minutes * 60.0 + t.seconds;
  };
  if (first) *first = seconds(current);
  if (second) *second = seconds(static_cast<std::uint32_t>(total));
  return plat::S_OK;
}
