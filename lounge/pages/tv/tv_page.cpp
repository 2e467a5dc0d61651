// CTvPage: the controller's calls, layout loads, actions, timers and the
// channel editor. What the texts and lists show is tv_page_draw.cpp.
#include "lounge/pages/tv/tv_page.h"

#include <algorithm>
#include <utility>

#include "corebridge/core/config.h"
#include "corebridge/core/tv_config.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kPreviewPath = "TV\\Preview";
constexpr const char* kMainMenuPath = "TV\\MainMenu";
constexpr const char* kSignalPath = "TV\\SignalSetting";
constexpr const char* kGuidePath = "TV\\NextView";
constexpr const char* kChannelList = "TV Channel List";
constexpr const char* kWallList = "TV TVWall List";

// "TV Key 7" -> 7 for `prefix` "TV Key "; -1 for any other name.
int DigitOf(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0) return -1;
  const char c = name.back();
  return c >= '0' && c <= '9' ? c - '0' : -1;
}

}  // namespace

CTvPage::CTvPage(IShellFrame& frame)
    : CShellPage(frame),
      m_digits(CTvDigitEntry::Hooks{
          [this](const char* action, std::intptr_t value) { return Send(action, value); },
          [this](const std::string& text) { Frame().Services().ShowOsdText(text); },
          [this](unsigned id, unsigned ms) {
            const plat::HWND window = Frame().FrameWindow();
            return window && plat::SetTimer(window, id, ms, nullptr) != 0;
          },
          [this](unsigned id) {
            if (const plat::HWND window = Frame().FrameWindow()) plat::KillTimer(window, id);
          },
          [this] { Frame().ShowPlaybackTooltip(0); },
          [this] {
            if (const CTVConfig* tv = TV()) Frame().Services().ShowOsdText(tv->m_strChannelName);
          },
      }) {}

CTvPage::~CTvPage() = default;

CConfig* CTvPage::Config() const { return Host() ? Host()->GetConfig() : nullptr; }

CTVConfig* CTvPage::TV() const {
  CConfig* config = Config();
  return config ? config->m_pTV.get() : nullptr;
}

int CTvPage::Send(const char* action, std::intptr_t a, std::intptr_t b) {
  return Host() ? Host()->ExecuteAction(action, static_cast<long>(a), static_cast<long>(b)) : 0;
}

CTvDigitEntry::Presets CTvPage::PresetsNow() const {
  CTvDigitEntry::Presets presets;
  if (const CTVConfig* tv = TV()) {
    presets.mapping = tv->m_bPresetMapping != 0;
    presets.channels = tv->m_arrPresetChannels;
    if (tv->m_nPresetCount >= 0 && static_cast<std::size_t>(tv->m_nPresetCount) < presets.channels.size())
      presets.channels.resize(static_cast<std::size_t>(tv->m_nPresetCount));
  }
  return presets;
}

int CTvPage::ListIndex(const std::string& name) const {
  int list = -1;
  return Layout() && Layout()->FindList(name, list) ? list : -1;
}

// ---- ITvPageEvents ----

int CTvPage::EnterModule() {
  Frame().ShowCaptionBar();
  Frame().SetPlaybackBarPath(TV_PLAYBACK_BAR_PATH);
  Frame().SetActivePage(this);
  Frame().Services().SetOsdOption2(2000);
  Frame().Services().SetDisplayRect(plat::RECT{});
  CreateBackBuffer();
  LoadLayout(kPreviewPath);
  CreateBackBuffer();
  return 1;
}

int CTvPage::ShowPage(const char* layoutPath) { return layoutPath ? LoadLayout(layoutPath) : 0; }

int CTvPage::Redraw(int flag) {
  // The transport buttons follow the TV mode the controller just changed.
  if (Host() && Host()->HasPlaybackBar()) Frame().Services().NotifyPlaybackBar(flag);
  return CSkinPage::Redraw(flag);
}

int CTvPage::InvalidateFrame() {
  if (!Owner()) return 0;
  plat::InvalidateRect(Owner(), nullptr, plat::FALSE);
  return 1;
}

int CTvPage::ActivateWindow() {
  if (!Owner()) return 0;
  plat::SetFocus(Owner());
  plat::SetForegroundWindow(Owner());
  return 1;
}

int CTvPage::ResetDigitEntry() {
  m_digits.Reset();
  return 1;
}

int CTvPage::GetDisplayWindow(plat::HWND* window, plat::RECT* video) {
  plat::RECT rect{};
  if (!GetStillImageScreenRectByName("TV Video", &rect)) return 0;
  if (window) *window = Owner();
  if (video) *video = rect;
  return 1;
}

int CTvPage::GetTVWallSize() {
  const int list = ListIndex(kWallList);
  if (list < 0) return 0;
  return static_cast<int>(Layout()->Lists()[static_cast<std::size_t>(list)].items.size());
}

