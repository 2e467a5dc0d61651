// The authoring controller: the user picks photo or video files, the
// Authoring page shows them with a preview, and the authoring engine builds
// and burns the disc. Every engine step runs only when the one before it
// succeeded; a failed step ends the handler with 0.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "corebridge/core/authoring_config.h"
#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/authoring_format.h"
#include "platform/win/file_dialog.h"

using plat::FAILED;
using plat::SUCCEEDED;

namespace {

constexpr const char* kPhotoFilter = "Photo files (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp||";
constexpr const char* kVideoFilter = "Video files (*.mpg;*.mpeg;*.avi;*.dat)|*.mpg;*.mpeg;*.avi;*.dat||";
constexpr const char* kDvdFolderLabel = "Marivel Product";

// The engine is made once and kept: the core object hands out the same one.
plat::ComPtr<IAuthoringEngine> EnsureEngine(CUISystem& system, plat::ComPtr<IAuthoringEngine>& kept) {
  if (!kept) kept = system.CoreService<IAuthoringEngine>();
  return kept;
}

}  // namespace

int CUISystem::OnAuthoringEntry(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  auto engine = EnsureEngine(*this, m_pAuthoringEngine);
  CAuthoringConfig& job = *m_pConfig->m_pAuthoring;
  job.m_arrElements.clear();
  // A job starts as a DVD until the user picks another disc type; no type
  // at all would leave the engine's writer unchosen.
  if (job.m_nDiscType < AUTHORING_DISC_DVD || job.m_nDiscType > AUTHORING_DISC_DATACD)
    job.m_nDiscType = AUTHORING_DISC_DVD;
  const int module = m_pConfig->m_nActiveModule;
  if (module == MODULE_PHOTO || module == MODULE_VIDEO) {
    plat::OpenFileRequest request;
    request.filter = module == MODULE_PHOTO ? kPhotoFilter : kVideoFilter;
    request.flags = plat::OFN_ALLOWMULTISELECT | plat::OFN_FILEMUSTEXIST;
    std::vector<std::string> chosen;
    if (plat::GetOpenFileNames(request, chosen)) job.m_arrElements = std::move(chosen);
  }
  if (m_pAuthoringPage) m_pAuthoringPage->ShowAuthoringPage();
  if (!engine) return 0;
  if (FAILED(engine->Initialize())) return 0;
  // A new job starts empty: the chosen files become its elements.
  for (const std::string& path : job.m_arrElements) {
    if (FAILED(engine->AddElement(path.c_str()))) return 0;
  }
  // Photos on the disc show as long as in the Photo module's slide shows.
  if (m_pConfig->m_pPhoto &&
      FAILED(engine->SetStillSeconds(std::clamp(m_pConfig->m_pPhoto->m_nSlideDuration, 1, 60))))
    return 0;
  if (FAILED(engine->SetEventSink(&m_authoringSink))) return 0;
  if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  return 1;
}

