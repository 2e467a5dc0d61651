// CSkinPage: painting the back buffer and drawing each kind of element.
#include <algorithm>
#include <cmath>
#include <functional>

#include "lounge/shell/app_services.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/rename_keypad.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_page.h"
#include "lounge/skin/skin_text.h"
#include "platform/gdi/gdi.h"
#include "platform/win/window.h"

using plat::COLORREF;
using plat::HDC;
using plat::RECT;

namespace {

template <typename T>
bool InRange(int i, const std::vector<T>& v) {
  return i >= 0 && i < static_cast<int>(v.size());
}

bool Intersects(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

void FillBlack(HDC dc, const RECT& rect) {
  plat::FillRect(dc, &rect, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH)));
}

// The state code of a button, link, list action or list link.
int StateCode(const ElementState& s, bool highlighted) {
  if (!s.enabled) return STATE_DISABLED;
  if (s.checked || s.pressed) return STATE_PRESSED;
  return highlighted ? STATE_HIGHLIGHTED : STATE_NORMAL;
}

std::string LookupOrEmpty(const std::string& key) {
  std::string text;
  LookupUIString(key, text);
  return text;
}

// Draws a text element's string (the string-table value of its name) with
// the face its font key names; nothing when the name has no string.
bool DrawLayoutText(const LayoutText& text, HDC dc, const RECT& rect, COLORREF colour) {
  std::string value;
  if (!LookupUIString(text.name, value)) return false;
  DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, LookupOrEmpty(text.font), value, text.align, colour,
               text.dynamicFit ? SKIN_FIT_SHRINK : SKIN_FIT_ELLIPSIS);
  return true;
}

}  // namespace

void CSkinPage::DrawStateImage(const std::string& file, int state, HDC dc, const RECT& rect) {
  if (!DrawBitmapFileFrame(file, state, dc, rect)) FillBlack(dc, rect);
}

int CSkinPage::PaintAll(HDC dc) {
  if (!m_loaded || !m_layout) return 0;
  if (!m_backBuffer) CreateBackBuffer();
  if (!m_backBuffer) return 0;
  int copied = 0;
  {
    MemoryDC memory;
    if (!memory.SelectBitmap(m_backBuffer.get())) return 0;
    HDC back = memory.get();
    m_textUnderlays.clear();
    m_paintingDC = back;
    DrawBackground(back);
    for (int i = 0; i < static_cast<int>(m_stillImageShown.size()); ++i) {
      RECT rect;
      if (m_stillImageShown[static_cast<size_t>(i)] && GetStillImageScreenRect(i, &rect)) DrawStillImage(i, back, rect);
    }
    DrawLists(back);
    DrawButtons(back);
    DrawLinks(back);
    DrawProgressBars(back);
    DrawIndicators(back);
    for (int i = 0; i < static_cast<int>(m_textShown.size()); ++i) {
      RECT rect;
      if (m_textShown[static_cast<size_t>(i)] && GetTextScreenRect(i, &rect)) SaveTextUnderlay(back, rect);
    }
    m_paintingDC = nullptr;
    DrawTexts(back);
    const RECT& r = m_backBufferRect;
    copied = plat::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, back, 0, 0, plat::SRCCOPY);
  }
  m_painted = 1;
  ShowFocus();
  return copied;
}

int CSkinPage::BlitBackBuffer(HDC dc, const RECT& rect) {
  if (!m_backBuffer) return 0;
  MemoryDC memory;
  if (!memory.SelectBitmap(m_backBuffer.get())) return 0;
  return plat::BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.get(), rect.left,
                      rect.top, plat::SRCCOPY);
}

void CSkinPage::CopyToOwner(const RECT& rect) {
  if (!m_painted || !m_backBuffer || !plat::IsWindow(m_owner)) return;
  HDC dc = plat::GetDC(m_owner);
  BlitBackBuffer(dc, rect);
  plat::ReleaseDC(m_owner, dc);
}

int CSkinPage::DrawBackground(HDC dc) {
  std::string path;
  if (!m_layout || !m_layout->GetBackgroundImage(path)) return 0;
  return DrawBitmapFile(path, dc, m_backBufferRect);
}

