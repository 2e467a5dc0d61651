// The Photo page's drawing services on the real picture component: the
// folder preview grid, the cached bitmap, the plain draw, and drawing photos
// of a removable drive without copying them.
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "tests/corebridge/photo/photo_test_support.h"

namespace photo_test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBackground = 0xFF203040u;

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 24) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

// A memory device context over a bitmap of its own.
struct Canvas {
  Canvas(int width, int height, std::uint32_t fill = 0xFF000000u) {
    bitmap = CreateBitmapFromSurface(std::make_shared<Surface>(width, height, fill));
    dc = CreateCompatibleDC(nullptr);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  std::uint32_t At(int x, int y) const { return GetBitmapSurface(bitmap)->pixel(x, y) | 0xFF000000u; }
  HBITMAP bitmap = nullptr;
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
};

std::uint32_t PixelOf(HBITMAP bitmap, int x, int y) { return GetBitmapSurface(bitmap)->pixel(x, y) | 0xFF000000u; }

class PhotoDrawingTest : public PhotoTest {
 protected:
  void SetUp() override {
    PhotoTest::SetUp();
    Enter();
  }
};

TEST_F(PhotoDrawingTest, AFolderPreviewDrawsTheFirstCellsOfTheGrid) {
  const std::string folder = env_.path("twenty");
  fs::create_directories(folder);
  for (int i = 0; i < 20; ++i) WriteJpeg(folder + "/p" + std::to_string(i) + ".jpg", kRed);
  test_support::WriteFile(folder + "/notes.txt", "not a picture");
  fs::create_directories(folder + "/sub.jpg");
  test_support::WriteFile(folder + "/.hidden.jpg", "hidden");
  Photo().m_vecFolders = {Record(folder)};
  Canvas screen(10, 10);
  Canvas background(90, 90, kBackground);
  // A 3 x 3 grid of 30-pixel cells, thumbnails at 50 %.
  ASSERT_EQ(system_->DrawFolderPreview(0, screen.dc, 0, 0, 90, 90, 0, 0, 90, 90, 3, 3, 50, background.bitmap), S_OK);
  const PhotoRecord& r = Photo().m_vecFolders[0];
  EXPECT_EQ(r.bHasPreview, 1);
  ASSERT_TRUE(r.hThumbnail);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const int x = column * 30, y = row * 30;
      EXPECT_TRUE(Near(PixelOf(r.hThumbnail, x + 15, y + 15), kRed)) << row << " " << column;
      EXPECT_TRUE(Near(PixelOf(r.hThumbnail, x + 2, y + 2), kBackground)) << "the cell's margin";
    }
  }
  // Without rows or columns there is no grid.
  EXPECT_EQ(system_->DrawFolderPreview(0, screen.dc, 0, 0, 90, 90, 0, 0, 90, 90, 0, 3, 50, nullptr), E_FAIL);
  EXPECT_EQ(system_->DrawFolderPreview(3, screen.dc, 0, 0, 90, 90, 0, 0, 90, 90, 3, 3, 50, nullptr), E_FAIL);
}

TEST_F(PhotoDrawingTest, AnEmptyFolderGivesTheBackgroundAndNoPreviewFlag) {
  const std::string folder = env_.path("empty");
  fs::create_directories(folder);
  Photo().m_vecFolders = {Record(folder)};
  Canvas screen(10, 10);
  Canvas background(40, 40, kBackground);
  ASSERT_EQ(system_->DrawFolderPreview(0, screen.dc, 0, 0, 40, 40, 0, 0, 40, 40, 2, 2, 80, background.bitmap), S_OK);
  const PhotoRecord& r = Photo().m_vecFolders[0];
  EXPECT_EQ(r.bHasPreview, 0);
  ASSERT_TRUE(r.hThumbnail);
  EXPECT_EQ(PixelOf(r.hThumbnail, 20, 20), kBackground);
  Photo().m_vecFolders = {Record(env_.path("missing"))};
  EXPECT_EQ(system_->DrawFolderPreview(0, screen.dc, 0, 0, 40, 40, 0, 0, 40, 40, 2, 2, 80, nullptr), E_FAIL);
}

