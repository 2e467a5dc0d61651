// CGrabber: construction, Init, the hidden window and its timers, device and
// picture settings, and the state guards.
#include "engines/capture/grabber/grabber.h"

#include <cstring>

#include "engines/capture/grabber/trace_log.h"
#include "platform/com/module_path.h"
#include "platform/sys/last_error.h"
#include "platform/win/message.h"
#include "platform/win/mmtimer.h"

using namespace plat;
using namespace grabber;

namespace {

constexpr const char* kDefaultTvKey = "Software\\Kestrovia\\Marivel\\TV";
constexpr const char* kProfileKey = "Software\\Kestrovia\\Marivel\\TV\\Profile";
// The multimedia-timer resolution the engine asks for.
constexpr UINT kTimerResolutionMs = 1;

std::string FieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

// Timer threads only post to the hidden window: the work runs on its thread.
void PostFreeSpaceCheck(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  PostMessage(reinterpret_cast<HWND>(user), kMsgFreeSpaceCheck, 0, 0);
}
void PostStep(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  PostMessage(reinterpret_cast<HWND>(user), kMsgScanStep, 0, 0);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

CGrabber::CGrabber() : CGrabber(GrabberHooks::Machine()) {}

CGrabber::CGrabber(GrabberHooks hooks) : m_hooks(std::move(hooks)) {
  GrabberTrace().Write("grabber constructor start\n");
  m_startFolder = m_hooks.startFolder.empty() ? FolderOf(com_detail::ModulePathOf(this)) : m_hooks.startFolder;
  CreateHiddenWindow();
  GrabberTrace().Write("grabber constructor end\n");
}

CGrabber::~CGrabber() {
  GrabberTrace().Write("grabber destructor start\n");
  if (m_pRecorder) Preview(0);
  if (m_nFreeSpaceTimer) timeKillEvent(m_nFreeSpaceTimer);
  m_nFreeSpaceTimer = 0;
  KillStepTimers();
  EnableDivXSettings(0);
  ReleaseComponents();
  DestroyHiddenWindow();
  m_nState = grabstate::kConstructed;
  GrabberTrace().Write("grabber destructor end\n");
}

void CGrabber::ReleaseComponents() {
  if (m_pRecorder) {
    // The recorder calls nothing of ours once these return.
    m_pRecorder->SetEventSink(nullptr);
    m_pRecorder->ClearProgressSink();
  }
  m_pRecorder.Reset();
  m_pStore.Reset();
}

// --- Hidden window and timers -------------------------------------------------

void CGrabber::CreateHiddenWindow() {
  WNDCLASS wc;
  wc.lpfnWndProc = &CGrabber::WindowProc;
  wc.lpszClassName = kWindowClass;
  // Another engine may have registered the class already; it serves us too.
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  m_hWnd = CreateWindowEx(0, kWindowClass, kWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (m_hWnd) SetWindowLongPtr(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CGrabber::DestroyHiddenWindow() {
  if (!m_hWnd) return;
  SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
  DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  UnregisterClass(kWindowClass, nullptr);
}

void CGrabber::KillStepTimers() {
  if (m_nStepTimer) timeKillEvent(m_nStepTimer);
  m_nStepTimer = 0;
  if (m_nWallTimer && m_hWnd) KillTimer(m_hWnd, m_nWallTimer);
  m_nWallTimer = 0;
}

LRESULT CGrabber::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CGrabber*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case kMsgFreeSpaceCheck:
      self->OnFreeSpaceCheck();
      return 0;
    case kMsgScanStep:
      self->OnStepTimer();
      return 0;
    case kMsgRecorderEvents:
      self->DrainEvents();
      return 0;
    case WM_TIMER:
      if (wParam == self->m_nWallTimer) self->OnWallTimer();
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

void CGrabber::StartStepTimer(UINT delayMs) {
  if (m_nStepTimer) timeKillEvent(m_nStepTimer);
  m_nStepTimer = m_hWnd ? timeSetEvent(delayMs, kTimerResolutionMs, &PostStep, reinterpret_cast<DWORD_PTR>(m_hWnd),
                                       TIME_ONESHOT)
                        : 0;
}

// --- Guards ---------------------------------------------------------------------

bool CGrabber::InState(std::initializer_list<int> states) const {
  for (const int s : states) {
    if (m_nState == s) return true;
  }
  return false;
}

bool CGrabber::TuningAllowed() const {
  if (InState({grabstate::kSourceRecording, grabstate::kSourcePaused, grabstate::kSourceNamedRecording})) {
    return false;
  }
  return !(m_nState == grabstate::kTimeShift && m_bDiscReady);
}

void CGrabber::Notify(const std::function<void(IGrabberEventSink&)>& call) {
  if (m_pSink) call(*m_pSink);
}

// --- Init -------------------------------------------------------------------------

HRESULT CGrabber::Init(GrabberInitRecord record) {
  if (m_nState != grabstate::kConstructed) return E_FAIL;
  GrabberTrace().Write("grabber init start\n");
  bool createdRecorder = false;
  if (!m_pRecorder) {
    ISysRecorder* recorder = nullptr;
    if (!m_hooks.createRecorder || FAILED(m_hooks.createRecorder(&recorder)) || !recorder) {
      ReleaseComponents();
      return E_FAIL;
    }
    m_pRecorder.Attach(recorder);
    createdRecorder = true;
  }
  if (!m_pStore) {
    IProfileStore* store = nullptr;
    if (!m_hooks.createProfileStore || FAILED(m_hooks.createProfileStore(&store)) || !store) {
      ReleaseComponents();
      return E_FAIL;
    }
    m_pStore.Attach(store);
  }

  m_profileName.clear();
  const std::string profile = FieldText(record.profileName, sizeof record.profileName);
  m_tvKey = FieldText(record.tvKey, sizeof record.tvKey);
  m_outputFolder = FieldText(record.outputFolder, sizeof record.outputFolder);
  m_nInputKind = record.inputKind;
  m_nAntenna = record.antenna;
  m_videoDevice = FieldText(record.videoDevice, sizeof record.videoDevice);
  m_audioDevice = FieldText(record.audioDevice, sizeof record.audioDevice);
  for (int i = 0; i < 4; ++i) m_levels[i] = record.pictureLevels[i];
  m_nChannel = record.startChannel;
  SetTimeShiftFolder(m_outputFolder.c_str());

  if (createdRecorder) m_pRecorder->Initialize(record.recorderValue);
  m_pRecorder->SetEventSink(this);
  m_pRecorder->SetCaptureOption(m_nCaptureOption);
  m_pRecorder->SetValue(0);

  if (m_tvKey.empty()) m_tvKey = kDefaultTvKey;
  m_pRecorder->SetCableKey((m_tvKey + "\\Cable").c_str());
  m_pRecorder->SetAntennaKey((m_tvKey + "\\Antenna").c_str());

  int country = record.country;
  if (country < 0 || country >= kCountryCount) {
    country = CountryRowFor(m_hooks.localeCountry ? m_hooks.localeCountry() : LocaleCountry{});
  }
  SetCountryRow(country);

  const std::string wanted = profile.empty() ? "DVD SP" : profile;
  m_pStore->Open(kProfileKey);
  if (LoadProfiles() == ProfileLoad::kFailed) {
    WriteDefaultEntry();
  } else if (SUCCEEDED(m_pStore->Select("Record", wanted.c_str())) && SUCCEEDED(m_pStore->GetSelected(&m_current))) {
    m_profileName = wanted;
  } else {
    // A family without the wanted profile: never record with an empty block.
    WriteDefaultEntry();
  }
  m_timeShiftBlock = m_current.block;

  const ProbeResult probe = m_hooks.probe ? m_hooks.probe() : ProbeResult{};
  m_nCapabilities = CapabilityBits(probe);
  m_nSpeed = probe.mhz;
  ChooseTimeShiftProfile();

  char name[kTvNameChars] = {};
  if (SUCCEEDED(m_pRecorder->GetDeviceName(0, name))) {
    ApplyDevices(m_videoDevice, m_audioDevice);
    for (int i = 0; FAILED(m_pRecorder->HasTuner()); ++i) {
      char device[kTvNameChars] = {};
      if (FAILED(m_pRecorder->GetVideoDeviceName(i, device))) break;
      // Trying the devices in turn is no change of device: the user's
      // channels and picture settings stay.
      m_videoDevice = FieldText(device, sizeof device);
      ApplyDevices(m_videoDevice, m_audioDevice);
    }
  }

  m_nState = grabstate::kIdle;
  if (!m_nFreeSpaceTimer && m_hWnd) {
    m_nFreeSpaceTimer = timeSetEvent(kFreeSpaceTimerMs, kTimerResolutionMs, &PostFreeSpaceCheck,
                                     reinterpret_cast<DWORD_PTR>(m_hWnd), TIME_PERIODIC);
  }
  GrabberTrace().Write("grabber init end\n");
  return S_OK;
}

void CGrabber::SetCountryRow(int index) {
  const auto table = CountryTable();
  if (index < 0 || index >= static_cast<int>(table.size())) index = 0;
  m_nCountry = index;
  m_nCountryCode = table[static_cast<std::size_t>(index)].code;
  m_nStandard = table[static_cast<std::size_t>(index)].standard;
}

// --- Devices and picture ----------------------------------------------------------

void CGrabber::ApplyDevices(const std::string& previousVideo, const std::string& previousAudio) {
  if (!m_pRecorder || !InState({grabstate::kConstructed, grabstate::kIdle, grabstate::kPreview,
                                grabstate::kSourceRunning})) {
    return;
  }
  char name[kTvNameChars] = {};
  if (m_videoDevice.empty() && SUCCEEDED(m_pRecorder->GetVideoDeviceName(0, name))) {
    m_videoDevice = FieldText(name, sizeof name);
  }
  if (m_audioDevice.empty() && SUCCEEDED(m_pRecorder->GetAudioDeviceName(0, name))) {
    m_audioDevice = FieldText(name, sizeof name);
  }
  const std::string askedVideo = previousVideo.empty() ? m_videoDevice : previousVideo;
  const std::string askedAudio = previousAudio.empty() ? m_audioDevice : previousAudio;
  m_pRecorder->SelectDevices(m_videoDevice.c_str(), m_audioDevice.c_str());
  int inputType = 0;
  if (SUCCEEDED(m_pRecorder->ApplyCountry(m_nCountryCode, &inputType))) m_nReportedInputType = inputType;
  char video[kTvNameChars] = {};
  char audio[kTvNameChars] = {};
  if (SUCCEEDED(m_pRecorder->GetSelectedDevices(video, audio))) {
    m_videoDevice = FieldText(video, sizeof video);
    m_audioDevice = FieldText(audio, sizeof audio);
  }
  if (m_videoDevice != askedVideo || m_audioDevice != askedAudio) {
    // Another device: its inputs, picture and channels start afresh.
    m_nInputKind = 0;
    for (int& level : m_levels) level = -1;
    ResetChannelTables();
  }
  if (SUCCEEDED(m_pRecorder->GetDeviceName(0, name))) {
    m_pRecorder->EnableVideo(1);
    m_pRecorder->EnableDevice(1);
    if (FAILED(m_pRecorder->SetVideoInput(m_nInputKind))) {
      int input = 0;
      m_nInputKind = SUCCEEDED(m_pRecorder->GetVideoInput(&input)) ? input : kInputWebCamera;
    }
    if (SUCCEEDED(m_pRecorder->HasTuner())) {
      m_pRecorder->SetVideoStandard(m_nStandard);
      m_pRecorder->SetCountryCode(m_nCountryCode);
    }
    SetTunerInput(m_nAntenna);
    int channel = m_nChannel;
    if (channel <= 0) m_pRecorder->GetTunedChannel(&channel);
    TuneChannel(channel);
    const int levels[4] = {m_levels[0], m_levels[1], m_levels[2], m_levels[3]};
    for (int i = 0; i < 4; ++i) ApplyPictureLevel(i, levels[i]);
    ResetVideoSize();
    if (m_nState == grabstate::kPreview) m_pRecorder->Preview(1);
    if (m_nState == grabstate::kSourceRunning) m_pRecorder->OpenTimeShiftSource(1);
  }
}

void CGrabber::ResetChannelTables() {
  int first = 0;
  int last = -1;
  m_pRecorder->SetTunerInput(0);
  if (SUCCEEDED(m_pRecorder->GetChannelRange(&first, &last))) {
    for (int c = first; c <= last && c - first < kBandChannels * 4; ++c) m_pRecorder->SetChannelStored(0, c, 0);
  }
  m_pRecorder->SetTunerInput(1);
  for (int c = 0; c < kBandChannels; ++c) m_pRecorder->SetChannelStored(1, c, 0);
}

// Level 1..4 are brightness, saturation, contrast and hue.
HRESULT CGrabber::PictureRange(int which, int* minimum, int* maximum, int* byDefault) {
  if (!m_pRecorder) return E_FAIL;
  switch (which) {
    case 0: return m_pRecorder->GetBrightnessRange(minimum, maximum, byDefault);
    case 1: return m_pRecorder->GetSaturationRange(minimum, maximum, byDefault);
    case 2: return m_pRecorder->GetContrastRange(minimum, maximum, byDefault);
    default: return m_pRecorder->GetHueRange(minimum, maximum, byDefault);
  }
}

HRESULT CGrabber::ApplyPictureLevel(int which, int level) {
  if (!m_pRecorder || level < -1 || level > 100) return E_FAIL;
  int minimum = 0;
  int maximum = 0;
  int byDefault = 0;
  if (FAILED(PictureRange(which, &minimum, &maximum, &byDefault))) return E_FAIL;
  const int value = level == -1 ? byDefault : minimum + level * (maximum - minimum) / 100;
  HRESULT hr = E_FAIL;
  int read = 0;
  HRESULT readHr = E_FAIL;
  switch (which) {
    case 0: hr = m_pRecorder->SetBrightness(value); break;
    case 1: hr = m_pRecorder->SetSaturation(value); break;
    case 2: hr = m_pRecorder->SetContrast(value); break;
    default: hr = m_pRecorder->SetHue(value); break;
  }
  if (level != -1 && SUCCEEDED(hr)) {
    m_levels[which] = level;
    return hr;
  }
  switch (which) {
    case 0: readHr = m_pRecorder->GetBrightness(&read); break;
    case 1: readHr = m_pRecorder->GetSaturation(&read); break;
    case 2: readHr = m_pRecorder->GetContrast(&read); break;
    default: readHr = m_pRecorder->GetHue(&read); break;
  }
  if (SUCCEEDED(readHr)) m_levels[which] = maximum != minimum ? (read - minimum) * 100 / (maximum - minimum) : 0;
  return hr;
}

void CGrabber::ResetVideoSize() {
  m_nVideoWidth = 640;
  m_nVideoHeight = 480;
  if (m_pRecorder) m_pRecorder->SetVideoSize(m_nVideoWidth, m_nVideoHeight);
}
