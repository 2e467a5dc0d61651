#include "lounge/shell/playback_bar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/playback_bar_state.h"
#include "lounge/shell/playback_bar_text.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_regions.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/font.h"
#include "platform/gdi/region_object.h"
#include "platform/win/controls/controls.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using plat::HDC;
using plat::HWND;
using plat::LPARAM;
using plat::LRESULT;
using plat::POINT;
using plat::RECT;
using plat::UINT;
using plat::UINT_PTR;
using plat::WPARAM;

namespace {

constexpr std::array<const char*, 4> kVolumeButtons{"Vol Mute", "Vol Unmute", "Vol Up", "Vol Down"};
constexpr plat::COLORREF kRegionKey = 0xFF00FF;
constexpr plat::COLORREF kRegionTolerance = 0x101010;
constexpr float kSlideStep = 0.1f;
constexpr plat::COLORREF kWhite = 0xFFFFFF;
constexpr int kNarrowTextFit = 3;

bool IsVolumeButton(const std::string& action) {
  for (const char* name : kVolumeButtons)
    if (action == name) return true;
  return false;
}

POINT PointOf(LPARAM l) { return POINT{static_cast<short>(l & 0xFFFF), static_cast<short>((l >> 16) & 0xFFFF)}; }

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Steps of a tenth, kept on whole tenths so a slide ends after ten ticks.
float StepPosition(float position, float step) {
  float next = std::round((position + step) * 10.0f) / 10.0f;
  return next < 0.0f ? 0.0f : next > 1.0f ? 1.0f : next;
}

// The bar's tooltip: a timer that takes it down, and a click on it that goes
// to whatever lies under it, so the tip never swallows a click.
plat::WNDPROC g_tooltipClassProc = nullptr;

LRESULT TooltipProc(HWND tip, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == plat::WM_TIMER && wParam == kPlaybackTooltipHideTimer) {
    plat::SendMessage(tip, plat::TTM_POP, 0, 0);
    plat::KillTimer(tip, kPlaybackTooltipHideTimer);
    return 0;
  }
  if (msg == plat::WM_LBUTTONDOWN) {
    plat::SendMessage(tip, plat::TTM_POP, 0, 0);
    POINT point = PointOf(lParam);
    plat::ClientToScreen(tip, &point);
    HWND below = plat::WindowFromPoint(point);
    if (below && below != tip) {
      plat::ScreenToClient(below, &point);
      plat::SendMessage(below, plat::WM_LBUTTONDOWN, wParam, plat::MAKELPARAM(point.x, point.y));
    }
    return 0;
  }
  return plat::CallWindowProc(g_tooltipClassProc, tip, msg, wParam, lParam);
}

}  // namespace

std::unique_ptr<CPlaybackBar> CPlaybackBar::Create(HWND frame, ISkinPageHost* host, const std::string& layoutPath,
                                                   int vendor) {
  static const bool registered = [] {
    plat::WNDCLASS wc;
    wc.style = 0;
    wc.lpfnWndProc = &CPlaybackBar::WindowProc;
    wc.lpszClassName = kPlaybackBarClass;
    return plat::RegisterClass(&wc) != 0;
  }();
  (void)registered;
  plat::RegisterControlClasses();
  HWND window = plat::CreateWindowEx(0, kPlaybackBarClass, kPlaybackBarClass,
                                     plat::WS_CHILD | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                                     nullptr, nullptr, nullptr);
  if (!window) return nullptr;
  std::unique_ptr<CPlaybackBar> bar(new CPlaybackBar(window, host, vendor));
  plat::SetWindowLongPtr(window, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(bar.get()));
  bar->CreateTooltip();
  bar->LoadLayout(layoutPath);
  return bar;
}

CPlaybackBar::CPlaybackBar(HWND window, ISkinPageHost* host, int vendor) : CSkinPage(window, host), m_vendor(vendor) {}

CPlaybackBar::~CPlaybackBar() {
  StopSlideTimers();
  HWND window = Owner();
  if (plat::IsWindow(m_tooltip)) plat::DestroyWindow(m_tooltip);
  if (plat::IsWindow(window)) {
    plat::SetWindowLongPtr(window, plat::GWLP_USERDATA, 0);
    plat::DestroyWindow(window);
  }
}

