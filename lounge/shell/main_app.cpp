#include "lounge/shell/main_app.h"

#include <cstdio>

#include "corebridge/core/config.h"
#include "corebridge/core/registry_key.h"
#include "interfaces/ui_system.h"
#include "lounge/shell/app_options_loader.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/close_signals.h"
#include "lounge/shell/command_line.h"
#include "lounge/shell/main_frame.h"
#include "lounge/shell/single_instance.h"
#include "lounge/skin/app_icon.h"
#include "lounge/skin/skin_report.h"
#include "lounge/skin/string_table.h"
#include "platform/com/runtime.h"
#include "platform/display/display.h"
#include "platform/gdi/icon.h"
#include "platform/registry/registry.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/idle_inhibitor.h"
#include "platform/win/controls/message_box.h"
#include "platform/win/message.h"
#include "platform/win/portal_file_chooser.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kProductKey = "SoftWare\\Kestrovia\\Marivel";
constexpr const char* kFrameSizeValue = "FrameSize";
// Every in-process and out-of-process context, as the system core is asked for.
constexpr plat::DWORD kBridgeContext = 0x17;

// Frame styles: maximised at first, or windowed at a stored size.
constexpr plat::DWORD kFrameStyle = plat::WS_POPUP | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN |
                                    plat::WS_SYSMENU | plat::WS_MINIMIZEBOX | plat::WS_MAXIMIZEBOX;
constexpr plat::DWORD kMaximizedFrameStyle = kFrameStyle | plat::WS_MAXIMIZE;

// Remote-control window notices (message 2024 with lParam 4 at start, 5 at exit).
constexpr plat::LPARAM kRemoteModeOn = 4;
constexpr plat::LPARAM kRemoteModeOff = 5;

std::string UIString(const char* key, const char* fallback) {
  std::string text = fallback;
  LookupUIString(key, text);
  return text;
}

plat::HWND RemoteWindow() { return plat::FindWindow(REMOTE_KEY_WINDOW_CLASS, REMOTE_KEY_WINDOW_TITLE); }

}  // namespace

CMainApp::CMainApp(ShellPageFactory makePages) : makePages_(std::move(makePages)) {
  inhibitor_ = std::make_unique<plat::IdleInhibitor>(std::make_unique<plat::BusIdleInhibitBackend>());
  power_ = std::make_unique<CPowerControl>(*inhibitor_);
}

CMainApp::~CMainApp() { ExitInstance(); }

plat::HWND CMainApp::FrameWindow() const { return frame_ ? frame_->Window() : nullptr; }

int CMainApp::FailureExitCode() const {
  return failure_ == StartFailure::None || failure_ == StartFailure::AnotherCopyRuns ||
                 failure_ == StartFailure::ClosedWhileStarting
             ? 0
             : 1;
}

bool CMainApp::InitInstance(const std::vector<std::string>& args) {
  DetectVendor();
  options_ = LoadFeatureOptions();

  comInitialised_ = plat::CoInitialize(nullptr) >= 0;
  if (!strings_) {
    strings_ = std::make_unique<CStringTable>();
    SetUIStringTable(strings_.get());
  }
  // Without its texts the skin shows nothing but empty labels.
  if (!strings_->LoadError().empty()) {
    std::fprintf(stderr, "lounge: cannot start: the skin's string table \"%s\" does not load: %s\n",
                 EscapeForMessage(strings_->GetPath()).c_str(), EscapeForMessage(strings_->LoadError()).c_str());
    failure_ = StartFailure::SkinBroken;
    return false;
  }
  // A close asked for by a signal is handled on this thread's loop; one
  // that comes while starting closes the frame once the loop runs.
  signals_ = std::make_unique<CCloseSignals>([this] { RequestClose(); });
  // Font smoothing and full-window dragging are desktop settings this
  // program leaves alone.
  if (!CheckSingleInstance()) return false;

  // Closed before there is anything to show: start-up ends here, cleanly.
  if (signals_->Pending()) {
    failure_ = StartFailure::ClosedWhileStarting;
    return false;
  }
  if (!CreateFrame()) {
    failure_ = StartFailure::FrameFailed;
    return false;
  }
  // A home page without a layout would be a dead black screen.
  if (!frame_->RootLayoutError().empty()) {
    std::fprintf(stderr, "lounge: cannot start: no home page layout of the skin loads: %s\n",
                 frame_->RootLayoutError().c_str());
    failure_ = StartFailure::SkinBroken;
    return false;
  }
  ShowFrameAtStart();
  // On a real screen the desktop's own file chooser answers the program's
  // file dialogs; on the headless display only a script does.
  if (!plat::display::CurrentHeadless() && plat::display::CurrentBackend())
    plat::SetFileChooser(plat::MakePortalFileChooser());
  if (!CreateSystemBridge()) {
    failure_ = StartFailure::BindingFailed;
    return false;
  }
  // The sound and display options live in the configuration root, so they
  // are read once it is bound.
  if (config_) LoadSoundAndOsdOptions(options_, *config_);
  if (options_.vendorId == VENDOR_VADU) NotifyRemoteWindow(kRemoteModeOn, "MRV ON MODE");
  ParseCommandLine(args);
  return true;
}

