#include "outside/authoring/authoring_engine.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "outside/authoring/job_runner.h"
#include "outside/authoring/video_standard.h"
#include "outside/authoring/writers.h"
#include "platform/sys/last_error.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using namespace plat;
using authoring::DiscKind;

namespace {

constexpr const char* kWindowClass = "MarivelAuthoringEngine";
constexpr UINT kMsgStatus = WM_USER + 1;

void CopyText(const std::string& text, char* out, std::size_t size) {
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

std::string CacheRoot() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/Marivel";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.cache/Marivel";
  return "/tmp/Marivel";
}

}  // namespace

CAuthoringEngine::CAuthoringEngine() {
  m_workFolder = CacheRoot() + "/WUTemp";
  m_target = CacheRoot() + "/Work Folder/DVD Folder";
  CreateHiddenWindow();
}

CAuthoringEngine::~CAuthoringEngine() {
  {
    std::lock_guard lock(m_mutex);
    if (m_control) m_control->Cancel();
  }
  JoinWorker();
  m_pSink = nullptr;
  DestroyHiddenWindow();
}

void CAuthoringEngine::CreateHiddenWindow() {
  WNDCLASS wc;
  wc.lpfnWndProc = &CAuthoringEngine::WindowProc;
  wc.lpszClassName = kWindowClass;
  // A second engine shares the class the first registered.
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  m_hWnd = CreateWindowEx(0, kWindowClass, kWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (m_hWnd) SetWindowLongPtr(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CAuthoringEngine::DestroyHiddenWindow() {
  if (!m_hWnd) return;
  SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
  DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
}

LRESULT CAuthoringEngine::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CAuthoringEngine*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self && msg == kMsgStatus) {
    self->DeliverStatus();
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// On the engine's thread: the latest status goes to the sink. Status changes
// that came while a notice was pending are folded into this one; the last
// one of a job always arrives.
void CAuthoringEngine::DeliverStatus() {
  AuthoringStatus status;
  {
    std::lock_guard lock(m_mutex);
    status = m_status;
    m_bNoticePending = false;
  }
  const bool ended = status.stage >= kAuthoringStageDone;
  if (ended) JoinWorker();
  if (m_pSink) m_pSink->Notify7(reinterpret_cast<SinkArg>(&status), 0);
}

bool CAuthoringEngine::Running() const {
  std::lock_guard lock(m_mutex);
  return m_bRunning;
}

void CAuthoringEngine::JoinWorker() {
  if (m_worker.joinable()) m_worker.join();
}

bool CAuthoringEngine::WaitIdle(int timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Running()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  JoinWorker();
  return true;
}

DiscKind CAuthoringEngine::CurrentKind() const {
  switch (m_nDiscType) {
    case kAuthoringDiscSvcd: return DiscKind::Svcd;
    case kAuthoringDiscVcd: return DiscKind::Vcd;
    case kAuthoringDiscAudioCd: return DiscKind::AudioCd;
    case kAuthoringDiscDataCd: return DiscKind::DataCd;
    default: return DiscKind::Dvd;
  }
}

void CAuthoringEngine::RefreshWriters() {
  m_writers = authoring::ListWriters();
  if (m_nWriter >= static_cast<int>(m_writers.size())) m_nWriter = -1;
  if (m_nWriter < 0 && !m_writers.empty()) m_nWriter = 0;
}

HRESULT CAuthoringEngine::Launch(authoring::Job job) {
  if (Running()) return E_FAIL;
  JoinWorker();
  RefreshWriters();
  if (m_nWriter < 0) return E_FAIL;
  job.writer = m_writers[static_cast<std::size_t>(m_nWriter)];
  job.kind = job.burnFolderOnly ? DiscKind::Dvd : CurrentKind();
  job.format = m_format;
  job.workFolder = m_workFolder;
  job.dvdFolder = m_target;
  job.volumeLabel = m_volumeLabel;
  job.pal = authoring::UserLocaleIsPal();
  job.verify = m_bVerify;
  job.simulate = m_bSimulate;
  job.eject = m_bEjectAfter;
  job.photoSeconds = m_nStillSeconds;

  const HWND window = m_hWnd;
  const auto start = std::chrono::steady_clock::now();
  auto report = [this, window, start](std::int32_t stage, std::int32_t percent, std::int64_t done, std::int64_t total) {
    bool post = false;
    {
      std::lock_guard lock(m_mutex);
      m_status.stage = stage;
      m_status.percent = percent;
      m_status.bytesDone = done;
      if (total) m_status.totalBytes = total;
      m_status.elapsedSeconds = static_cast<std::int32_t>(
          std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count());
      post = !m_bNoticePending;
      m_bNoticePending = true;
    }
    if (post && window) PostMessage(window, kMsgStatus, 0, 0);
  };
  auto control = std::make_shared<authoring::JobControl>(report);
  {
    std::lock_guard lock(m_mutex);
    m_status = AuthoringStatus{};
    m_status.discRemainMB = authoring::InspectDisc(job.writer, job.kind).freeMB;
    m_control = control;
    m_bRunning = true;
  }
  m_worker = std::thread([this, job = std::move(job), control, window, start] {
    authoring::JobOutcome outcome = authoring::RunJob(job, *control);
    bool post = false;
    {
      std::lock_guard lock(m_mutex);
      m_status.result = outcome.result;
      m_status.element = outcome.element;
      if (outcome.discRemainMB >= 0) m_status.discRemainMB = outcome.discRemainMB;
      if (outcome.imageBytes) m_status.totalBytes = outcome.imageBytes;
      m_status.stage = SUCCEEDED(outcome.result) ? kAuthoringStageDone
                       : control->Cancelled()      ? kAuthoringStageCancelled
                                                   : kAuthoringStageFailed;
      if (m_status.stage == kAuthoringStageDone) m_status.percent = 100;
      m_status.elapsedSeconds = static_cast<std::int32_t>(
          std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count());
      m_bRunning = false;
      post = !m_bNoticePending;
      m_bNoticePending = true;
    }
    if (post && window) PostMessage(window, kMsgStatus, 0, 0);
  });
  return S_OK;
}

// --- Slots ---------------------------------------------------------------------

HRESULT CAuthoringEngine::Initialize() {
  if (Running()) return E_FAIL;
  JoinWorker();
  m_elements.clear();
  m_nDiscType = kAuthoringDiscDvd;
  m_format = AuthoringFormatRecord{};
  m_bStagePlanned = false;
  m_nPreviewElement = -1;
  m_bPreviewPlaying = false;
  m_preview.Clear();
  {
    std::lock_guard lock(m_mutex);
    m_status = AuthoringStatus{};
  }
  RefreshWriters();
  return m_hWnd ? S_OK : E_FAIL;
}

HRESULT CAuthoringEngine::SetEventSink(IAuthoringEventSink* sink) {
  m_pSink = sink;
  return S_OK;
}

HRESULT CAuthoringEngine::SetPreviewWindow(HWND window, int left, int top, int right, int bottom) {
  if (window && (right <= left || bottom <= top)) return E_INVALIDARG;
  m_preview.SetOwner(window, RECT{left, top, right, bottom});
  return S_OK;
}

HRESULT CAuthoringEngine::SetPreviewElement(int index, int, int, int) {
  if (index < 0 || index >= static_cast<int>(m_elements.size())) return E_INVALIDARG;
  m_nPreviewElement = index;
  return S_OK;
}

HRESULT CAuthoringEngine::ShowPreview(int show) {
  m_preview.Show(show != 0);
  return S_OK;
}

HRESULT CAuthoringEngine::IsPreviewShown(int* shown) {
  if (!shown) return E_POINTER;
  *shown = m_preview.shown() ? 1 : 0;
  return S_OK;
}

HRESULT CAuthoringEngine::SetVideoFlavour(int flavour) {
  switch (flavour) {
    case kAuthoringFlavourDvd: m_nDiscType = kAuthoringDiscDvd; return S_OK;
    case kAuthoringFlavourSvcd: m_nDiscType = kAuthoringDiscSvcd; return S_OK;
    case kAuthoringFlavourVcd: m_nDiscType = kAuthoringDiscVcd; return S_OK;
    default: return E_INVALIDARG;
  }
}

HRESULT CAuthoringEngine::SetVideoFormat(const AuthoringFormatRecord* format, int element) {
  if (!format) return E_POINTER;
  if (element != -1 && (element < 0 || element >= static_cast<int>(m_elements.size()))) return E_INVALIDARG;
  // One format serves every element of a disc: a disc has one video standard.
  m_format = *format;
  return S_OK;
}

HRESULT CAuthoringEngine::IsStageDone(int stage, int* done) {
  if (stage != kAuthoringStageTranscode) return E_INVALIDARG;
  if (!done) return E_POINTER;
  // Transcoding runs as part of the burn, in its work folder: nothing is
  // ever transcoded ahead.
  *done = 0;
  return S_OK;
}

HRESULT CAuthoringEngine::StartStage(int stage) {
  if (stage != kAuthoringStageTranscode) return E_INVALIDARG;
  if (Running() || m_elements.empty()) return E_FAIL;
  // A missing element is refused now; one that cannot be decoded fails the
  // job when the worker reaches it.
  for (const std::string& element : m_elements) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(element, ec)) return E_FAIL;
  }
  m_bStagePlanned = true;
  return S_OK;
}

HRESULT CAuthoringEngine::WaitStage(int stage, int* running) {
  if (stage != kAuthoringStageTranscode) return E_INVALIDARG;
  if (!running) return E_POINTER;
  *running = 0;
  return m_bStagePlanned ? S_OK : E_FAIL;
}

HRESULT CAuthoringEngine::FinishStage(int stage) {
  if (stage != kAuthoringStageTranscode) return E_INVALIDARG;
  return m_bStagePlanned ? S_OK : E_FAIL;
}

HRESULT CAuthoringEngine::SetWorkFolder(const char* folder) {
  if (!folder || !*folder) return E_INVALIDARG;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) return E_FAIL;
  m_workFolder = folder;
  return S_OK;
}

