// Video thumbnails on generated clips: each container gives a small picture
// of the clip's colour, a black start is passed over, bad files give no
// picture, a stop ends an extraction, and only regular files are read.
#include "platform/media/video_thumbnail.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"

namespace {

const std::string kClips = MARIVEL_VIDEO_CLIPS_DIR;

class VideoThumbnail : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string command = std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + kClips;
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
};

struct Colour {
  int r, g, b;
};

Colour CentreOf(const plat::Surface& s) {
  const std::uint32_t p = s.row(s.height() / 2)[s.width() / 2];
  return {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
}

bool Near(Colour a, Colour b) {
  return std::abs(a.r - b.r) < 40 && std::abs(a.g - b.g) < 40 && std::abs(a.b - b.b) < 40;
}

}  // namespace

TEST_F(VideoThumbnail, EachFormatGivesAFittedPictureOfTheClipsColour) {
  const struct {
    const char* file;
    Colour colour;
    int width, height;
  } cases[] = {
      {"red.mpg", {255, 0, 0}, 200, 150},
      {"green.avi", {0, 255, 0}, 200, 150},
      {"blue.wmv", {0, 0, 255}, 200, 150},
      {"hd_h264.avi", {255, 0, 0}, 200, 113},
      // 720x576 with square pixels; past the black first second.
      {"sd_black_start.mpg", {255, 255, 0}, 188, 150},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::string reason;
    std::optional<plat::Surface> picture = plat::media::ExtractVideoThumbnail(kClips + "/" + c.file, nullptr, &reason);
    ASSERT_TRUE(picture) << reason;
    EXPECT_LE(picture->width(), 200);
    EXPECT_LE(picture->height(), 150);
    EXPECT_NEAR(picture->width(), c.width, 2);
    EXPECT_NEAR(picture->height(), c.height, 2);
    const Colour centre = CentreOf(*picture);
    EXPECT_TRUE(Near(centre, c.colour)) << centre.r << "," << centre.g << "," << centre.b;
    EXPECT_EQ(picture->row(0)[0] >> 24, 0xFFu) << "opaque";
  }
}

TEST_F(VideoThumbnail, BadFilesGiveNoPictureAndAReason) {
  for (const char* file : {"text.avi", "missing.avi"}) {
    std::string reason;
    EXPECT_FALSE(plat::media::ExtractVideoThumbnail(kClips + "/" + file, nullptr, &reason)) << file;
    EXPECT_FALSE(reason.empty()) << file;
    EXPECT_EQ(plat::media::ExtractVideoThumbnailBitmap(kClips + "/" + file, nullptr), nullptr);
  }
  // A cut file may or may not give a picture; it must not crash or overrun.
  plat::media::ExtractVideoThumbnail(kClips + "/truncated.avi", nullptr);
}

TEST_F(VideoThumbnail, BitmapIsADibSectionOfThePicture) {
  plat::HBITMAP bitmap = plat::media::ExtractVideoThumbnailBitmap(kClips + "/blue.wmv", nullptr);
  ASSERT_NE(bitmap, nullptr);
  plat::SurfacePtr surface = plat::GetBitmapSurface(bitmap);
  ASSERT_TRUE(surface);
  EXPECT_EQ(surface->width(), 200);
  plat::DeleteObject(bitmap);
}

TEST_F(VideoThumbnail, AStopSetBeforehandEndsTheExtraction) {
  std::atomic<bool> stop{true};
  plat::media::VideoThumbnailLimits limits;
  limits.budget = std::chrono::hours(1);
  std::string reason;
  EXPECT_FALSE(plat::media::ExtractVideoThumbnail(kClips + "/red.mpg", &stop, &reason, limits));
  EXPECT_FALSE(reason.empty());
}

// Only regular files are read: a named pipe without a writer, endless
// /dev/zero and a folder are refused at once, whatever the budget. A reader
// that waited on the pipe anyway is released by opening its other end.
TEST_F(VideoThumbnail, NamedPipesDevicesAndFoldersAreRefusedWithoutWaiting) {
  char folder[] = "/tmp/marivel-fifo-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string pipe = std::string(folder) + "/clip.mpg";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  plat::media::VideoThumbnailLimits limits;
  limits.budget = std::chrono::hours(1);
  for (const std::string& path : {pipe, std::string("/dev/zero"), std::string(folder)}) {
    SCOPED_TRACE(path);
    std::string reason;
    auto extraction = std::async(std::launch::async, [&] {
      return plat::media::ExtractVideoThumbnail(path, nullptr, &reason, limits).has_value();
    });
    const bool returned = extraction.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    if (!returned) {
      const int release = open(pipe.c_str(), O_RDWR | O_NONBLOCK);
      if (release >= 0) close(release);
    }
    EXPECT_TRUE(returned);
    EXPECT_FALSE(extraction.get());
    EXPECT_FALSE(reason.empty());
  }
  unlink(pipe.c_str());
  rmdir(folder);
}
