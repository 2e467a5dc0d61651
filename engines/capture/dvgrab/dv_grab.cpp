// CDvGrab: construction, the hidden window and its tick, Open and Close,
// folders and settings, and the tape transport.
#include "engines/capture/dvgrab/dv_grab.h"

#include <cstring>
#include <filesystem>

#include "platform/com/module_path.h"
#include "platform/sys/last_error.h"
#include "platform/win/message.h"

using namespace plat;
using namespace dvgrab;

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

void CopyText(char* out, const std::string& text, std::size_t size) {
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

namespace dvgrab {

// Creates every missing folder of `path`; false when a part exists as a file
// or cannot be made.
bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::path built;
  for (const auto& part : std::filesystem::path(path)) {
    built /= part;
    if (part.empty() || part == "/") continue;
    const auto status = std::filesystem::status(built, ec);
    if (std::filesystem::exists(status)) {
      if (!std::filesystem::is_directory(status)) return false;
      continue;
    }
    if (!std::filesystem::create_directory(built, ec) && !std::filesystem::is_directory(built, ec)) return false;
  }
  return true;
}

}  // namespace dvgrab

CDvGrab::CDvGrab() : CDvGrab(DvGrabHooks::Machine()) {}

CDvGrab::CDvGrab(DvGrabHooks hooks) : m_hooks(std::move(hooks)) {
  m_engineFolder = FolderOf(com_detail::ModulePathOf(this));
  m_programFolder = m_hooks.programFolder.empty() ? com_detail::ExecutableDirectory() : m_hooks.programFolder;
  CreateHiddenWindow();
}

CDvGrab::~CDvGrab() {
  Close();
  DestroyHiddenWindow();
}

// --- Hidden window ---------------------------------------------------------------

