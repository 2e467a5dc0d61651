#include "platform/gdi/draw_text.h"

#include <algorithm>
#include <limits>

#include "platform/gdi/blit_util.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/text_encoding.h"
#include "platform/gdi/text_layout.h"
#include "platform/gdi/text_render.h"

namespace plat {

namespace {

LONG Saturate(std::int64_t v) {
  return static_cast<LONG>(std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

int DrawUtf8(HDC hdc, std::string_view text, RECT* rect, UINT format) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc || !rect) return 0;
  auto font = gdi::DcFont(*dc);
  if (!font) return 0;
  const int line_height = font->metrics().height;
  const std::int64_t rect_w = std::int64_t{rect->right} - rect->left;
  const std::int64_t rect_h = std::int64_t{rect->bottom} - rect->top;
  const int max_width = static_cast<int>(std::clamp<std::int64_t>(rect_w, 0, std::numeric_limits<int>::max()));
  const gdi::MeasureFn measure = [&font](std::string_view s) { return font->MeasureWidth(s); };
  const std::vector<gdi::TextLine> lines = gdi::LayoutText(text, format, max_width, measure);
  const std::int64_t total = static_cast<std::int64_t>(lines.size()) * line_height;

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const gdi::TextLine& line : lines) widest = std::max(widest, line.width);
    rect->right = Saturate(std::int64_t{rect->left} + widest);
    rect->bottom = Saturate(std::int64_t{rect->top} + total);
    return static_cast<int>(std::min<std::int64_t>(total, std::numeric_limits<int>::max()));
  }

  std::int64_t top = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) top = rect->top + (rect_h - line_height) / 2;
    else if (format & DT_BOTTOM) top = std::int64_t{rect->bottom} - line_height;
  }
  const gdi::Box clip_box = gdi::SurfaceBox(*dc, rect->left, rect->top, rect->right, rect->bottom);
  const gdi::Box* clip = (format & DT_NOCLIP) ? nullptr : &clip_box;
  const bool underline_all = gdi::DcFontUnderlined(*dc);
  std::int64_t y = top;
  for (const gdi::TextLine& line : lines) {
    std::int64_t x = rect->left;
    if (format & DT_CENTER) x = rect->left + (rect_w - line.width) / 2;
    else if (format & DT_RIGHT) x = std::int64_t{rect->right} - line.width;
    const std::int64_t sx = dc->SurfaceX(x), sy = dc->SurfaceY(y);
    if (dc->bk_mode == OPAQUE && line.width > 0) {
      gdi::Box cell{sx, sy, sx + line.width, sy + line_height};
      if (clip) cell = gdi::Intersect(cell, *clip);
      gdi::FillBox(*dc, cell, PixelFromColorRef(dc->bk_color));
    }
    gdi::RenderLine(*dc, *font, line.text, sx, sy, clip, underline_all, line.underlined);
    y += line_height;
  }
  const std::int64_t result = (top - rect->top) + total;
  return static_cast<int>(std::clamp<std::int64_t>(result, 0, std::numeric_limits<int>::max()));
}

}  // namespace

int DrawTextA(HDC hdc, const char* text, int count, RECT* rect, UINT format) {
  if (!text && count != 0) return 0;
  return DrawUtf8(hdc, gdi::NarrowView(text, count), rect, format);
}

int DrawTextW(HDC hdc, const WCHAR* text, int count, RECT* rect, UINT format) {
  if (!text && count != 0) return 0;
  return DrawUtf8(hdc, gdi::Utf16ToUtf8(gdi::WideView(text, count)), rect, format);
}

}  // namespace plat
