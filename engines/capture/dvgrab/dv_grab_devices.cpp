// CDvGrab: the device list and its names, selecting a device, and the two
// watchers of an MPEG-2 TS camcorder (transport code and timecode).
#include "engines/capture/dvgrab/dv_grab.h"

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace plat;
using namespace dvgrab;

namespace {

constexpr int kMaxDevices = 64;
constexpr int kTransportWatchMs = 1000;
constexpr int kTimecodeWatchMs = 100;
constexpr int kTimecodeStillWakes = 50;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

namespace dvgrab {

std::string DisplayName(int index, const std::string& name) {
  std::string shown = std::to_string(index + 1) + ". ";
  const std::size_t open = name.rfind('(');
  const std::size_t close = name.rfind(')');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    std::string maker = name.substr(open + 1, close - open - 1);
    shown += Lower(maker) == "victor" ? std::string("JVC") : maker;
  }
  shown += name.find(" DV ") != std::string::npos ? " DV" : " MicroMV";
  return shown;
}

}  // namespace dvgrab

HRESULT CDvGrab::BuildDeviceList() {
  m_devices.clear();
  if (!m_pDevice) return E_FAIL;
  m_pDevice->Uninitialise();
  m_pDevice->Initialise();
  for (int i = 0; i < kMaxDevices; ++i) {
    char name[kDvNameChars] = {};
    if (FAILED(m_pDevice->GetDeviceNameAt(i, name, kDvNameChars))) break;
    name[kDvNameChars - 1] = '\0';
    m_devices.push_back(DeviceEntry{name, DisplayName(i, name)});
  }
  return m_devices.empty() ? E_FAIL : S_OK;
}

HRESULT CDvGrab::EnumerateDevices() {
  if (!m_pDevice) return E_FAIL;
  return m_devices.empty() ? E_FAIL : S_OK;
}

HRESULT CDvGrab::GetDeviceKind(int* kind) {
  if (!kind) return E_POINTER;
  if (!m_pDevice || m_devices.empty() || m_nKind == 0) return E_FAIL;
  *kind = m_nKind;
  return S_OK;
}

HRESULT CDvGrab::GetDeviceName(char* name) {
  if (!name) return E_POINTER;
  if (!m_pDevice) return E_FAIL;
  const HRESULT hr = m_pDevice->GetDeviceName(m_deviceName, kDvNameChars);
  m_deviceName[kDvNameChars - 1] = '\0';
  std::memcpy(name, m_deviceName, kDvNameChars);
  return hr;
}

HRESULT CDvGrab::GetDeviceNameAt(char* name, int index) {
  if (!name) return E_POINTER;
  if (index < 0 || index >= static_cast<int>(m_devices.size())) return E_FAIL;
  const std::string& shown = m_devices[static_cast<std::size_t>(index)].displayName;
  const std::size_t n = std::min<std::size_t>(shown.size(), kDvNameChars - 1);
  std::memcpy(name, shown.data(), n);
  name[n] = '\0';
  return S_OK;
}

HRESULT CDvGrab::SelectNone() {
  if (!m_pDevice) return E_FAIL;
  if (m_nState == dvstate::kCapturing && m_bCaptureActive) Capture(0);
  const bool wasSelected = m_bSelected;
  const HRESULT stopped = m_pDevice->Stop();
  const HRESULT closed = m_pDevice->OpenDevice(nullptr);
  StopWatchers();
  m_bSelected = false;
  m_nKind = 0;
  m_nTransport = dvtransport::kStopped;
  // With nothing selected there is no tape to stop.
  return (wasSelected && FAILED(stopped)) || FAILED(closed) ? E_FAIL : S_OK;
}

HRESULT CDvGrab::SelectDevice(int index) {
  if (!m_pDevice) return E_FAIL;
  if (index < 0) {
    const HRESULT hr = SelectNone();
    BuildDeviceList();
    return hr;
  }
  if (index >= static_cast<int>(m_devices.size())) return E_FAIL;
  if (m_nState == dvstate::kCapturing) Capture(0);
  SelectNone();
  const std::string name = m_devices[static_cast<std::size_t>(index)].name;
  if (FAILED(m_pDevice->OpenDevice(name.c_str()))) return E_FAIL;
  m_bIsDv = name.find(" DV ") != std::string::npos;
  ApplyWindow();
  int kind = 0;
  if (FAILED(m_pDevice->GetDeviceKind(&kind))) return E_FAIL;
  m_nKind = kind;
  m_bSelected = true;
  if (kind == kDvKindDv) {
    if (SUCCEEDED(m_pDevice->Play())) m_nTransport = dvtransport::kPlaying;
    return S_OK;
  }
  if (kind == kDvKindMpeg) {
    if (FAILED(CheckDeviceReady())) return E_FAIL;
    if (SUCCEEDED(m_pDevice->Pause())) m_nTransport = dvtransport::kPaused;
    StartWatchers();
    return S_OK;
  }
  return E_FAIL;
}

// --- Watchers ------------------------------------------------------------------------

