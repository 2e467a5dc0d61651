#include "corebridge/core/ui_system_object.h"

#include <cstdio>

#include "corebridge/core/config.h"
#include "corebridge/core/display_probe.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/leftover_files.h"
#include "corebridge/core/registry_key.h"
#include "corebridge/core/schedule_list.h"
#include "corebridge/core/schedule_timer.h"
#include "corebridge/core/xml_settings.h"
#include "interfaces/engines.h"
#include "platform/com/runtime.h"
#include "platform/media/gstreamer.h"
#include "platform/registry/registry.h"
#include "platform/win/controls/message_box.h"
#include "platform/win/message.h"
#include "platform/win/system.h"

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;

namespace {

CUISystem* g_pUISystem = nullptr;

HRESULT CreateCoreObjectByClass(plat::IUnknown** out) {
  return plat::CoCreateInstance(CLSID_CoreObject, nullptr, plat::CLSCTX_INPROC_SERVER | plat::CLSCTX_INPROC_HANDLER,
                                IID_ICoreObject, reinterpret_cast<void**>(out));
}

std::shared_ptr<IDesktopBackend> DefaultDesktop(std::shared_ptr<IDesktopBackend> given) {
  return given ? std::move(given) : std::make_shared<CMemoryDesktop>();
}

}  // namespace

CUISystem::CUISystem(CUISystemServices services) : m_services(std::move(services)) {
  if (!m_services.createCoreObject) m_services.createCoreObject = CreateCoreObjectByClass;
  if (!m_services.powerScheme) m_services.powerScheme = std::make_shared<plat::RecordingPowerScheme>();
  if (!m_services.sleepInhibitor) m_services.sleepInhibitor = std::make_shared<plat::FakeSleepInhibitor>();
  if (!m_services.messageBox) {
    m_services.messageBox = [this](const std::string& text) {
      plat::MessageBox(m_pUICallback ? m_pUICallback->GetFrameWnd() : nullptr, text.c_str(), "Marivel",
                       plat::MB_OK | plat::MB_ICONSTOP);
    };
  }
  m_services.desktop = DefaultDesktop(std::move(m_services.desktop));
  m_pConfig = std::make_unique<CConfig>();
  m_pStates = std::make_unique<CModuleStates>(*m_pConfig);
  m_pDesktop = std::make_unique<CDesktopState>(*m_services.desktop);
  m_pScheduleList = m_services.clock ? std::make_unique<CScheduleList>(*m_services.clock)
                                     : std::make_unique<CScheduleList>();
  g_pUISystem = this;
}

CUISystem::~CUISystem() {
  DestroyPhotoCaches();  // the photo records' cached bitmaps are the Photo controller's
  m_pWMPlayer.Reset();
  if (g_pUISystem == this) g_pUISystem = nullptr;
  m_pScheduleTimer.reset();
  m_pHiddenWindow.reset();
  m_pStates.reset();
  m_pConfig.reset();
  m_pDesktop->DesktopRestore(nullptr);
  m_pDesktop.reset();
  m_pScheduleList.reset();
  if (m_pAuthoringEngine) m_pAuthoringEngine->SetEventSink(nullptr);
  m_pAuthoringEngine.Reset();
  m_pCoreObject.Reset();
  m_actions.Clear();
}

CUISystem* CUISystem::Instance() { return g_pUISystem; }

HRESULT CUISystem::QueryCore(const plat::IID& iid, plat::IUnknown** out) const {
  *out = nullptr;
  if (!m_pCoreObject) return E_FAIL;
  return m_pCoreObject->QueryInterface(iid, reinterpret_cast<void**>(out));
}

int CUISystem::VendorId() const { return m_pUICallback ? m_pUICallback->GetVendorId() : 0; }
int CUISystem::AppFlags() const { return m_pUICallback ? m_pUICallback->GetAppFlags() : 0; }

void CUISystem::ReadRegistryValues() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true)) return;
  plat::DWORD value = 0;
  if (key.QueryDword("InitVolume", value) && value != 0) m_nVolumeSteps = static_cast<int>(value);
}

