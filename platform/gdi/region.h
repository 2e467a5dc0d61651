// A region: a set of pixels described by non-overlapping rectangles. Used for
// window shapes, visible areas of windows and clipping of drawing.
//
// Rectangles are kept in y-x banded form: sorted by top then left; the
// rectangles of one band share top and bottom; neighbouring spans in a band
// never touch; vertically adjacent bands with the same spans are merged. The
// form is canonical, so two regions covering the same pixels compare equal.
#pragma once

#include <span>
#include <vector>

#include "platform/core/types.h"

namespace plat {

class Region {
 public:
  enum class Op { Or, And, Diff, Xor };

  Region() = default;
  explicit Region(const RECT& rect);
  // Any rectangles, overlapping or not; empty and inverted ones are ignored.
  static Region FromRects(std::span<const RECT> rects);

  bool empty() const { return rects_.empty(); }
  const std::vector<RECT>& rects() const { return rects_; }
  // Smallest rectangle holding every pixel; all zero when empty.
  RECT bounds() const;
  bool contains(int x, int y) const;
  bool intersects(const RECT& rect) const;

  void offset(int dx, int dy);
  static Region Combine(const Region& a, const Region& b, Op op);
  Region united(const Region& o) const { return Combine(*this, o, Op::Or); }
  Region intersected(const Region& o) const { return Combine(*this, o, Op::And); }
  Region subtracted(const Region& o) const { return Combine(*this, o, Op::Diff); }
  Region xored(const Region& o) const { return Combine(*this, o, Op::Xor); }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  std::vector<RECT> rects_;
};

}  // namespace plat
