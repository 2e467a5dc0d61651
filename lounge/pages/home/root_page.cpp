// CRootPage: showing the page, its layout choice and clock timer, mouse and
// keys, the entries' states and the actions it handles itself.
#include "lounge/pages/home/root_page.h"

#include "corebridge/core/config.h"
#include "corebridge/core/registry_key.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/checked_format.h"
#include "lounge/shell/root_layout.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/shell/web_link_query.h"
#include "lounge/skin/page_element_index.h"
#include "platform/registry/registry.h"
#include "platform/sys/debug_output.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kWebEntry = "Web Entry";
constexpr const char* kUpdatedWebEntry = "Updated Web Entry";
constexpr const char* kSettingEntry = "Setting Entry";
constexpr const char* kHelp = "Help";

bool IsWebEntry(const std::string& name) { return name == kWebEntry || name == kUpdatedWebEntry; }

bool Bit(int word, int bit) { return (word >> bit) & 1; }

std::string WithoutLeadingV(std::string text) {
  text.erase(0, text.find_first_not_of('v'));
  return text;
}

// The installed build: HKLM BuildInfo "Build" without its leading "v"s;
// nothing when the key does not open.
std::optional<std::string> InstalledBuild() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, kWebLinkBuildInfoKey, true)) return std::nullopt;
  std::string build;
  key.QueryString("Build", build);
  return WithoutLeadingV(build);
}

// A string value of an HKLM key opened read-only; empty when missing.
std::string MachineString(CRegistryKey& key, const char* name) {
  std::string value;
  key.QueryString(name, value);
  return value;
}

bool IsWebUrl(const std::string& url) { return url.starts_with("http://") || url.starts_with("https://"); }

}  // namespace

std::string CRootPage::s_lastDrawnEntry;

CRootPage::CRootPage(IShellFrame& frame)
    : CShellPage(frame), m_launcher(std::make_unique<SpawnLauncher>()), m_webLinkQuery(QueryWebLink) {}

CRootPage::~CRootPage() {
  if (m_clockTimer && plat::IsWindow(Frame().FrameWindow())) plat::KillTimer(Frame().FrameWindow(), m_clockTimer);
}

int CRootPage::Vendor() const { return Frame().Options().vendorId; }

std::string CRootPage::ListName(int list) const {
  std::string name;
  if (Layout()) Layout()->GetListName(name, list);
  return name;
}

std::string CRootPage::ActionName(int list, int action) const {
  std::string name;
  if (Layout()) Layout()->GetListActionName(name, action, list);
  return name;
}

// ---- showing the page ----

int CRootPage::ShowPage() {
  Frame().SetActivePage(this);
  Create();
  const AppOptions& options = Frame().Options();
  const int width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  for (const std::string& path : RootLayoutCandidates(true, options.vendorId, options.rootFeatures, width, height))
    if (LoadLayout(path)) return 1;
  return 0;
}

int CRootPage::Redraw(CConfig*, int flag) { return CSkinPage::Redraw(flag); }

int CRootPage::Create() {
  CShellPage::Create();
  IFrameServices& services = Frame().Services();
  services.SetCaptionBarVisible(Vendor() == VENDOR_DEZAD ? 1 : 0, 0);
  services.SetPlaybackBarVisible(0, 0);
  return 1;
}

int CRootPage::LoadLayout(const std::string& path) {
  const int loaded = CSkinPage::LoadLayout(path);
  if (Vendor() == VENDOR_DEZAD) {
    SetFocus(0, 0);
    ShowFocus();
  }
  if (loaded && !m_clockTimer && plat::IsWindow(Frame().FrameWindow())) {
    plat::SetTimer(Frame().FrameWindow(), ROOT_CLOCK_TIMER, ROOT_CLOCK_PERIOD_MS, nullptr);
    m_clockTimer = ROOT_CLOCK_TIMER;
  }
  return loaded;
}

int CRootPage::OnLeave() {
  if (m_clockTimer) {
    plat::KillTimer(Frame().FrameWindow(), m_clockTimer);
    m_clockTimer = 0;
  }
  return CSkinPage::OnLeave();
}

int CRootPage::OnTimer(plat::UINT_PTR id) {
  if (id != ROOT_CLOCK_TIMER) return 0;
  DrawClock();
  return 1;
}

