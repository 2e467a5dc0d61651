#include "engines/picture/imagefx/effect_worker.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/surface.h"

namespace imagefx {

namespace {

// Channel bytes of a BGRA pixel.
constexpr int kBlue = 0, kGreen = 1, kRed = 2;

// 16-bit fixed point colour space: full scale 65532, a sixth of the hue
// circle 10922.
constexpr std::int64_t kFull = 65532, kHalf = 32766, kSixth = 10922, kThird = 21844;
constexpr std::int64_t kUndefinedHue = 43688;

inline std::uint8_t Clamp(float v) { return v <= 0.0f ? 0 : (v >= 255.0f ? 255 : static_cast<std::uint8_t>(v)); }
inline int ClampInt(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

struct Hls {
  std::int64_t h, l, s;
};

Hls ToHls(int r, int g, int b) {
  const std::int64_t M = std::max({r, g, b}), m = std::min({r, g, b});
  Hls out{};
  out.l = ((M + m) * kThird + 85) / 170;
  if (M == m) {
    out.s = 0;
    out.h = kUndefinedHue;
    return out;
  }
  out.s = out.l <= kHalf ? ((M - m) * kFull + (M + m) / 2) / (M + m)
                         : ((M - m) * kFull + (510 - M - m) / 2) / (510 - M - m);
  const std::int64_t d = M - m;
  const std::int64_t rr = (d / 2 + (M - r) * kSixth) / d;
  const std::int64_t gg = (d / 2 + (M - g) * kSixth) / d;
  const std::int64_t bb = (d / 2 + (M - b) * kSixth) / d;
  if (r == M) out.h = bb - gg;
  else if (g == M) out.h = kThird + rr - bb;
  else out.h = kUndefinedHue + gg - rr;
  if (out.h < 0) out.h += kFull;
  if (out.h > kFull) out.h -= kFull;
  return out;
}

std::int64_t HueToValue(std::int64_t m1, std::int64_t m2, std::int64_t h) {
  h %= kFull;
  if (h < 0) h += kFull;
  if (h < kSixth) return m1 + ((m2 - m1) * h + kSixth / 2) / kSixth;
  if (h < kHalf) return m2;
  if (h < kUndefinedHue) return m1 + ((m2 - m1) * (kUndefinedHue - h) + kSixth / 2) / kSixth;
  return m1;
}

void ToRgb(const Hls& c, int* r, int* g, int* b) {
  if (c.s == 0) {
    *r = *g = *b = ClampInt(static_cast<int>(c.l * 255 / kFull));
    return;
  }
  const std::int64_t m2 = c.l <= kHalf ? (c.l * (kFull + c.s) + kHalf) / kFull : c.l + c.s - (c.l * c.s + kHalf) / kFull;
  const std::int64_t m1 = 2 * c.l - m2;
  auto channel = [&](std::int64_t h) { return ClampInt(static_cast<int>((HueToValue(m1, m2, h) * 255 + kHalf) / kFull)); };
  *r = channel(c.h + kThird);
  *g = channel(c.h);
  *b = channel(c.h - kThird);
}

// Brightness and saturation of one colour (steps 1 and 2).
inline void BrightenAndSaturate(const EffectParams& p, float* rgb) {
  if (p.brightness != 0)
    for (int i = 0; i < 3; ++i) rgb[i] = Clamp(rgb[i] + static_cast<float>(p.brightness));
  if (p.saturation != 1.0f) {
    const float y = 0.2125f * rgb[0] + 0.7154f * rgb[1] + 0.0721f * rgb[2];
    for (int i = 0; i < 3; ++i) rgb[i] = Clamp(y + (rgb[i] - y) * p.saturation);
  }
}

// The full hue path for one colour: brightness, saturation, then the turn.
void TurnColour(const EffectParams& p, int r, int g, int b, int* out_r, int* out_g, int* out_b) {
  float rgb[3] = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)};
  BrightenAndSaturate(p, rgb);
  Hls hls = ToHls(static_cast<int>(rgb[0]), static_cast<int>(rgb[1]), static_cast<int>(rgb[2]));
  hls.h += static_cast<std::int64_t>(p.hue * kHalf);
  while (hls.h < 0) hls.h += kFull;
  while (hls.h > kFull) hls.h -= kFull;
  ToRgb(hls, out_r, out_g, out_b);
}

void Sharpen(std::uint8_t* pixels, int columns, int rows, float k, std::vector<std::uint8_t>& work) {
  if (columns < 3 || rows < 3) return;
  const std::size_t stride = static_cast<std::size_t>(columns) * 4;
  const std::size_t bytes = stride * static_cast<std::size_t>(rows);
  work.resize(bytes);
  std::memcpy(work.data(), pixels, bytes);
  const float centre = 1.0f + 4.0f * k;
  for (int y = 1; y < rows - 1; ++y) {
    const std::uint8_t* above = pixels + (y - 1) * stride;
    const std::uint8_t* here = pixels + y * stride;
    const std::uint8_t* below = pixels + (y + 1) * stride;
    std::uint8_t* out = work.data() + y * stride;
    for (int x = 1; x < columns - 1; ++x) {
      const std::size_t i = static_cast<std::size_t>(x) * 4;
      for (int c = 0; c < 3; ++c) {
        const float v = centre * here[i + c] -
                        k * (here[i - 4 + c] + here[i + 4 + c] + above[i + c] + below[i + c]);
        out[i + c] = Clamp(v);
      }
    }
  }
  std::memcpy(pixels, work.data(), bytes);
}

}  // namespace

