#include "platform/gdi/text_render.h"

#include <algorithm>

#include "platform/gdi/blit_util.h"
#include "platform/gdi/gdi_object.h"

namespace plat::gdi {

std::shared_ptr<FontInstance> DcFont(const HDC__& dc) { return ResolveFont(dc.font); }

bool DcFontUnderlined(const HDC__& dc) {
  auto* obj = Find<FontObject>(dc.font);
  return obj && obj->logfont.lfUnderline;
}

int RenderLine(const HDC__& dc, const FontInstance& font, std::string_view text, std::int64_t x, std::int64_t y,
               const Box* clip_box, bool underline_all, std::span<const std::size_t> underlined) {
  const std::vector<ShapedGlyph> glyphs = font.Shape(text);
  const FontMetrics& m = font.metrics();
  const std::uint32_t color = PixelFromColorRef(dc.text_color);
  const std::int64_t baseline = y + m.ascent;
  Box limit{INT64_MIN / 4, INT64_MIN / 4, INT64_MAX / 4, INT64_MAX / 4};
  if (clip_box) limit = *clip_box;

  std::int64_t pen = 0;  // 26.6
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    const ShapedGlyph& g = glyphs[i];
    const std::int64_t gx = x + ((pen + g.x_offset + 32) >> 6);
    const std::int64_t gy = baseline - ((g.y_offset + 32) >> 6);
    const GlyphImage& img = font.Glyph(g.glyph);
    if (img.width > 0 && dc.surface) {
      const Box box = Intersect({gx + img.left, gy - img.top, gx + img.left + img.width, gy - img.top + img.height},
                                limit);
      ForEachClipped(dc, box, [&](const RECT& r) {
        for (LONG py = r.top; py < r.bottom; ++py) {
          std::uint32_t* row = dc.surface->row(py);
          const std::uint8_t* cov = img.coverage.data() + static_cast<std::size_t>(py - (gy - img.top)) * img.width;
          const std::int64_t left = gx + img.left;
          for (LONG px = r.left; px < r.right; ++px) row[px] = BlendOver(row[px], color, cov[px - left]);
        }
      });
    }
    const std::int64_t next = pen + g.x_advance;
    const bool underline_this =
        underline_all || std::find(underlined.begin(), underlined.end(), g.cluster) != underlined.end();
    if (underline_this) {
      const std::int64_t ux0 = x + ((pen + 32) >> 6), ux1 = x + ((next + 32) >> 6);
      const std::int64_t uy = baseline + m.underline_position;
      const Box ub = Intersect({ux0, uy, ux1, uy + m.underline_thickness}, limit);
      FillBox(dc, ub, color);
    }
    pen = next;
  }
  return static_cast<int>((pen + 32) >> 6);
}

}  // namespace plat::gdi
