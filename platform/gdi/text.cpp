#include "platform/gdi/text.h"

#include "platform/gdi/blit_util.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/text_encoding.h"
#include "platform/gdi/text_render.h"

namespace plat {

namespace {

BOOL Output(HDC hdc, int x, int y, UINT options, const RECT* rect, std::string_view text) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc) return FALSE;
  auto font = gdi::DcFont(*dc);
  if (!font) return FALSE;
  const std::uint32_t bk = PixelFromColorRef(dc->bk_color);
  gdi::Box clip_box;
  const bool clipped = rect && (options & ETO_CLIPPED);
  if (rect) clip_box = gdi::SurfaceBox(*dc, rect->left, rect->top, rect->right, rect->bottom);
  if (rect && (options & ETO_OPAQUE)) gdi::FillBox(*dc, clip_box, bk);
  const std::int64_t sx = dc->SurfaceX(x), sy = dc->SurfaceY(y);
  if (dc->bk_mode == OPAQUE && !text.empty()) {
    gdi::Box cell{sx, sy, sx + font->MeasureWidth(text), sy + font->metrics().height};
    if (clipped) cell = gdi::Intersect(cell, clip_box);
    gdi::FillBox(*dc, cell, bk);
  }
  gdi::RenderLine(*dc, *font, text, sx, sy, clipped ? &clip_box : nullptr, gdi::DcFontUnderlined(*dc));
  return TRUE;
}

BOOL Extent(HDC hdc, std::string_view text, SIZE* size) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc || !size) return FALSE;
  auto font = gdi::DcFont(*dc);
  if (!font) return FALSE;
  size->cx = font->MeasureWidth(text);
  size->cy = font->metrics().height;
  return TRUE;
}

}  // namespace

BOOL TextOutA(HDC hdc, int x, int y, const char* text, int count) {
  if (!text && count != 0) return FALSE;
  return Output(hdc, x, y, 0, nullptr, gdi::NarrowView(text, count));
}

BOOL TextOutW(HDC hdc, int x, int y, const WCHAR* text, int count) {
  if (!text && count != 0) return FALSE;
  return Output(hdc, x, y, 0, nullptr, gdi::Utf16ToUtf8(gdi::WideView(text, count)));
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count, const INT* dx) {
  if (dx || (!text && count)) return FALSE;
  return Output(hdc, x, y, options, rect, text ? std::string_view(text, count) : std::string_view());
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, const WCHAR* text, UINT count, const INT* dx) {
  if (dx || (!text && count)) return FALSE;
  return Output(hdc, x, y, options, rect, text ? gdi::Utf16ToUtf8(std::u16string_view(text, count)) : std::string());
}

BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int count, SIZE* size) {
  if (!text && count != 0) return FALSE;
  return Extent(hdc, gdi::NarrowView(text, count), size);
}

BOOL GetTextExtentPoint32W(HDC hdc, const WCHAR* text, int count, SIZE* size) {
  if (!text && count != 0) return FALSE;
  return Extent(hdc, gdi::Utf16ToUtf8(gdi::WideView(text, count)), size);
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
  HDC__* dc = gdi::FindDC(hdc);
  if (!dc || !tm) return FALSE;
  auto font = gdi::DcFont(*dc);
  if (!font) return FALSE;
  const gdi::FontMetrics& m = font->metrics();
  auto* obj = gdi::Find<gdi::FontObject>(dc->font);
  *tm = TEXTMETRIC{};
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internal_leading;
  tm->tmAveCharWidth = m.ave_char_width;
  tm->tmMaxCharWidth = m.max_char_width;
  tm->tmWeight = m.weight;
  tm->tmItalic = m.italic ? 1 : 0;
  tm->tmUnderlined = obj && obj->logfont.lfUnderline ? 1 : 0;
  tm->tmStruckOut = obj && obj->logfont.lfStrikeOut ? 1 : 0;
  tm->tmCharSet = obj ? obj->logfont.lfCharSet : DEFAULT_CHARSET;
  tm->tmPitchAndFamily = obj ? obj->logfont.lfPitchAndFamily : 0;
  return TRUE;
}

}  // namespace plat
