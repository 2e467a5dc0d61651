// A skin page on the headless display for tests and benchmarks: colour-coded
// four-frame strips written into a temporary skin folder, layouts built from
// small XML pieces, a page whose state hooks answer from tables, a recording
// host and an owner window that feeds the page its paint, mouse and key
// messages.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "corebridge/core/config.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_page.h"
#include "lounge/skin/skin_paths.h"
#include "platform/display/display.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "temp_folder.h"

namespace skinpage {

using plat::HWND;
using plat::POINT;
using plat::RECT;

// Frame f of the strip of element `id` has red id * 4 + f, so a screen pixel
// tells which element and which state code was drawn.
constexpr std::uint32_t FrameColour(int id, int frame) {
  return 0xFF000000u | (static_cast<std::uint32_t>(id * 4 + frame) << 16) | 0x4080u;
}
inline int StateOf(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF) % 4; }
inline int ElementOf(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF) / 4; }

inline std::string Pos(int left, int top, int width, int height) {
  std::ostringstream out;
  out << "<position left=\"" << left << "\" top=\"" << top << "\" width=\"" << width << "\" height=\"" << height
      << "\"/>";
  return out.str();
}

inline std::string Img(const std::string& file) { return "<image value=\"" + file + "\"/>"; }

// Display texts by key.
class FakeStrings : public IUIStringLookup {
 public:
  std::map<std::string, std::string> texts;
  int Lookup(const std::string& key, std::string& text) const override {
    auto it = texts.find(key);
    if (it == texts.end()) return 0;
    text = it->second;
    return 1;
  }
};

// A host that records the sounds and actions asked of it.
class RecordingHost : public ISkinPageHost {
 public:
  CConfig* config = nullptr;
  std::vector<std::pair<std::string, plat::DWORD>> sounds;  // "" for a stop
  std::vector<std::string> executed;
  int hideBars = 0;
  CConfig* GetConfig() override { return config; }
  int ExecuteAction(const std::string& name, long, long) override {
    executed.push_back(name);
    return 1;
  }
  void PlaySound(const char* file, plat::DWORD flags) override { sounds.emplace_back(file ? file : "", flags); }
  void HideBarsOnKey() override { ++hideBars; }
  HWND frame = nullptr;
  HWND MainFrame() override { return frame; }
};

// A page whose hooks answer from tables keyed by name or by (list, index).
class TablePage : public CSkinPage {
 public:
  using CSkinPage::CSkinPage;
  using CSkinPage::SetIndicatorPosition;
  using Key = std::pair<int, int>;
  std::map<std::string, ElementState> buttons, links;
  std::set<std::string> hidden;  // still images, texts, lists by name
  std::map<Key, ElementState> items, actions, listLinks;
  std::vector<std::string> actionsRun;
  std::vector<std::string> textsAt;  // what DrawTextAt drew
  std::vector<Key> itemActions;

  static void Apply(const std::map<std::string, ElementState>& table, const std::string& name, int* shown,
                    int* enabled, int* checked) {
    auto it = table.find(name);
    if (it == table.end()) return;
    *shown = it->second.shown, *enabled = it->second.enabled, *checked = it->second.checked;
  }
  static void Apply(const std::map<Key, ElementState>& table, Key key, int* shown, int* enabled, int* checked) {
    auto it = table.find(key);
    if (it == table.end()) return;
    *shown = it->second.shown, *enabled = it->second.enabled, *checked = it->second.checked;
  }
  int QueryButtonState(const std::string& a, int* s, int* e, int* c) override { return Apply(buttons, a, s, e, c), 1; }
  int QueryLinkState(const std::string& n, int* s, int* e, int* c) override { return Apply(links, n, s, e, c), 1; }
  int QueryStillImageShown(const std::string& n, int* s) override { return *s = !hidden.count(n), 1; }
  int QueryTextShown(const std::string& n, int* s) override { return *s = !hidden.count(n), 1; }
  int QueryProgressShown(const std::string& n, int* s) override { return *s = !hidden.count(n), 1; }
  int QueryIndicatorShown(const std::string& n, int* s) override { return *s = !hidden.count(n), 1; }
  int QueryListShown(const std::string& n, int* s) override { return *s = !hidden.count(n), 1; }
  int QueryListItemState(int l, int j, int* s, int* e, int* c) override { return Apply(items, {l, j}, s, e, c), 1; }
  int QueryListActionState(int l, int j, int* s, int* e, int* c) override {
    return Apply(actions, {l, j}, s, e, c), 1;
  }
  int QueryListLinkState(int l, int j, int* s, int* e, int* c) override {
    return Apply(listLinks, {l, j}, s, e, c), 1;
  }
  int QueryListTextShown(int, int, int* s) override { return *s = 1, 1; }
  int QueryListImageShown(int, int, int* s) override { return *s = 1, 1; }
  int OnAction(const std::string& name) override {
    actionsRun.push_back(name);
    return 7;
  }
  int OnListItemAction(int list, int item) override {
    itemActions.emplace_back(list, item);
    return CSkinPage::OnListItemAction(list, item);
  }
  int DrawTextAt(const std::string& text, int l, int t, int r, int b, int align, plat::COLORREF colour,
                 int fit) override {
    textsAt.push_back(text);
    return CSkinPage::DrawTextAt(text, l, t, r, b, align, colour, fit);
  }
};

