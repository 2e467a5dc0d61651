// The picture component on generated pictures: loading upright, drawing,
// lossless and fallback rotation, saving with metadata, and the geometry
// and colour operations of its engine.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "engines/picture/imagefx/image_fx.h"
#include "engines/picture/picture_core/picture_file.h"
#include "picture_fixtures.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/jpeg_codec.h"
#include "platform/gdi/objects.h"

namespace {

namespace fs = std::filesystem;
using picture_test::Fixture;
using picture_test::Quadrants;
using plat::ComPtr;
using plat::E_FAIL;
using plat::S_OK;

// A device context over a surface of its own, for looking at what was drawn.
class Canvas {
 public:
  Canvas(int width, int height) : surface_(std::make_shared<plat::Surface>(width, height, 0xFF000000u)) {
    bitmap_ = plat::CreateBitmapFromSurface(surface_);
    dc_ = plat::CreateCompatibleDC(nullptr);
    old_ = plat::SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    plat::SelectObject(dc_, old_);
    plat::DeleteDC(dc_);
    plat::DeleteObject(bitmap_);
  }
  plat::HDC dc() const { return dc_; }
  const plat::Surface& surface() const { return *surface_; }

 private:
  plat::SurfacePtr surface_;
  plat::HBITMAP bitmap_ = nullptr;
  plat::HDC dc_ = nullptr;
  plat::HGDIOBJ old_ = nullptr;
};

class ImageFxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(picture_test::FixtureDir().empty());
    fx_ = plat::MakeComObject<CImageFx>();
    ASSERT_EQ(fx_->ResetAdjustments(), S_OK);
    ASSERT_EQ(fx_->Initialize(), S_OK);
    dir_ = picture_test::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A copy of a fixture in the scratch folder.
  std::string Copy(const std::string& fixture, const std::string& as = {}) {
    const std::string target = dir_ + "/" + (as.empty() ? fixture : as);
    fs::copy_file(Fixture(fixture), target, fs::copy_options::overwrite_existing);
    return target;
  }

  plat::Surface Decoded(const std::string& path) {
    auto loaded = picture::LoadPictureFile(path);
    return loaded ? std::move(loaded->pixels) : plat::Surface();
  }

  plat::ComPtr<plat::ComObject<CImageFx>> fx_;
  std::string dir_;
};

TEST_F(ImageFxTest, NothingWorksBeforeInitializeOrWithoutAPicture) {
  auto fresh = plat::MakeComObject<CImageFx>();
  std::int32_t w = 0, h = 0;
  EXPECT_EQ(fresh->LoadImage(Fixture("quad.png").c_str()), E_FAIL);
  EXPECT_EQ(fresh->Rotate(90), E_FAIL);
  EXPECT_EQ(fresh->IsSupportedImage(Fixture("quad.png").c_str()), E_FAIL);
  EXPECT_EQ(fx_->GetImageSize(&w, &h), E_FAIL);
  EXPECT_EQ(fx_->Save(), E_FAIL);
  EXPECT_EQ(fx_->Rotate(90), E_FAIL);  // ready, but the engine has no picture
  EXPECT_EQ(fx_->CanPaint(), E_FAIL);
  ASSERT_EQ(fx_->LoadImage(Fixture("quad.png").c_str()), S_OK);
  EXPECT_EQ(fx_->CanPaint(), S_OK);
  ASSERT_EQ(static_cast<IImageFx*>(fx_.Get())->Uninitialize(), S_OK);
  EXPECT_EQ(fx_->GetImageSize(&w, &h), E_FAIL);
}

TEST_F(ImageFxTest, SupportedImagesNeedAPictureExtensionAndPictureContent) {
  const std::string text = dir_ + "/text.jpg";
  picture_test::WriteBytes(text, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
  const struct {
    std::string path;
    plat::HRESULT expected;
  } cases[] = {
      {Fixture("quad.gif"), S_OK},
      {Copy("quad.png", "QUAD.PNG"), S_OK},
      {Copy("quad.png", "png_named.jpg"), S_OK},
      {Copy("quad.png", "quad.tif"), E_FAIL},
      {Copy("quad.png", "noextension"), E_FAIL},
      {text, E_FAIL},
      {dir_ + "/missing.jpg", E_FAIL},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fx_->IsSupportedImage(c.path.c_str()), c.expected) << c.path;
    EXPECT_EQ(fx_->LoadImage(c.path.c_str()), c.expected) << c.path;
  }
}