int CUISystem::OnAuthoringReturn(std::intptr_t, std::intptr_t) {
  auto engine = EnsureEngine(*this, m_pAuthoringEngine);
  if (!engine || !m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  int count = 0;
  std::array<char, kAuthoringWriterNameBytes> writer{};
  AuthoringDiscInfo disc{};
  std::array<char, kAuthoringLabelBytes> label{};
  if (FAILED(engine->GetWriterCount(&count))) return 0;
  if (FAILED(engine->GetWriterName(0, writer.data()))) return 0;
  if (FAILED(engine->GetDiscCount(&count))) return 0;
  if (FAILED(engine->GetDiscInfo(0, &disc))) return 0;
  if (FAILED(engine->GetVolumeLabelCount(&count))) return 0;
  if (FAILED(engine->GetVolumeLabel(0, label.data()))) return 0;
  if (FAILED(engine->SetDiscType(m_pConfig->m_pAuthoring->m_nDiscType - 1))) return 0;
  int current = -1;
  if (FAILED(engine->GetCurrentWriter(&current))) return 0;
  if (FAILED(engine->SelectWriter(current, 1))) return 0;
  engine->RefreshWriterDisc(current);
  return 0;
}

int CUISystem::OnAuthoringBurn(std::intptr_t, std::intptr_t) {
  auto engine = EnsureEngine(*this, m_pAuthoringEngine);
  if (!engine || !m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  const CAuthoringConfig& job = *m_pConfig->m_pAuthoring;
  int count = 0;
  if (FAILED(engine->GetElementCount(-1, &count)) || count <= 0) return 0;
  // The disc type may have changed on the page since the writer was chosen:
  // the job is burned as the type now shown.
  if (job.m_nDiscType >= AUTHORING_DISC_DVD && job.m_nDiscType <= AUTHORING_DISC_DATACD &&
      FAILED(engine->SetDiscType(job.m_nDiscType - 1)))
    return 0;
  plat::HRESULT hr = plat::S_OK;
  switch (job.m_nDiscType) {
    case AUTHORING_DISC_DVD: hr = engine->SetVideoFlavour(kAuthoringFlavourDvd); break;
    case AUTHORING_DISC_SVCD: hr = engine->SetVideoFlavour(kAuthoringFlavourSvcd); break;
    case AUTHORING_DISC_VCD: hr = engine->SetVideoFlavour(kAuthoringFlavourVcd); break;
    default: break;
  }
  if (FAILED(hr)) return 0;
  const AuthoringFormatRecord format = MakeAuthoringFormatRecord(job.m_nVideoQuality);
  if (FAILED(engine->SetVideoFormat(&format, -1))) return 0;
  int done = 0;
  if (FAILED(engine->IsStageDone(kAuthoringStageTranscode, &done))) return 0;
  if (done == 0) {
    int running = 0;
    if (FAILED(engine->StartStage(kAuthoringStageTranscode))) return 0;
    if (FAILED(engine->WaitStage(kAuthoringStageTranscode, &running))) return 0;
    if (FAILED(engine->FinishStage(kAuthoringStageTranscode))) return 0;
  }
  const std::string folder = AuthoringWorkFolder();
  if (FAILED(engine->SetWorkFolder(folder.c_str()))) return 0;
  if (FAILED(engine->SetVerify(1))) return 0;
  if (FAILED(engine->SetEjectAfter(1))) return 0;
  if (FAILED(engine->SetSimulate(0))) return 0;
  engine->StartBurning(folder.c_str());
  return 0;
}

int CUISystem::OnAuthoringBurnDVDFolder(std::intptr_t, std::intptr_t) {
  auto engine = EnsureEngine(*this, m_pAuthoringEngine);
  if (!engine) return 0;
  if (FAILED(engine->Initialize())) {
    m_services.messageBox("Initialize AuthoringEngine Failed!!");
    return 0;
  }
  if (FAILED(engine->SetEventSink(&m_authoringSink))) {
    m_services.messageBox("Set AuthoringEngine Callback Failed!!");
    return 0;
  }
  const std::string folder = AuthoringDvdFolder();
  if (FAILED(engine->SetSourceFolder(folder.c_str()))) return 0;
  if (FAILED(engine->SetFileSystem(kAuthoringFsIsoUdf))) return 0;
  if (FAILED(engine->SetTarget(folder.c_str()))) return 0;
  if (FAILED(engine->SetVolumeLabel(kDvdFolderLabel))) return 0;
  return SUCCEEDED(engine->BurnFolder()) ? 1 : 0;
}

int CUISystem::OnAuthoringStopBurn(std::intptr_t, std::intptr_t) {
  if (auto engine = EnsureEngine(*this, m_pAuthoringEngine)) engine->Cancel(plat::E_FAIL);
  return 0;
}

int CUISystem::OnAuthoringDiscTypeLeft(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  int& type = m_pConfig->m_pAuthoring->m_nDiscType;
  type = type <= AUTHORING_DISC_DVD || type > AUTHORING_DISC_DATACD ? AUTHORING_DISC_DATACD : type - 1;
  if (m_pAuthoringPage) m_pAuthoringPage->Redraw(1);
  return 1;
}

int CUISystem::OnAuthoringDiscTypeRight(std::intptr_t, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  int& type = m_pConfig->m_pAuthoring->m_nDiscType;
  type = type >= AUTHORING_DISC_DATACD || type < AUTHORING_DISC_DVD ? AUTHORING_DISC_DVD : type + 1;
  if (m_pAuthoringPage) m_pAuthoringPage->Redraw(1);
  return 1;
}

// Shows an element of the job (the first without an argument) in the
// Authoring page's preview area and plays it there.
int CUISystem::OnAuthoringPreview(std::intptr_t element, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  const auto count = static_cast<std::intptr_t>(m_pConfig->m_pAuthoring->m_arrElements.size());
  if (element < 0 || element >= count) return 0;
  return AuthoringSinkSetWindow(static_cast<int>(element));
}

int CUISystem::AuthoringSinkSetWindow(int element) {
  auto engine = EnsureEngine(*this, m_pAuthoringEngine);
  if (!engine) return 0;
  int playing = 0;
  if (FAILED(engine->IsPreviewPlaying(&playing))) return 0;
  if (playing && FAILED(engine->StopPreview(0))) return 0;
  if (FAILED(engine->SetPreviewElement(element, 0, 1, 1))) return 0;
  plat::HWND window = nullptr;
  plat::RECT area{};
  if (!m_pAuthoringPage || !m_pAuthoringPage->GetPreviewArea(&window, &area)) return 0;
  if (FAILED(engine->SetPreviewWindow(window, area.left, area.top, area.right, area.bottom))) return 0;
  int shown = 0;
  if (FAILED(engine->IsPreviewShown(&shown))) return 0;
  if (shown == 0 && FAILED(engine->ShowPreview(1))) return 0;
  return SUCCEEDED(engine->PlayPreview()) ? 1 : 0;
}

int CUISystem::AuthoringSinkNotify(std::intptr_t) {
  auto engine = EnsureEngine(*this, m_pAuthoringEngine);
  if (!engine || !m_pConfig || !m_pConfig->m_pAuthoring) return 0;
  AuthoringStatus status;
  if (FAILED(engine->PublishStatus(&status))) return 0;
  CAuthoringConfig& job = *m_pConfig->m_pAuthoring;
  job.m_nStage = status.stage;
  job.m_nElapsedSeconds = status.elapsedSeconds;
  job.m_llTotalBytes = status.totalBytes;
  job.m_nDiscRemainMB = status.discRemainMB;
  if (m_pAuthoringPage) m_pAuthoringPage->Redraw(1);
  return 1;
}
