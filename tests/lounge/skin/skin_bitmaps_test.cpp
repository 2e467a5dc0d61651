#include "lounge/skin/skin_bitmaps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/skin_regions.h"
#include "lounge/skin/skin_screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/region_object.h"
#include "platform/win/system.h"
#include "temp_folder.h"

namespace {

using plat::RECT;
using plat::Surface;

constexpr std::uint32_t Bgra(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// A strip whose red channel is the column and green the row, so that every
// copied pixel tells where it came from.
Surface Ramp(int width, int height) {
  Surface surface(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      surface.set_pixel(x, y, Bgra(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7));
  }
  return surface;
}

BitmapPtr BitmapOf(const Surface& surface) {
  return BitmapPtr(plat::CreateBitmapFromSurface(std::make_shared<Surface>(surface), true));
}

std::string WriteBmp(const TempFolder& folder, const std::string& name, const Surface& surface, int bits = 24) {
  std::vector<std::uint8_t> file = plat::gdi::EncodeBmp(surface, bits);
  return folder.Write(name, std::string(file.begin(), file.end())).string();
}

// The column a copied pixel came from (its red channel).
int SourceColumn(plat::HBITMAP bitmap, int x, int y = 0) {
  return static_cast<int>((plat::GetBitmapSurface(bitmap)->pixel(x, y) >> 16) & 0xFF);
}

TEST(SkinBitmapsTest, CutsStateFrames) {
  BitmapPtr strip = BitmapOf(Ramp(103, 5));
  struct Case {
    int frame;
    int firstColumn;
  };
  // 103 / 4 = 25 pixels per frame; frame 3 starts at 3 * 103 / 4 = 77.
  // Frame indices beyond the four frames are clamped.
  for (Case c : {Case{0, 0}, Case{1, 25}, Case{2, 51}, Case{3, 77}, Case{7, 77}, Case{-2, 0}}) {
    BitmapPtr frame(CutBitmapFrame(strip.get(), c.frame));
    ASSERT_TRUE(frame) << c.frame;
    int w = 0, h = 0;
    ASSERT_EQ(GetBitmapSize(frame.get(), w, h), 1);
    EXPECT_EQ(w, 25);
    EXPECT_EQ(h, 5);
    EXPECT_EQ(SourceColumn(frame.get(), 0), c.firstColumn) << c.frame;
    EXPECT_EQ(SourceColumn(frame.get(), 24, 4), c.firstColumn + 24) << c.frame;
  }
  EXPECT_EQ(CutBitmapFrame(nullptr, 0), nullptr);
}

TEST(SkinBitmapsTest, CutsSlices) {
  BitmapPtr strip = BitmapOf(Ramp(100, 3));
  struct Case {
    float from, to;
    int width;  // 0: no bitmap
    int firstColumn;
  };
  const Case cases[] = {
      {0.0f, 1.0f, 100, 0}, {0.0f, 0.5f, 50, 0},
      {0.5f, 1.0f, 50, 50}, {-1.0f, 0.5f, 50, 0},  // a negative start counts as 0
      {0.5f, 2.0f, 50, 50},                        // an end past the right edge counts as 1
      {0.5f, 0.25f, 0, 0},                         // reversed
      {0.3f, 0.3f, 0, 0},                          // empty
  };
  for (const Case& c : cases) {
    BitmapPtr slice(CutBitmapSlice(strip.get(), c.from, c.to));
    if (c.width == 0) {
      EXPECT_FALSE(slice) << c.from << ".." << c.to;
      continue;
    }
    ASSERT_TRUE(slice) << c.from << ".." << c.to;
    int w = 0, h = 0;
    GetBitmapSize(slice.get(), w, h);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(SourceColumn(slice.get(), 0), c.firstColumn);
  }
}

TEST(SkinBitmapsTest, LoadsFilesFoundWithoutRegardToCase) {
  TempFolder folder;
  const std::string file = WriteBmp(folder, "Img/Play.BMP", Ramp(40, 6));
  BitmapPtr frame(LoadBitmapFile(folder.path().string() + "/img/play.bmp", 2));
  ASSERT_TRUE(frame);
  int w = 0, h = 0;
  GetBitmapSize(frame.get(), w, h);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(SourceColumn(frame.get(), 0), 20);
  // Rows keep their order (bottom-up file, top-down bitmap).
  EXPECT_EQ((plat::GetBitmapSurface(frame.get())->pixel(0, 5) >> 8) & 0xFF, 5u);

  BitmapPtr right(LoadBitmapFileSlice(file, 0.5f, 1.0f));
  ASSERT_TRUE(right);
  EXPECT_EQ(SourceColumn(right.get(), 0), 20);
}

TEST(SkinBitmapsTest, BadFilesGiveNoBitmap) {
  TempFolder folder;
  folder.Write("junk.bmp", "BM this is no bitmap");
  folder.Write("empty.bmp", "");
  std::filesystem::create_directories(folder.path() / "dir.bmp");
  for (const char* name : {"missing.bmp", "junk.bmp", "empty.bmp", "dir.bmp", ""}) {
    const std::string path = *name ? folder.path().string() + "/" + name : std::string();
    EXPECT_EQ(LoadBitmapFile(path, 0), nullptr) << name;
    EXPECT_EQ(LoadBitmapFileSlice(path, 0.0f, 1.0f), nullptr) << name;
    EXPECT_EQ(LoadRegionFromBitmapFile(path, 0xFF00FF, 0), nullptr) << name;
  }
}

TEST(SkinBitmapsTest, StretchesAndDraws) {
  Surface source(2, 2);
  source.set_pixel(0, 0, Bgra(255, 0, 0));
  source.set_pixel(1, 0, Bgra(0, 255, 0));
  source.set_pixel(0, 1, Bgra(0, 0, 255));
  source.set_pixel(1, 1, Bgra(255, 255, 255));
  BitmapPtr bitmap = BitmapOf(source);

  BitmapPtr big(StretchBitmap(bitmap.get(), plat::SIZE{4, 6}));
  ASSERT_TRUE(big);
  const auto& pixels = *plat::GetBitmapSurface(big.get());
  EXPECT_EQ(pixels.pixel(1, 2), Bgra(255, 0, 0));
  EXPECT_EQ(pixels.pixel(2, 2), Bgra(0, 255, 0));
  EXPECT_EQ(pixels.pixel(1, 3), Bgra(0, 0, 255));
  EXPECT_EQ(pixels.pixel(3, 5), Bgra(255, 255, 255));
  EXPECT_EQ(StretchBitmap(nullptr, plat::SIZE{4, 4}), nullptr);

  // Draw into a 10x10 canvas at (3, 2)-(7, 6).
  BitmapPtr canvas(plat::CreateCompatibleBitmap(nullptr, 10, 10));
  MemoryDC dc;
  ASSERT_TRUE(dc.SelectBitmap(canvas.get()));
  EXPECT_EQ(DrawBitmap(nullptr, dc.get(), RECT{0, 0, 5, 5}), 0);
  EXPECT_EQ(DrawBitmap(bitmap.get(), dc.get(), RECT{3, 2, 7, 6}), 1);
  const auto& out = *plat::GetBitmapSurface(canvas.get());
  EXPECT_EQ(out.pixel(2, 2), Bgra(0, 0, 0));
  EXPECT_EQ(out.pixel(3, 2), Bgra(255, 0, 0));
  EXPECT_EQ(out.pixel(6, 2), Bgra(0, 255, 0));
  EXPECT_EQ(out.pixel(3, 5), Bgra(0, 0, 255));
  EXPECT_EQ(out.pixel(6, 5), Bgra(255, 255, 255));
  EXPECT_EQ(out.pixel(7, 5), Bgra(0, 0, 0));
  EXPECT_EQ(out.pixel(6, 6), Bgra(0, 0, 0));

  TempFolder folder;
  const std::string file = WriteBmp(folder, "two.bmp", source);
  EXPECT_EQ(DrawBitmapFile(folder.path().string() + "/missing.bmp", dc.get(), RECT{0, 0, 2, 2}), 0);
  EXPECT_EQ(DrawBitmapFile(file, dc.get(), RECT{0, 0, 2, 2}), 1);
  EXPECT_EQ(out.pixel(1, 1), Bgra(255, 255, 255));
}

// Drawing a state frame straight from the file draws what cutting the frame
// and drawing the cut did, at every frame (out-of-range ones clamped) and size.
TEST(SkinBitmapsTest, FrameDrawnFromTheFileMatchesTheCutFrame) {
  TempFolder folder;
  const std::string strip = WriteBmp(folder, "strip.bmp", Ramp(42, 5));  // frames of 10 columns, 2 left over
  const std::string narrow = WriteBmp(folder, "narrow.bmp", Ramp(3, 5));  // too narrow for a frame
  const RECT targets[] = {{0, 0, 10, 5}, {1, 2, 31, 17}, {3, 1, 7, 3}, {-4, -2, 20, 9}, {5, 5, 5, 9}};
  for (int frame = -1; frame <= SKIN_FRAME_COUNT; ++frame) {
    for (const RECT& target : targets) {
      BitmapPtr cutCanvas(plat::CreateCompatibleBitmap(nullptr, 24, 16));
      BitmapPtr drawnCanvas(plat::CreateCompatibleBitmap(nullptr, 24, 16));
      MemoryDC cutDc, drawnDc;
      ASSERT_TRUE(cutDc.SelectBitmap(cutCanvas.get()) && drawnDc.SelectBitmap(drawnCanvas.get()));
      BitmapPtr cut(LoadBitmapFile(strip, frame));
      const int expected = DrawBitmap(cut.get(), cutDc.get(), target);
      EXPECT_EQ(DrawBitmapFileFrame(strip, frame, drawnDc.get(), target), expected);
      const auto& a = *plat::GetBitmapSurface(cutCanvas.get());
      const auto& b = *plat::GetBitmapSurface(drawnCanvas.get());
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
          ASSERT_EQ(b.pixel(x, y), a.pixel(x, y)) << "frame " << frame << " target " << target.left << ","
                                                  << target.top << " at " << x << "," << y;
    }
  }
  BitmapPtr canvas(plat::CreateCompatibleBitmap(nullptr, 4, 4));
  MemoryDC dc;
  ASSERT_TRUE(dc.SelectBitmap(canvas.get()));
  EXPECT_EQ(DrawBitmapFileFrame(narrow, 0, dc.get(), RECT{0, 0, 4, 4}), 0);
  EXPECT_EQ(DrawBitmapFileFrame(folder.path().string() + "/missing.bmp", 0, dc.get(), RECT{0, 0, 4, 4}), 0);
}

TEST(SkinBitmapsTest, BitmapSize) {
  int w = -1, h = -1;
  EXPECT_EQ(GetBitmapSize(nullptr, w, h), 0);
  EXPECT_EQ(w, -1);
  BitmapPtr bitmap = BitmapOf(Ramp(7, 3));
  EXPECT_EQ(GetBitmapSize(bitmap.get(), w, h), 1);
  EXPECT_EQ(w, 7);
  EXPECT_EQ(h, 3);
}

TEST(SkinBitmapsTest, ScreenSizeIsThePrimaryScreens) {
  int w = 0, h = 0;
  EXPECT_EQ(GetScreenSize(w, h), 1);
  EXPECT_EQ(w, plat::GetSystemMetrics(plat::SM_CXSCREEN));
  EXPECT_EQ(h, plat::GetSystemMetrics(plat::SM_CYSCREEN));
  EXPECT_GT(w, 0);
  EXPECT_GT(h, 0);
}

// ---- Regions ----

plat::Region RegionOf(plat::HRGN region) {
  const plat::Region* r = plat::RegionFromHandle(region);
  return r ? *r : plat::Region();
}

constexpr plat::COLORREF kMagenta = 0xFF00FF;

TEST(SkinRegionsTest, KeyColourWithToleranceIsCutAway) {
  // 6 x 3 image: row 0 all magenta; row 1 magenta within tolerance at the
  // ends, solid in the middle; row 2 one pixel just outside the tolerance.
  Surface image(6, 3, Bgra(255, 0, 255));
  image.set_pixel(0, 1, Bgra(250, 3, 255));  // red below the key: solid
  image.set_pixel(1, 1, Bgra(10, 10, 10));
  image.set_pixel(2, 1, Bgra(10, 10, 10));
  image.set_pixel(3, 1, Bgra(255, 0, 255));
  image.set_pixel(4, 1, Bgra(10, 10, 10));
  image.set_pixel(5, 1, Bgra(255, 8, 255));  // green at the tolerance edge: still key
  image.set_pixel(2, 2, Bgra(255, 9, 255));  // green one past the tolerance: solid
  TempFolder folder;
  const std::string file = WriteBmp(folder, "Shape.bmp", image);
  // Tolerance: 0 on red and blue (capped at 255 anyway), 8 on green. A red of
  // 250 lies below the key's 255 and is solid.
  RegionPtr region(LoadRegionFromBitmapFile(file, kMagenta, 0x000800));
  ASSERT_TRUE(region);
  const RECT expected[] = {{0, 1, 3, 2}, {4, 1, 5, 2}, {2, 2, 3, 3}};
  EXPECT_EQ(RegionOf(region.get()), plat::Region::FromRects(expected));
}

TEST(SkinRegionsTest, ChannelsAreComparedChannelForChannel) {
  // Key pure red (0x0000FF). A pure red pixel is transparent; a pure blue
  // one is solid, though its blue byte equals the key's low byte.
  Surface image(2, 1);
  image.set_pixel(0, 0, Bgra(255, 0, 0));
  image.set_pixel(1, 0, Bgra(0, 0, 255));
  BitmapPtr bitmap = BitmapOf(image);
  RegionPtr region(BitmapToRegion(bitmap.get(), 0x0000FF, 0));
  ASSERT_TRUE(region);
  const RECT expected[] = {{1, 0, 2, 1}};
  EXPECT_EQ(RegionOf(region.get()), plat::Region::FromRects(expected));
}

TEST(SkinRegionsTest, AllKeyGivesAnEmptyRegionAndNoBitmapNone) {
  BitmapPtr bitmap = BitmapOf(Surface(5, 4, Bgra(255, 0, 255)));
  RegionPtr region(BitmapToRegion(bitmap.get(), kMagenta, 0));
  ASSERT_TRUE(region);
  EXPECT_TRUE(RegionOf(region.get()).empty());
  EXPECT_EQ(BitmapToRegion(nullptr, kMagenta, 0), nullptr);
}

TEST(SkinRegionsTest, RowsAreReadBottomUp) {
  // Two bottom-up rows: stored row 0 is the bottom line (y = 1).
  const std::uint8_t bits[] = {
      0,   0, 0,   0, 255, 0, 255, 0,  // stored row 0: solid, key
      255, 0, 255, 0, 0,   0, 0,   0,  // stored row 1: key, solid
  };
  RegionPtr region(CreateRegionFromBitmap(bits, 2, 2, 8, kMagenta, 0));
  const RECT expected[] = {{0, 1, 1, 2}, {1, 0, 2, 1}};
  EXPECT_EQ(RegionOf(region.get()), plat::Region::FromRects(expected));
  EXPECT_EQ(CreateRegionFromBitmap(bits, 2, 2, 4, kMagenta, 0), nullptr);  // stride too small
}

}  // namespace
