// Starting outside programs with an argument vector.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
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

TEST(SpawnDetached, TheChildStartsWithNoSignalBlocked) {
  // Blocked here, as the program blocks its close signals.
  sigset_t term, before;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &term, &before);
  const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "spawn-sigblk.txt";
  std::filesystem::remove(file);
  std::string error;
  const bool started = plat::SpawnDetached({"sh", "-c", "grep SigBlk /proc/self/status > \"$0\"", file.string()}, &error);
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
  ASSERT_TRUE(started) << error;
  std::string line;
  for (int i = 0; i < 500 && line.find('\n') == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(file);
    line.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_EQ(line, "SigBlk:\t0000000000000000\n");
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
