// Points the registry at hives in a fresh temporary folder for the lifetime
// of the object, so every test starts from empty hives of its own.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace marivel_test {

class TempRegistry {
 public:
  TempRegistry() {
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / "registry-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
    dir_ = pattern;
    ::setenv("MARIVEL_REGISTRY_DIR", dir_.c_str(), 1);
  }
  ~TempRegistry() {
    ::unsetenv("MARIVEL_REGISTRY_DIR");
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  TempRegistry(const TempRegistry&) = delete;
  TempRegistry& operator=(const TempRegistry&) = delete;

  const std::string& dir() const { return dir_; }
  std::string machine() const { return dir_ + "/machine.reg"; }
  std::string user() const { return dir_ + "/user.reg"; }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Replaces a file the way another process saving it would: new file, rename.
  static void ReplaceFile(const std::string& path, const std::string& text) {
    std::string temp = path + ".other";
    std::ofstream(temp, std::ios::binary) << text;
    std::filesystem::rename(temp, path);
  }

 private:
  std::string dir_;
};

}  // namespace marivel_test
