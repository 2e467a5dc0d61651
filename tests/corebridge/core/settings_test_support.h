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

#include "tests/support/temp_environment.h"

#include "corebridge/core/local_clock.h"

namespace settings_test {

using test_support::ReadFile;
using test_support::WriteFile;

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A temporary home, XDG folders and registry hives for one test.
class TempEnvironment : public test_support::TempEnvironment {
 public:
  TempEnvironment() : test_support::TempEnvironment("settings") {}
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
