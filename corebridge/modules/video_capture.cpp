// The capture controller of the Video module: the capture page, the choice
// of input (a camcorder through the camcorder engine, or the webcam and the
// analogue inputs through the grabber engine), the tape transport, starting
// and stopping a capture and the disc type and format choices. The camcorder
// engine's events and the capture-time timers are video_capture_events.cpp.
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/section_text.h"
#include "corebridge/modules/tv_controller_internal.h"
#include "corebridge/modules/video_capture_internal.h"
#include "corebridge/modules/video_capture_presets.h"
#include "corebridge/modules/video_controller_internal.h"
#include "interfaces/core_object.h"

namespace video_capture {

using plat::FAILED;
using plat::SUCCEEDED;

namespace {

constexpr const char* kVendor2DiscFormats[] = {"DVD HQ", "DVD SP", "DVD LP", "SVCD", "VCD"};
// The page names two disc types: the hard disk and a DVD.
constexpr int kDefaultDiscTypeCount = 2;
// The mixer's line-in type: the capture line of the sound cards.
constexpr plat::DWORD kCaptureLineType = 4098;
// Bounds on the lists the engines hand out one by one.
constexpr int kMaxProfiles = 256;
constexpr int kMaxMixerDevices = 32;
constexpr int kMaxMixerLines = 32;

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Creates the captured folder when it is missing; the default folder is the
// user's choice and only checked on the way back.
void EnsureCapturedFolder(CVideoConfig& video) {
  if (video.m_strCapturedFolder.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(video.m_strCapturedFolder, ec);
}

// The window and rectangle the picture goes into: the page's video region,
// or its whole display window when the page has no region.
bool PictureArea(CUISystem& system, plat::HWND& window, plat::RECT& rect) {
  IVideoPageEvents* page = system.VideoPageCallback();
  if (!page) return false;
  window = nullptr;
  rect = {};
  if (page->GetVideoRegion(&window, &rect)) return true;
  return page->GetDisplayWindow(&window, &rect) != 0;
}

void HideBars(CUISystem& system) {
  if (IFrameServices* frame = system.UICallback()) {
    frame->SetCaptionBarVisible(0, 0);
    frame->SetPlaybackBarVisible(0, 0);
  }
}

void UpdateTargetKind(CVideoConfig& video) { video.m_nCaptureTargetKind = video.m_nCaptureTarget == 1 ? 1 : 2; }

// The grabber engine's recording profiles, listed once.
void ReadProfiles(CUISystem& system, CVideoConfig& video) {
  if (video.m_bProfilesRead) return;
  auto grabber = GrabberEngine(system);
  if (!grabber) return;
  if (video.m_strProfileName.empty()) {
    grabber->SelectRecordProfile("");
    char current[64] = {};
    if (SUCCEEDED(grabber->GetSelectedProfileName(current))) video.m_strProfileName = current;
  }
  video.m_arrProfiles.clear();
  for (int index = 0; index < kMaxProfiles; ++index) {
    char name[128] = {};
    if (FAILED(grabber->GetProfileNameAt(index, name))) break;
    const std::string text = name;
    if (system.VendorId() == 2 && StartsWith(text, "Burn")) continue;
    video.m_arrProfiles.push_back(text);
  }
  video.m_nProfileIndex = -1;
  for (std::size_t i = 0; i < video.m_arrProfiles.size(); ++i)
    if (video.m_arrProfiles[i] == video.m_strProfileName) video.m_nProfileIndex = static_cast<int>(i);
  video.m_bProfilesRead = 1;
}

// Unmutes and selects the capture line of every sound card, so the capture
// records the input's sound.
void SelectCaptureLine(CUISystem& system) {
  auto audio = system.CoreService<ICoreAudio>();
  if (!audio) return;
  for (int device = 0; device < kMaxMixerDevices; ++device) {
    char name[256] = {};
    char* buffer = name;
    if (FAILED(audio->GetDeviceName(device, &buffer))) break;
    if (FAILED(audio->SelectDeviceByName(name))) continue;
    for (int line = 0; line < kMaxMixerLines; ++line) {
      int selected = 0, mute = 0;
      float volume = 0.0f;
      plat::DWORD type = 0;
      if (FAILED(audio->GetRecordingLineState(line, &selected, &mute, &volume, &type))) break;
      if (type != kCaptureLineType) continue;
      audio->SetRecordingMute(line, 0);
      audio->SelectRecordingSource(line);
    }
  }
}

template <std::size_t N>
void CopyText(char (&out)[N], const std::string& text) {
  const std::size_t n = std::min(text.size(), N - 1);
  text.copy(out, n);
  out[n] = '\0';
}

EncoderBlock PresetBlock(const CapturePreset& preset) {
  EncoderBlock block{};
  block.format = preset.typeCode;
  block.capabilities = 1;
  block.videoBitRate = preset.bitRate;
  block.width = preset.width;
  block.height = preset.height;
  block.frameRate = preset.frameRate;
  CopyText(block.gop, kGopPattern);
  block.field364 = preset.mode;
  block.field372 = 2;
  block.field376 = 1;
  block.audioBitRate = 224;
  block.field384 = 1;
  block.field388 = preset.audio;
  block.lowerRate = preset.lowerRate;
  block.upperRate = preset.upperRate;
  return block;
}

// The record of a capture to disc: DVD video into a file in the captured
// folder, which the engine then writes to the disc.
EncoderBlock DiscBlock(const CVideoConfig& video) {
  EncoderBlock block{};
  block.format = 7;
  std::string file = video.m_strCapturedFolder;
  if (!file.empty() && file.back() != '/') file += '/';
  CopyText(block.filePath, file + "default.mpg");
  block.capabilities = 1;
  block.videoBitRate = 8300000;
  block.width = 720;
  block.height = 480;
  block.frameRate = kNtscRate;
  CopyText(block.gop, kGopPattern);
  block.field372 = 2;
  block.field376 = 1;
  block.audioBitRate = 224;
  block.field384 = 7;
  return block;
}

bool StartDvCapture(const CVideoConfig& video, IDvGrab& dv) {
  float rate = kNtscRate;
  if (FAILED(dv.GetFrameRate(&rate))) rate = kNtscRate;
  if (const CapturePreset* preset = FindCapturePreset(video.m_strDiscFormat, rate))
    dv.SetEncoderParams(PresetBlock(*preset));
  if (video.m_nCaptureTarget != 0) {
    dv.SelectDrive(0);
    dv.SetEncoderParams(DiscBlock(video));
    return SUCCEEDED(dv.StartCaptureToDisc());
  }
  return SUCCEEDED(dv.Capture(1));
}

bool StartAnalogueCapture(CUISystem& system, const CVideoConfig& video) {
  auto grabber = system.CoreService<IGrabber>();
  if (!grabber) return false;
  grabber->SelectRecordProfile(video.m_strProfileName.c_str());
  return SUCCEEDED(grabber->Record(1));
}

bool IsAnalogue(int source) { return source >= VIDEO_SOURCE_WEBCAM && source <= VIDEO_SOURCE_SVIDEO; }

}  // namespace

CVideoConfig* Section(CUISystem& system) { return video_controller::Section(system); }

plat::ComPtr<IDvGrab> DvEngine(CUISystem& system) { return system.CoreService<IDvGrab>(); }

plat::ComPtr<IGrabber> GrabberEngine(CUISystem& system) {
  auto engine = system.CoreService<IGrabber>();
  if (!engine || !tv_controller::Section(system)) return nullptr;
  if (!tv_controller::InitEngine(system, *engine)) return nullptr;
  return engine;
}

void Redraw(CUISystem& system, int flag) { video_controller::RedrawPage(system, flag); }
void ShowState(CUISystem& system) { video_controller::ShowStatePage(system); }

void ShowPlayState(CUISystem& system, int state) {
  static constexpr const char* kNotices[] = {"", "STOP", "PLAY", "PAUSE", "REWIND", "FASTFORWARD"};
  CVideoConfig* video = Section(system);
  if (!video || state < kStopped || state > kFastForwarding) return;
  video->SetPlayState(state);
  system.SetNamedItemState(kNotices[state], 1);
}

int OpenPage(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  EnsureCapturedFolder(*video);
  video->m_nPreviousCaptureMode = video->m_nCaptureMode;
  video->m_nCaptureMode = kCaptureModeOpen;
  video->m_bHasDV = video->m_bTargetReady = video->m_bHasWebcam = video->m_bHasComposite = video->m_bHasSVideo = 0;
  video->m_bDiscWriterAvailable = 0;
  if (video->m_nDiscTypeCount <= 0) video->m_nDiscTypeCount = kDefaultDiscTypeCount;
  UpdateTargetKind(*video);
  BuildDiscFormats(system, *video);

  if (auto dv = DvEngine(system)) {
    if (!video->m_bDVOpened && SUCCEEDED(dv->Open(0, 2, ""))) {
      dv->SetNotifyTarget(system.DvGrabEventSink());
      video->m_bDVOpened = 1;
    }
    if (video->m_bDVOpened) {
      video->m_bHasDV = SUCCEEDED(dv->EnumerateDevices()) ? 1 : 0;
      video->m_bDiscWriterAvailable = SUCCEEDED(dv->HasDiscWriter()) ? 1 : 0;
      video->m_bTargetReady = video->m_bDiscWriterAvailable;
    }
  }

  ReadProfiles(system, *video);
  if (auto grabber = system.CoreService<IGrabber>(); grabber && video->m_bProfilesRead) {
    grabber->SetNotifyTarget(system.GrabberSink());
    grabber->SetTimeShiftFolder(video->m_strCapturedFolder.c_str());
    video->m_bHasWebcam = SUCCEEDED(grabber->HasWebCamera()) ? 1 : 0;
    char name[256] = {};
    const int analogue = SUCCEEDED(grabber->RecorderOp88(0, name)) ? 1 : 0;
    video->m_bHasComposite = video->m_bHasSVideo = analogue;
  }

  video->m_nCaptureSource = VIDEO_SOURCE_NONE;
  video->m_nDVDeviceState = kDVDeviceOff;
  video->m_bCapturing = 0;
  video->m_nView = kCapturePageState;
  ShowState(system);
  Redraw(system, 0);
  if (system.VendorId() == 2) {
    if (!video->m_bHasDV) {
      video->m_nView = kNoDeviceState;
      ShowState(system);
      Redraw(system, 0);
    } else {
      UseDV(system);
    }
  }
  return 1;
}

int ReturnFromPage(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  KillCaptureTimers(system);
  if (auto grabber = system.CoreService<IGrabber>()) {
    if (video->m_bCapturing && IsAnalogue(video->m_nCaptureSource)) grabber->Record(0);
    grabber->SetNotifyTarget(nullptr);
    grabber->Preview(0);
  }
  video->m_bCapturing = 0;
  video->m_nCaptureSource = VIDEO_SOURCE_NONE;
  video->m_nDVDeviceState = kDVDeviceOff;
  video->SetPlayState(0);
  if (IFrameServices* frame = system.UICallback()) frame->HideOsd();
  // Closing the engine finishes a capture that still runs.
  if (auto dv = DvEngine(system); dv && video->m_bDVOpened) dv->Close();
  video->m_bDVOpened = 0;
  HideBars(system);
  video->m_nCaptureMode = video->m_nPreviousCaptureMode;
  video->m_nView = video->m_nPreviousView;
  ShowState(system);
  if (!section_text::FolderExists(video->m_strDefaultFolder)) system.VideoReturnToDeviceSelection(0, 0);
  return 1;
}

int UseDV(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  if (auto grabber = system.CoreService<IGrabber>(); grabber && video->m_bProfilesRead) grabber->Preview(0);
  EnsureCapturedFolder(*video);
  if (video->m_nCaptureSource == VIDEO_SOURCE_DV) return 1;
  auto dv = DvEngine(system);
  if (!video->m_bHasDV || !dv) return 0;
  video->m_nCaptureSource = VIDEO_SOURCE_DV;
  plat::HWND window = nullptr;
  plat::RECT rect{};
  if (PictureArea(system, window, rect)) {
    dv->SetVideoWindow(window, rect.left, rect.top, rect.right, rect.bottom);
    if (IFrameServices* frame = system.UICallback()) frame->SetDisplayRect(rect);
  }
  dv->SetOutputFolder(video->m_strCapturedFolder.c_str());
  if (FAILED(dv->SelectDevice(0))) {
    video->m_nCaptureSource = VIDEO_SOURCE_NONE;
    video->m_nDVDeviceState = kDVDeviceOff;
    Redraw(system, 0);
    return 0;
  }
  int kind = 0;
  if (FAILED(dv->GetDeviceKind(&kind))) kind = 0;
  video->m_nDeviceKind = kind;
  video->m_nDVDeviceState = kDVDeviceReady;
  video->SetPlayState(kind == 1 ? kPlaying : kPaused);
  video->m_bCapturing = 0;
  if (IFrameServices* frame = system.UICallback()) frame->NotifyPlaybackBar(0);
  Redraw(system, 1);
  return 1;
}

int UseAnalogue(CUISystem& system, int source) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  if (auto dv = DvEngine(system); dv && video->m_bDVOpened) dv->SelectDevice(-1);
  video->m_nDVDeviceState = kDVDeviceOff;
  if (video->m_nCaptureSource == source) return 1;
  const int available = source == VIDEO_SOURCE_WEBCAM      ? video->m_bHasWebcam
                        : source == VIDEO_SOURCE_COMPOSITE ? video->m_bHasComposite
                                                           : video->m_bHasSVideo;
  auto grabber = system.CoreService<IGrabber>();
  if (!available || !grabber) return 0;
  HideBars(system);
  const plat::HRESULT selected = source == VIDEO_SOURCE_WEBCAM      ? grabber->SelectWebCamera()
                                 : source == VIDEO_SOURCE_COMPOSITE ? grabber->SelectCompositeInput()
                                                                    : grabber->SelectSVideoInput();
  if (FAILED(selected)) {
    video->m_nCaptureSource = VIDEO_SOURCE_NONE;
    return 0;
  }
  video->m_nCaptureSource = source;
  grabber->Preview(1);
  plat::HWND window = nullptr;
  plat::RECT rect{};
  if (PictureArea(system, window, rect)) {
    grabber->ShowVideo(0);
    grabber->SetVideoOwner(window);
    grabber->SetVideoOrigin(rect.left, rect.top);
    grabber->SetVideoSize(rect.right - rect.left, rect.bottom - rect.top);
    grabber->ShowVideo(1);
    if (IFrameServices* frame = system.UICallback()) frame->SetDisplayRect(rect);
  }
  video->m_bCapturing = 0;
  video->SetPlayState(kPlaying);
  Redraw(system, 1);
  return 1;
}

int StartCapture(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video || video->m_bCapturing) return 0;
  const int source = video->m_nCaptureSource;
  if (source == VIDEO_SOURCE_NONE) return 0;
  SelectCaptureLine(system);
  bool started = false;
  if (IsAnalogue(source)) {
    started = StartAnalogueCapture(system, *video);
  } else if (auto dv = DvEngine(system)) {
    started = StartDvCapture(*video, *dv);
  }
  if (started) {
    video->m_bCapturing = 1;
    video->SetPlayState(kPlaying);
  }
  Redraw(system, 1);
  if (!started) return 0;
  if (video->m_nCaptureTarget == 0) {
    if (IVideoPageEvents* page = system.VideoPageCallback()) page->ShowCaptureToHD(0, 0, 0);
    StartTimer(system, video->m_nHDCaptureTimer, kCaptureHDTimer);
  }
  return 1;
}

