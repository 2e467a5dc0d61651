// A temporary folder that holds its own home, XDG folders and registry hives
// for the lifetime of the object; the old environment comes back at the end.
#pragma once

#include <stdlib.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace app_test {

class TempEnvironment {
 public:
  TempEnvironment() {
    // Short: the single-instance socket lives below it.
    std::string pattern = "/tmp/mrv-app-XXXXXX";
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
    dir_ = pattern;
    for (const char* sub : {"home", "registry", "runtime"}) std::filesystem::create_directories(dir_ + "/" + sub);
    std::filesystem::permissions(dir_ + "/runtime", std::filesystem::perms::owner_all);
    Set(0, dir_ + "/home");
    Set(1, dir_ + "/data");
    Set(2, dir_ + "/config");
    Set(3, dir_ + "/registry");
    Set(4, dir_ + "/runtime");
  }
  ~TempEnvironment() {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
      if (old_[i]) {
        ::setenv(kNames[i], old_[i]->c_str(), 1);
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
  static constexpr std::array<const char*, 5> kNames{"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                                     "MARIVEL_REGISTRY_DIR", "XDG_RUNTIME_DIR"};
  void Set(std::size_t slot, const std::string& value) {
    if (const char* old = ::getenv(kNames[slot])) old_[slot] = old;
    ::setenv(kNames[slot], value.c_str(), 1);
  }

  std::string dir_;
  std::array<std::optional<std::string>, 5> old_;
};

}  // namespace app_test
