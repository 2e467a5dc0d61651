#include "engines/picture/picture_core/pixel_ops.h"

#include <array>
#include <cmath>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

namespace picture {

namespace {

// Each turn as a matrix on centred coordinates (x right, y down):
// (x, y) -> (a x + b y, c x + d y).
struct Matrix {
  int a, b, c, d;
  bool operator==(const Matrix&) const = default;
};

constexpr std::array<Matrix, 8> kMatrices = {{
    {1, 0, 0, 1},    // None
    {-1, 0, 0, 1},   // FlipHorizontal
    {1, 0, 0, -1},   // FlipVertical
    {0, 1, 1, 0},    // Transpose
    {0, -1, -1, 0},  // Transverse
    {0, -1, 1, 0},   // Rotate90
    {-1, 0, 0, -1},  // Rotate180
    {0, 1, -1, 0},   // Rotate270
}};

Matrix MatrixOf(Turn t) { return kMatrices[static_cast<std::size_t>(t)]; }

}  // namespace

Turn TurnForOrientation(int orientation) {
  switch (orientation) {
    case 2: return Turn::FlipHorizontal;
    case 3: return Turn::Rotate180;
    case 4: return Turn::FlipVertical;
    case 5: return Turn::Transpose;
    case 6: return Turn::Rotate90;
    case 7: return Turn::Transverse;
    case 8: return Turn::Rotate270;
    default: return Turn::None;
  }
}

Turn Combine(Turn first, Turn then) {
  const Matrix f = MatrixOf(first), t = MatrixOf(then);
  const Matrix product{t.a * f.a + t.b * f.c, t.a * f.b + t.b * f.d, t.c * f.a + t.d * f.c, t.c * f.b + t.d * f.d};
  for (std::size_t i = 0; i < kMatrices.size(); ++i)
    if (kMatrices[i] == product) return static_cast<Turn>(i);
  return Turn::None;
}

Turn TurnForAngle(int degrees) {
  switch (((degrees % 360) + 360) % 360) {
    case 90: return Turn::Rotate90;
    case 180: return Turn::Rotate180;
    case 270: return Turn::Rotate270;
    default: return Turn::None;
  }
}

bool SwapsSides(Turn turn) {
  return turn == Turn::Transpose || turn == Turn::Transverse || turn == Turn::Rotate90 || turn == Turn::Rotate270;
}

plat::Surface ApplyTurn(const plat::Surface& in, Turn turn) {
  if (turn == Turn::None) return in;
  const int w = in.width(), h = in.height();
  const bool swap = SwapsSides(turn);
  plat::Surface out(swap ? h : w, swap ? w : h, 0u);
  // Destination pixel (X, Y) comes from the source pixel found by the
  // inverse mapping; written per turn so each loop stays simple.
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* src = in.row(y);
    for (int x = 0; x < w; ++x) {
      int dx = x, dy = y;
      switch (turn) {
        case Turn::FlipHorizontal: dx = w - 1 - x; break;
        case Turn::FlipVertical: dy = h - 1 - y; break;
        case Turn::Transpose: dx = y; dy = x; break;
        case Turn::Transverse: dx = h - 1 - y; dy = w - 1 - x; break;
        case Turn::Rotate90: dx = h - 1 - y; dy = x; break;
        case Turn::Rotate180: dx = w - 1 - x; dy = h - 1 - y; break;
        case Turn::Rotate270: dx = y; dy = w - 1 - x; break;
        case Turn::None: break;
      }
      out.row(dy)[dx] = src[x];
    }
  }
  return out;
}