bool CMainApp::CheckSingleInstance() {
  // Every system this runs on passes the operating-system gate.
  instance_ = std::make_unique<CSingleInstance>();
  switch (instance_->Acquire([this] { RaiseFrame(); })) {
    case CSingleInstance::Outcome::First:
      return true;
    case CSingleInstance::Outcome::AnotherRuns:
      failure_ = StartFailure::AnotherCopyRuns;
      instance_.reset();
      return false;
    case CSingleInstance::Outcome::OtherUser: {
      failure_ = StartFailure::OtherUserRuns;
      instance_.reset();
      const std::string text = UIString("OTHERUSERRUNNING", "Other user is running");
      std::fprintf(stderr, "lounge: %s\n", text.c_str());
      // Nobody could answer a box on the headless display.
      if (!plat::display::CurrentHeadless() && plat::display::CurrentBackend()) {
        plat::MessageBox(nullptr, text.c_str(), UIString("MARIVEL", "Marivel").c_str(), plat::MB_OK | plat::MB_ICONSTOP);
      }
      return false;
    }
  }
  return false;
}

bool CMainApp::CreateFrame() {
  if (frame_) return frame_->Window() != nullptr;
  frame_ = std::make_unique<CMainFrame>(options_, *power_, makePages_);

  if (!icon_) LoadAppIcon(nullptr, options_.vendorId == VENDOR_VADU ? 130 : 129, icon_);
  plat::WNDCLASS existing{};
  if (!plat::GetClassInfo(nullptr, kFrameClassName, &existing)) {
    plat::WNDCLASS wc{};
    wc.style = plat::CS_DBLCLKS;
    wc.lpfnWndProc = &CMainFrame::WindowProc;
    wc.hIcon = icon_;
    wc.lpszClassName = kFrameClassName;
    if (!plat::RegisterClass(&wc)) return false;
    classRegistered_ = true;
  }

  const std::string title = UIString("MARIVEL", "");
  const int screenW = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int screenH = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  int width = screenW * 3 / 4, height = screenH * 3 / 4;
  plat::DWORD style = kMaximizedFrameStyle;

  frameSizeFound_ = false;
  {
    CRegistryKey user(plat::HKEY_CURRENT_USER);
    plat::DWORD size = 0;
    if (user.Open(plat::HKEY_CURRENT_USER, kProductKey, true) && user.QueryDword(kFrameSizeValue, size)) {
      frameSizeFound_ = true;
      width = std::min(static_cast<int>(size >> 16), screenW);
      height = std::min(static_cast<int>(size & 0xFFFF), screenH);
      style = kFrameStyle;
    }
  }
  const int left = (screenW - width) / 2, top = (screenH - height) / 2;
  const plat::RECT rect{left, top, left + width, top + height};
  if (!frame_->Create(kFrameClassName, title, style, rect)) return false;
  const plat::HWND hwnd = frame_->Window();

  // The maximised frame has no sizing border; the windowed one has.
  plat::LONG_PTR frameStyle = plat::GetWindowLongPtr(hwnd, plat::GWL_STYLE);
  if (plat::IsZoomed(hwnd)) {
    frameStyle &= ~static_cast<plat::LONG_PTR>(plat::WS_DLGFRAME | plat::WS_THICKFRAME);
  } else {
    frameStyle |= static_cast<plat::LONG_PTR>(plat::WS_DLGFRAME | plat::WS_THICKFRAME);
  }
  plat::SetWindowLongPtr(hwnd, plat::GWL_STYLE, frameStyle);

  if (options_.vendorId == VENDOR_VADU) {
    if (plat::HWND remote = RemoteWindow()) {
      plat::PostMessage(remote, WM_REMOTE_WINDOW_FRAME, reinterpret_cast<plat::WPARAM>(hwnd), 0);
    }
  }

  // A first start restores to the screen less a small margin.
  if (!frameSizeFound_) {
    plat::WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    plat::RECT current{};
    plat::GetWindowRect(hwnd, &current);
    if (plat::GetWindowPlacement(hwnd, &placement) && screenW > 0) {
      const int marginY = screenH * 5 / screenW;
      placement.rcNormalPosition = {current.left + 5, current.top + marginY, current.right - 5,
                                    current.bottom - marginY};
      plat::SetWindowPlacement(hwnd, &placement);
    }
  }
  return true;
}

