// The video format record for every quality type, checked byte by byte: the
// little-endian figures at their offsets and zero everywhere else.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>

#include "corebridge/modules/authoring_format.h"

namespace {

struct Row {
  int qualityType;
  std::int32_t average, minimum, maximum, width, height, audio, field124;
};

constexpr Row kRows[] = {
    {0, 0, 0, 0, 0, 0, 0, 0},
    {1, 8000000, 4000000, 8300000, 0, 0, 224, 5},
    {2, 3400000, 2000000, 6800000, 352, 0, 224, 5},
    {3, 1750000, 1500000, 3500000, 352, 240, 224, 5},
    {4, 8000000, 4000000, 8300000, 0, 0, 224, 5},
    {5, 3400000, 2000000, 6800000, 352, 0, 224, 5},
    {6, 1750000, 1500000, 3500000, 352, 288, 224, 5},
    {7, 1151600, 0, 0, 0, 0, 224, 5},
    {8, 1151600, 0, 0, 0, 0, 224, 5},
    {9, 2400000, 0, 0, 0, 0, 224, 5},
    {10, 24000000, 0, 0, 0, 0, 224, 5},
    {11, 5000000, 2500000, 8300000, 352, 0, 224, 5},
    {12, 4000000, 2000000, 8000000, 352, 0, 224, 5},
    {13, 3000000, 2000000, 6000000, 352, 0, 224, 5},
    {14, 5000000, 2500000, 8300000, 352, 0, 224, 5},
    {15, 4000000, 2000000, 8000000, 352, 0, 224, 5},
    {16, 3000000, 2000000, 6000000, 352, 0, 224, 5},
    {17, 0, 0, 0, 0, 0, 0, 0},
    {-1, 0, 0, 0, 0, 0, 0, 0},
};

// The expected 152 bytes, written out independently of the record's layout.
std::array<unsigned char, 152> Golden(const Row& row) {
  std::array<unsigned char, 152> bytes{};
  const std::map<int, std::int32_t> fields{{8, row.average}, {12, row.minimum}, {16, row.maximum}, {24, row.width},
                                           {28, row.height}, {120, row.audio},  {124, row.field124}};
  for (const auto& [offset, value] : fields) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(offset + i)] = static_cast<unsigned char>(u >> (8 * i));
  }
  return bytes;
}

TEST(AuthoringFormatRecord, EveryQualityTypeGivesItsGoldenBytes) {
  for (const Row& row : kRows) {
    const AuthoringFormatRecord record = MakeAuthoringFormatRecord(row.qualityType);
    std::array<unsigned char, 152> actual{};
    std::memcpy(actual.data(), &record, sizeof record);
    const auto expected = Golden(row);
    for (std::size_t i = 0; i < actual.size(); ++i)
      ASSERT_EQ(actual[i], expected[i]) << "quality type " << row.qualityType << ", byte " << i;
  }
}

}  // namespace
