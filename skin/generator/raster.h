// A small anti-aliased rasteriser for the skin's artwork: shapes are inside
// tests over pixel coordinates, painted with 4x4 supersampling into a
// floating-point canvas. Everything is plain arithmetic on doubles, so the
// same program always writes the same pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi/surface.h"

namespace skin_art {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

// 0xRRGGBB.
constexpr Rgb Hex(std::uint32_t rgb) {
  return Rgb{static_cast<float>((rgb >> 16) & 0xFF), static_cast<float>((rgb >> 8) & 0xFF),
             static_cast<float>(rgb & 0xFF)};
}
Rgb Mix(Rgb a, Rgb b, double t);

// True when the point (in pixels, pixel centres at +0.5) lies inside.
using Shape = std::function<bool(double x, double y)>;

struct Box {
  double x0, y0, x1, y1;
};

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill);
  int width() const { return width_; }
  int height() const { return height_; }

  // Paints `shape` with `colour` at the given opacity; only pixels inside
  // `bounds` are visited.
  void Paint(const Shape& shape, Box bounds, Rgb colour, double opacity = 1.0);
  // A vertical gradient over a rectangle (no anti-aliasing needed).
  void FillGradient(int x0, int y0, int x1, int y1, Rgb top, Rgb bottom);
  void Fill(int x0, int y0, int x1, int y1, Rgb colour) { FillGradient(x0, y0, x1, y1, colour, colour); }
  // Copies another canvas into this one at (x, y).
  void Blit(const Canvas& source, int x, int y);
  Rgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  void Set(int x, int y, Rgb c) { pixels_[static_cast<std::size_t>(y) * width_ + x] = c; }

  plat::Surface ToSurface() const;

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

// Shapes, all in pixel coordinates.
Shape Circle(double cx, double cy, double r);
Shape Ring(double cx, double cy, double r, double width);
// A ring band between the angles a0 and a1 (radians, y pointing down,
// measured as atan2(y, x)); a0 < a1, the band runs from a0 to a1.
Shape Arc(double cx, double cy, double r, double width, double a0, double a1);
Shape RoundRect(double x0, double y0, double x1, double y1, double radius);
// The outline of a rounded rectangle, `width` thick, inside its edge.
Shape RoundRectFrame(double x0, double y0, double x1, double y1, double radius, double width);
Shape Polygon(std::vector<std::pair<double, double>> points);
// A line segment with round caps.
Shape Segment(double x0, double y0, double x1, double y1, double width);
Shape Union(std::vector<Shape> shapes);
Shape Minus(Shape a, Shape b);

}  // namespace skin_art
