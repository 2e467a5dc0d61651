// Loading pictures: every generated format and depth, bad input refused
// before anything large is allocated, Exif orientation applied, and the
// metadata read from and written to each format.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <gif_lib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>

#include "engines/picture/picture_core/exif_block.h"
#include "engines/picture/picture_core/picture_file.h"
#include "picture_fixtures.h"
#include "platform/gdi/gif_codec.h"

namespace {

using namespace picture;
using picture_test::Fixture;
using picture_test::Quadrants;

struct LoadCase {
  const char* file;
  int format;
  int bits;
  const char* quadrants;  // empty: not a colour picture
};

TEST(PictureLoad, EveryGeneratedFormatAndDepthLoadsUpright) {
  const LoadCase cases[] = {
      {"quad.png", kFormatPng, 24, "RGBW"},          {"quad_rgba.png", kFormatPng, 32, "RGBW"},
      {"quad_gray16.png", kFormatPng, 16, ""},       {"quad_bgr24.bmp", kFormatBmp, 24, "RGBW"},
      {"quad_bgra.bmp", kFormatBmp, 32, "RGBW"},     {"quad_pal8.bmp", kFormatBmp, 8, "RGBW"},
      {"quad_monob.bmp", kFormatBmp, 1, ""},         {"quad.gif", kFormatGif, 8, "RGBW"},
      {"quad.jpg", kFormatJpeg, 24, "RGBW"},         {"quad_progressive.jpg", kFormatJpeg, 24, "RGBW"},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.file);
    std::string error;
    const auto loaded = LoadPictureFile(Fixture(c.file), {}, &error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(loaded->info.format, c.format);
    EXPECT_EQ(loaded->info.bits_per_pixel, c.bits);
    EXPECT_EQ(loaded->pixels.width(), 64);
    EXPECT_EQ(loaded->pixels.height(), 48);
    if (*c.quadrants) {
      EXPECT_EQ(Quadrants(loaded->pixels), c.quadrants);
    } else {
      // Grey and black-and-white pictures stay grey.
      const auto p = picture_test::At(loaded->pixels, 3 * 64 / 4, 3 * 48 / 4);
      EXPECT_EQ(p.r, p.g);
      EXPECT_EQ(p.g, p.b);
      EXPECT_GT(p.r, 200);  // the white quadrant
    }
  }
}

TEST(PictureLoad, JpegInformationCarriesSamplingAndQuality) {
  const auto info = ProbePicture(picture_test::ReadBytes(Fixture("photo_1024x768.jpg")));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 1024);
  EXPECT_EQ(info->height, 768);
  EXPECT_EQ(info->h_sampling, 2);
  EXPECT_EQ(info->v_sampling, 2);
  EXPECT_GT(info->jpeg_quality, 50);
  const auto progressive = ProbePicture(picture_test::ReadBytes(Fixture("quad_progressive.jpg")));
  ASSERT_TRUE(progressive);
  EXPECT_EQ(progressive->h_sampling, 1);  // 4:4:4
}

TEST(PictureLoad, QualityEstimateMatchesTheEncoderSetting) {
  for (int quality : {30, 75, 90, 97}) {
    plat::Surface s(32, 32, 0xFF808080u);
    const auto bytes = plat::gdi::EncodeJpeg(s, {quality, 1, 72, 72});
    const auto info = ProbePicture(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->jpeg_quality, quality);
  }
}