// The page the owner window feeds; one at a time.
inline CSkinPage*& RoutedPage() {
  static CSkinPage* page = nullptr;
  return page;
}

inline plat::LRESULT OwnerProc(HWND h, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
  CSkinPage* page = RoutedPage();
  const POINT point{static_cast<short>(l & 0xFFFF), static_cast<short>((l >> 16) & 0xFFFF)};
  if (page) {
    switch (msg) {
      case plat::WM_PAINT: return page->OnPaint(), 0;
      case plat::WM_MOUSEMOVE: return page->OnMouseMove(point), 0;
      case plat::WM_LBUTTONDOWN: return page->OnMouseDown(point), 0;
      case plat::WM_LBUTTONUP: return page->OnMouseUp(point), 0;
      case plat::WM_KEYDOWN: return page->OnKey(static_cast<plat::UINT>(w)), 0;
      case WM_RENAME_EDIT_KEY: return page->OnRenameEditKey(reinterpret_cast<HWND>(w), static_cast<int>(l)), 0;
      default: break;
    }
  }
  return plat::DefWindowProc(h, msg, w, l);
}

inline void Pump() {
  plat::MSG m;
  for (int i = 0; i < 10000 && plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE); ++i) {
    plat::TranslateMessage(&m);
    plat::DispatchMessage(&m);
  }
}

// Writes a strip of four solid frames, each `frameWidth` wide.
inline void WriteStrip(const TempFolder& folder, const std::string& relative, int id, int frameWidth = 8,
                       int height = 8) {
  plat::Surface surface(frameWidth * 4, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < frameWidth * 4; ++x) surface.set_pixel(x, y, FrameColour(id, x / frameWidth));
  std::vector<std::uint8_t> file = plat::gdi::EncodeBmp(surface, 24);
  folder.Write(relative, std::string(file.begin(), file.end()));
}

// Writes a solid bitmap; with `split` the right half gets the second colour.
inline void WriteSolid(const TempFolder& folder, const std::string& relative, std::uint32_t colour, int width,
                       int height, std::uint32_t rightColour = 0) {
  plat::Surface surface(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) surface.set_pixel(x, y, rightColour && x >= width / 2 ? rightColour : colour);
  std::vector<std::uint8_t> file = plat::gdi::EncodeBmp(surface, 24);
  folder.Write(relative, std::string(file.begin(), file.end()));
}

// Writes Layout/XML/<page>/layout.xml with a background of `width` x `height`.
inline void WriteLayout(const TempFolder& folder, const std::string& page, int width, int height,
                        const std::string& body) {
  std::string path = "Layout/XML/" + SkinNameToPosix(page) + "/layout.xml";
  folder.Write(path, "<page>" + Img("bg.bmp") + Pos(0, 0, width, height) + body + "</page>");
}

// Headless display, a visible owner window of `size` at the screen's corner,
// a temporary skin folder and the string table.
class PageEnvironment {
 public:
  explicit PageEnvironment(plat::SIZE size) {
    plat::display::DisplayOptions options;
    options.backend = "headless";
    options.size = size;
    std::string error;
    started = plat::display::StartDisplay(options, &error);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = "SkinPageOwner";
    plat::RegisterClass(&wc);
    owner = plat::CreateWindowEx(0, "SkinPageOwner", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, size.cx, size.cy,
                                 nullptr, nullptr, nullptr, nullptr);
    plat::SetFocus(owner);
    SetSkinBaseFolder(skin.path());
    SetUIStringTable(&strings);
    strings.texts["FONT1"] = "DejaVu Sans";
  }
  ~PageEnvironment() {
    RoutedPage() = nullptr;
    UnregisterUIStringTable(&strings);
    SetSkinBaseFolder({});
    if (plat::IsWindow(owner)) plat::DestroyWindow(owner);
    Pump();
    if (started) plat::display::StopDisplay();
  }
  PageEnvironment(const PageEnvironment&) = delete;
  PageEnvironment& operator=(const PageEnvironment&) = delete;

  // Dispatches what is waiting and composes the screen.
  void Settle() {
    Pump();
    plat::display::ComposeNow();
  }
  std::uint32_t Screen(int x, int y) const { return plat::display::CurrentHeadless()->pixel(x, y); }

  bool started = false;
  HWND owner = nullptr;
  TempFolder skin;
  FakeStrings strings;
};

}  // namespace skinpage
