#include "platform/gdi/font_instance.h"

#include "platform/gdi/font.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <map>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>

namespace plat::gdi {

void KeepFontLeakSuppression();

namespace {

// FreeType's library object is not safe for concurrent face creation and
// destruction; every such call holds this lock. It is never destroyed:
// faces are still released while static objects are torn down at exit.
std::mutex& LibraryMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    FT_Init_FreeType(&lib);
    return lib;
  }();
  return library;
}

struct FaceMatch {
  std::string file;
  int index = 0;
  std::string family;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

// Held for every fontconfig call; never destroyed, like the library mutex.
std::mutex& FontconfigMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}

FaceMatch MatchFace(const std::string& face, bool bold, bool italic) {
  FaceMatch result;
  std::lock_guard lock(FontconfigMutex());
  FcInit();
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.empty() ? "sans-serif" : face.c_str()));
  // Unknown faces fall back to the sans face.
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult res = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &res);
  if (match) {
    FcChar8* s = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &s) == FcResultMatch) result.file = reinterpret_cast<char*>(s);
    if (FcPatternGetString(match, FC_FAMILY, 0, &s) == FcResultMatch) result.family = reinterpret_cast<char*>(s);
    FcPatternGetInteger(match, FC_INDEX, 0, &result.index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &result.weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &result.slant);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  if (result.file.empty()) result.file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  return result;
}

}  // namespace

}  // namespace plat::gdi

namespace plat {

std::jthread StartFontSetUp() {
  return std::jthread([] {
    gdi::Library();
    gdi::MatchFace("", true, false);
  });
}

}  // namespace plat

namespace plat::gdi {

namespace {

using Key = std::tuple<std::string, LONG, LONG, BYTE, BYTE, BYTE>;  // face, height, weight, italic, underline, quality

}  // namespace

struct FontInstance::Impl {
  FT_Face face = nullptr;
  hb_font_t* hb = nullptr;
  bool antialias = true;
  bool embolden = false;
  FT_Pos embolden_strength = 0;
  bool oblique = false;
  FT_Int32 load_flags = FT_LOAD_DEFAULT;

  ~Impl() {
    if (hb) hb_font_destroy(hb);
    if (face) {
      std::lock_guard lock(LibraryMutex());
      FT_Done_Face(face);
    }
  }
};

FontInstance::~FontInstance() = default;

std::shared_ptr<FontInstance> FontInstance::ForLogFont(const LOGFONTA& lf) {
  KeepFontLeakSuppression();
  // Instances live in a small cache, most recently used first; font objects
  // hold their own reference, so eviction never frees one in use.
  static std::mutex cache_mutex;
  static std::list<std::pair<Key, std::shared_ptr<FontInstance>>> cache;
  constexpr std::size_t kCacheSize = 48;

  std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  const Key key{face, lf.lfHeight, lf.lfWeight, lf.lfItalic ? 1 : 0, lf.lfUnderline ? 1 : 0, lf.lfQuality};
  {
    std::lock_guard lock(cache_mutex);
    for (auto it = cache.begin(); it != cache.end(); ++it) {
      if (it->first == key) {
        cache.splice(cache.begin(), cache, it);
        return it->second;
      }
    }
  }

  const bool bold = lf.lfWeight >= 600;
  const bool italic = lf.lfItalic != 0;
  FaceMatch match = MatchFace(face, bold, italic);

  std::shared_ptr<FontInstance> inst(new FontInstance());
  inst->impl_ = std::make_unique<Impl>();
  Impl& impl = *inst->impl_;
  {
    std::lock_guard lock(LibraryMutex());
    if (FT_New_Face(Library(), match.file.c_str(), match.index, &impl.face) != 0) {
      impl.face = nullptr;
      match.file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
      FT_New_Face(Library(), match.file.c_str(), 0, &impl.face);
    }
  }
  inst->file_ = match.file;
  inst->family_ = match.family;
  FontMetrics& m = inst->metrics_;
  m.weight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
  m.italic = italic;
  FT_Face f = impl.face;
  if (!f) {
    // No usable font file at all: metrics only, nothing is drawn.
    m.height = std::abs(lf.lfHeight ? lf.lfHeight : 16);
    m.ascent = m.height * 4 / 5;
    m.descent = m.height - m.ascent;
    m.ave_char_width = std::max(1, m.height / 2);
    m.max_char_width = m.height;
  } else {
    // Cell height = the face's Windows ascent + descent; a positive record
    // height asks for that cell, a negative one for the em.
    double up_em = f->units_per_EM ? f->units_per_EM : 2048;
    double win_ascent = f->ascender, win_descent = -f->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2)); os2 && os2->usWinAscent) {
      win_ascent = os2->usWinAscent;
      win_descent = os2->usWinDescent;
    }
    const double cell_units = std::max(1.0, win_ascent + win_descent);
    LONG height = lf.lfHeight == 0 ? 16 : lf.lfHeight;
    height = std::clamp<LONG>(height, -2048, 2048);
    double em;
    if (height > 0) {
      em = height * up_em / cell_units;
      m.ascent = static_cast<int>(std::lround(win_ascent * height / cell_units));
      m.descent = height - m.ascent;
    } else {
      em = -height;
      m.ascent = static_cast<int>(std::lround(win_ascent * em / up_em));
      m.descent = static_cast<int>(std::lround(win_descent * em / up_em));
    }
    m.height = m.ascent + m.descent;
    m.internal_leading = std::max(0, m.height - static_cast<int>(std::lround(em)));
    FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
    const double scale = em / up_em;
    m.underline_position = std::max(1, static_cast<int>(std::lround(-f->underline_position * scale)));
    m.underline_thickness = std::max(1, static_cast<int>(std::lround(f->underline_thickness * scale)));
    m.max_char_width = static_cast<int>(std::lround((f->bbox.xMax - f->bbox.xMin) * scale));

    impl.antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
    impl.load_flags = impl.antialias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
    impl.embolden = bold && match.weight < FC_WEIGHT_DEMIBOLD;
    impl.embolden_strength = static_cast<FT_Pos>(std::lround(em * 64 / 24));
    impl.oblique = italic && match.slant == FC_SLANT_ROMAN;
    if (impl.oblique) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Set_Transform(f, &shear, nullptr);
    }
    impl.hb = hb_ft_font_create_referenced(f);
    hb_ft_font_set_load_flags(impl.hb, impl.load_flags);
    // Average width as the platform reports it: the OS/2 table's value.
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth > 0) m.ave_char_width = static_cast<int>(std::lround(os2->xAvgCharWidth * scale));
    else m.ave_char_width = std::max(1, inst->MeasureWidth("x"));
  }

  std::lock_guard lock(cache_mutex);
  cache.emplace_front(key, inst);
  if (cache.size() > kCacheSize) cache.pop_back();
  return inst;
}

