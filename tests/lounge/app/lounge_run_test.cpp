// The lounge program end to end on the headless display, each run with its
// own home, settings folder, runtime folder and registry hives (the machine
// hive copied from the build, so that the component servers are found):
// the home-page picture of a plain headless start, a second start that ends
// at once while the first runs on, SIGTERM as a clean close that saves the
// settings, and scripted input.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/lounge/app/lounge_program.h"

namespace {

namespace fs = std::filesystem;
using app_test::ChildProcess;
using app_test::kStartMs;

using LoungeRunTest = app_test::LoungeProgramTest;

TEST_F(LoungeRunTest, HeadlessStartPicturesTheHomePageAndEnds) {
  ChildProcess lounge = Lounge({"--headless=1024x768"});
  ASSERT_TRUE(lounge.Started());
  const std::string line = lounge.ReadLine(kStartMs);
  const std::string prefix = "home page written to ";
  ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
  EXPECT_EQ(lounge.Wait(kStartMs), 0);
  const std::string picture = line.substr(prefix.size());
  auto screen = ReadPng(picture);
  ASSERT_TRUE(screen.has_value()) << picture;
  EXPECT_EQ(screen->width(), 1024);
  EXPECT_EQ(screen->height(), 768);
  fs::remove(picture);
  // Stopping the system core saved the settings.
  EXPECT_TRUE(fs::exists(ConfigFile()));
}

TEST_F(LoungeRunTest, SecondStartEndsAtOnceAndSigtermClosesTheFirstCleanly) {
  ChildProcess first = Lounge({"--headless=800x600", "--script", WriteScript("wait 600000\nclose\n")});
  ASSERT_TRUE(WaitUntilRunning(first));

  ChildProcess second = Lounge({"--headless=800x600"});
  EXPECT_EQ(second.Wait(kStartMs), 0);
  EXPECT_EQ(second.ReadLine(100), "");  // it pictured nothing: it never started
  EXPECT_TRUE(first.Running());
  EXPECT_FALSE(fs::exists(ConfigFile()));

  ASSERT_EQ(::kill(first.Pid(), SIGTERM), 0);
  EXPECT_EQ(first.Wait(kStartMs), 0);
  EXPECT_TRUE(fs::exists(ConfigFile()));
}

bool StatusBlocksSigterm(const std::filesystem::path& status) {
  std::ifstream in(status);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("SigBlk:", 0) != 0) continue;
    const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
    return (mask >> (SIGTERM - 1)) & 1;
  }
  return false;
}

// Whether the program's first act, blocking the close signals, is done.
// Before it only the kernel and the dynamic loader run, and a signal there
// ends a program that has not yet done anything. The main thread unblocks
// them once its loop runs; threads started meanwhile keep the block.
bool BlocksSigterm(pid_t pid) {
  std::error_code ec;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    if (StatusBlocksSigterm(task.path() / "status")) return true;
  }
  return false;
}

// SIGTERM at any moment of the start-up closes the program the clean way:
// before the frame exists the start-up ends, after it the frame closes and
// the settings are saved whole.
TEST_F(LoungeRunTest, SigtermWhileStartingEndsCleanly) {
  // A first run writes the settings that the later runs read and save back.
  {
    ChildProcess first = Lounge({"--headless=640x480", "--script", WriteScript("close\n")});
    ASSERT_EQ(first.Wait(kStartMs), 0);
  }
  const std::string saved = ReadConfig();
  ASSERT_NE(saved.find("</"), std::string::npos) << saved;
  const std::string script = WriteScript("wait 600000\nclose\n");
  for (int delayMs : {0, 1, 2, 5, 10, 20, 40, 76, 120, 200, 300}) {
    SCOPED_TRACE("SIGTERM after " + std::to_string(delayMs) + " ms");
    ChildProcess lounge = Lounge({"--headless=640x480", "--script", script});
    ASSERT_TRUE(lounge.Started());
    // The delay counts from the program's first act: blocking the signals.
    bool blocked = false;
    for (int i = 0; i < 100'000 && !(blocked = BlocksSigterm(lounge.Pid())); ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    ASSERT_TRUE(blocked) << "the program never blocked SIGTERM";
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ASSERT_EQ(::kill(lounge.Pid(), SIGTERM), 0);
    EXPECT_EQ(lounge.Wait(kStartMs), 0);
    // Read and saved back unchanged, or never touched: whole either way.
    EXPECT_EQ(ReadConfig(), saved);
  }
}

TEST_F(LoungeRunTest, ScriptDrivesTheProgramAndClosesIt) {
  const std::string shot = dir_ + "/after-keys.png";
  ChildProcess lounge =
      Lounge({"--headless=800x600", "--script", WriteScript("# a short visit\nwait 200\nkey Right\nkey Return\n"
                                                            "wait 100\nkey Escape\nclick 400 300\nshot " +
                                                            shot + "\nclose\n")});
  EXPECT_EQ(lounge.Wait(kStartMs), 0);
  auto screen = ReadPng(shot);
  ASSERT_TRUE(screen.has_value());
  EXPECT_EQ(screen->width(), 800);
  EXPECT_TRUE(fs::exists(ConfigFile()));
}

TEST_F(LoungeRunTest, BadScriptOrOptionIsRefusedBeforeStarting) {
  ChildProcess badScript = Lounge({"--headless", "--script", WriteScript("wait 10\nwiggle\n")});
  EXPECT_EQ(badScript.Wait(kStartMs), 2);
  ChildProcess badOption = Lounge({"--frobnicate"});
  EXPECT_EQ(badOption.Wait(kStartMs), 2);
  EXPECT_FALSE(fs::exists(ConfigFile()));
}

}  // namespace
