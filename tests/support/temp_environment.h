// A temporary folder that holds its own home, XDG folders and registry hives
// for the lifetime of the object, and small file helpers. Tests of code that
// reads the user's folders, settings or registry run inside one so they never
// touch the real ones and never see each other's files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace test_support {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Points HOME, XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and
// MARIVEL_REGISTRY_DIR into a fresh temporary folder named after `prefix`;
// puts the old values back at the end. Keep `prefix` short: sockets live
// below the runtime folder, and their paths are limited in length.
class TempEnvironment {
 public:
  explicit TempEnvironment(const std::string& prefix = "marivel") {
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/home");
    std::filesystem::create_directories(dir_ + "/registry");
    std::filesystem::create_directories(dir_ + "/runtime");
    std::filesystem::permissions(dir_ + "/runtime", std::filesystem::perms::owner_all);
    for (int i = 0; i < kCount; ++i) {
      if (const char* old = ::getenv(kNames[i])) {
        had_[i] = true;
        old_[i] = old;
      }
    }
    ::setenv("HOME", (dir_ + "/home").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir_ + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    ::setenv("MARIVEL_REGISTRY_DIR", (dir_ + "/registry").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (dir_ + "/runtime").c_str(), 1);
  }
  ~TempEnvironment() {
    for (int i = 0; i < kCount; ++i) {
      if (had_[i]) {
        ::setenv(kNames[i], old_[i].c_str(), 1);
      } else {
        ::unsetenv(kNames[i]);
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempEnvironment(const TempEnvironment&) = delete;
  TempEnvironment& operator=(const TempEnvironment&) = delete;

  const std::string& dir() const { return dir_; }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  // Where the configuration root keeps Config.xml.
  std::string settingsFolder() const { return dir_ + "/data/Marivel"; }

 private:
  static constexpr int kCount = 5;
  static constexpr const char* kNames[kCount] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "MARIVEL_REGISTRY_DIR",
                                                 "XDG_RUNTIME_DIR"};

  std::string dir_;
  bool had_[kCount] = {};
  std::string old_[kCount];
};

}  // namespace test_support