int CRootPage::OnPaint() {
  const int result = CShellPage::OnPaint();
  DrawClock();
  for (const char* listName : {ROOT_MODULE_LIST, ROOT_ACCESSARY_LIST}) {
    int list = -1;
    if (!Layout() || !Layout()->FindList(listName, list)) continue;
    const CListState* state = ListState(list);
    if (state && state->highlightedListAction >= 0) {
      const int action = state->highlightedListAction;
      DrawEntryHighlight(ActionName(list, action), list, action);
    }
  }
  return result;
}

// ---- highlight and focus ----

int CRootPage::HighlightListAction(int action, int list) {
  const int result = CSkinPage::HighlightListAction(action, list);
  if (action < 0) {
    s_lastDrawnEntry.clear();
    return result;
  }
  const std::string name = ActionName(list, action);
  if (name != s_lastDrawnEntry && DrawEntryHighlight(name, list, action)) s_lastDrawnEntry = name;
  return result;
}

std::string CRootPage::FocusedActionName(int* list, int* action) {
  int kind = 0, index = 0;
  if (!SplitEntry(FocusedList(), FocusedEntry(), &kind, &index) || kind != ENTRY_ACTION) return {};
  if (list) *list = FocusedList();
  if (action) *action = index;
  return ActionName(FocusedList(), index);
}

int CRootPage::HighlightEntry(const std::string& listName, const std::string& name, bool clearFirst) {
  int list = -1, action = -1;
  if (!Layout() || !Layout()->FindList(listName, list) || !Layout()->FindListAction(name, action, list)) return 0;
  if (clearFirst) ClearAllHighlights();
  return HighlightListAction(action, list);
}

int CRootPage::FollowFocus(int result) {
  int list = -1, action = -1;
  if (!FocusedActionName(&list, &action).empty()) HighlightListAction(action, list);
  return result;
}

// ---- keys: vendors 1 and 4 move between the two lists their own way ----

int CRootPage::OnKeyLeft(int flag) {
  if (Vendor() == VENDOR_VADU) {
    int list = -1;
    const std::string name = FocusedActionName(&list, nullptr);
    if (list >= 0 && ListName(list) == ROOT_MODULE_LIST) {
      if (name == kSettingEntry) HighlightEntry(ROOT_ACCESSARY_LIST, kHelp, true);
      return 1;
    }
  }
  return FollowFocus(CSkinPage::OnKeyLeft(flag));
}

int CRootPage::OnKeyRight(int flag) {
  if (Vendor() == VENDOR_VADU) {
    int list = -1;
    const std::string name = FocusedActionName(&list, nullptr);
    const std::string listName = list >= 0 ? ListName(list) : std::string();
    if (listName == ROOT_MODULE_LIST) return 1;
    if (listName == ROOT_ACCESSARY_LIST && name == kHelp) return HighlightEntry(ROOT_MODULE_LIST, kSettingEntry, true);
  }
  return FollowFocus(CSkinPage::OnKeyRight(flag));
}

int CRootPage::OnKeyUp(int flag) {
  int list = -1;
  const std::string name = FocusedActionName(&list, nullptr);
  if (Vendor() == VENDOR_VADU && list >= 0 && ListName(list) == ROOT_ACCESSARY_LIST) {
    if (name == kHelp) HighlightEntry(ROOT_MODULE_LIST, kSettingEntry, true);
    return 1;
  }
  if (Vendor() == VENDOR_RORIDO && name == "TV Entry") return HighlightEntry(ROOT_MODULE_LIST, kSettingEntry, false);
  return FollowFocus(CSkinPage::OnKeyUp(flag));
}

int CRootPage::OnKeyDown(int flag) {
  int list = -1;
  const std::string name = FocusedActionName(&list, nullptr);
  if (Vendor() == VENDOR_VADU && list >= 0) {
    const std::string listName = ListName(list);
    if (listName == ROOT_ACCESSARY_LIST) return 1;
    if (listName == ROOT_MODULE_LIST && name == kSettingEntry)
      return HighlightEntry(ROOT_ACCESSARY_LIST, kHelp, true);
  }
  if (Vendor() == VENDOR_RORIDO && name == kSettingEntry) return HighlightEntry(ROOT_MODULE_LIST, "TV Entry", false);
  return FollowFocus(CSkinPage::OnKeyDown(flag));
}