int CTvPage::SetTVWallItemCount(int count) {
  const int result = ElementIndex().SetItemCountByName(kWallList, count);
  if (result && count == 1) SetSelectedItemByName(0, kWallList);
  InvalidateFrame();
  return result;
}

int CTvPage::SetChannelListItemCount(int count) {
  const int result = ElementIndex().SetItemCountByName(kChannelList, count);
  if (result && count > 0) SetSelectedItemByName(0, kChannelList);
  return result;
}

int CTvPage::DrawAutoScanProgress() {
  // The two auto-scan texts are drawn from the section at paint time.
  plat::RECT rect{};
  for (const char* name : {"TV AutoScan Channel Name", "TV AutoScan Percentage"}) {
    if (Owner() && GetTextScreenRectByName(name, &rect)) plat::InvalidateRect(Owner(), &rect, plat::FALSE);
  }
  return 1;
}

int CTvPage::OnDisplayResize() {
  Frame().ShowPlaybackTooltip(0);
  plat::RECT client{};
  if (Owner()) plat::GetClientRect(Owner(), &client);
  Frame().Services().SetDisplayRect(client);
  Frame().Services().SetOsdOwner(1);
  return 1;
}

// ---- IModulePage ----

int CTvPage::OnResize() {
  CShellPage::OnResize();
  PlaceVideo();
  return 1;
}

// ---- CSkinPage ----

void CTvPage::PlaceVideo() {
  plat::RECT rect{};
  if (GetStillImageScreenRectByName("TV Video", &rect)) {
    Frame().Services().SetDisplayRect(rect);
    Frame().Services().SetOsdOwner(1);
    // The controller reads the rectangle and the page window behind it.
    struct {
      plat::RECT rect;
      plat::HWND window;
    } place{rect, Owner()};
    Send("TV Resize Video", reinterpret_cast<std::intptr_t>(&place), reinterpret_cast<std::intptr_t>(&place.rect));
  } else {
    Frame().Services().SetDisplayRect(plat::RECT{});
    Frame().Services().SetOsdOwner(0);
    Send("TV Hide Video");
  }
}

int CTvPage::LoadLayout(const std::string& path) {
  IFrameServices& services = Frame().Services();
  services.SetCaptionBarVisible(path != kPreviewPath ? 1 : 0, 0);
  services.SetPlaybackBarVisible(0, 0);
  services.HideOsd();
  Send("TV Hide Video");
  const int loaded = CSkinPage::LoadLayout(path);
  if (!loaded) return 0;
  if (path == kMainMenuPath) {
    // The menu opens on the schedule link.
    int list = -1, link = -1;
    if (Layout()->FindList("TV Main Menu List", list) && Layout()->FindListLink("TV Schedule Page", link, list)) {
      SetFocus(list, EntryOf(list, ENTRY_LINK, link));
      HighlightListLink(link, list);
    }
  }
  PlaceVideo();
  return loaded;
}

int CTvPage::EndChannelEdit() {
  if (CTVConfig* tv = TV()) tv->m_nChannelEditMode = 0;
  if (m_selectedRow >= 0) SetSelectedItemByName(-1, kChannelList);
  m_selectedRow = -1;
  m_selectedChannel = -1;
  Redraw(0);
  return 1;
}

int CTvPage::MoveSelectedChannel(int step) {
  CTVConfig* tv = TV();
  if (!tv) return 0;
  auto& numbers = tv->m_signalChannels;
  auto& enabled = tv->m_channelEnable;
  const int count = static_cast<int>(std::min(numbers.size(), enabled.size()));
  const int from = m_selectedChannel;
  const int to = from + step;
  // The first channel cannot go up, nor the last one down.
  if (from < 0 || from >= count || to < 0 || to >= count) return 1;
  std::swap(numbers[static_cast<std::size_t>(from)], numbers[static_cast<std::size_t>(to)]);
  std::swap(enabled[static_cast<std::size_t>(from)], enabled[static_cast<std::size_t>(to)]);
  m_selectedChannel = to;
  int top = 0;
  ElementIndex().GetTopIndexByName(kChannelList, &top);
  const int slots = static_cast<int>(Layout()->Lists()[static_cast<std::size_t>(ListIndex(kChannelList))].items.size());
  if (to < top) ElementIndex().SetTopIndexByName(kChannelList, to);
  if (to >= top + slots) ElementIndex().SetTopIndexByName(kChannelList, to - slots + 1);
  ElementIndex().GetTopIndexByName(kChannelList, &top);
  m_selectedRow = to - top;
  SetSelectedItemByName(m_selectedRow, kChannelList);
  Redraw(0);
  return 1;
}

