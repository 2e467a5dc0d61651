// Disc authoring end to end on the headless display: a sandbox with a
// virtual writer D: and the Video visit's clips. Home -> Video -> My Videos
// -> "Video Burn Video" -> "Video Burn" asks for the clips (the script
// answers the file dialog with two of them), the Authoring page shows the
// job, "Authoring Burn" authors a video DVD and writes it to the writer's
// image. A second run plays that image in Movie: its first title is the red
// clip.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"
#include "tests/outside/authoring/iso_reader.h"

namespace {

using namespace app_test;
namespace fs = std::filesystem;
constexpr const char* kAuthoringSettle = "wait 1000\n";

std::string AuthoringClips() {
  static const std::string dir = [] {
    const std::string command = std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + MARIVEL_VIDEO_CLIPS_DIR;
    return std::system(command.c_str()) == 0 ? std::string(MARIVEL_VIDEO_CLIPS_DIR) : std::string();
  }();
  return dir;
}

std::string ClickOn(Box layout) {
  const Box box = AtVisit(layout);
  return "click " + std::to_string(box.left + box.width / 2) + " " + std::to_string(box.top + box.height / 2) + "\n";
}

// Whether the image holds a DVD-Video disc's navigation file.
bool HoldsVideoTs(const std::string& image) {
  const authoring_test::IsoContents disc = authoring_test::ReadIso(image);
  if (!disc.ok) return false;
  for (const auto& [name, bytes] : disc.files)
    if (name.find("VIDEO_TS.IFO") != std::string::npos) return true;
  return false;
}

class AuthoringVisitTest : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    ASSERT_FALSE(AuthoringClips().empty()) << "the clips could not be made";
    image_ = dir() + "/writer/disc.iso";
    fs::create_directories(dir() + "/writer");
    fs::create_directories(dir() + "/home/Videos");
    std::ofstream reg(dir() + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D]\n"
        << "\"Path\"=\"" << image_ << "\"\n\"Type\"=\"cdrom\"\n\"Writer\"=dword:00000001\n";
    ASSERT_TRUE(reg);
  }

  // Starts the program on `steps` ("shot NAME" lines become pictures in `shots`).
  ChildProcess Start(const std::string& steps, std::vector<std::string>& names, const char* tag) {
    std::string script;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("shot ", 0) == 0) {
        names.push_back(line.substr(5));
        line = "shot " + dir() + "/authoring-" + names.back() + ".png";
      }
      script += line + "\n";
      start = end + 1;
    }
    return Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH), "--script",
                   WriteScript(script, std::string(tag) + ".txt")},
                  {"XDG_CACHE_HOME=" + dir() + "/cache"});
  }

  void Collect(const std::vector<std::string>& names, std::map<std::string, plat::Surface>& shots) {
    for (const std::string& name : names) {
      auto picture = ReadPng(dir() + "/authoring-" + name + ".png");
      if (picture) shots[name] = std::move(*picture);
      EXPECT_TRUE(picture.has_value()) << "no picture " << name;
    }
  }

  std::string image_;
};

TEST_F(AuthoringVisitTest, TwoClipsBecomeAVideoDvdOnTheWriterThatMoviePlays) {
  const std::string clips = AuthoringClips();
  std::vector<std::string> names;
  std::map<std::string, plat::Surface> shots;
  // Video Entry is the fourth tile of the home page; Return on the device
  // selector's first cell opens My Videos.
  const std::string steps = std::string(kAuthoringSettle) + "key Right\nkey Right\nkey Right\nkey Return\n" +
                            kAuthoringSettle + "key Return\n" + kAuthoringSettle + "shot videos\n" +
                            ClickOn({120, 604, 420, 84}) + kAuthoringSettle + "shot select\n" + "choose " + clips +
                            "/red.mpg " + clips + "/green.avi\n" + ClickOn({120, 220, 420, 84}) + kAuthoringSettle +
                            "shot authoring\n" + ClickOn({120, 950, 320, 84}) + "wait 600000\n";
  {
    ChildProcess lounge = Start(steps, names, "author");
    ASSERT_TRUE(lounge.Started());
    // The burn runs on: wait for the disc on the writer, then close.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    while (!HoldsVideoTs(image_) && lounge.Running() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ::kill(lounge.Pid(), SIGTERM);
    EXPECT_EQ(lounge.Wait(kStartMs), 0);
  }
  Collect(names, shots);
  ASSERT_TRUE(HoldsVideoTs(image_)) << "no video DVD on the writer at " << image_;
  if (shots.count("select") && shots.count("authoring")) {
    // The Authoring page replaced the burn selection.
    EXPECT_GT(DifferingPixels(shots["select"], shots["authoring"], AtVisit({120, 220, 960, 540})), 1000);
  }

  // The disc plays in Movie: its first title is the red clip.
  names.clear();
  shots.clear();
  {
    ChildProcess movie =
        Start(std::string(kAuthoringSettle) + "key Return\nwait 4000\nshot movie\nclose\n", names, "movie");
    EXPECT_EQ(movie.Wait(kStartMs), 0);
  }
  Collect(names, shots);
  ASSERT_TRUE(shots.count("movie"));
  const plat::Surface& movie = shots["movie"];
  long red = 0, total = 0;
  const Box centre{kVisitScreenW / 2 - 100, kVisitScreenH / 2 - 80, 200, 160};
  for (int y = centre.top; y < centre.top + centre.height; ++y)
    for (int x = centre.left; x < centre.left + centre.width; ++x, ++total) {
      const std::uint32_t p = movie.pixel(x, y);
      red += ((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80;
    }
  EXPECT_GT(red, total * 9 / 10) << "the red clip does not play";
}

}  // namespace
