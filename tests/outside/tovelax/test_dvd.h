// The test DVD, made once by its script (and cached by the script's hash).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tovelax_test {

// The folder holding the test DVD; empty when the script failed.
inline const std::filesystem::path& FixtureDir() {
  static const std::filesystem::path dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return std::filesystem::path();
    return std::filesystem::path(TOVELAX_FIXTURE_DIR);
  }();
  return dir;
}

}  // namespace tovelax_test