int StopCapture(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  const bool wasCapturing = video->m_bCapturing != 0;
  if (video->m_nCaptureSource == VIDEO_SOURCE_DV) {
    if (wasCapturing) {
      KillTimer(system, video->m_nDiscCaptureTimer);
      auto dv = DvEngine(system);
      plat::HRESULT hr = plat::E_FAIL;
      if (dv) hr = video->m_nCaptureTarget != 0 ? dv->StopCaptureToDisc() : dv->Capture(0);
      video->SetPlayState(kStopped);
      if (FAILED(hr)) {
        Redraw(system, 1);
        return 0;
      }
    }
  } else if (IsAnalogue(video->m_nCaptureSource) && wasCapturing) {
    auto grabber = system.CoreService<IGrabber>();
    const plat::HRESULT hr = grabber ? grabber->Record(0) : plat::E_FAIL;
    video->SetPlayState(kPlaying);
    if (FAILED(hr)) {
      Redraw(system, 1);
      return 0;
    }
  }
  system.SetNamedItemState("STOP", 1);
  if (wasCapturing) {
    video->SetPlayState(kPlaying);
    video->m_bCapturing = 0;
    // An MPEG-2 camcorder's tape is paused again after a capture.
    if (video->m_nDeviceKind == 2 && video->m_nCaptureSource == VIDEO_SOURCE_DV)
      system.ExecuteAction("Video Pause", 0, 0);
    KillTimer(system, video->m_nHDCaptureTimer);
  }
  Redraw(system, 1);
  return 1;
}