// ---- mouse ----

int CRootPage::OnMouseMove(int x, int y) {
  const int result = CShellPage::OnMouseMove(x, y);
  return FollowFocus(result);
}

int CRootPage::OnButtonDown(int x, int y) {
  const plat::POINT point{x, y};
  m_mousePressed = 1;
  const int result = CSkinPage::OnMouseDown(point);
  if (HitTestButton(point) >= 0 || HitTestLink(point) >= 0) return result;
  int list = -1;
  const int action = HitTestListAction(point, &list);
  if (action < 0) {
    // Empty background: the frame is dragged by it.
    plat::GetCursorPos(&m_pressPoint);
    plat::PostMessage(Frame().FrameWindow(), plat::WM_NCLBUTTONDOWN, static_cast<plat::WPARAM>(plat::HTCAPTION),
                      plat::MAKELPARAM(static_cast<plat::WORD>(x), static_cast<plat::WORD>(y)));
    return result;
  }
  const std::string name = ActionName(list, action);
  if (IsWebEntry(name)) {
    Frame().StopPressRepeat();
    DrawEntryHighlight(name, list, action);
  }
  return result;
}

int CRootPage::OnButtonUp(int x, int y) {
  m_mousePressed = 0;
  if (IsWebEntry(m_shownWebName)) {
    int list = -1, action = -1;
    if (!FocusedActionName(&list, &action).empty()) DrawEntryHighlight(ActionName(list, action), list, action);
  }
  const int result = CSkinPage::OnMouseUp(plat::POINT{x, y});
  if (CListState* state = ListState(FocusedList()))
    state->pressedItem = state->pressedListAction = state->pressedListLink = -1;
  return result;
}

int CRootPage::OnDoubleClick(int x, int y) {
  const plat::POINT point{x, y};
  const int result = CSkinPage::OnDoubleClick(point);
  int list = -1;
  if (HitTestButton(point) >= 0 || HitTestLink(point) >= 0 || HitTestListAction(point, &list) >= 0) return result;
  return Frame().IsMaximized() ? Frame().Restore() : Frame().Maximize();
}

// ---- states ----

int CRootPage::QueryListItemState(int list, int item, int* shown, int*, int*) {
  int valid = 0;
  if (shown && ElementIndex().IsRowValid(list, item, &valid)) *shown = valid;
  return 1;
}

int CRootPage::QueryListActionState(int list, int action, int* shown, int* enabled, int*) {
  if (!shown || !enabled) return 0;
  const AppOptions& options = Frame().Options();
  const std::string name = ActionName(list, action);
  if (name == "TV Entry") {
    *shown = Bit(options.rootFeatures, 0);
    *enabled = Bit(options.tvFeatures, 1);
  } else if (name == "Radio Entry") {
    *shown = Bit(options.rootFeatures, 1);
    *enabled = Bit(options.radioFeatures, 1);
  } else if (name == "Burning Entry") {
    *shown = Bit(options.rootFeatures, 2);
    if (Vendor() == VENDOR_VADU) {
      *shown = 1;
      *enabled = 0;
      CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
      std::string folder;
      if (key.Open(plat::HKEY_LOCAL_MACHINE, options.burnerKeyPath, true) &&
          key.QueryString(options.burnerDirValue, folder))
        *enabled = 1;
    }
  } else if (IsWebEntry(name)) {
    QueryWebEntryShown(name, shown);
  }
  return 1;
}

void CRootPage::QueryWebEntryShown(const std::string& name, int* shown) {
  const std::optional<std::string> installed = InstalledBuild();
  if (!installed) return;
  const AppOptions& options = Frame().Options();
  const bool current = options.webLinkStatus >= options.webLinkResult && *installed >= options.webLinkBuild;
  *shown = (name == kWebEntry) == current ? 1 : 0;
}

// ---- actions ----