HRESULT CAuthoringEngine::AddElement(const char* path) {
  if (!path || !*path) return E_INVALIDARG;
  if (Running()) return E_FAIL;
  m_elements.emplace_back(path);
  return S_OK;
}

HRESULT CAuthoringEngine::GetElementCount(int kind, int* count) {
  if (!count) return E_POINTER;
  if (kind != -1) return E_INVALIDARG;
  *count = static_cast<int>(m_elements.size());
  return S_OK;
}

HRESULT CAuthoringEngine::SetStillSeconds(int seconds) {
  if (seconds < 1 || seconds > 60) return E_INVALIDARG;
  m_nStillSeconds = seconds;
  return S_OK;
}

HRESULT CAuthoringEngine::PlayPreview() {
  if (m_nPreviewElement < 0 || m_nPreviewElement >= static_cast<int>(m_elements.size())) return E_FAIL;
  if (!m_preview.Load(m_elements[static_cast<std::size_t>(m_nPreviewElement)])) return E_FAIL;
  m_bPreviewPlaying = true;
  return S_OK;
}

HRESULT CAuthoringEngine::StartBurning(const char* folder) {
  if (folder && *folder) {
    const HRESULT hr = SetWorkFolder(folder);
    if (FAILED(hr)) return hr;
  }
  if (m_elements.empty()) return E_FAIL;
  authoring::Job job;
  job.elements = m_elements;
  m_bStagePlanned = false;
  return Launch(std::move(job));
}