int CSkinPage::DrawButton(int i, HDC dc, const RECT& rect) {
  if (!m_layout || !InRange(i, m_buttonStates) || !InRange(i, m_layout->Buttons())) return 1;
  const ElementState& s = m_buttonStates[static_cast<size_t>(i)];
  if (!s.shown) return 1;
  DrawStateImage(m_layout->Buttons()[static_cast<size_t>(i)].image, StateCode(s, i == m_highlightedButton), dc, rect);
  return 1;
}

int CSkinPage::DrawButtons(HDC dc) {
  for (int i = 0; i < static_cast<int>(m_buttonStates.size()); ++i) {
    RECT rect;
    if (GetButtonScreenRect(i, &rect)) DrawButton(i, dc, rect);
  }
  return 1;
}

int CSkinPage::DrawLink(int i, HDC dc, const RECT& rect) {
  if (!m_layout || !InRange(i, m_linkStates) || !InRange(i, m_layout->Links())) return 1;
  const ElementState& s = m_linkStates[static_cast<size_t>(i)];
  if (!s.shown) return 1;
  DrawStateImage(m_layout->Links()[static_cast<size_t>(i)].image, StateCode(s, i == m_highlightedLink), dc, rect);
  return 1;
}

int CSkinPage::DrawLinks(HDC dc) {
  for (int i = 0; i < static_cast<int>(m_linkStates.size()); ++i) {
    RECT rect;
    if (GetLinkScreenRect(i, &rect)) DrawLink(i, dc, rect);
  }
  return 1;
}

int CSkinPage::GetTextColour(int i, COLORREF* colour) {
  if (!m_layout || !colour || !InRange(i, m_layout->Texts())) return 0;
  const LayoutText& text = m_layout->Texts()[static_cast<size_t>(i)];
  *colour = text.normalColor;
  int index = -1;
  const ElementState* state = nullptr;
  if (m_layout->FindButton(text.dependency, index)) {
    if (index == m_highlightedButton) *colour = text.highlightColor;
    state = ButtonState(index);
  } else if (m_layout->FindLink(text.dependency, index)) {
    if (index == m_highlightedLink) *colour = text.highlightColor;
    state = LinkState(index);
  }
  if (state) {
    if (!state->shown) return 0;
    if (!state->enabled) {
      *colour = text.disabledColor;
    } else if (state->checked || state->pressed) {
      *colour = text.pressedColor;
    }
  }
  return 1;
}

int CSkinPage::GetListTextColour(int list, int i, COLORREF* colour) {
  if (!m_layout || !colour || !InRange(list, m_layout->Lists())) return 0;
  const CLayoutList& layoutList = m_layout->Lists()[static_cast<size_t>(list)];
  if (!InRange(i, layoutList.texts)) return 0;
  const LayoutText& text = layoutList.texts[static_cast<size_t>(i)];
  *colour = text.normalColor;
  int index = -1;
  const ElementState* state = nullptr;
  if (m_layout->FindButton(text.dependency, index)) {
    if (index == m_highlightedButton) *colour = text.highlightColor;
    state = ButtonState(index);
  } else if (m_layout->FindLink(text.dependency, index)) {
    if (index == m_highlightedLink) *colour = text.highlightColor;
    state = LinkState(index);
  } else {
    // A list action or list link of any list: only its highlight colours.
    for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l) {
      const CListState& ls = m_listStates[static_cast<size_t>(l)];
      int j = -1;
      if (m_layout->FindListAction(text.dependency, j, l)) {
        if (j == ls.highlightedListAction) *colour = text.highlightColor;
        break;
      }
      if (m_layout->FindListLink(text.dependency, j, l)) {
        if (j == ls.highlightedListLink) *colour = text.highlightColor;
        break;
      }
    }
  }
  if (state) {
    if (!state->shown) return 0;
    if (!state->enabled) {
      *colour = text.disabledColor;
    } else if (state->checked || state->pressed) {
      *colour = text.pressedColor;
    }
  }
  return 1;
}

