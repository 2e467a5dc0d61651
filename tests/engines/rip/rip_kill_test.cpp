// A rip killed at any moment leaves nothing under the track's name but a
// whole file, and its partial file goes when the next process clears the
// folder at start.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/sys/atomic_file.h"
#include "tests/engines/rip/ripper_client.h"
#include "tests/support/kill_loop.h"

namespace rip_test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKillFolderVariable = "MARIVEL_RIP_KILL_FOLDER";
constexpr const char* kKillReadyVariable = "MARIVEL_RIP_KILL_READY";

// The writing process of the test below (started through exec, so that it
// sets up GStreamer and COM afresh): rips the tone to "Intro.mp3" over and
// over until killed.
TEST(RipKill, ChildRipsUntilKilled) {
  const char* folder = std::getenv(kKillFolderVariable);
  const char* ready = std::getenv(kKillReadyVariable);
  if (!folder || !ready) GTEST_SKIP() << "the writing process of RipKill.KilledRipLeavesNoTruncatedTrack";
  ServerEnvironment environment;
  const std::string source = std::string(folder) + "/tone.wav";
  const std::string output = std::string(folder) + "/Intro.mp3";
  for (bool first = true;; first = false) {
    RipperClient ripper(Kind::Mp3);
    RecordingSink sink;
    ripper.Initialize();
    ripper.SetEventSink(&sink);
    if (plat::SUCCEEDED(ripper.OpenSource(source)) && plat::SUCCEEDED(ripper.BuildRipGraph(output))) {
      if (first) test_support::SignalReady(std::atoi(ready));
      ripper.Run();
      PumpUntil([&] { return sink.Ended(); }, 60000);
      ripper.Stop();
    }
    ripper.Uninitialize();
  }
}

TEST(RipKill, KilledRipLeavesNoTruncatedTrack) {
  TempDir dir;
  WriteWav(dir / "tone.wav", StereoTone(2.0, 1000));
  const std::string output = dir / "Intro.mp3";
  test_support::KillWhileWriting(
      8, 1500000,
      [&](int readyFd) {
        ::setenv(kKillFolderVariable, dir.path().c_str(), 1);
        ::setenv(kKillReadyVariable, std::to_string(readyFd).c_str(), 1);
        ::execl("/proc/self/exe", "rip_kill_child", "--gtest_filter=RipKill.ChildRipsUntilKilled", nullptr);
      },
      [&](int round) {
        if (fs::exists(output)) {
          // A track under its own name is never empty or cut short.
          ASSERT_GT(fs::file_size(output), 0u) << "round " << round;
          const Decoded decoded = Decode(output);
          EXPECT_TRUE(decoded.ok) << "round " << round;
          EXPECT_NEAR(decoded.seconds(), 2.0, 0.2) << "round " << round;
          fs::remove(output);
        }
        plat::RemoveStaleTemporaryFilesIn(dir.path());
        for (const auto& entry : fs::directory_iterator(dir.path()))
          ASSERT_EQ(entry.path().filename(), "tone.wav") << "round " << round << ": " << entry.path();
      },
      39);
}

}  // namespace
}  // namespace rip_test