HWND CPlaybackBar::Frame() const { return plat::GetParent(Owner()); }

// ---- layout and position ----

int CPlaybackBar::LoadLayout(const std::string& path) {
  if (!CSkinPage::LoadLayout(path)) return 0;
  RECT client{};
  plat::GetClientRect(Frame(), &client);
  const int width = client.right - client.left;
  plat::ShowWindow(Owner(), plat::SW_HIDE);
  plat::SetWindowPos(Owner(), nullptr, 0, client.bottom, width, HeightAt(width),
                     plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
  // The bar now lies fully below the frame; the stored fraction says so, or
  // a later show without animation would find "already at 0" and stay out.
  StopSlideTimers();
  m_position = 1.0f;
  UpdateRegion();
  if (!m_clockTimerStarted) {
    plat::SetTimer(Owner(), kPlaybackBarClockTimer, 1000, nullptr);
    m_clockTimerStarted = true;
  }
  m_volumeCache.clear();
  return 1;
}

void CPlaybackBar::UpdateRegion() {
  std::string background;
  if (!Layout() || !Layout()->GetBackgroundImage(background) || background.empty()) return;
  RECT client{};
  plat::GetClientRect(Owner(), &client);
  const plat::SIZE size{client.right - client.left, client.bottom - client.top};
  // The bar is drawn stretched to its window, which spans the frame's width:
  // the see-through region is cut from the background at that size, not at
  // the bitmap's own. A slide keeps the size and keeps the region.
  if (background == m_regionImage && size.cx == m_regionSize.cx && size.cy == m_regionSize.cy) return;
  plat::HRGN region = LoadRegionFromBitmapFileAtSize(background, size, kRegionKey, kRegionTolerance);
  if (!region) return;
  // The window takes the region it is given; one it refuses is ours.
  if (!plat::SetWindowRgn(Owner(), region, plat::TRUE)) {
    plat::DeleteObject(region);
    return;
  }
  m_regionImage = background;
  m_regionSize = size;
}

int CPlaybackBar::HeightAt(int barWidth) {
  int size[2] = {0, 0};
  GetPageSize(size);
  if (size[0] <= 0 || size[1] <= 0 || barWidth <= 0) return size[1] > 0 ? size[1] : 0;
  // The skin draws the bar for its own width; across a frame of another
  // width the bar keeps its proportions (its buttons stay round), as the
  // caption bar and the pages do.
  return static_cast<int>(static_cast<long long>(size[1]) * barWidth / size[0]);
}

void CPlaybackBar::SetPosition(float fraction) {
  m_position = fraction;
  RECT client{};
  plat::GetClientRect(Frame(), &client);
  const int height = HeightAt(client.right - client.left);
  const int top = client.bottom + static_cast<int>(static_cast<float>(height) * fraction) - height;
  plat::SetWindowPos(Owner(), nullptr, 0, top, client.right - client.left, height,
                     plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);
}

void CPlaybackBar::StopSlideTimers() {
  if (m_slideTimer && plat::IsWindow(Frame())) plat::KillTimer(Frame(), m_slideTimer);
  m_slideTimer = 0;
  m_slidingIn = false;
}

int CPlaybackBar::SetVisible(int show, int animate, bool cursorOverCaptionBar) {
  if (show && animate && m_slidingIn) return 1;
  if (!show && animate) {
    // Sliding away under the cursor would pull the bar from under a click.
    if (ContainsCursor() || cursorOverCaptionBar) return 1;
    StopSlideTimers();
    m_slideTimer = plat::SetTimer(Frame(), kPlaybackBarSlideOutTimer, kSlideOutStepMs, nullptr);
    return 1;
  }
  StopSlideTimers();
  const UINT raise = plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_NOACTIVATE | plat::SWP_SHOWWINDOW;
  if (show && animate) {
    if (!plat::IsWindowVisible(Owner())) plat::SetWindowPos(Owner(), plat::HWND_TOP, 0, 0, 0, 0, raise);
    m_slideTimer = plat::SetTimer(Frame(), kPlaybackBarSlideInTimer, kSlideInStepMs, nullptr);
    m_slidingIn = true;
  } else if (show) {
    if (m_position != 0.0f) SetPosition(0.0f);
    plat::SetWindowPos(Owner(), plat::HWND_TOP, 0, 0, 0, 0, raise);
  } else {
    plat::ShowWindow(Owner(), plat::SW_HIDE);
    SetPosition(1.0f);
    plat::ShowWindow(Owner(), plat::SW_HIDE);
  }
  return 1;
}

int CPlaybackBar::OnSlideTimer(UINT_PTR id) {
  switch (id) {
    case kPlaybackBarDelayedHideTimer:
      StopSlideTimers();
      m_slideTimer = plat::SetTimer(Frame(), kPlaybackBarSlideOutTimer, kSlideOutStepMs, nullptr);
      return 1;
    case kPlaybackBarSlideInTimer:
      SetPosition(StepPosition(m_position, -kSlideStep));
      if (m_position <= 0.0f) StopSlideTimers();
      return 1;
    case kPlaybackBarSlideOutTimer:
      SetPosition(StepPosition(m_position, kSlideStep));
      if (m_position >= 1.0f) StopSlideTimers();
      return 1;
    default:
      return 0;
  }
}

bool CPlaybackBar::ContainsCursor() const {
  HWND window = Owner();
  if (!plat::IsWindowVisible(window)) return false;
  POINT cursor{};
  RECT bar{};
  if (!plat::GetCursorPos(&cursor) || !plat::GetWindowRect(window, &bar) || !Contains(bar, cursor)) return false;
  plat::HRGN region = plat::CreateRectRgn(0, 0, 0, 0);
  bool inside = true;
  if (plat::GetWindowRgn(window, region) != plat::ERROR)
    inside = plat::PtInRegion(region, cursor.x - bar.left, cursor.y - bar.top) != 0;
  plat::DeleteObject(region);
  return inside;
}

// ---- state queries and actions ----

int CPlaybackBar::QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  CConfig* config = Host() ? Host()->GetConfig() : nullptr;
  if (!config) return 0;
  return QueryPlaybackBarActionState(*config, m_vendor, action, *shown, *enabled, *checked);
}