int Transport(CUISystem& system, int id) {
  CVideoConfig* video = Section(system);
  if (!video || !video_controller::InDvCapture(*video)) return 0;
  auto dv = DvEngine(system);
  if (!dv) return 0;
  plat::HRESULT hr = plat::E_FAIL;
  int state = 0;
  switch (id) {
    case kPlay: hr = dv->Play(); state = kPlaying; break;
    case kPause: hr = dv->Pause(); state = kPaused; break;
    case kStop:
      if (video->m_bCapturing) {
        dv->Capture(0);
        video->m_bCapturing = 0;
        KillTimer(system, video->m_nHDCaptureTimer);
      }
      hr = dv->Stop();
      state = kStopped;
      break;
    case kRewind:
    case kFastForward:
      if (video->m_nTransportState != kRewinding && video->m_nTransportState != kFastForwarding)
        video->m_bTapePositionSaved = 1;
      hr = id == kRewind ? dv->Rewind() : dv->FastForward();
      state = id == kRewind ? kRewinding : kFastForwarding;
      break;
    default: return 0;
  }
  if (FAILED(hr)) return 0;
  ShowPlayState(system, state);
  if (IFrameServices* frame = system.UICallback()) frame->NotifyPlaybackBar(0);
  Redraw(system, 1);
  return 1;
}

