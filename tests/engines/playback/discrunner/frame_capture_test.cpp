#include "engines/playback/discrunner/frame_capture.h"

#include <gtest/gtest.h>

#include "tests/engines/playback/discrunner/golden_files.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using discrunner_test::kGolden;
using discrunner_test::ReadFile;

TEST(DiscFrameCapture, PackedDibBecomesTheGoldenFile) {
  const auto dib = ReadFile(kGolden + "frame_3x2.dib");
  ASSERT_EQ(dib.size(), 64u);
  EXPECT_EQ(discrunner::BmpFromPackedDib(dib), ReadFile(kGolden + "frame_3x2.bmp"));
}

TEST(DiscFrameCapture, BufferIsStrideTimesHeight) {
  // Three pixels of three bytes are padded to a 12-byte row.
  EXPECT_EQ(discrunner::PackedDib24Size(3, 2), 64u);
  EXPECT_EQ(discrunner::PackedDib24Size(720, 576), 40u + 2160u * 576u);
  EXPECT_EQ(discrunner::PackedDib24Size(1, 1), 44u);
}

TEST(DiscFrameCapture, PalettesAndBitFieldsSetTheOffsets) {
  // 2×1 at 8 bits: a 256-entry palette of four bytes, rows of four bytes.
  std::vector<std::uint8_t> dib(40 + 1024 + 4, 0);
  const std::int32_t header[] = {40, 2, 1};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1;
  dib[14] = 8;
  auto file = discrunner::BmpFromPackedDib(dib);
  ASSERT_EQ(file.size(), 14 + dib.size());
  EXPECT_EQ(file[10] | (file[11] << 8), 14 + 40 + 1024);

  // 16 bits with bit-field masks: 12 more bytes before the pixels.
  std::vector<std::uint8_t> fields(40 + 12 + 4, 0);
  std::memcpy(fields.data(), header, sizeof header);
  fields[12] = 1;
  fields[14] = 16;
  fields[16] = 3;
  file = discrunner::BmpFromPackedDib(fields);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file[10], 14 + 40 + 12);
}

TEST(DiscFrameCapture, MalformedFramesAreRefused) {
  auto dib = ReadFile(kGolden + "frame_3x2.dib");
  std::string error;
  // Shorter than its rows.
  EXPECT_TRUE(discrunner::BmpFromPackedDib(std::span(dib).first(60), &error).empty());
  EXPECT_FALSE(error.empty());
  // A header size past the end, and a header too short to read.
  auto bad = dib;
  bad[0] = 0xFF;
  EXPECT_TRUE(discrunner::BmpFromPackedDib(bad).empty());
  EXPECT_TRUE(discrunner::BmpFromPackedDib(std::span(dib).first(8)).empty());
  // A width that would overflow the row arithmetic.
  bad = dib;
  bad[4] = bad[5] = bad[6] = 0xFF;
  bad[7] = 0x7F;
  EXPECT_TRUE(discrunner::BmpFromPackedDib(bad).empty());
}

}  // namespace
