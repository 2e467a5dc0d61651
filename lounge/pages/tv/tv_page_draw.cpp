// CTvPage: what the texts, list texts and list items show, and which of them
// are shown, all from the TV section of the configuration.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/tv_config.h"
#include "lounge/pages/tv/tv_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/checked_format.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

namespace {

constexpr plat::COLORREF kWhite = 0xFFFFFF;
constexpr plat::COLORREF kDisabledChannel = 0x533316;
constexpr plat::COLORREF kCellText = 0x333333;

// A string-table format with one "%s", filled without handing it to printf.
std::string FormatOne(const std::string& key, const std::string& value) {
  const auto filled = CheckedFormat(UIStringOrEmpty(key), {value});
  return filled ? *filled : value;
}

bool IsEmpty(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

std::string CTvPage::TextFor(const std::string& name) const {
  const CTVConfig* tv = TV();
  if (!tv) return {};
  const bool vendor4 = Frame().Services().GetVendorId() == 4;
  if (name == "TV Channel Name" || name == "TV AutoScan Channel Name") return tv->m_strChannelName;
  if (name == "TV Page Number") return tv->m_strTeletextPage;
  if (name == "TV NoChannel Message") return UIStringOrEmpty("NOCHANNEL");
  if (name == "TV AutoScan Percentage") return vendor4 ? tv->m_strProgressText : FormatOne("AUTOSCANINFO", tv->m_strProgressText);
  return {};
}

std::string CTvPage::ListTextFor(const std::string& name) const {
  const CTVConfig* tv = TV();
  if (!tv) return {};
  auto at = [](const std::vector<std::string>& names, int index) {
    return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)] : std::string();
  };
  if (name == "TV Source") return UIStringOrEmpty(tv->m_nVideoSource ? "ANTENNA" : "CABLE");
  if (name == "TV Country") return at(tv->m_arrCountryNames, tv->m_nCountryListIndex);
  if (name == "TV Record Quality") return at(tv->m_arrProfileNames, tv->m_nProfileIndex);
  if (name == "TV Estimate Time") return FormatOne("TVESTIMATETIME", tv->m_strRemainingTime);
  if (name == "TV Disable") {
    const int i = m_selectedChannel;
    const bool disabled = i >= 0 && i < static_cast<int>(tv->m_channelEnable.size()) &&
                          !tv->m_channelEnable[static_cast<std::size_t>(i)];
    return UIStringOrEmpty(disabled ? "ENABLE" : "DISABLE");
  }
  if (name == "TV NextView Channel") {
    const int i = tv->m_nGuideChannel - 1;
    if (i < 0 || i >= static_cast<int>(tv->m_arrAllChannels.size())) return {};
    const auto it = tv->m_channelNames.find(tv->m_arrAllChannels[static_cast<std::size_t>(i)]);
    return it == tv->m_channelNames.end() ? std::string() : it->second;
  }
  if (name == "TV NextView Date") {
    // The controller keeps the guide's day as the time of its midnight.
    const std::time_t day = static_cast<std::time_t>(tv->m_nGuideRange);
    std::tm local{};
    if (day <= 0 || !localtime_r(&day, &local)) return {};
    char text[48];
    std::snprintf(text, sizeof(text), "%d / %02d / %02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
  }
  return {};
}

void CTvPage::FetchChannelColumns() {
  m_presetColumn = m_nameColumn = m_numberColumn = plat::RECT{};
  if (ListIndex("TV Channel List") < 0) return;
  GetListTextScreenRectByName("PRESET", "TV Channel List", &m_presetColumn);
  GetListTextScreenRectByName("CHNAME", "TV Channel List", &m_nameColumn);
  GetListTextScreenRectByName("CHNUMBER", "TV Channel List", &m_numberColumn);
}

void CTvPage::DrawChannelColumns(int index, plat::HDC dc, const plat::RECT& item) {
  const CTVConfig* tv = TV();
  if (!tv) return;
  if (IsEmpty(m_presetColumn) && IsEmpty(m_nameColumn) && IsEmpty(m_numberColumn)) FetchChannelColumns();
  const std::size_t at = static_cast<std::size_t>(index);
  const std::uint32_t number = tv->m_signalChannels[at];
  // The preset is the channel's position among the enabled channels.
  std::string preset;
  if (tv->m_channelEnable[at]) {
    const auto enabled = std::count_if(tv->m_channelEnable.begin(), tv->m_channelEnable.begin() + index + 1,
                                       [](int flag) { return flag != 0; });
    preset = std::to_string(enabled);
  }
  const auto it = tv->m_channelNames.find(number);
  const std::string name = it == tv->m_channelNames.end() ? std::string() : it->second;
  const std::pair<const plat::RECT*, std::string> columns[] = {
      {&m_presetColumn, preset}, {&m_nameColumn, name}, {&m_numberColumn, std::to_string(number)}};
  for (const auto& [column, text] : columns) {
    if (IsEmpty(*column) || text.empty()) continue;
    DrawSkinTextDefaultFont(dc, column->left, item.top, column->right, item.bottom, text, ALIGN_CENTER, kWhite,
                            SKIN_FIT_ELLIPSIS);
  }
}

void CTvPage::DrawGuideRow(int row, plat::HDC dc, const plat::RECT& check, const plat::RECT& text) {
  const CTVConfig* tv = TV();
  if (!tv || row < 0 || row >= static_cast<int>(tv->m_guideRows.size())) return;
  const TVGuideRow& entry = tv->m_guideRows[static_cast<std::size_t>(row)];
  if (!entry.bPresent) return;
  char times[64];
  std::snprintf(times, sizeof(times), "%02d:%02d -- %02d:%02d", entry.nStartHour, entry.nStartMinute, entry.nEndHour,
                entry.nEndMinute);
  if (!IsEmpty(check))
    DrawSkinTextDefaultFont(dc, check.left, check.top, check.right, check.bottom, times, ALIGN_CENTER, kCellText,
                            SKIN_FIT_ELLIPSIS);
  std::string title = entry.strTitle;
  std::replace(title.begin(), title.end(), '\n', ' ');
  std::replace(title.begin(), title.end(), '\r', ' ');
  if (!IsEmpty(text))
    DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, title, ALIGN_LEFT, kCellText,
                            SKIN_FIT_ELLIPSIS);
}

int CTvPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Texts().size())) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const LayoutText& element = layout->Texts()[static_cast<std::size_t>(i)];
  const std::string text = TextFor(element.name);
  if (text.empty()) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  int align = element.align;
  if (element.name == "TV Channel Name" || element.name == "TV Page Number") align = ALIGN_LEFT;
  // The auto-scan texts: centred, or as vendor 4 lays them out (name left,
  // progress right).
  const bool vendor4 = Frame().Services().GetVendorId() == 4;
  if (element.name == "TV AutoScan Channel Name") align = vendor4 ? ALIGN_LEFT : ALIGN_CENTER;
  if (element.name == "TV AutoScan Percentage") align = vendor4 ? ALIGN_RIGHT : ALIGN_CENTER;
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, align, colour, SKIN_FIT_ELLIPSIS);
  return 1;
}

int CTvPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const CLayoutList& layoutList = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(layoutList.texts.size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const LayoutText& element = layoutList.texts[static_cast<std::size_t>(text)];
  const std::string value = ListTextFor(element.name);
  if (value.empty()) return CSkinPage::DrawListText(text, dc, rect, list, colour);
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, value, element.align, colour,
                          SKIN_FIT_SHRINK);
  return 1;
}

int CTvPage::DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) {
  const int drawn = CSkinPage::DrawListItem(item, dc, rect, list);
  const CLayoutReader* layout = Layout();
  const CTVConfig* tv = TV();
  if (!layout || !tv || list < 0 || list >= static_cast<int>(layout->Lists().size())) return drawn;
  const std::string& name = layout->Lists()[static_cast<std::size_t>(list)].name;
  plat::RECT textRect{};
  GetListItemTextScreenRect(item, list, &textRect);
  plat::RECT checkRect{};
  GetListItemCheckScreenRect(item, list, &checkRect);
  if (IsEmpty(checkRect)) checkRect = plat::RECT{rect.left, rect.top, IsEmpty(textRect) ? rect.right : textRect.left, rect.bottom};
  // The guide's eight rows are its eight slots: it never scrolls.
  if (name == "TV NextView List") {
    DrawGuideRow(item, dc, checkRect, textRect);
    return 1;
  }
  int index = -1;
  if (!ElementIndex().RowToItem(list, item, &index) || index < 0) return drawn;
  if (name == "TV Channel List") {
    const int count = static_cast<int>(std::min(tv->m_signalChannels.size(), tv->m_channelEnable.size()));
    if (index >= count) return drawn;
    if (Frame().Services().GetVendorId() == 4) {
      DrawChannelColumns(index, dc, rect);
      return 1;
    }
    const std::uint32_t number = tv->m_signalChannels[static_cast<std::size_t>(index)];
    const bool enabled = tv->m_channelEnable[static_cast<std::size_t>(index)] != 0;
    const auto it = tv->m_channelNames.find(number);
    const std::string channelName = it == tv->m_channelNames.end() ? std::to_string(number) : it->second;
    const plat::COLORREF colour = enabled ? kWhite : kDisabledChannel;
    DrawSkinTextDefaultFont(dc, checkRect.left, checkRect.top, checkRect.right, checkRect.bottom, channelName,
                            ALIGN_CENTER, colour, SKIN_FIT_ELLIPSIS);
    if (!IsEmpty(textRect)) {
      DrawSkinTextDefaultFont(dc, textRect.left, textRect.top, textRect.right, textRect.bottom,
                              UIStringOrEmpty(enabled ? "DISABLE" : "ENABLE"), ALIGN_CENTER, colour,
                              SKIN_FIT_ELLIPSIS);
    }
    return 1;
  }
  if (name == "TV TVWall List") {
    if (index >= static_cast<int>(tv->m_tvWallCells.size())) return drawn;
    const TVWallCell& cell = tv->m_tvWallCells[static_cast<std::size_t>(index)];
    if (cell.nChannel == 0) return drawn;
    if (cell.hBitmap) {
      const plat::RECT& r = rect;
      plat::HDC memory = plat::CreateCompatibleDC(dc);
      plat::HGDIOBJ old = plat::SelectObject(memory, cell.hBitmap);
      plat::BITMAP info{};
      plat::GetObject(cell.hBitmap, sizeof(info), &info);
      plat::SetStretchBltMode(dc, plat::HALFTONE);
      plat::StretchBlt(dc, r.left + 8, r.top + 8, r.right - r.left - 16, r.bottom - r.top - 56, memory, 0, 0,
                       info.bmWidth, info.bmHeight, plat::SRCCOPY);
      plat::SelectObject(memory, old);
      plat::DeleteDC(memory);
    }
    if (!IsEmpty(textRect))
      DrawSkinTextDefaultFont(dc, textRect.left, textRect.top, textRect.right, textRect.bottom, cell.strName,
                              ALIGN_CENTER, kCellText, SKIN_FIT_ELLIPSIS);
    return 1;
  }
  return drawn;
}