HRESULT CAuthoringEngine::Cancel(HRESULT) {
  std::lock_guard lock(m_mutex);
  if (!m_bRunning || !m_control) return S_FALSE;
  m_control->Cancel();
  return S_OK;
}

HRESULT CAuthoringEngine::SetVerify(int on) {
  m_bVerify = on != 0;
  return S_OK;
}

HRESULT CAuthoringEngine::SetSimulate(int on) {
  m_bSimulate = on != 0;
  return S_OK;
}

HRESULT CAuthoringEngine::SetEjectAfter(int on) {
  m_bEjectAfter = on != 0;
  return S_OK;
}

HRESULT CAuthoringEngine::PublishStatus(AuthoringStatus* status) {
  if (!status) return E_POINTER;
  std::lock_guard lock(m_mutex);
  *status = m_status;
  return S_OK;
}

HRESULT CAuthoringEngine::StopPreview(int) {
  m_bPreviewPlaying = false;
  m_preview.Clear();
  return S_OK;
}

HRESULT CAuthoringEngine::IsPreviewPlaying(int* playing) {
  if (!playing) return E_POINTER;
  *playing = m_bPreviewPlaying ? 1 : 0;
  return S_OK;
}

HRESULT CAuthoringEngine::SelectWriter(int index, int select) {
  if (index < 0 || index >= static_cast<int>(m_writers.size())) return E_INVALIDARG;
  if (select) m_nWriter = index;
  return S_OK;
}