TEST_F(ImageFxTest, EveryOrientationLoadsAndDrawsUpright) {
  for (int o = 1; o <= 8; ++o) {
    SCOPED_TRACE(o);
    const std::string path = Fixture("orient_" + std::to_string(o) + ".jpg");
    ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
    std::int32_t w = 0, h = 0;
    ASSERT_EQ(fx_->GetImageSize(&w, &h), S_OK);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    Canvas canvas(64, 48);
    ASSERT_EQ(fx_->Paint(canvas.dc(), 0, 0, 64, 48), S_OK);
    EXPECT_EQ(Quadrants(canvas.surface()), "RGBW");
    Canvas drawn(64, 48);
    ASSERT_EQ(fx_->DrawFile(path.c_str(), drawn.dc(), 0, 0, 64, 48), S_OK);
    EXPECT_EQ(Quadrants(drawn.surface()), "RGBW");
  }
}

TEST_F(ImageFxTest, DrawFileLetterboxesAndRefusesMissingFiles) {
  Canvas canvas(200, 100);
  ASSERT_EQ(fx_->DrawFile(Fixture("photo_1024x768.jpg").c_str(), canvas.dc(), 0, 0, 200, 100), S_OK);
  // 4:3 into 2:1: a 133 x 100 picture in the middle, black bars beside it.
  EXPECT_EQ(canvas.surface().pixel(10, 50), 0xFF000000u);
  EXPECT_EQ(picture_test::Name(picture_test::At(canvas.surface(), 50, 20)), 'R');
  EXPECT_EQ(picture_test::Name(picture_test::At(canvas.surface(), 150, 80)), 'W');
  EXPECT_EQ(fx_->DrawFile((dir_ + "/missing.jpg").c_str(), canvas.dc(), 0, 0, 200, 100), E_FAIL);
}

