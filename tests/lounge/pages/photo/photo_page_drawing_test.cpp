// The Photo page's thumbnails made through the real system core and picture
// component on the headless display: a folder's 2 x 2 mosaic inside the
// folder picture, photos in their colours, and a corrupt JPEG that gets the
// stand-in picture while the page goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "lounge/skin/skin_bitmaps.h"
#include "platform/gdi/bitmap.h"
#include "tests/lounge/pages/photo/photo_system_env.h"

namespace {

namespace fs = std::filesystem;
using photo_page_env::Pump;
using photo_page_env::WriteJpeg;

struct Rgb {
  int r, g, b;
};
Rgb At(plat::HBITMAP bitmap, int x, int y) {
  const std::uint32_t p = plat::GetBitmapSurface(bitmap)->pixel(x, y);
  return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}
bool Near(Rgb a, Rgb b, int tolerance = 40) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class PhotoPageDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(env_.ok) << env_.error; }
  CPhotoConfig& Photo() { return env_.Photo(); }
  photo_page_env::Env env_;
  const std::string& dir_ = env_.dir;
};

TEST_F(PhotoPageDrawingTest, AMosaicOfTheFolderAndAStandInForACorruptPicture) {
  const std::string pictures = dir_ + "/pictures";
  fs::create_directories(pictures + "/four");
  const std::uint32_t colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
  for (int i = 0; i < 4; ++i) WriteJpeg(pictures + "/four/p" + std::to_string(i) + ".jpg", colours[i]);
  // A JPEG cut off after its header, then a good one.
  WriteJpeg(pictures + "/a_good.jpg", 0xFF00FFFFu);
  {
    std::ifstream in(pictures + "/a_good.jpg", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 8);
    std::ofstream(pictures + "/b_corrupt.jpg", std::ios::binary).write(bytes.data(), bytes.size());
  }
  WriteJpeg(pictures + "/c_good.jpg", 0xFFFF00FFu);

  env_.OpenBrowser(pictures);
  Pump();
  ASSERT_EQ(Photo().m_vecFolders.size(), 1u);
  ASSERT_EQ(Photo().m_vecPhotos.size(), 3u);

  // The folder: the folder picture with the four pictures in a 2 x 2 grid.
  const PhotoRecord& folder = Photo().m_vecFolders[0];
  ASSERT_TRUE(folder.hThumbnail);
  EXPECT_EQ(folder.bHasPreview, 1);
  int w = 0, h = 0;
  ASSERT_TRUE(GetBitmapSize(folder.hThumbnail, w, h));
  EXPECT_EQ(w, 320);
  const plat::RECT area = PhotoMosaicArea(0, w, h, 10, 12);
  const int cw = (area.right - area.left) / 2, ch = (area.bottom - area.top) / 2;
  std::vector<Rgb> seen;
  for (int cell = 0; cell < 4; ++cell)
    seen.push_back(At(folder.hThumbnail, area.left + cw * (cell % 2) + cw / 2, area.top + ch * (cell / 2) + ch / 2));
  for (std::uint32_t c : colours) {
    const Rgb want{static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
    bool found = false;
    for (Rgb s : seen) found = found || Near(s, want);
    EXPECT_TRUE(found) << want.r << "," << want.g << "," << want.b;
  }
  // Above the mosaic the folder picture shows, not a photo.
  const Rgb above = At(folder.hThumbnail, w / 2, area.top / 2);
  for (Rgb s : seen) EXPECT_FALSE(Near(above, s, 10));

  // The photos: their colours; the corrupt one the stand-in, and the page
  // went on to the photo after it.
  const Rgb cyan{0, 255, 255}, magenta{255, 0, 255};
  ASSERT_TRUE(Photo().m_vecPhotos[0].hThumbnail);
  ASSERT_TRUE(Photo().m_vecPhotos[1].hThumbnail);
  ASSERT_TRUE(Photo().m_vecPhotos[2].hThumbnail);
  ASSERT_TRUE(GetBitmapSize(Photo().m_vecPhotos[0].hThumbnail, w, h));
  EXPECT_TRUE(Near(At(Photo().m_vecPhotos[0].hThumbnail, w / 2, h / 2), cyan));
  EXPECT_TRUE(Near(At(Photo().m_vecPhotos[2].hThumbnail, w / 2, h / 2), magenta));
  // The stand-in: its dim frame and red stroke, not a blank bitmap.
  const plat::HBITMAP standIn = Photo().m_vecPhotos[1].hThumbnail;
  ASSERT_TRUE(GetBitmapSize(standIn, w, h));
  int reddish = 0, dark = 0;
  for (int y = 0; y < h; y += 2) {
    for (int x = 0; x < w; x += 2) {
      const Rgb p = At(standIn, x, y);
      reddish += p.r > 200 && p.g < 140;
      dark += p.r < 60 && p.g < 60 && p.b < 80;
    }
  }
  EXPECT_GT(reddish, 10);
  EXPECT_GT(dark, w * h / 16);
}

}  // namespace
