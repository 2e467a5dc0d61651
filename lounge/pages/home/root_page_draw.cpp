// CRootPage: what the page draws over its skin: the clock, the user's name,
// and the large icon and caption of the highlighted entry. The clock and the
// entry are drawn over a copy of the back buffer straight onto the screen, so
// the back buffer keeps the plain skin under them.
#include <filesystem>

#include "lounge/shell/app_services.h"
#include "lounge/pages/home/root_page.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_records.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/gdi.h"
#include "platform/win/window.h"

using plat::COLORREF;
using plat::HDC;
using plat::RECT;

namespace {

// Colours of the page's own texts, by element and vendor.
COLORREF RootTextColour(const std::string& element, int vendor) {
  const bool dezad = vendor == VENDOR_DEZAD, vadu = vendor == VENDOR_VADU;
  if (element == "Time") return dezad ? 0xE183CF : vadu ? 0xFFFFFF : 0xFFCAA2;
  if (element == "Date") return dezad ? 0xE1A9EE : 0xFFCAA2;
  if (element == "UserName") return dezad ? 0xE1A9EE : 0xCE7947;
  if (element == "Module Name") return dezad ? 0x824075 : 0xCE7947;
  return 0xFFCAA2;
}

struct EntryArt {
  const char* entry;
  const char* icon;
  const char* caption;
};

constexpr EntryArt kEntryArt[] = {
    {"To PC", "root_topc.bmp", "TOPC"},
    {"Movie Entry", "root_movie.bmp", "MOVIES"},
    {"Photo Entry", "root_photo.bmp", "PHOTOS"},
    {"Video Entry", "root_video.bmp", "VIDEOS"},
    {"Music Entry", "root_music.bmp", "MUSIC"},
    {"Setting Entry", "root_settings.bmp", "SETTINGS"},
    {"Help Entry", "root_help.bmp", "HELP"},
    {"TV Entry", "root_tv.bmp", "TV"},
    {"Radio Entry", "root_radio.bmp", "RADIO"},
    {"Burning Entry", "root_burning.bmp", "BURNNING"},
};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

bool CRootPage::DrawOverBackBuffer(const RECT& rect, const std::function<void(HDC, const RECT&)>& draw) {
  if (!IsPainted() || !BackBuffer() || IsEmpty(rect) || !plat::IsWindow(Owner())) return false;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  BitmapPtr scratch(plat::CreateCompatibleBitmap(nullptr, width, height));
  if (!scratch) return false;
  MemoryDC back, work;
  if (!back.SelectBitmap(BackBuffer()) || !work.SelectBitmap(scratch.get())) return false;
  plat::BitBlt(work.get(), 0, 0, width, height, back.get(), rect.left, rect.top, plat::SRCCOPY);
  draw(work.get(), RECT{0, 0, width, height});
  HDC screen = plat::GetDC(Owner());
  plat::BitBlt(screen, rect.left, rect.top, width, height, work.get(), 0, 0, plat::SRCCOPY);
  plat::ReleaseDC(Owner(), screen);
  return true;
}

int CRootPage::DrawClock() {
  if (!IsPainted()) return 0;
  if (!m_locale) m_locale = UserDefaultLocale();
  const std::tm now = LocalTimeNow();
  const int vendor = Vendor();
  const bool dezad = vendor == VENDOR_DEZAD;
  auto drawPart = [&](const char* element, ClockPart part, int align) {
    RECT rect{};
    if (!GetTextScreenRectByName(element, &rect)) return false;
    const std::string text = FormatClockText(now, *m_locale, part);
    return DrawOverBackBuffer(rect, [&](HDC dc, const RECT& r) {
      DrawSkinTextDefaultFont(dc, r.left, r.top, r.right, r.bottom, text, align,
                              RootTextColour(element, vendor), SKIN_FIT_ELLIPSIS);
    });
  };
  const bool drawn = drawPart("Time", dezad ? ClockPart::Time : ClockPart::DateAndTime, dezad ? ALIGN_LEFT : ALIGN_CENTER);
  if (dezad) drawPart("Date", ClockPart::Date, ALIGN_LEFT);
  return drawn ? 1 : 0;
}

int CRootPage::DrawTextElement(int i, HDC dc, const RECT& rect, COLORREF colour) {
  std::string name;
  if (!Layout() || !Layout()->GetTextName(name, i) || name != "UserName")
    return CSkinPage::DrawTextElement(i, dc, rect, colour);
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, LoginName(), ALIGN_LEFT,
                          RootTextColour(name, Vendor()), SKIN_FIT_ELLIPSIS);
  return 1;
}

int CRootPage::DrawEntryHighlight(const std::string& name, int list, int action) {
  if (!IsPainted() || !Layout()) return 0;
  const int vendor = Vendor();
  std::string icon, captionKey;
  m_shownWebName.clear();
  if (name == "Web Entry" || name == "Updated Web Entry") {
    m_shownWebName = "Web Entry";
    int kind = 0, index = 0;
    const bool focused = FocusedList() == list && SplitEntry(list, FocusedEntry(), &kind, &index) &&
                         kind == ENTRY_ACTION && index == action;
    icon = vendor == VENDOR_NONE && m_mousePressed && focused ? "root_checkweb.bmp" : "root_web.bmp";
    captionKey = Frame().Options().webEntryCaptionKey;
  } else {
    for (const EntryArt& art : kEntryArt) {
      if (name != art.entry) continue;
      if (!(vendor == VENDOR_VADU && name == "Help Entry")) icon = art.icon, captionKey = art.caption;
      break;
    }
  }

  std::string background;
  Layout()->GetBackgroundImage(background);
  const std::string iconPath =
      icon.empty() ? std::string() : (std::filesystem::path(background).parent_path() / icon).string();
  std::string caption;
  if (!captionKey.empty()) LookupUIString(captionKey, caption);

  RECT iconRect{}, captionRect{};
  if (GetTextScreenRectByName("Module", &iconRect)) {
    // A missing icon file leaves the area showing the skin.
    DrawOverBackBuffer(iconRect, [&](HDC dc, const RECT& r) {
      if (!iconPath.empty()) DrawBitmapFile(iconPath, dc, r);
    });
  }
  if (GetTextScreenRectByName("Module Name", &captionRect)) {
    DrawOverBackBuffer(captionRect, [&](HDC dc, const RECT& r) {
      DrawSkinTextDefaultFont(dc, r.left, r.top, r.right, r.bottom, caption,
                              ALIGN_CENTER, RootTextColour("Module Name", vendor), SKIN_FIT_ELLIPSIS);
    });
  }
  return 1;
}
