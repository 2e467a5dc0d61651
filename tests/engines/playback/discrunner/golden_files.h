// The golden frames and bitmaps the DVD engine's tests compare against.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace discrunner_test {

inline const std::string kGolden = std::string(MARIVEL_TEST_SOURCE_DIR) + "/tests/engines/playback/discrunner/golden/";

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace discrunner_test
