// The Photo page's drawing services on the real picture component: the
// folder preview grid, the cached bitmap, the plain draw, and drawing photos
// of a removable drive without copying them.
#include <array>

#include "engines/picture/imagefx/image_engine.h"
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

// The picture component's engine, with every full-size load counted and
// every resize written down as the size before and after.
class WatchedEngine : public imagefx::CImageEngine {
 public:
  struct Log {
    int fullLoads = 0;
    std::vector<std::array<int, 4>> resizes;
  };
  explicit WatchedEngine(std::shared_ptr<Log> log) : log_(std::move(log)) {}
  int Load(const std::string& path) override {
    ++log_->fullLoads;
    return CImageEngine::Load(path);
  }
  int Resize(int width, int height, int resample) override {
    if (Pixels()) log_->resizes.push_back({Pixels()->width(), Pixels()->height(), width, height});
    return CImageEngine::Resize(width, height, resample);
  }

 private:
  std::shared_ptr<Log> log_;
};

// Four quadrants: red, green / blue, white.
std::string WriteQuadrantJpeg(const std::string& path, int width, int height) {
  Surface pixels(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.set_pixel(x, y, y < height / 2 ? (x < width / 2 ? 0xFFFF0000u : 0xFF00FF00u)
                                            : (x < width / 2 ? 0xFF0000FFu : 0xFFFFFFFFu));
  picture::SaveOptions options;
  options.format = picture::kFormatJpeg;
  const auto bytes = picture::EncodePicture(pixels, options);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST_F(PhotoDrawingTest, ThumbnailsOfLargePhotosDecodeSmallButNeverEnlarge) {
  const std::string path = WriteQuadrantJpeg(dir_ + "/large.jpg", 1600, 1200);
  auto log = std::make_shared<WatchedEngine::Log>();
  ComPtr<IImageFx> fx;
  ASSERT_EQ(photoCore_->QueryInterface(IID_IImageFx, reinterpret_cast<void**>(&fx)), S_OK);
  photoCore_->pictures->SetEngineFactory([log] { return std::make_unique<WatchedEngine>(log); });
  ASSERT_EQ(fx->Initialize(), S_OK);

  const struct {
    int rotation;
    float factor;
    int keepAspect;
    const char* quadrants;  // at the quarter points of the drawn picture
  } cases[] = {
      {0, 1.0f, 1, "RGBW"},    {90, 1.0f, 1, "BRWG"},    {270, 1.0f, 1, "GWRB"},
      {180, 0.75f, 1, "WBGR"}, {90, 1.3333334f, 1, "BRWG"}, {0, 1.0f, 0, "RGBW"},
      {90, 0.75f, 0, "BRWG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rotation) + " " + std::to_string(c.factor) + " " + std::to_string(c.keepAspect));
    Config().m_fScaleFactor = c.factor;
    PhotoRecord record = Record(path);
    record.nRotation = c.rotation;
    Photo().m_vecPhotos = {record};
    *log = {};
    Canvas drawn(160, 120);
    ASSERT_EQ(system_->DrawPhotoThumbnail(0, drawn.dc, 0, 0, 160, 120, 0, c.keepAspect), S_OK);
    EXPECT_EQ(log->fullLoads, 0);
    ASSERT_FALSE(log->resizes.empty());
    // The fit to the thumbnail, the last resize, only shrinks the picture.
    const auto& fit = log->resizes.back();
    EXPECT_GE(fit[0], fit[2]) << "a fit from " << fit[0] << "x" << fit[1] << " to " << fit[2] << "x" << fit[3];
    EXPECT_GE(fit[1], fit[3]) << "a fit from " << fit[0] << "x" << fit[1] << " to " << fit[2] << "x" << fit[3];
    EXPECT_LE(log->resizes.front()[0], 400) << "decoded at a quarter at most";

    // The same drawing from the photo decoded whole: the same placement and
    // the same picture.
    ASSERT_EQ(fx->LoadImage(path.c_str()), S_OK);
    if (c.rotation) fx->Rotate(c.rotation);
    // (Whatever the display's pixel-aspect factor, a photo keeps its shape.)
    Canvas whole(160, 120);
    if (c.keepAspect) {
      RECT area{0, 0, 160, 120}, out{};
      fx->FitWithMinimum(&area, &out, 0.75f);
      fx->ResizeToFit(out.right - out.left, out.bottom - out.top, 1);
      ASSERT_EQ(fx->PaintFromRect(whole.dc, 0, 0, 160, 120, out.left, out.top, out.right, out.bottom), S_OK);
    } else {
      fx->ResizeToFit(160, 120, 1);
      ASSERT_EQ(fx->Paint(whole.dc, 0, 0, 160, 120), S_OK);
    }
    fx->CloseImage();
    int left = 160, right = -1, top = 120, bottom = -1;
    for (int y = 0; y < 120; ++y) {
      for (int x = 0; x < 160; ++x) {
        const bool painted = whole.At(x, y) != 0xFF000000u;
        ASSERT_EQ(drawn.At(x, y) != 0xFF000000u, painted) << x << "," << y << " the letterbox differs";
        if (!painted) continue;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    ASSERT_LT(left, right);
    const int x0 = left + (right - left) / 4, x1 = right - (right - left) / 4;
    const int y0 = top + (bottom - top) / 4, y1 = bottom - (bottom - top) / 4;
    const std::uint32_t named[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    const std::string letters = "RGBW";
    const std::pair<int, int> points[] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
    for (int i = 0; i < 4; ++i) {
      const auto [x, y] = points[i];
      const std::uint32_t expected = named[letters.find(c.quadrants[i])];
      EXPECT_TRUE(Near(drawn.At(x, y), expected)) << "drawn at " << x << "," << y;
      EXPECT_TRUE(Near(whole.At(x, y), expected)) << "whole at " << x << "," << y;
    }
  }
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