void CDvGrab::CreateHiddenWindow() {
  WNDCLASS wc;
  wc.lpfnWndProc = &CDvGrab::WindowProc;
  wc.lpszClassName = kWindowClass;
  // A second engine object may have registered the class already.
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  m_hWnd = CreateWindowEx(0, kWindowClass, kWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (m_hWnd) SetWindowLongPtr(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CDvGrab::DestroyHiddenWindow() {
  if (!m_hWnd) return;
  SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
  DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  UnregisterClass(kWindowClass, nullptr);
}

LRESULT CDvGrab::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDvGrab*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case kMsgQueued:
      self->DrainQueue();
      return 0;
    case WM_TIMER:
      if (wParam == kTickTimerId) self->OnTick();
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

void CDvGrab::Post(std::function<void()> work) {
  bool wake = false;
  {
    std::lock_guard lock(m_queueMutex);
    wake = m_queue.empty();
    m_queue.push_back(std::move(work));
  }
  if (wake && m_hWnd) PostMessage(m_hWnd, kMsgQueued, 0, 0);
}

void CDvGrab::DrainQueue() {
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(m_queueMutex);
      if (m_queue.empty()) return;
      work = std::move(m_queue.front());
      m_queue.pop_front();
    }
    work();
  }
}

void CDvGrab::OnTick() {
  if (!m_bSelected) return;
  if (m_pDevice && m_nKind == kDvKindDv) {
    std::uint8_t tc[4] = {};
    if (SUCCEEDED(m_pDevice->GetTimecode(tc))) {
      std::lock_guard lock(m_timecodeMutex);
      std::memcpy(m_timecode, tc, 4);
    }
  }
  Notify([](IDvGrabEventSink& s) { s.Notify7(0, 0); });
}

void CDvGrab::Notify(const std::function<void(IDvGrabEventSink&)>& call) {
  if (m_pSink) call(*m_pSink);
}

// --- Open and Close ---------------------------------------------------------------

HRESULT CDvGrab::Open(int /*ignored*/, int flags, const char* burnerFolder) {
  // A second Open would leak the component it holds.
  if (m_nState != dvstate::kClosed || m_pDevice) return E_FAIL;
  IDvDevice* created = nullptr;
  if (!m_hooks.createDevice || FAILED(m_hooks.createDevice(&created)) || !created) {
    ReleaseAll();
    return E_FAIL;
  }
  m_pDevice.Attach(created);
  m_pDevice->SetEventSink(this);
  m_pDevice->Initialise();
  BuildDeviceList();
  m_pDevice->SetOutputMode(dvoutput::kPreview);
  if (m_hWnd) m_nTimer = SetTimer(m_hWnd, kTickTimerId, kTickMs, nullptr);
  if (flags & kDvOpenLoadBurner) {
    m_engineFolder = burnerFolder ? burnerFolder : "";
    if (m_burner.Load(m_engineFolder) != 0) {
      // Nothing stays half open: a later Open starts afresh.
      if (m_nTimer && m_hWnd) KillTimer(m_hWnd, kTickTimerId);
      m_nTimer = 0;
      ReleaseAll();
      return E_FAIL;
    }
    scorch::IDiscWriter* writer = m_burner.writer();
    const int count = writer->GetDriveCount();
    for (int i = 0; i < count; ++i) {
      char name[kDvNameChars] = {};
      writer->SelectDrive(i);
      writer->GetDriveName(1, kDvNameChars, name);
      name[kDvNameChars - 1] = '\0';
      m_driveNames.emplace_back(name);
    }
  }
  return S_OK;
}

HRESULT CDvGrab::Close() {
  if (m_nTimer && m_hWnd) KillTimer(m_hWnd, kTickTimerId);
  m_nTimer = 0;
  m_pSink = nullptr;
  ReleaseAll();
  m_nState = dvstate::kClosed;
  return S_OK;
}

void CDvGrab::ReleaseAll() {
  if (m_pDevice) {
    SelectNone();
    m_pDevice->Uninitialise();
    // The component calls nothing of ours once this returns.
    m_pDevice->SetEventSink(nullptr);
  }
  StopWatchers();
  if (m_pDiscCapture) {
    m_pDiscCapture->Uninitialise();
    m_pDiscCapture.Reset();
  }
  m_pDevice.Reset();
  m_burner.Unload();
  m_driveNames.clear();
  m_devices.clear();
  m_menuTitles.clear();
  {
    std::lock_guard lock(m_queueMutex);
    m_queue.clear();
  }
  m_nKind = 0;
  m_bSelected = false;
  m_nTransport = dvtransport::kStopped;
}

HRESULT CDvGrab::SetNotifyTarget(IDvGrabEventSink* sink) {
  m_pSink = sink;
  return S_OK;
}

// --- Folders and settings -----------------------------------------------------------

HRESULT CDvGrab::SetOutputFolder(const char* folder) {
  if (!folder || !MakeFolders(folder)) return E_FAIL;
  m_outputFolder = folder;
  return S_OK;
}

HRESULT CDvGrab::GetOutputFolder(char* folder) {
  if (!folder) return E_POINTER;
  CopyText(folder, m_outputFolder, kDvPathChars);
  return S_OK;
}

HRESULT CDvGrab::SetCaptureFormat(int value) {
  if (!m_pDevice) return E_FAIL;
  const HRESULT hr = m_pDevice->SetCaptureFormat(m_nCaptureFormat);
  if (SUCCEEDED(hr)) m_nCaptureFormat = value;
  return hr;
}

HRESULT CDvGrab::SetOutputType(int type) {
  static constexpr int kModes[] = {dvoutput::kAviType1, dvoutput::kAviType2, dvoutput::kRawDv};
  if (type < 0 || type > 2 || !m_pDevice) return E_FAIL;
  const HRESULT hr = m_pDevice->SetOutputMode(kModes[type]);
  if (SUCCEEDED(hr)) {
    m_nOutputType = type;
    m_nOutputTypeCode = kModes[type];
  }
  return hr;
}

HRESULT CDvGrab::SetEncoderParams(EncoderBlock block) {
  m_block = block;
  m_bBlockSet = true;
  return S_OK;
}

HRESULT CDvGrab::Reserved11() { return S_OK; }

HRESULT CDvGrab::GetFrameRate(float* rate) {
  if (!rate) return E_POINTER;
  if (!m_pDevice || !m_bSelected) return E_FAIL;
  return m_pDevice->GetFrameRate(rate);
}

HRESULT CDvGrab::SetVideoWindow(HWND window, int left, int top, int right, int bottom) {
  m_hVideoWindow = window;
  m_videoRect = RECT{left, top, right, bottom};
  return ApplyWindow();
}

HRESULT CDvGrab::ApplyWindow() {
  if (!m_pDevice) return E_FAIL;
  return m_pDevice->SetVideoWindow(m_hVideoWindow, &m_videoRect);
}

HRESULT CDvGrab::SetCaptureFile(const char* path) {
  if (!path || !m_pDevice) return E_FAIL;
  const std::string folder = FolderOf(path);
  if (!MakeFolders(folder)) return E_FAIL;
  return m_pDevice->SetCaptureFile(path);
}

// --- Tape transport ------------------------------------------------------------------

HRESULT CDvGrab::CheckDeviceReady() {
  if (!m_pDevice) return E_FAIL;
  int ready = 1;
  int detail = 0;
  // A failing status call means the device is gone, not ready.
  if (FAILED(m_pDevice->GetDeviceStatus(&ready, &detail))) return E_FAIL;
  return ready != 0 ? S_OK : E_FAIL;
}

HRESULT CDvGrab::Play() {
  if (!m_pDevice) return E_FAIL;
  if (m_nTransport == dvtransport::kPlaying) return S_OK;
  if (FAILED(CheckDeviceReady())) return E_FAIL;
  const HRESULT hr = m_pDevice->Play();
  if (FAILED(hr)) return E_FAIL;
  m_nTransport = dvtransport::kPlaying;
  return S_OK;
}

HRESULT CDvGrab::Pause() {
  if (!m_pDevice) return E_FAIL;
  if (m_nTransport == dvtransport::kPaused) return S_OK;
  if (FAILED(CheckDeviceReady())) return E_FAIL;
  if (FAILED(m_pDevice->Pause())) return E_FAIL;
  m_nTransport = dvtransport::kPaused;
  return S_OK;
}

HRESULT CDvGrab::Stop() {
  if (!m_pDevice) return E_FAIL;
  if (m_nTransport == dvtransport::kStopped) return S_OK;
  if (FAILED(m_pDevice->Stop())) return E_FAIL;
  m_nTransport = dvtransport::kStopped;
  return S_OK;
}

HRESULT CDvGrab::Rewind() {
  using namespace dvtransport;
  const int t = m_nTransport;
  if (t == kRewind || t == kRewindFromPlay) return S_OK;
  if (FAILED(CheckDeviceReady())) return E_FAIL;
  const bool scan = t == kPlaying || t == kPaused || t == kFastForwardFromPlay;
  if (FAILED(scan ? m_pDevice->ReverseScan() : m_pDevice->Rewind())) return E_FAIL;
  m_nTransport = scan ? kRewindFromPlay : kRewind;
  return S_OK;
}

HRESULT CDvGrab::FastForward() {
  using namespace dvtransport;
  const int t = m_nTransport;
  if (t == kFastForward || t == kFastForwardFromPlay) return S_OK;
  if (FAILED(CheckDeviceReady())) return E_FAIL;
  const bool scan = t == kPlaying || t == kPaused || t == kRewindFromPlay;
  if (FAILED(scan ? m_pDevice->ForwardScan() : m_pDevice->FastForward())) return E_FAIL;
  m_nTransport = scan ? kFastForwardFromPlay : kFastForward;
  return S_OK;
}

HRESULT CDvGrab::GetTimecode(int* hours, int* minutes, int* seconds) {
  if (!hours || !minutes || !seconds) return E_POINTER;
  std::lock_guard lock(m_timecodeMutex);
  *hours = m_timecode[0];
  *minutes = m_timecode[1];
  *seconds = m_timecode[2];
  return S_OK;
}

HRESULT CDvGrab::GetCaptureTime(int* hours, int* minutes, int* seconds) {
  if (!hours || !minutes || !seconds) return E_POINTER;
  if (m_nState != dvstate::kCapturing) return E_FAIL;
  long long elapsed = m_hooks.steadySeconds() - m_captureStart - m_pausedTotal;
  if (m_pauseStart) elapsed -= m_hooks.steadySeconds() - m_pauseStart;
  if (elapsed < 0) elapsed = 0;
  *hours = static_cast<int>(elapsed / 3600 % 24);
  *minutes = static_cast<int>(elapsed / 60 % 60);
  *seconds = static_cast<int>(elapsed % 60);
  return S_OK;
}