HRESULT CAuthoringEngine::GetWriterCount(int* count) {
  if (!count) return E_POINTER;
  RefreshWriters();
  *count = static_cast<int>(m_writers.size());
  return S_OK;
}

HRESULT CAuthoringEngine::GetWriterName(int index, char* name) {
  if (!name) return E_POINTER;
  if (index < 0 || index >= static_cast<int>(m_writers.size())) {
    name[0] = 0;
    return E_INVALIDARG;
  }
  CopyText(m_writers[static_cast<std::size_t>(index)].name, name, kAuthoringWriterNameBytes);
  return S_OK;
}

HRESULT CAuthoringEngine::GetDiscCount(int* count) {
  if (!count) return E_POINTER;
  if (m_nWriter < 0) {
    *count = 0;
    return S_OK;
  }
  const auto disc = authoring::InspectDisc(m_writers[static_cast<std::size_t>(m_nWriter)], CurrentKind());
  *count = disc.kind == kAuthoringMediaNone ? 0 : 1;
  return S_OK;
}

HRESULT CAuthoringEngine::GetDiscInfo(int index, AuthoringDiscInfo* info) {
  if (!info) return E_POINTER;
  std::memset(info, 0, sizeof(*info));
  if (index != 0 || m_nWriter < 0) return E_INVALIDARG;
  const auto disc = authoring::InspectDisc(m_writers[static_cast<std::size_t>(m_nWriter)], CurrentKind());
  info->kind = disc.kind;
  info->blank = disc.blank ? 1 : 0;
  info->capacityMB = disc.capacityMB;
  info->freeMB = disc.freeMB;
  CopyText(authoring::DiscText(disc), info->text, sizeof(info->text));
  {
    std::lock_guard lock(m_mutex);
    if (!m_bRunning) m_status.discRemainMB = disc.freeMB;
  }
  return S_OK;
}

HRESULT CAuthoringEngine::SetDiscType(int type) {
  if (type < kAuthoringDiscDvd || type > kAuthoringDiscDataCd) return E_INVALIDARG;
  m_nDiscType = type;
  return S_OK;
}

HRESULT CAuthoringEngine::GetVolumeLabelCount(int* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT CAuthoringEngine::GetVolumeLabel(int index, char* label) {
  if (!label) return E_POINTER;
  if (index != 0) {
    label[0] = 0;
    return E_INVALIDARG;
  }
  CopyText(m_volumeLabel, label, kAuthoringLabelBytes);
  return S_OK;
}

HRESULT CAuthoringEngine::GetCurrentWriter(int* index) {
  if (!index) return E_POINTER;
  if (m_writers.empty()) RefreshWriters();
  *index = m_nWriter;
  return m_nWriter >= 0 ? S_OK : E_FAIL;
}

HRESULT CAuthoringEngine::RefreshWriterDisc(int index) {
  if (index < 0 || index >= static_cast<int>(m_writers.size())) return E_INVALIDARG;
  const auto disc = authoring::InspectDisc(m_writers[static_cast<std::size_t>(index)], CurrentKind());
  std::lock_guard lock(m_mutex);
  if (!m_bRunning) m_status.discRemainMB = disc.freeMB;
  return S_OK;
}

HRESULT CAuthoringEngine::SetVolumeLabel(const char* label) {
  if (!label) return E_POINTER;
  m_volumeLabel = label;
  return S_OK;
}

HRESULT CAuthoringEngine::SetSourceFolder(const char* folder) {
  if (!folder || !*folder) return E_INVALIDARG;
  m_sourceFolder = folder;
  return S_OK;
}

HRESULT CAuthoringEngine::SetFileSystem(int kind) { return kind == kAuthoringFsIsoUdf ? S_OK : E_INVALIDARG; }

HRESULT CAuthoringEngine::SetTarget(const char* folder) {
  if (!folder || !*folder) return E_INVALIDARG;
  m_target = folder;
  return S_OK;
}

HRESULT CAuthoringEngine::BurnFolder() {
  if (m_sourceFolder.empty()) return E_FAIL;
  std::error_code ec;
  if (!std::filesystem::is_directory(std::filesystem::path(m_sourceFolder) / "VIDEO_TS", ec)) return E_FAIL;
  authoring::Job job;
  job.burnFolderOnly = true;
  job.sourceFolder = m_sourceFolder;
  return Launch(std::move(job));
}