HRESULT CUISystem::Start() {
  m_bStarted = 0;
  BuildActionTable();
  if (!m_pCoreObject) {
    plat::IUnknown* created = nullptr;
    const HRESULT hr = m_services.createCoreObject(&created);
    if (plat::FAILED(hr)) return hr;
    if (!created) return E_FAIL;
    m_pCoreObject.Attach(created);
  }
  {
    CRegistryKey user(plat::HKEY_CURRENT_USER);
    if (!user.Open(plat::HKEY_CURRENT_USER, CConfig::kRegistryKey, false)) {
      user.Create(plat::HKEY_CURRENT_USER, CConfig::kRegistryKey);
    }
  }
  if (auto dvd = CoreService<IDiscRunner>()) dvd->DvdOp102();
  if (auto audio = CoreService<ICoreAudio>()) audio->SetNotifyTarget(CoreAudioSink());
  if (AppFlags() & 0x40) {
    if (auto drives = CoreService<IDriveEnumerator>()) drives->SetPhotoNotifySink(PhotoNotifySink());
  }
  CreateMediaFolders();
  if (VendorId() == 1) m_pConfig->m_nDisplayMode = 2;
  {
    CXmlSettings xml;
    if (xml.XmlSettingsLoadFile(m_pConfig->ConfigFilePath())) m_pConfig->ConfigLoad(xml);
  }
  // Once the configuration names the folders: clear what writers killed in
  // an earlier run left there.
  RemoveLeftoversOfKilledWriters(*m_pConfig);
  // Where the system refuses suspend, a hold on sleep stands in for the
  // refused query, which no sleep manager here asks.
  if (m_pConfig->m_nVendorId == 4 && !m_services.sleepInhibitor->Held()) {
    m_services.sleepInhibitor->Acquire("Marivel refuses suspend while it runs");
  }
  {
    int mute = 0;
    float volume = 0.0f;
    if (ReadVolume(mute, volume)) {
      m_pConfig->m_bMute = mute;
      m_pConfig->m_fVolume = volume;
    }
  }
  {
    const int width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
    const int height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
    ApplyDisplaySize(width, height, false);
  }
  if (auto keys = CoreService<IKeyInputSource>()) {
    keys->StartInput();
    keys->SetDispatchSink(KeyDispatchSink());
  }
  HiddenWindowCreate(1);
  m_bDvdAudioCapsPending = m_pHiddenWindow &&
                           plat::SetTimer(m_pHiddenWindow->Handle(), kDvdAudioCapsTimer, m_services.mediaStartDelayMs, nullptr);
  if (!m_bDvdAudioCapsPending) QueryDvdAudioOutputCaps();
  if (m_services.eventSources) m_services.eventSources->Start();
  m_pScheduleList->LoadSave(m_pConfig->m_strSettingsFolder, 1);
  ReadRegistryValues();
  if (!m_pScheduleTimer && m_pHiddenWindow) {
    m_pScheduleTimer = std::make_unique<CScheduleTimer>(m_services.scheduleTimerPeriodMs, m_pHiddenWindow->Handle());
  }
  {
    m_nLcdBrightness = 0;
    CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
    plat::DWORD lcd = 0;
    if (key.Open(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true) && key.QueryDword("LCDControl", lcd) &&
        lcd != 0) {
      int level = 0;
      QueryBrightness(level);
      m_nLcdBrightness = level;
    }
  }
  m_bStarted = 1;
  return S_OK;
}

HRESULT CUISystem::Stop() {
  m_bStarted = 0;
  m_pScheduleTimer.reset();
  if (m_pConfig) SetVolumeQuiet(m_pConfig->m_bMute, m_pConfig->m_fVolume);
  StopActiveModule();
  RestoreSchemeAtStop();
  if (m_services.eventSources) m_services.eventSources->Stop();
  HiddenWindowCreate(0);
  m_bDvdAudioCapsPending = false;
  if (auto keys = CoreService<IKeyInputSource>()) {
    keys->StopInput();
    keys->SetDispatchSink(nullptr);
  }
  if (auto audio = CoreService<ICoreAudio>()) audio->SetNotifyTarget(nullptr);
  if (AppFlags() & 0x40) {
    if (auto drives = CoreService<IDriveEnumerator>()) drives->ReleasePhotoNotifySink();
  }
  if (m_pAuthoringEngine) m_pAuthoringEngine->SetEventSink(nullptr);
  m_pAuthoringEngine.Reset();
  m_pCoreObject.Reset();
  m_pVideoForwarder.reset();
  m_services.sleepInhibitor->Release();
  if (m_pConfig) {
    CXmlSettings xml;
    xml.XmlSettingsOpen();
    m_pConfig->ConfigSave(xml);
    xml.XmlSettingsSave(m_pConfig->ConfigFilePath());
  }
  return S_OK;
}

