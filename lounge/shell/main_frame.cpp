// CMainFrame: construction, the window, creation and destruction, the steps
// the window procedure takes before the message map, and the frame
// operations the pages call.
#include "lounge/shell/main_frame.h"

#include <utility>

#include "corebridge/core/config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/osd_window.h"
#include "lounge/shell/playback_bar.h"
#include "lounge/shell/root_layout.h"
#include "lounge/shell/running_marker.h"
#include "lounge/skin/skin_paths.h"
#include "platform/registry/registry.h"
#include "platform/sys/spawn.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

using plat::HWND;
using plat::LPARAM;
using plat::LRESULT;
using plat::UINT;
using plat::WPARAM;

namespace {

constexpr const char* kProductKey = "SoftWare\\Kestrovia\\Marivel";
// Application commands the remote's window asks for (2026 with wParam 5 and 6).
constexpr WPARAM kRemoteHomeNotice = 3;
constexpr WPARAM kRemoteCommandA = 5;
constexpr WPARAM kRemoteCommandB = 6;
constexpr WPARAM kRemoteCommandACode = 10;
constexpr WPARAM kRemoteCommandBCode = 9;

bool DefaultHelpLauncher(const std::string& path) { return plat::OpenWithDesktop(path); }

}  // namespace

CMainFrame::CMainFrame(AppOptions& options, IPowerControl& power, ShellPageFactory makePages)
    : m_options(options), m_power(power), m_helpLauncher(&DefaultHelpLauncher) {
  if (makePages) m_pages = makePages(*this);
}

CMainFrame::~CMainFrame() {
  if (plat::IsWindow(m_hwnd)) plat::DestroyWindow(m_hwnd);
  m_activePage = nullptr;
  m_pages.root.reset();
  m_pages.movie.reset();
  m_pages.music.reset();
  m_pages.photo.reset();
  m_pages.video.reset();
  m_pages.radio.reset();
  m_pages.tv.reset();
  m_pages.authoring.reset();
  m_pages.record.reset();
  m_pages.setting.reset();
  m_captionBar.reset();
  m_playbackBar.reset();
  m_osd.reset();
}

bool CMainFrame::Create(const char* className, const std::string& title, plat::DWORD style, const plat::RECT& rect) {
  if (m_hwnd) return false;
  HWND hwnd = plat::CreateWindowEx(0, className, title.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, nullptr, nullptr, nullptr, this);
  return hwnd != nullptr && hwnd == m_hwnd;
}

// ---- window procedure ----

LRESULT CMainFrame::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* frame = reinterpret_cast<CMainFrame*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (!frame && msg == plat::WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const plat::CREATESTRUCT*>(lParam);
    frame = cs ? static_cast<CMainFrame*>(cs->lpCreateParams) : nullptr;
    if (frame) {
      frame->m_hwnd = hwnd;
      plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(frame));
    }
  }
  if (!frame) return plat::DefWindowProc(hwnd, msg, wParam, lParam);
  const LRESULT result = frame->HandleMessage(msg, wParam, lParam);
  if (msg == plat::WM_NCDESTROY) {
    plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA, 0);
    frame->m_hwnd = nullptr;
  }
  return result;
}

LRESULT CMainFrame::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return plat::DefWindowProc(m_hwnd, msg, wParam, lParam);
}

// The steps taken before the message map.
LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_FRAME_QUIT) plat::PostQuitMessage(0);

  if (msg == WM_PHOTO_DRAW_ARCHIVE_ITEM || msg == WM_PHOTO_DRAW_HIGHLIGHT_ITEM) {
    if (m_pages.photo && m_activePage == m_pages.photo.get() && m_photoItemDrawer) m_photoItemDrawer(msg, wParam, lParam);
  }

  // Only the system's own notices concern the system core; it answers
  // E_NOTIMPL for those it leaves to the frame.
  if (m_bridge && (msg == plat::WM_DISPLAYCHANGE || msg == plat::WM_POWERBROADCAST || msg == plat::WM_DEVICECHANGE ||
                   msg == plat::WM_WTSSESSION_CHANGE)) {
    const plat::HRESULT hr = m_bridge->OnSystemMessage(m_hwnd, msg, wParam, lParam);
    if (hr != plat::E_NOTIMPL) return hr;
  }

  switch (msg) {
    case plat::WM_CLOSE:
    case plat::WM_ENDSESSION: return OnCloseRequest(msg, wParam, lParam);
    case plat::WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == plat::SC_RESTORE) {
        Restore();
        return 0;
      }
      return Default(msg, wParam, lParam);
    case plat::WM_APPCOMMAND: return DispatchHotkey((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFF);
    case WM_FRAME_EDIT_KEY:
    case WM_FRAME_EDIT_NAVIGATE_KEY: ForwardEditKey(msg, wParam, lParam); return 0;
    case WM_REMOTE_KEY_NOTICE: return OnRemoteKeyNotice(wParam, lParam);
    default: return OnFrameMessage(msg, wParam, lParam);
  }
}