int CPlaybackBar::QueryLinkState(const std::string&, int*, int*, int*) { return 1; }
int CPlaybackBar::QueryStillImageShown(const std::string&, int*) { return 1; }
int CPlaybackBar::QueryTextShown(const std::string&, int*) { return 1; }
int CPlaybackBar::QueryProgressShown(const std::string&, int*) { return 1; }
int CPlaybackBar::QueryIndicatorShown(const std::string&, int*) { return 1; }
int CPlaybackBar::QueryListShown(const std::string&, int*) { return 1; }
int CPlaybackBar::QueryListItemState(int, int, int*, int*, int*) { return 1; }
int CPlaybackBar::QueryListActionState(int, int, int*, int*, int*) { return 1; }
int CPlaybackBar::QueryListLinkState(int, int, int*, int*, int*) { return 1; }
int CPlaybackBar::QueryListTextShown(int, int, int*) { return 1; }
int CPlaybackBar::QueryListImageShown(int, int, int*) { return 1; }

int CPlaybackBar::OnAction(const std::string& name) { return Host() ? Host()->ExecuteAction(name, 0, 0) : 0; }

// ---- drawing ----

int CPlaybackBar::DrawButton(int i, HDC dc, const RECT& rect) {
  // The volume buttons draw from their cache, which RefreshVolumeButtons
  // keeps current without a full redraw.
  std::string action;
  if (Layout() && Layout()->GetButtonAction(action, i)) {
    for (const VolumeCache& cached : m_volumeCache) {
      if (cached.action != action) continue;
      if (!cached.states[0]) return 1;
      const int state = !cached.states[1]   ? STATE_DISABLED
                        : cached.states[2] ? STATE_PRESSED
                        : i == HighlightedButton() ? STATE_HIGHLIGHTED
                                                   : STATE_NORMAL;
      std::string image;
      Layout()->GetButtonImage(image, i);
      DrawStateImage(image, state, dc, rect);
      return 1;
    }
  }
  return CSkinPage::DrawButton(i, dc, rect);
}

