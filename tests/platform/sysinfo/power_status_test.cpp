#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sys/power_status.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;

class SysfsPowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) / ("power-" + std::to_string(::getpid()));
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  void Supply(const std::string& name, std::initializer_list<std::pair<const char*, const char*>> values) {
    fs::create_directories(root_ / name);
    for (const auto& [file, text] : values) std::ofstream(root_ / name / file) << text << "\n";
  }
  SYSTEM_POWER_STATUS Read(bool* ok = nullptr) {
    SYSTEM_POWER_STATUS status;
    const bool read = SysfsPowerSource(root_.string()).Read(status);
    if (ok) *ok = read;
    return status;
  }
  fs::path root_;
};

TEST_F(SysfsPowerTest, MainsAndBatteryLevels) {
  Supply("AC", {{"type", "Mains"}, {"online", "0"}});
  Supply("BAT0", {{"type", "Battery"}, {"capacity", "20"}, {"status", "Discharging"}});
  SYSTEM_POWER_STATUS s = Read();
  EXPECT_EQ(s.ACLineStatus, AC_LINE_OFFLINE);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_LOW);
  EXPECT_EQ(s.BatteryLifePercent, 20);
  Supply("BAT0", {{"capacity", "4"}, {"status", "Charging"}});
  s = Read();
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_CRITICAL | BATTERY_FLAG_CHARGING);
  Supply("AC", {{"online", "1"}});
  Supply("BAT0", {{"capacity", "90"}, {"status", "Full"}});
  s = Read();
  EXPECT_EQ(s.ACLineStatus, AC_LINE_ONLINE);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_HIGH);
}

TEST_F(SysfsPowerTest, NoSuppliesMeansUnknown) {
  bool ok = true;
  SYSTEM_POWER_STATUS s = Read(&ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(s.ACLineStatus, AC_LINE_UNKNOWN);
  Supply("AC", {{"type", "Mains"}, {"online", "1"}});
  s = Read(&ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_NO_BATTERY);
}

}  // namespace
