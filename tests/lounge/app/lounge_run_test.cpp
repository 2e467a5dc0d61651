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
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "lounge/shell/single_instance.h"
#include "platform/gdi/png_codec.h"
#include "tests/lounge/app/child_process.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using app_test::ChildProcess;

// Under the sanitizers a start takes a few seconds.
constexpr int kStartMs = 90'000;

class LoungeRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = "/tmp/mrv-run-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    for (const char* sub : {"home", "data", "config", "registry", "runtime"}) fs::create_directories(dir_ + "/" + sub);
    fs::permissions(dir_ + "/runtime", fs::perms::owner_all);
    fs::copy_file(std::string(MARIVEL_TEST_BIN_DIR) + "/registry/machine.reg", dir_ + "/registry/machine.reg");
    env_ = {"HOME=" + dir_ + "/home",           "XDG_DATA_HOME=" + dir_ + "/data",
            "XDG_CONFIG_HOME=" + dir_ + "/config", "XDG_RUNTIME_DIR=" + dir_ + "/runtime",
            "MARIVEL_REGISTRY_DIR=" + dir_ + "/registry"};
    // Keep the path and the sanitizers' settings; no desktop display.
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      for (const char* keep : {"PATH=", "ASAN_OPTIONS=", "UBSAN_OPTIONS=", "LSAN_OPTIONS=", "LANG="}) {
        if (entry.rfind(keep, 0) == 0) env_.push_back(entry);
      }
    }
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  ChildProcess Lounge(std::vector<std::string> args) {
    args.insert(args.begin(), LOUNGE_PROGRAM);
    return ChildProcess(args, env_);
  }
  std::string ConfigFile() const { return dir_ + "/data/Marivel/Config.xml"; }
  std::string WriteScript(const std::string& text) {
    const std::string path = dir_ + "/script.txt";
    std::ofstream(path) << text;
    return path;
  }
  // Whether the running copy listens for second starts within the time.
  bool WaitUntilRunning(ChildProcess& child) {
    const std::string socket = CSingleInstance(dir_ + "/runtime").SocketPath();
    for (int i = 0; i < kStartMs / 50 && child.Running(); ++i) {
      if (fs::exists(socket)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  static std::optional<plat::Surface> ReadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return plat::gdi::DecodePng(bytes);
  }

  std::string dir_;
  std::vector<std::string> env_;
};

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