LRESULT CMainFrame::OnCloseRequest(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == plat::WM_ENDSESSION && wParam == 0) return Default(msg, wParam, lParam);
  // The window stays: the application stores the frame size and stops the
  // system core (which saves the settings) before it destroys the frame.
  LeaveToHome();
  return 0;
}

void CMainFrame::LeaveToHome() {
  if (m_hwnd) plat::ShowWindow(m_hwnd, plat::SW_HIDE);
  ExecuteAction("Home", 0, 0);
  plat::PostQuitMessage(0);
}

LRESULT CMainFrame::DispatchHotkey(WPARAM command) {
  if (!m_bridge) return 0;
  const plat::HRESULT hr =
      m_bridge->DispatchHotkey(reinterpret_cast<std::intptr_t>(m_hwnd), static_cast<std::intptr_t>(command), 0);
  return plat::SUCCEEDED(hr) ? 1 : 0;
}

LRESULT CMainFrame::OnRemoteKeyNotice(WPARAM wParam, LPARAM lParam) {
  if (wParam == kRemoteHomeNotice) {
    CConfig* config = GetConfig();
    if (config && config->m_nActiveModule != MODULE_NONE) ExecuteAction("Home", 0, 0);
    if (plat::IsIconic(m_hwnd)) Restore();
    return 0;
  }
  if (wParam == kRemoteCommandA && lParam == 1) return DispatchHotkey(kRemoteCommandACode);
  if (wParam == kRemoteCommandB && lParam == 1) return DispatchHotkey(kRemoteCommandBCode);
  return Default(WM_REMOTE_KEY_NOTICE, wParam, lParam);
}

// Keys typed into an edit box that a module page placed over its skin.
void CMainFrame::ForwardEditKey(UINT msg, WPARAM wParam, LPARAM lParam) {
  CShellPage* modules[] = {m_pages.movie.get(), m_pages.radio.get(), m_pages.photo.get(),
                           m_pages.tv.get(),    m_pages.music.get(), m_pages.video.get()};
  for (CShellPage* page : modules) {
    if (!page || static_cast<IModulePage*>(page) != m_activePage) continue;
    if (msg == WM_FRAME_EDIT_KEY)
      page->OnRenameEditKey(reinterpret_cast<HWND>(wParam), static_cast<int>(lParam));
    else
      page->OnListEntryHook();
    return;
  }
}

// ---- creation and destruction ----

void CMainFrame::ForEachPageInCreateOrder(const std::function<void(CShellPage&)>& call) {
  CShellPage* order[] = {m_pages.root.get(),  m_pages.movie.get(),  m_pages.music.get(),     m_pages.photo.get(),
                         m_pages.video.get(), m_pages.radio.get(),  m_pages.record.get(),    m_pages.tv.get(),
                         m_pages.authoring.get(), m_pages.setting.get()};
  for (CShellPage* page : order)
    if (page) call(*page);
}

void CMainFrame::LoadRootLayout() {
  m_rootLayoutError.clear();
  if (!m_pages.root) return;
  const int width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  for (const std::string& path :
       RootLayoutCandidates(true, m_options.vendorId, m_options.rootFeatures, width, height)) {
    if (m_pages.root->LoadLayout(path)) {
      m_rootLayoutError.clear();
      return;
    }
    if (!m_rootLayoutError.empty()) m_rootLayoutError += "; ";
    m_rootLayoutError += m_pages.root->LayoutError();
  }
}

int CMainFrame::OnCreate() {
  // The pages were made before the window existed.
  ForEachPageInCreateOrder([this](CShellPage& page) { page.AttachWindow(m_hwnd); });
  LoadRootLayout();
  SetActivePage(m_pages.root.get());
  ForEachPageInCreateOrder([](CShellPage& page) { page.Create(); });

  m_osd = std::make_unique<COsdWnd>(this);
  if (m_osd->Create(m_hwnd)) {
    m_displayRect = ClientRect();
  } else {
    m_osd.reset();
  }
  // Session notices reach the system core through its own watcher of the
  // login manager; the frame has nothing to register for them.
  m_running = std::make_unique<CRunningObjectRegistration>();
  return 0;
}

void CMainFrame::OnDestroy() {
  m_running.reset();
  ForEachPageInCreateOrder([](CShellPage& page) { page.Destroy(); });
  m_captionTimer = 0;
  m_repeatTimer = 0;
  m_captionSlidingIn = false;
}

// ---- frame operations ----