int CTvPage::QueryTextShown(const std::string& name, int* shown) {
  const CTVConfig* tv = TV();
  if (name != "TV NoChannel Message" || !tv) return 0;
  *shown = tv->m_signalChannels.empty() ? 1 : 0;
  return 1;
}

int CTvPage::QueryListShown(const std::string& name, int* shown) {
  const CTVConfig* tv = TV();
  if (!tv || (name != "TV Channel List" && name != "TV Channel Control List")) return 0;
  *shown = tv->m_signalChannels.empty() ? 0 : 1;
  return 1;
}

int CTvPage::QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) {
  const CLayoutReader* layout = Layout();
  const CTVConfig* tv = TV();
  if (!layout || !tv || list < 0 || list >= static_cast<int>(layout->Lists().size())) return 0;
  if (layout->Lists()[static_cast<std::size_t>(list)].name != "TV NextView List") return 0;
  // Only the programmes the guide marks can be chosen.
  const bool marked = item >= 0 && item < static_cast<int>(tv->m_guideRows.size()) &&
                      tv->m_guideRows[static_cast<std::size_t>(item)].bMarked;
  *shown = marked ? 1 : 0, *enabled = marked ? 1 : 0, *checked = 0;
  return 1;
}

int CTvPage::QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) {
  const CLayoutReader* layout = Layout();
  const CTVConfig* tv = TV();
  if (!layout || !tv || list < 0 || list >= static_cast<int>(layout->Lists().size())) return 0;
  const CLayoutList& l = layout->Lists()[static_cast<std::size_t>(list)];
  if (action < 0 || action >= static_cast<int>(l.actions.size())) return 0;
  const std::string& name = l.actions[static_cast<std::size_t>(action)].name;
  const int mode = tv->m_nChannelEditMode;
  if (name == "TV Disable") {
    *shown = 1, *enabled = mode == 1 ? 1 : 0, *checked = 0;
  } else if (name == "TV Rename") {
    *shown = 1, *enabled = 0, *checked = 0;
  } else if (name == "TV Move") {
    *shown = 1, *enabled = mode == 1 || mode == 2 ? 1 : 0, *checked = mode == 2 ? 1 : 0;
  } else {
    return 0;
  }
  return 1;
}

int CTvPage::QueryListLinkState(int list, int link, int* shown, int* enabled, int* checked) {
  const CLayoutReader* layout = Layout();
  const CTVConfig* tv = TV();
  if (!layout || !tv || list < 0 || list >= static_cast<int>(layout->Lists().size())) return 0;
  const CLayoutList& l = layout->Lists()[static_cast<std::size_t>(list)];
  if (link < 0 || link >= static_cast<int>(l.links.size())) return 0;
  if (l.links[static_cast<std::size_t>(link)].name != "TV Teletext Page") return 0;
  *shown = 1, *enabled = tv->m_bTeletext ? 1 : 0, *checked = 0;
  return 1;
}