void CDvGrab::StartWatchers() {
  StopWatchers();
  {
    std::lock_guard lock(m_watchMutex);
    m_bStopWatchers = false;
  }
  m_transportWatcher = std::thread([this] { TransportWatcher(); });
  m_timecodeWatcher = std::thread([this] { TimecodeWatcher(); });
}

void CDvGrab::StopWatchers() {
  {
    std::lock_guard lock(m_watchMutex);
    m_bStopWatchers = true;
  }
  m_watchWake.notify_all();
  // The watchers wait on the condition and never wait for this thread, so
  // the joins end within one component call.
  if (m_transportWatcher.joinable()) m_transportWatcher.join();
  if (m_timecodeWatcher.joinable()) m_timecodeWatcher.join();
  std::lock_guard lock(m_watchMutex);
  m_bStopWatchers = false;
}

void CDvGrab::TransportWatcher() {
  std::unique_lock lock(m_watchMutex);
  while (!m_watchWake.wait_for(lock, std::chrono::milliseconds(kTransportWatchMs), [this] { return m_bStopWatchers; })) {
    const int transport = m_nTransport;
    const int sub = m_nCaptureState;
    if (transport == dvtransport::kBusy || sub == capture::kStreamFile || sub == capture::kPaused || m_bBusy) continue;
    lock.unlock();
    int code = dvcode::kNone;
    const bool read = SUCCEEDED(m_pDevice->GetTransportCode(&code));
    lock.lock();
    if (!read || m_bStopWatchers) continue;
    const int now = m_nTransport;
    if (now == dvtransport::kCapturing || now == dvtransport::kBusy) continue;
    if (code != m_nLastCode.exchange(code)) Post([this, code] { HandleTransportCode(code); });
  }
}

void CDvGrab::TimecodeWatcher() {
  std::unique_lock lock(m_watchMutex);
  int still = 0;
  while (!m_watchWake.wait_for(lock, std::chrono::milliseconds(kTimecodeWatchMs), [this] { return m_bStopWatchers; })) {
    if (m_nKind != kDvKindMpeg) continue;
    lock.unlock();
    std::uint8_t tc[4] = {};
    const bool read = SUCCEEDED(m_pDevice->GetTimecode(tc));
    lock.lock();
    if (!read || m_bStopWatchers) continue;
    bool same = false;
    {
      std::lock_guard tcLock(m_timecodeMutex);
      same = std::memcmp(tc, m_timecode, 4) == 0;
      std::memcpy(m_timecode, tc, 4);
    }
    still = same ? still + 1 : 0;
    if (still < kTimecodeStillWakes) continue;
    still = 0;
    const int sub = m_nCaptureState;
    if (m_nLastCode != dvcode::kPause && sub != capture::kStreamFile && sub != capture::kPaused && !m_bBusy &&
        m_nTransport != dvtransport::kStopped) {
      Post([this] { HandleTransportCode(dvcode::kStop); });
    }
  }
}

void CDvGrab::HandleTransportCode(int code) {
  using namespace dvtransport;
  if (!m_pDevice || !m_bSelected) return;
  const int t = m_nTransport;
  switch (code) {
    case dvcode::kPlay:
      if (FAILED(CheckDeviceReady()) || FAILED(m_pDevice->Play())) return;
      m_nTransport = kPlaying;
      Notify([](IDvGrabEventSink& s) { s.Notify0(0, 0); });
      return;
    case dvcode::kStop:
      if (m_nCaptureState == capture::kStreamFile) {
        m_pDevice->FinishStreamCapture();
        m_pDevice->StopCapture();
        m_pDevice->Stop();
        m_nState = dvstate::kCaptureEnded;
      } else {
        m_pDevice->Stop();
      }
      m_nTransport = kStopped;
      Notify([](IDvGrabEventSink& s) { s.Notify2(0, 0); });
      return;
    case dvcode::kPause:
      if (FAILED(CheckDeviceReady()) || FAILED(m_pDevice->Pause())) return;
      m_nTransport = kPaused;
      Notify([](IDvGrabEventSink& s) { s.Notify1(0, 0); });
      return;
    case dvcode::kFastForward: {
      if (FAILED(CheckDeviceReady())) return;
      const bool scan = t == kPlaying || t == kPaused || t == kRewindFromPlay;
      if (FAILED(scan ? m_pDevice->ForwardScan() : m_pDevice->FastForward())) return;
      m_nTransport = scan ? kFastForwardFromPlay : kFastForward;
      Notify([](IDvGrabEventSink& s) { s.Notify4(0, 0); });
      return;
    }
    case dvcode::kRewind: {
      if (FAILED(CheckDeviceReady())) return;
      const bool scan = t == kPlaying || t == kPaused || t == kFastForwardFromPlay;
      if (FAILED(scan ? m_pDevice->ReverseScan() : m_pDevice->Rewind())) return;
      m_nTransport = scan ? kRewindFromPlay : kRewind;
      Notify([](IDvGrabEventSink& s) { s.Notify3(0, 0); });
      return;
    }
    default:
      return;
  }
}