std::vector<ShapedGlyph> FontInstance::Shape(std::string_view utf8) const {
  std::vector<ShapedGlyph> out;
  if (!impl_->hb || utf8.empty()) return out;
  std::lock_guard lock(mutex_);
  hb_buffer_t* buf = hb_buffer_create();
  hb_buffer_add_utf8(buf, utf8.data(), static_cast<int>(utf8.size()), 0, static_cast<int>(utf8.size()));
  hb_buffer_guess_segment_properties(buf);
  hb_shape(impl_->hb, buf, nullptr, 0);
  unsigned n = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &n);
  out.reserve(n);
  const std::int32_t extra = impl_->embolden ? static_cast<std::int32_t>(impl_->embolden_strength) : 0;
  for (unsigned i = 0; i < n; ++i)
    out.push_back({info[i].codepoint, info[i].cluster, pos[i].x_advance + extra, pos[i].x_offset, pos[i].y_offset});
  hb_buffer_destroy(buf);
  return out;
}

int FontInstance::MeasureWidth(std::string_view utf8) const {
  std::int64_t total = 0;
  for (const ShapedGlyph& g : Shape(utf8)) total += g.x_advance;
  return static_cast<int>((total + 32) >> 6);
}

const GlyphImage& FontInstance::Glyph(std::uint32_t glyph) const {
  std::lock_guard lock(mutex_);
  auto it = glyphs_.find(glyph);
  if (it != glyphs_.end()) return *it->second;
  auto image = std::make_unique<GlyphImage>();
  FT_Face f = impl_->face;
  if (f && FT_Load_Glyph(f, glyph, impl_->load_flags) == 0) {
    FT_GlyphSlot slot = f->glyph;
    if (impl_->embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE)
      FT_Outline_EmboldenXY(&slot->outline, impl_->embolden_strength, 0);
    if (FT_Render_Glyph(slot, impl_->antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0) {
      const FT_Bitmap& bm = slot->bitmap;
      image->left = slot->bitmap_left;
      image->top = slot->bitmap_top;
      image->width = static_cast<int>(bm.width);
      image->height = static_cast<int>(bm.rows);
      image->coverage.resize(static_cast<std::size_t>(image->width) * image->height);
      for (int y = 0; y < image->height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < image->width; ++x) {
          image->coverage[static_cast<std::size_t>(y) * image->width + x] =
              bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0) : row[x];
        }
      }
    }
  }
  const GlyphImage& ref = *image;
  glyphs_.emplace(glyph, std::move(image));
  return ref;
}

}  // namespace plat::gdi