int CPlaybackBar::DrawProgress(int i, HDC dc, const RECT& rect) {
  CConfig* config = Host() ? Host()->GetConfig() : nullptr;
  std::string name, file;
  if (!config || !Layout() || !Layout()->GetProgressName(name, i) || name != "Vol Progress" ||
      !Layout()->GetProgressImage(file, i))
    return CSkinPage::DrawProgress(i, dc, rect);
  // The image holds the empty bar in its left half and the full one in its right.
  const BitmapPtr empty(LoadBitmapFileSlice(file, 0.0f, 0.5f));
  const BitmapPtr full(LoadBitmapFileSlice(file, 0.5f, 1.0f));
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (!empty || !full || width <= 0 || height <= 0) return 0;
  DrawBitmap(empty.get(), dc, rect);
  const float volume = std::clamp(config->m_fCurVolume, 0.0f, 1.0f);
  const int filled = static_cast<int>(std::lround(static_cast<double>(width) * volume));
  const BitmapPtr stretched(StretchBitmap(full.get(), plat::SIZE{width, height}));
  MemoryDC source;
  if (filled <= 0 || !stretched || !source.SelectBitmap(stretched.get())) return 1;
  // The full bar's body up to the level, then its right end moved to the
  // level, so a partly filled bar ends rounded rather than sliced.
  const int end = std::min(height / 2, filled / 2);
  plat::BitBlt(dc, rect.left, rect.top, filled - end, height, source.get(), 0, 0, plat::SRCCOPY);
  plat::BitBlt(dc, rect.left + filled - end, rect.top, end, height, source.get(), width - end, 0, plat::SRCCOPY);
  return 1;
}

int CPlaybackBar::DrawTextElement(int i, HDC dc, const RECT& rect, plat::COLORREF colour) {
  CConfig* config = Host() ? Host()->GetConfig() : nullptr;
  std::string name;
  if (config && config->m_pRadio && Layout() && Layout()->GetTextName(name, i)) {
    std::string text;
    if (name == "Radio Signal Type Text") {
      const std::string key = RadioSignalTypeKey(config->m_pRadio->m_nCurBand);
      if (!key.empty()) LookupUIString(key, text);
    } else if (name == "Radio Frequency Text") {
      text = FormatRadioFrequency(*config->m_pRadio, UserDecimalPoint());
    } else if (name == "Radio Record Time Text") {
      text = RadioRecordTimeText();
      if (text.empty()) return 1;
    }
    if (!text.empty()) {
      const LayoutText& element = Layout()->Texts()[static_cast<size_t>(i)];
      DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), text, element.align,
                   colour, kNarrowTextFit);
      return 1;
    }
  }
  return CSkinPage::DrawTextElement(i, dc, rect, colour);
}

std::string CPlaybackBar::RadioRecordTimeText() {
  CConfig* config = Host() ? Host()->GetConfig() : nullptr;
  const CRadioConfig* radio = config ? config->m_pRadio.get() : nullptr;
  const bool recording =
      radio && (radio->m_nRecordState == RADIO_RECORDING || radio->m_nRecordState == RADIO_SCHEDULED_RECORDING);
  if (!recording) {
    m_recordingFile.clear();
    m_recordingSince = {};
    return {};
  }
  const auto now = std::chrono::steady_clock::now();
  // A new file is a new recording: its time starts again.
  if (m_recordingSince == std::chrono::steady_clock::time_point{} || m_recordingFile != radio->m_strRecordingFile) {
    m_recordingFile = radio->m_strRecordingFile;
    m_recordingSince = now;
  }
  return FormatRecordTime(std::chrono::duration<double>(now - m_recordingSince).count());
}

std::string CPlaybackBar::PlayTimeText() const {
  double first = 0, second = 0;
  const bool known = m_playTimes && m_playTimes(first, second);
  return FormatPlayTime(known, first, second);
}

void CPlaybackBar::DrawPlayTime() {
  if (m_vendor != VENDOR_VADU || !IsLoaded()) return;
  CConfig* config = Host() ? Host()->GetConfig() : nullptr;
  if (!config) return;
  const char* element = config->m_nActiveModule == MODULE_MOVIE   ? "Movie Time"
                        : config->m_nActiveModule == MODULE_VIDEO ? "Video Time"
                                                                  : nullptr;
  RECT rect{};
  if (!element || !GetTextScreenRectByName(element, &rect)) return;
  const std::string text = PlayTimeText();
  HDC dc = plat::GetDC(Owner());
  // The element's background from the back buffer, then the time over it.
  BlitBackBuffer(dc, rect);
  const plat::COLORREF colour = config->m_nActiveModule == MODULE_VIDEO ? kWhite : 0;
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, ALIGN_CENTER, colour,
                          kNarrowTextFit);
  plat::ReleaseDC(Owner(), dc);
}