int CSkinPage::DrawTexts(HDC dc) {
  for (int i = 0; i < static_cast<int>(m_textShown.size()); ++i) {
    COLORREF colour = 0;
    RECT rect;
    if (m_textShown[static_cast<size_t>(i)] && GetTextColour(i, &colour) && GetTextScreenRect(i, &rect))
      DrawTextElement(i, dc, rect, colour);
  }
  return 1;
}

int CSkinPage::DrawTextElement(int i, HDC dc, const RECT& rect, COLORREF colour) {
  if (m_layout && InRange(i, m_layout->Texts())) DrawLayoutText(m_layout->Texts()[static_cast<size_t>(i)], dc, rect, colour);
  return 0;
}

int CSkinPage::DrawTextsInRect(HDC dc, const RECT& area) {
  for (int i = 0; i < static_cast<int>(m_textShown.size()); ++i) {
    COLORREF colour = 0;
    RECT rect;
    if (m_textShown[static_cast<size_t>(i)] && GetTextScreenRect(i, &rect) && Intersects(rect, area) &&
        GetTextColour(i, &colour))
      DrawTextElement(i, dc, rect, colour);
  }
  return 1;
}

int CSkinPage::DrawWideTextAt(const std::u16string& text, int left, int top, int right, int bottom, int align,
                              COLORREF colour, int fit) {
  return DrawTextAtPlace(RECT{left, top, right, bottom}, [&](HDC dc) {
    DrawWideTextDefaultFont(dc, left, top, right, bottom, text, align, colour, fit);
  });
}

int CSkinPage::DrawTextAt(const std::string& text, int left, int top, int right, int bottom, int align,
                          COLORREF colour, int fit) {
  if (!plat::IsWindow(m_owner)) return 0;
  RECT rect{left, top, right, bottom};
  if (align == ALIGN_MULTIPLELINE) {
    HDC window = plat::GetDC(m_owner);
    RECT measured{};
    MeasureSkinText(measured, window, left, top, right, bottom, LookupOrEmpty(TEXT_DEFAULT_FONT), text, align);
    plat::ReleaseDC(m_owner, window);
    rect = RECT{left, top, left + (measured.right - measured.left), top + (measured.bottom - measured.top)};
  }
  return DrawTextAtPlace(rect, [&](HDC dc) {
    DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, align, colour, fit);
  });
}

int CSkinPage::DrawTextWithFont(const std::string& text, const RECT& rect, const std::string& fontKey, int align,
                                COLORREF colour, int fit) {
  return DrawTextAtPlace(rect, [&](HDC dc) {
    DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, LookupOrEmpty(fontKey), text, align, colour, fit);
  });
}

int CSkinPage::DrawTextAtPlace(const RECT& rect, const std::function<void(HDC)>& drawText) {
  if (!plat::IsWindow(m_owner)) return 0;
  if (m_painted && m_backBuffer) {
    MemoryDC back;
    if (back.SelectBitmap(m_backBuffer.get()) && RestoreTextUnderlays(back.get(), rect)) {
      // The place is a text's: the back buffer keeps what the window shows,
      // so a later copy of it does not bring the old text back.
      drawText(back.get());
      HDC window = plat::GetDC(m_owner);
      plat::BitBlt(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, back.get(), rect.left,
                   rect.top, plat::SRCCOPY);
      plat::ReleaseDC(m_owner, window);
      return 1;
    }
  }
  HDC window = plat::GetDC(m_owner);
  BlitBackBuffer(window, rect);
  drawText(window);
  plat::ReleaseDC(m_owner, window);
  return 1;
}