std::optional<plat::Surface> RotateBy(const plat::Surface& in, double degrees) {
  double turned = std::fmod(degrees, 360.0);
  if (turned < 0) turned += 360.0;
  if (turned == 0.0) return in;
  if (turned == 90.0 || turned == 180.0 || turned == 270.0)
    return ApplyTurn(in, TurnForAngle(static_cast<int>(turned)));
  const double radians = turned * M_PI / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  const double w = in.width(), h = in.height();
  const double out_w = std::ceil(std::abs(w * c) + std::abs(h * s) - 1e-9);
  const double out_h = std::ceil(std::abs(w * s) + std::abs(h * c) - 1e-9);
  if (out_w < 1 || out_h < 1 || out_w * out_h > static_cast<double>(plat::MaxSurfacePixels)) return std::nullopt;
  plat::Surface out(static_cast<int>(out_w), static_cast<int>(out_h), 0xFF000000u);
  const double cx_in = w / 2.0, cy_in = h / 2.0, cx_out = out_w / 2.0, cy_out = out_h / 2.0;
  for (int y = 0; y < out.height(); ++y) {
    std::uint32_t* dst = out.row(y);
    for (int x = 0; x < out.width(); ++x) {
      // Inverse rotation of the pixel centre (clockwise on screen).
      const double px = x + 0.5 - cx_out, py = y + 0.5 - cy_out;
      const double sx = px * c + py * s + cx_in - 0.5, sy = -px * s + py * c + cy_in - 0.5;
      if (sx < -0.5 || sy < -0.5 || sx > w - 0.5 || sy > h - 0.5) continue;
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      const double fx = sx - x0, fy = sy - y0;
      auto at = [&](int xx, int yy) {
        xx = xx < 0 ? 0 : (xx >= in.width() ? in.width() - 1 : xx);
        yy = yy < 0 ? 0 : (yy >= in.height() ? in.height() - 1 : yy);
        return in.row(yy)[xx];
      };
      const std::uint32_t p00 = at(x0, y0), p10 = at(x0 + 1, y0), p01 = at(x0, y0 + 1), p11 = at(x0 + 1, y0 + 1);
      std::uint32_t pixel = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const double top = ((p00 >> shift) & 0xFF) * (1 - fx) + ((p10 >> shift) & 0xFF) * fx;
        const double bottom = ((p01 >> shift) & 0xFF) * (1 - fx) + ((p11 >> shift) & 0xFF) * fx;
        const double v = top * (1 - fy) + bottom * fy + 0.5;
        pixel |= static_cast<std::uint32_t>(v > 255 ? 255 : v) << shift;
      }
      dst[x] = pixel;
    }
  }
  return out;
}

std::optional<plat::Surface> Resize(const plat::Surface& in, int width, int height, bool smooth) {
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > plat::MaxSurfacePixels || in.empty())
    return std::nullopt;
  if (width == in.width() && height == in.height()) return in;
  // The platform's stretching blit does the scaling, between two bitmaps.
  auto source = std::make_shared<plat::Surface>(in);
  auto target = std::make_shared<plat::Surface>(width, height, 0xFF000000u);
  plat::HBITMAP src_bitmap = plat::CreateBitmapFromSurface(source);
  plat::HBITMAP dst_bitmap = plat::CreateBitmapFromSurface(target);
  plat::HDC src_dc = plat::CreateCompatibleDC(nullptr);
  plat::HDC dst_dc = plat::CreateCompatibleDC(nullptr);
  plat::HGDIOBJ old_src = plat::SelectObject(src_dc, src_bitmap);
  plat::HGDIOBJ old_dst = plat::SelectObject(dst_dc, dst_bitmap);
  plat::SetStretchBltMode(dst_dc, smooth ? plat::HALFTONE : plat::COLORONCOLOR);
  const bool ok = plat::StretchBlt(dst_dc, 0, 0, width, height, src_dc, 0, 0, in.width(), in.height(), plat::SRCCOPY);
  plat::SelectObject(src_dc, old_src);
  plat::SelectObject(dst_dc, old_dst);
  plat::DeleteDC(src_dc);
  plat::DeleteDC(dst_dc);
  plat::DeleteObject(src_bitmap);
  plat::DeleteObject(dst_bitmap);
  if (!ok) return std::nullopt;
  return std::move(*target);
}

}  // namespace picture