int CPlaybackBar::RefreshTextByName(const std::string& name) {
  int i = -1;
  plat::RECT rect{};
  if (!IsLoaded() || !Layout() || !Layout()->FindText(name, i) || !GetTextScreenRect(i, &rect)) return 0;
  const plat::RECT& whole = BackBufferRect();
  // The bar's background alone, drawn once per background and size: a seek
  // refreshes the text at every step.
  std::string path;
  Layout()->GetBackgroundImage(path);
  const std::string key = path + "|" + std::to_string(whole.right) + "x" + std::to_string(whole.bottom);
  if (!m_plainBackground || m_plainBackgroundKey != key) {
    MemoryDC scratch;
    BitmapPtr background(plat::CreateCompatibleBitmap(scratch.get(), whole.right, whole.bottom));
    if (!scratch || !background || !scratch.SelectBitmap(background.get())) return 0;
    DrawBackground(scratch.get());
    m_plainBackground = std::move(background);
    m_plainBackgroundKey = key;
  }
  RefreshArea(true, rect, -1, [&](HDC dc) {
    MemoryDC source;
    if (!source || !source.SelectBitmap(m_plainBackground.get())) return;
    plat::BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.get(), rect.left,
                 rect.top, plat::SRCCOPY);
  });
  return 1;
}

int CPlaybackBar::SetVolumeProgress(float value) { return SetProgressValue("Vol Progress", value, 0.0f); }

int CPlaybackBar::RefreshVolumeButtons() {
  if (!Layout()) return 0;
  int repainted = 0;
  for (int i = 0; i < static_cast<int>(Layout()->Buttons().size()); ++i) {
    const std::string& action = Layout()->Buttons()[static_cast<size_t>(i)].action;
    if (!IsVolumeButton(action)) continue;
    int states[4] = {1, 1, 0, 0};
    QueryButtonState(action, &states[0], &states[1], &states[2]);
    auto cached = std::find_if(m_volumeCache.begin(), m_volumeCache.end(),
                               [&](const VolumeCache& c) { return c.action == action; });
    if (cached != m_volumeCache.end() && std::equal(states, states + 4, cached->states)) continue;
    if (cached == m_volumeCache.end()) cached = m_volumeCache.insert(m_volumeCache.end(), VolumeCache{action, {}});
    std::copy(states, states + 4, cached->states);
    RefreshButton(i);
    ++repainted;
  }
  return repainted;
}

int CPlaybackBar::HitTestTipArea(POINT point) {
  for (size_t i = 0; i < m_tipAreas.size(); ++i)
    if (Contains(m_tipAreas[i].rect, point)) return static_cast<int>(i);
  return -1;
}

int CPlaybackBar::AddTipArea(const RECT& rect, const std::string& text) {
  const POINT corner{rect.left, rect.top};
  int list = -1;
  if (HitTestButton(corner) < 0 && HitTestLink(corner) < 0 && HitTestListAction(corner, &list) < 0)
    m_tipAreas.push_back(PlaybackTipArea{rect, text});
  return 1;
}

// ---- tooltip ----

void CPlaybackBar::CreateTooltip() {
  m_tooltip = plat::CreateWindowEx(plat::WS_EX_TOPMOST, plat::TOOLTIPS_CLASS, nullptr,
                                   plat::WS_POPUP | plat::TTS_ALWAYSTIP, 0, 0, 0, 0, Owner(), nullptr, nullptr,
                                   nullptr);
  if (!m_tooltip) return;
  const auto classProc = reinterpret_cast<plat::WNDPROC>(
      plat::SetWindowLongPtr(m_tooltip, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&TooltipProc)));
  if (!g_tooltipClassProc) g_tooltipClassProc = classProc;
  plat::SendMessage(m_tooltip, plat::TTM_SETDELAYTIME, plat::TTDT_AUTOMATIC, 100);
  char empty[1] = "";
  plat::TOOLINFO tool;
  tool.uFlags = plat::TTF_IDISHWND | plat::TTF_TRACK | plat::TTF_ABSOLUTE;
  tool.hwnd = Owner();
  tool.uId = reinterpret_cast<UINT_PTR>(Owner());
  tool.lpszText = empty;
  plat::SendMessage(m_tooltip, plat::TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));
}