plat::HRESULT CMainFrame::GetDriveInfo(int drive, int* kind) {
  return m_bridge ? m_bridge->GetDriveInfo(drive, kind) : plat::E_FAIL;
}

CScheduleList* CMainFrame::GetScheduleList() {
  CScheduleList* list = nullptr;
  if (!m_bridge || m_bridge->GetScheduleList(&list) < 0) return nullptr;
  return list;
}

void CMainFrame::SetActivePage(IModulePage* page) {
  if (m_activePage) m_activePage->Deactivate();
  // The module is left when another module's page or the home page comes,
  // at shut-down (no page), or when a page it did not open comes while the
  // configuration root names no longer its module (Home, Back out of it).
  IModulePage* left = m_modulePage;
  if (IsModulePage(page)) {
    m_modulePage = page;
  } else if (m_modulePage) {
    const CConfig* config = GetConfig();
    const bool stays = page && page != m_pages.root.get() && config &&
                       static_cast<IModulePage*>(PageOfModule(config->m_nActiveModule)) == m_modulePage;
    if (!stays) m_modulePage = nullptr;
  }
  if (left && left != m_modulePage) left->OnModuleExit();
  m_activePage = page;
}

CShellPage* CMainFrame::PageOfModule(int module) const {
  switch (module) {
    case MODULE_PHOTO: return m_pages.photo.get();
    case MODULE_MUSIC: return m_pages.music.get();
    case MODULE_MOVIE: return m_pages.movie.get();
    case MODULE_RADIO: return m_pages.radio.get();
    case MODULE_RECORD:
    case MODULE_BURNING: return m_pages.record.get();
    case MODULE_VIDEO: return m_pages.video.get();
    case MODULE_TV: return m_pages.tv.get();
    default: return nullptr;
  }
}

bool CMainFrame::IsModulePage(const IModulePage* page) const {
  if (!page) return false;
  for (int module : {MODULE_PHOTO, MODULE_MUSIC, MODULE_MOVIE, MODULE_RADIO, MODULE_RECORD, MODULE_VIDEO, MODULE_TV}) {
    if (static_cast<const IModulePage*>(PageOfModule(module)) == page) return true;
  }
  return false;
}

bool CMainFrame::IsMaximized() { return m_hwnd && plat::IsZoomed(m_hwnd) != plat::FALSE; }

int CMainFrame::Maximize() {
  if (!m_hwnd) return 0;
  const auto style = plat::GetWindowLongPtr(m_hwnd, plat::GWL_STYLE);
  plat::SetWindowLongPtr(m_hwnd, plat::GWL_STYLE, style & ~static_cast<plat::LONG_PTR>(plat::WS_DLGFRAME | plat::WS_THICKFRAME));
  plat::ShowWindow(m_hwnd, plat::SW_MAXIMIZE);
  return 1;
}

int CMainFrame::Restore() {
  if (!m_hwnd) return 0;
  const auto style = plat::GetWindowLongPtr(m_hwnd, plat::GWL_STYLE);
  plat::SetWindowLongPtr(m_hwnd, plat::GWL_STYLE, style | static_cast<plat::LONG_PTR>(plat::WS_DLGFRAME | plat::WS_THICKFRAME));
  plat::ShowWindow(m_hwnd, plat::SW_RESTORE);
  return 1;
}

int CMainFrame::OpenHelp() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  std::string file;
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, kProductKey, true) || !key.QueryString(HELP_FILE_VALUE, file) || file.empty())
    return 0;
  // The help file lies beside the program; the name is kept relative to it.
  const std::string path = ExecutableFolder().string() + "/" + SkinNameToPosix(file);
  return m_helpLauncher && m_helpLauncher(path) ? 1 : 0;
}

void CMainFrame::StopPressRepeat() {
  if (m_repeatTimer && m_hwnd) plat::KillTimer(m_hwnd, m_repeatTimer);
  m_repeatTimer = 0;
}

int CMainFrame::ShowSettingPage() { return m_pages.showSettingPage ? m_pages.showSettingPage() : 0; }

bool CMainFrame::IsRootPageActive() { return m_pages.root && m_activePage == m_pages.root.get(); }

int CMainFrame::QueryActivePage() { return m_activePage ? m_activePage->Query() : 0; }

void CMainFrame::ActivePageMouseLeave() {
  if (m_activePage) m_activePage->OnMouseLeave();
}

int CMainFrame::HasMouseMoved() {
  plat::POINT cursor{};
  plat::GetCursorPos(&cursor);
  const bool moved = cursor.x != m_lastCursor.x || cursor.y != m_lastCursor.y;
  m_lastCursor = cursor;
  return moved ? 1 : 0;
}

plat::RECT CMainFrame::ClientRect() const {
  plat::RECT client{};
  if (m_hwnd) plat::GetClientRect(m_hwnd, &client);
  return client;
}
