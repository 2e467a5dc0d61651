#include "outside/tovelax/media_kind.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "outside/tovelax/tovelax_api.h"

namespace tovelax {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
}

TEST(MediaKind, ClassifiesLayoutsAndFiles) {
  const fs::path root = fs::temp_directory_path() / ("tovelax-kind-" + std::to_string(::getpid()));
  fs::remove_all(root);
  Touch(root / "dvd" / "VIDEO_TS" / "VIDEO_TS.IFO");
  Touch(root / "lower" / "video_ts" / "video_ts.ifo");
  Touch(root / "vcd" / "MPEGAV" / "AVSEQ01.DAT");
  Touch(root / "svcd" / "MPEG2" / "AVSEQ01.MPG");
  Touch(root / "svcd" / "SVCD" / "INFO.SVD");
  Touch(root / "vr" / "DVD_RTAV" / "VR_MANGR.IFO");
  fs::create_directories(root / "empty");
  for (const char* name : {"a.mpg", "b.VOB", "c.mp4", "d.mkv", "e.avi", "f.wmv", "g.iso", "h.txt"})
    Touch(root / "files" / name);

  const struct {
    fs::path path;
    std::uint32_t bits;
  } cases[] = {
      {root / "dvd", kMediaDvdFolder},
      {root / "dvd" / "VIDEO_TS", kMediaDvdFolder},
      {root / "dvd" / "VIDEO_TS" / "VIDEO_TS.IFO", kMediaDvdVideoTsIfo},
      {root / "lower", kMediaDvdFolder},
      {root / "vcd", kMediaVcd},
      {root / "svcd", kMediaSvcd},
      {root / "vr", kMediaDvdRecording},
      {root / "empty", 0},
      {root / "files" / "a.mpg", kMediaVideoFileMpegPs},
      {root / "files" / "b.VOB", kMediaVideoFileMpegPs},
      {root / "files" / "c.mp4", kMediaVideoFileMp4},
      {root / "files" / "d.mkv", kMediaVideoFileMkv},
      {root / "files" / "e.avi", kMediaVideoFileAvi},
      {root / "files" / "f.wmv", kMediaVideoFileOther},
      {root / "files" / "g.iso", kMediaDvdImage},
      {root / "files" / "h.txt", 0},
  };
  for (const auto& c : cases) {
    const auto bits = ClassifyMedia(c.path.string());
    ASSERT_TRUE(bits.has_value()) << c.path;
    EXPECT_EQ(*bits, c.bits) << c.path;
  }
  EXPECT_FALSE(ClassifyMedia((root / "missing").string()).has_value());
  EXPECT_FALSE(ClassifyMedia("").has_value());
  fs::remove_all(root);
}

}  // namespace
}  // namespace tovelax