HRESULT CUISystem::SetHomePageCallback(IHomePageEvents* callback) {
  m_pHomePage = callback;
  return S_OK;
}
HRESULT CUISystem::SetUICallback(IFrameServices* services) {
  m_pUICallback = services;
  return 1;
}
HRESULT CUISystem::SetMoviePageCallback(IMoviePageEvents* callback) {
  m_pMoviePage = callback;
  return S_OK;
}
HRESULT CUISystem::SetPhotoPageCallback(IPhotoPageEvents* callback) {
  m_pPhotoPage = callback;
  return S_OK;
}
HRESULT CUISystem::SetMusicPageCallback(IMusicPageEvents* callback) {
  m_pMusicPage = callback;
  return S_OK;
}
HRESULT CUISystem::SetRadioPageCallback(IRadioPageEvents* callback) {
  m_pRadioPage = callback;
  return S_OK;
}
HRESULT CUISystem::SetVideoPageCallback(IVideoPageEvents* callback) {
  m_pVideoPage = callback;
  try {
    m_pVideoForwarder = std::make_unique<VideoForwarder>(*this);
  } catch (const std::bad_alloc&) {
    m_pVideoForwarder.reset();
  }
  return S_OK;
}
HRESULT CUISystem::SetRecordPageCallback(IRecordPageEvents* callback) {
  m_pRecordPage = callback;
  return S_OK;
}
HRESULT CUISystem::SetTVPageCallback(ITvPageEvents* callback) {
  m_pTvPage = callback;
  return S_OK;
}
HRESULT CUISystem::SetAuthoringPageCallback(IAuthoringPageEvents* callback) {
  m_pAuthoringPage = callback;
  return S_OK;
}
HRESULT CUISystem::SetModule9PageCallback(IModule9PageEvents* callback) {
  m_pModule9Page = callback;
  return S_OK;
}

HRESULT CUISystem::GetConfig(CConfig** config) {
  if (!config || !m_pConfig) return E_FAIL;
  *config = m_pConfig.get();
  return S_OK;
}

HRESULT CUISystem::GetScheduleList(CScheduleList** list) {
  if (!list || !m_pScheduleList) return E_FAIL;
  *list = m_pScheduleList.get();
  return S_OK;
}

HRESULT CUISystem::ExecuteAction(const char* name, std::intptr_t a, std::intptr_t b) {
  if (!name) return E_FAIL;
  const auto id = m_actions.FindId(name);
  if (!id) return E_FAIL;
  const ActionHandler handler = m_actions.FindHandler(*id);
  if (!handler) return E_FAIL;
  return (this->*handler)(a, b) != 0 ? S_OK : E_FAIL;
}

HRESULT CUISystem::GetDriveInfo(int drive, int* kind) {
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return E_FAIL;
  int scratch = 0;
  drives->GetDriveKind(drive, kind ? kind : &scratch);
  return S_OK;
}

HRESULT CUISystem::DispatchHotkey(std::intptr_t window, std::intptr_t code, std::intptr_t extra) {
  return m_keyDispatchSink.HotkeyDispatch(window, code, extra) ? S_OK : E_FAIL;
}

// --- Callback tables ---------------------------------------------------------

int CUISystem::CoreAudioSinkTable::OnMixerChange() {
  int mute = 0;
  float volume = 0.0f;
  if (owner_.m_pConfig && owner_.ReadVolume(mute, volume)) {
    owner_.m_pConfig->m_bCurMute = mute;
    owner_.m_pConfig->m_fCurVolume = volume;
  }
  if (owner_.m_pUICallback) owner_.m_pUICallback->NotifyPlaybackBar(0);
  return 1;
}

int CUISystem::GrabberSinkTable::OnBurnPreparation(int event) {
  if (event == 0 || event == 4) return owner_.TVShowRecordStatus("PREPAREBURNING");
  if (event == 1) return owner_.TVShowRecordStatus("BURNINGREADY");
  return 0;
}

int CUISystem::PhotoNoticeSink::OnMediaNotice(std::intptr_t item) {
  if (owner_.m_pHiddenWindow) {
    plat::PostMessage(owner_.m_pHiddenWindow->Handle(), WM_PHOTO_NOTIFY, static_cast<plat::WPARAM>(item), 0);
  }
  return 1;
}

// The two Music status flags live with the Music controller; clearing them
// refreshes the Music page.
int CUISystem::MusicStatusSink::ClearFirstFlag() {
  if (owner_.m_pMusicPage) owner_.m_pMusicPage->Redraw(0);
  return 1;
}
int CUISystem::MusicStatusSink::ClearSecondFlag() {
  if (owner_.m_pMusicPage) owner_.m_pMusicPage->Redraw(0);
  return 1;
}

// The program's object hears the machine: logind, UPower and udev.
HRESULT CreateUISystem(plat::IUnknown* outer, const plat::IID& iid, void** out) {
  CUISystemServices services;
  services.sleepInhibitor = plat::MakeMachineSleepInhibitor();
  services.eventSources = plat::MakeMachineEventSources();
  services.startMediaInBackground = [](std::function<void()> done) {
    return plat::media::StartGStreamerInBackground(std::move(done));
  };
  services.mediaStartDelayMs = 0;
  return plat::CreateComObject<CUISystem>(outer, iid, out, std::move(services));
}