void CSkinPage::SaveTextUnderlay(HDC dc, const RECT& rect) {
  RECT clipped{std::max<plat::LONG>(rect.left, 0), std::max<plat::LONG>(rect.top, 0),
               std::min<plat::LONG>(rect.right, m_backBufferRect.right - m_backBufferRect.left),
               std::min<plat::LONG>(rect.bottom, m_backBufferRect.bottom - m_backBufferRect.top)};
  if (IsEmptyRect(clipped)) return;
  for (const TextUnderlay& u : m_textUnderlays)
    if (u.rect.left == clipped.left && u.rect.top == clipped.top && u.rect.right == clipped.right &&
        u.rect.bottom == clipped.bottom)
      return;
  const int w = clipped.right - clipped.left, h = clipped.bottom - clipped.top;
  BitmapPtr pixels(plat::CreateCompatibleBitmap(nullptr, w, h));
  MemoryDC copy;
  if (!pixels || !copy.SelectBitmap(pixels.get())) return;
  plat::BitBlt(copy.get(), 0, 0, w, h, dc, clipped.left, clipped.top, plat::SRCCOPY);
  m_textUnderlays.push_back(TextUnderlay{clipped, std::move(pixels)});
}

void CSkinPage::UpdateTextUnderlays(HDC dc, const RECT& rect) {
  for (TextUnderlay& u : m_textUnderlays) {
    const RECT part{std::max(u.rect.left, rect.left), std::max(u.rect.top, rect.top),
                    std::min(u.rect.right, rect.right), std::min(u.rect.bottom, rect.bottom)};
    if (IsEmptyRect(part)) continue;
    MemoryDC copy;
    if (!copy.SelectBitmap(u.pixels.get())) continue;
    plat::BitBlt(copy.get(), part.left - u.rect.left, part.top - u.rect.top, part.right - part.left,
                 part.bottom - part.top, dc, part.left, part.top, plat::SRCCOPY);
  }
}

bool CSkinPage::RestoreTextUnderlays(HDC dc, const RECT& rect) {
  bool whole = false;
  for (const TextUnderlay& u : m_textUnderlays) {
    const RECT part{std::max(u.rect.left, rect.left), std::max(u.rect.top, rect.top),
                    std::min(u.rect.right, rect.right), std::min(u.rect.bottom, rect.bottom)};
    if (IsEmptyRect(part)) continue;
    whole = whole || (u.rect.left <= rect.left && u.rect.top <= rect.top && u.rect.right >= rect.right &&
                      u.rect.bottom >= rect.bottom);
  }
  if (!whole) return false;
  for (const TextUnderlay& u : m_textUnderlays) {
    const RECT part{std::max(u.rect.left, rect.left), std::max(u.rect.top, rect.top),
                    std::min(u.rect.right, rect.right), std::min(u.rect.bottom, rect.bottom)};
    if (IsEmptyRect(part)) continue;
    MemoryDC copy;
    if (!copy.SelectBitmap(u.pixels.get())) continue;
    plat::BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, copy.get(),
                 part.left - u.rect.left, part.top - u.rect.top, plat::SRCCOPY);
  }
  return true;
}

int CSkinPage::DrawStillImage(int i, HDC dc, const RECT& rect) {
  if (!m_layout || !InRange(i, m_layout->StillImages()) || !StillImageShown(i)) return 0;
  return DrawBitmapFile(m_layout->StillImages()[static_cast<size_t>(i)].image, dc, rect);
}

int CSkinPage::DrawProgressBars(HDC dc) {
  for (int i = 0; i < static_cast<int>(m_progressShown.size()); ++i) {
    RECT rect;
    if (m_progressShown[static_cast<size_t>(i)] && GetProgressScreenRect(i, &rect)) DrawProgress(i, dc, rect);
  }
  return 1;
}

int CSkinPage::DrawProgress(int i, HDC dc, const RECT& rect) {
  if (!m_layout || !InRange(i, m_layout->ProgressBars()) || !InRange(i, m_progressValues)) return 0;
  const std::string& file = m_layout->ProgressBars()[static_cast<size_t>(i)].image;
  BitmapPtr empty(LoadBitmapFileSlice(file, 0.0f, 0.5f));
  BitmapPtr full(LoadBitmapFileSlice(file, 0.5f, 1.0f));
  if (!empty || !full) return 0;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  BitmapPtr fullStretched(StretchBitmap(full.get(), plat::SIZE{width, height}));
  DrawBitmap(empty.get(), dc, rect);
  const float value = m_progressValues[static_cast<size_t>(i)];
  const float start = m_progressStarts[static_cast<size_t>(i)];
  const int from = static_cast<int>(start * static_cast<float>(width));
  const int filled = static_cast<int>(static_cast<float>(width) * (value - start));
  if (fullStretched && filled > 0) {
    MemoryDC source;
    if (source.SelectBitmap(fullStretched.get()))
      plat::BitBlt(dc, rect.left + from, rect.top, filled, height, source.get(), from, 0, plat::SRCCOPY);
  }
  return 1;
}