void CMainApp::ShowFrameAtStart() {
  const plat::HWND hwnd = FrameWindow();
  if (!hwnd) return;
  if (plat::GetForegroundWindow() != hwnd) {
    plat::WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    plat::GetWindowPlacement(hwnd, &placement);
    plat::ShowWindow(hwnd, plat::SW_MINIMIZE);
    plat::ShowWindow(hwnd, (placement.showCmd & 3) == 3 ? plat::SW_MAXIMIZE : plat::SW_RESTORE);
  }
  plat::SetWindowPos(hwnd, plat::HWND_TOPMOST, 0, 0, 0, 0, plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_SHOWWINDOW);
  plat::SetWindowPos(hwnd, plat::HWND_NOTOPMOST, 0, 0, 0, 0, plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_SHOWWINDOW);
  plat::SetForegroundWindow(hwnd);
}

bool CMainApp::CreateSystemBridge() {
  if (bridge_) return true;
  if (!frame_ || !frame_->Window()) return false;
  IUISystem* bridge = nullptr;
  if (plat::CoCreateInstance(CLSID_UISystem, nullptr, kBridgeContext, IID_IUISystem,
                             reinterpret_cast<void**>(&bridge)) < 0 ||
      !bridge) {
    std::fprintf(stderr, "lounge: the system core cannot be made: %s\n", plat::CoLastErrorDetail().c_str());
    return false;
  }
  bridge_ = bridge;
  frame_->BindSystem(bridge_);

  // The results of these calls are not checked: a page that is missing
  // passes null.
  const ShellPages& pages = frame_->Pages();
  bridge_->SetHomePageCallback(pages.homeEvents);
  bridge_->SetUICallback(&frame_->Services());
  bridge_->SetTVPageCallback(pages.tvEvents);
  bridge_->SetPhotoPageCallback(pages.photoEvents);
  bridge_->SetMoviePageCallback(pages.movieEvents);
  bridge_->SetMusicPageCallback(pages.musicEvents);
  bridge_->SetRadioPageCallback(pages.radioEvents);
  bridge_->SetRecordPageCallback(pages.recordEvents);
  bridge_->SetVideoPageCallback(pages.videoEvents);
  bridge_->SetAuthoringPageCallback(pages.authoringEvents);
  bridge_->SetModule9PageCallback(pages.settingEvents);

  CConfig* config = nullptr;
  if (bridge_->GetConfig(&config) < 0 || !config) {
    UnbindSystemBridge();
    return false;
  }
  config_ = config;
  config_->m_nVendorId = options_.vendorId;
  config_->m_aFeatureWords = {options_.rootFeatures,  options_.tvFeatures,    options_.radioFeatures,
                              options_.photoFeatures, options_.musicFeatures, options_.videoFeatures,
                              options_.movieFeatures};
  config_->m_nGeneralFeatures = options_.generalFeatures;

  if (bridge_->Start() < 0) {
    UnbindSystemBridge();
    return false;
  }
  return true;
}

