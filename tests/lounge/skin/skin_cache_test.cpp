// The shared skin caches: an image file is decoded once and a layout parsed
// once, for every page that uses them, until the file changes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "lounge/skin/layout_cache.h"
#include "lounge/skin/skin_image_cache.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_report.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/gdi.h"
#include "temp_folder.h"

namespace {

std::string Bmp(int width, int height, std::uint32_t colour) {
  plat::Surface surface(width, height, colour);
  const std::vector<std::uint8_t> bytes = plat::gdi::EncodeBmp(surface, 24);
  return std::string(bytes.begin(), bytes.end());
}

// Files are trusted only once older than the tick of the clock that stamps
// them; wait that out.
void LetFilesSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(250)); }

class SkinCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSkinBaseFolder(folder_.path());
    ClearSkinImageCache();
    ClearLayoutCache();
  }
  void TearDown() override {
    SetSkinBaseFolder({});
    ClearSkinImageCache();
    ClearLayoutCache();
  }
  std::string PathOf(const std::string& relative) const { return (folder_.path() / relative).string(); }

  TempFolder folder_;
};

TEST_F(SkinCacheTest, AnImageIsDecodedOnceAndSharedUntilItsFileChanges) {
  folder_.Write("Layout/Img/button.bmp", Bmp(8, 4, 0xFF112233u));
  const std::string path = PathOf("Layout/Img/button.bmp");
  LetFilesSettle();
  const plat::SurfacePtr first = SharedSkinImage(path);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->pixel(0, 0), 0xFF112233u);
  EXPECT_EQ(SharedSkinImage(path), first);
  // Also when a page names it through its own folder.
  EXPECT_EQ(SharedSkinImage(PathOf("Layout/XML/Root/../../Img/button.bmp")), first);
  EXPECT_EQ(SkinImageCacheBytes(), 8u * 4 * 4);

  folder_.Write("Layout/Img/button.bmp", Bmp(8, 4, 0xFF445566u));
  const plat::SurfacePtr changed = SharedSkinImage(path);
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->pixel(0, 0), 0xFF445566u);
  EXPECT_EQ(first->pixel(0, 0), 0xFF112233u) << "pixels already handed out stay as they were";
}

TEST_F(SkinCacheTest, MissingAndBrokenImagesAreNotKeptAndComeBackWhenMended) {
  ResetSkinReports();
  ::testing::internal::CaptureStderr();
  const std::string path = PathOf("Layout/Img/late.bmp");
  EXPECT_EQ(SharedSkinImage(path), nullptr);
  EXPECT_EQ(SharedSkinImage(path), nullptr);
  EXPECT_EQ(SharedSkinImage(""), nullptr);
  folder_.Write("Layout/Img/late.bmp", "BM not really");
  EXPECT_EQ(SharedSkinImage(path), nullptr);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "lounge: skin: image \"" + path + "\": No such file or directory\n" +
                      "lounge: skin: image \"" + path + "\": cannot be read as a picture\n");
  folder_.Write("Layout/Img/late.bmp", Bmp(2, 2, 0xFF010203u));
  ASSERT_TRUE(SharedSkinImage(path));
  EXPECT_EQ(SharedSkinImage(path)->pixel(1, 1), 0xFF010203u);
  ResetSkinReports();
}

TEST_F(SkinCacheTest, ImagesUsedLeastRecentlyGoFirstWhenTheBudgetIsFull) {
  // Images of the largest size kept: the budget holds `fit` of them.
  const int width = 512, height = static_cast<int>(kSkinImageCacheLargestBytes / (512 * 4));
  const std::size_t each = static_cast<std::size_t>(width) * height * 4;
  const std::size_t fit = kSkinImageCacheBytes / each;
  ASSERT_GE(fit, 2u);
  std::vector<std::string> names;
  for (std::size_t i = 0; i <= fit; ++i) {
    names.push_back("img" + std::to_string(i) + ".bmp");
    folder_.Write(names.back(), Bmp(width, height, 0xFF000000u));
  }
  LetFilesSettle();
  std::vector<plat::SurfacePtr> kept;
  for (std::size_t i = 0; i < fit; ++i) kept.push_back(SharedSkinImage(PathOf(names[i])));
  EXPECT_EQ(SkinImageCacheBytes(), fit * each);
  EXPECT_EQ(SharedSkinImage(PathOf(names[0])), kept[0]);  // the first is now the most recent
  SharedSkinImage(PathOf(names[fit]));
  EXPECT_LE(SkinImageCacheBytes(), kSkinImageCacheBytes);
  EXPECT_EQ(SharedSkinImage(PathOf(names[0])), kept[0]);
  EXPECT_NE(SharedSkinImage(PathOf(names[1])), kept[1]) << "the second was used least recently and went";
}