void CPlaybackBar::HideTooltip() {
  if (m_tooltip) plat::SendMessage(m_tooltip, plat::TTM_POP, 0, 0);
}

void CPlaybackBar::UpdateTooltip(POINT point) {
  if (!m_tooltip || !Layout()) return;
  std::string name;
  RECT element{};
  const int button = HitTestButton(point);
  int list = -1;
  if (button >= 0) {
    Layout()->GetButtonAction(name, button);
    GetButtonScreenRect(button, &element);
  } else if (const int action = HitTestListAction(point, &list); action >= 0) {
    Layout()->GetListActionName(name, action, list);
    GetListActionScreenRect(action, list, &element);
  }
  std::string text;
  if (!name.empty()) LookupUIString(name, text);
  if (text.empty()) {
    HideTooltip();
    m_tooltipText.clear();
    return;
  }
  RECT bar{};
  plat::GetWindowRect(Owner(), &bar);
  POINT cursor = point;
  plat::ClientToScreen(Owner(), &cursor);
  POINT elementCorner{element.left, element.top}, elementEnd{element.right, element.bottom};
  plat::ClientToScreen(Owner(), &elementCorner);
  plat::ClientToScreen(Owner(), &elementEnd);
  const int barHeight = bar.bottom - bar.top;
  RECT band{cursor.x, 0, cursor.x + (bar.right - bar.left), bar.top};
  band.top = m_tooltipHeight > 0 ? bar.top - m_tooltipHeight
                                 : bar.top - static_cast<int>(static_cast<float>(barHeight) * 0.33333334f);
  if (m_vendor == VENDOR_VADU) band = RECT{elementEnd.x, bar.top, elementEnd.x + (bar.right - bar.left), bar.top + m_tooltipHeight};

  if (text == m_tooltipText && plat::IsWindowVisible(m_tooltip)) return;
  m_tooltipText = text;
  plat::LOGFONTA font;
  font.lfHeight = (band.bottom - band.top) + 8;
  font.lfWeight = 400;
  font.lfCharSet = plat::DEFAULT_CHARSET;
  font.lfQuality = plat::ANTIALIASED_QUALITY;
  const std::string face = UIStringOrEmpty("FONT1");
  std::strncpy(font.lfFaceName, face.c_str(), sizeof font.lfFaceName - 1);
  m_tooltipFont.reset(plat::CreateFontIndirect(&font));
  plat::SendMessage(m_tooltip, plat::WM_SETFONT, reinterpret_cast<WPARAM>(m_tooltipFont.get()), 0);

  std::string copy = text;
  plat::TOOLINFO tool;
  tool.uFlags = plat::TTF_IDISHWND | plat::TTF_TRACK | plat::TTF_ABSOLUTE;
  tool.hwnd = Owner();
  tool.uId = reinterpret_cast<UINT_PTR>(Owner());
  tool.lpszText = copy.data();
  plat::SendMessage(m_tooltip, plat::TTM_TRACKACTIVATE, plat::TRUE, reinterpret_cast<LPARAM>(&tool));
  plat::SendMessage(m_tooltip, plat::TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&tool));
  plat::SendMessage(m_tooltip, plat::TTM_UPDATE, 0, 0);
  plat::SendMessage(m_tooltip, plat::TTM_SETMAXTIPWIDTH, 0, (band.right - band.left) + 4);
  RECT tip{};
  plat::GetWindowRect(m_tooltip, &tip);
  plat::SendMessage(m_tooltip, plat::TTM_TRACKPOSITION, 0,
                    plat::MAKELPARAM(elementCorner.x, elementCorner.y - (tip.bottom - tip.top)));
}

// ---- press repeat ----

void CPlaybackBar::OnButtonDown(POINT point) {
  m_repeatTimer = plat::SetTimer(Owner(), kPressRepeatDelayTimer, kPressRepeatDelayMs, nullptr);
  m_pressed = true;
  plat::SetCapture(Owner());
  OnMouseDown(point);
}

