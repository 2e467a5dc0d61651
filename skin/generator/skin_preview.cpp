// skin_preview: draws pages of the installed skin the way the page base
// composes them (background, still images, lists, buttons, progress bars,
// texts) and writes them side by side into one PNG contact sheet, to look
// at the skin without running the program.
//
//   skin_preview <folder with Layout/ and string.xml> <out.png> <page path>...
//
// The first entry of the first list is drawn highlighted, progress bars at
// 60 %, and a text without a string-table entry shows its element name, so
// that every place is visible.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/png_codec.h"

namespace {

void DrawFrame(const std::string& path, int frame, plat::HDC dc, const plat::RECT& rect) {
  BitmapPtr bitmap(LoadBitmapFile(path, frame));
  if (bitmap) {
    DrawBitmap(bitmap.get(), dc, rect);
  } else {
    plat::RECT r = rect;
    plat::FillRect(dc, &r, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::BLACK_BRUSH)));
  }
}

void DrawText(plat::HDC dc, const LayoutText& text, plat::COLORREF colour) {
  std::string shown;
  if (!LookupUIString(text.name, shown)) shown = text.name;
  std::string face;
  LookupUIString(text.font, face);
  DrawSkinText(dc, text.rect.left, text.rect.top, text.rect.right, text.rect.bottom, face, shown, text.align, colour,
               text.dynamicFit ? SKIN_FIT_SHRINK : SKIN_FIT_ELLIPSIS);
}

// Draws one page into a new bitmap of the page's size; null when it does not load.
plat::HBITMAP DrawPage(const std::string& pagePath) {
  CLayoutReader reader(pagePath);
  if (!reader.LoadAll()) return nullptr;
  int width = 0;
  int height = 0;
  reader.GetPageSize(width, height);
  BitmapPtr page(plat::CreateCompatibleBitmap(nullptr, width, height));
  MemoryDC dc;
  if (!page || !dc || !dc.SelectBitmap(page.get())) return nullptr;
  std::string background;
  reader.GetBackgroundImage(background);
  DrawBitmapFile(background, dc.get(), plat::RECT{0, 0, width, height});
  for (const LayoutImage& image : reader.StillImages()) DrawBitmapFile(image.image, dc.get(), image.rect);

  std::string focused;
  bool first = true;
  for (const CLayoutList& list : reader.Lists()) {
    if (!list.image.empty()) DrawBitmapFile(list.image, dc.get(), list.rect);
    for (const LayoutImage& image : list.images) DrawBitmapFile(image.image, dc.get(), image.rect);
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      const LayoutListItem& item = list.items[i];
      const int state = (first && i == 0) ? 1 : 0;
      DrawFrame(item.image, state, dc.get(), item.rect);
      if (list.name == "Rename KeyPad") {
        // The key pad's labels are the item names without "Key ".
        std::string label = item.name.substr(item.name.find(' ') + 1);
        DrawSkinTextDefaultFont(dc.get(), item.textRect.left, item.textRect.top, item.textRect.right,
                                item.textRect.bottom, label, 2, GetSchemeColor(state), SKIN_FIT_ELLIPSIS);
      }
    }
    for (std::size_t i = 0; i < list.actions.size(); ++i) {
      const bool highlight = first && list.items.empty() && i == 0;
      if (highlight) focused = list.actions[i].name;
      DrawFrame(list.actions[i].image, highlight ? 1 : 0, dc.get(), list.actions[i].rect);
    }
    for (const LayoutIndicator& link : list.links) DrawFrame(link.image, 0, dc.get(), link.rect);
    for (const LayoutText& text : list.texts) {
      DrawText(dc.get(), text, (!focused.empty() && text.dependency == focused) ? text.highlightColor : text.normalColor);
    }
    if (!list.items.empty() || !list.actions.empty()) first = false;
  }
  for (const LayoutButton& button : reader.Buttons()) DrawFrame(button.image, 0, dc.get(), button.rect);
  for (const LayoutImage& bar : reader.ProgressBars()) {
    BitmapPtr empty(LoadBitmapFileSlice(bar.image, 0.0f, 0.5f));
    BitmapPtr full(LoadBitmapFileSlice(bar.image, 0.5f, 1.0f));
    DrawBitmap(empty.get(), dc.get(), bar.rect);
    const plat::SIZE size{bar.rect.right - bar.rect.left, bar.rect.bottom - bar.rect.top};
    BitmapPtr stretched(StretchBitmap(full.get(), size));
    MemoryDC source;
    if (stretched && source && source.SelectBitmap(stretched.get())) {
      plat::BitBlt(dc.get(), bar.rect.left, bar.rect.top, size.cx * 6 / 10, size.cy, source.get(), 0, 0,
                   plat::SRCCOPY);
    }
  }
  for (const LayoutText& text : reader.Texts()) DrawText(dc.get(), text, text.normalColor);
  return page.release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: skin_preview <skin folder> <out.png> <page path>...\n";
    return 2;
  }
  SetSkinBaseFolder(argv[1]);
  CStringTable strings;
  SetUIStringTable(&strings);

  // Pages at half size, two to a row.
  constexpr int kCellWidth = 960;
  constexpr int kCellHeight = 560;
  const int pages = argc - 3;
  const int rows = (pages + 1) / 2;
  BitmapPtr sheet(plat::CreateCompatibleBitmap(nullptr, 2 * kCellWidth, rows * kCellHeight));
  MemoryDC sheetDc;
  if (!sheet || !sheetDc || !sheetDc.SelectBitmap(sheet.get())) return 1;
  plat::RECT all{0, 0, 2 * kCellWidth, rows * kCellHeight};
  plat::FillRect(sheetDc.get(), &all, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::GRAY_BRUSH)));
  plat::SetStretchBltMode(sheetDc.get(), plat::HALFTONE);
  for (int i = 0; i < pages; ++i) {
    BitmapPtr page(DrawPage(argv[3 + i]));
    if (!page) {
      std::cerr << "skin_preview: " << argv[3 + i] << " does not load\n";
      continue;
    }
    int w = 0;
    int h = 0;
    GetBitmapSize(page.get(), w, h);
    const double scale = std::min(static_cast<double>(kCellWidth - 8) / w, static_cast<double>(kCellHeight - 8) / h);
    MemoryDC source;
    if (!source.SelectBitmap(page.get())) continue;
    plat::StretchBlt(sheetDc.get(), (i % 2) * kCellWidth + 4, (i / 2) * kCellHeight + 4, static_cast<int>(w * scale),
                     static_cast<int>(h * scale), source.get(), 0, 0, w, h, plat::SRCCOPY);
  }
  plat::SurfacePtr surface = plat::GetBitmapSurface(sheet.get());
  const std::vector<std::uint8_t> png = plat::gdi::EncodePng(*surface, false);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  SetUIStringTable(nullptr);
  return out ? 0 : 1;
}
