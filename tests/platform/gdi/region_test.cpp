#include "platform/gdi/region.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace plat {
namespace {

// Reference membership test by brute force, for checking the algebra.
bool InRects(const std::vector<RECT>& rects, int x, int y) {
  for (const RECT& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void ExpectCanonical(const Region& r) {
  const auto& rs = r.rects();
  for (std::size_t i = 0; i < rs.size(); ++i) {
    EXPECT_LT(rs[i].left, rs[i].right);
    EXPECT_LT(rs[i].top, rs[i].bottom);
    if (i == 0) continue;
    const RECT& p = rs[i - 1];
    if (p.top == rs[i].top) {
      EXPECT_EQ(p.bottom, rs[i].bottom);
      EXPECT_LT(p.right, rs[i].left) << "spans in a band must not touch";
    } else {
      EXPECT_GE(rs[i].top, p.bottom) << "bands must not overlap";
    }
  }
}

TEST(Region, EmptyAndInvertedRectanglesAreEmpty) {
  EXPECT_TRUE(Region(RECT{5, 5, 5, 10}).empty());
  EXPECT_TRUE(Region(RECT{5, 5, 1, 10}).empty());
  EXPECT_EQ(Region().bounds(), (RECT{0, 0, 0, 0}));
  EXPECT_FALSE(Region().contains(0, 0));
}

TEST(Region, OperationsOnTwoOverlappingSquares) {
  const Region a(RECT{0, 0, 10, 10});
  const Region b(RECT{5, 5, 15, 15});
  struct Case {
    Region::Op op;
    int area;
    RECT bounds;
  } cases[] = {
      {Region::Op::Or, 175, {0, 0, 15, 15}},
      {Region::Op::And, 25, {5, 5, 10, 10}},
      {Region::Op::Diff, 75, {0, 0, 10, 10}},
      {Region::Op::Xor, 150, {0, 0, 15, 15}},
  };
  for (const Case& c : cases) {
    const Region r = Region::Combine(a, b, c.op);
    int area = 0;
    for (const RECT& rc : r.rects()) area += (rc.right - rc.left) * (rc.bottom - rc.top);
    EXPECT_EQ(area, c.area) << static_cast<int>(c.op);
    EXPECT_EQ(r.bounds(), c.bounds) << static_cast<int>(c.op);
    ExpectCanonical(r);
  }
}

TEST(Region, CanonicalFormMakesEqualCoverageEqual) {
  // The same L shape built two ways.
  const RECT split[] = {{0, 0, 10, 5}, {0, 5, 5, 10}};
  const Region viaRects = Region::FromRects(split);
  const Region viaDiff = Region(RECT{0, 0, 10, 10}).subtracted(Region(RECT{5, 5, 10, 10}));
  EXPECT_EQ(viaRects, viaDiff);
  // Adjacent rectangles with the same spans merge into one.
  const RECT stacked[] = {{0, 0, 4, 2}, {0, 2, 4, 6}, {4, 0, 8, 6}};
  ASSERT_EQ(Region::FromRects(stacked).rects().size(), 1u);
  EXPECT_EQ(Region::FromRects(stacked).rects()[0], (RECT{0, 0, 8, 6}));
}

TEST(Region, RandomAlgebraMatchesBruteForce) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> coord(0, 24);
  for (int round = 0; round < 200; ++round) {
    std::vector<RECT> ra, rb;
    for (int i = 0; i < 4; ++i) {
      ra.push_back({coord(rng), coord(rng), coord(rng), coord(rng)});
      rb.push_back({coord(rng), coord(rng), coord(rng), coord(rng)});
    }
    const Region a = Region::FromRects(ra), b = Region::FromRects(rb);
    for (Region::Op op : {Region::Op::Or, Region::Op::And, Region::Op::Diff, Region::Op::Xor}) {
      const Region r = Region::Combine(a, b, op);
      ExpectCanonical(r);
      for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) {
          const bool ia = InRects(ra, x, y), ib = InRects(rb, x, y);
          bool want = false;
          switch (op) {
            case Region::Op::Or: want = ia || ib; break;
            case Region::Op::And: want = ia && ib; break;
            case Region::Op::Diff: want = ia && !ib; break;
            case Region::Op::Xor: want = ia != ib; break;
          }
          ASSERT_EQ(r.contains(x, y), want) << "round " << round << " op " << static_cast<int>(op) << " at " << x << "," << y;
        }
    }
  }
}

TEST(Region, OffsetAndIntersects) {
  Region r(RECT{0, 0, 4, 4});
  r.offset(10, -2);
  EXPECT_EQ(r.bounds(), (RECT{10, -2, 14, 2}));
  EXPECT_TRUE(r.intersects({13, 1, 20, 20}));
  EXPECT_FALSE(r.intersects({14, 0, 20, 20}));  // right edge is exclusive
  EXPECT_FALSE(r.intersects({0, 0, 0, 0}));
}

}  // namespace
}  // namespace plat
