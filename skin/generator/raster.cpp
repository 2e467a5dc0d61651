#include "skin/generator/raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skin_art {

namespace {

constexpr int kSamples = 4;  // per axis

std::uint8_t Channel(float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
  const float f = static_cast<float>(t);
  return Rgb{a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::Paint(const Shape& shape, Box bounds, Rgb colour, double opacity) {
  const int x0 = std::max(0, static_cast<int>(std::floor(bounds.x0)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(bounds.y0)) - 1);
  const int x1 = std::min(width_, static_cast<int>(std::ceil(bounds.x1)) + 1);
  const int y1 = std::min(height_, static_cast<int>(std::ceil(bounds.y1)) + 1);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      // The pixel's corners and centre decide plain inside or outside; only
      // pixels on an edge are supersampled. Every shape of the skin is wider
      // than a pixel, so nothing slips between the five probes.
      const bool centre = shape(x + 0.5, y + 0.5);
      const bool plain = shape(x, y) == centre && shape(x + 1.0, y) == centre && shape(x, y + 1.0) == centre &&
                         shape(x + 1.0, y + 1.0) == centre;
      int hits = 0;
      if (plain) {
        hits = centre ? kSamples * kSamples : 0;
      } else {
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
          }
        }
      }
      if (hits == 0) continue;
      const double coverage = opacity * hits / (kSamples * kSamples);
      Set(x, y, Mix(At(x, y), colour, coverage));
    }
  }
}

void Canvas::FillGradient(int x0, int y0, int x1, int y1, Rgb top, Rgb bottom) {
  x0 = std::max(0, x0);
  y0 = std::max(0, y0);
  x1 = std::min(width_, x1);
  y1 = std::min(height_, y1);
  for (int y = y0; y < y1; ++y) {
    const double t = (y1 - y0) > 1 ? static_cast<double>(y - y0) / (y1 - y0 - 1) : 0.0;
    const Rgb c = Mix(top, bottom, t);
    for (int x = x0; x < x1; ++x) Set(x, y, c);
  }
}

void Canvas::Blit(const Canvas& source, int x, int y) {
  for (int sy = 0; sy < source.height(); ++sy) {
    for (int sx = 0; sx < source.width(); ++sx) {
      const int tx = x + sx;
      const int ty = y + sy;
      if (tx >= 0 && ty >= 0 && tx < width_ && ty < height_) Set(tx, ty, source.At(sx, sy));
    }
  }
}

plat::Surface Canvas::ToSurface() const {
  plat::Surface surface(width_, height_);
  for (int y = 0; y < height_; ++y) {
    std::uint32_t* row = surface.row(y);
    for (int x = 0; x < width_; ++x) {
      const Rgb c = At(x, y);
      row[x] = 0xFF000000u | (std::uint32_t{Channel(c.r)} << 16) | (std::uint32_t{Channel(c.g)} << 8) |
               std::uint32_t{Channel(c.b)};
    }
  }
  return surface;
}

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape Ring(double cx, double cy, double r, double width) {
  return [=](double x, double y) { return std::abs(std::hypot(x - cx, y - cy) - r) <= width / 2; };
}

Shape Arc(double cx, double cy, double r, double width, double a0, double a1) {
  return [=](double x, double y) {
    if (std::abs(std::hypot(x - cx, y - cy) - r) > width / 2) return false;
    double a = std::atan2(y - cy, x - cx);
    // Bring the angle into [a0, a0 + 2 pi).
    while (a < a0) a += 2 * std::numbers::pi;
    while (a >= a0 + 2 * std::numbers::pi) a -= 2 * std::numbers::pi;
    return a <= a1;
  };
}

Shape RoundRect(double x0, double y0, double x1, double y1, double radius) {
  radius = std::min({radius, (x1 - x0) / 2, (y1 - y0) / 2});
  return [=](double x, double y) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = std::clamp(x, x0 + radius, x1 - radius);
    const double cy = std::clamp(y, y0 + radius, y1 - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}

Shape RoundRectFrame(double x0, double y0, double x1, double y1, double radius, double width) {
  return Minus(RoundRect(x0, y0, x1, y1, radius),
               RoundRect(x0 + width, y0 + width, x1 - width, y1 - width, std::max(0.0, radius - width)));
}

Shape Polygon(std::vector<std::pair<double, double>> points) {
  return [points = std::move(points)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Segment(double x0, double y0, double x1, double y1, double width) {
  return [=](double x, double y) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double px = x0 + t * dx - x;
    const double py = y0 + t * dy - y;
    return px * px + py * py <= width * width / 4;
  };
}

Shape Union(std::vector<Shape> shapes) {
  return [shapes = std::move(shapes)](double x, double y) {
    return std::any_of(shapes.begin(), shapes.end(), [&](const Shape& s) { return s(x, y); });
  };
}

Shape Minus(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

}  // namespace skin_art
