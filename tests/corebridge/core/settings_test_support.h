// Test support for the settings code: a temporary folder that holds its own
// home, XDG folders and registry hives for the lifetime of the object, a
// clock fixed at a chosen time, file helpers and golden-file comparison.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/local_clock.h"

namespace settings_test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Points HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and MARIVEL_REGISTRY_DIR into a
// fresh temporary folder; puts the old values back at the end.
class TempEnvironment {
 public:
  TempEnvironment() {
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / "settings-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/home");
    std::filesystem::create_directories(dir_ + "/registry");
    Set("HOME", dir_ + "/home", 0);
    Set("XDG_DATA_HOME", dir_ + "/data", 1);
    Set("XDG_CONFIG_HOME", dir_ + "/config", 2);
    Set("MARIVEL_REGISTRY_DIR", dir_ + "/registry", 3);
  }
  ~TempEnvironment() {
    const char* names[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "MARIVEL_REGISTRY_DIR"};
    for (int i = 0; i < 4; ++i) {
      if (had_[i]) {
        ::setenv(names[i], old_[i].c_str(), 1);
      } else {
        ::unsetenv(names[i]);
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempEnvironment(const TempEnvironment&) = delete;
  TempEnvironment& operator=(const TempEnvironment&) = delete;

  const std::string& dir() const { return dir_; }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  void Set(const char* name, const std::string& value, int slot) {
    if (const char* old = ::getenv(name)) {
      had_[slot] = true;
      old_[slot] = old;
    }
    ::setenv(name, value.c_str(), 1);
  }

  std::string dir_;
  bool had_[4] = {};
  std::string old_[4];
};

class FixedClock final : public ILocalClock {
 public:
  explicit FixedClock(plat::SYSTEMTIME now) : now_(now) {}
  plat::SYSTEMTIME Now() const override { return now_; }
  void Set(plat::SYSTEMTIME now) { now_ = now; }

 private:
  plat::SYSTEMTIME now_;
};

// A local time; the day of the week is left 0, as nothing reads it.
inline plat::SYSTEMTIME At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  plat::SYSTEMTIME t;
  t.wYear = static_cast<plat::WORD>(year);
  t.wMonth = static_cast<plat::WORD>(month);
  t.wDay = static_cast<plat::WORD>(day);
  t.wHour = static_cast<plat::WORD>(hour);
  t.wMinute = static_cast<plat::WORD>(minute);
  t.wSecond = static_cast<plat::WORD>(second);
  return t;
}

// Compares a file with golden/<name> beside these tests. With
// MARIVEL_UPDATE_GOLDEN set the golden file is rewritten instead.
inline void ExpectMatchesGolden(const std::string& actualPath, const std::string& name) {
  const std::string golden = std::string(SETTINGS_GOLDEN_DIR) + "/" + name;
  const std::string actual = ReadFile(actualPath);
  if (::getenv("MARIVEL_UPDATE_GOLDEN")) {
    WriteFile(golden, actual);
    return;
  }
  ASSERT_TRUE(Exists(golden)) << golden;
  EXPECT_EQ(actual, ReadFile(golden)) << "differs from " << golden;
}

}  // namespace settings_test