TEST(PictureLoad, BadInputIsRefusedWithAReason) {
  const std::string dir = picture_test::ScratchDir("bad");
  const auto photo = picture_test::ReadBytes(Fixture("photo_1024x768.jpg"));
  // A bitmap header declaring 100000 x 100000 pixels over a few bytes.
  std::vector<std::uint8_t> huge(64, 0);
  huge[0] = 'B';
  huge[1] = 'M';
  const std::uint32_t fields[][2] = {{14, 40}, {18, 100000}, {22, 100000}, {10, 54}};
  for (const auto& f : fields) std::memcpy(huge.data() + f[0], &f[1], 4);
  huge[26] = 1;
  huge[28] = 24;
  const std::vector<std::uint8_t> truncated(photo.begin(), photo.begin() + static_cast<std::ptrdiff_t>(photo.size() / 3));
  const std::string text = "this is not a picture";
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty.jpg", {}},
      {"truncated.jpg", truncated},
      {"huge.bmp", huge},
      {"text.jpg", {text.begin(), text.end()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir + "/" + c.name;
    picture_test::WriteBytes(path, c.bytes);
    std::string error;
    EXPECT_FALSE(LoadPictureFile(path, {}, &error));
    EXPECT_FALSE(error.empty());
  }
  std::string error;
  EXPECT_FALSE(LoadPictureFile(dir + "/missing.png", {}, &error));
  EXPECT_NE(error.find("missing.png"), std::string::npos);
}

// Small files are read into the heap, large ones into pages mapped at once:
// either way every byte comes back, and a folder is refused.
TEST(PictureLoad, FilesAreReadWholeAtEverySize) {
  const std::string dir = picture_test::ScratchDir("sizes");
  for (const std::size_t size : {std::size_t{1}, std::size_t{4096}, std::size_t{256 * 1024 - 1},
                                 std::size_t{256 * 1024}, std::size_t{3 * 1024 * 1024 + 7}}) {
    SCOPED_TRACE(size);
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    const std::string path = dir + "/bytes.bin";
    picture_test::WriteBytes(path, bytes);
    std::optional<PictureBytes> read = ReadPictureFile(path);
    ASSERT_TRUE(read);
    PictureBytes moved = std::move(*read);
    EXPECT_TRUE(read->empty());
    ASSERT_EQ(moved.size(), size);
    EXPECT_TRUE(std::equal(moved.begin(), moved.end(), bytes.begin()));
  }
  std::string error;
  EXPECT_FALSE(ReadPictureFile(dir, &error));
  EXPECT_FALSE(error.empty());
}

TEST(PictureLoad, FormatComesFromTheContentNotTheName) {
  const std::string dir = picture_test::ScratchDir("named");
  picture_test::WriteBytes(dir + "/really_png.jpg", picture_test::ReadBytes(Fixture("quad.png")));
  const auto loaded = LoadPictureFile(dir + "/really_png.jpg");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->info.format, kFormatPng);
  EXPECT_EQ(Quadrants(loaded->pixels), "RGBW");
}

TEST(PictureLoad, EveryExifOrientationShowsTheSameUprightPicture) {
  for (int o = 1; o <= 8; ++o) {
    SCOPED_TRACE(o);
    const auto loaded = LoadPictureFile(Fixture("orient_" + std::to_string(o) + ".jpg"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->info.orientation, o);
    EXPECT_EQ(loaded->pixels.width(), 64);
    EXPECT_EQ(loaded->pixels.height(), 48);
    EXPECT_EQ(Quadrants(loaded->pixels), "RGBW");
  }
}

TEST(PictureLoad, JpegScaleIsTheSmallestThatStillCoversTheWantedSize) {
  EXPECT_EQ(JpegScaleFor(4032, 3024, 320, 240), 8);
  EXPECT_EQ(JpegScaleFor(4032, 3024, 640, 480), 4);
  EXPECT_EQ(JpegScaleFor(4032, 3024, 1920, 1080), 2);
  EXPECT_EQ(JpegScaleFor(4032, 3024, 4000, 1), 1);
  EXPECT_EQ(JpegScaleFor(4032, 3024, 0, 0), 1);
  LoadOptions options;
  options.min_width = 120;
  options.min_height = 90;
  const auto small = LoadPictureFile(Fixture("photo_1024x768.jpg"), options);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->pixels.width(), 128);
  EXPECT_EQ(Quadrants(small->pixels), "RGBW");
}