TEST_F(PhotoDrawingTest, NeutralAdjustmentsDrawAsAPlainDraw) {
  const std::string path = dir_ + "/gradient.jpg";
  {
    Surface pixels(64, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) pixels.set_pixel(x, y, 0xFF000000u | (x * 4u) << 16 | (y * 5u) << 8 | 0x40u);
    picture::SaveOptions options;
    options.format = picture::kFormatJpeg;
    const auto bytes = picture::EncodePicture(pixels, options);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Photo().m_vecPhotos = {Record(path)};
  Canvas controller(40, 30);
  ASSERT_EQ(system_->DrawPhotoThumbnail(0, controller.dc, 0, 0, 40, 30, 0, 0), S_OK);
  // The same picture straight through the component.
  ComPtr<IImageFx> fx;
  ASSERT_EQ(photoCore_->QueryInterface(IID_IImageFx, reinterpret_cast<void**>(&fx)), S_OK);
  Canvas plain(40, 30);
  ASSERT_EQ(fx->LoadImage(path.c_str()), S_OK);
  fx->ResizeToFit(40, 30, 1);
  ASSERT_EQ(fx->Paint(plain.dc, 0, 0, 40, 30), S_OK);
  fx->CloseImage();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(controller.At(x, y), plain.At(x, y)) << x << "," << y;

  // An adjusted photo draws differently.
  Photo().m_vecPhotos[0].nBrightness = 90;
  Canvas brighter(40, 30);
  ASSERT_EQ(system_->DrawPhotoThumbnail(0, brighter.dc, 0, 0, 40, 30, 0, 0), S_OK);
  EXPECT_NE(brighter.At(20, 15), plain.At(20, 15));
  EXPECT_EQ(system_->DrawPhotoThumbnail(1, brighter.dc, 0, 0, 40, 30, 0, 0), E_FAIL);
}

TEST_F(PhotoDrawingTest, CachedBitmapsAndImageFiles) {
  const std::string path = WriteJpeg(dir_ + "/red.jpg", kRed);
  Photo().m_vecPhotos = {Record(path)};
  Canvas screen(10, 10);
  ASSERT_EQ(system_->RenderPhotoToBitmap(0, screen.dc, 100, 100, 164, 148, nullptr), S_OK);
  const HBITMAP first = Photo().m_vecPhotos[0].hThumbnail;
  ASSERT_TRUE(first);
  EXPECT_EQ(GetBitmapSurface(first)->width(), 64);
  EXPECT_TRUE(Near(PixelOf(first, 32, 24), kRed));
  ASSERT_EQ(system_->RenderPhotoToBitmap(0, screen.dc, 0, 0, 32, 24, nullptr), S_OK);
  EXPECT_EQ(GetBitmapSurface(Photo().m_vecPhotos[0].hThumbnail)->width(), 32) << "the cache is replaced";
  ASSERT_EQ(Act("Photo Destroy Photo Caches"), S_OK);
  EXPECT_FALSE(Photo().m_vecPhotos[0].hThumbnail);

  // A bitmap that cannot be made even after every cache is dropped is a
  // failure, not a success.
  Photo().m_vecPhotos.push_back(Record(path));
  ASSERT_EQ(system_->RenderPhotoToBitmap(1, screen.dc, 0, 0, 32, 24, nullptr), S_OK);
  EXPECT_EQ(system_->RenderPhotoToBitmap(0, screen.dc, 0, 0, 100000, 100000, nullptr), E_OUTOFMEMORY);
  EXPECT_FALSE(Photo().m_vecPhotos[0].hThumbnail);
  EXPECT_FALSE(Photo().m_vecPhotos[1].hThumbnail) << "the caches were dropped for the retry";
  Photo().m_vecPhotos.pop_back();

  Canvas canvas(32, 24);
  EXPECT_EQ(system_->DrawImageFile(path.c_str(), canvas.dc, 0, 0, 32, 24, 0), S_OK);
  EXPECT_TRUE(Near(canvas.At(16, 12), kRed));
  Canvas direct(32, 24);
  EXPECT_EQ(system_->DrawImageFile(path.c_str(), direct.dc, 0, 0, 32, 24, 1), S_OK);
  EXPECT_TRUE(Near(direct.At(16, 12), kRed));
  EXPECT_TRUE(FAILED(system_->DrawImageFile((dir_ + "/none.jpg").c_str(), canvas.dc, 0, 0, 32, 24, 0)))
      << "the drawing's result, not a blanket success";
}

TEST_F(PhotoDrawingTest, DrawingARemovableDrivesPhotosCopiesNothing) {
  const std::string card = env_.path("card");
  fs::create_directories(card);
  VolumeInfo volume;
  volume.letter = 'F';
  volume.type = DRIVE_REMOVABLE;
  volume.root = card;
  volumes_->volumes.push_back(volume);
  for (int i = 0; i < 3; ++i) WriteJpeg(card + "/c" + std::to_string(i) + ".jpg", kRed);
  const std::string settings = Config().m_strSettingsFolder;
  std::vector<std::string> before;
  for (const auto& e : fs::directory_iterator(settings)) before.push_back(e.path().string());
  Photo().m_vecPhotos = {Record(card + "/c0.jpg"), Record(card + "/c1.jpg")};
  Photo().m_vecFolders = {Record(card)};
  Canvas screen(64, 48);
  EXPECT_EQ(system_->DrawPhotoThumbnail(0, screen.dc, 0, 0, 64, 48, 0, 1), S_OK);
  EXPECT_EQ(system_->RenderPhotoToBitmap(1, screen.dc, 0, 0, 64, 48, nullptr), S_OK);
  EXPECT_EQ(system_->DrawFolderPreview(0, screen.dc, 0, 0, 64, 48, 0, 0, 64, 48, 2, 2, 90, nullptr), S_OK);
  std::vector<std::string> after;
  for (const auto& e : fs::directory_iterator(settings)) after.push_back(e.path().string());
  EXPECT_EQ(after, before);
  EXPECT_TRUE(Photo().m_mapEditedCopies.empty());
}

}  // namespace
}  // namespace photo_test
