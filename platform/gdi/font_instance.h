// A font at one size, ready to shape and render: a FreeType face matched
// through fontconfig, a HarfBuzz font over it, its metrics and a cache of
// rendered glyphs. Instances are shared between font objects with the same
// record. Internal to the drawing layer.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace plat::gdi {

struct GlyphImage {
  int left = 0;   // from the pen position to the bitmap's left edge
  int top = 0;    // from the baseline up to the bitmap's top edge
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;  // width × height, 0..255
};

struct ShapedGlyph {
  std::uint32_t glyph = 0;
  std::uint32_t cluster = 0;  // byte offset of the character in the text
  std::int32_t x_advance = 0;  // 26.6 fixed point
  std::int32_t x_offset = 0;
  std::int32_t y_offset = 0;
};

struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;  // ascent + descent: one line
  int internal_leading = 0;
  int ave_char_width = 0;
  int max_char_width = 0;
  int underline_position = 0;  // below the baseline, pixels
  int underline_thickness = 1;
  int weight = FW_NORMAL;
  bool italic = false;
};

class FontInstance {
 public:
  // The instance for a font record, matched and sized; never null (a
  // missing face falls back to the default sans face).
  static std::shared_ptr<FontInstance> ForLogFont(const LOGFONTA& logfont);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  const FontMetrics& metrics() const { return metrics_; }
  const std::string& file() const { return file_; }
  const std::string& family() const { return family_; }

  std::vector<ShapedGlyph> Shape(std::string_view utf8) const;
  // Width in pixels of a UTF-8 text on one line.
  int MeasureWidth(std::string_view utf8) const;
  // Rendered glyph, cached; the reference stays valid for the instance's life.
  const GlyphImage& Glyph(std::uint32_t glyph) const;

  struct Impl;

 private:
  FontInstance() = default;
  std::unique_ptr<Impl> impl_;
  FontMetrics metrics_;
  std::string file_;
  std::string family_;
  mutable std::mutex mutex_;
  mutable std::unordered_map<std::uint32_t, std::unique_ptr<GlyphImage>> glyphs_;
};

}  // namespace plat::gdi