int CTvPage::PressFocusedEntry() {
  CTVConfig* tv = TV();
  if (tv && tv->m_nPageType == 1 && Frame().Services().GetVendorId() != 4)
    return tv->m_nTVMode == 2 ? OnAction("TV MainMenu Page") : 0;
  return CSkinPage::PressFocusedEntry();
}

int CTvPage::OnListItemAction(int list, int item) {
  CSkinPage::OnListItemAction(list, item);
  CTVConfig* tv = TV();
  const CLayoutReader* layout = Layout();
  if (!tv || !layout || list < 0 || list >= static_cast<int>(layout->Lists().size())) return 0;
  const std::string& name = layout->Lists()[static_cast<std::size_t>(list)].name;
  int index = -1;
  if (!ElementIndex().RowToItem(list, item, &index) || index < 0) return 0;
  if (name == kWallList) {
    if (index >= static_cast<int>(tv->m_tvWallCells.size())) return 0;
    const auto& cell = tv->m_tvWallCells[static_cast<std::size_t>(index)];
    if (cell.nChannel == 0) return 0;
    return Send("TV Stop TVWall", static_cast<std::intptr_t>(cell.nChannel));
  }
  if (name != kChannelList) return 0;
  const int count = static_cast<int>(std::min(tv->m_signalChannels.size(), tv->m_channelEnable.size()));
  if (index >= count) return 0;
  if (Frame().Services().GetVendorId() != 4) {
    int& flag = tv->m_channelEnable[static_cast<std::size_t>(index)];
    flag = flag ? 0 : 1;
    Send("TV Enable Channel", static_cast<std::intptr_t>(tv->m_signalChannels[static_cast<std::size_t>(index)]), flag);
    InvalidateFrame();
    return 1;
  }
  if (tv->m_nChannelEditMode <= 0) {
    m_selectedRow = item;
    m_selectedChannel = index;
    SetSelectedItemByName(item, kChannelList);
    tv->m_nChannelEditMode = 1;
    Redraw(0);
    HighlightListActionByName(0, "TV Channel Control List");
  } else if (tv->m_nChannelEditMode == 2) {
    EndChannelEdit();
  }
  return 1;
}

int CTvPage::OnAction(const std::string& name) {
  CTVConfig* tv = TV();
  if (name == "Close") Frame().Services().QuitApplication();
  if (name == "TV Preview Page" || name == "TV MainMenu Page") Frame().SetPlaybackBarPath(TV_PLAYBACK_BAR_PATH);
  if (tv) {
    if (name == "TV Preview Page" && tv->m_nPageType != 1) LoadLayout(kPreviewPath);
    if (name == "TV MainMenu Page" && tv->m_nPageType != 2) LoadLayout(kMainMenuPath);
    if (name == "TV NextView Page") {
      if (tv->m_nTVMode != 2) return 0;
      if (tv->m_nPageType != 10) LoadLayout(kGuidePath);
    }
    if (name == "TV SignalSetting Page" && tv->m_nPageType != 7) LoadLayout(kSignalPath);
  }
  if (tv && Frame().Services().GetVendorId() == 4) {
    const int count = static_cast<int>(std::min(tv->m_signalChannels.size(), tv->m_channelEnable.size()));
    const bool selected = tv->m_nChannelEditMode == 1 && m_selectedChannel >= 0 && m_selectedChannel < count;
    if (name == "TV ChannelSetting Page") {
      m_selectedRow = -1;
      m_selectedChannel = -1;
      FetchChannelColumns();
    } else if (name == "TV Disable") {
      if (!selected) return 0;
      int& flag = tv->m_channelEnable[static_cast<std::size_t>(m_selectedChannel)];
      flag = flag ? 0 : 1;
      Send("TV Enable Channel", static_cast<std::intptr_t>(tv->m_signalChannels[static_cast<std::size_t>(m_selectedChannel)]),
           flag);
      return EndChannelEdit();
    } else if (name == "TV Rename") {
      return selected ? EndChannelEdit() : 0;
    } else if (name == "TV Move") {
      if (!selected) return 0;
      tv->m_nChannelEditMode = 2;
      Redraw(0);
      SetSelectedItemByName(m_selectedRow, kChannelList);
      return 1;
    }
  }
  const int channelDigit = DigitOf(name, "TV Key ");
  const int teletextDigit = DigitOf(name, "TV Teletext Key ");
  if (channelDigit < 0 && teletextDigit < 0) return Send(name.c_str());
  if (!tv) return 0;
  const bool teletextShown = tv->m_nPageType == 1 && tv->m_nTeletextDisplay != 0;
  if (teletextDigit >= 0 || teletextShown) return m_digits.TeletextDigit(teletextDigit >= 0 ? teletextDigit : channelDigit);
  // Channel numbers are typed over the live picture or the time shift.
  if (tv->m_nTVMode != 2 && tv->m_nTVMode != 4) return 0;
  return m_digits.ChannelDigit(channelDigit, PresetsNow());
}