TEST_F(ImageFxTest, ASizedLoadDecodesNoLargerThanAskedAndUpright) {
  ComPtr<IImageFxSizedLoad> sized;
  ASSERT_EQ(static_cast<IImageFx*>(fx_.Get())->QueryInterface(IID_IImageFxSizedLoad,
                                                             reinterpret_cast<void**>(sized.ReleaseAndGetAddressOf())),
            S_OK);
  const struct {
    const char* fixture;
    int minWidth, minHeight;
    int width, height;  // upright, as loaded
  } cases[] = {
      {"photo_1024x768.jpg", 100, 75, 128, 96},      // an eighth covers it
      {"photo_1024x768.jpg", 129, 96, 256, 192},     // one pixel more takes a quarter
      {"photo_1024x768.jpg", 300, 10, 512, 384},
      {"photo_1024x768.jpg", 1024, 768, 1024, 768},  // full size is the most it gets
      {"photo_1024x768.jpg", 4000, 4000, 1024, 768},
      {"photo_o6.jpg", 100, 100, 192, 256},          // stored 1024 x 768 on its side
      {"photo_o6.jpg", 200, 100, 384, 512},
      {"quad.png", 1, 1, 64, 48},                    // only JPEGs decode reduced
      {"quad_progressive.jpg", 1, 1, 8, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + " " + std::to_string(c.minWidth) + "x" + std::to_string(c.minHeight));
    ASSERT_EQ(sized->LoadImageForSize(Fixture(c.fixture).c_str(), c.minWidth, c.minHeight), S_OK);
    std::int32_t w = 0, h = 0;
    ASSERT_EQ(fx_->GetImageSize(&w, &h), S_OK);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    // Both drawn at the reduced size: the same picture.
    Canvas canvas(w, h);
    ASSERT_EQ(fx_->Paint(canvas.dc(), 0, 0, w, h), S_OK);
    ASSERT_EQ(fx_->LoadImage(Fixture(c.fixture).c_str()), S_OK);
    Canvas full(w, h);
    ASSERT_EQ(fx_->Paint(full.dc(), 0, 0, w, h), S_OK);
    EXPECT_EQ(Quadrants(full.surface()).find('?'), std::string::npos) << Quadrants(full.surface());
    EXPECT_EQ(Quadrants(canvas.surface()), Quadrants(full.surface()));
  }
  const std::string text = dir_ + "/text.jpg";
  picture_test::WriteBytes(text, {'n', 'o', 't'});
  const auto bytes = picture_test::ReadBytes(Fixture("photo_1024x768.jpg"));
  const std::string cut = dir_ + "/cut.jpg";
  picture_test::WriteBytes(cut, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
  for (const std::string& bad : {Copy("quad.png", "quad.tif"), text, cut, dir_ + "/missing.jpg"}) {
    EXPECT_EQ(sized->LoadImageForSize(bad.c_str(), 10, 10), E_FAIL) << bad;
  }
  EXPECT_EQ(sized->LoadImageForSize(nullptr, 10, 10), E_FAIL);
}

TEST_F(ImageFxTest, APictureLoadedReducedIsNeverWrittenBack) {
  const std::string path = Copy("photo_1024x768.jpg");
  const std::string other = dir_ + "/other.jpg";
  const auto before = picture_test::ReadBytes(path);
  ComPtr<IImageFxSizedLoad> sized;
  ASSERT_EQ(fx_->QueryInterface(IID_IImageFxSizedLoad, reinterpret_cast<void**>(sized.ReleaseAndGetAddressOf())),
            S_OK);
  ASSERT_EQ(sized->LoadImageForSize(path.c_str(), 100, 75), S_OK);
  EXPECT_EQ(fx_->Save(), E_FAIL);
  EXPECT_EQ(fx_->SaveAs(other.c_str()), E_FAIL);
  EXPECT_EQ(fx_->ResizeAndSave(50, 50), E_FAIL);
  EXPECT_EQ(picture_test::ReadBytes(path), before);
  EXPECT_FALSE(fs::exists(other));
  // Loaded whole, whether asked for its full size or loaded plainly, it saves.
  ASSERT_EQ(sized->LoadImageForSize(path.c_str(), 1024, 768), S_OK);
  EXPECT_EQ(fx_->SaveAs(other.c_str()), S_OK);
  ASSERT_EQ(sized->LoadImageForSize(path.c_str(), 100, 75), S_OK);
  ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
  EXPECT_EQ(fx_->Save(), S_OK);
}

TEST_F(ImageFxTest, LosslessQuarterTurnKeepsMetadataAndResetsOrientation) {
  const std::string path = Copy("photo_1024x768.jpg", "photo.jpeg");
  ASSERT_EQ(fx_->RotateFile(path.c_str(), 90), S_OK);
  const auto info = picture::ProbePicture(picture_test::ReadBytes(path));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 768);
  EXPECT_EQ(info->height, 1024);
  EXPECT_EQ(info->orientation, 1);
  EXPECT_EQ(picture_test::ExifTextOfFile(path, EXIF_TAG_MAKE), "Marivel");
  EXPECT_EQ(picture_test::ExifTextOfFile(path, EXIF_TAG_DATE_TIME_ORIGINAL), "2021:06:07 08:09:10");
  const auto meta = picture::ReadJpegMetadata(picture_test::ReadBytes(path));
  EXPECT_NE(std::find(meta.comments.begin(), meta.comments.end(), "kept comment"), meta.comments.end());
  EXPECT_EQ(Quadrants(Decoded(path)), "BRWG");
}

