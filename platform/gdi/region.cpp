#include "platform/gdi/region.h"

#include <algorithm>
#include <utility>

namespace plat {
namespace {

using Span = std::pair<LONG, LONG>;  // [left, right)

struct Band {
  LONG top;
  LONG bottom;
  std::vector<Span> spans;
};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

std::vector<Band> ToBands(const std::vector<RECT>& rects) {
  std::vector<Band> bands;
  for (const RECT& r : rects) {
    if (bands.empty() || bands.back().top != r.top) bands.push_back({r.top, r.bottom, {}});
    bands.back().spans.emplace_back(r.left, r.right);
  }
  return bands;
}

bool Keep(Region::Op op, bool inA, bool inB) {
  switch (op) {
    case Region::Op::Or: return inA || inB;
    case Region::Op::And: return inA && inB;
    case Region::Op::Diff: return inA && !inB;
    case Region::Op::Xor: return inA != inB;
  }
  return false;
}

// Combines two sorted, disjoint span lists by a sweep over their edges.
std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Region::Op op) {
  std::vector<LONG> xs;
  xs.reserve(2 * (a.size() + b.size()));
  for (const Span& s : a) { xs.push_back(s.first); xs.push_back(s.second); }
  for (const Span& s : b) { xs.push_back(s.first); xs.push_back(s.second); }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

  std::vector<Span> out;
  std::size_t ia = 0, ib = 0;
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    const LONG x0 = xs[i], x1 = xs[i + 1];
    while (ia < a.size() && a[ia].second <= x0) ++ia;
    while (ib < b.size() && b[ib].second <= x0) ++ib;
    const bool inA = ia < a.size() && a[ia].first <= x0;
    const bool inB = ib < b.size() && b[ib].first <= x0;
    if (!Keep(op, inA, inB)) continue;
    if (!out.empty() && out.back().second == x0) out.back().second = x1;
    else out.emplace_back(x0, x1);
  }
  return out;
}

// Emits bands as rectangles, merging a band into the previous one when it
// continues it with identical spans.
class BandWriter {
 public:
  void Add(LONG top, LONG bottom, std::vector<Span> spans) {
    if (spans.empty()) return;
    if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
      bands_.back().bottom = bottom;
      return;
    }
    bands_.push_back({top, bottom, std::move(spans)});
  }
  std::vector<RECT> Finish() const {
    std::vector<RECT> rects;
    for (const Band& b : bands_)
      for (const Span& s : b.spans) rects.push_back({s.first, b.top, s.second, b.bottom});
    return rects;
  }

 private:
  std::vector<Band> bands_;
};

}  // namespace

Region::Region(const RECT& rect) {
  if (!IsEmpty(rect)) rects_.push_back(rect);
}

Region Region::FromRects(std::span<const RECT> rects) {
  // Union rectangle by rectangle would be quadratic for the long run lists
  // that bitmap masks produce, so build bands directly: each band between
  // consecutive y edges gets the union of the spans that cover it.
  std::vector<LONG> ys;
  std::vector<RECT> valid;
  for (const RECT& r : rects) {
    if (IsEmpty(r)) continue;
    valid.push_back(r);
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::sort(valid.begin(), valid.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });

  BandWriter writer;
  std::vector<RECT> active;  // rectangles whose top has been reached
  std::size_t next = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const LONG y0 = ys[i], y1 = ys[i + 1];
    while (next < valid.size() && valid[next].top <= y0) active.push_back(valid[next++]);
    std::erase_if(active, [y0](const RECT& r) { return r.bottom <= y0; });
    std::vector<Span> spans;
    spans.reserve(active.size());
    for (const RECT& r : active) spans.emplace_back(r.left, r.right);
    std::sort(spans.begin(), spans.end());
    std::vector<Span> merged;
    for (const Span& s : spans) {
      if (!merged.empty() && s.first <= merged.back().second) merged.back().second = std::max(merged.back().second, s.second);
      else merged.push_back(s);
    }
    writer.Add(y0, y1, std::move(merged));
  }
  Region out;
  out.rects_ = writer.Finish();
  return out;
}

RECT Region::bounds() const {
  if (rects_.empty()) return {};
  RECT b = rects_.front();
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::contains(int x, int y) const {
  for (const RECT& r : rects_) {
    if (r.top > y) break;
    if (y < r.bottom && x >= r.left && x < r.right) return true;
  }
  return false;
}

bool Region::intersects(const RECT& rect) const {
  if (IsEmpty(rect)) return false;
  for (const RECT& r : rects_) {
    if (r.top >= rect.bottom) break;
    if (r.bottom > rect.top && r.right > rect.left && r.left < rect.right) return true;
  }
  return false;
}

void Region::offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  const std::vector<Band> bandsA = ToBands(a.rects_);
  const std::vector<Band> bandsB = ToBands(b.rects_);
  std::vector<LONG> ys;
  for (const Band& band : bandsA) { ys.push_back(band.top); ys.push_back(band.bottom); }
  for (const Band& band : bandsB) { ys.push_back(band.top); ys.push_back(band.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  static const std::vector<Span> kNone;
  BandWriter writer;
  std::size_t ia = 0, ib = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const LONG y0 = ys[i], y1 = ys[i + 1];
    while (ia < bandsA.size() && bandsA[ia].bottom <= y0) ++ia;
    while (ib < bandsB.size() && bandsB[ib].bottom <= y0) ++ib;
    const std::vector<Span>& sa = (ia < bandsA.size() && bandsA[ia].top <= y0) ? bandsA[ia].spans : kNone;
    const std::vector<Span>& sb = (ib < bandsB.size() && bandsB[ib].top <= y0) ? bandsB[ib].spans : kNone;
    writer.Add(y0, y1, CombineSpans(sa, sb, op));
  }
  Region out;
  out.rects_ = writer.Finish();
  return out;
}

}  // namespace plat