TEST_F(SkinCacheTest, ABackgroundSizedImageIsDrawnButNotKept) {
  // One pixel row more than the largest image kept.
  const int width = 512, height = static_cast<int>(kSkinImageCacheLargestBytes / (512 * 4)) + 1;
  folder_.Write("bg.bmp", Bmp(width, height, 0xFF223344u));
  folder_.Write("small.bmp", Bmp(8, 8, 0xFF556677u));
  LetFilesSettle();
  const plat::SurfacePtr first = SharedSkinImage(PathOf("bg.bmp"));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->pixel(width - 1, height - 1), 0xFF223344u);
  EXPECT_EQ(SkinImageCacheBytes(), 0u);
  const plat::SurfacePtr again = SharedSkinImage(PathOf("bg.bmp"));
  ASSERT_TRUE(again);
  EXPECT_NE(again, first);

  // Drawn, it goes straight from its file into the target, shrunk here;
  // small images and missing files are left to the cache.
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HBITMAP target = plat::CreateCompatibleBitmap(dc, 64, 48);
  plat::HGDIOBJ old = plat::SelectObject(dc, target);
  EXPECT_TRUE(DrawLargeSkinBitmap(PathOf("bg.bmp"), dc, plat::RECT{4, 4, 60, 44}));
  EXPECT_EQ(plat::GetBitmapSurface(target)->pixel(4, 4), 0xFF223344u);
  EXPECT_EQ(plat::GetBitmapSurface(target)->pixel(59, 43), 0xFF223344u);
  EXPECT_EQ(plat::GetBitmapSurface(target)->pixel(60, 44), 0xFF000000u);
  EXPECT_FALSE(DrawLargeSkinBitmap(PathOf("small.bmp"), dc, plat::RECT{0, 0, 8, 8}));
  EXPECT_FALSE(DrawLargeSkinBitmap(PathOf("missing.bmp"), dc, plat::RECT{0, 0, 8, 8}));
  EXPECT_EQ(SkinImageCacheBytes(), 0u);
  plat::SelectObject(dc, old);
  plat::DeleteObject(target);
  plat::DeleteDC(dc);
}

TEST_F(SkinCacheTest, ALayoutIsParsedOnceForEveryPageUntilItsFileChanges) {
  const std::string layout = "<page><image value=\"bg.bmp\"/><position left=\"0\" top=\"0\" width=\"%W\" "
                             "height=\"720\"/><action value=\"Play\"><image value=\"play.bmp\"/>"
                             "<position left=\"1\" top=\"2\" width=\"3\" height=\"4\"/></action></page>";
  auto write = [&](const char* width) {
    std::string text = layout;
    text.replace(text.find("%W"), 2, width);
    folder_.Write("Layout/XML/Music/Tracks/layout.xml", text);
  };
  write("1280");
  LetFilesSettle();
  const LayoutLoad first = SharedLayout("Music\\Tracks");
  ASSERT_TRUE(first.layout) << first.error;
  EXPECT_EQ(first.file, PathOf("Layout/XML/Music/Tracks/layout.xml"));
  EXPECT_EQ(SharedLayout("Music\\Tracks").layout, first.layout);
  int width = 0, height = 0;
  first.layout->GetPageSize(width, height);
  EXPECT_EQ(width, 1280);
  ASSERT_EQ(first.layout->Buttons().size(), 1u);

  write("1920");
  const LayoutLoad changed = SharedLayout("Music\\Tracks");
  ASSERT_TRUE(changed.layout);
  EXPECT_NE(changed.layout, first.layout);
  changed.layout->GetPageSize(width, height);
  EXPECT_EQ(width, 1920);

  // Another skin folder holds other layouts under the same page path.
  TempFolder other;
  SetSkinBaseFolder(other.path());
  const LayoutLoad missing = SharedLayout("Music\\Tracks");
  EXPECT_FALSE(missing.layout);
  EXPECT_EQ(missing.error, "No such file or directory");
}

}  // namespace