int CRootPage::OnAction(const std::string& name) {
  IFrameServices& services = Frame().Services();
  if (name == "Minimize") {
    services.MinimizeFrame();
    return SetHighlightButton(-1);
  }
  if (name == "Maximize") {
    Frame().Maximize();
  } else if (name == "Restore") {
    Frame().Restore();
  } else if (name == "Close" || name == "To PC") {
    services.QuitApplication();
  } else if (name == "TV Entry") {
    services.SetOsdOwner(0);
  } else if (name == kSettingEntry) {
    Frame().ShowSettingPage();
  } else if (name == kHelp || name == "Help Entry") {
    return Frame().OpenHelp();
  } else if (IsWebEntry(name)) {
    return RunWebEntry();
  }
  if (Vendor() == VENDOR_VADU && name == "Burning Entry") return StartBurner();
  return Frame().PageHost().ExecuteAction(name, 0, 0);
}

std::optional<std::string> CRootPage::BuildWebEntryUrl(int webLinkStatus) const {
  CRegistryKey product(plat::HKEY_LOCAL_MACHINE);
  if (!product.Open(plat::HKEY_LOCAL_MACHINE, kWebLinkProductKey, true)) return std::nullopt;
  const std::string format = MachineString(product, "WebLink");
  const std::string language = MachineString(product, "Language");
  const std::string vendor = MachineString(product, "Vendor");
  plat::DWORD kvj = 0;
  product.QueryDword("KVJ", kvj);
  std::string version, build;
  CRegistryKey buildInfo(plat::HKEY_LOCAL_MACHINE);
  if (buildInfo.Open(plat::HKEY_LOCAL_MACHINE, kWebLinkBuildInfoKey, true)) {
    version = MachineString(buildInfo, kWebLinkVersionValue);
    build = WithoutLeadingV(MachineString(buildInfo, "Build"));
  }
  // The format comes from the registry: it is filled by the checked
  // formatter, never handed to printf.
  return CheckedFormat(format, {"MRV", version, language, webLinkStatus, vendor, build, "", static_cast<unsigned>(kvj)});
}

int CRootPage::RunWebEntry() {
  {
    CRegistryKey product(plat::HKEY_LOCAL_MACHINE);
    if (!product.Open(plat::HKEY_LOCAL_MACHINE, kWebLinkProductKey, true)) return 0;
  }
  AppOptions& options = Frame().Options();
  std::string serverBuild = options.webLinkBuild;
  const int result = m_webLinkQuery ? m_webLinkQuery(1, serverBuild) : -1;
  if (result >= 0) options.webLinkBuild = serverBuild;

  const std::optional<std::string> url = BuildWebEntryUrl(options.webLinkStatus);
  if (!url) {
    plat::OutputDebugStringA("Web entry: the registry's WebLink format does not fit its arguments; nothing opened\n");
  } else if (!IsWebUrl(*url)) {
    plat::OutputDebugStringA("Web entry: the WebLink address is not an http or https address; nothing opened\n");
  } else if (m_launcher) {
    m_launcher->Start({"xdg-open", *url});
  }

  const std::string installed = InstalledBuild().value_or(std::string());
  if (result >= 0 || serverBuild > installed) {
    options.webLinkStatus = result;
    options.webLinkResult = result;
    CSkinPage::Redraw(0);
    HighlightEntry(ROOT_MODULE_LIST, kWebEntry, false);
  }
  return 1;
}

int CRootPage::StartBurner() {
  const AppOptions& options = Frame().Options();
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  std::string folder;
  if (key.Open(plat::HKEY_LOCAL_MACHINE, options.burnerKeyPath, true) && key.QueryString(options.burnerDirValue, folder)) {
    std::vector<std::string> argv{folder + "/" + options.burnerExe};
    for (std::string& parameter : SplitParameters(options.burnerParam)) argv.push_back(std::move(parameter));
    if (m_launcher) m_launcher->Start(argv);
  }
  Frame().Services().MinimizeFrame();
  if (plat::HWND remote = plat::FindWindow("RemoteKeyWndClass", "RemoteKeyWnd"))
    plat::PostMessage(remote, WM_REMOTE_MODE, 0, REMOTE_MODE_BURNING);
  CConfig* config = Frame().PageHost().GetConfig();
  if (config && config->m_bDebugNotices) plat::OutputDebugStringA("BURNWE MODE");
  return 1;
}