int CSkinPage::DrawIndicators(HDC dc) {
  for (int i = 0; i < static_cast<int>(m_indicatorShown.size()); ++i) {
    RECT rect;
    if (m_indicatorShown[static_cast<size_t>(i)] && GetIndicatorScreenRect(i, &rect)) DrawIndicator(i, dc, rect);
  }
  return 1;
}

int CSkinPage::DrawIndicator(int i, HDC dc, const RECT& rect) {
  if (!m_layout || !InRange(i, m_layout->Indicators()) || !InRange(i, m_indicatorShown) ||
      !m_indicatorShown[static_cast<size_t>(i)])
    return 0;
  const LayoutIndicator& indicator = m_layout->Indicators()[static_cast<size_t>(i)];
  DrawBitmapFile(indicator.image, dc, rect);
  // Without a readable knob image there is no knob (and no size to divide by).
  BitmapPtr knob(LoadSharedBitmapFile(indicator.secondImage));
  int knobWidth = 0, knobHeight = 0;
  if (!knob || !GetBitmapSize(knob.get(), knobWidth, knobHeight) || knobHeight <= 0) return 1;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int drawnWidth = height * knobWidth / knobHeight;
  if (drawnWidth > width) drawnWidth = width / 2;
  const float position = m_indicatorPositions[static_cast<size_t>(i)];
  const int x = static_cast<int>(position * static_cast<float>(width - drawnWidth) + static_cast<float>(rect.left));
  DrawBitmap(knob.get(), dc, RECT{x, rect.top, x + drawnWidth, rect.bottom});
  return 1;
}

int CSkinPage::DrawLists(HDC dc) {
  for (int l = 0; l < static_cast<int>(m_listStates.size()); ++l)
    if (m_listStates[static_cast<size_t>(l)].shown) DrawList(l, dc);
  return 1;
}

int CSkinPage::DrawList(int list, HDC dc) {
  CListState* state = ListState(list);
  if (!m_layout || !state || !state->shown || !InRange(list, m_layout->Lists())) return 0;
  const CLayoutList& layoutList = m_layout->Lists()[static_cast<size_t>(list)];
  DrawListBackground(list, dc);
  RECT rect;
  for (int j = 0; j < static_cast<int>(layoutList.images.size()); ++j)
    if (GetListImageScreenRect(j, list, &rect)) DrawListImage(j, dc, rect, list);
  for (int j = 0; j < static_cast<int>(layoutList.items.size()); ++j)
    if (GetListItemScreenRect(j, list, &rect)) DrawListItem(j, dc, rect, list);
  for (int j = 0; j < static_cast<int>(layoutList.actions.size()); ++j)
    if (GetListActionScreenRect(j, list, &rect)) DrawListAction(j, dc, rect, list);
  for (int j = 0; j < static_cast<int>(layoutList.links.size()); ++j)
    if (GetListLinkScreenRect(j, list, &rect)) DrawListLink(j, dc, rect, list);
  if (dc == m_paintingDC) {
    for (int j = 0; j < static_cast<int>(layoutList.texts.size()); ++j)
      if (InRange(j, state->listTextShown) && state->listTextShown[static_cast<size_t>(j)] &&
          GetListTextScreenRect(j, list, &rect))
        SaveTextUnderlay(dc, rect);
  }
  for (int j = 0; j < static_cast<int>(layoutList.texts.size()); ++j) {
    COLORREF colour = 0;
    if (InRange(j, state->listTextShown) && state->listTextShown[static_cast<size_t>(j)] &&
        GetListTextColour(list, j, &colour) && GetListTextScreenRect(j, list, &rect))
      DrawListText(j, dc, rect, list, colour);
  }
  return 1;
}

