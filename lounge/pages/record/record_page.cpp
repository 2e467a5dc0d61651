// CRecordPage: sub-pages, actions, the copy worker's lifetime and, in the
// burning mode, the burn that follows the copy.
#include "lounge/pages/record/record_page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>

#include "corebridge/core/authoring_config.h"
#include "corebridge/core/config.h"
#include "corebridge/core/record_config.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/skin_paths.h"
#include "platform/sys/debug_output.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kMainPath = "Record\\RecordMain";
constexpr const char* kDevicePath = "Record\\RecordDevice";
constexpr const char* kRecordingPath = "Record\\Recording";

// The device actions, by their slot in the configuration's device roots
// (slot 0 is the archive drive, which the page does not offer).
struct DeviceAction {
  const char* action;
  int slot;
};
constexpr std::array<DeviceAction, 6> kDeviceActions{{
    {"Record CDDVD", 1},
    {"Record USB", 2},
    {"Record SmartMedia", 3},
    {"Record MemoryStick", 4},
    {"Record CompactFlash", 5},
    {"Record SecureDigital", 6},
}};

}  // namespace

void CRecordPage::WorkerNotifier::OnCopyProgress() { plat::InvalidateRect(window, nullptr, plat::FALSE); }

void CRecordPage::WorkerNotifier::OnCopyFinished() {
  plat::InvalidateRect(window, nullptr, plat::FALSE);
  plat::PostMessage(window, plat::WM_TIMER, RECORD_COPY_DONE_TIMER, 0);
}

CRecordPage::CRecordPage(IShellFrame& frame) : CShellPage(frame) {}

CRecordPage::~CRecordPage() { StopWorker(); }

CConfig* CRecordPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

CRecordConfig* CRecordPage::Hub() const {
  CConfig* config = Config();
  return config ? config->m_pRecord.get() : nullptr;
}

int CRecordPage::Mode() const {
  CConfig* config = Config();
  return config ? config->m_nActiveModule : MODULE_NONE;
}

// ---- IRecordPageEvents ----

int CRecordPage::ShowRecordPage() {
  Frame().SetActivePage(this);
  // The frame resizes only the active page's back buffer.
  plat::RECT client{};
  plat::GetClientRect(Owner(), &client);
  const plat::RECT& buffer = BackBufferRect();
  if (!BackBuffer() || client.right - client.left != buffer.right - buffer.left ||
      client.bottom - client.top != buffer.bottom - buffer.top)
    CreateBackBuffer();
  // The hub names the title image relative to the program folder.
  if (CRecordConfig* hub = Hub()) {
    std::string& title = hub->m_strTitleImage;
    if (!title.empty() && title.front() != '/') title = (SkinBaseFolder() / SkinNameToPosix(title)).string();
  }
  return LoadLayout(kMainPath);
}

int CRecordPage::ShowSubPage() {
  StopWorker();
  CRecordConfig* hub = Hub();
  if (!hub) return 0;
  switch (hub->m_nState) {
    case RECORD_SUBPAGE_MAIN:
      return LoadLayout(kMainPath);
    case RECORD_SUBPAGE_DEVICE:
      return LoadLayout(kDevicePath);
    case RECORD_SUBPAGE_RECORDING: {
      // A new worker starts from zero; loading the layout reset the bars.
      const int loaded = LoadLayout(kRecordingPath);
      StartWorker();
      return loaded;
    }
    default:
      return 0;
  }
}

int CRecordPage::Redraw(int flag) {
  Frame().Services().NotifyCaptionBar(flag);
  return CSkinPage::Redraw(flag);
}

// ---- IModulePage ----

int CRecordPage::Destroy() {
  StopWorker();
  return CShellPage::Destroy();
}

int CRecordPage::OnPaint() {
  if (m_worker) UpdateProgressBars();
  return CShellPage::OnPaint();
}

int CRecordPage::OnTimer(plat::UINT_PTR id) {
  if (id == RECORD_BURN_DONE_TIMER) {
    OnBurnEnded();
    return 1;
  }
  if (id != RECORD_COPY_DONE_TIMER) return 0;
  // Only the end of the copy this page is still running navigates; the end
  // of a copy that was stopped, or an old message, is ignored.
  if (!m_worker || !m_worker->HasFinished() || m_worker->WasCancelled()) return 0;
  // In the burning mode the copy only gathered the files: now they are burnt.
  if (m_burn) {
    if (m_burn->state() == CRecordBurn::State::Ready) StartBurn();
    return 1;
  }
  return OnAction("Record Return To Device Selection");
}

// ---- CSkinPage ----

int CRecordPage::LoadLayout(const std::string& path) {
  CSkinPage::LoadLayout(path);
  m_shownFileFraction = m_shownTotalFraction = 0.0f;
  Frame().Services().SetCaptionBarVisible(1, 0);
  return 1;
}

int CRecordPage::OnLeave() {
  StopWorker();
  return CSkinPage::OnLeave();
}