int StepDiscType(CUISystem& system, int step) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  const int count = video->m_nDiscTypeCount > 0 ? video->m_nDiscTypeCount : kDefaultDiscTypeCount;
  video->m_nCaptureTarget = ((video->m_nCaptureTarget + step) % count + count) % count;
  UpdateTargetKind(*video);
  Redraw(system, 0);
  return 1;
}

int StepDiscFormat(CUISystem& system, int step) {
  CVideoConfig* video = Section(system);
  if (!video) return 0;
  const bool formats = system.VendorId() == 2;
  const std::vector<std::string>& list = formats ? video->m_arrDiscFormats : video->m_arrProfiles;
  if (list.empty()) return 0;
  int& index = formats ? video->m_nDiscTypeIndex : video->m_nProfileIndex;
  const int count = static_cast<int>(list.size());
  index = index < 0 ? (step > 0 ? 0 : count - 1) : ((index + step) % count + count) % count;
  (formats ? video->m_strDiscFormat : video->m_strProfileName) = list[static_cast<std::size_t>(index)];
  Redraw(system, 0);
  return 1;
}

void BuildDiscFormats(CUISystem& system, CVideoConfig& video) {
  if (system.VendorId() != 2) return;
  video.m_arrDiscFormats.assign(std::begin(kVendor2DiscFormats), std::end(kVendor2DiscFormats));
  const int count = static_cast<int>(video.m_arrDiscFormats.size());
  if (video.m_nDiscTypeIndex < 0 || video.m_nDiscTypeIndex >= count) video.m_nDiscTypeIndex = 0;
  video.m_strDiscFormat = video.m_arrDiscFormats[static_cast<std::size_t>(video.m_nDiscTypeIndex)];
}

}  // namespace video_capture

int CUISystem::VideoCaptureRun(int id, std::intptr_t, std::intptr_t) {
  using namespace video_capture;
  RunStep(("VideoCapture " + std::to_string(id)).c_str());
  switch (id) {
    case kOpenPage: return OpenPage(*this);
    case kReturn: return ReturnFromPage(*this);
    case kUseDV: return UseDV(*this);
    case kUseWebcam: return UseAnalogue(*this, VIDEO_SOURCE_WEBCAM);
    case kUseComposite: return UseAnalogue(*this, VIDEO_SOURCE_COMPOSITE);
    case kUseSVideo: return UseAnalogue(*this, VIDEO_SOURCE_SVIDEO);
    case kStartCapture: return StartCapture(*this);
    case kStopCapture: return StopCapture(*this);
    case kPlay:
    case kPause:
    case kStop:
    case kRewind:
    case kFastForward: return Transport(*this, id);
    case kDiscTypeLeft: return StepDiscType(*this, -1);
    case kDiscTypeRight: return StepDiscType(*this, 1);
    case kDiscFormatLeft: return StepDiscFormat(*this, -1);
    case kDiscFormatRight: return StepDiscFormat(*this, 1);
    default: return 0;
  }
}
