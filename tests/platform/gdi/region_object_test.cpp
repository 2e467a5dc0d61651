#include "platform/gdi/region_object.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/objects.h"

namespace plat {
namespace {

TEST(RegionObjects, CombineReportsTheKindOfResult) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN far = CreateRectRgn(100, 100, 110, 110);
  HRGN dest = CreateRectRgn(0, 0, 0, 0);
  struct Case {
    HRGN x, y;
    int mode, kind;
    int area;
  };
  const Case cases[] = {
      {a, b, RGN_AND, SIMPLEREGION, 25},  {a, b, RGN_OR, COMPLEXREGION, 175}, {a, b, RGN_XOR, COMPLEXREGION, 150},
      {a, b, RGN_DIFF, COMPLEXREGION, 75}, {a, far, RGN_AND, NULLREGION, 0},   {a, nullptr, RGN_COPY, SIMPLEREGION, 100},
      {a, a, RGN_DIFF, NULLREGION, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CombineRgn(dest, c.x, c.y, c.mode), c.kind) << c.mode;
    int area = 0;
    for (const RECT& r : RegionFromHandle(dest)->rects()) area += (r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(area, c.area) << c.mode;
  }
  EXPECT_EQ(CombineRgn(dest, a, b, 99), ERROR);
  EXPECT_EQ(CombineRgn(dest, a, nullptr, RGN_OR), ERROR);
  // The destination may be an operand.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(a, 14, 14));
  EXPECT_FALSE(PtInRegion(a, 14, 0));
  RECT box;
  EXPECT_EQ(GetRgnBox(a, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 15, 15}));
  for (HRGN r : {a, b, far, dest}) DeleteObject(r);
}

TEST(RegionObjects, ExtCreateRegionChecksTheBuffer) {
  std::vector<RECT> rects = {{0, 0, 2, 1}, {1, 0, 4, 1}, {0, 1, 4, 2}};
  std::vector<char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  RGNDATAHEADER h;
  h.nCount = static_cast<DWORD>(rects.size());
  std::memcpy(buffer.data(), &h, sizeof h);
  std::memcpy(buffer.data() + sizeof h, rects.data(), rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<const RGNDATA*>(buffer.data());
  HRGN r = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
  ASSERT_NE(r, nullptr);
  HRGN whole = CreateRectRgn(0, 0, 4, 2);
  EXPECT_TRUE(EqualRgn(r, whole));  // overlapping input merges into one rectangle
  // A count beyond the buffer, a wrong type or a transform are refused.
  EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size() - 1), data), nullptr);
  h.nCount = 1000000;
  std::memcpy(buffer.data(), &h, sizeof h);
  EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data), nullptr);
  h.nCount = 0;
  h.iType = 2;
  std::memcpy(buffer.data(), &h, sizeof h);
  EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data), nullptr);
  int transform = 0;
  EXPECT_EQ(ExtCreateRegion(&transform, static_cast<DWORD>(buffer.size()), data), nullptr);
  DeleteObject(r);
  DeleteObject(whole);
}

TEST(RegionObjects, OffsetAndOverflow) {
  HRGN r = CreateRectRgn(10, 10, 0, 0);  // inverted corners are normalised
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  EXPECT_EQ(OffsetRgn(r, 5, -5), SIMPLEREGION);
  GetRgnBox(r, &box);
  EXPECT_EQ(box, (RECT{5, -5, 15, 5}));
  EXPECT_EQ(OffsetRgn(r, 0x7FFFFFF5, 0), ERROR);  // would leave the coordinate range
  GetRgnBox(r, &box);
  EXPECT_EQ(box, (RECT{5, -5, 15, 5}));
  EXPECT_EQ(OffsetRgn(nullptr, 1, 1), ERROR);
  EXPECT_FALSE(EqualRgn(r, nullptr));
  EXPECT_EQ(RegionFromHandle(reinterpret_cast<HRGN>(&box)), nullptr);
  HRGN copy = CreateRegionObject(*RegionFromHandle(r));
  EXPECT_TRUE(EqualRgn(r, copy));
  DeleteObject(r);
  DeleteObject(copy);
}

}  // namespace
}  // namespace plat