TEST(PictureMetadataTest, JpegMetadataSurvivesEachTargetFormat) {
  const auto source = LoadPictureFile(Fixture("photo_o6.jpg"));
  ASSERT_TRUE(source);
  ASSERT_FALSE(source->metadata.exif.empty());
  EXPECT_EQ(picture_test::ExifText(source->metadata.exif, EXIF_TAG_MAKE), "Marivel");
  PictureMetadata kept = source->metadata;
  kept.xmp = {'<', 'x', '/', '>'};
  kept.icc = std::vector<std::uint8_t>(70000, 7);  // two APP2 parts
  ASSERT_TRUE(NormaliseExif(kept.exif, true));
  EXPECT_EQ(ReadExifOrientation(kept.exif), 1);

  for (int format : {kFormatJpeg, kFormatPng}) {
    SCOPED_TRACE(format);
    SaveOptions options;
    options.format = format;
    options.metadata = &kept;
    const auto bytes = EncodePicture(source->pixels, options);
    ASSERT_FALSE(bytes.empty());
    const auto back = DecodePicture(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->info.orientation, 1);
    EXPECT_EQ(Quadrants(back->pixels), "BRWG");  // the upright picture, stored upright
    EXPECT_EQ(picture_test::ExifText(back->metadata.exif, EXIF_TAG_MAKE), "Marivel");
    EXPECT_EQ(picture_test::ExifText(back->metadata.exif, EXIF_TAG_DATE_TIME_ORIGINAL), "2021:06:07 08:09:10");
    EXPECT_EQ(back->metadata.xmp, kept.xmp);
    EXPECT_EQ(back->metadata.icc, kept.icc);
    EXPECT_EQ(back->metadata.comments, kept.comments);
  }
}

TEST(GifCodec, RoundTripKeepsColoursTransparencyAndComments) {
  plat::Surface s(40, 30, 0xFFFF0000u);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) s.set_pixel(x, y, 0x00000000u);
  const std::string long_comment(600, 'c');
  const auto bytes = plat::gdi::EncodeGif(s, {"first", long_comment});
  ASSERT_FALSE(bytes.empty());
  std::vector<std::string> comments;
  const auto back = plat::gdi::DecodeGif(bytes, nullptr, &comments);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixel(0, 0) >> 24, 0u);
  EXPECT_EQ(back->pixel(20, 20), 0xFFFF0000u);
  EXPECT_EQ(comments, (std::vector<std::string>{"first", long_comment}));
}

TEST(GifCodec, InterlacedRowsComeBackInOrder) {
  // Eight rows, row y coloured y * 30, written in the four interlace passes.
  std::vector<std::uint8_t> out;
  int code = 0;
  GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* d, int n) {
    auto* v = static_cast<std::vector<std::uint8_t>*>(g->UserData);
    v->insert(v->end(), d, d + n);
    return n;
  }, &code);
  ASSERT_TRUE(gif);
  GifColorType colours[8];
  for (int i = 0; i < 8; ++i) colours[i] = {static_cast<GifByteType>(i * 30), 0, 0};
  ColorMapObject* map = GifMakeMapObject(8, colours);
  EGifSetGifVersion(gif, true);
  ASSERT_EQ(EGifPutScreenDesc(gif, 4, 8, 8, 0, map), GIF_OK);
  ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 4, 8, true, nullptr), GIF_OK);
  for (int row : {0, 4, 2, 6, 1, 3, 5, 7}) {
    GifPixelType line[4] = {static_cast<GifPixelType>(row), static_cast<GifPixelType>(row),
                            static_cast<GifPixelType>(row), static_cast<GifPixelType>(row)};
    ASSERT_EQ(EGifPutLine(gif, line, 4), GIF_OK);
  }
  EGifCloseFile(gif, &code);
  GifFreeMapObject(map);
  const auto back = plat::gdi::DecodeGif(out);
  ASSERT_TRUE(back);
  for (int y = 0; y < 8; ++y) EXPECT_EQ(picture_test::At(*back, 2, y).r, y * 30) << y;
}

// Only regular files are pictures: a named pipe without a writer, endless
// /dev/zero and a folder are refused at once. A load that waited on the pipe
// anyway is released by opening its other end.
TEST(PictureLoad, NamedPipesDevicesAndFoldersAreRefusedWithoutWaiting) {
  const std::string folder = std::filesystem::temp_directory_path() / ("picture-fifo-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string pipe = folder + "/photo.jpg";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {pipe, std::string("/dev/zero"), folder}) {
    SCOPED_TRACE(path);
    std::string error;
    auto load = std::async(std::launch::async, [&] { return LoadPictureFile(path, {}, &error).has_value(); });
    const bool returned = load.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    if (!returned) {
      const int release = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
      if (release >= 0) ::close(release);
    }
    EXPECT_TRUE(returned);
    EXPECT_FALSE(load.get());
    EXPECT_FALSE(error.empty());
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