TEST_F(ImageFxTest, FourLosslessQuarterTurnsDecodeBitIdentical) {
  const std::string path = Copy("photo_1024x768.jpg");
  const auto original = plat::gdi::DecodeJpeg(picture_test::ReadBytes(path));
  ASSERT_TRUE(original);
  for (int i = 0; i < 4; ++i) ASSERT_EQ(fx_->RotateFile(path.c_str(), 90), S_OK);
  const auto turned = plat::gdi::DecodeJpeg(picture_test::ReadBytes(path));
  ASSERT_TRUE(turned);
  ASSERT_EQ(turned->width(), original->width());
  ASSERT_EQ(turned->height(), original->height());
  EXPECT_TRUE(std::equal(original->data(), original->data() + 1024 * 768, turned->data()));
}

TEST_F(ImageFxTest, LosslessTurnStartsFromTheUprightPicture) {
  // Stored upright-quad with orientation 6 shows "BRWG"; a further quarter
  // turn shows it upside down.
  const std::string path = Copy("photo_o6.jpg");
  ASSERT_EQ(fx_->RotateFile(path.c_str(), 90), S_OK);
  const auto info = picture::ProbePicture(picture_test::ReadBytes(path));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->orientation, 1);
  EXPECT_EQ(info->width, 1024);
  EXPECT_EQ(Quadrants(Decoded(path)), "WBGR");
}

TEST_F(ImageFxTest, PartialBlocksFallBackToLoadTurnAndSave) {
  imagefx::CImageEngine engine;
  const std::string path = Copy("photo_1001x667.jpg");
  EXPECT_EQ(engine.RotateJpegFile(path, 90), 0);  // not a whole number of blocks
  ASSERT_EQ(fx_->RotateFile(path.c_str(), 90), S_OK);
  const auto info = picture::ProbePicture(picture_test::ReadBytes(path));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 667);
  EXPECT_EQ(info->height, 1001);
  EXPECT_EQ(info->orientation, 1);
  EXPECT_EQ(picture_test::ExifTextOfFile(path, EXIF_TAG_MAKE), "Marivel");
  EXPECT_EQ(Quadrants(Decoded(path)), "BRWG");
}

TEST_F(ImageFxTest, BitmapsTurnByLoadTurnAndSave) {
  const std::string path = Copy("quad_bgr24.bmp");
  ASSERT_EQ(fx_->RotateFile(path.c_str(), 270), S_OK);
  const plat::Surface turned = Decoded(path);
  EXPECT_EQ(turned.width(), 48);
  EXPECT_EQ(Quadrants(turned), "GWRB");
}

TEST_F(ImageFxTest, PathsLongerThanTheOldLimitReachTheirOwnFile) {
  // Paths are kept whole, however long: a copy cut at 260 characters would
  // name another file or none.
  std::string folder = dir_;
  while (folder.size() < 300) folder += "/" + std::string(40, 'd');
  fs::create_directories(folder);
  const std::string path = folder + "/quad.bmp";
  fs::copy_file(Fixture("quad_bgr24.bmp"), path);
  ASSERT_GT(path.size(), 260u);
  ASSERT_EQ(fx_->RotateFile(path.c_str(), 90), S_OK);
  EXPECT_EQ(Decoded(path).width(), 48);
  ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
  ASSERT_EQ(fx_->SaveAs((folder + "/copy.png").c_str()), S_OK);
  EXPECT_TRUE(fs::exists(folder + "/copy.png"));
}

TEST_F(ImageFxTest, RotateFileReportsAFailedFallback) {
  EXPECT_EQ(fx_->RotateFile((dir_ + "/missing.bmp").c_str(), 90), E_FAIL);
  const std::string text = dir_ + "/text.jpg";
  picture_test::WriteBytes(text, {'x'});
  EXPECT_EQ(fx_->RotateFile(text.c_str(), 90), E_FAIL);
  EXPECT_EQ(picture_test::ReadBytes(text), std::vector<std::uint8_t>{'x'});
}