int CSkinPage::DrawListBackground(int list, HDC dc) {
  std::string image;
  RECT rect;
  if (!m_layout || !m_layout->GetListImage(image, list) || image.empty()) return 0;
  // A list whose image value was empty names only its folder.
  if (image.back() == '\\' || image.back() == '/') return 0;
  if (!GetListScreenRect(list, &rect)) return 0;
  return DrawBitmapFile(image, dc, rect);
}

int CSkinPage::DrawListItem(int item, HDC dc, const RECT& rect, int list) {
  CListState* state = ListState(list);
  if (!m_layout || !state || !InRange(item, state->itemStates) || !InRange(list, m_layout->Lists())) return 0;
  const ElementState& s = state->itemStates[static_cast<size_t>(item)];
  if (!s.shown) return 0;
  const int code = ListItemStateCode(item, list);
  const LayoutListItem& layoutItem = m_layout->Lists()[static_cast<size_t>(list)].items[static_cast<size_t>(item)];
  DrawStateImage(layoutItem.image, code, dc, rect);
  RECT icon;
  if (!IsEmptyRect(layoutItem.iconRect) && GetListItemIconScreenRect(item, list, &icon)) {
    if (layoutItem.iconImage.empty() || !DrawBitmapFile(layoutItem.iconImage, dc, icon)) FillBlack(dc, icon);
  }
  return DrawListItemText(list, item, dc, GetSchemeColor(code), code);
}

int CSkinPage::ListItemStateCode(int item, int list) {
  CListState* state = ListState(list);
  if (!state || !InRange(item, state->itemStates)) return STATE_NORMAL;
  const ElementState& s = state->itemStates[static_cast<size_t>(item)];
  if (!s.enabled) return STATE_DISABLED;
  if (s.checked) return STATE_PRESSED;
  if (item == state->highlightedItem) return STATE_HIGHLIGHTED;
  if (s.pressed) return STATE_PRESSED;
  return STATE_NORMAL;
}

int CSkinPage::DrawListItemText(int list, int item, HDC dc, COLORREF colour, int state) {
  (void)state;
  std::string name;
  if (!m_layout || !m_layout->GetListName(name, list) || name != RENAME_KEYPAD_LIST) return 0;
  int key = -1;
  RECT rect;
  if (!m_elementIndex->RowToItem(list, item, &key) || key < 0 || key >= RENAME_KEY_COUNT) return 0;
  if (!GetListItemTextScreenRect(item, list, &rect)) return 0;
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, RENAME_KEYS[static_cast<size_t>(key)].label,
                          ALIGN_CENTER, colour, SKIN_FIT_ELLIPSIS);
  return 1;
}

int CSkinPage::DrawListAction(int action, HDC dc, const RECT& rect, int list) {
  CListState* state = ListState(list);
  if (!m_layout || !state || !InRange(action, state->listActionStates) || !InRange(list, m_layout->Lists())) return 1;
  const ElementState& s = state->listActionStates[static_cast<size_t>(action)];
  if (!s.shown) return 1;
  DrawStateImage(m_layout->Lists()[static_cast<size_t>(list)].actions[static_cast<size_t>(action)].image,
                 StateCode(s, action == state->highlightedListAction), dc, rect);
  return 1;
}

int CSkinPage::DrawListLink(int link, HDC dc, const RECT& rect, int list) {
  CListState* state = ListState(list);
  if (!m_layout || !state || !InRange(link, state->listLinkStates) || !InRange(list, m_layout->Lists())) return 1;
  const ElementState& s = state->listLinkStates[static_cast<size_t>(link)];
  if (!s.shown) return 1;
  DrawStateImage(m_layout->Lists()[static_cast<size_t>(list)].links[static_cast<size_t>(link)].image,
                 StateCode(s, link == state->highlightedListLink), dc, rect);
  return 1;
}

int CSkinPage::DrawListText(int text, HDC dc, const RECT& rect, int list, COLORREF colour) {
  if (!m_layout || !InRange(list, m_layout->Lists())) return 0;
  const CLayoutList& layoutList = m_layout->Lists()[static_cast<size_t>(list)];
  if (!InRange(text, layoutList.texts)) return 0;
  return DrawLayoutText(layoutList.texts[static_cast<size_t>(text)], dc, rect, colour) ? 1 : 0;
}