void CPlaybackBar::OnButtonUp(POINT point) {
  if (m_repeatTimer) plat::KillTimer(Owner(), m_repeatTimer);
  m_repeatTimer = 0;
  m_pressed = false;
  OnMouseUp(point);
  plat::ReleaseCapture();
}

void CPlaybackBar::OnBarTimer(UINT_PTR id) {
  if (id == kPlaybackBarClockTimer) {
    DrawPlayTime();
    // The recording time counts on while the radio records, and goes once it stops.
    const bool recording = !RadioRecordTimeText().empty();
    if (recording || m_recordTimeShown) RefreshTextByName("Radio Record Time Text");
    m_recordTimeShown = recording;
  } else if (id == kPressRepeatDelayTimer) {
    plat::KillTimer(Owner(), kPressRepeatDelayTimer);
    m_repeatTimer = 0;
    if (m_pressed) m_repeatTimer = plat::SetTimer(Owner(), kPressRepeatTimer, kPressRepeatMs, nullptr);
  } else if (id == kPressRepeatTimer) {
    plat::KillTimer(Owner(), kPressRepeatTimer);
    m_repeatTimer = 0;
    if (!m_pressed) return;
    POINT cursor{};
    plat::GetCursorPos(&cursor);
    plat::ScreenToClient(Owner(), &cursor);
    // The page runs a button's action when it is released over it: each
    // repeat releases and presses again where the cursor is.
    OnMouseMove(cursor);
    OnMouseUp(cursor);
    OnMouseDown(cursor);
    if (m_pressed) m_repeatTimer = plat::SetTimer(Owner(), kPressRepeatTimer, kPressRepeatMs, nullptr);
  }
}

// ---- messages ----

LRESULT CPlaybackBar::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* bar = reinterpret_cast<CPlaybackBar*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (!bar) return plat::DefWindowProc(hwnd, msg, wParam, lParam);
  return bar->Handle(msg, wParam, lParam);
}

LRESULT CPlaybackBar::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND window = Owner();
  if (m_tooltip && msg >= plat::WM_MOUSEMOVE && msg <= plat::WM_MBUTTONUP && msg != plat::WM_LBUTTONDBLCLK &&
      msg != plat::WM_RBUTTONDBLCLK) {
    plat::MSG relay{window, msg, wParam, lParam, 0, {}};
    plat::SendMessage(m_tooltip, plat::TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  switch (msg) {
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_PAINT:
      OnPaint();
      DrawPlayTime();
      return 0;
    case plat::WM_SIZE:
      CreateBackBuffer();
      UpdateRegion();
      return plat::DefWindowProc(window, msg, wParam, lParam);
    case plat::WM_SHOWWINDOW: {
      const LRESULT result = plat::DefWindowProc(window, msg, wParam, lParam);
      HideTooltip();
      return result;
    }
    case plat::WM_MOUSEMOVE: {
      if (!m_tracking) {
        plat::TRACKMOUSEEVENT track;
        track.dwFlags = plat::TME_LEAVE;
        track.hwndTrack = window;
        track.dwHoverTime = 1;
        m_tracking = plat::TrackMouseEvent(&track) != 0;
      }
      if (m_frameMouseHook) m_frameMouseHook(HitTestButton(PointOf(lParam)) >= 0);
      OnMouseMove(PointOf(lParam));
      UpdateTooltip(PointOf(lParam));
      return 0;
    }
    case plat::WM_MOUSELEAVE:
      m_tracking = false;
      ClearAllHighlights();
      HideTooltip();
      return 0;
    case plat::WM_LBUTTONDOWN:
      OnButtonDown(PointOf(lParam));
      return 0;
    case plat::WM_LBUTTONUP:
      OnButtonUp(PointOf(lParam));
      return 0;
    case plat::WM_LBUTTONDBLCLK:
      OnDoubleClick(PointOf(lParam));
      return 0;
    case plat::WM_KEYDOWN:
      // Keys that reach the bar are the page's key handling, as on the
      // caption bar.
      OnKey(static_cast<plat::UINT>(wParam));
      return 0;
    case plat::WM_TIMER:
      OnBarTimer(static_cast<UINT_PTR>(wParam));
      return 0;
    default:
      return plat::DefWindowProc(window, msg, wParam, lParam);
  }
}