TEST_F(ImageFxTest, SavedEditKeepsMetadataQualityAndUprightOrientation) {
  const std::string path = Copy("photo_o6.jpg");
  const int quality = picture::ProbePicture(picture_test::ReadBytes(path))->jpeg_quality;
  ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
  std::int32_t b = 55, h = 50, s = 50, c = 50, sh = 50;
  ASSERT_EQ(fx_->SetAdjustments(&b, &h, &s, &c, &sh), S_OK);
  ASSERT_EQ(fx_->ApplyToImage(), S_OK);
  ASSERT_EQ(fx_->Save(), S_OK);
  ASSERT_EQ(fx_->CloseImage(), S_OK);
  const auto info = picture::ProbePicture(picture_test::ReadBytes(path));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->orientation, 1);
  EXPECT_EQ(info->width, 768);
  EXPECT_NEAR(info->jpeg_quality, quality, 5);
  EXPECT_EQ(picture_test::ExifTextOfFile(path, EXIF_TAG_MAKE), "Marivel");
  const plat::Surface saved = Decoded(path);
  EXPECT_EQ(Quadrants(saved), "BRWG");
  // Brightened: the blue quadrant (top-left once upright) gains red and green.
  EXPECT_GT(picture_test::At(saved, 192, 256).r, 15);
  EXPECT_GT(picture_test::At(saved, 192, 256).g, 15);
}

TEST_F(ImageFxTest, AFailedWriteLeavesTheOriginalWhole) {
  const std::string path = Copy("photo_1024x768.jpg");
  const auto before = picture_test::ReadBytes(path);
  fx_->SetEngineFactory([] {
    auto engine = std::make_unique<imagefx::CImageEngine>();
    engine->SetFileWriter([](const std::string&, std::string_view, std::string* error) {
      *error = "disk full";
      return false;
    });
    return engine;
  });
  ASSERT_EQ(fx_->Initialize(), S_OK);
  ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
  ASSERT_EQ(fx_->Rotate(45), S_OK);
  EXPECT_EQ(fx_->Save(), E_FAIL);
  EXPECT_NE(fx_->Engine()->LastError().find("disk full"), std::string::npos);
  EXPECT_EQ(fx_->ResizeAndSave(10, 10), E_FAIL);
  EXPECT_EQ(fx_->RotateFile(path.c_str(), 90), E_FAIL);
  EXPECT_EQ(picture_test::ReadBytes(path), before);
}

TEST_F(ImageFxTest, UnwritableFormatsFailClearlyAndWriteNothing) {
  ASSERT_EQ(fx_->LoadImage(Fixture("quad.png").c_str()), S_OK);
  for (const char* name : {"x.tif", "x.psd", "x.unknown"}) {
    const std::string target = dir_ + "/" + name;
    EXPECT_EQ(fx_->SaveAs(target.c_str()), E_FAIL) << name;
    EXPECT_FALSE(fs::exists(target)) << name;
  }
  EXPECT_FALSE(fx_->Engine()->LastError().empty());
}

TEST_F(ImageFxTest, EachFormatSavesAndReadsBack) {
  ASSERT_EQ(fx_->LoadImage(Fixture("quad_rgba.png").c_str()), S_OK);
  const struct {
    const char* name;
    int format;
  } cases[] = {{"out.bmp", picture::kFormatBmp}, {"out.png", picture::kFormatPng},
               {"out.gif", picture::kFormatGif}, {"out.jpg", picture::kFormatJpeg}};
  for (const auto& c : cases) {
    const std::string target = dir_ + "/" + c.name;
    ASSERT_EQ(fx_->SaveAs(target.c_str()), S_OK) << c.name;
    const auto loaded = picture::LoadPictureFile(target);
    ASSERT_TRUE(loaded) << c.name;
    EXPECT_EQ(loaded->info.format, c.format);
    EXPECT_EQ(Quadrants(loaded->pixels), "RGBW") << c.name;
  }
}

TEST_F(ImageFxTest, SnapshotBitmapBecomesAJpegOfAtLeast96Dpi) {
  const std::string bmp = Copy("quad_bgr24.bmp", "DVD_000.BMP");
  const std::string jpg = dir_ + "/DVD_000.jpg";
  ASSERT_EQ(fx_->LoadImage(bmp.c_str()), S_OK);
  ASSERT_EQ(fx_->SetResolution(72, 72), S_OK);
  ASSERT_EQ(fx_->SaveAs(jpg.c_str()), S_OK);
  ASSERT_EQ(fx_->CloseImage(), S_OK);
  const auto bytes = picture_test::ReadBytes(jpg);
  const auto segments = picture::ReadJpegSegments(bytes);
  ASSERT_FALSE(segments.empty());
  ASSERT_EQ(segments[0].code, 0xE0);  // JFIF: unit, then x and y density
  EXPECT_EQ(segments[0].payload[7], 1);
  EXPECT_EQ((segments[0].payload[8] << 8) | segments[0].payload[9], 96);
  EXPECT_EQ(Quadrants(Decoded(jpg)), "RGBW");
}

