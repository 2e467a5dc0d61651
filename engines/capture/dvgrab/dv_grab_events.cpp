// CDvGrab: capture to a file, its name, and the component's events.
#include "engines/capture/dvgrab/dv_grab.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>

using namespace plat;
using namespace dvgrab;

namespace dvgrab {

std::string BaseCaptureName(const std::tm& when, bool isDv) {
  char name[64];
  std::snprintf(name, sizeof name, "%s_%02d%02d%4d_%02d%02d", isDv ? "DV" : "MV", when.tm_mday, when.tm_mon + 1,
                when.tm_year + 1900, when.tm_hour, when.tm_min);
  return name;
}

std::string CaptureExtension(bool isDv, int format) {
  if (!isDv) return ".0000.mpg";
  switch (format) {
    case 0:
      return ".0000.avi";
    case 4:
      return ".0000.wmv";
    case 5:
      return ".0000.ram";
    case 1:
    case 2:
    case 3:
    case 6:
    case 7:
      return ".0000.mpg";
    default:
      return "";
  }
}

}  // namespace dvgrab

namespace {

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0 || errno != ENOENT; }

// Reserves the name by creating the file; false when it exists already.
bool CreateExclusive(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

std::string CDvGrab::CaptureFileName(const std::tm& when) const {
  const std::string first = BaseCaptureName(when, m_bIsDv);
  const std::string ext = CaptureExtension(m_bIsDv, m_block.format);
  const std::string folder = m_outputFolder.empty() ? std::string(".") : m_outputFolder;
  std::string name = first;
  for (int n = 0; Exists(folder + "/" + name + ext); ++n) name = first + "(" + std::to_string(n) + ")";
  return name + ext;
}

HRESULT CDvGrab::Capture(int start) {
  if (!m_pDevice) return E_FAIL;
  if (!start) {
    if (m_nState != dvstate::kCapturing) return E_FAIL;
    if (m_nCaptureState == capture::kStreamFile) {
      // The stream writer's own result: a clean stop is a success.
      const HRESULT hr = m_pDevice->FinishStreamCapture();
      m_nState = dvstate::kCaptureEnded;
      m_bCaptureActive = false;
      return hr;
    }
    if (m_nTransport == dvtransport::kCapturing) {
      const HRESULT hr = m_pDevice->StopCapture();
      m_nState = dvstate::kCaptureEnded;
      m_bCaptureActive = false;
      return hr;
    }
    return E_FAIL;
  }
  if (m_nState == dvstate::kCapturing || !m_bSelected) return E_FAIL;
  if (m_nKind == kDvKindMpeg && FAILED(CheckDeviceReady())) return E_FAIL;
  if (!m_bBlockSet) m_block = EncoderBlock{};
  // The name is taken by creating the file, so two captures never share it.
  std::string path;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = (m_outputFolder.empty() ? std::string(".") : m_outputFolder) + "/" + CaptureFileName(m_hooks.localTime());
    if (path.size() >= sizeof m_block.filePath) return E_FAIL;
    if (CreateExclusive(path)) break;
    path.clear();
  }
  if (path.empty()) return E_FAIL;
  std::memset(m_block.filePath, 0, sizeof m_block.filePath);
  std::memcpy(m_block.filePath, path.data(), path.size());
  m_pDevice->GetFrameRate(&m_block.frameRate);
  m_pDevice->SetEncoderBlock(&m_block);
  m_nTransport = dvtransport::kCapturing;
  m_bCaptureActive = false;
  if (FAILED(m_pDevice->StartCapture())) {
    m_pDevice->Stop();
    m_nTransport = dvtransport::kStopped;
    unlink(path.c_str());
    return E_FAIL;
  }
  m_captureStart = m_hooks.steadySeconds();
  m_pauseStart = 0;
  m_pausedTotal = 0;
  m_nState = dvstate::kCapturing;
  m_bCaptureActive = true;
  m_nCaptureState = capture::kRunning;
  return S_OK;
}

// --- Component events ------------------------------------------------------------------

int CDvGrab::OnDvEvent(int code, const char* text) {
  Post([this, code, copy = std::string(text ? text : "")] { HandleEvent(code, copy); });
  return 1;
}

void CDvGrab::HandleEvent(int code, const std::string& text) {
  using namespace dvevent;
  switch (code) {
    case kCaptureStarted:
      m_nTransport = dvtransport::kCapturing;
      m_pauseStart = 0;
      if (m_bCaptureActive) m_nCaptureState = capture::kRunning;
      break;
    case kDeviceIdle:
      m_nLastCode = dvcode::kNone;
      m_bBusy = false;
      break;
    case kDeviceArrived:
      BuildDeviceList();
      Notify([](IDvGrabEventSink& s) { s.Notify5(0, 0); });
      break;
    case kDeviceRemoved:
      BuildDeviceList();
      Notify([](IDvGrabEventSink& s) { s.Notify6(0, 0); });
      break;
    case kTransportStopped:
      Notify([](IDvGrabEventSink& s) { s.Notify8(0, 0); });
      if (!m_bCaptureActive) m_nTransport = dvtransport::kStopped;
      break;
    case kCaptureFile:
      if (text.size() < 3 || strcasecmp(text.c_str() + text.size() - 3, "AVI") != 0) {
        m_nCaptureState = capture::kStreamFile;
        Notify([](IDvGrabEventSink& s) { s.Notify9(0, 0); });
      }
      break;
    case kCaptureEnded:
      m_nTransport = dvtransport::kStopped;
      m_nCaptureState = capture::kEnded;
      m_nLastCode = dvcode::kNone;
      m_bBusy = false;
      m_bCaptureActive = false;
      Notify([](IDvGrabEventSink& s) { s.Notify10(0, 0); });
      break;
    case kCapturePaused:
      if (m_bCaptureActive) {
        m_nCaptureState = capture::kPaused;
        m_pauseStart = m_hooks.steadySeconds();
      }
      break;
    case kCaptureResumed:
      m_nTransport = dvtransport::kCapturing;
      m_nCaptureState = capture::kRunning;
      if (m_pauseStart) m_pausedTotal += m_hooks.steadySeconds() - m_pauseStart;
      m_pauseStart = 0;
      break;
    case kStopRequested:
      if (m_pDevice) m_pDevice->Stop();
      m_nTransport = dvtransport::kStopped;
      break;
    case kDeviceBusy:
      m_bBusy = true;
      break;
    case kDiscCaptureFinished:
      if (m_pDiscCapture) {
        m_pDiscCapture->Uninitialise();
        m_pDiscCapture.Reset();
      }
      Notify([](IDvGrabEventSink& s) { s.Notify12(0, 0); });
      break;
    default:
      break;
  }
}
