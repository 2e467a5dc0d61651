// Starting outside programs with an argument vector.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/sys/spawn.h"

namespace {

TEST(SpawnDetached, StartsTheProgramWithItsArgumentsUntouched) {
  // A name a shell would split and expand arrives as one argument.
  const std::filesystem::path file =
      std::filesystem::path(::testing::TempDir()) / "spawn test $HOME; *.txt";
  std::filesystem::remove(file);
  std::string error;
  ASSERT_TRUE(plat::SpawnDetached({"touch", file.string()}, &error)) << error;
  for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(std::filesystem::exists(file));
  std::filesystem::remove(file);
}

TEST(SpawnDetached, AMissingProgramOrNoProgramIsAnError) {
  std::string error;
  EXPECT_FALSE(plat::SpawnDetached({"marivel-no-such-program-42"}, &error));
  EXPECT_NE(error.find("marivel-no-such-program-42"), std::string::npos);
  EXPECT_FALSE(plat::SpawnDetached({}, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