TEST_F(ImageFxTest, ResizeAndSaveReportTheirResult) {
  const std::string path = Copy("quad.png");
  ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
  EXPECT_EQ(fx_->ResizeAndSave(0, 10), E_FAIL);
  ASSERT_EQ(fx_->ResizeAndSave(32, 24), S_OK);
  EXPECT_EQ(Decoded(path).width(), 32);
  const std::string other = dir_ + "/small.gif";
  ASSERT_EQ(fx_->ResizeAndSaveAs(other.c_str(), 16, 12), S_OK);
  EXPECT_EQ(Decoded(other).width(), 16);
  EXPECT_EQ(fx_->ResizeAndSaveAs((dir_ + "/x.tif").c_str(), 16, 12), E_FAIL);
}

TEST_F(ImageFxTest, FitImageShowsWhatTheZoomedPictureLeavesVisible) {
  ASSERT_EQ(fx_->LoadImage(Fixture("photo_1024x768.jpg").c_str()), S_OK);
  // Fitted into 400 x 300 (the whole area); zoom 2 makes it 800 x 600, so
  // along both axes half of the picture is visible.
  plat::RECT area{0, 0, 400, 300};
  std::int32_t out[2] = {};
  ASSERT_EQ(fx_->FitImage(&area, 2.0f, out), S_OK);
  EXPECT_EQ(out[0], 512);
  EXPECT_EQ(out[1], 384);
  EXPECT_EQ(area.right, 400);
  // Zoom 0.5: 200 x 150 inside, the area shrinks to it, all pixels visible.
  area = {0, 0, 400, 300};
  ASSERT_EQ(fx_->FitImage(&area, 0.5f, out), S_OK);
  EXPECT_EQ(out[0], 1024);
  EXPECT_EQ(out[1], 768);
  EXPECT_EQ(area.left, 100);
  EXPECT_EQ(area.right, 300);
  EXPECT_EQ(area.top, 75);
  // A wide area: the picture fits the height; across, the area shrinks.
  area = {0, 0, 800, 300};
  ASSERT_EQ(fx_->FitImage(&area, 1.5f, out), S_OK);
  EXPECT_EQ(out[0], 1024);
  EXPECT_EQ(out[1], 512);
  EXPECT_EQ(area.right - area.left, 600);
  area = {0, 0, 0, 300};
  EXPECT_EQ(fx_->FitImage(&area, 1.0f, out), E_FAIL);
  area = {0, 0, 400, 300};
  EXPECT_EQ(fx_->FitImage(&area, 0.0f, out), E_FAIL);
}

TEST_F(ImageFxTest, ScreenPointsMapToPicturePixels) {
  ASSERT_EQ(fx_->LoadImage(Fixture("photo_1024x768.jpg").c_str()), S_OK);
  const struct {
    plat::POINT in;
    int x, y, w, h;
    plat::HRESULT result;
    plat::POINT out;
  } cases[] = {
      {{200, 150}, 0, 0, 400, 300, S_OK, {512, 384}},
      {{0, 0}, 0, 0, 400, 300, S_OK, {0, 0}},
      {{150, 75}, 100, 0, 400, 150, S_OK, {0, 384}},  // letterboxed: 200 x 150 at x 200, clamped
      {{500, 10}, 0, 0, 400, 300, E_FAIL, {500, 10}},
      {{5, 5}, 0, 0, 0, 300, E_FAIL, {5, 5}},
  };
  for (const auto& c : cases) {
    plat::POINT p = c.in;
    EXPECT_EQ(fx_->ScreenToImage(&p, c.x, c.y, c.w, c.h), c.result);
    EXPECT_EQ(p.x, c.out.x);
    EXPECT_EQ(p.y, c.out.y);
  }
}