int CRecordPage::OnAction(const std::string& name) {
  CRecordConfig* hub = Hub();
  const struct {
    const char* action;
    int kind;
  } kinds[] = {{"Record Video", RECORD_MEDIA_VIDEO}, {"Record Audio", RECORD_MEDIA_AUDIO}, {"Record Photo", RECORD_MEDIA_PHOTO}};
  for (const auto& k : kinds) {
    if (name != k.action) continue;
    if (!hub) return 0;
    hub->m_nChosenKind = k.kind;
    hub->m_nState = RECORD_SUBPAGE_DEVICE;
    ShowSubPage();
    return 1;
  }
  for (const DeviceAction& d : kDeviceActions)
    if (name == d.action) return EnterDevice(d.slot);
  if (name == "Record Return To Main") {
    if (!hub) return 0;
    hub->m_nChosenKind = RECORD_MEDIA_NONE;
    hub->m_nState = RECORD_SUBPAGE_MAIN;
    ShowSubPage();
    return 1;
  }
  if (name == "Record Return To Device Selection") {
    if (!hub) return 0;
    hub->m_nState = RECORD_SUBPAGE_DEVICE;
    ShowSubPage();
    return 1;
  }
  if (name == "Close") {
    Frame().Services().QuitApplication();
    return 1;
  }
  return Host() ? Host()->ExecuteAction(name, 0, 0) : 0;
}

int CRecordPage::EnterDevice(int slot) {
  CConfig* config = Config();
  if (!config || !Host()) return 0;
  const int mode = config->m_nActiveModule;
  const char* action = mode == MODULE_RECORD ? "Record Enter Other Module"
                       : mode == MODULE_BURNING ? "Burning Enter Other Module"
                                                : "";
  // The handler reads the root path through this address (a C string owned
  // by the configuration root).
  const char* root = config->m_szDriveRoots[static_cast<std::size_t>(slot)].c_str();
  return Host()->ExecuteAction(action, reinterpret_cast<long>(root), 0);
}

// ---- the copy worker ----

void CRecordPage::StartWorker() {
  CRecordConfig* hub = Hub();
  if (!hub) return;
  m_burnFailed = false;
  RecordCopyJob job{hub->m_arrFiles, hub->m_strTargetPath, hub->m_strFilter};
  if (Mode() == MODULE_BURNING) {
    // The files go to the writer: first gathered in a staging folder, and
    // only when there is a writer to take them.
    m_burn = std::make_unique<CRecordBurn>(m_engineFactory, [this] {
      plat::InvalidateRect(Owner(), nullptr, plat::FALSE);
      if (m_burn && m_burn->state() != CRecordBurn::State::Burning)
        plat::PostMessage(Owner(), plat::WM_TIMER, RECORD_BURN_DONE_TIMER, 0);
    });
    const std::string staging = AuthoringStagingFolder();
    std::error_code ec;
    std::filesystem::remove_all(staging, ec);
    if (!m_burn->Prepare() || !std::filesystem::create_directories(staging, ec)) {
      plat::OutputDebugStringA("Record burn: no writer to burn to");
      m_burn.reset();
      m_burnFailed = true;
      plat::InvalidateRect(Owner(), nullptr, plat::FALSE);
      return;
    }
    job.destination = staging;
  }
  m_notifier.window = Owner();
  auto worker = std::make_unique<CRecordCopyWorker>(std::move(job), m_notifier);
  if (!worker->Start()) {
    plat::OutputDebugStringA("Record copy: the copy did not start");
    return;
  }
  m_worker = std::move(worker);
}

void CRecordPage::StopWorker() {
  if (m_worker) {
    m_worker->Stop();
    m_worker.reset();
  }
  if (m_burn) {
    // Letting the engine go cancels its job and waits for it.
    m_burn.reset();
    std::error_code ec;
    std::filesystem::remove_all(AuthoringStagingFolder(), ec);
  }
}

void CRecordPage::StartBurn() {
  const CRecordConfig* hub = Hub();
  const std::string label = hub ? hub->m_strSelectionName : std::string();
  if (!m_burn->Burn(AuthoringStagingFolder(), label)) {
    plat::OutputDebugStringA("Record burn: the burn did not start");
    OnBurnEnded();
  }
  plat::InvalidateRect(Owner(), nullptr, plat::FALSE);
}

void CRecordPage::OnBurnEnded() {
  if (!m_burn || m_burn->state() == CRecordBurn::State::Burning) return;
  const bool done = m_burn->state() == CRecordBurn::State::Done;
  m_burn.reset();
  std::error_code ec;
  std::filesystem::remove_all(AuthoringStagingFolder(), ec);
  if (done) {
    OnAction("Record Return To Device Selection");
    return;
  }
  // The page stays with its failure text until the user leaves it.
  m_burnFailed = true;
  plat::InvalidateRect(Owner(), nullptr, plat::FALSE);
}

RecordCopyProgress CRecordPage::Progress() const {
  if (m_burn && m_burn->state() == CRecordBurn::State::Burning) {
    // The burn's share of the disc image written, in the copy's units.
    const AuthoringStatus& status = m_burn->status();
    RecordCopyProgress progress;
    progress.totalKiB = static_cast<std::int32_t>(std::min<std::int64_t>(status.totalBytes / 1024, INT32_MAX));
    const int percent = status.stage == kAuthoringStageWriting ? std::clamp(status.percent, 0, 100) : 0;
    progress.currentSizeKiB = progress.totalKiB;
    progress.currentCopiedKiB = static_cast<std::int32_t>(static_cast<std::int64_t>(progress.totalKiB) * percent / 100);
    progress.finishedKiB = progress.currentCopiedKiB;
    return progress;
  }
  return m_worker ? m_worker->Progress() : RecordCopyProgress{};
}

std::string CRecordPage::CurrentFile() const {
  if (m_burn && m_burn->state() == CRecordBurn::State::Burning) return {};
  return m_worker ? m_worker->CurrentFile() : std::string();
}
