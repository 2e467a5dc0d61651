#include "skin/generator/icons.h"

#include <cmath>
#include <map>
#include <numbers>
#include <stdexcept>

namespace skin_art {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kStroke = 0.075;  // line width of outlined icons, in icon units

using Points = std::vector<std::pair<double, double>>;

Shape Triangle(double x0, double y0, double x1, double y1, double x2, double y2) {
  return Polygon(Points{{x0, y0}, {x1, y1}, {x2, y2}});
}
Shape Rect(double x0, double y0, double x1, double y1) { return RoundRect(x0, y0, x1, y1, 0.0); }
Shape Chevron(double dir_x, double dir_y, double size) {
  // A ">" pointing along (dir_x, dir_y).
  const double px = -dir_y;
  const double py = dir_x;
  const double tip_x = dir_x * size / 2;
  const double tip_y = dir_y * size / 2;
  const double back_x = -dir_x * size / 2;
  const double back_y = -dir_y * size / 2;
  return Union({Segment(back_x + px * size, back_y + py * size, tip_x, tip_y, kStroke * 1.3),
                Segment(back_x - px * size, back_y - py * size, tip_x, tip_y, kStroke * 1.3)});
}
Shape Speaker() {
  return Polygon(Points{{-0.38, -0.1}, {-0.24, -0.1}, {-0.06, -0.28}, {-0.06, 0.28}, {-0.24, 0.1}, {-0.38, 0.1}});
}
Shape Monitor() {
  return Union({RoundRectFrame(-0.42, -0.32, 0.42, 0.2, 0.05, kStroke), Rect(-0.04, 0.2, 0.04, 0.32),
                RoundRect(-0.2, 0.3, 0.2, 0.36, 0.03)});
}
Shape Disc() { return Minus(Circle(0, 0, 0.42), Circle(0, 0, 0.09)); }
Shape ArrowHead(double x, double y, double angle, double size) {
  // A filled triangle whose tip is at (x, y) pointing along `angle`.
  const double dx = std::cos(angle);
  const double dy = std::sin(angle);
  return Triangle(x, y, x - dx * size - dy * size * 0.7, y - dy * size + dx * size * 0.7,
                  x - dx * size + dy * size * 0.7, y - dy * size - dx * size * 0.7);
}
Shape Card(double notch) {
  // A memory card with one cut corner.
  return Polygon(Points{{-0.28, -0.4}, {0.28 - notch, -0.4}, {0.28, -0.4 + notch}, {0.28, 0.4}, {-0.28, 0.4}});
}
Shape TwoTriangles(bool forward) {
  const double s = forward ? 1.0 : -1.0;
  return Union({Triangle(s * -0.4, -0.26, s * -0.4, 0.26, s * 0.0, 0.0),
                Triangle(s * 0.0, -0.26, s * 0.0, 0.26, s * 0.4, 0.0)});
}
Shape Skip(bool forward) {
  const double s = forward ? 1.0 : -1.0;
  return Union({Triangle(s * -0.3, -0.28, s * -0.3, 0.28, s * 0.18, 0.0), Rect(std::min(s * 0.2, s * 0.3), -0.28,
                                                                               std::max(s * 0.2, s * 0.3), 0.28)});
}
Shape Rotate(bool clockwise) {
  const double s = clockwise ? 1.0 : -1.0;
  // Three quarters of a circle and an arrow head at its open end.
  Shape band = Arc(0, 0.02, 0.3, kStroke * 1.2, -kPi / 2 + 0.35, kPi + 0.2);
  Shape head = ArrowHead(0.1, -0.3, 0.0, 0.16);
  return [=](double x, double y) {
    const double mx = s * x;  // mirror for the other direction
    return band(mx, y) || head(mx, y);
  };
}

std::map<std::string, Shape> BuildIcons() {
  std::map<std::string, Shape> icons;
  icons["home"] = Minus(Union({Triangle(-0.44, -0.02, 0.0, -0.42, 0.44, -0.02), Rect(-0.3, -0.06, 0.3, 0.38)}),
                        RoundRect(-0.08, 0.12, 0.08, 0.4, 0.03));
  {
    std::vector<Shape> holes{Circle(0, 0, 0.06)};
    for (int k = 0; k < 5; ++k) {
      const double a = -kPi / 2 + k * 2 * kPi / 5;
      holes.push_back(Circle(0.22 * std::cos(a), 0.22 * std::sin(a), 0.09));
    }
    icons["movie"] = Minus(Union({Circle(0, 0, 0.4), Rect(0.0, 0.32, 0.46, 0.4)}), Union(holes));
  }
  icons["music"] = Union({Circle(-0.2, 0.26, 0.12), Circle(0.22, 0.18, 0.12), Rect(-0.1, -0.3, -0.02, 0.26),
                          Rect(0.32, -0.4, 0.4, 0.18),
                          Polygon(Points{{-0.1, -0.3}, {0.4, -0.42}, {0.4, -0.3}, {-0.1, -0.18}})});
  icons["photo"] = Union({RoundRectFrame(-0.44, -0.34, 0.44, 0.34, 0.06, kStroke),
                          Polygon(Points{{-0.34, 0.26}, {-0.1, -0.04}, {0.04, 0.12}, {0.16, 0.0}, {0.34, 0.26}}),
                          Circle(0.18, -0.16, 0.08)});
  icons["video"] = Union({RoundRect(-0.44, -0.24, 0.14, 0.24, 0.07), Triangle(0.16, 0.0, 0.44, -0.22, 0.44, 0.22)});
  icons["tv"] = Union({RoundRectFrame(-0.44, -0.3, 0.44, 0.24, 0.05, kStroke), Segment(-0.18, -0.44, 0.0, -0.3, 0.05),
                       Segment(0.18, -0.44, 0.0, -0.3, 0.05), RoundRect(-0.24, 0.3, 0.24, 0.37, 0.03)});
  icons["radio"] = Minus(Union({RoundRect(-0.44, -0.12, 0.44, 0.36, 0.06), Segment(-0.26, -0.12, 0.3, -0.42, 0.05)}),
                         Union({Circle(-0.18, 0.12, 0.13), Rect(0.1, 0.0, 0.32, 0.04), Rect(0.1, 0.1, 0.32, 0.14),
                                Rect(0.1, 0.2, 0.32, 0.24)}));
  icons["record"] = Union({Ring(0, 0, 0.38, kStroke), Circle(0, 0, 0.22)});
  icons["burning"] = Minus(Disc(), Union({Arc(0, 0, 0.28, 0.05, -kPi / 2, -0.2), Ring(0, 0, 0.14, 0.03)}));
  icons["disc"] = Minus(Disc(), Ring(0, 0, 0.14, 0.03));
  // A drive's box seen from the front: a slot and a lamp.
  icons["harddisk"] = Minus(RoundRect(-0.44, -0.24, 0.44, 0.24, 0.06),
                            Union({RoundRect(-0.32, 0.04, 0.12, 0.11, 0.03), Circle(0.27, 0.075, 0.06)}));
  {
    std::vector<Shape> teeth{Circle(0, 0, 0.3)};
    for (int k = 0; k < 8; ++k) {
      const double a = k * kPi / 4;
      const double c = std::cos(a);
      const double s = std::sin(a);
      auto at = [&](double u, double v) { return std::pair<double, double>{u * c - v * s, u * s + v * c}; };
      teeth.push_back(Polygon(Points{at(0.2, -0.08), at(0.43, -0.065), at(0.43, 0.065), at(0.2, 0.08)}));
    }
    icons["settings"] = Minus(Union(teeth), Circle(0, 0, 0.13));
  }
  icons["help"] = Union({Arc(0, -0.14, 0.2, kStroke * 1.3, -kPi, kPi / 2), Segment(0, 0.06, 0, 0.14, kStroke * 1.3),
                         Circle(0, 0.32, 0.065)});
  icons["web"] = Union({Ring(0, 0, 0.4, kStroke), Segment(-0.4, 0, 0.4, 0, kStroke * 0.8),
                        Segment(0, -0.4, 0, 0.4, kStroke * 0.8),
                        [](double x, double y) {  // a meridian ellipse
                          const double d = std::hypot(x / 0.2, y / 0.4);
                          return std::abs(d - 1.0) * 0.2 <= kStroke * 0.4;
                        },
                        Segment(-0.34, -0.2, 0.34, -0.2, kStroke * 0.7), Segment(-0.34, 0.2, 0.34, 0.2, kStroke * 0.7)});
  icons["topc"] = Union({Monitor(), Segment(-0.2, -0.06, 0.12, -0.06, kStroke), ArrowHead(0.22, -0.06, 0.0, 0.14)});
  icons["play"] = Triangle(-0.26, -0.36, -0.26, 0.36, 0.38, 0.0);
  icons["pause"] = Union({RoundRect(-0.3, -0.34, -0.08, 0.34, 0.04), RoundRect(0.08, -0.34, 0.3, 0.34, 0.04)});
  icons["stop"] = RoundRect(-0.3, -0.3, 0.3, 0.3, 0.05);
  icons["next"] = Skip(true);
  icons["previous"] = Skip(false);
  icons["fastforward"] = TwoTriangles(true);
  icons["rewind"] = TwoTriangles(false);
  icons["eject"] = Union({Triangle(-0.34, 0.06, 0.34, 0.06, 0.0, -0.34), RoundRect(-0.34, 0.18, 0.34, 0.3, 0.03)});
  icons["restart"] = Rotate(false);
  icons["minimize"] = Segment(-0.3, 0.22, 0.3, 0.22, kStroke * 1.2);
  icons["maximize"] = RoundRectFrame(-0.3, -0.28, 0.3, 0.28, 0.04, kStroke * 1.1);
  icons["restore"] = Union({RoundRectFrame(-0.32, -0.14, 0.16, 0.32, 0.04, kStroke), Rect(-0.14, -0.32, 0.32, -0.32 + kStroke),
                            Rect(0.32 - kStroke, -0.32, 0.32, 0.14)});
  icons["close"] = Union({Segment(-0.28, -0.28, 0.28, 0.28, kStroke * 1.3), Segment(-0.28, 0.28, 0.28, -0.28, kStroke * 1.3)});
  icons["back"] = Union({Segment(-0.3, 0, 0.32, 0, kStroke * 1.3), Segment(-0.3, 0, -0.06, -0.24, kStroke * 1.3),
                         Segment(-0.3, 0, -0.06, 0.24, kStroke * 1.3)});
  icons["arrow_left"] = Chevron(-1, 0, 0.34);
  icons["arrow_right"] = Chevron(1, 0, 0.34);
  icons["channel_up"] = Chevron(0, -1, 0.34);
  icons["channel_down"] = Chevron(0, 1, 0.34);
  {
    const Shape left = Chevron(-1, 0, 0.26);
    const Shape right = Chevron(1, 0, 0.26);
    icons["image_previous"] = [left](double x, double y) { return left(x + 0.1, y) || left(x - 0.1, y); };
    icons["image_next"] = [right](double x, double y) { return right(x + 0.1, y) || right(x - 0.1, y); };
  }
  icons["vol_up"] = Union({Speaker(), Segment(0.12, 0, 0.4, 0, kStroke), Segment(0.26, -0.14, 0.26, 0.14, kStroke)});
  icons["vol_down"] = Union({Speaker(), Segment(0.12, 0, 0.4, 0, kStroke)});
  icons["vol_unmute"] = Union({Speaker(), Arc(0.0, 0, 0.2, kStroke * 0.8, -0.7, 0.7), Arc(0.0, 0, 0.36, kStroke * 0.8, -0.7, 0.7)});
  icons["vol_mute"] = Union({Speaker(), Segment(0.1, -0.14, 0.38, 0.14, kStroke), Segment(0.1, 0.14, 0.38, -0.14, kStroke)});
  icons["menu"] = Union({Segment(-0.3, -0.22, 0.3, -0.22, kStroke * 1.2), Segment(-0.3, 0, 0.3, 0, kStroke * 1.2),
                         Segment(-0.3, 0.22, 0.3, 0.22, kStroke * 1.2)});
  icons["language"] = Union({RoundRectFrame(-0.4, -0.32, 0.4, 0.18, 0.08, kStroke), Triangle(-0.2, 0.16, -0.2, 0.36, 0.02, 0.16),
                             Segment(-0.22, -0.12, 0.22, -0.12, kStroke * 0.8), Segment(-0.22, 0.0, 0.1, 0.0, kStroke * 0.8)});
  icons["subtitle"] = Union({RoundRectFrame(-0.42, -0.3, 0.42, 0.3, 0.06, kStroke), Segment(-0.26, 0.08, 0.06, 0.08, kStroke),
                             Segment(0.14, 0.08, 0.26, 0.08, kStroke), Segment(-0.26, 0.18, 0.26, 0.18, kStroke)});
  icons["angle"] = Union({RoundRect(-0.3, -0.16, 0.12, 0.16, 0.04), Triangle(0.12, 0.0, 0.32, -0.14, 0.32, 0.14),
                          Arc(0, 0, 0.42, kStroke * 0.8, kPi * 0.65, kPi * 1.35)});
  icons["desktop"] = Union({Monitor(), RoundRect(-0.26, -0.18, 0.06, 0.06, 0.03)});
  icons["snapshot"] = Minus(Union({RoundRect(-0.42, -0.22, 0.42, 0.3, 0.07), RoundRect(-0.14, -0.34, 0.14, -0.16, 0.03)}),
                            Minus(Circle(0, 0.04, 0.18), Circle(0, 0.04, 0.1)));
  // Two half circles chasing each other, each with its arrow head.
  icons["repeat"] = Union({Arc(0, 0, 0.3, kStroke, -kPi + 0.45, -0.45), ArrowHead(0.3, -0.02, kPi / 2, 0.14),
                           Arc(0, 0, 0.3, kStroke, 0.45, kPi - 0.45), ArrowHead(-0.3, 0.02, -kPi / 2, 0.14)});
  icons["repeat_on"] = Union({icons["repeat"], Circle(0, 0, 0.09)});
  icons["shuffle"] = Union({Segment(-0.38, -0.22, 0.26, 0.22, kStroke), Segment(-0.38, 0.22, 0.26, -0.22, kStroke),
                            ArrowHead(0.4, 0.22, 0.0, 0.14), ArrowHead(0.4, -0.22, 0.0, 0.14)});
  icons["shuffle_on"] = Union({icons["shuffle"], Circle(-0.06, 0, 0.07)});
  icons["visualization"] = Union({RoundRect(-0.38, 0.0, -0.24, 0.34, 0.03), RoundRect(-0.18, -0.3, -0.04, 0.34, 0.03),
                                  RoundRect(0.02, -0.12, 0.16, 0.34, 0.03), RoundRect(0.22, -0.38, 0.36, 0.34, 0.03)});
  icons["visualization_on"] = Union({icons["visualization"], Ring(0, 0, 0.46, 0.04)});
  icons["effect_previous"] = Union({Chevron(-1, 0, 0.22), RoundRect(0.06, -0.2, 0.14, 0.2, 0.02), RoundRect(0.22, -0.3, 0.3, 0.3, 0.02)});
  icons["effect_next"] = Union({Chevron(1, 0, 0.22), RoundRect(-0.14, -0.2, -0.06, 0.2, 0.02), RoundRect(-0.3, -0.3, -0.22, 0.3, 0.02)});
  icons["rotate_left"] = Rotate(false);
  icons["rotate_right"] = Rotate(true);
  icons["usb"] = Union({Segment(0, -0.4, 0, 0.3, kStroke), Circle(0, 0.33, 0.08), Triangle(-0.08, -0.3, 0.08, -0.3, 0, -0.44),
                        Segment(0, 0.12, -0.22, -0.04, kStroke), Segment(-0.22, -0.04, -0.22, -0.14, kStroke),
                        Circle(-0.22, -0.18, 0.06), Segment(0, 0.02, 0.22, -0.1, kStroke),
                        RoundRect(0.16, -0.26, 0.28, -0.14, 0.01)});
  icons["smartmedia"] = Minus(Card(0.12), RoundRect(-0.16, -0.28, 0.12, -0.02, 0.03));
  icons["memorystick"] = Minus(RoundRect(-0.14, -0.44, 0.14, 0.44, 0.04),
                               Union({Rect(-0.08, 0.28, -0.04, 0.38), Rect(0.0, 0.28, 0.04, 0.38)}));
  icons["compactflash"] = Minus(RoundRect(-0.36, -0.34, 0.36, 0.34, 0.05), Union({Rect(-0.28, 0.22, 0.28, 0.26)}));
  icons["securedigital"] = Minus(Card(0.14), Union({Rect(-0.2, -0.34, -0.14, -0.22), Rect(-0.08, -0.34, -0.02, -0.22),
                                                    Rect(0.04, -0.34, 0.1, -0.22)}));
  icons["defaults"] = Rotate(false);
  icons["about"] = Union({Ring(0, 0, 0.38, kStroke), Circle(0, -0.18, 0.06), RoundRect(-0.045, -0.06, 0.045, 0.24, 0.02)});
  icons["folder"] = Union({RoundRect(-0.42, -0.26, 0.42, 0.32, 0.05), RoundRect(-0.42, -0.34, -0.06, -0.2, 0.04)});
  return icons;
}

}  // namespace

Shape Icon(const std::string& name, double cx, double cy, double size) {
  static const std::map<std::string, Shape> icons = BuildIcons();
  auto it = icons.find(name);
  if (it == icons.end()) throw std::runtime_error("no icon named " + name);
  const Shape& unit = it->second;
  return [&unit, cx, cy, size](double x, double y) { return unit((x - cx) / size, (y - cy) / size); };
}

}  // namespace skin_art