void CMainApp::UnbindSystemBridge() {
  config_ = nullptr;
  if (!bridge_) return;
  if (frame_) frame_->BindSystem(nullptr);
  bridge_->Stop();
  bridge_->Release();
  bridge_ = nullptr;
}

int CMainApp::ParseCommandLine(const std::vector<std::string>& args) {
  return RunCommandLineStart(ReadCommandLine(args), bridge_, config_);
}

void CMainApp::NotifyRemoteWindow(plat::LPARAM mode, const char* notice) {
  const plat::HWND remote = RemoteWindow();
  if (!remote) return;
  plat::PostMessage(remote, WM_REMOTE_KEY_MODE, 0, mode);
  if (config_ && config_->m_bDebugNotices) plat::OutputDebugStringA(notice);
}

void CMainApp::RaiseFrame() {
  const plat::HWND hwnd = FrameWindow();
  if (!hwnd) return;
  if (plat::IsIconic(hwnd)) plat::ShowWindow(hwnd, plat::SW_RESTORE);
  plat::SetForegroundWindow(hwnd);
}

void CMainApp::RequestClose() {
  closeRequested_ = true;
  if (const plat::HWND hwnd = FrameWindow()) plat::PostMessage(hwnd, plat::WM_CLOSE, 0, 0);
}

int CMainApp::Run() {
  // A signal that came while starting is a close request now; the loop
  // takes the blocked ones from here on.
  if (closeRequested_) RequestClose();
  if (signals_) signals_->Accept();
  plat::MSG msg{};
  while (plat::GetMessage(&msg, nullptr, 0, 0) > 0) {
    plat::TranslateMessage(&msg);
    plat::DispatchMessage(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void CMainApp::StoreFrameSize() {
  const plat::HWND hwnd = FrameWindow();
  const int vendor = options_.vendorId;
  if (!hwnd || !(vendor == VENDOR_VADU || vendor == VENDOR_DEZAD || vendor == VENDOR_RORIDO)) return;
  CRegistryKey user(plat::HKEY_CURRENT_USER);
  // Created when missing, so that a first windowed run is remembered.
  if (!user.Create(plat::HKEY_CURRENT_USER, kProductKey)) return;
  plat::RECT rect{};
  plat::GetWindowRect(hwnd, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (plat::IsZoomed(hwnd) || width <= 0 || height <= 0) {
    user.DeleteValue(kFrameSizeValue);
  } else {
    user.SetDword(kFrameSizeValue,
                  (static_cast<plat::DWORD>(width) << 16) | (static_cast<plat::DWORD>(height) & 0xFFFF));
  }
  user.Close();
}

int CMainApp::ExitInstance(int exitCode) {
  if (exited_) return exitCode;
  exited_ = true;
  if (options_.vendorId == VENDOR_VADU) NotifyRemoteWindow(kRemoteModeOff, "MRV OFF MODE");
  StoreFrameSize();
  if (frame_) frame_->SetActivePage(nullptr);
  // Stopping the system core saves the settings; the frame still exists.
  UnbindSystemBridge();
  if (frame_) {
    if (plat::IsWindow(frame_->Window())) plat::DestroyWindow(frame_->Window());
    frame_.reset();
  }
  signals_.reset();
  instance_.reset();
  if (strings_) {
    UnregisterUIStringTable(strings_.get());
    strings_.reset();
  }
  if (classRegistered_) plat::UnregisterClass(kFrameClassName, nullptr);
  classRegistered_ = false;
  if (icon_) plat::DestroyIcon(icon_);
  icon_ = nullptr;
  power_->RestorePowerSaving();
  if (comInitialised_) plat::CoUninitialize();
  comInitialised_ = false;
  return exitCode;
}