EffectParams ParamsFromBytes(const unsigned char v[5]) {
  EffectParams p;
  p.brightness = 2 * v[0] - 256;
  p.contrast = v[1] / 128.0f;
  p.hue = v[2] / 128.0f - 1.0f;
  p.saturation = v[3] / 128.0f;
  p.sharpness = v[4] / 128.0f;
  return p;
}

std::vector<std::uint8_t> BuildHueTable(const EffectParams& params) {
  std::vector<std::uint8_t> table(32 * 32 * 32 * 3);
  for (int i = 0; i < 32; ++i)
    for (int j = 0; j < 32; ++j)
      for (int l = 0; l < 32; ++l) {
        int r = 0, g = 0, b = 0;
        TurnColour(params, 8 * i, 8 * j, 8 * l, &r, &g, &b);
        std::uint8_t* entry = table.data() + ((i * 32 + j) * 32 + l) * 3;
        entry[0] = static_cast<std::uint8_t>(r);
        entry[1] = static_cast<std::uint8_t>(g);
        entry[2] = static_cast<std::uint8_t>(b);
      }
  return table;
}

void ApplyEffects(std::uint8_t* pixels, int columns, int rows, const EffectParams& p, const std::uint8_t* table,
                  std::vector<std::uint8_t>& work) {
  if (!pixels || columns <= 0 || rows <= 0 || !p.Active()) return;
  const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
  const bool turn = p.hue != 0.0f;
  const bool colour = turn ? true : (p.brightness != 0 || p.saturation != 1.0f);
  const bool contrast = p.contrast != 1.0f;
  // Contrast pivots on mid-grey so that it scales about the middle; one
  // table of the 256 results serves every channel.
  std::uint8_t contrast_table[256];
  if (contrast)
    for (int v = 0; v < 256; ++v) contrast_table[v] = Clamp((static_cast<float>(v) - 127.5f) * p.contrast + 127.5f);
  if (colour || contrast) {
    for (std::size_t n = 0; n < count; ++n) {
      std::uint8_t* px = pixels + n * 4;
      if (turn) {
        if (table) {
          const std::uint8_t* e = table + (px[kRed] / 8) * 3072 + (px[kGreen] / 8) * 96 + (px[kBlue] / 8) * 3;
          px[kRed] = e[0];
          px[kGreen] = e[1];
          px[kBlue] = e[2];
        } else {
          int r = 0, g = 0, b = 0;
          TurnColour(p, px[kRed], px[kGreen], px[kBlue], &r, &g, &b);
          px[kRed] = static_cast<std::uint8_t>(r);
          px[kGreen] = static_cast<std::uint8_t>(g);
          px[kBlue] = static_cast<std::uint8_t>(b);
        }
      } else if (colour) {
        float rgb[3] = {static_cast<float>(px[kRed]), static_cast<float>(px[kGreen]), static_cast<float>(px[kBlue])};
        BrightenAndSaturate(p, rgb);
        px[kRed] = static_cast<std::uint8_t>(rgb[0]);
        px[kGreen] = static_cast<std::uint8_t>(rgb[1]);
        px[kBlue] = static_cast<std::uint8_t>(rgb[2]);
      }
      if (contrast)
        for (int c = 0; c < 3; ++c) px[c] = contrast_table[px[c]];
    }
  }
  if (p.sharpness != 0.0f) Sharpen(pixels, columns, rows, p.sharpness, work);
}

void CEffectWorker::Prepare(int columns, int rows) {
  // A new size gets a new work buffer: sharpening writes a whole buffer.
  if (m_bPrepared && columns == m_nColumns && rows == m_nRows) return;
  // Sizes come from callers: the product is checked before it is used.
  const std::int64_t pixels = std::int64_t{columns} * rows;
  const bool usable = columns > 0 && rows > 0 && pixels <= plat::MaxSurfacePixels;
  m_nColumns = usable ? columns : 0;
  m_nRows = usable ? rows : 0;
  m_nPixels = static_cast<std::int32_t>(usable ? pixels : 0);
  if (usable) {
    m_bPrepared = true;
    m_work.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) * 4, 0);
    if (m_table.empty()) m_table.assign(32 * 32 * 32 * 3, 0);
  } else {
    m_bPrepared = false;
    m_bActive = false;
  }
}

void CEffectWorker::SetValues(const unsigned char values[5]) {
  if (!m_bPrepared) return;
  std::memcpy(m_values, values, 5);
  m_params = ParamsFromBytes(values);
  if (m_params.hue != 0.0f) m_table = BuildHueTable(m_params);
  m_bActive = m_params.Active();
}

void CEffectWorker::Apply(int, unsigned char* pixels, int, int) {
  if (!m_bPrepared || !m_bActive || !pixels) return;
  m_pCurrent = pixels;
  ApplyEffects(pixels, m_nColumns, m_nRows, m_params, m_table.data(), m_work);
}

void CEffectWorker::Free() {
  if (!m_bPrepared) return;
  m_work = {};
  m_table = {};
  m_bPrepared = false;
  m_bActive = false;
}

}  // namespace imagefx
