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

namespace {

TEST(RunAndWait, GivesTheExitStatusAndTheOutput) {
  struct Case {
    std::vector<std::string> argv;
    int status;
    const char* output;
  };
  const Case cases[] = {
      {{"sh", "-c", "echo out; echo err >&2; exit 3"}, 3, "out\nerr\n"},
      {{"printf", "%s|", "a b", "$HOME"}, 0, "a b|$HOME|"},  // arguments untouched
      {{"cat"}, 0, ""},                                    // no input: ends at once
      {{"no-such-program-anywhere"}, -1, nullptr},
      {{}, -1, nullptr},
  };
  for (const Case& c : cases) {
    std::string output;
    EXPECT_EQ(plat::RunAndWait(c.argv, &output), c.status) << (c.argv.empty() ? "" : c.argv[0]);
    if (c.output) {
      EXPECT_EQ(output, c.output);
    }
  }
}

TEST(RunAndWait, CancelKillsTheChild) {
  std::atomic<bool> cancel{false};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    cancel = true;
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(plat::RunAndWait({"sleep", "30"}, nullptr, &cancel), -1);
  canceller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