TEST(ImageEngineGeometry, EllipsesWithAZeroHalfAxisSelectNothing) {
  imagefx::CImageEngine engine;
  const struct {
    int l, t, r, b, x, y, inside;
  } cases[] = {
      {0, 0, 10, 10, 5, 5, 1}, {0, 0, 10, 10, 0, 5, 1}, {0, 0, 10, 10, 0, 0, 0}, {0, 0, 10, 4, 5, 4, 1},
      {0, 0, 1, 10, 0, 5, 0},  {0, 0, 10, 1, 5, 0, 0},  {3, 3, 3, 3, 3, 3, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(engine.InEllipse(c.l, c.t, c.r, c.b, c.x, c.y), c.inside) << c.l << c.t << c.r << c.b << c.x << c.y;
}

TEST_F(ImageFxTest, ChannelScalingRefusesNoOpsEmptyRectanglesAndOutsideCorners) {
  ASSERT_EQ(fx_->LoadImage(Fixture("quad.png").c_str()), S_OK);
  EXPECT_EQ(fx_->ScaleChannelsInRect(0, 0, 10, 10, 1.0f, 1.0f, 1.0f), E_FAIL);
  EXPECT_EQ(fx_->ScaleChannelsInRect(5, 0, 5, 10, 0.5f, 1.0f, 1.0f), E_FAIL);
  EXPECT_EQ(fx_->ScaleChannelsInRect(0, 0, 64, 10, 0.5f, 1.0f, 1.0f), E_FAIL);
  EXPECT_EQ(fx_->ScaleChannelsAt(-1, 0, 0.5f, 1.0f, 1.0f), E_FAIL);
  // Green only (red untouched): the white quadrant loses its green.
  ASSERT_EQ(fx_->ScaleChannelsInRect(63, 47, 40, 30, 1.0f, 0.0f, 1.0f), S_OK);
  const plat::Surface& s = *fx_->Engine()->Pixels();
  EXPECT_EQ(s.pixel(50, 40), 0xFFFF00FFu);
  EXPECT_EQ(s.pixel(39, 40), 0xFFFFFFFFu);
}

TEST_F(ImageFxTest, RedEyeReductionWorksInsideTheEllipseOnly) {
  // A red disc of radius 10 on grey, in a 40 x 40 bitmap.
  plat::Surface s(40, 40, 0xFF606060u);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if ((x - 20) * (x - 20) + (y - 20) * (y - 20) <= 100) s.set_pixel(x, y, 0xFFE01818u);
  const std::string path = dir_ + "/eye.bmp";
  picture_test::WriteBytes(path, plat::gdi::EncodeBmp(s));
  ASSERT_EQ(fx_->LoadImage(path.c_str()), S_OK);
  EXPECT_EQ(fx_->ReduceRedEye(10, 10, 30, 30, 1.0f), E_FAIL);
  EXPECT_EQ(fx_->ReduceRedEye(10, 10, 41, 30, 0.8f), E_FAIL);
  ASSERT_EQ(fx_->ReduceRedEye(10, 10, 30, 30, 0.8f), S_OK);
  const plat::Surface& out = *fx_->Engine()->Pixels();
  EXPECT_LT(picture_test::At(out, 20, 20).r, 0x40);        // the pupil loses its red
  EXPECT_EQ(picture_test::At(out, 20, 20).g, 0x18);
  EXPECT_EQ(out.pixel(11, 11), 0xFF606060u);                // corner of the box: outside the ellipse
  EXPECT_EQ(out.pixel(2, 2), 0xFF606060u);
  // A black pixel (no red at all) is left alone.
  imagefx::CImageEngine engine;
  ASSERT_EQ(engine.Load(path), 1);
  EXPECT_EQ(engine.ScaleChannelsAt(0, 0, 0.0f, 0.0f, 0.0f), 1);
  EXPECT_EQ(engine.ReduceRedAt(0, 0, 0.2f, 0.5f), 1);
  EXPECT_EQ(engine.Pixels()->pixel(0, 0), 0xFF000000u);
}

TEST_F(ImageFxTest, BitmapInfoSizesAreCheckedAndRenderingAppliesEffects) {
  plat::BITMAPINFOHEADER header{};
  EXPECT_EQ(fx_->MakeBitmapInfo(&header, 100000, 100000, 32), E_FAIL);
  ASSERT_EQ(fx_->MakeBitmapInfo(&header, 64, 48, 32), S_OK);
  EXPECT_EQ(header.biSizeImage, 64u * 48 * 4);
  EXPECT_EQ(header.biXPelsPerMeter, 100);

  ASSERT_EQ(fx_->LoadImage(Fixture("quad.png").c_str()), S_OK);
  ASSERT_EQ(fx_->SetSaturation(0), S_OK);
  ASSERT_EQ(fx_->EnableEffects(1), S_OK);
  ASSERT_EQ(fx_->SetRotation(90), S_OK);
  plat::BITMAPINFO info{};
  header.biHeight = -48;
  header.biWidth = 48;
  header.biHeight = -64;
  info.bmiHeader = header;
  plat::HBITMAP dib = nullptr;
  ASSERT_EQ(fx_->RenderToDib(&dib, &info, 48, 64), S_OK);
  const plat::SurfacePtr surface = plat::GetBitmapSurface(dib);
  ASSERT_TRUE(surface);
  // Turned and grey: the blue quadrant, now top-left, is a dark grey.
  const auto p = picture_test::At(*surface, 12, 16);
  EXPECT_EQ(p.r, p.g);
  EXPECT_EQ(p.g, p.b);
  EXPECT_LT(p.r, 40);
  plat::DeleteObject(dib);
  EXPECT_EQ(Quadrants(*fx_->Engine()->Pixels()), "RGBW");  // the picture itself is not turned
}

TEST_F(ImageFxTest, FolderAndFileChecks) {
  const std::string file = Copy("quad.png");
  EXPECT_EQ(fx_->FileExists(file.c_str()), S_OK);
  EXPECT_EQ(fx_->FileExists((dir_ + "/none").c_str()), E_FAIL);
  EXPECT_EQ(fx_->FolderExists(file.c_str()), S_OK);
  EXPECT_EQ(fx_->FolderExists((dir_ + "/").c_str()), S_OK);
  EXPECT_EQ(fx_->FolderExists((dir_ + "/nowhere/x.jpg").c_str()), E_FAIL);
  EXPECT_EQ(fx_->FolderExists("/"), S_OK);
}

TEST_F(ImageFxTest, ResizingAndScalingFollowTheirRules) {
  ASSERT_EQ(fx_->LoadImage(Fixture("photo_1024x768.jpg").c_str()), S_OK);
  std::int32_t w = 0, h = 0;
  EXPECT_EQ(fx_->ScalePercent(-1), E_FAIL);
  EXPECT_EQ(fx_->ScaleBy(-1.0f, 1.0f, 1), E_FAIL);
  ASSERT_EQ(fx_->ScalePercent(50), S_OK);
  ASSERT_EQ(fx_->GetImageSize(&w, &h), S_OK);
  EXPECT_EQ(w, 512);
  ASSERT_EQ(fx_->ResizeToFit(200, 200, 1), S_OK);
  ASSERT_EQ(fx_->GetImageSize(&w, &h), S_OK);
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 150);
  ASSERT_EQ(fx_->ScaleBy(1.5f, 1.0f, 0), S_OK);
  ASSERT_EQ(fx_->GetImageSize(&w, &h), S_OK);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 150);
  plat::RECT area{0, 0, 100, 100}, out{};
  ASSERT_EQ(fx_->FitWithMinimum(&area, &out, 0.75f), S_OK);
  EXPECT_EQ(out.right - out.left, 133);  // 2:1 into a square: three quarters of the width shown
  EXPECT_EQ(out.bottom - out.top, 66);
}

}  // namespace