int CSkinPage::DrawListTextsInRect(HDC dc, const RECT& area, int list) {
  CListState* state = ListState(list);
  if (!state) return 0;
  for (int j = 0; j < static_cast<int>(state->listTextShown.size()); ++j) {
    COLORREF colour = 0;
    RECT rect;
    if (state->listTextShown[static_cast<size_t>(j)] && GetListTextScreenRect(j, list, &rect) &&
        Intersects(rect, area) && GetListTextColour(list, j, &colour))
      DrawListText(j, dc, rect, list, colour);
  }
  return 1;
}

int CSkinPage::DrawListImage(int image, HDC dc, const RECT& rect, int list) {
  CListState* state = ListState(list);
  if (!m_layout || !state || !InRange(image, state->listImageShown) ||
      !state->listImageShown[static_cast<size_t>(image)])
    return 0;
  std::string file;
  if (!m_layout->GetListImageFile(file, image, list)) return 0;
  return DrawBitmapFile(file, dc, rect);
}

// ---- incremental redraws ----

void CSkinPage::RefreshArea(bool found, const RECT& rect, int list,
                            const std::function<void(HDC)>& drawElement) {
  if (!m_backBuffer || !found) return;
  {
    MemoryDC dc;
    if (!dc.SelectBitmap(m_backBuffer.get())) return;
    drawElement(dc.get());
    UpdateTextUnderlays(dc.get(), rect);
    // Texts lying over the element are drawn again on top of it.
    DrawTextsInRect(dc.get(), rect);
    if (list >= 0) DrawListTextsInRect(dc.get(), rect, list);
  }
  CopyToOwner(rect);
}

void CSkinPage::RefreshButton(int i) {
  RECT rect;
  const bool found = GetButtonScreenRect(i, &rect);
  RefreshArea(found, rect, -1, [&](HDC dc) { DrawButton(i, dc, rect); });
}

void CSkinPage::RefreshLink(int i) {
  RECT rect;
  const bool found = GetLinkScreenRect(i, &rect);
  RefreshArea(found, rect, -1, [&](HDC dc) { DrawLink(i, dc, rect); });
}

void CSkinPage::RefreshListItem(int item, int list) {
  RECT rect;
  const bool found = GetListItemScreenRect(item, list, &rect);
  RefreshArea(found, rect, list, [&](HDC dc) { DrawListItem(item, dc, rect, list); });
}

void CSkinPage::RefreshListAction(int action, int list) {
  RECT rect;
  const bool found = GetListActionScreenRect(action, list, &rect);
  RefreshArea(found, rect, list, [&](HDC dc) { DrawListAction(action, dc, rect, list); });
}

void CSkinPage::RefreshListLink(int link, int list) {
  RECT rect;
  const bool found = GetListLinkScreenRect(link, list, &rect);
  RefreshArea(found, rect, list, [&](HDC dc) { DrawListLink(link, dc, rect, list); });
}

int CSkinPage::SetHighlightButton(int i) {
  const int old = m_highlightedButton;
  m_highlightedButton = i;
  if (InRange(old, m_buttonStates)) {
    RefreshButton(old);
  } else {
    const int oldLink = m_highlightedLink;
    m_highlightedLink = -1;
    if (InRange(oldLink, m_linkStates)) RefreshLink(oldLink);
  }
  if (InRange(i, m_buttonStates)) RefreshButton(i);
  return 1;
}

int CSkinPage::SetHighlightLink(int i) {
  const int old = m_highlightedLink;
  m_highlightedLink = i;
  if (InRange(old, m_linkStates)) {
    RefreshLink(old);
  } else {
    const int oldButton = m_highlightedButton;
    m_highlightedButton = -1;
    if (InRange(oldButton, m_buttonStates)) RefreshButton(oldButton);
  }
  if (InRange(i, m_linkStates)) RefreshLink(i);
  return 1;
}
