// MPEG system stream sniffing on generated files and hand-made headers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/rip/mpeg_sniff.h"
#include "tests/engines/rip/rip_fixtures.h"

namespace rip {
namespace {

using rip_test::TempDir;
using rip_test::WriteBytes;

std::vector<std::uint8_t> Sector(std::uint8_t subMode, const std::vector<std::uint8_t>& userData) {
  std::vector<std::uint8_t> s(kRawSectorBytes, 0);
  s[0] = 0;
  for (int i = 1; i <= 10; ++i) s[i] = 0xFF;
  s[15] = 2;
  s[18] = s[22] = subMode;
  std::copy(userData.begin(), userData.end(), s.begin() + kSectorUserDataOffset);
  return s;
}

const std::vector<std::uint8_t> kVcdPack = {0x00, 0x00, 0x01, 0xBA, 0x21, 0x00, 0x01, 0x00, 0x01, 0x80, 0x1B, 0x91};

TEST(MpegSniffTest, EachKindOfFile) {
  TempDir dir;
  auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(dir / name, bytes);
    return dir / name;
  };
  std::vector<std::uint8_t> mpeg2At100(108, 0x55);
  constexpr std::uint8_t kMpeg2Pack[8] = {0x00, 0x00, 0x01, 0xBA, 0x44, 0, 0, 0};
  std::copy(std::begin(kMpeg2Pack), std::end(kMpeg2Pack), mpeg2At100.begin() + 100);
  std::vector<std::uint8_t> otherMux = kVcdPack;
  otherMux[10] = 0x1C;
  std::vector<std::uint8_t> cda = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'C', 'D', 'D', 'A', 'f', 'm', 't', ' ', 24, 0, 0, 0};
  cda.resize(44, 0x01);
  std::vector<std::uint8_t> dataSectors;
  for (int i = 0; i < 4; ++i) {
    const auto s = Sector(0x08, {});
    dataSectors.insert(dataSectors.end(), s.begin(), s.end());
  }
  // A data sector, then a video sector (the raw file's first 2048 bytes
  // hold no start code: only the sector scan can find the pack).
  std::vector<std::uint8_t> videoSectors = Sector(0x08, {});
  const auto video = Sector(0x62, kVcdPack);
  videoSectors.insert(videoSectors.end(), video.begin(), video.end());
  // A data chunk that claims more than the file holds.
  std::vector<std::uint8_t> overlong = rip_test::CdxaFile(videoSectors);
  overlong.resize(overlong.size() - 1000);
  const std::string dat = dir / "vcd.dat";
  rip_test::WriteVideoCdDat(dat);

  struct Case {
    const char* name;
    std::string path;
    int kind;
    int videoCd;
  };
  const Case cases[] = {
      {"Video CD MPEG-1", rip_test::MediaFixture("vcd.mpg"), kVideoCd, 0},
      {"MPEG-2 program stream", rip_test::MediaFixture("dvd.mpg"), kMpeg2, 0},
      {"MPEG-1 with another mux rate", rip_test::MediaFixture("mpeg1.mpg"), kMpeg1, 0},
      {"Video CD .DAT from vcdimager", dat, kVideoCd, 1},
      {"pack at offset 100, 0x44", write("at100", mpeg2At100), kMpeg2, 0},
      {"Video CD signature alone", write("sig", kVcdPack), kVideoCd, 0},
      {"another mux rate", write("mux", otherMux), kMpeg1, 0},
      {"two bytes", write("short", {0x00, 0x00}), kNotMpeg, 0},
      {"empty", write("empty", {}), kNotMpeg, 0},
      {"start code but no pack", write("nopack", {0x00, 0x00, 0x01, 0xB3, 0x20}), kNotMpeg, 0},
      {".cda track file", write("track.cda", cda), kNotMpeg, 0},
      {"CDXA of data sectors", write("data.dat", rip_test::CdxaFile(dataSectors)), kNotMpeg, 0},
      {"CDXA with a video sector", write("video.dat", rip_test::CdxaFile(videoSectors)), kVideoCd, 1},
      {"CDXA chunk past the end", write("overlong.dat", overlong), kNotMpeg, 0},
      {"missing file", dir / "missing", kNotMpeg, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.path.empty());
    EXPECT_EQ(ReadMpegStreamType(c.path.c_str()), c.kind);
    EXPECT_EQ(IsVideoCdFile(c.path.c_str()), c.videoCd);
  }
  EXPECT_EQ(ReadMpegStreamType(nullptr), kNotMpeg);
  EXPECT_EQ(CheckVcdPackHeader((dir / "missing").c_str()), kMpeg1);
}

}  // namespace
}  // namespace rip
